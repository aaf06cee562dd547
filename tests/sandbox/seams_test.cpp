// seams_test.cpp - the PL/SQL engine's seams: statements routed to the
// engine, identifiers resolved through the Resolver (columns first), PL/SQL
// functions called from SQL, and the engine's SessionServices.
#include "sandbox_test_util.h"

#include "sandbox/session_impl.h"

#include <map>

namespace sandbox::test {

namespace {

// A stand-in engine: claims blocks starting with "BEGIN", knows one function.
class FakeEngine : public PlsqlEngine {
public:
    int executed = 0;
    std::vector<std::string> functionLookups;

    int version = 1;   // what DOUBLE_IT's callable multiplies by, fixed when resolved

    bool handles(std::string_view s) const override { return s.rfind("BEGIN", 0) == 0; }
    ExecResult execute(SessionServices& session, const std::string&, std::vector<BindVar>& binds) override
    {
        ++executed;
        for (BindVar& b : binds)
            if (b.mode != BindMode::In) b.value = Value::string(session.user());
        ExecResult r;
        r.warningCode = 24344;
        r.warningText = "ORA-24344: success with compilation error";
        return r;
    }
    SqlFunction resolveFunction(SessionServices&, const std::string& name) override
    {
        functionLookups.push_back(name);
        if (name == "DOUBLE_IT" || name == "DEMO.DOUBLE_IT" || name == "PKG.DOUBLE_IT")
            return [factor = version * 2](SessionServices&, const std::vector<Value>& args) {
                return Value::number(args.at(0).asNumber() * Number::fromInt(factor));
            };
        if (name == "FAILS")
            return [](SessionServices&, const std::vector<Value>&) -> Value {
                throw OraError(20001, "ORA-20001: it failed\nORA-06512: at \"DEMO.FAILS\", line 3");
            };
        return {};
    }
};

struct Seams : ::testing::Test {
    std::shared_ptr<Server> server = openSandbox();
    std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
    std::unique_ptr<Session> demo;
    void SetUp() override
    {
        server->impl().setEngine(engine);
        demo = server->logon("DEMO", "demo");
    }
    SessionServices& services() { return demo->impl(); }
};

} // namespace

TEST_F(Seams, PlsqlStatementsGoToTheEngine)
{
    std::vector<BindVar> binds{bind("out", Value(), BindMode::Out)};
    ExecResult r = demo->execute("BEGIN :out := USER; END;", binds);
    EXPECT_EQ(engine->executed, 1);
    EXPECT_EQ(r.warningCode, 24344);
    EXPECT_EQ(binds[0].value, Value::string("DEMO"));
    EXPECT_EQ(scalar(*demo, "select count(*) from dept"), "4");   // SQL stays with the core
    EXPECT_EQ(engine->executed, 1);
}

TEST_F(Seams, UnresolvedIdentifiersComeFromTheResolverAndColumnsWin)
{
    std::map<std::string, Value> vars{{"V_DEPT", Value::integer(10)}, {"REC.MIN_SAL", Value::integer(2000)},
                                      {"ENAME", Value::string("shadowed by the column")}};
    std::vector<std::string> asked;
    SessionServices::Resolver resolve = [&](const std::string& id) -> std::optional<Value> {
        asked.push_back(id);
        auto it = vars.find(id);
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
    std::vector<BindVar> none;
    const std::string sql = "select ename from emp where deptno = v_dept and sal > rec.min_sal order by ename";
    auto cursor = services().query(sql, none, resolve);
    std::vector<Value> row;
    std::vector<std::string> names;
    while (cursor->fetch(row)) names.push_back(row[0].toText());
    EXPECT_EQ(names, (std::vector<std::string>{"CLARK", "KING"}));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "ENAME"), 0);   // the column won

    // The rewritten statement is cached; the values are read again each time.
    vars["V_DEPT"] = Value::integer(20);
    asked.clear();
    cursor = services().query(sql, none, resolve);
    names.clear();
    while (cursor->fetch(row)) names.push_back(row[0].toText());
    EXPECT_EQ(names, (std::vector<std::string>{"FORD", "JONES", "SCOTT"}));

    // DML through exec: a variable in VALUES and in WHERE.
    vars["V_NAME"] = Value::string("NEWBIE");
    EXPECT_EQ(services().exec("insert into emp (empno, ename, deptno) values (9999, v_name, v_dept)", none, resolve), 1);
    EXPECT_EQ(services().exec("update emp set sal = rec.min_sal where ename = v_name", none, resolve), 1);
    EXPECT_EQ(scalar(*demo, "select sal from emp where empno = 9999"), "2000");

    // Neither a column nor a PL/SQL name: ORA-00904.
    try {
        services().query("select v_unknown from dual", none, resolve);
        ADD_FAILURE();
    } catch (const OraError& e) {
        EXPECT_STREQ(e.what(), "ORA-00904: \"V_UNKNOWN\": invalid identifier");
    }
}

TEST_F(Seams, UnknownFunctionsAreAskedOfTheEngine)
{
    EXPECT_EQ(scalar(*demo, "select double_it(sal) from emp where ename = 'SMITH'"), "1600");
    EXPECT_EQ(scalar(*demo, "select demo.double_it(21) from dual"), "42");
    EXPECT_EQ(scalar(*demo, "select pkg.double_it(1.5) from dual"), "3");
    EXPECT_EQ(errorOf(*demo, "select no_such_fn(1) from dual"), 904);
    EXPECT_NE(std::find(engine->functionLookups.begin(), engine->functionLookups.end(), "NO_SUCH_FN"),
              engine->functionLookups.end());
    // The PL/SQL error stack reaches the caller whole.
    try {
        query(*demo, "select fails() from dual");
        ADD_FAILURE();
    } catch (const OraError& e) {
        EXPECT_EQ(e.code(), 20001);
        EXPECT_STREQ(e.what(), "ORA-20001: it failed\nORA-06512: at \"DEMO.FAILS\", line 3");
    }
}

TEST_F(Seams, FunctionsAreResolvedAgainAfterDdl)
{
    EXPECT_EQ(scalar(*demo, "select double_it(5) from dual"), "10");
    engine->version = 2;   // the function was recompiled
    EXPECT_EQ(scalar(*demo, "select double_it(5) from dual"), "10");   // nothing told the session yet
    demo->impl().dictionary().storeUnit("DEMO", "DOUBLE_IT", "FUNCTION", {"FUNCTION double_it"}, {}, {});
    EXPECT_EQ(scalar(*demo, "select double_it(5) from dual"), "20");
}

TEST_F(Seams, SessionServicesCommitRollbackAndIdentity)
{
    auto other = server->logon("DEMO", "demo");
    EXPECT_NE(services().sessionId(), other->impl().sessionId());
    EXPECT_EQ(services().schema(), "DEMO");
    std::vector<BindVar> none;
    services().exec("delete from salgrade", none, {});
    services().rollback();
    EXPECT_EQ(scalar(*other, "select count(*) from salgrade"), "5");
    services().exec("delete from salgrade where grade = 5", none, {});
    services().commit();
    EXPECT_EQ(scalar(*other, "select count(*) from salgrade"), "4");
    EXPECT_TRUE(services().dictionary().userExists("DEMO"));
    EXPECT_FALSE(services().dictionary().userExists("NOBODY"));
    EXPECT_FALSE(services().cancelRequested());
}

} // namespace sandbox::test
