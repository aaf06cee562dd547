// units.cpp - the dictionary side of stored units: source lines as
// ALL_SOURCE keeps them, ALL_ARGUMENTS rows, ALL_ERRORS rows and the
// ORA-06550 text of a block that does not compile.
#include "sandbox/plsql/engine_impl.h"

namespace sandbox::plsql {

std::string joinSource(const std::vector<std::string>& lines)
{
    std::string s;
    for (const auto& l : lines)
        s += l;
    return s;
}

std::vector<std::string> splitSource(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;   // CR LF from Windows editors: the line keeps a plain line feed
        cur += c;
        if (c == '\n') {
            lines.push_back(std::move(cur));
            cur.clear();
        }
    }
    if (!cur.empty())
        lines.push_back(std::move(cur));
    return lines;
}

std::string formatBlockErrors(const std::vector<CompileError>& errors)
{
    std::string s;
    for (const auto& e : errors) {
        if (!s.empty())
            s += "\n";
        s += "ORA-06550: line " + std::to_string(e.line) + ", column " + std::to_string(e.col) + ":\n" + e.text;
        while (!s.empty() && s.back() == '\n')
            s.pop_back();
    }
    return s;
}

std::vector<ErrorRow> errorRows(const std::vector<CompileError>& errors)
{
    std::vector<ErrorRow> rows;
    for (const auto& e : errors) {
        ErrorRow r;
        r.line = e.line;
        r.position = e.col;
        r.text = e.text;
        r.messageNumber = e.number;
        rows.push_back(std::move(r));
    }
    return rows;
}

namespace {

std::string dataType(const Type* t)
{
    if (!t)
        return "";
    switch (t->kind) {
    case TypeKind::Number:
        return t->name == "FLOAT" || t->name == "BINARY_FLOAT" || t->name == "BINARY_DOUBLE" ? t->name : "NUMBER";
    case TypeKind::Integer: return "NUMBER";
    case TypeKind::PlsInteger: return "BINARY_INTEGER";
    case TypeKind::Varchar2:
        return t->name == "CLOB" || t->name == "RAW" || t->name == "LONG" || t->name == "ROWID" ? t->name : "VARCHAR2";
    case TypeKind::Char: return "CHAR";
    case TypeKind::Date: return t->name == "TIMESTAMP" ? "TIMESTAMP" : "DATE";
    case TypeKind::Boolean: return "PL/SQL BOOLEAN";
    case TypeKind::Record: return "PL/SQL RECORD";
    case TypeKind::AssocArray: return "PL/SQL TABLE";
    case TypeKind::NestedTable: return "TABLE";
    case TypeKind::Varray: return "VARRAY";
    case TypeKind::RefCursor: return "REF CURSOR";
    default: return "";
    }
}

void addRow(std::vector<ArgumentRow>& out, const ArgumentRow& proto, const std::string& name, int position,
            int level, const Type* t, const std::string& inOut, bool defaulted)
{
    ArgumentRow r = proto;
    r.argumentName = name;
    r.position = position;
    r.sequence = static_cast<int>(out.size()) + 1;
    r.dataLevel = level;
    r.dataType = dataType(t);
    r.inOut = inOut;
    r.defaulted = defaulted ? "Y" : "N";
    if (t) {
        if (t->isScalar())
            r.plsType = t->name == "VARCHAR" ? "VARCHAR2" : t->name;
        if (t->kind == TypeKind::Integer) {
            r.dataPrecision = 38;
            r.dataScale = 0;
        }
        if (t->kind == TypeKind::Record || t->isCollection() || (t->kind == TypeKind::RefCursor && t->name != "SYS_REFCURSOR")) {
            if (!t->rowtypeOf.empty()) {
                auto dot = t->rowtypeOf.find('.');
                r.typeOwner = dot == std::string::npos ? "" : t->rowtypeOf.substr(0, dot);
                r.typeName = dot == std::string::npos ? t->rowtypeOf : t->rowtypeOf.substr(dot + 1);
            } else {
                r.typeOwner = t->owner;
                r.typeName = t->package.empty() ? t->name : t->package;
                r.typeSubname = t->package.empty() ? "" : t->name;
            }
        }
    }
    out.push_back(std::move(r));
    if (!t)
        return;
    // Composite arguments: one row per member, one level deeper.
    if (t->kind == TypeKind::Record) {
        for (size_t i = 0; i < t->fields.size(); ++i)
            addRow(out, proto, t->fields[i].name, static_cast<int>(i + 1), level + 1, t->fields[i].type, inOut, false);
    } else if (t->isCollection() && t->element) {
        addRow(out, proto, "", 1, level + 1, t->element, inOut, false);
    }
}

void routineRows(std::vector<ArgumentRow>& out, const Routine& r, const Unit& u)
{
    ArgumentRow proto;
    proto.objectName = r.name;
    if (u.type == "PACKAGE") {
        proto.packageName = u.name;
        proto.subprogramId = r.subprogramId;
        if (r.overload)
            proto.overload = std::to_string(r.overload);
    }
    std::vector<ArgumentRow> rows;
    if (r.isFunction)
        addRow(rows, proto, "", 0, 0, r.returnType, "OUT", false);
    for (size_t i = 0; i < r.params.size(); ++i) {
        const Param& p = r.params[i];
        std::string mode = p.mode == ParamMode::In ? "IN" : p.mode == ParamMode::Out ? "OUT" : "IN/OUT";
        addRow(rows, proto, p.name, static_cast<int>(i + 1), 0, p.type, mode, p.def != nullptr);
    }
    for (auto& row : rows)
        out.push_back(std::move(row));
}

} // namespace

std::vector<ArgumentRow> argumentRows(const Unit& u)
{
    std::vector<ArgumentRow> out;
    if (u.type == "PACKAGE") {
        for (const auto& r : u.routines)
            if (r->isPublic && !r->body)
                routineRows(out, *r, u);
    } else if (u.main) {
        routineRows(out, *u.main, u);
    }
    return out;
}

} // namespace sandbox::plsql
