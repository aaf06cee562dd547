// builtins.h - the SQL and PL/SQL built-in functions the interpreter provides
// (SUBSTR, NVL, TO_CHAR, ADD_MONTHS, RAISE_APPLICATION_ERROR ...).
#pragma once

#include "sandbox/plsql/ast.h"

#include <string>

namespace sandbox::plsql {

struct BuiltinInfo {
    const char* name;
    int minArgs, maxArgs;
    char result;            // 'N' number, 'S' string, 'D' date, 'B' boolean, 'A' type of the first argument, 'P' procedure
    BuiltinFn fn;
    LazyBuiltinFn lazy;
};

// The built-in of that (upper-case) name, or nullptr.
const BuiltinInfo* findBuiltin(const std::string& name);

// The number of a predefined exception (NO_DATA_FOUND -> 1403), 0 when the name is none.
int predefinedException(const std::string& name);
// The name of the predefined exception with that number, empty when none.
std::string predefinedExceptionName(int code);

} // namespace sandbox::plsql
