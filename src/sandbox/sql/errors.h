// errors.h - SQLite failures as the Oracle errors a client expects.
#pragma once

#include "sandbox/ora_error.h"
#include "sandbox/sql/translator.h"

#include <string>

struct sqlite3;

namespace sandbox::sql {

// The OraError for SQLite's message `message` (result code `rc`) from a
// statement of kind `kind` (which picks ORA-02291 or ORA-02292 for a broken
// foreign key). Texts already starting "ORA-" pass through unchanged.
OraError oraErrorFor(int rc, const std::string& message, StatementKind kind = StatementKind::Query);

// "V_NAME" -> "\"V_NAME\"", "REC.FIELD" -> "\"REC\".\"FIELD\"" (ORA-00904's form).
std::string quotedPath(const std::string& dotted);

} // namespace sandbox::sql
