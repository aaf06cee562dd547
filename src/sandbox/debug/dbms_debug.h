// dbms_debug.h - registers the native DBMS_DEBUG package with the PL/SQL
// engine.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/plsql/debug_hook.h"

#include <functional>
#include <string>

namespace sandbox::debug {

// The executable lines of a stored unit; `type` is "PACKAGE BODY" for a
// package body and empty for any other top-level unit.
using LineMapSource = std::function<plsql::LineMap(SessionServices&, const std::string& owner,
                                                   const std::string& name, const std::string& type)>;

// Registers DBMS_DEBUG for every server of the process (idempotent; the
// first call's line-map source is kept).
void registerDbmsDebug(LineMapSource lineMaps);

} // namespace sandbox::debug
