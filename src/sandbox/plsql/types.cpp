// types.cpp - built-in type instances and type compatibility rules.
#include "sandbox/plsql/types.h"

namespace sandbox::plsql {
namespace builtin {
namespace {
Type make(TypeKind k, const char* name)
{
    Type t;
    t.kind = k;
    t.name = name;
    return t;
}
} // namespace

const Type* unknown() { static const Type t = make(TypeKind::Unknown, ""); return &t; }
const Type* number() { static const Type t = make(TypeKind::Number, "NUMBER"); return &t; }
const Type* integer() { static const Type t = make(TypeKind::Integer, "INTEGER"); return &t; }
const Type* plsInteger() { static const Type t = make(TypeKind::PlsInteger, "PLS_INTEGER"); return &t; }
const Type* varchar2() { static const Type t = make(TypeKind::Varchar2, "VARCHAR2"); return &t; }
const Type* charType() { static const Type t = make(TypeKind::Char, "CHAR"); return &t; }
const Type* date() { static const Type t = make(TypeKind::Date, "DATE"); return &t; }
const Type* boolean() { static const Type t = make(TypeKind::Boolean, "BOOLEAN"); return &t; }
const Type* refCursor() { static const Type t = make(TypeKind::RefCursor, "SYS_REFCURSOR"); return &t; }
} // namespace builtin

bool assignable(const Type* to, const Type* from)
{
    if (!to || !from || to->kind == TypeKind::Unknown || from->kind == TypeKind::Unknown)
        return true;
    if (to->kind == TypeKind::Boolean || from->kind == TypeKind::Boolean)
        return to->kind == from->kind;
    if (to->isScalar() && from->isScalar())
        return true;   // implicit conversions between NUMBER, strings and DATE
    if (to->kind == TypeKind::Record && from->kind == TypeKind::Record)
        return to == from || to->fields.size() == from->fields.size();
    if (to->isCollection() || from->isCollection())
        return to == from;
    if (to->kind == TypeKind::RefCursor && from->kind == TypeKind::RefCursor)
        return true;
    return false;
}

std::string typeDisplay(const Type* t)
{
    if (!t)
        return "";
    std::string s = t->name;
    if (t->kind == TypeKind::Number && t->precision >= 0) {
        s += "(" + std::to_string(t->precision);
        if (t->scale > 0)
            s += "," + std::to_string(t->scale);
        s += ")";
    } else if (t->isString() && t->precision >= 0) {
        s += "(" + std::to_string(t->precision) + ")";
    }
    return s;
}

} // namespace sandbox::plsql
