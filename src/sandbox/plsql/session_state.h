// session_state.h - what the PL/SQL engine keeps per session: package state,
// the DBMS_OUTPUT buffer, variables of native packages, and the debug switch
// and probe.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/plsql/rval.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sandbox::plsql {

class DebugHook;
struct Unit;
struct Frame;

// DBMS_OUTPUT's buffer: complete lines plus the line being built by PUT.
struct OutputBuffer {
    bool enabled = false;
    int64_t limit = 20000;         // bytes; 0 = unlimited (ENABLE(NULL))
    int64_t used = 0;
    std::deque<std::string> lines;
    std::string partial;
    bool hasPartial = false;
};

// One package's state in one session: its variables, kept until the session
// ends or the package is compiled again.
struct PackageInstance {
    std::shared_ptr<const Unit> unit;
    std::unique_ptr<Frame> frame;
};

class PlsqlSession : public SessionExtension {
public:
    PlsqlSession();
    ~PlsqlSession() override;

    OutputBuffer output;
    std::map<std::string, std::unique_ptr<PackageInstance>> packages;   // "OWNER.NAME"
    std::map<std::string, Val> nativeVariables;                         // "PKG.NAME"

    // ALTER SESSION SET PLSQL_DEBUG: units compiled in this session keep debug information.
    bool plsqlDebug = false;
    // The probe of a debugging session (DBMS_DEBUG); null when not debugging.
    DebugHook* debugHook = nullptr;
    // State other native packages keep per session (DBMS_DEBUG's session id ...).
    std::map<std::string, std::shared_ptr<void>> extensions;

    // The engine that last ran PL/SQL in this session (line maps for DBMS_DEBUG).
    PlsqlEngine* engine = nullptr;

    // The error the innermost running handler caught, for
    // DBMS_UTILITY.FORMAT_ERROR_STACK / FORMAT_ERROR_BACKTRACE (lines end in "\n").
    std::string errorStack, errorBacktrace;

    // Nesting of top-level calls (a native routine that runs PL/SQL again).
    int activeCalls = 0;
};

// The session's PL/SQL state, created on first use.
PlsqlSession& plsqlSession(SessionServices& s);

} // namespace sandbox::plsql
