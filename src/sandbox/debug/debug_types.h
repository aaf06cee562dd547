// debug_types.h - DBMS_DEBUG's constants and records, with Oracle's values.
#pragma once

#include <optional>
#include <string>

namespace sandbox::debug {

// Break flags: the `breakflags` argument of CONTINUE (they may be added).
constexpr int break_exception = 2;
constexpr int break_any_call = 12;
constexpr int break_return = 16;
constexpr int break_next_line = 32;
constexpr int break_any_return = 512;
constexpr int break_handler = 2048;
constexpr int abort_execution = 8192;

// Information flags: `info_requested` of SYNCHRONIZE, CONTINUE, GET_RUNTIME_INFO.
constexpr int info_getStackDepth = 2;
constexpr int info_getBreakpoint = 4;
constexpr int info_getLineinfo = 8;
constexpr int info_getOerInfo = 32;
constexpr int info_default = info_getStackDepth + info_getLineinfo;  // for a NULL mask

// Reasons for a stop (runtime_info.Reason).
constexpr int reason_none = 0;
constexpr int reason_interpreter_starting = 2;
constexpr int reason_breakpoint = 3;
constexpr int reason_enter = 6;
constexpr int reason_return = 7;
constexpr int reason_finish = 8;
constexpr int reason_line = 9;
constexpr int reason_interrupt = 10;
constexpr int reason_exception = 11;
constexpr int reason_exit = 15;
constexpr int reason_handler = 16;
constexpr int reason_timeout = 17;
constexpr int reason_instantiate = 20;
constexpr int reason_abort = 21;
constexpr int reason_knl_exit = 25;

// Status codes returned by the debugger-side functions.
constexpr int success = 0;
constexpr int error_bogus_frame = 1;
constexpr int error_no_debug_info = 2;
constexpr int error_no_such_object = 3;
constexpr int error_unknown_type = 4;
constexpr int error_other = 8;
constexpr int error_illegal_line = 12;
constexpr int error_no_such_breakpt = 13;
constexpr int error_idle_breakpt = 14;
constexpr int error_stale_breakpt = 15;
constexpr int error_bad_handle = 16;
constexpr int error_unimplemented = 17;
constexpr int error_indexed_table = 18;
constexpr int error_illegal_index = 19;
constexpr int error_exception = 28;
constexpr int error_communication = 29;
constexpr int error_timeout = 31;
constexpr int error_nullvalue = 32;
constexpr int error_nullcollection = 40;

// Namespaces of program_info.Namespace.
constexpr int namespace_cursor = 0;
constexpr int namespace_pkgspec_or_toplevel = 1;
constexpr int namespace_pkg_body = 2;
constexpr int namespace_trigger = 3;
constexpr int namespace_none = 255;

// Library unit types of program_info.LibunitType.
constexpr int libunittype_cursor = 0;
constexpr int libunittype_procedure = 7;
constexpr int libunittype_function = 8;
constexpr int libunittype_package = 9;
constexpr int libunittype_package_body = 11;
constexpr int libunittype_trigger = 12;
constexpr int libunittype_unknown = -1;

// Breakpoint status bits.
constexpr int breakpoint_status_unused = 0;
constexpr int breakpoint_status_active = 1;
constexpr int breakpoint_status_disabled = 4;

// Timeout behaviours of the target session.
constexpr int retry_on_timeout = 0;
constexpr int continue_on_timeout = 1;
constexpr int nodebug_on_timeout = 2;
constexpr int abort_on_timeout = 3;

constexpr int default_timeout = 3600;

// PROGRAM_INFO. Unset fields are NULL in PL/SQL.
struct ProgramInfo {
    std::optional<int> nameSpace;
    std::string name;
    std::string owner;
    std::string dbLink;
    std::optional<int> line;
    std::optional<int> libunitType;
    std::string entrypointName;
};

// RUNTIME_INFO. Fields that were not requested (or cannot be known) stay NULL.
struct RuntimeInfo {
    std::optional<int> line;
    std::optional<int> terminated;
    std::optional<int> breakpoint;
    std::optional<int> stackDepth;
    std::optional<int> interpreterDepth;
    std::optional<int> reason;
    ProgramInfo program;
    std::optional<int> oer;
};

// BREAKPOINT_INFO.
struct BreakpointInfo {
    int number = 0;
    std::string name;
    std::string owner;
    std::string dbLink;
    int line = 0;
    int libunitType = 0;
    int status = breakpoint_status_unused;
};

} // namespace sandbox::debug
