// test_binds.cpp - bind variables of every kind and direction, binds inside
// embedded and dynamic SQL, and DBMS_OUTPUT's reading side.
#include "plsql_fixture.h"

namespace {

using sandbox::BindMode;
using sandbox::BindType;
using sandbox::BindVar;
using sandbox::Value;

BindVar bind(const char* name, BindType t, BindMode m, Value v = {}, int size = 0)
{
    BindVar b;
    b.name = name;
    b.type = t;
    b.mode = m;
    b.value = std::move(v);
    b.size = size;
    return b;
}

TEST_F(PlsqlTest, BindsOfEveryKindAndDirection)
{
    std::vector<BindVar> b = {
        bind("i_in", BindType::Integer, BindMode::In, Value::integer(7)),
        bind("n_inout", BindType::Number, BindMode::InOut, Value::number(*sandbox::Number::parse("1.5"))),
        bind("s_out", BindType::String, BindMode::Out),
        bind("I_OUT", BindType::Integer, BindMode::Out),
        bind("null_in", BindType::String, BindMode::In),
    };
    run("BEGIN :n_inout := :n_inout * 2 + :I_IN; :s_out := 'v' || :i_in || NVL(:null_in, '-'); "
        ":i_out := 2.6; END;",
        b);
    EXPECT_EQ(b[0].value.toText(), "7");
    EXPECT_EQ(b[1].value.toText(), "10");
    EXPECT_EQ(b[2].value.toText(), "v7-");
    EXPECT_EQ(b[3].value.toText(), "3");
}

TEST_F(PlsqlTest, BindErrors)
{
    std::vector<BindVar> small = {bind("s", BindType::String, BindMode::Out, {}, 3)};
    try {
        run("BEGIN :s := 'abcd'; END;", small);
        ADD_FAILURE() << "no error";
    } catch (const sandbox::OraError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 9), "ORA-06502");
    }
    EXPECT_EQ(error("BEGIN :missing := 1; END;"), "ORA-01008: not all variables bound\nORA-06512: at line 1");
}

TEST_F(PlsqlTest, BindsReachEmbeddedSqlAndDynamicBlocks)
{
    std::vector<BindVar> b = {bind("dept", BindType::Integer, BindMode::In, Value::integer(10)),
                              bind("cnt", BindType::Integer, BindMode::Out)};
    run("BEGIN SELECT COUNT(*) INTO :cnt FROM emp WHERE deptno = :dept; END;", b);
    EXPECT_EQ(b[1].value.toText(), "3");
    run("DECLARE a NUMBER := 5; b VARCHAR2(10); BEGIN "
        "EXECUTE IMMEDIATE 'BEGIN :x := :x * 2; :y := ''done''; END;' USING IN OUT a, OUT b; "
        "DBMS_OUTPUT.PUT_LINE(a || ' ' || b); END;");
    EXPECT_EQ(output(), "10 done");
}

TEST_F(PlsqlTest, OutputLinesAreReadBackInOrder)
{
    run("BEGIN DBMS_OUTPUT.PUT_LINE('one'); DBMS_OUTPUT.PUT('t'); DBMS_OUTPUT.PUT('wo'); DBMS_OUTPUT.NEW_LINE; "
        "DBMS_OUTPUT.PUT_LINE(NULL); DBMS_OUTPUT.PUT('unfinished'); END;");
    run("DECLARE l DBMS_OUTPUT.CHARARR; n INTEGER := 10; BEGIN DBMS_OUTPUT.GET_LINES(l, n); "
        "DBMS_OUTPUT.DISABLE; DBMS_OUTPUT.ENABLE; DBMS_OUTPUT.PUT_LINE(n || ':' || l(1) || ',' || l(2) || ',' || l(3) || '.'); END;");
    EXPECT_EQ(output(), "3:one,two,.");
    run("BEGIN DBMS_OUTPUT.DISABLE; DBMS_OUTPUT.PUT_LINE('dropped'); DBMS_OUTPUT.ENABLE(2000); END;");
    EXPECT_EQ(output(), "");
    EXPECT_EQ(error("BEGIN FOR i IN 1..100 LOOP DBMS_OUTPUT.PUT_LINE(RPAD('x', 100, 'x')); END LOOP; END;"),
              "ORA-20000: ORU-10027: buffer overflow, limit of 2000 bytes\nORA-06512: at line 1");
}

TEST_F(PlsqlTest, AMillionIterationsRunWithoutGrowing)
{
    std::vector<BindVar> b = {bind("r", BindType::Number, BindMode::Out)};
    run("DECLARE s NUMBER := 0; t VARCHAR2(100); BEGIN FOR i IN 1..1000000 LOOP s := s + MOD(i, 7); "
        "t := TO_CHAR(i); END LOOP; :r := s; END;",
        b);
    EXPECT_EQ(b[0].value.toText(), "2999998");
}

} // namespace

namespace {

TEST_F(PlsqlTest, CollectionElementsInSqlAndForall)
{
    run("DECLARE TYPE t_ids IS TABLE OF NUMBER INDEX BY PLS_INTEGER; ids t_ids; n NUMBER; total NUMBER := 0; BEGIN "
        "ids(1) := 7369; ids(2) := 7499; ids(3) := -1; "
        "FOR i IN 1..ids.COUNT LOOP SELECT COUNT(*) INTO n FROM emp WHERE empno = ids(i); total := total + n; END LOOP; "
        "FORALL i IN 1..ids.COUNT UPDATE emp SET comm = NVL(comm, 0) WHERE empno = ids(i); "
        "DBMS_OUTPUT.PUT_LINE(total || ' ' || SQL%ROWCOUNT); ROLLBACK; END;");
    EXPECT_EQ(output(), "2 2");
}

} // namespace
