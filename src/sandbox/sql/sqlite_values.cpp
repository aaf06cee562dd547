// sqlite_values.cpp - Value <-> SQLite storage classes.
#include "sandbox/sql/sqlite_values.h"

#include "sandbox/sql/formats.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace sandbox::sql {

Number realToNumber(double d)
{
    if (!std::isfinite(d)) return Number();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return Number::parse(buf).value_or(Number());
}

Value fromSqlite(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return Value::number(realToNumber(sqlite3_value_double(v)));
    case SQLITE_NULL: return Value();
    default: {
        const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        int n = sqlite3_value_bytes(v);
        std::string_view s(t ? t : "", static_cast<size_t>(n));
        if ((n == 19 || n == 10) && s[4] == '-')
            if (auto d = parseStoredDate(s)) return Value::date(*d);
        return Value::string(std::string(s));
    }
    }
}

bool typeFromDecl(const char* decl, Column::Type& type)
{
    if (!decl || !*decl) return false;
    char up[64];
    size_t i = 0;
    for (; decl[i] && i < sizeof up - 1; ++i) up[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(decl[i])));
    up[i] = 0;
    if (std::strstr(up, "DATE") || std::strstr(up, "TIMESTAMP")) type = Column::Type::Date;
    else if (std::strstr(up, "CHAR") || std::strstr(up, "CLOB") || std::strstr(up, "TEXT") || std::strstr(up, "RAW"))
        type = Column::Type::String;
    else if (std::strstr(up, "NUM") || std::strstr(up, "INT") || std::strstr(up, "DEC") || std::strstr(up, "REAL") ||
             std::strstr(up, "FLOA") || std::strstr(up, "DOUB"))
        type = Column::Type::Number;
    else return false;
    return true;
}

Value columnValue(sqlite3_stmt* st, int col, Column::Type type)
{
    int t = sqlite3_column_type(st, col);
    if (t == SQLITE_NULL) return Value();
    if (type == Column::Type::String) {
        if (t == SQLITE_FLOAT) return Value::string(realToNumber(sqlite3_column_double(st, col)).toString());
        if (t == SQLITE_INTEGER) return Value::string(std::to_string(sqlite3_column_int64(st, col)));
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return Value::string(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, col))));
    }
    if (t == SQLITE_INTEGER) return Value::integer(sqlite3_column_int64(st, col));
    if (t == SQLITE_FLOAT) return Value::number(realToNumber(sqlite3_column_double(st, col)));
    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    std::string_view s(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, col)));
    if (type == Column::Type::Date)
        if (auto d = parseStoredDate(s)) return Value::date(*d);
    if (type == Column::Type::Number)
        if (auto n = Number::parse(s)) return Value::number(*n);
    return Value::string(std::string(s));
}

void bindValue(sqlite3_stmt* st, int index, const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Null: sqlite3_bind_null(st, index); break;
    case Value::Kind::Number: {
        const Number& n = v.asNumber();
        if (auto i = n.toInt64()) sqlite3_bind_int64(st, index, *i);
        else sqlite3_bind_double(st, index, n.toDouble());
        break;
    }
    case Value::Kind::String:
        sqlite3_bind_text(st, index, v.asString().data(), static_cast<int>(v.asString().size()), SQLITE_TRANSIENT);
        break;
    case Value::Kind::Date: {
        std::string s = storedDate(v.asDate());
        sqlite3_bind_text(st, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case Value::Kind::Boolean: sqlite3_bind_int(st, index, v.asBoolean() ? 1 : 0); break;
    }
}

void resultValue(sqlite3_context* ctx, const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Null: sqlite3_result_null(ctx); break;
    case Value::Kind::Number: {
        const Number& n = v.asNumber();
        if (auto i = n.toInt64()) sqlite3_result_int64(ctx, *i);
        else sqlite3_result_double(ctx, n.toDouble());
        break;
    }
    case Value::Kind::String:
        sqlite3_result_text(ctx, v.asString().data(), static_cast<int>(v.asString().size()), SQLITE_TRANSIENT);
        break;
    case Value::Kind::Date: {
        std::string s = storedDate(v.asDate());
        sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case Value::Kind::Boolean: sqlite3_result_int(ctx, v.asBoolean() ? 1 : 0); break;
    }
}

} // namespace sandbox::sql
