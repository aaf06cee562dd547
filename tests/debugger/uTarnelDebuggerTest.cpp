// Tests of a tab's run state: line attributes, executable lines, breakpoint
// toggling with its event, and the current line.
#include "debugger/uTarnelDebugger.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(SampleDebugger, NewDebuggerHasNoLines)
{
    const TSampleDebugger debugger;
    EXPECT_EQ(debugger.CurrentLine, -1);
    EXPECT_EQ(debugger.FirstExecutableLine(), -1);
    for (int line : {-1, 0, 1, 2, 100})
        EXPECT_EQ(debugger.LineAttributes(line), 0) << line;
    EXPECT_FALSE(debugger.IsExecutableLine(1));
}

TEST(SampleDebugger, ExecutableLines)
{
    TSampleDebugger debugger;
    debugger.ResetExecutableLines(10);
    EXPECT_EQ(debugger.ExecutableLines.size(), 11u);
    EXPECT_EQ(debugger.FirstExecutableLine(), -1);
    debugger.ExecutableLines[3] = true;
    debugger.ExecutableLines[10] = true;
    EXPECT_TRUE(debugger.IsExecutableLine(10));
    EXPECT_FALSE(debugger.IsExecutableLine(11));
    EXPECT_FALSE(debugger.IsExecutableLine(4));
    EXPECT_EQ(debugger.FirstExecutableLine(), 3);

    debugger.ResetExecutableLines(2);
    EXPECT_FALSE(debugger.IsExecutableLine(10));
    EXPECT_EQ(debugger.FirstExecutableLine(), -1);
}

TEST(SampleDebugger, LineZeroCountsForFirstExecutableLineOnly)
{
    TSampleDebugger debugger;
    debugger.ResetExecutableLines(3);
    debugger.ExecutableLines[0] = true;
    EXPECT_EQ(debugger.FirstExecutableLine(), 0);
    EXPECT_FALSE(debugger.IsExecutableLine(0));
}

TEST(SampleDebugger, CurrentExecutableBreakpointLineHasAttributesSeven)
{
    TSampleDebugger debugger;
    debugger.ResetExecutableLines(5);
    debugger.ExecutableLines[4] = true;
    debugger.ToggleBreakpoint(4);
    debugger.ToggleBreakpoint(2);
    TPLSQLRunInfo info;
    info.Line = 4;
    debugger.ApplyRunInfo(&info);
    EXPECT_EQ(debugger.LineAttributes(4), laCurrent | laBreakpoint | laExecutable);
    EXPECT_EQ(debugger.LineAttributes(4), 7);
    EXPECT_EQ(debugger.LineAttributes(2), laBreakpoint);
    EXPECT_EQ(debugger.LineAttributes(3), 0);
}

TEST(SampleDebugger, ToggleBreakpointRaisesItsEventWithTheLine)
{
    TSampleDebugger debugger;
    std::vector<std::pair<TSampleDebugger*, int>> events;
    debugger.OnBreakpointChange = [&](TSampleDebugger* sender, int line) {
        events.emplace_back(sender, line);
    };

    debugger.ToggleBreakpoint(5);
    debugger.ToggleBreakpoint(3);
    const TBreakPointModel& model = debugger.Breakpoints();
    ASSERT_EQ(model.GetRowCount(), 2);
    EXPECT_EQ(model.GetCellValue(0, 0), 1);
    EXPECT_EQ(model.GetCellValue(1, 0), 3);
    EXPECT_EQ(model.GetCellText(2, 0), "X");
    EXPECT_EQ(model.GetCellValue(0, 1), 2);
    EXPECT_EQ(model.GetCellValue(1, 1), 5);
    EXPECT_EQ(model.GetCellText(2, 1), "X");

    debugger.ToggleBreakpoint(5);
    EXPECT_EQ(model.GetRowCount(), 1);
    EXPECT_EQ(events, (std::vector<std::pair<TSampleDebugger*, int>>{
                          {&debugger, 5}, {&debugger, 3}, {&debugger, 5}}));

    debugger.ToggleBreakpoint(0);
    debugger.ToggleBreakpoint(-2);
    EXPECT_EQ(model.GetRowCount(), 1);
    EXPECT_EQ(events.size(), 3u);
}

TEST(SampleDebugger, UnassignedEventsAreNotRaised)
{
    TSampleDebugger debugger;
    debugger.ToggleBreakpoint(1);
    TPLSQLRunInfo info;
    debugger.ApplyRunInfo(&info);
    EXPECT_TRUE(debugger.IsBreakpointLine(1));
}

TEST(SampleDebugger, ApplyRunInfoAlwaysRaisesAndLineZeroShowsNoCurrentLine)
{
    TSampleDebugger debugger;
    int raised = 0;
    debugger.OnCurrentLineChange = [&](TSampleDebugger* sender) {
        EXPECT_EQ(sender, &debugger);
        ++raised;
    };
    TPLSQLRunInfo info;  // Line 0
    debugger.ApplyRunInfo(&info);
    EXPECT_EQ(debugger.CurrentLine, 0);
    EXPECT_EQ(debugger.LineAttributes(0), 0);
    debugger.ApplyRunInfo(&info);
    EXPECT_EQ(raised, 2);

    debugger.ApplyRunInfo(nullptr);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(debugger.CurrentLine, 0);
}

TEST(PLSQLRunInfo, StartsEmpty)
{
    const TPLSQLRunInfo info;
    EXPECT_EQ(info.Line, 0);
    EXPECT_EQ(info.StackDepth, 0);
    EXPECT_TRUE(info.Name.empty());
    EXPECT_TRUE(info.EntrypointName.empty());
}

} // namespace
