// Tests of the data-access layer against the embedded sandbox server: logon,
// shared in-memory server, SQL binds of every kind, server errors.
#include "db/OraSQL.h"
#include "db/OraSession.h"
#include "db/SandboxDriver.h"
#include "db/SmartQuery.h"

#include <gtest/gtest.h>

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

} // namespace
