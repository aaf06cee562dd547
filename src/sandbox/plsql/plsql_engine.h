// plsql_engine.h - creates the PL/SQL engine that a sandbox server runs
// anonymous blocks and stored units with.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/plsql/debug_hook.h"

#include <memory>
#include <string>

namespace sandbox::plsql {

std::shared_ptr<PlsqlEngine> makePlsqlEngine();

// The executable lines of a stored unit ("PROCEDURE", "FUNCTION", "PACKAGE",
// "PACKAGE BODY"; empty type = whichever exists), compiling it if needed.
// Used by DBMS_DEBUG.GET_LINE_MAP and SET_BREAKPOINT.
LineMap unitLineMap(SessionServices& s, const std::string& owner, const std::string& name, const std::string& type);

} // namespace sandbox::plsql
