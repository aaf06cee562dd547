// debug_target_test.cpp - the target/debugger hand-over on its own: a target
// thread replays the events of a small program while the test drives it.
#include "sandbox/debug/debug_target.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace sandbox::debug;

namespace {

// A procedure P (lines 3..5) called from an anonymous block at line 2.
struct Step {
    EventKind kind;
    int line;
    int depth;
};

Location at(int line, int depth)
{
    Location l;
    l.line = line;
    l.stackDepth = depth;
    if (depth >= 2) {
        l.program.nameSpace = namespace_pkgspec_or_toplevel;
        l.program.name = "P";
        l.program.owner = "DEMO";
    }
    return l;
}

const std::vector<Step> kProgram = {
    {EventKind::Start, 0, 0}, {EventKind::Line, 2, 1},  {EventKind::Call, 1, 2},
    {EventKind::Line, 3, 2},  {EventKind::Line, 4, 2},  {EventKind::Line, 5, 2},
    {EventKind::Return, 5, 2}, {EventKind::Line, 3, 1}, {EventKind::End, 0, 0},
};

// Runs the program's events on a thread; the future yields whether it was aborted.
std::future<bool> runTarget(DebugTarget& target)
{
    return std::async(std::launch::async, [&target] {
        for (const Step& s : kProgram)
            if (target.onEvent(s.kind, at(s.line, s.depth), nullptr) == Resume::Abort) {
                target.onEvent(EventKind::End, Location{}, nullptr);
                return true;
            }
        return false;
    });
}

class DebugTargetTest : public ::testing::Test {
protected:
    DebugTarget target{"0123456789AB"};
    RuntimeInfo info;
    const int all = info_getStackDepth + info_getLineinfo + info_getBreakpoint;

    void SetUp() override
    {
        target.setDebugMode(true);
        target.attach();
    }

    int setBreakpoint(int line)
    {
        ProgramInfo p;
        p.nameSpace = namespace_pkgspec_or_toplevel;
        p.name = "P";
        p.owner = "DEMO";
        int number = 0;
        int status = target.setBreakpoint(p, line, number,
            [](const ProgramInfo&, int l) { return l >= 3 && l <= 5; },
            [](const ProgramInfo& u) { return u.name == "P"; });
        return status == success ? number : -status;
    }
};

} // namespace

TEST_F(DebugTargetTest, StepsLandOnExpectedLinesAndDepths)
{
    auto done = runTarget(target);
    ASSERT_EQ(target.synchronize(info, all, 5), success);
    EXPECT_EQ(info.reason, reason_interpreter_starting);

    ASSERT_EQ(setBreakpoint(3), 1);
    ASSERT_EQ(target.continueRun(info, break_exception, all, 5), success);
    EXPECT_EQ(info.reason, reason_breakpoint);
    EXPECT_EQ(info.line, 3);
    EXPECT_EQ(info.stackDepth, 2);
    EXPECT_EQ(info.breakpoint, 1);
    EXPECT_EQ(info.program.name, "P");

    ASSERT_EQ(target.continueRun(info, break_next_line, all, 5), success);
    EXPECT_EQ(info.line, 4);
    ASSERT_EQ(target.continueRun(info, break_return, all, 5), success);
    EXPECT_EQ(info.reason, reason_return);
    EXPECT_EQ(info.line, 5);
    ASSERT_EQ(target.continueRun(info, break_next_line, all, 5), success);
    EXPECT_EQ(info.line, 3);
    EXPECT_EQ(info.stackDepth, 1);
    ASSERT_EQ(target.continueRun(info, break_exception, all, 5), success);
    EXPECT_EQ(info.terminated, 1);
    EXPECT_FALSE(info.stackDepth.has_value());

    // Once the call has ended, a further CONTINUE answers at once.
    ASSERT_EQ(target.continueRun(info, break_exception, all, 5), success);
    EXPECT_EQ(info.terminated, 1);
    EXPECT_FALSE(done.get());
}

TEST_F(DebugTargetTest, StepIntoAndStepOutFollowTheCallDepth)
{
    auto done = runTarget(target);
    ASSERT_EQ(target.synchronize(info, all, 5), success);
    ASSERT_EQ(target.continueRun(info, break_next_line, all, 5), success);
    EXPECT_EQ(info.line, 2);
    EXPECT_EQ(info.stackDepth, 1);
    ASSERT_EQ(target.continueRun(info, break_any_call, all, 5), success);
    EXPECT_EQ(info.line, 3);
    EXPECT_EQ(info.stackDepth, 2);
    ASSERT_EQ(target.continueRun(info, break_any_return, all, 5), success);
    EXPECT_EQ(info.line, 3);
    EXPECT_EQ(info.stackDepth, 1);
    ASSERT_EQ(target.continueRun(info, 0, all, 5), success);
    EXPECT_EQ(info.terminated, 1);
    EXPECT_FALSE(done.get());
}

TEST_F(DebugTargetTest, AbortEndsTheCall)
{
    auto done = runTarget(target);
    ASSERT_EQ(target.synchronize(info, all, 5), success);
    ASSERT_EQ(target.continueRun(info, break_next_line, all, 5), success);
    ASSERT_EQ(target.continueRun(info, abort_execution, all, 5), success);
    EXPECT_EQ(info.terminated, 1);
    EXPECT_TRUE(done.get());
}

TEST_F(DebugTargetTest, BreakpointRequestsAreCheckedAndNumbersReused)
{
    EXPECT_EQ(setBreakpoint(1), -error_illegal_line);
    EXPECT_EQ(setBreakpoint(3), 1);
    EXPECT_EQ(setBreakpoint(4), 2);
    EXPECT_EQ(target.deleteBreakpoint(1), success);
    EXPECT_EQ(target.deleteBreakpoint(1), error_idle_breakpt);
    EXPECT_EQ(target.deleteBreakpoint(7), error_no_such_breakpt);
    EXPECT_EQ(setBreakpoint(5), 1);
    ProgramInfo missing;
    missing.nameSpace = 1;
    missing.name = "NOPE";
    int n = 0;
    EXPECT_EQ(target.setBreakpoint(missing, 3, n, [](const ProgramInfo&, int) { return true; },
                                   [](const ProgramInfo&) { return false; }),
              error_bad_handle);
}

TEST_F(DebugTargetTest, WaitsEndWithoutHanging)
{
    // Nothing runs: SYNCHRONIZE times out after its timeout.
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(target.synchronize(info, all, 1), error_timeout);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));

    // With debugging off nothing can come: an immediate answer.
    target.setDebugMode(false);
    EXPECT_EQ(target.synchronize(info, all, 60), error_timeout);

    // A debugger that is not attached is refused at once.
    target.detach();
    EXPECT_EQ(target.continueRun(info, 0, all, 60), error_communication);
}

TEST_F(DebugTargetTest, DetachReleasesAParkedTarget)
{
    auto done = runTarget(target);
    ASSERT_EQ(target.synchronize(info, all, 5), success);
    target.detach();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(done.get());
}
