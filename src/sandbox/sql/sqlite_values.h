// sqlite_values.h - moving Values in and out of SQLite: NUMBER as INTEGER
// when integral, else REAL; DATE as 'YYYY-MM-DD HH:MM:SS' text; '' never.
#pragma once

#include "sandbox/server.h"
#include "sandbox/value.h"

#include <sqlite3.h>

namespace sandbox::sql {

// A REAL read back as the decimal it stands for: 15 significant digits, so
// 0.1 + 0.2 reads as .3 and 1234.56 as 1234.56.
Number realToNumber(double d);

// A value inside an SQL function: numbers as Number, stored date text as
// DATE, other text as a string.
Value fromSqlite(sqlite3_value* v);

// Column type from a declared type ("NUMBER(7,2)", "VARCHAR2(10)", "DATE");
// false when the declared type says nothing.
bool typeFromDecl(const char* decl, Column::Type& type);

// A result cell as a Value of the column's type.
Value columnValue(sqlite3_stmt* st, int col, Column::Type type);

void bindValue(sqlite3_stmt* st, int index, const Value& v);
void resultValue(sqlite3_context* ctx, const Value& v);

} // namespace sandbox::sql
