// uTarnelDebugger: the client-side run state of one program tab (its
// breakpoints, executable lines and current line) and the client's copy of
// the server's runtime information.
#pragma once

#include "debugger/GridModelBreakpoint.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// DBMS_DEBUG's runtime information as the last attach or continue
// returned it.
class TPLSQLRunInfo {
public:
    std::int32_t Line = 0;  // line#
    std::int32_t Terminated = 0;
    std::int32_t Breakpoint = 0;
    std::int32_t StackDepth = 0;
    std::int32_t InterpreterDepth = 0;
    std::int32_t Reason = 0;
    std::int32_t NameSpace = 0;  // program_namespace
    std::string Name;            // program_name
    std::string Owner;           // program_owner
    std::string DBLink;          // program_dblink
    std::int32_t LibunitType = 0;
    std::string EntrypointName;
};

// Line attribute flags; LineAttributes returns their sum.
enum TLineAttribute : std::uint8_t {
    laCurrent = 1,
    laBreakpoint = 2,
    laExecutable = 4,
};
using TLineAttributes = std::uint8_t;

// Entry i is true when line i is executable.
using TVarArr_Int = std::vector<bool>;

class TSampleDebugger {
public:
    using TBreakpointChangeEvent = std::function<void(TSampleDebugger* sender, int line)>;
    using TCurrentLineChangeEvent = std::function<void(TSampleDebugger* sender)>;

    TSampleDebugger();
    TSampleDebugger(const TSampleDebugger&) = delete;
    TSampleDebugger& operator=(const TSampleDebugger&) = delete;

    // Empty for lines <= 0; otherwise laCurrent | laExecutable |
    // laBreakpoint as they apply.
    TLineAttributes LineAttributes(int line) const;
    bool IsBreakpointLine(int line) const;
    // 1 <= line <= MaxLine and marked executable.
    bool IsExecutableLine(int line) const;
    // Lowest marked line from 0 to MaxLine; -1 when none.
    int FirstExecutableLine() const;
    // Sizes ExecutableLines to lines 0..maxLine, all unmarked.
    void ResetExecutableLines(int maxLine);
    // Lines <= 0 are ignored without an event.
    void ToggleBreakpoint(int line);
    // Takes RunInfo->Line as the current line and always raises
    // OnCurrentLineChange; a null RunInfo changes nothing.
    void ApplyRunInfo(const TPLSQLRunInfo* runInfo);

    TBreakPointModel& Breakpoints() { return Breakpoints_; }
    const TBreakPointModel& Breakpoints() const { return Breakpoints_; }

    TVarArr_Int ExecutableLines;
    int CurrentLine = -1;  // -1: no line is current
    TBreakpointChangeEvent OnBreakpointChange;
    TCurrentLineChangeEvent OnCurrentLineChange;

private:
    TBreakPointModel Breakpoints_;
};
