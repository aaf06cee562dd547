// uTarnelDebugger: line attributes, executable lines, breakpoint toggling
// and the current line of a tab's run state.
#include "debugger/uTarnelDebugger.h"

TSampleDebugger::TSampleDebugger() = default;

TLineAttributes TSampleDebugger::LineAttributes(int line) const
{
    TLineAttributes attributes = 0;
    if (line <= 0)
        return attributes;
    if (line == CurrentLine)
        attributes |= laCurrent;
    if (IsExecutableLine(line))
        attributes |= laExecutable;
    if (IsBreakpointLine(line))
        attributes |= laBreakpoint;
    return attributes;
}

bool TSampleDebugger::IsBreakpointLine(int line) const
{
    return Breakpoints_.HasBreakpoint(line);
}

bool TSampleDebugger::IsExecutableLine(int line) const
{
    // ExecutableLines holds lines 0..MaxLine, so its size is MaxLine + 1.
    return line >= 1 && static_cast<std::size_t>(line) < ExecutableLines.size()
        && ExecutableLines[static_cast<std::size_t>(line)];
}

int TSampleDebugger::FirstExecutableLine() const
{
    for (std::size_t i = 0; i < ExecutableLines.size(); ++i)
        if (ExecutableLines[i])
            return static_cast<int>(i);
    return -1;
}

void TSampleDebugger::ResetExecutableLines(int maxLine)
{
    ExecutableLines.assign(maxLine >= 0 ? static_cast<std::size_t>(maxLine) + 1 : 0, false);
}

void TSampleDebugger::ToggleBreakpoint(int line)
{
    if (line <= 0)
        return;
    Breakpoints_.Toggle(line);
    if (OnBreakpointChange)
        OnBreakpointChange(this, line);
}

void TSampleDebugger::ApplyRunInfo(const TPLSQLRunInfo* runInfo)
{
    if (!runInfo)
        return;
    CurrentLine = runInfo->Line;
    if (OnCurrentLineChange)
        OnCurrentLineChange(this);
}
