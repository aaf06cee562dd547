// debug_run_test.cpp - whole debug runs on the sandbox through the
// data-access layer: the data module's statements, in the order a debug run
// sends them, with the program under test running on a second thread.
#include "catalog/DBOraclePLSQL.h"
#include "catalog/PLSQLParameter.h"
#include "catalog/SmartQueryReader.h"
#include "debugger/DebugModule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Fails the whole test program when a run hangs instead of letting it sit
// until the test runner's own timeout.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              auto deadline = std::chrono::steady_clock::now() + limit;
              while (!done_ && std::chrono::steady_clock::now() < deadline)
                  std::this_thread::sleep_for(50ms);
              if (!done_) {
                  std::fprintf(stderr, "debug run hung: watchdog expired\n");
                  std::_Exit(2);
              }
          })
    {
    }
    ~Watchdog()
    {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// No statement of a well-formed run may sit out a debugger timeout (60 s).
class Timed {
public:
    explicit Timed(const char* what) : what_(what), t0_(std::chrono::steady_clock::now()) {}
    ~Timed()
    {
        EXPECT_LT(std::chrono::steady_clock::now() - t0_, 10s) << what_ << " waited for a timeout";
    }

private:
    const char* what_;
    std::chrono::steady_clock::time_point t0_;
};

struct Stop {
    int line = 0;
    int depth = 0;
    int terminated = 0;
    int reason = 0;
    int breakpoint = 0;
    std::string name;
    std::string contResult;
};

constexpr int kDebugTimeout = 60;

// Drives one debug run the way the debugger's commands do.
class DebugRun {
public:
    DebugRun(const std::string& name, TDBObjectType kind, std::map<std::string, std::string> values = {})
        : item_(std::make_shared<TProcedureItem>("DEMO", name, kind))
    {
        dm_.OraSession.SetConnectPrompt(false);
        dm_.OraSession.SetConnectString("DEMO/demo@sandbox");
        dm_.OraSession.ConnectDirect();
        loadArguments();
        for (auto& row : params_.Items())
            if (row->TakesValue())
                row->SetValue(values[row->ArgumentName]);
        // A function whose only row is its result, or a procedure without
        // rows, is called directly; anything else through the call block.
        const int rows = params_.GetRowCount();
        if ((kind == ptFunction && rows == 1) || (kind == ptProcedure && rows == 0))
            item_->Script = std::string("begin ") + (kind == ptFunction ? ":ret := " : "") +
                            item_->ProcedureFullName() + "; end;";
        else
            item_->Script = BuildCallBlock(*item_);
        readLineMap();
    }

    ~DebugRun()
    {
        if (worker_.joinable())
            worker_.join();
    }

    int firstExecutableLine() const { return lines_.empty() ? -1 : *lines_.begin(); }
    const std::set<int>& executableLines() const { return lines_; }

    // Run To Cursor: compile for debugging, prepare the target, start the
    // worker, attach, install the breakpoints and continue to the first stop.
    Stop start(const std::vector<int>& breakpoints = {})
    {
        dm_.seTarget.SetConnectString(dm_.OraSession.ConnectString());
        dm_.seTarget.ConnectDirect();
        dm_.sqAlterCompileDebug.SQL().Clear();
        dm_.sqAlterCompileDebug.SQL().Add(std::string("ALTER ") + std::string(DBObjectTypeNames[item_->ProcedureTypes]) +
                                          " " + item_->ProcedureFullName() + " COMPILE  DEBUG");
        dm_.sqAlterCompileDebug.Execute();
        dm_.sqSetPLSQLDebug.Execute();
        dm_.sqInitialize.Execute();
        sessionId_ = dm_.sqInitialize.ParamByName("Debug_Session_ID").AsString();
        dm_.sqDebugOn.Execute();

        worker_ = std::thread([this] { workerBody(); });

        dm_.sqAttach.ParamByName("default_timeout").SetAsInteger(kDebugTimeout);
        dm_.sqAttach.ParamByName("debug_session_id").SetAsString(sessionId_);
        {
            Timed timed("sqAttach");
            dm_.sqAttach.Execute();
        }
        syncResult = dm_.sqAttach.ParamByName("sync_result").AsString();
        attachStop = read(dm_.sqAttach);

        breakpoints_ = breakpoints;
        apply(false);
        return cont(2);
    }

    Stop cont(int flags)
    {
        Timed timed("sqContinue");
        dm_.sqContinue.ParamByName("default_timeout").SetAsInteger(kDebugTimeout);
        dm_.sqContinue.ParamByName("do_sync").SetAsInteger(0);
        dm_.sqContinue.ParamByName("breakflags").SetAsInteger(flags);
        dm_.sqContinue.Execute();
        Stop s = read(dm_.sqContinue);
        s.contResult = dm_.sqContinue.ParamByName("cont_result").AsString();
        return s;
    }

    // A step command: continue with its flags; a stack depth of 1 or less
    // closes the run.
    Stop command(int flags)
    {
        Stop s = cont(flags);
        if (s.depth <= 1) {
            closed = true;
            s = cont(2);
            apply(true);
            std::this_thread::sleep_for(1000ms);
            Timed timed("sqContinue2 and the worker's end");
            dm_.sqContinue2.Execute();
            worker_.join();
        }
        return s;
    }

    // GET_VALUE of a variable in the frame the target stopped in.
    std::pair<int, std::string> value(const std::string& name)
    {
        TOraSQL q(&dm_.OraSession);
        q.SQL().SetText("declare v varchar2(4000); begin :status := dbms_debug.get_value(:name, 0, v); "
                        ":value := v; end;");
        q.Params().Add("status", TParamDirection::Out, TOraDataType::Integer);
        q.Params().Add("name", TParamDirection::In, TOraDataType::String, 100);
        q.Params().Add("value", TParamDirection::Out, TOraDataType::String, 4000);
        q.ParamByName("name").SetAsString(name);
        q.Execute();
        return {q.ParamByName("status").AsInteger(), q.ParamByName("value").AsString()};
    }

    // Runs a block on the debugger session with one string output bind.
    std::string debuggerText(const std::string& block)
    {
        TOraSQL q(&dm_.OraSession);
        q.SQL().SetText(block);
        q.Params().Add("out", TParamDirection::Out, TOraDataType::String, 4000);
        q.Execute();
        return q.ParamByName("out").AsString();
    }

    bool closed = false;
    std::string syncResult;
    Stop attachStop;
    std::vector<std::pair<int, int>> setRequests;   // (line, status)
    std::string workerError;
    std::string result;

private:
    void loadArguments()
    {
        dm_.OraMeta.Close();
        dm_.OraMeta.SQL().SetText(ArgumentsSQL);
        dm_.OraMeta.ParamByName("owner").SetAsString(item_->ProcedureOwner);
        dm_.OraMeta.ParamByName("name").SetAsString(item_->ProcedureName);
        dm_.OraMeta.ParamByName("type").SetAsString(std::string(DBObjectTypeNames[item_->ProcedureTypes]));
        dm_.OraMeta.Open();
        TSmartQueryReader reader(dm_.OraMeta);
        params_.LoadArguments(reader, item_);
    }

    void readLineMap()
    {
        TOraSQL& q = dm_.sqGetLineNum;
        q.ParamByName("program_namespace").SetAsInteger(1);
        q.ParamByName("program_name").SetAsString(item_->ProcedureName);
        q.ParamByName("program_owner").SetAsString(item_->ProcedureOwner);
        q.ParamByName("LibUnitType").SetAsInteger(0);
        q.Execute();
        EXPECT_EQ(q.ParamByName("Status").AsInteger(), 0);
        std::string map = q.ParamByName("LineMap").AsString();
        int maxLine = q.ParamByName("MaxLine").AsInteger();
        for (size_t k = 0; k + 1 < map.size() + 1 && 2 * k + 1 < map.size(); ++k) {
            int byte = std::stoi(map.substr(2 * k, 2), nullptr, 16);
            for (int b = 7; b >= 0; --b)
                if (byte & (1 << b) && static_cast<int>(8 * k) + b <= maxLine)
                    lines_.insert(static_cast<int>(8 * k) + b);
        }
    }

    // Installs (or removes) the breakpoints with a request for the first
    // executable line before each one on another line.
    void apply(bool remove)
    {
        const int first = firstExecutableLine();
        int k = 0;
        auto request = [&](int number, int line) {
            if (remove) {
                dm_.sqDeleteBreakpoint.ParamByName("BreakpointNo").SetAsInteger(number);
                dm_.sqDeleteBreakpoint.Execute();
                return;
            }
            TOraSQL& s = dm_.sqSetBreakpoint;
            s.ParamByName("UnitName").SetAsString(item_->ProcedureName);
            s.ParamByName("UnitOwner").SetAsString(item_->ProcedureOwner);
            s.ParamByName("LineNo").SetAsInteger(line);
            s.ParamByName("BreakpointNo").SetAsInteger(number);
            s.Execute();
            setRequests.emplace_back(line, s.ParamByName("Status").AsInteger());
        };
        if (breakpoints_.empty())
            request(0, first);
        for (size_t i = 0; i < breakpoints_.size(); ++i) {
            if (breakpoints_[i] != first)
                request(k++, first);
            request(static_cast<int>(i) + k, breakpoints_[i]);
        }
    }

    Stop read(TOraSQL& q)
    {
        Stop s;
        s.name = q.ParamByName("program_name").AsString();
        s.line = q.ParamByName("line#").AsInteger();
        s.terminated = q.ParamByName("terminated").AsInteger();
        s.breakpoint = q.ParamByName("breakpoint").AsInteger();
        s.depth = q.ParamByName("stackdepth").AsInteger();
        s.reason = q.ParamByName("reason").AsInteger();
        return s;
    }

    // The worker: runs the call block on the target session, then switches
    // debugging off and detaches, also after an error so that the closing
    // synchronize has an event to meet.
    void workerBody()
    {
        TOraSQL call(&dm_.seTarget);
        call.SQL().SetText(item_->Script);
        call.Params().Clear();
        for (auto& row : params_.Items()) {
            std::string name = row->IsResultRow() ? "ret" : row->ArgumentName;
            call.Params().Add(name, row->ReturnsValue() ? TParamDirection::Out : TParamDirection::In,
                              IsNumericDataType(row->DataType) ? TOraDataType::Integer : TOraDataType::String, 200);
        }
        for (auto& row : params_.Items())
            if (row->TakesValue())
                call.ParamByName(row->ArgumentName).SetAsString(row->Value());
        try {
            call.Execute();
            if (item_->ProcedureTypes == ptFunction)
                result = call.ParamByName("ret").AsString();
        } catch (const EOraError& e) {
            workerError = e.what();
        }
        dm_.sqDebugOff.Execute();
        dm_.sqDetach.Execute();
    }

    TDataModule1 dm_;
    std::shared_ptr<TProcedureItem> item_;
    TParamModel params_;
    std::set<int> lines_;
    std::vector<int> breakpoints_;
    std::string sessionId_;
    std::thread worker_;
};

} // namespace

TEST(DebugRun, StepStepIntoRunToReturnAndStepOverFollowTheProgram)
{
    Watchdog watchdog(90s);
    DebugRun run("ANNUAL_PAY", ptFunction, {{"P_EMPNO", "7499"}});
    ASSERT_GT(run.firstExecutableLine(), 0);

    Stop s = run.start();
    EXPECT_EQ(run.syncResult, "0");
    EXPECT_EQ(run.attachStop.reason, 2);   // interpreter starting
    ASSERT_EQ(run.setRequests.size(), 1u);
    EXPECT_EQ(run.setRequests[0].second, 0);
    EXPECT_EQ(s.line, run.firstExecutableLine());
    EXPECT_EQ(s.depth, 2);
    EXPECT_EQ(s.name, "ANNUAL_PAY");
    EXPECT_EQ(s.reason, 3);                // breakpoint

    s = run.command(32);                   // Step: the first assignment
    EXPECT_EQ(s.depth, 2);
    const int assignLine = s.line;
    EXPECT_GT(assignLine, run.firstExecutableLine());
    s = run.command(32);                   // Step: the line that calls bonus_rate
    EXPECT_EQ(s.line, assignLine + 1);
    s = run.command(12);                   // Step Into: inside bonus_rate
    EXPECT_EQ(s.name, "BONUS_RATE");
    EXPECT_EQ(s.depth, 3);
    s = run.command(512);                  // Run To Return: back in annual_pay
    EXPECT_EQ(s.name, "ANNUAL_PAY");
    EXPECT_EQ(s.depth, 2);
    EXPECT_EQ(s.line, assignLine + 2);
    s = run.command(16);                   // Step Over (break_return): annual_pay returns
    EXPECT_EQ(s.reason, 7);
    EXPECT_EQ(s.depth, 2);
    EXPECT_FALSE(run.closed);
    s = run.command(32);                   // back in the block: the run closes
    EXPECT_TRUE(run.closed);
    EXPECT_EQ(s.terminated, 1);
    EXPECT_EQ(run.workerError, "");
    EXPECT_EQ(run.result, "20475");        // (1600 * 12 + 300) * 1.05
}

TEST(DebugRun, RunToExceptionAndRunToHandlerStopWhereTheErrorIsRaisedAndCaught)
{
    Watchdog watchdog(90s);
    DebugRun run("RAISE_SALARY", ptProcedure, {{"P_EMPNO", "7839"}, {"P_PERCENT", "60"}});
    Stop s = run.start();
    EXPECT_EQ(s.depth, 2);
    s = run.command(2);                    // Run To Exception: RAISE e_too_much
    EXPECT_EQ(s.reason, 11);
    EXPECT_EQ(s.depth, 2);
    const int raiseLine = s.line;
    s = run.command(2048);                 // Run To Handler: the handler's first statement
    EXPECT_EQ(s.reason, 16);
    EXPECT_GT(s.line, raiseLine);
    EXPECT_EQ(s.depth, 2);
    s = run.command(2);                    // RAISE_APPLICATION_ERROR inside the handler
    EXPECT_EQ(s.reason, 11);
    s = run.command(2);                    // unhandled: the call ends with the error
    EXPECT_TRUE(run.closed);
    EXPECT_NE(run.workerError.find("ORA-20002"), std::string::npos) << run.workerError;
}

TEST(DebugRun, CancelAbortsTheProgramAndTheRunCloses)
{
    Watchdog watchdog(90s);
    DebugRun run("DEPT_SUMMARY", ptProcedure, {{"P_DEPTNO", "30"}});
    Stop s = run.start();
    EXPECT_EQ(s.depth, 2);
    s = run.command(32);
    EXPECT_EQ(s.depth, 2);
    s = run.command(8192);                 // Cancel
    EXPECT_TRUE(run.closed);
    EXPECT_EQ(s.terminated, 1);
    EXPECT_NE(run.workerError.find("ORA-01013"), std::string::npos) << run.workerError;
}

TEST(DebugRun, BreakpointsOnNonExecutableLinesAreRefused)
{
    Watchdog watchdog(90s);
    DebugRun run("DEPT_SUMMARY", ptProcedure, {{"P_DEPTNO", "10"}});
    ASSERT_FALSE(run.executableLines().count(1));
    int later = *run.executableLines().rbegin();
    Stop s = run.start({1, later});
    // First line, line 1 (a declaration header: refused), first line, the later line.
    ASSERT_EQ(run.setRequests.size(), 4u);
    EXPECT_EQ(run.setRequests[0].second, 0);
    EXPECT_EQ(run.setRequests[1].second, 12);   // error_illegal_line
    EXPECT_EQ(run.setRequests[3].second, 0);
    EXPECT_EQ(s.line, run.firstExecutableLine());
    s = run.command(0);
    EXPECT_EQ(s.line, later);
    EXPECT_EQ(s.reason, 3);
    while (!run.closed)
        s = run.command(2);
}

TEST(DebugRun, LineMapMarksExactlyTheExecutableStatements)
{
    // dept_summary: the initialised declaration (8), the statements of the
    // body (10 to 15) and the END that returns (18); not the header, the
    // cursor declaration, BEGIN, END IF or END LOOP.
    DebugRun summary("DEPT_SUMMARY", ptProcedure);
    EXPECT_EQ(summary.executableLines(), (std::set<int>{8, 10, 11, 12, 13, 14, 15, 18}));
    // annual_pay: the SELECT INTO (6, over four lines), three statements and END.
    DebugRun pay("ANNUAL_PAY", ptFunction);
    EXPECT_EQ(pay.executableLines(), (std::set<int>{6, 11, 12, 13, 14}));
}

TEST(DebugRun, VariablesOfTheStoppedFrameCanBeRead)
{
    Watchdog watchdog(90s);
    DebugRun run("DEPT_SUMMARY", ptProcedure, {{"P_DEPTNO", "30"}});
    Stop s = run.start({13});
    ASSERT_EQ(s.line, 8);
    s = run.command(0);                    // the breakpoint inside the loop
    ASSERT_EQ(s.line, 13);
    EXPECT_EQ(run.value("p_deptno"), (std::pair<int, std::string>{0, "30"}));
    EXPECT_EQ(run.value("P_COUNT"), (std::pair<int, std::string>{0, "1"}));
    EXPECT_EQ(run.value("r.ename"), (std::pair<int, std::string>{0, "BLAKE"}));
    EXPECT_EQ(run.value("p_top_earner").first, 32);   // error_nullvalue
    EXPECT_EQ(run.value("no_such_thing").first, 3);   // error_no_such_object
    s = run.command(0);                    // next pass of the loop
    EXPECT_EQ(s.line, 13);
    EXPECT_EQ(run.value("p_count").second, "2");
    EXPECT_EQ(run.value("p_top_earner").second, "BLAKE");
    while (!run.closed)
        run.command(2);
}

TEST(DebugRun, AnEndlessLoopEndsWhenCancelled)
{
    Watchdog watchdog(90s);
    {
        TOraSession setup;
        setup.SetConnectPrompt(false);
        setup.SetConnectString("DEMO/demo@sandbox");
        TOraScript create(&setup);
        create.SQL().SetText("CREATE OR REPLACE PROCEDURE spin_forever IS\n"
                             "  v_count PLS_INTEGER := 0;\n"
                             "BEGIN\n"
                             "  LOOP\n"
                             "    v_count := v_count + 1;\n"
                             "  END LOOP;\n"
                             "END spin_forever;\n");
        create.OnError = [](const EOraError& e) { FAIL() << e.what(); };
        create.Execute();
    }
    DebugRun run("SPIN_FOREVER", ptProcedure);
    Stop s = run.start();
    EXPECT_EQ(s.line, 2);
    s = run.command(32);
    s = run.command(32);
    EXPECT_EQ(s.line, 5);
    s = run.command(32);
    EXPECT_EQ(s.line, 5);                  // every pass of the loop is a stop
    EXPECT_EQ(run.value("v_count").second, "1");
    s = run.command(8192);
    EXPECT_TRUE(run.closed);
    EXPECT_NE(run.workerError.find("ORA-01013"), std::string::npos) << run.workerError;
}

TEST(DebugRun, BacktraceBreakpointListAndTargetStateWhileStopped)
{
    Watchdog watchdog(90s);
    DebugRun run("ANNUAL_PAY", ptFunction, {{"P_EMPNO", "7839"}});
    Stop s = run.start({13});
    s = run.command(0);                    // the breakpoint on RETURN
    ASSERT_EQ(s.line, 13);
    EXPECT_EQ(run.debuggerText("declare l varchar2(4000); begin dbms_debug.print_backtrace(l); :out := l; end;"),
              "1: anonymous block line 7\n2: DEMO.ANNUAL_PAY line 13\n");
    EXPECT_EQ(run.debuggerText("declare l varchar2(4000); begin dbms_debug.show_breakpoints(l); :out := l; end;"),
              "1: DEMO.ANNUAL_PAY line 6\n2: DEMO.ANNUAL_PAY line 13\n");
    EXPECT_EQ(run.debuggerText("begin if dbms_debug.target_program_running then :out := 'Y'; "
                               "else :out := 'N'; end if; dbms_debug.ping; end;"),
              "Y");
    EXPECT_EQ(run.debuggerText("declare i dbms_debug.runtime_info; r binary_integer; begin "
                               "r := dbms_debug.get_runtime_info(dbms_debug.info_getStackDepth, i); "
                               ":out := r || '/' || i.stackdepth || '/' || nvl(to_char(i.line#), 'null'); end;"),
              "0/2/null");
    EXPECT_EQ(run.debuggerText("begin :out := dbms_debug.disable_breakpoint(2) || dbms_debug.enable_breakpoint(9); end;"),
              "013");
    while (!run.closed)
        run.command(2);
    EXPECT_EQ(run.result, "");             // KING has no commission: the demo's NULL bug
}
