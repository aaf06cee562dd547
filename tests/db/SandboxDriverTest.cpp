// Tests of the data-access layer against the embedded sandbox server: logon,
// shared in-memory server, SQL binds of every kind, server errors.
#include "db/OraSQL.h"
#include "db/OraSession.h"
#include "db/SandboxDriver.h"
#include "db/OraScript.h"
#include "db/SmartQuery.h"
#include "db/StatementObserver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class SandboxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db::SandboxDriver::ResetServers(); }

    static std::unique_ptr<TOraSession> logon(const std::string& connectString)
    {
        auto s = std::make_unique<TOraSession>();
        s->SetConnectPrompt(false);
        s->SetConnectString(connectString);
        s->Connect();
        return s;
    }
};

TEST_F(SandboxTest, WrongPasswordIsLogonDenied)
{
    try {
        logon("demo/wrong@sandbox");
        FAIL();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode(), 1017);
        EXPECT_EQ(e.Message(), "ORA-01017: invalid username/password; logon denied");
    }
}

TEST_F(SandboxTest, SessionsOfTheProcessShareOneServer)
{
    auto a = logon("demo/demo@sandbox");
    auto b = logon("DEMO/demo");   // no server: the sandbox too
    TOraSQL sql(a.get());
    sql.SQL().SetText("create table gt_shared (n number)");
    sql.Execute();
    sql.SQL().SetText("insert into gt_shared values (7)");
    sql.Execute();
    EXPECT_EQ(sql.RowsAffected(), 1);
    sql.SQL().SetText("commit");
    sql.Execute();

    TSmartQuery q(b.get());
    q.SQL().SetText("select n from gt_shared");
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.Fields(0).AsInteger(), 7);
    sql.SQL().SetText("drop table gt_shared");
    sql.Execute();
}

TEST_F(SandboxTest, QueryBindsOfEveryKindAndNull)
{
    auto s = logon("demo/demo@sandbox");
    TSmartQuery q(s.get());
    q.SQL().SetText("select :i + 1 i, :n * 2 n, :s || '!' s, nvl(:z, 'null') z from dual");
    q.ParamByName("I").SetAsInteger(41);
    q.ParamByName("n").SetAsNumber("0.25");
    q.ParamByName("s").SetAsString("hi");
    q.Open();
    ASSERT_EQ(q.FieldCount(), 4);
    EXPECT_EQ(q.FieldByName("i").AsString(), "42");
    EXPECT_EQ(q.FieldByName("n").AsString(), ".5");
    EXPECT_EQ(q.FieldByName("s").AsString(), "hi!");
    EXPECT_EQ(q.FieldByName("z").AsString(), "null");
}

TEST_F(SandboxTest, ServerErrorsArriveAsEOraError)
{
    auto s = logon("demo/demo@sandbox");
    struct Case { const char* text; int code; };
    const Case cases[] = {
        {"select * from gt_no_such_table", 942},
        {"select no_such_column from dual", 904},
    };
    for (const auto& c : cases) {
        TOraSQL sql(s.get());
        sql.SQL().SetText(c.text);
        try {
            sql.Execute();
            ADD_FAILURE() << c.text;
        } catch (const EOraError& e) {
            EXPECT_EQ(e.ErrorCode(), c.code) << c.text;
            EXPECT_EQ(e.Message().rfind("ORA-", 0), 0u);
        }
    }
}

TEST_F(SandboxTest, PlsqlBindsOfEveryKindAndDirection)
{
    auto s = logon("demo/demo@sandbox");
    TOraSQL sql(s.get());
    sql.SQL().Add("begin");
    sql.SQL().Add("  :i_out := :i_in * 2;");
    sql.SQL().Add("  :n_out := :n_in / 4;");
    sql.SQL().Add("  :s_io := :s_io || '!';");
    sql.SQL().Add("  :null_out := :null_in;");
    sql.SQL().Add("  :line# := 7;");
    sql.SQL().Add("end;");
    sql.Params().Clear();
    sql.Params().Add("i_in", TParamDirection::In, TOraDataType::Integer);
    sql.Params().Add("i_out", TParamDirection::Out, TOraDataType::Integer);
    sql.Params().Add("n_in", TParamDirection::In, TOraDataType::Number);
    sql.Params().Add("n_out", TParamDirection::Out, TOraDataType::Number);
    sql.Params().Add("s_io", TParamDirection::InOut, TOraDataType::String, 20);
    sql.Params().Add("null_in", TParamDirection::In, TOraDataType::String);
    sql.Params().Add("null_out", TParamDirection::Out, TOraDataType::String);
    sql.Params().Add("line#", TParamDirection::Out, TOraDataType::Integer);
    sql.ParamByName("i_in").SetAsInteger(21);
    sql.ParamByName("n_in").SetAsNumber("1");
    sql.ParamByName("s_io").SetAsString("hi");
    sql.ParamByName("null_out").SetAsString("stale");
    sql.Execute();
    EXPECT_EQ(sql.ParamByName("I_OUT").AsInteger(), 42);
    EXPECT_EQ(sql.ParamByName("i_out").AsString(), "42");
    EXPECT_EQ(sql.ParamByName("n_out").AsNumber(), ".25");
    EXPECT_EQ(sql.ParamByName("s_io").AsString(), "hi!");
    EXPECT_TRUE(sql.ParamByName("null_out").IsNull());
    EXPECT_EQ(sql.ParamByName("LINE#").AsInteger(), 7);
}

TEST_F(SandboxTest, CommentedBindsAreNotBinds)
{
    // The shape of the debugger's continue statement: commented assignments
    // name binds that are declared and bound only through their real uses.
    auto s = logon("demo/demo@sandbox");
    TOraSQL sql(s.get());
    sql.SQL().Add("declare");
    sql.SQL().Add("  x varchar2(30) := 'P';");
    sql.SQL().Add("begin ");
    sql.SQL().Add("--  x := :program_name; ");
    sql.SQL().Add("--  x := :never_declared; ");
    sql.SQL().Add("  :program_name := x || ':not_a_bind'; ");
    sql.SQL().Add("end; ");
    sql.Params().Clear();
    sql.Params().Add("program_name", TParamDirection::Out, TOraDataType::String);
    sql.Execute();
    EXPECT_EQ(sql.ParamByName("program_name").AsString(), "P:not_a_bind");
}

TEST_F(SandboxTest, CompilationErrorsAreRaisedAfterTheUnitIsStored)
{
    auto s = logon("demo/demo@sandbox");
    TOraSQL sql(s.get());
    sql.SQL().SetText("create or replace procedure gt_bad is\nbegin\n  undefined_thing;\nend;");
    try {
        sql.Execute();
        FAIL() << "no ORA-24344";
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode(), 24344);
        EXPECT_EQ(e.Message(), "ORA-24344: success with compilation error");
    }
    TSmartQuery q(s.get());
    q.SQL().SetText("select status from user_objects where object_name = 'GT_BAD'");
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.Fields(0).AsString(), "INVALID");

    // The same through a script: reported, and the script goes on.
    TOraScript script(s.get());
    std::vector<int> codes;
    script.OnError = [&](const EOraError& e) { codes.push_back(e.ErrorCode()); };
    script.SQL().SetText("create or replace procedure gt_bad is\nbegin\n  undefined_thing;\nend;\n/\n"
                         "select * from gt_nowhere;\ndrop procedure gt_bad;\n");
    script.Execute();
    EXPECT_EQ(codes, (std::vector<int>{24344, 942}));
    q.Open();
    EXPECT_TRUE(q.Eof());   // dropped by the statement after the errors
}

TEST_F(SandboxTest, OneSessionSharedByTwoThreads)
{
    auto s = logon("demo/demo@sandbox");
    auto worker = [&](int base, int& failures) {
        TSmartQuery q(s.get());
        q.SQL().SetText("select :v + 1 n from dual");
        for (int i = 0; i < 50; ++i) {
            q.ParamByName("v").SetAsInteger(base + i);
            q.Open();
            if (q.Fields(0).AsInteger() != base + i + 1)
                ++failures;
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(worker, 0, std::ref(failuresA));
    std::thread b(worker, 1000, std::ref(failuresB));
    a.join();
    b.join();
    EXPECT_EQ(failuresA + failuresB, 0);
}

TEST_F(SandboxTest, CancelStopsARunningBlock)
{
    auto s = logon("demo/demo@sandbox");
    std::atomic<int> code{0};
    std::thread t([&] {
        TOraSQL sql(s.get());
        sql.SQL().SetText("begin loop null; end loop; end;");
        try { sql.Execute(); } catch (const EOraError& e) { code = e.ErrorCode(); }
    });
    // Cancel until the block has stopped; a cancel before it starts is lost.
    for (int i = 0; i < 500 && code == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s->Cancel();
    }
    t.join();
    EXPECT_EQ(code.load(), 1013);
}

TEST_F(SandboxTest, ObserverSeesRealStatementsWithoutPasswords)
{
    auto s = logon("demo/demo@sandbox");
    std::vector<std::string> texts;
    db::ScopedStatementObserver observer([&](const db::ObservedStatement& o) { texts.push_back(o.text); });
    TOraSQL sql(s.get());
    sql.SQL().SetText("create user gt_user identified by secret_pw");
    sql.Execute();
    sql.SQL().SetText("drop user gt_user");
    try { sql.Execute(); } catch (const EOraError&) {}
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "create user gt_user identified by ********");
}

} // namespace
