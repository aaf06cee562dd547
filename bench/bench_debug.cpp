// bench_debug.cpp - what debugging costs on the sandbox, measured through the
// data-access layer with the debugger's own statements:
//  (a) a loop-heavy program in a debug-mode session, continued with flags 2
//      and no breakpoints, against the same program in a plain session
//      (goal: ratio <= 1.3);
//  (b) one step round trip (sqContinue with flags 32) against a no-op
//      anonymous block on the same session (goal: ratio <= 3).
#include "debugger/DebugModule.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* kLoopProgram =
    "CREATE OR REPLACE PROCEDURE bench_loop(n IN PLS_INTEGER) IS\n"
    "  v_total NUMBER := 0;\n"
    "BEGIN\n"
    "  FOR i IN 1 .. n LOOP\n"
    "    IF MOD(i, 3) = 0 THEN\n"
    "      v_total := v_total + i;\n"
    "    ELSE\n"
    "      v_total := v_total - 1;\n"
    "    END IF;\n"
    "  END LOOP;\n"
    "END bench_loop;\n";

const char* kLoopCall = "begin bench_loop(200000); end;";

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double bestOf(int runs, const std::function<double()>& once)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, once());
    return best;
}

void execute(TOraSession& session, const std::string& text)
{
    TOraSQL sql(&session);
    sql.SQL().SetText(text);
    sql.Execute();
}

void connect(TOraSession& s)
{
    s.SetConnectPrompt(false);
    s.SetConnectString("DEMO/demo@sandbox");
    s.ConnectDirect();
}

// Prepares the target as a debug start does and attaches the debugger.
std::thread startDebugRun(TDataModule1& dm, const std::string& call)
{
    dm.sqSetPLSQLDebug.Execute();
    dm.sqInitialize.Execute();
    std::string id = dm.sqInitialize.ParamByName("Debug_Session_ID").AsString();
    dm.sqDebugOn.Execute();
    std::thread worker([&dm, call] {
        execute(dm.seTarget, call);
        dm.sqDebugOff.Execute();
        dm.sqDetach.Execute();
    });
    dm.sqAttach.ParamByName("default_timeout").SetAsInteger(60);
    dm.sqAttach.ParamByName("debug_session_id").SetAsString(id);
    dm.sqAttach.Execute();
    return worker;
}

int continueWith(TDataModule1& dm, int flags)
{
    dm.sqContinue.ParamByName("default_timeout").SetAsInteger(60);
    dm.sqContinue.ParamByName("do_sync").SetAsInteger(0);
    dm.sqContinue.ParamByName("breakflags").SetAsInteger(flags);
    dm.sqContinue.Execute();
    return dm.sqContinue.ParamByName("stackdepth").AsInteger();
}

void finishRun(TDataModule1& dm, std::thread& worker)
{
    while (continueWith(dm, 2) > 1) {
    }
    dm.sqContinue2.Execute();
    worker.join();
}

void report(const char* what, double figure, double reference, double goal)
{
    double ratio = figure / reference;
    std::printf("%-44s %10.3f ms  reference %10.3f ms  ratio %5.2f  (goal <= %.1f) %s\n", what, figure * 1e3,
                reference * 1e3, ratio, goal, ratio <= goal ? "ok" : "OVER");
}

} // namespace

int main()
{
    TDataModule1 dm;
    connect(dm.OraSession);
    connect(dm.seTarget);
    execute(dm.OraSession, kLoopProgram);

    // (a) the loop, plainly and under the debugger without stops.
    double plain = bestOf(5, [&] {
        auto t0 = Clock::now();
        execute(dm.seTarget, kLoopCall);
        return seconds(Clock::now() - t0);
    });
    double debugged = bestOf(5, [&] {
        std::thread worker = startDebugRun(dm, kLoopCall);
        auto t0 = Clock::now();
        continueWith(dm, 2);
        double t = seconds(Clock::now() - t0);
        finishRun(dm, worker);
        return t;
    });
    report("(a) loop of 200,000 passes, debug mode", debugged, plain, 1.3);

    // (b) one step against a no-op block on the debugger session.
    const int steps = 2000;
    double noop = bestOf(5, [&] {
        auto t0 = Clock::now();
        for (int i = 0; i < steps; ++i)
            execute(dm.OraSession, "begin null; end;");
        return seconds(Clock::now() - t0) / steps;
    });
    double step = bestOf(3, [&] {
        std::thread worker = startDebugRun(dm, kLoopCall);
        continueWith(dm, 32);   // first line of the program
        auto t0 = Clock::now();
        for (int i = 0; i < steps; ++i)
            continueWith(dm, 32);
        double t = seconds(Clock::now() - t0) / steps;
        // Let the loop run out without stops.
        finishRun(dm, worker);
        return t;
    });
    report("(b) one step round trip (sqContinue, flags 32)", step, noop, 3.0);
    return 0;
}
