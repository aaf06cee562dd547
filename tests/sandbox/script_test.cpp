// script_test.cpp - splitting scripts and loading the demo tables through
// the server.
#include "sandbox_test_util.h"

#include "sandbox/boot/demo_scripts.h"
#include "sandbox/script.h"

#include <cstring>

namespace sandbox::test {

TEST(ScriptSplitter, SemicolonsEndSqlAndASlashLineEndsPlsql)
{
    const char* script =
        "-- a comment\n"
        "PROMPT loading\n"
        "create table t (x varchar2(10));\n"
        "insert into t values ('a;b'); insert into t values ('c');\n"
        "/* block ; comment */ select * -- not ; the end\n"
        "from t;\n"
        "CREATE OR REPLACE\n"
        "PROCEDURE p IS\n"
        "BEGIN\n"
        "  NULL;\n"
        "END;\n"
        "/\n"
        "begin p; end;\n"
        "/\n"
        "SET SERVEROUTPUT ON\n"
        "SET TRANSACTION READ ONLY;\n"
        "select 1 from dual\n"
        "/\n"
        "commit";
    std::vector<ScriptStatement> s = splitScript(script);
    ASSERT_EQ(s.size(), 9u);
    EXPECT_EQ(s[0].text, "create table t (x varchar2(10))");
    EXPECT_EQ(s[0].line, 3);
    EXPECT_EQ(s[1].text, "insert into t values ('a;b')");
    EXPECT_EQ(s[2].text, " insert into t values ('c')");
    EXPECT_EQ(s[3].text, "/* block ; comment */ select * -- not ; the end\nfrom t");
    EXPECT_TRUE(s[4].plsql);
    EXPECT_EQ(s[4].text, "CREATE OR REPLACE\nPROCEDURE p IS\nBEGIN\n  NULL;\nEND;");
    EXPECT_EQ(s[4].line, 7);
    EXPECT_TRUE(s[5].plsql);
    EXPECT_EQ(s[5].text, "begin p; end;");
    EXPECT_EQ(s[6].text, "SET TRANSACTION READ ONLY");
    EXPECT_EQ(s[7].text, "select 1 from dual");
    EXPECT_FALSE(s[7].plsql);
    EXPECT_EQ(s[8].text, "commit");
}

TEST(ScriptSplitter, RecognisesPlsqlStarts)
{
    EXPECT_TRUE(startsPlsql("DECLARE x NUMBER; BEGIN NULL; END;"));
    EXPECT_TRUE(startsPlsql("  -- c\n create or replace editionable function f return number is"));
    EXPECT_TRUE(startsPlsql("CREATE PACKAGE BODY pkg AS"));
    EXPECT_FALSE(startsPlsql("CREATE TABLE function_log (x NUMBER)"));
    EXPECT_FALSE(startsPlsql("select 1 from dual"));
}

TEST(DemoSchema, TablesScriptLoadsWithoutErrors)
{
    // The tables script alone, on a server without any PL/SQL engine.
    auto server = ServerImpl::open("");
    auto demo = server->logon("DEMO", "demo");
    const EmbeddedScript* s = embeddedDemoScripts();
    ASSERT_NE(s->name, nullptr);
    EXPECT_STREQ(s->name, "01_schema.sql");
    std::vector<ScriptError> errors = server->impl().runScript(*demo, std::string_view(s->text, s->size));
    for (const ScriptError& e : errors) ADD_FAILURE() << "line " << e.line << ": " << e.message;
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "14");
}

} // namespace sandbox::test
