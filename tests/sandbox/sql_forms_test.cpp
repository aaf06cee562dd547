// sql_forms_test.cpp - the Oracle forms people write every day, each with the
// value Oracle gives.
#include "sandbox_test_util.h"

namespace sandbox::test {

struct FormCase {
    const char* sql;
    const char* expected;
};

class SqlForms : public DemoServer, public ::testing::WithParamInterface<FormCase> {};

TEST_P(SqlForms, GiveOraclesValue)
{
    const FormCase& c = GetParam();
    try {
        EXPECT_EQ(scalar(*demo, c.sql), c.expected) << c.sql;
    } catch (const OraError& e) {
        ADD_FAILURE() << c.sql << " failed: " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SqlForms, ::testing::Values(
    FormCase{"select dummy from dual", "X"},
    FormCase{"SELECT * FROM SYS.DUAL", "X"},
    FormCase{"select nvl(comm, 0) from emp where ename = 'KING'", "0"},
    FormCase{"select nvl(comm, 0) from emp where ename = 'WARD'", "500"},
    FormCase{"select nvl2(comm, 'has', 'none') from emp where ename = 'KING'", "none"},
    FormCase{"select nvl2(comm, 'has', 'none') from emp where ename = 'TURNER'", "has"},
    FormCase{"select decode(deptno, 10, 'ACC', 20, 'RES', 'OTHER') from emp where ename = 'SCOTT'", "RES"},
    FormCase{"select decode(deptno, 10, 'ACC', 20, 'RES', 'OTHER') from emp where ename = 'ALLEN'", "OTHER"},
    FormCase{"select decode(comm, null, 'no comm', 'comm') from emp where ename = 'KING'", "no comm"},
    FormCase{"select decode(1, 2, 'x') from dual", "<null>"},
    FormCase{"select 7/2 from dual", "3.5"},
    FormCase{"select round(2/3, 3) from dual", ".667"},
    FormCase{"select 0.6666666666666666 from dual", ".666666666666667"},
    FormCase{"select 6/3 from dual", "2"},
    FormCase{"select 1/3 * 3 from dual", "1"},
    FormCase{"select 'a' || null || 'b' from dual", "ab"},
    FormCase{"select 'n=' || 7/2 from dual", "n=3.5"},
    FormCase{"select 'v' || 0.5 from dual", "v.5"},
    FormCase{"select 1 + 2 * 3 from dual", "7"},
    FormCase{"select (1 + 2) * 3 from dual", "9"},
    FormCase{"select -sal from emp where ename = 'SMITH'", "-800"},
    FormCase{"select 0.1 + 0.2 from dual", ".3"},
    FormCase{"select sum(balance) from accounts", "17621.25"},
    FormCase{"select balance * 2 from accounts where account_id = 1003", "241.5"},
    FormCase{"select '' from dual", "<null>"},
    FormCase{"select count(*) from dual where '' is null", "1"},
    FormCase{"select length('') from dual", "<null>"},
    FormCase{"select to_char(1234.5, '9,999.99') from dual", " 1,234.50"},
    FormCase{"select to_char(1234.5, 'FM9,999.99') from dual", "1,234.5"},
    FormCase{"select to_char(7, '000') from dual", " 007"},
    FormCase{"select to_char(-12.3, '999.9') from dual", " -12.3"},
    FormCase{"select to_char(-12.3, 'FM999.9') from dual", "-12.3"},
    FormCase{"select to_char(123456, '999') from dual", "####"},
    FormCase{"select to_char(42) from dual", "42"},
    FormCase{"select to_char(hiredate, 'YYYY-MM-DD') from emp where ename = 'KING'", "1981-11-17"},
    FormCase{"select to_char(hiredate, 'DD-MON-YYYY') from emp where ename = 'KING'", "17-NOV-1981"},
    FormCase{"select to_char(hiredate, 'Day, Month DD') from emp where ename = 'KING'", "Tuesday  , November  17"},
    FormCase{"select to_char(hiredate, 'FMDay, Month DD') from emp where ename = 'KING'", "Tuesday, November 17"},
    FormCase{"select to_char(hiredate) from emp where ename = 'KING'", "17-NOV-81"},
    FormCase{"select to_char(to_date('2024-03-05 14:07:09', 'YYYY-MM-DD HH24:MI:SS'), 'HH:MI:SS AM') from dual", "02:07:09 PM"},
    FormCase{"select to_number('12.50') + 1 from dual", "13.5"},
    FormCase{"select to_number('1,234.5', '9,999.9') from dual", "1234.5"},
    FormCase{"select to_date('2024-02-29', 'YYYY-MM-DD') from dual", "2024-02-29 00:00:00"},
    FormCase{"select to_date('05-JAN-2024', 'DD-MON-YYYY') from dual", "2024-01-05 00:00:00"},
    FormCase{"select to_date('05-JAN-24', 'DD-MON-RR') from dual", "2024-01-05 00:00:00"},
    FormCase{"select to_date('05-jan-99', 'DD-MON-RR') from dual", "1999-01-05 00:00:00"},
    FormCase{"select to_date('2024-01-05 23:59:58', 'YYYY-MM-DD HH24:MI:SS') from dual", "2024-01-05 23:59:58"},
    FormCase{"select to_date('05-JAN-24') from dual", "2024-01-05 00:00:00"},
    FormCase{"select date '2024-01-31' + 1 from dual", "2024-02-01 00:00:00"},
    FormCase{"select date '2024-03-01' - date '2024-02-01' from dual", "29"},
    FormCase{"select add_months(date '2024-01-31', 1) from dual", "2024-02-29 00:00:00"},
    FormCase{"select last_day(date '2023-02-10') from dual", "2023-02-28 00:00:00"},
    FormCase{"select months_between(date '2024-03-15', date '2024-01-15') from dual", "2"},
    FormCase{"select trunc(to_date('2024-05-17 13:45:00', 'YYYY-MM-DD HH24:MI:SS')) from dual", "2024-05-17 00:00:00"},
    FormCase{"select trunc(date '2024-05-17', 'MM') from dual", "2024-05-01 00:00:00"},
    FormCase{"select extract(year from date '2024-05-17') from dual", "2024"},
    FormCase{"select count(*) from dual where sysdate > date '2000-01-01'", "1"},
    FormCase{"select substr('ORACLE', 2, 3) from dual", "RAC"},
    FormCase{"select substr('ORACLE', -3) from dual", "CLE"},
    FormCase{"select substr('ORACLE', 0, 2) from dual", "OR"},
    FormCase{"select substr('ORACLE', 10) from dual", "<null>"},
    FormCase{"select instr('CORPORATE FLOOR', 'OR', 3, 2) from dual", "14"},
    FormCase{"select instr('CORPORATE FLOOR', 'OR', -3, 2) from dual", "2"},
    FormCase{"select instr('ABC', 'Z') from dual", "0"},
    FormCase{"select length('한글ab') from dual", "4"},
    FormCase{"select upper('abc') || lower('DEF') || initcap('hello wORLD') from dual", "ABCdefHello World"},
    FormCase{"select trim('  x  ') || '|' from dual", "x|"},
    FormCase{"select trim(leading '0' from '0070') from dual", "70"},
    FormCase{"select ltrim('xxab', 'x') || rtrim('abyy', 'y') from dual", "abab"},
    FormCase{"select trim('   ') from dual", "<null>"},
    FormCase{"select lpad('7', 3, '0') || rpad('a', 3, '*') from dual", "007a**"},
    FormCase{"select lpad('abcdef', 3) from dual", "abc"},
    FormCase{"select replace('banana', 'an', 'AN') from dual", "bANANa"},
    FormCase{"select replace('banana', 'a') from dual", "bnn"},
    FormCase{"select round(2.567, 2) || ' ' || round(2.5) || ' ' || round(-2.5) from dual", "2.57 3 -3"},
    FormCase{"select trunc(2.567, 1) || ' ' || trunc(-2.5) from dual", "2.5 -2"},
    FormCase{"select round(1234.5678, -2) from dual", "1200"},
    FormCase{"select mod(11, 4) || ' ' || mod(-11, 4) || ' ' || mod(5, 0) from dual", "3 -3 5"},
    FormCase{"select abs(-3) || ceil(1.2) || floor(-1.2) from dual", "32-2"},
    FormCase{"select power(2, 10) || ' ' || sqrt(16) || ' ' || sign(-5) from dual", "1024 4 -1"},
    FormCase{"select greatest(3, 7, 5) || least(3, 7, 5) from dual", "73"},
    FormCase{"select greatest('apple', 'pear') from dual", "pear"},
    FormCase{"select greatest(1, null) from dual", "<null>"},
    FormCase{"select coalesce(null, null, 'c') from dual", "c"},
    FormCase{"select case when sal > 2000 then 'HIGH' else 'LOW' end from emp where ename = 'SMITH'", "LOW"},
    FormCase{"select case deptno when 10 then 'A' when 20 then 'B' end from emp where ename = 'FORD'", "B"},
    FormCase{"select count(*) from emp where rownum <= 3", "3"},
    FormCase{"select count(*) from (select ename from emp where rownum < 5)", "4"},
    FormCase{"select ename from (select ename from emp order by sal desc) where rownum = 1", "KING"},
    FormCase{"select count(*) from emp where rownum <= 3 and deptno = 30", "3"},
    FormCase{"select min(ename) from emp where rownum <= 2", "BLAKE"},
    FormCase{"select max(ename) from (select ename from emp where rownum <= 3 order by ename)", "KING"},
    FormCase{"select rownum from emp where ename = 'FORD'", "1"},
    FormCase{"select count(*) from emp where ename like 's%'", "0"},
    FormCase{"select count(*) from emp where ename like 'S%'", "2"},
    FormCase{"select count(*) from emp where comm is null", "10"},
    FormCase{"select count(*) from emp where deptno in (select deptno from dept where loc = 'DALLAS')", "5"},
    FormCase{"select count(*) from emp e, dept d where e.deptno = d.deptno and d.dname = 'SALES'", "6"},
    FormCase{"select count(*) from emp e join dept d on e.deptno = d.deptno where d.dname = 'SALES'", "6"},
    FormCase{"select count(*) from demo.emp", "14"},
    FormCase{"select count(*) from DEMO.EMP e where e.sal between 1000 and 2000", "6"},
    FormCase{"select emp.ename from emp where emp.empno = 7369", "SMITH"},
    FormCase{"select demo.emp.ename from demo.emp where empno = 7369", "SMITH"},
    FormCase{"select count(distinct job) from emp", "5"},
    FormCase{"select deptno from emp group by deptno having count(*) > 5", "30"},
    FormCase{"select grade from salgrade where 1250 between losal and hisal", "2"},
    FormCase{"select ename from emp where sal = (select max(sal) from emp)", "KING"},
    FormCase{"select count(*) from (select deptno from dept minus select deptno from emp)", "1"},
    FormCase{"select count(*) from (select 1 from dual union all select 1 from dual)", "2"},
    FormCase{"select chr(65) || ascii('a') from dual", "A97"},
    FormCase{"select user from dual", "DEMO"},
    FormCase{"select ename from emp order by comm desc nulls last, ename fetch first 1 rows only", "MARTIN"},
    FormCase{"select ename from emp order by comm, ename fetch first 1 rows only", "TURNER"},
    FormCase{"select q'[it's]' from dual", "it's"},
    FormCase{"select 'it''s' from dual", "it's"},
    FormCase{"select cast('12' as number) + 1 from dual", "13"},
    FormCase{"select (select dname from dept d where d.deptno = e.deptno) from emp e where ename = 'KING'", "ACCOUNTING"},
    FormCase{"select nvl((select ename from emp where empno = 1), 'none') from dual", "none"},
    FormCase{"select count(*) from dept where deptno in (select deptno from emp)", "3"},
    FormCase{"select count(*) from dept d where exists (select 1 from emp e where e.deptno = d.deptno)", "3"},
    FormCase{"select count(*) from emp where sal > all (select sal from emp where deptno = 30)", "4"},
    FormCase{"select count(*) from emp where sal = any (select losal from salgrade)", "0"},
    FormCase{"select count(*) from emp where hiredate > '01-JAN-82'", "3"},
    FormCase{"select count(*) from dept d, emp e where e.deptno(+) = d.deptno", "15"},
    FormCase{"select d.dname from dept d, emp e where d.deptno = e.deptno(+) and e.empno is null", "OPERATIONS"},
    FormCase{"select count(*) from emp e, dept d, salgrade s where e.deptno = d.deptno(+) and e.sal between s.losal(+) and s.hisal(+)", "14"},
    FormCase{"select count(*) from emp e where e.hiredate between '01-JAN-81' and '31-dec-1981'", "10"},
    FormCase{"select count(*) from emp where '17-DEC-80' = hiredate", "1"},
    FormCase{"select count(*) from emp where ename < '01-JAN-81'", "0"},
    FormCase{"select count(*) from emp where sal < some (select sal from emp where deptno = 10)", "13"}
));

TEST_F(DemoServer, DivisionKeepsTheDigitsOfDecimalNumber)
{
    // SQLite carries the result as a double; the exact decimal comes back.
    const std::string third = (Number::fromInt(1) / Number::fromInt(3)).toString();
    ASSERT_GT(third.size(), 30u);
    EXPECT_EQ(scalar(*demo, "select 1/3 from dual"), third);
    EXPECT_EQ(scalar(*demo, "select to_char(1/3) from dual"), third);
    EXPECT_EQ(scalar(*demo, "select 2/3 third from dual"), (Number::fromInt(2) / Number::fromInt(3)).toString());
    EXPECT_EQ(scalar(*demo, "select sal / 3 from emp where ename = 'SMITH'"),
              (Number::fromInt(800) / Number::fromInt(3)).toString());
}

} // namespace sandbox::test
