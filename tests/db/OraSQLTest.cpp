// Tests for TOraSQL: bind kinds and directions, nulls, lookup, binds in
// comments and literals, write-back and warnings.
#include "FakeDriver.h"

#include "db/OraSQL.h"
#include "db/OraSession.h"
#include "db/SqlLexer.h"

#include <gtest/gtest.h>

namespace {

class OraSQLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.SetDriver(std::make_shared<FakeDriver>(server));
        session.SetConnectPrompt(false);
        session.SetConnectString("DEMO/demo@fake");
        session.ConnectDirect();
    }

    const db::DriverBind* sent(const std::string& name, size_t execution = 0)
    {
        for (const auto& b : server->bindsSent.at(execution))
            if (b.name == name)
                return &b;
        return nullptr;
    }

    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    TOraSession session;
};

TEST_F(OraSQLTest, DeclaredBindsOfEveryKindAndDirectionRoundTrip)
{
    server->onExecute = [](const std::string&, std::vector<db::DriverBind>& binds) {
        for (auto& b : binds) {
            if (b.name == "i_out") b.value = "42";
            if (b.name == "n_out") b.value = "-1.25";
            if (b.name == "s_out") b.value = "hello";
            if (b.name == "s_io") b.value = *b.value + "!";
            if (b.name == "null_out") b.value.reset();
        }
        return db::DriverResult{};
    };
    TOraSQL sql(&session);
    sql.SQL().Add("begin :i_out := 42; :n_out := :n_in; :s_out := 'hello';");
    sql.SQL().Add("  :s_io := :s_io || '!'; :null_out := :i_in; end;");
    sql.Params().Add("i_in", TParamDirection::In, TOraDataType::Integer);
    sql.Params().Add("i_out", TParamDirection::Out, TOraDataType::Integer);
    sql.Params().Add("n_in", TParamDirection::In, TOraDataType::Number);
    sql.Params().Add("n_out", TParamDirection::Out, TOraDataType::Number);
    sql.Params().Add("s_out", TParamDirection::Out, TOraDataType::String, 50);
    sql.Params().Add("s_io", TParamDirection::InOut, TOraDataType::String, 10);
    sql.Params().Add("null_out", TParamDirection::Out, TOraDataType::Integer);
    sql.ParamByName("i_in").SetAsInteger(7);
    sql.ParamByName("n_in").SetAsNumber("0.50");
    sql.ParamByName("s_io").SetAsString("abc");
    sql.ParamByName("null_out").SetAsInteger(3);   // an Out value is never sent
    sql.Execute();

    EXPECT_EQ(sent("i_in")->value, "7");
    EXPECT_EQ(sent("n_in")->value, ".5");
    EXPECT_EQ(sent("n_in")->type, TOraDataType::Number);
    EXPECT_EQ(sent("s_io")->size, 10);
    EXPECT_EQ(sent("s_io")->direction, TParamDirection::InOut);
    EXPECT_FALSE(sent("i_out")->value.has_value());

    EXPECT_EQ(sql.ParamByName("i_out").AsInteger(), 42);
    EXPECT_EQ(sql.ParamByName("i_out").AsString(), "42");   // integer read as text
    EXPECT_EQ(sql.ParamByName("n_out").AsNumber(), "-1.25");
    EXPECT_EQ(sql.ParamByName("s_out").AsString(), "hello");
    EXPECT_EQ(sql.ParamByName("s_io").AsString(), "abc!");
    EXPECT_TRUE(sql.ParamByName("null_out").IsNull());
    EXPECT_EQ(sql.ParamByName("null_out").AsInteger(), 0);
    EXPECT_EQ(sql.ParamByName("null_out").AsString(), "");
}

TEST_F(OraSQLTest, UnassignedAndClearedInBindsAreSentAsNull)
{
    TOraSQL sql(&session);
    sql.SQL().SetText("begin p(:a, :b); end;");
    sql.Params().Add("a", TParamDirection::In, TOraDataType::String);
    sql.Params().Add("b", TParamDirection::In, TOraDataType::Integer);
    sql.ParamByName("b").SetAsInteger(5);
    sql.ParamByName("b").Clear();
    sql.Execute();
    EXPECT_FALSE(sent("a")->value.has_value());
    EXPECT_FALSE(sent("b")->value.has_value());
}

TEST_F(OraSQLTest, LookupIgnoresCaseAndRejectsUnknownNames)
{
    TOraSQL sql(&session);
    sql.SQL().SetText("begin x(:BreakFlags, :Debug_Session_ID, :line#); end;");
    sql.Params().Add("BreakFlags", TParamDirection::In, TOraDataType::Integer);
    sql.Params().Add("Debug_Session_ID", TParamDirection::In, TOraDataType::String, 50);
    sql.Params().Add("line#", TParamDirection::Out, TOraDataType::Integer);
    EXPECT_EQ(&sql.ParamByName("breakflags"), &sql.ParamByName("BREAKFLAGS"));
    EXPECT_EQ(sql.ParamByName("debug_session_id").Name(), "Debug_Session_ID");
    EXPECT_EQ(sql.ParamByName("LINE#").Name(), "line#");
    try {
        sql.ParamByName("nosuch");
        FAIL() << "no error for an unknown name";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Parameter 'nosuch' not found");
    }
}

TEST_F(OraSQLTest, CommentLinesAndLiteralsHoldNoBinds)
{
    // As in the debugger's continue statement: the commented lines name
    // program_name, which is bound only through its real use below.
    TOraSQL sql(&session);
    sql.SQL().Add("begin");
    sql.SQL().Add("--  runtime_info.program.name := :program_name; ");
    sql.SQL().Add("  x := ':not_a_bind' || q'[:nor_this]'; /* :nor_that */");
    sql.SQL().Add("  :program_name := runtime_info.program.name; -- :trailing");
    sql.SQL().Add("end;");
    EXPECT_EQ(db::FindBindNames(sql.SQL().Text()), std::vector<std::string>{"program_name"});
    ASSERT_EQ(sql.Params().Count(), 1);
    sql.Execute();
    ASSERT_EQ(server->bindsSent[0].size(), 1u);
    EXPECT_EQ(server->bindsSent[0][0].name, "program_name");
}

TEST(BindNames, FoundOnceInOrderWithTheirSpelling)
{
    struct Case { const char* text; std::vector<std::string> names; };
    const Case cases[] = {
        {"select :a, :B from t where c = :A", {"a", "B"}},
        {"begin :x := 1; end;", {"x"}},
        {":line# := info.line#;", {"line#"}},
        {"x := y; z:=:w", {"w"}},
        {"select 'it''s :no' from dual where a = :yes", {"yes"}},
        {"select \":quoted\" from t", {}},
        {"a -- :c\n:d", {"d"}},
        {"nq'{:x}' || :y", {"y"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::FindBindNames(c.text), c.names) << c.text;
}

TEST_F(OraSQLTest, BindsFollowTheTextUntilDeclared)
{
    TOraSQL sql(&session);
    sql.SQL().SetText("SELECT 1 FROM t WHERE name=:objName and type=:objType");
    sql.ParamByName("objname").SetAsString("P");
    sql.SQL().SetText("SELECT 1 FROM t WHERE name=:objName and owner=:objOwner");
    EXPECT_EQ(sql.ParamByName("OBJNAME").AsString(), "P");   // kept across the change
    EXPECT_EQ(sql.Params().FindParam("objType"), nullptr);
    EXPECT_TRUE(sql.ParamByName("objOwner").IsNull());

    sql.Params().Clear();
    sql.Params().Add("objName", TParamDirection::In, TOraDataType::String);
    sql.SQL().Add(" and x = :other");
    EXPECT_EQ(sql.Params().Count(), 1);   // declared: the text no longer decides
}

TEST_F(OraSQLTest, ATextBindWithoutVariableIsNotAllBound)
{
    TOraSQL sql(&session);
    sql.SQL().SetText("begin :a := :b; end;");
    sql.Params().Clear();   // the text's binds give way to the declared list
    sql.Params().Add("a", TParamDirection::Out, TOraDataType::Integer);
    try {
        sql.Execute();
        FAIL() << "executed with :b unbound";
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode(), 1008);
        EXPECT_EQ(e.Message(), "ORA-01008: not all variables bound");
    }
    EXPECT_TRUE(server->executed.empty());
}

TEST_F(OraSQLTest, AWarningIsRaisedAfterOutValuesArrive)
{
    server->onExecute = [](const std::string&, std::vector<db::DriverBind>& binds) {
        binds[0].value = "1";
        db::DriverResult r;
        r.warningCode = 24344;
        r.warningText = "ORA-24344: success with compilation error";
        return r;
    };
    TOraSQL sql(&session);
    sql.SQL().SetText("begin :s := 1; end;");
    sql.Params().Add("s", TParamDirection::Out, TOraDataType::Integer);
    try {
        sql.Execute();
        FAIL();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode(), 24344);
        EXPECT_EQ(e.Message(), "ORA-24344: success with compilation error");
    }
    EXPECT_EQ(sql.ParamByName("s").AsInteger(), 1);
}

TEST(OraParam, ConversionsAndTheirErrors)
{
    TOraParam p("x", TParamDirection::InOut, TOraDataType::String);
    p.SetAsString("12");
    EXPECT_EQ(p.AsInteger(), 12);
    p.SetAsNumber("2.5");
    EXPECT_EQ(p.AsInteger(), 3);          // rounds half away from zero
    EXPECT_EQ(p.AsString(), "2.5");
    p.SetAsString("abc");
    EXPECT_THROW(p.AsInteger(), std::invalid_argument);
    p.SetAsString("3000000000");
    EXPECT_THROW(p.AsInteger(), std::invalid_argument);
    EXPECT_EQ(p.AsLargeInt(), 3000000000);
    EXPECT_THROW(p.SetAsNumber("1.2.3"), std::invalid_argument);
    p.SetAsInteger(-4);
    EXPECT_EQ(p.AsString(), "-4");
}

} // namespace
