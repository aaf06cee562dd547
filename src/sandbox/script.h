// script.h - splits a SQL*Plus-style script into statements: ';' ends a SQL
// statement, a line holding only '/' ends a PL/SQL unit or block.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

struct ScriptStatement {
    std::string text;   // without the ending ';' (SQL) or '/' line (PL/SQL)
    int line = 1;       // line of the script where the statement starts
    bool plsql = false; // a PL/SQL unit definition or an anonymous block
};

// Lines of SQL*Plus commands (PROMPT, REM, SET ..., SHOW ERRORS, SPOOL, EXIT,
// WHENEVER) are skipped; comments and blank lines between statements too.
std::vector<ScriptStatement> splitScript(std::string_view script);

// True when a statement's first words make it PL/SQL: DECLARE, BEGIN, or
// CREATE [OR REPLACE] [EDITIONABLE|NONEDITIONABLE] FUNCTION | PROCEDURE |
// PACKAGE | TRIGGER | TYPE | LIBRARY.
bool startsPlsql(std::string_view text);

} // namespace sandbox
