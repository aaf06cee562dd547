// test_probe.cpp - the debug probe (events, frames, variables), executable
// lines, and cancellation of a running statement.
#include "plsql_fixture.h"

#include "sandbox/plsql/debug_hook.h"
#include "sandbox/plsql/plsql_engine.h"
#include "sandbox/plsql/session_state.h"
#include "sandbox/session_impl.h"

#include <chrono>
#include <thread>

namespace {

using namespace sandbox::plsql;

const char* eventName(DebugEvent e)
{
    switch (e) {
    case DebugEvent::Start: return "start";
    case DebugEvent::Line: return "line";
    case DebugEvent::Call: return "call";
    case DebugEvent::Return: return "return";
    case DebugEvent::Exception: return "exception";
    case DebugEvent::Handler: return "handler";
    case DebugEvent::End: return "end";
    }
    return "?";
}

// Records every event as "event name:line@depth", and the value of V_TOTAL when asked.
class Recorder : public DebugHook {
public:
    std::vector<std::string> events;
    std::vector<std::string> values;

    Action onEvent(DebugContext& ctx) override
    {
        DebugFrame f = ctx.frame(ctx.depth());
        std::string unit = f.name.empty() ? "block" : f.name;
        events.push_back(std::string(eventName(ctx.event())) + " " + unit + ":" + std::to_string(f.line) + "@" +
                         std::to_string(ctx.depth()));
        if (ctx.event() == DebugEvent::Line && f.name == "SUMMER") {
            DebugValue v = ctx.value(ctx.depth(), "v_total");
            values.push_back(v.status == DebugValueStatus::IsNull ? "null" : v.text);
        }
        return Action::Continue;
    }
};

TEST_F(PlsqlTest, ProbeReportsLinesCallsAndReturnsWithVariables)
{
    run("CREATE OR REPLACE FUNCTION summer(n NUMBER) RETURN NUMBER IS\n"
        "  v_total NUMBER := 0;\n"
        "BEGIN\n"
        "  FOR i IN 1..n LOOP v_total := v_total + i; END LOOP;\n"
        "  RETURN v_total;\n"
        "END;");
    Recorder rec;
    plsqlSession(session->impl()).debugHook = &rec;
    run("DECLARE\n  x NUMBER;\nBEGIN\n  x := summer(2);\nEND;");
    plsqlSession(session->impl()).debugHook = nullptr;
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"start block:1@1", "line block:4@1", "call SUMMER:1@2", "line SUMMER:2@2",
                                        "line SUMMER:4@2", "line SUMMER:4@2", "line SUMMER:4@2", "line SUMMER:5@2",
                                        "return SUMMER:6@2", "end block:5@1"}));
    EXPECT_EQ(rec.values, (std::vector<std::string>{"null", "0", "0", "1", "3"}));
}

TEST_F(PlsqlTest, ProbeStopsOnLoopAndElsifLinesEachPass)
{
    Recorder rec;
    plsqlSession(session->impl()).debugHook = &rec;
    run("DECLARE\n  v NUMBER := 0;\nBEGIN\n  FOR i IN 1..2 LOOP\n    IF i = 5 THEN\n      v := 1;\n"
        "    ELSIF i = 2 THEN\n      v := 2;\n    END IF;\n  END LOOP;\nEND;");
    plsqlSession(session->impl()).debugHook = nullptr;
    EXPECT_EQ(rec.events, (std::vector<std::string>{"start block:1@1", "line block:2@1", "line block:4@1",
                                                    "line block:5@1", "line block:7@1", "line block:4@1",
                                                    "line block:5@1", "line block:7@1", "line block:8@1",
                                                    "end block:11@1"}));
}

TEST_F(PlsqlTest, ProbeReportsExceptionsAndHandlers)
{
    Recorder rec;
    plsqlSession(session->impl()).debugHook = &rec;
    run("DECLARE\n  v NUMBER;\nBEGIN\n  v := 1 / 0;\nEXCEPTION\n  WHEN ZERO_DIVIDE THEN\n    v := 0;\nEND;");
    plsqlSession(session->impl()).debugHook = nullptr;
    EXPECT_EQ(rec.events, (std::vector<std::string>{"start block:1@1", "line block:4@1", "exception block:4@1",
                                                    "handler block:7@1", "line block:7@1", "end block:8@1"}));
}

TEST_F(PlsqlTest, LineMapListsExecutableLines)
{
    auto m = unitLineMap(session->impl(), "DEMO", "GET_GRADE", "FUNCTION");
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.lines, (std::set<int>{4, 8, 11, 12}));   // statements, and the END line
    EXPECT_EQ(m.maxLine, 12);
    EXPECT_FALSE(unitLineMap(session->impl(), "DEMO", "NO_SUCH_UNIT", "").found);
}

struct CancelCase {
    const char* name;
    const char* block;
};

class Cancel : public PlsqlTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(Cancel, StopsAnEndlessLoopWithOra01013)
{
    std::string result;
    std::thread worker([&] { result = error(GetParam().block); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session->cancel();
    worker.join();
    EXPECT_EQ(result, "ORA-01013: user requested cancel of current operation");
    EXPECT_EQ(error("BEGIN NULL; END;"), "");
}

const CancelCase kCancelCases[] = {
    {"plainLoop", "BEGIN LOOP NULL; END LOOP; END;"},
    {"handlerInside", "DECLARE n NUMBER := 0; BEGIN LOOP BEGIN n := n + 1; EXCEPTION WHEN OTHERS THEN NULL; END; "
                      "END LOOP; END;"},
};

INSTANTIATE_TEST_SUITE_P(Interpreter, Cancel, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// Sessions on different threads share the server's compiled units.
TEST_F(PlsqlTest, SessionsOnThreadsShareCompiledUnits)
{
    std::vector<std::thread> threads;
    std::vector<std::string> results(3);
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([this, t, &results] {
            auto s = server->logon("DEMO", "demo");
            for (int k = 0; k < 50; ++k) {
                std::vector<sandbox::BindVar> b(1);
                b[0].name = "r";
                b[0].mode = sandbox::BindMode::Out;
                b[0].type = sandbox::BindType::Number;
                s->execute("BEGIN :r := factorial(10) + payroll.monthly_cost(10) + NVL(get_grade(1500), 0); END;", b);
                results[t] = b[0].value.toText();
            }
        });
    }
    for (auto& th : threads)
        th.join();
    for (const auto& r : results)
        EXPECT_EQ(r, "3637553");
}

} // namespace
