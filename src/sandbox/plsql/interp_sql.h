// interp_sql.h - embedded SQL from PL/SQL: queries, DML, cursors, dynamic SQL.
#pragma once

#include "sandbox/plsql/exec.h"

namespace sandbox::plsql {

// Runs a query text with the PL/SQL names it mentions bound from frame `names`.
std::unique_ptr<Cursor> runQuery(Exec& x, const SqlText& q, Frame* names);
// The record a row becomes (fields by position of `rowType`, or by the columns).
Val rowRecord(const std::vector<Value>& row, const Type* rowType);
Flow cursorLoop(Exec& x, const LoopStmt& loop);

} // namespace sandbox::plsql
