// test_basics.cpp - the core language: blocks, arithmetic, control flow, NULL rules.
#include "plsql_fixture.h"

namespace {

struct OutputCase {
    const char* name;
    const char* block;
    const char* expected;
};

class Outputs : public PlsqlTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(Outputs, PrintsExpectedLines)
{
    run(GetParam().block);
    EXPECT_EQ(output(), GetParam().expected);
}

const OutputCase kOutputCases[] = {
    {"hello", "BEGIN DBMS_OUTPUT.PUT_LINE('hello'); END;", "hello"},
    {"decimal", "DECLARE x NUMBER := 10/4; BEGIN DBMS_OUTPUT.PUT_LINE(x); DBMS_OUTPUT.PUT_LINE(0.1 + 0.2); "
     "DBMS_OUTPUT.PUT_LINE(-1/4); END;",
     "2.5\n.3\n-.25"},
    {"numberScale", "DECLARE x NUMBER(5,2) := 3.14159; BEGIN DBMS_OUTPUT.PUT_LINE(x); END;", "3.14"},
    {"ifElsif",
     "DECLARE n PLS_INTEGER := 5; BEGIN IF n < 3 THEN DBMS_OUTPUT.PUT_LINE('small'); ELSIF n < 10 THEN "
     "DBMS_OUTPUT.PUT_LINE('medium'); ELSE DBMS_OUTPUT.PUT_LINE('large'); END IF; END;",
     "medium"},
    {"nullLogic",
     "DECLARE a BOOLEAN; BEGIN IF a OR TRUE THEN DBMS_OUTPUT.PUT_LINE('t'); END IF; "
     "IF NOT (a AND TRUE) THEN DBMS_OUTPUT.PUT_LINE('x'); ELSE DBMS_OUTPUT.PUT_LINE('unknown'); END IF; "
     "IF NULL = NULL THEN NULL; ELSE DBMS_OUTPUT.PUT_LINE('null<>null'); END IF; "
     "DBMS_OUTPUT.PUT_LINE('a' || NULL || 'b'); IF '' IS NULL THEN DBMS_OUTPUT.PUT_LINE('empty is null'); END IF; END;",
     "t\nunknown\nnull<>null\nab\nempty is null"},
    {"loops",
     "DECLARE s PLS_INTEGER := 0; i PLS_INTEGER := 0; BEGIN FOR k IN 1..10 LOOP s := s + k; END LOOP; "
     "FOR k IN REVERSE 1..3 LOOP DBMS_OUTPUT.PUT(k); END LOOP; DBMS_OUTPUT.NEW_LINE; "
     "WHILE i < 5 LOOP i := i + 2; END LOOP; LOOP i := i - 1; EXIT WHEN i = 0; CONTINUE WHEN MOD(i, 2) = 0; "
     "DBMS_OUTPUT.PUT(i); END LOOP; DBMS_OUTPUT.NEW_LINE; DBMS_OUTPUT.PUT_LINE(s); END;",
     "321\n531\n55"},
    {"labels",
     "BEGIN <<outer>> FOR i IN 1..3 LOOP FOR j IN 1..3 LOOP EXIT outer WHEN i * j = 4; DBMS_OUTPUT.PUT(i || j || ' '); "
     "END LOOP; END LOOP; DBMS_OUTPUT.NEW_LINE; END;",
     "11 12 13 21 "},
    {"caseForms",
     "DECLARE g CHAR(1) := 'B'; BEGIN CASE g WHEN 'A' THEN DBMS_OUTPUT.PUT_LINE('a'); WHEN 'B' THEN "
     "DBMS_OUTPUT.PUT_LINE('b'); END CASE; DBMS_OUTPUT.PUT_LINE(CASE WHEN 1 > 2 THEN 'x' ELSE 'y' END); END;",
     "b\ny"},
    {"strings",
     "BEGIN DBMS_OUTPUT.PUT_LINE(UPPER('abc') || LENGTH('héllo') || SUBSTR('abcdef', 2, 3) || INSTR('banana', 'an', 1, 2)"
     " || LPAD('7', 3, '0') || RTRIM('xx  ') || REPLACE('aXbX', 'X', '-') || NVL(NULL, 'n')); END;",
     "ABC5bcd4007xxa-b-n"},
    {"dates",
     "DECLARE d DATE := TO_DATE('2024-01-31', 'YYYY-MM-DD'); BEGIN DBMS_OUTPUT.PUT_LINE(TO_CHAR(ADD_MONTHS(d, 1), "
     "'YYYY-MM-DD')); DBMS_OUTPUT.PUT_LINE(d + 1); DBMS_OUTPUT.PUT_LINE(TO_CHAR(1234.5, '9,999.99')); END;",
     "2024-02-29\n01-FEB-24\n 1,234.50"},
    {"charCompare",
     "DECLARE c CHAR(5) := 'ab'; v VARCHAR2(5) := 'ab'; BEGIN IF c = 'ab' THEN DBMS_OUTPUT.PUT_LINE('padded'); END IF; "
     "DBMS_OUTPUT.PUT_LINE('[' || c || '] ' || LENGTH(c) || ' ' || LENGTH(v)); END;",
     "padded\n[ab   ] 5 2"},
    {"like",
     "BEGIN IF 'abcabd' LIKE 'a%d' AND 'a_c' LIKE 'a\\_c' ESCAPE '\\' AND NOT 'abc' LIKE 'a_' AND 'héllo' LIKE 'h_llo' "
     "AND RPAD('a', 3000, 'a') NOT LIKE '%a%a%a%a%a%a%a%a%a%b' AND 'x' LIKE '%%' THEN DBMS_OUTPUT.PUT_LINE('like ok'); "
     "END IF; END;",
     "like ok"},
    {"blockLabels",
     "<<outer>> DECLARE v NUMBER := 1; BEGIN DECLARE w NUMBER := 2; BEGIN outer.v := outer.v + w; END; "
     "DBMS_OUTPUT.PUT_LINE(v); END outer;",
     "3"},
    {"sequences",
     "DECLARE a NUMBER := emp_seq.NEXTVAL; b NUMBER; BEGIN b := emp_seq.NEXTVAL; "
     "DBMS_OUTPUT.PUT_LINE(b - a || ' ' || (emp_seq.CURRVAL - b)); END;",
     "1 0"},
    {"nestedRoutines",
     "DECLARE FUNCTION fact(n PLS_INTEGER) RETURN NUMBER IS BEGIN IF n <= 1 THEN RETURN 1; END IF; RETURN n * fact(n - 1); "
     "END; PROCEDURE show(p VARCHAR2, q VARCHAR2 DEFAULT 'd') IS BEGIN DBMS_OUTPUT.PUT_LINE(p || q); END; "
     "BEGIN DBMS_OUTPUT.PUT_LINE(fact(25)); show('a'); show(q => 'x', p => 'y'); show('m', q => 'n'); END;",
     "15511210043330985984000000\nad\nyx\nmn"},
    {"outParams",
     "DECLARE v NUMBER := 1; w NUMBER; PROCEDURE p(a IN OUT NUMBER, b OUT NUMBER) IS BEGIN a := a + 10; b := a * 2; END; "
     "BEGIN p(v, w); DBMS_OUTPUT.PUT_LINE(v || ',' || w); END;",
     "11,22"},
    {"records",
     "DECLARE TYPE t_r IS RECORD (id NUMBER, name VARCHAR2(20)); r t_r; s t_r; BEGIN r.id := 1; r.name := 'one'; s := r; "
     "s.name := 'two'; DBMS_OUTPUT.PUT_LINE(r.name || s.name || s.id); END;",
     "onetwo1"},
    {"recordDefaults",
     "DECLARE TYPE t_stats IS RECORD (cnt PLS_INTEGER := 0, label VARCHAR2(10) DEFAULT 'none', total NUMBER); "
     "s t_stats; BEGIN s.cnt := s.cnt + 1; DBMS_OUTPUT.PUT_LINE(s.cnt || s.label || NVL(TO_CHAR(s.total), '-')); END;",
     "1none-"},
    {"collections",
     "DECLARE TYPE t_tab IS TABLE OF VARCHAR2(10) INDEX BY PLS_INTEGER; TYPE t_map IS TABLE OF NUMBER INDEX BY VARCHAR2(10); "
     "TYPE t_list IS TABLE OF NUMBER; t t_tab; m t_map; l t_list := t_list(5, 6, 7); i PLS_INTEGER; k VARCHAR2(10); "
     "BEGIN t(3) := 'c'; t(1) := 'a'; i := t.FIRST; WHILE i IS NOT NULL LOOP DBMS_OUTPUT.PUT(t(i)); i := t.NEXT(i); "
     "END LOOP; DBMS_OUTPUT.NEW_LINE; m('x') := 1; m('b') := 2; k := m.FIRST; DBMS_OUTPUT.PUT_LINE(k || m.COUNT); "
     "l.EXTEND; l(4) := 8; l.DELETE(2); DBMS_OUTPUT.PUT_LINE(l.COUNT || l.LAST || CASE WHEN l.EXISTS(2) THEN 'y' ELSE 'n' END); END;",
     "ac\nb2\n34n"},
    {"handlers",
     "DECLARE e_custom EXCEPTION; PRAGMA EXCEPTION_INIT(e_custom, -20042); x NUMBER; BEGIN "
     "BEGIN x := 1 / 0; EXCEPTION WHEN ZERO_DIVIDE THEN DBMS_OUTPUT.PUT_LINE(SQLCODE || ' ' || SQLERRM); END; "
     "BEGIN RAISE_APPLICATION_ERROR(-20042, 'custom'); EXCEPTION WHEN e_custom THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END; "
     "BEGIN x := 'abc'; EXCEPTION WHEN VALUE_ERROR OR INVALID_NUMBER THEN DBMS_OUTPUT.PUT_LINE(SQLCODE); END; "
     "BEGIN RAISE e_custom; EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE(SQLCODE); END; END;",
     "-1476 ORA-01476: divisor is equal to zero\nORA-20042: custom\n-6502\n-20042"},
};

INSTANTIATE_TEST_SUITE_P(Language, Outputs, ::testing::ValuesIn(kOutputCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
