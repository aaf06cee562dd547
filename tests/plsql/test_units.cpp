// test_units.cpp - stored units: source lines, argument rows, compile errors,
// calls with binds, error stacks, invalidation and package state.
#include "plsql_fixture.h"

namespace {

using sandbox::BindMode;
using sandbox::BindType;
using sandbox::BindVar;

BindVar bind(const char* name, BindType t, BindMode m, sandbox::Value v = {})
{
    BindVar b;
    b.name = name;
    b.type = t;
    b.mode = m;
    b.value = std::move(v);
    return b;
}

TEST_F(PlsqlTest, SourceLinesStartAtTheUnitKindInTheUsersCase)
{
    run("create or replace procedure lower_proc(p_x in number)\nis\nbegin\n  null;\nend;");
    EXPECT_EQ(rows("SELECT line, text FROM user_source WHERE name = 'LOWER_PROC' ORDER BY line"),
              (std::vector<std::string>{"1|procedure lower_proc(p_x in number)\n", "2|is\n", "3|begin\n",
                                        "4|  null;\n", "5|end;"}));
    EXPECT_EQ(rows("SELECT object_type, status FROM user_objects WHERE object_name = 'LOWER_PROC'"),
              (std::vector<std::string>{"PROCEDURE|VALID"}));
}

TEST_F(PlsqlTest, ArgumentRowsFollowOracle)
{
    run("CREATE OR REPLACE FUNCTION f_args(a IN VARCHAR2, b OUT NUMBER, c IN OUT DATE, d PLS_INTEGER := 3) "
        "RETURN BOOLEAN IS BEGIN b := 1; RETURN TRUE; END;");
    EXPECT_EQ(rows("SELECT NVL(argument_name, '-'), position, sequence, data_level, data_type, in_out, defaulted "
                   "FROM all_arguments WHERE object_name = 'F_ARGS' ORDER BY sequence"),
              (std::vector<std::string>{"-|0|1|0|PL/SQL BOOLEAN|OUT|N", "A|1|2|0|VARCHAR2|IN|N",
                                        "B|2|3|0|NUMBER|OUT|N", "C|3|4|0|DATE|IN/OUT|N",
                                        "D|4|5|0|BINARY_INTEGER|IN|Y"}));
}

TEST_F(PlsqlTest, CompositeArgumentsGetOneRowPerMember)
{
    run("CREATE OR REPLACE PACKAGE pk_types IS TYPE t_pair IS RECORD (lo NUMBER, hi VARCHAR2(10)); "
        "PROCEDURE take(p t_pair); FUNCTION one RETURN NUMBER; FUNCTION one(x NUMBER) RETURN NUMBER; END;");
    EXPECT_EQ(rows("SELECT object_name, NVL(overload, '-'), NVL(argument_name, '-'), position, data_level, data_type "
                   "FROM all_arguments WHERE package_name = 'PK_TYPES' ORDER BY object_name, overload, sequence"),
              (std::vector<std::string>{"ONE|1|-|0|0|NUMBER", "ONE|2|-|0|0|NUMBER", "ONE|2|X|1|0|NUMBER",
                                        "TAKE|-|P|1|0|PL/SQL RECORD", "TAKE|-|LO|1|1|NUMBER",
                                        "TAKE|-|HI|2|1|VARCHAR2"}));
}

TEST_F(PlsqlTest, CompileErrorsAreRecordedInOrderAndTheUnitIsInvalid)
{
    auto r = run("CREATE OR REPLACE PROCEDURE bad_proc IS\n  v NUMBER;\nBEGIN\n  v := undefined_thing + 1;\n"
                 "  v := 'x' ||;\nEND;");
    EXPECT_EQ(r.warningCode, 24344);
    auto errs = rows("SELECT line, position, text FROM user_errors WHERE name = 'BAD_PROC' ORDER BY sequence");
    ASSERT_GE(errs.size(), 1u);
    EXPECT_EQ(errs[0].substr(0, errs[0].find('\n')),
              "5|14|PLS-00103: Encountered the symbol \";\" when expecting one of the following:");
    EXPECT_EQ(rows("SELECT status FROM user_objects WHERE object_name = 'BAD_PROC'"),
              (std::vector<std::string>{"INVALID"}));
    EXPECT_EQ(error("BEGIN bad_proc; END;"),
              "ORA-06550: line 1, column 7:\nPLS-00905: object DEMO.BAD_PROC is invalid\n"
              "ORA-06550: line 1, column 7:\nPL/SQL: Statement ignored");
}

TEST_F(PlsqlTest, TwoSyntaxErrorsGiveTwoRows)
{
    EXPECT_EQ(run("CREATE OR REPLACE FUNCTION two_errors RETURN NUMBER IS\n  v NUMBER;\nBEGIN\n  v := ;\n"
                  "  v := v +;\n  RETURN v;\nEND;")
                  .warningCode,
              24344);
    auto errs = rows("SELECT line || '/' || position || ' ' || SUBSTR(text, 1, 40) FROM user_errors "
                     "WHERE name = 'TWO_ERRORS' ORDER BY sequence");
    EXPECT_EQ(errs, (std::vector<std::string>{"4/8 PLS-00103: Encountered the symbol \";\" wh",
                                              "5/11 PLS-00103: Encountered the symbol \";\" wh"}));
}

struct ErrorCase {
    const char* name;
    const char* block;
    const char* expected;   // first line of the error
};

class SemanticErrors : public PlsqlTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(SemanticErrors, AnswerOracleMessages)
{
    std::string e = error(GetParam().block);
    EXPECT_EQ(e.substr(0, e.find("\nORA-06550", 1)), GetParam().expected);
}

const ErrorCase kErrorCases[] = {
    {"undeclared", "BEGIN x := 1; END;", "ORA-06550: line 1, column 7:\nPLS-00201: identifier 'X' must be declared"},
    {"component", "DECLARE TYPE r IS RECORD (a NUMBER); v r; BEGIN v.b := 1; END;",
     "ORA-06550: line 1, column 51:\nPLS-00302: component 'B' must be declared"},
    {"wrongArgs", "DECLARE PROCEDURE p(a NUMBER) IS BEGIN NULL; END; BEGIN p(1, 2); END;",
     "ORA-06550: line 1, column 57:\nPLS-00306: wrong number or types of arguments in call to 'P'"},
    {"assignTarget", "DECLARE c CONSTANT NUMBER := 1; BEGIN c := 2; END;",
     "ORA-06550: line 1, column 39:\nPLS-00363: expression 'C' cannot be used as an assignment target"},
    {"wrongType", "DECLARE b BOOLEAN; BEGIN b := 5; END;",
     "ORA-06550: line 1, column 31:\nPLS-00382: expression is of wrong type"},
    {"syntax", "BEGIN IF 1 = 1 THEN NULL; END; END;",
     "ORA-06550: line 1, column 30:\nPLS-00103: Encountered the symbol \";\" when expecting one of the following:\n\n   if"},
};

INSTANTIATE_TEST_SUITE_P(Compiler, SemanticErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlsqlTest, UnhandledErrorsCarryTheCallStack)
{
    run("CREATE OR REPLACE PROCEDURE inner_p IS\n  v NUMBER;\nBEGIN\n  SELECT sal INTO v FROM emp WHERE empno = -1;\nEND;");
    run("CREATE OR REPLACE PROCEDURE outer_p IS\nBEGIN\n  NULL;\n  inner_p;\nEND;");
    EXPECT_EQ(error("BEGIN\n  outer_p;\nEND;"),
              "ORA-01403: no data found\nORA-06512: at \"DEMO.INNER_P\", line 4\n"
              "ORA-06512: at \"DEMO.OUTER_P\", line 4\nORA-06512: at line 2");
    EXPECT_EQ(error("DECLARE e EXCEPTION; BEGIN RAISE e; END;"),
              "ORA-06510: PL/SQL: unhandled user-defined exception\nORA-06512: at line 1");
    EXPECT_EQ(error("BEGIN\n  RAISE_APPLICATION_ERROR(-20001, 'bad input');\nEND;"),
              "ORA-20001: bad input\nORA-06512: at line 2");
}

TEST_F(PlsqlTest, CallBlocksAndDirectCallsReturnOutValues)
{
    run("CREATE OR REPLACE FUNCTION add_tax(p_amount NUMBER, p_rate OUT NUMBER, p_note IN OUT VARCHAR2) RETURN NUMBER IS "
        "BEGIN p_rate := 0.1; p_note := p_note || '!'; RETURN p_amount * 1.1; END;");
    std::vector<BindVar> b = {bind("ret", BindType::Number, BindMode::Out),
                              bind("P_AMOUNT", BindType::Number, BindMode::In, sandbox::Value::integer(100)),
                              bind("P_RATE", BindType::Number, BindMode::Out),
                              bind("P_NOTE", BindType::String, BindMode::In, sandbox::Value::string("hi"))};
    run("DECLARE\r\n  ret NUMBER;\r\n  P_AMOUNT NUMBER;\r\n  P_RATE NUMBER;\r\n  P_NOTE VARCHAR(200);\r\nBEGIN\r\n"
        "  P_AMOUNT := :P_AMOUNT;\r\n  P_NOTE := :P_NOTE;\r\n\r\n  :ret := DEMO.ADD_TAX(P_AMOUNT, P_RATE, P_NOTE);\r\n"
        "  :P_RATE := P_RATE;\r\nEND;\r\n",
        b);
    EXPECT_EQ(b[0].value.toText(), "110");
    EXPECT_EQ(b[2].value.toText(), ".1");
    run("CREATE OR REPLACE FUNCTION answer RETURN NUMBER IS BEGIN RETURN 42; END;");
    std::vector<BindVar> r = {bind("ret", BindType::Integer, BindMode::Out)};
    run("begin :ret := DEMO.ANSWER; end;", r);
    EXPECT_EQ(r[0].value.toText(), "42");
}

TEST_F(PlsqlTest, NamesQualifiedByTheirUnit)
{
    run("CREATE OR REPLACE PACKAGE pk_q IS g NUMBER := 1; PROCEDURE bump; END;");
    run("CREATE OR REPLACE PACKAGE BODY pk_q IS PROCEDURE bump IS BEGIN pk_q.g := pk_q.g + 1; END; END;");
    run("CREATE OR REPLACE FUNCTION sal_of(empno NUMBER) RETURN NUMBER IS v NUMBER; BEGIN "
        "SELECT sal INTO v FROM emp e WHERE e.empno = sal_of.empno; RETURN v; END;");
    run("BEGIN pk_q.bump; pk_q.bump; DBMS_OUTPUT.PUT_LINE(pk_q.g || ' ' || sal_of(7839)); END;");
    EXPECT_EQ(output(), "3 5000");
}

TEST_F(PlsqlTest, UnitsCallingEachOther)
{
    run("CREATE OR REPLACE PROCEDURE ping_a(n NUMBER) IS BEGIN DBMS_OUTPUT.PUT('a' || n); "
        "IF n > 0 THEN ping_b(n - 1); END IF; END;");
    run("CREATE OR REPLACE PROCEDURE ping_b(n NUMBER) IS BEGIN DBMS_OUTPUT.PUT('b' || n); "
        "IF n > 0 THEN ping_a(n - 1); END IF; END;");
    run("BEGIN ping_a(3); DBMS_OUTPUT.NEW_LINE; END;");
    EXPECT_EQ(output(), "a3b2a1b0");
    EXPECT_EQ(rows("SELECT object_name || ' ' || status FROM user_objects WHERE object_name LIKE 'PING%' ORDER BY 1"),
              (std::vector<std::string>{"PING_A VALID", "PING_B VALID"}));
}

TEST_F(PlsqlTest, FunctionsRunInSql)
{
    run("CREATE OR REPLACE FUNCTION twice(n NUMBER) RETURN NUMBER IS BEGIN RETURN n * 2; END;");
    EXPECT_EQ(rows("SELECT twice(21) FROM dual"), (std::vector<std::string>{"42"}));
}

TEST_F(PlsqlTest, PackageStateLivesPerSession)
{
    run("CREATE OR REPLACE PACKAGE counter IS g_count NUMBER := 0; PROCEDURE bump; FUNCTION value RETURN NUMBER; END;");
    run("CREATE OR REPLACE PACKAGE BODY counter IS PROCEDURE bump IS BEGIN g_count := g_count + 1; END; "
        "FUNCTION value RETURN NUMBER IS BEGIN RETURN g_count; END; END;");
    run("BEGIN counter.bump; counter.bump; DBMS_OUTPUT.PUT_LINE(counter.value || ' ' || counter.g_count); END;");
    EXPECT_EQ(output(), "2 2");
    auto other = server->logon("DEMO", "demo");
    std::vector<BindVar> b = {bind("v", BindType::Integer, BindMode::Out)};
    other->execute("BEGIN counter.bump; :v := counter.value; END;", b);
    EXPECT_EQ(b[0].value.toText(), "1");
}

TEST_F(PlsqlTest, ReplacingADependencyRechecksItsCallers)
{
    run("CREATE OR REPLACE FUNCTION base_rate RETURN NUMBER IS BEGIN RETURN 1; END;");
    run("CREATE OR REPLACE FUNCTION uses_rate RETURN NUMBER IS BEGIN RETURN base_rate * 10; END;");
    run("BEGIN DBMS_OUTPUT.PUT_LINE(uses_rate); END;");
    run("CREATE OR REPLACE FUNCTION base_rate RETURN NUMBER IS BEGIN RETURN 2; END;");
    EXPECT_EQ(rows("SELECT status FROM user_objects WHERE object_name = 'USES_RATE'"),
              (std::vector<std::string>{"INVALID"}));
    run("BEGIN DBMS_OUTPUT.PUT_LINE(uses_rate); END;");
    EXPECT_EQ(output(), "10\n20");
    EXPECT_EQ(rows("SELECT status FROM user_objects WHERE object_name = 'USES_RATE'"),
              (std::vector<std::string>{"VALID"}));
}

TEST_F(PlsqlTest, RuntimeErrorsHaveOracleCodes)
{
    EXPECT_EQ(error("DECLARE v VARCHAR2(3); BEGIN v := 'abcd'; END;"),
              "ORA-06502: PL/SQL: numeric or value error: character string buffer too small\nORA-06512: at line 1");
    EXPECT_EQ(error("DECLARE v NUMBER; BEGIN v := 1 / 0; END;"),
              "ORA-01476: divisor is equal to zero\nORA-06512: at line 1");
    EXPECT_EQ(error("DECLARE v PLS_INTEGER := 2147483647; BEGIN v := v + 1; END;"),
              "ORA-01426: numeric overflow\nORA-06512: at line 1");
}

TEST_F(PlsqlTest, BooleanIsNoTextForPutLine)
{
    std::string e = error("BEGIN DBMS_OUTPUT.PUT_LINE(1 > 0); END;");
    EXPECT_EQ(e.substr(0, e.find("\nORA-06550", 1)),
              "ORA-06550: line 1, column 19:\nPLS-00306: wrong number or types of arguments in call to 'PUT_LINE'");
}

TEST_F(PlsqlTest, DeepRecursionEndsWithStorageError)
{
    run("CREATE OR REPLACE FUNCTION dive(n NUMBER) RETURN NUMBER IS BEGIN RETURN dive(n + 1); END;");
    std::string e = error("DECLARE v NUMBER; BEGIN v := dive(1); END;");
    EXPECT_EQ(e.substr(0, e.find('\n')), "ORA-06500: PL/SQL: storage error");
}

TEST_F(PlsqlTest, SqlFromPlsql)
{
    run("DECLARE v_total NUMBER; v_name emp.ename%TYPE; r emp%ROWTYPE; BEGIN "
        "SELECT COUNT(*) INTO v_total FROM emp; "
        "UPDATE emp SET sal = sal WHERE deptno = 10; IF SQL%ROWCOUNT > 0 THEN DBMS_OUTPUT.PUT_LINE('TRUE'); END IF; "
        "FOR e IN (SELECT ename FROM emp WHERE deptno = 10 ORDER BY ename) LOOP v_name := e.ename; END LOOP; "
        "SELECT * INTO r FROM emp WHERE ename = v_name; "
        "DBMS_OUTPUT.PUT_LINE(CASE WHEN v_total > 0 AND r.ename = v_name THEN 'ok' END); END;");
    EXPECT_EQ(output(), "TRUE\nok");
}

TEST_F(PlsqlTest, DmlReturningInto)
{
    run("DECLARE v_id NUMBER; v_name VARCHAR2(40); BEGIN "
        "INSERT INTO accounts (account_id, owner_name, balance) VALUES (2001, 'NEW', 10) RETURNING account_id INTO v_id; "
        "UPDATE accounts SET balance = balance + 5 WHERE account_id = v_id RETURNING owner_name, balance INTO v_name, v_id; "
        "DBMS_OUTPUT.PUT_LINE(v_name || ' ' || v_id || ' ' || SQL%ROWCOUNT); ROLLBACK; END;");
    EXPECT_EQ(output(), "NEW 15 1");
}

TEST_F(PlsqlTest, ExplicitCursorsAndDynamicSql)
{
    run("DECLARE CURSOR c(p_dept NUMBER) IS SELECT empno FROM emp WHERE deptno = p_dept; v NUMBER; n NUMBER := 0; "
        "m NUMBER; BEGIN OPEN c(10); LOOP FETCH c INTO v; EXIT WHEN c%NOTFOUND; n := n + 1; END LOOP; "
        "DBMS_OUTPUT.PUT_LINE(CASE WHEN n = c%ROWCOUNT THEN 'same' END); CLOSE c; "
        "EXECUTE IMMEDIATE 'SELECT COUNT(*) FROM emp WHERE deptno = :d' INTO m USING 10; "
        "DBMS_OUTPUT.PUT_LINE(CASE WHEN m = n THEN 'dyn' END); END;");
    EXPECT_EQ(output(), "same\ndyn");
}

} // namespace

namespace {

TEST_F(PlsqlTest, DemoProgramsAreLoadedAndValid)
{
    EXPECT_EQ(rows("SELECT object_name || ' ' || object_type || ' ' || status FROM user_objects "
                   "WHERE object_type IN ('FUNCTION', 'PROCEDURE', 'PACKAGE', 'PACKAGE BODY') AND status <> 'VALID'"),
              std::vector<std::string>{});
    EXPECT_EQ(rows("SELECT NVL(argument_name, '-') || ' ' || position || ' ' || data_type || ' ' || in_out "
                   "FROM all_arguments WHERE object_name = 'RAISE_SALARY' ORDER BY sequence"),
              (std::vector<std::string>{"P_EMPNO 1 NUMBER IN", "P_PERCENT 2 NUMBER IN", "P_NEW_SAL 3 NUMBER OUT"}));
    EXPECT_EQ(rows("SELECT NVL(argument_name, '-') || ' ' || position || ' ' || in_out "
                   "FROM all_arguments WHERE object_name = 'BONUS_RATE'"),
              (std::vector<std::string>{"- 0 OUT"}));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM all_arguments WHERE object_name = 'PRINT_DEPARTMENTS'"),
              (std::vector<std::string>{"0"}));
    run("BEGIN DBMS_OUTPUT.PUT_LINE(factorial(10)); print_departments; END;");
    std::string out = output();
    EXPECT_EQ(out.substr(0, out.find('\n')), "3628800");
}

} // namespace

namespace {

TEST_F(PlsqlTest, ErrorBacktraceInsideAHandler)
{
    run("CREATE OR REPLACE PROCEDURE bt_inner IS\n  v NUMBER;\nBEGIN\n  v := 1 / 0;\nEND;");
    run("DECLARE\n  t PLS_INTEGER := DBMS_UTILITY.GET_TIME;\nBEGIN\n  bt_inner;\nEXCEPTION\n  WHEN OTHERS THEN\n"
        "    DBMS_OUTPUT.PUT(DBMS_UTILITY.FORMAT_ERROR_STACK);\n    DBMS_OUTPUT.PUT_LINE(DBMS_UTILITY.FORMAT_ERROR_BACKTRACE);\nEND;");
    EXPECT_EQ(output(), "ORA-01476: divisor is equal to zero\nORA-06512: at \"DEMO.BT_INNER\", line 4\n"
                        "ORA-06512: at line 4\n");
}

} // namespace

namespace {

TEST_F(PlsqlTest, PackageBodyFollowsItsSpecification)
{
    run("CREATE OR REPLACE PACKAGE pk_a IS PROCEDURE p; END;");
    EXPECT_EQ(run("CREATE OR REPLACE PACKAGE BODY pk_a IS PROCEDURE p IS BEGIN no_such_thing; END; END;").warningCode,
              24344);
    EXPECT_EQ(error("BEGIN pk_a.p; END;"),
              "ORA-04063: package body \"DEMO.PK_A\" has errors\n"
              "ORA-06508: PL/SQL: could not find program unit being called: \"DEMO.PK_A\"\nORA-06512: at line 1");
    run("CREATE OR REPLACE PACKAGE BODY pk_a IS PROCEDURE p IS BEGIN NULL; END; END;");
    EXPECT_EQ(error("BEGIN pk_a.p; END;"), "");
    EXPECT_EQ(run("CREATE OR REPLACE PACKAGE pk_a IS PROCEDURE p; x undefined_type; END;").warningCode, 24344);
    EXPECT_EQ(rows("SELECT object_type || ' ' || status FROM user_objects WHERE object_name = 'PK_A' ORDER BY 1"),
              (std::vector<std::string>{"PACKAGE BODY INVALID", "PACKAGE INVALID"}));
    EXPECT_EQ(rows("SELECT type || ' ' || text FROM user_errors WHERE name = 'PK_A' ORDER BY type, sequence"),
              (std::vector<std::string>{"PACKAGE PLS-00201: identifier 'UNDEFINED_TYPE' must be declared",
                                        "PACKAGE PL/SQL: Item ignored",
                                        "PACKAGE BODY PLS-00905: object DEMO.PK_A is invalid"}));
    run("DROP PACKAGE pk_a");
    EXPECT_EQ(rows("SELECT COUNT(*) FROM user_objects WHERE object_name = 'PK_A'"), (std::vector<std::string>{"0"}));
}

} // namespace

namespace {

// Malformed input of every kind compiles to errors; nothing crashes or hangs.
TEST_F(PlsqlTest, BadInputYieldsErrorsNotCrashes)
{
    std::string deep = "BEGIN DBMS_OUTPUT.PUT_LINE(" + std::string(5000, '(') + "1" + std::string(5000, ')') + "); END;";
    const std::string inputs[] = {
        "BEGIN",
        "DECLARE x",
        "BEGIN x := 'unterminated; END;",
        "BEGIN END;",
        "DECLARE BEGIN NULL; END",
        "BEGIN LOOP EXCEPTION END LOOP; END;",
        "BEGIN IF THEN ELSIF ELSE END IF; END;",
        "BEGIN \"\" := 1; END;",
        "BEGIN q'[never closed; END;",
        "BEGIN \x01\xff\xfe; END;",
        deep,
    };
    for (const auto& text : inputs) {
        std::string e = error(text);
        EXPECT_EQ(e.substr(0, 4), "ORA-") << text.substr(0, 60);
    }
    EXPECT_EQ(run("CREATE OR REPLACE PROCEDURE half_done IS BEGIN IF x THEN").warningCode, 24344);
    EXPECT_EQ(run("CREATE OR REPLACE PACKAGE BODY no_spec IS END;").warningCode, 24344);
}

} // namespace
