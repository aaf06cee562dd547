// Tests for ScriptSplitter and TOraScript: statement ends, PL/SQL units,
// "/" lines, and reporting rejected statements while going on.
#include "FakeDriver.h"

#include "db/OraScript.h"
#include "db/OraSession.h"
#include "db/ScriptSplitter.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(std::string_view script)
{
    std::vector<std::string> out;
    for (const auto& s : db::SplitScript(script))
        out.push_back(s.text);
    return out;
}

TEST(ScriptSplitter, CutsWhereSqlPlusWould)
{
    struct Case { const char* name; const char* script; std::vector<std::string> statements; };
    const Case cases[] = {
        {"two on one line", "select 1 from dual; select 2 from dual;",
         {"select 1 from dual", "select 2 from dual"}},
        {"semicolon in literal and comment",
         "insert into t values ('a;b'); -- c;d\nselect 1 /* ; */ from dual;",
         {"insert into t values ('a;b')", "select 1 /* ; */ from dual"}},
        {"leading comments dropped", "-- header;\n\n/* block; */\nselect 1 from dual;",
         {"select 1 from dual"}},
        {"unit keeps its semicolons up to the slash",
         "create or replace procedure p is\nbegin\n  null;\nend;\n/\nselect 1 from dual;",
         {"create or replace procedure p is\nbegin\n  null;\nend;", "select 1 from dual"}},
        {"unit without slash runs to the end",
         "CREATE OR REPLACE\nFUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;",
         {"CREATE OR REPLACE\nFUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;"}},
        {"package body and anonymous blocks",
         "create package body k as end;\n/\ndeclare x int; begin x := 1; end;\n  /  \nbegin null; end;\n/",
         {"create package body k as end;", "declare x int; begin x := 1; end;", "begin null; end;"}},
        {"slash ends a SQL statement", "select 1\nfrom dual\n/\n", {"select 1\nfrom dual"}},
        {"slash inside a literal is text", "begin x := '\n/\n'; end;\n/",
         {"begin x := '\n/\n'; end;"}},
        {"trailing text without semicolon", "select 1 from dual", {"select 1 from dual"}},
        {"create table is plain SQL", "create table t (a int);create trigger g before insert on t begin :new.a := 1; end;\n/",
         {"create table t (a int)", "create trigger g before insert on t begin :new.a := 1; end;"}},
        {"only comments", "-- nothing\n/* here */\n", {}},
        {"empty statements skipped", ";;\n;", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(texts(c.script), c.statements) << c.name;
}

TEST(ScriptSplitter, ReportsStartLinesAndKinds)
{
    auto all = db::SplitScript("-- one\nselect 1\n  from dual;\n\ncreate or replace procedure p is\nbegin null; end;\n/\n");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].line, 2);
    EXPECT_FALSE(all[0].plsql);
    EXPECT_EQ(all[1].line, 5);
    EXPECT_TRUE(all[1].plsql);
}

class OraScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.SetDriver(std::make_shared<FakeDriver>(server));
        session.SetConnectPrompt(false);
        session.SetConnectString("DEMO/demo@fake");
    }
    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    TOraSession session;
};

TEST_F(OraScriptTest, ReportsEveryRejectedStatementAndGoesOn)
{
    server->onExecute = [](const std::string& text, std::vector<db::DriverBind>&) {
        if (text.find("nosuch") != std::string::npos)
            throw EOraError::Make(942, "table or view does not exist");
        db::DriverResult r;
        if (text.find("bad") != std::string::npos) {
            r.warningCode = 24344;
            r.warningText = "ORA-24344: success with compilation error";
        }
        return r;
    };
    TOraScript script(&session);
    std::vector<std::string> shown;
    script.OnError = [&](const EOraError& e) { shown.push_back(e.Message()); };
    script.SQL().SetText("select * from nosuch;\ncreate or replace procedure bad is begin x; end;\n/\n"
                         "select * from nosuch;\ninsert into t values (1);");
    script.Execute();   // returns normally
    EXPECT_EQ(shown, (std::vector<std::string>{"ORA-00942: table or view does not exist",
                                               "ORA-24344: success with compilation error",
                                               "ORA-00942: table or view does not exist"}));
    ASSERT_EQ(server->executed.size(), 4u);
    EXPECT_EQ(server->executed[3], "insert into t values (1)");
}

TEST_F(OraScriptTest, DefaultErrorDisplayIsTheApplications)
{
    server->onExecute = [](const std::string&, std::vector<db::DriverBind>&) -> db::DriverResult {
        throw EOraError::Make(900, "invalid SQL statement");
    };
    std::vector<std::string> shown;
    db::SetErrorDisplay([&](const std::exception& e) { shown.push_back(e.what()); });
    TOraScript script(&session);
    script.SQL().Add("bogus");
    script.Execute();
    db::SetErrorDisplay({});
    EXPECT_EQ(shown, std::vector<std::string>{"ORA-00900: invalid SQL statement"});
}

} // namespace
