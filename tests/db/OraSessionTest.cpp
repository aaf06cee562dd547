// Tests for TOraSession: connect string, the connect dialog's rules, the
// unknown-server error, the statement observer and the one-statement lock.
#include "FakeDriver.h"

#include "db/ConnectPrompt.h"
#include "db/OraSQL.h"
#include "db/OraSession.h"
#include "db/SmartQuery.h"
#include "db/StatementObserver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(ConnectString, JoinsAndSplitsUserPasswordServer)
{
    struct Case { const char* user; const char* password; const char* server; const char* text; };
    const Case cases[] = {
        {"demo", "demo", "sandbox", "demo/demo@sandbox"},
        {"demo", "", "sandbox", "demo@sandbox"},
        {"demo", "pw", "", "demo/pw"},
        {"demo", "", "", "demo"},
        {"demo", "p@ss/word", "sandbox:/tmp/x.db", "demo/p@ss/word@sandbox:/tmp/x.db"},
    };
    for (const auto& c : cases) {
        TOraSession s;
        s.SetUsername(c.user);
        s.SetPassword(c.password);
        s.SetServer(c.server);
        EXPECT_EQ(s.ConnectString(), c.text);
        TOraSession t;
        t.SetConnectString(c.text);
        EXPECT_EQ(t.Username(), c.user) << c.text;
        EXPECT_EQ(t.Password(), c.password) << c.text;
        EXPECT_EQ(t.Server(), c.server) << c.text;
    }
}

// Answers the dialog with a list of passwords, one per "Connect" click,
// and records what the dialog showed.
class ScriptedPrompt : public IConnectPrompt {
public:
    std::vector<std::string> passwords;   // empty list: the user cancels
    std::vector<std::string> errorsShown;
    bool focusOnPassword = false;
    std::string shownUser, shownServer;
    std::vector<std::string> servers;

    bool Execute(TConnectDialogModel& model) override
    {
        focusOnPassword = model.FocusOnPassword();
        shownUser = model.Username;
        shownServer = model.Server;
        servers = model.Servers();
        for (const auto& pw : passwords) {
            model.Password = pw;
            switch (model.Submit()) {
            case TConnectDialogModel::Outcome::Connected: return true;
            case TConnectDialogModel::Outcome::GaveUp: return false;
            case TConnectDialogModel::Outcome::Retry: errorsShown.push_back(model.LastError()); break;
            }
        }
        return false;   // Cancel
    }
};

class PromptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.SetDriver(std::make_shared<FakeDriver>(server));
        session.SetUsername(db::DefaultUsername);
        session.SetServer(db::DefaultServer);
        session.SetPrompt(&prompt);
    }
    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    TOraSession session;
    ScriptedPrompt prompt;
};

TEST_F(PromptTest, OpensWithTheSessionValuesAndFocusOnTheEmptyPassword)
{
    prompt.passwords = {"demo"};
    EXPECT_TRUE(session.Connect());
    EXPECT_TRUE(session.Connected());
    EXPECT_TRUE(prompt.focusOnPassword);
    EXPECT_EQ(prompt.shownUser, "DEMO");
    EXPECT_EQ(prompt.shownServer, "sandbox");
    ASSERT_FALSE(prompt.servers.empty());
    EXPECT_EQ(prompt.servers[0], "sandbox");
    EXPECT_EQ(session.ConnectString(), "DEMO/demo@sandbox");
}

TEST_F(PromptTest, FailedAttemptsShowTheMessageAndTheThirdGivesUp)
{
    struct Case { std::vector<std::string> passwords; bool connected; size_t errorsShown; };
    const Case cases[] = {
        {{"x", "demo"}, true, 1},
        {{"x", "y", "demo"}, true, 2},
        {{"x", "y", "z", "demo"}, false, 2},   // the third failure closes the dialog
        {{}, false, 0},                       // Cancel
    };
    for (const auto& c : cases) {
        session.Disconnect();
        prompt.errorsShown.clear();
        prompt.passwords = c.passwords;
        EXPECT_EQ(session.Connect(), c.connected);
        EXPECT_EQ(session.Connected(), c.connected);
        ASSERT_EQ(prompt.errorsShown.size(), c.errorsShown);
        for (const auto& e : prompt.errorsShown)
            EXPECT_EQ(e, "ORA-01017: invalid username/password; logon denied");
    }
}

TEST_F(PromptTest, AStatementOnACancelledConnectEndsSilently)
{
    TOraSQL sql(&session);
    sql.SQL().SetText("begin null; end;");
    EXPECT_THROW(sql.Execute(), EAbort);
    EXPECT_TRUE(server->executed.empty());
}

TEST(SessionServers, UnknownServerIsUnresolvedAndNamesTheSandbox)
{
    TOraSession s;
    s.SetConnectPrompt(false);
    s.SetConnectString("demo/demo@prod");
    try {
        s.Connect();
        FAIL();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode(), 12154);
        std::string m = e.Message();
        EXPECT_EQ(m.substr(0, m.find('\n')), "ORA-12154: TNS:could not resolve the connect identifier specified");
        EXPECT_NE(m.find("sandbox"), std::string::npos);
    }
    EXPECT_FALSE(s.Connected());
    EXPECT_TRUE(db::IsSandboxServer("SANDBOX"));
    EXPECT_TRUE(db::IsSandboxServer("sandbox:/tmp/a.db"));
    EXPECT_FALSE(db::IsSandboxServer("sandboxes"));
}

TEST(StatementObserver, SeesTextAndBindsButNoPassword)
{
    auto server = std::make_shared<FakeServer>();
    TOraSession session("seTarget");
    session.SetDriver(std::make_shared<FakeDriver>(server));
    session.SetConnectPrompt(false);
    session.SetConnectString("DEMO/demo");
    std::vector<db::ObservedStatement> seen;
    db::ScopedStatementObserver observer([&](const db::ObservedStatement& s) { seen.push_back(s); });

    TOraSQL sql(&session);
    sql.SQL().SetText("begin :r := f(:a); end;");
    sql.Params().Add("r", TParamDirection::Out, TOraDataType::String);
    sql.Params().Add("a", TParamDirection::In, TOraDataType::Integer);
    sql.ParamByName("a").SetAsInteger(5);
    sql.ParamByName("r").SetAsString("stale");
    sql.Execute();
    sql.Params().Clear();
    sql.SQL().SetText("create user bob identified by s3cret");
    sql.Execute();
    sql.SQL().SetText("ALTER USER bob IDENTIFIED BY \"new pw\" REPLACE s3cret;");
    sql.Execute();

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].session, "seTarget");
    EXPECT_EQ(seen[0].text, "begin :r := f(:a); end;");
    ASSERT_EQ(seen[0].binds.size(), 2u);
    EXPECT_EQ(seen[0].binds[0].name, "r");
    EXPECT_FALSE(seen[0].binds[0].value.has_value());
    EXPECT_EQ(seen[0].binds[1].value, "5");
    EXPECT_EQ(seen[1].text, "create user bob identified by ********");
    EXPECT_EQ(seen[2].text, "ALTER USER bob IDENTIFIED BY ******** REPLACE ********;");
    for (const auto& s : seen)
        EXPECT_EQ(s.text.find("demo/"), std::string::npos);
}

TEST(SessionLock, TwoThreadsNeverExecuteAtOnce)
{
    auto server = std::make_shared<FakeServer>();
    std::atomic<int> inFlight{0}, maxInFlight{0};
    server->onExecute = [&](const std::string&, std::vector<db::DriverBind>&) {
        int now = ++inFlight;
        int seen = maxInFlight.load();
        while (now > seen && !maxInFlight.compare_exchange_weak(seen, now)) {}
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        --inFlight;
        return db::DriverResult{};
    };
    TOraSession session;
    session.SetDriver(std::make_shared<FakeDriver>(server));
    session.SetConnectPrompt(false);
    session.SetConnectString("DEMO/demo");
    session.Connect();

    auto worker = [&](const char* text) {
        TOraSQL sql(&session);
        sql.SQL().SetText(text);
        for (int i = 0; i < 100; ++i)
            sql.Execute();
    };
    std::thread a(worker, "begin a; end;");
    std::thread b(worker, "begin b; end;");
    a.join();
    b.join();
    EXPECT_EQ(maxInFlight.load(), 1);
    EXPECT_EQ(server->executed.size(), 200u);
}

TEST(SessionLock, CancelReachesTheRunningStatementWithoutWaiting)
{
    auto server = std::make_shared<FakeServer>();
    std::atomic<bool> started{false};
    server->onExecute = [&](const std::string&, std::vector<db::DriverBind>&) -> db::DriverResult {
        started = true;
        for (int i = 0; i < 2000; ++i) {
            {
                std::lock_guard lock(server->mutex);
                if (server->cancels > 0)
                    throw EOraError::Make(1013, "user requested cancel of current operation");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return {};
    };
    TOraSession session;
    session.SetDriver(std::make_shared<FakeDriver>(server));
    session.SetConnectPrompt(false);
    session.SetConnectString("DEMO/demo");
    int code = 0;
    std::thread t([&] {
        TOraSQL sql(&session);
        sql.SQL().SetText("begin loop null; end loop; end;");
        try { sql.Execute(); } catch (const EOraError& e) { code = e.ErrorCode(); }
    });
    while (!started)
        std::this_thread::yield();
    session.Cancel();
    t.join();
    EXPECT_EQ(code, 1013);
}

TEST(SmartQuery, WalksRowsAndReadsFieldsByPositionAndName)
{
    auto server = std::make_shared<FakeServer>();
    server->onExecute = [](const std::string&, std::vector<db::DriverBind>& binds) {
        EXPECT_EQ(binds.at(0).value, "DEMO");
        db::DriverResult r;
        r.cursor = std::make_unique<FakeCursor>(
            std::vector<db::DriverColumn>{{"OWNER", db::DriverColumn::Type::String},
                                          {"LINE", db::DriverColumn::Type::Number}},
            std::vector<std::vector<db::OraValue>>{{"DEMO", "3"}, {"DEMO", std::nullopt}});
        return r;
    };
    TOraSession session;
    session.SetDriver(std::make_shared<FakeDriver>(server));
    session.SetConnectPrompt(false);
    session.SetConnectString("DEMO/demo");
    TSmartQuery q(&session);
    q.SQL().SetText("select owner, line from t where owner = :owner");
    q.ParamByName("OWNER").SetAsString("DEMO");
    q.Open();
    q.First();
    ASSERT_TRUE(q.Active());
    ASSERT_EQ(q.FieldCount(), 2);
    EXPECT_FALSE(q.Eof());
    EXPECT_EQ(q.Fields(0).AsString(), "DEMO");
    EXPECT_EQ(q.FieldByName("line").AsInteger(), 3);
    q.Next();
    EXPECT_TRUE(q.FieldByName("Line").IsNull());
    EXPECT_EQ(q.Fields(1).AsString(), "");
    q.Next();
    EXPECT_TRUE(q.Eof());
    EXPECT_THROW(q.FieldByName("nosuch"), std::invalid_argument);
    EXPECT_THROW(q.Fields(2), std::out_of_range);
    q.Close();
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.FieldCount(), 0);
}

} // namespace
