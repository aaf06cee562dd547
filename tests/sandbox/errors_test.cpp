// errors_test.cpp - bad input gets Oracle's errors and nothing breaks.
#include "sandbox_test_util.h"

namespace sandbox::test {

struct ErrorCase {
    const char* sql;
    int code;
    const char* message;   // whole text when given
};

class SqlErrors : public DemoServer, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(SqlErrors, AreOracles)
{
    const ErrorCase& c = GetParam();
    std::vector<BindVar> binds;
    try {
        ExecResult r = demo->execute(c.sql, binds);
        if (r.cursor) {
            std::vector<Value> row;
            while (r.cursor->fetch(row)) {}
        }
        ADD_FAILURE() << c.sql << " succeeded";
    } catch (const OraError& e) {
        EXPECT_EQ(e.code(), c.code) << c.sql << ": " << e.what();
        if (c.message) {
            EXPECT_STREQ(e.what(), c.message) << c.sql;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SqlErrors, ::testing::Values(
    ErrorCase{"select * from no_such_table", 942, "ORA-00942: table or view does not exist"},
    ErrorCase{"select * from nobody.emp", 942, nullptr},
    ErrorCase{"select col1 from emp", 904, "ORA-00904: \"COL1\": invalid identifier"},
    ErrorCase{"select e.col1 from emp e", 904, "ORA-00904: \"E\".\"COL1\": invalid identifier"},
    ErrorCase{"select no_such_function(1) from dual", 904, "ORA-00904: \"NO_SUCH_FUNCTION\": invalid identifier"},
    ErrorCase{"hello world", 900, "ORA-00900: invalid SQL statement"},
    ErrorCase{"", 900, nullptr},
    ErrorCase{"   -- only a comment", 900, nullptr},
    ErrorCase{"select * from emp where", 936, nullptr},
    ErrorCase{"select * from emp extra junk", 933, "ORA-00933: SQL command not properly ended"},
    ErrorCase{"select * from emp;;", 933, nullptr},
    ErrorCase{"select ename from emp where ename = :missing", 1008, "ORA-01008: not all variables bound"},
    ErrorCase{"select 'abc from dual", 1756, nullptr},
    ErrorCase{"select (1 from dual", 907, nullptr},
    ErrorCase{"select 1) from dual", 933, nullptr},
    ErrorCase{"select 1/0 from dual", 1476, "ORA-01476: divisor is equal to zero"},
    ErrorCase{"select to_number('abc') from dual", 1722, "ORA-01722: invalid number"},
    ErrorCase{"select 'abc' + 1 from dual", 1722, nullptr},
    ErrorCase{"select to_date('31-FEB-2024', 'DD-MON-YYYY') from dual", 1847, nullptr},
    ErrorCase{"select to_date('2024-13-01', 'YYYY-MM-DD') from dual", 1843, nullptr},
    ErrorCase{"select to_date('xx', 'YYYY') from dual", 1861, nullptr},
    ErrorCase{"insert into dept values (10, 'DUP', 'X')", 1, nullptr},
    ErrorCase{"insert into accounts (account_id) values (9)", 1400, nullptr},
    ErrorCase{"insert into emp (empno, deptno) values (1, 99)", 2291, nullptr},
    ErrorCase{"delete from dept where deptno = 10", 2292, nullptr},
    ErrorCase{"insert into dept values (1, 2)", 913, nullptr},
    ErrorCase{"select emp_seq.currval from dual", 8002, nullptr},
    ErrorCase{"select no_seq.nextval from dual", 2289, nullptr},
    ErrorCase{"create table emp (x number)", 955, nullptr},
    ErrorCase{"create table t (x nosuchtype(", 907, nullptr},
    ErrorCase{"drop table no_such", 942, nullptr},
    ErrorCase{"select ename from emp, dept where deptno = 10", 918, nullptr},
    ErrorCase{"select deptno from emp group by", 936, nullptr},
    ErrorCase{"create table t (x number default :b)", 1027, nullptr},
    ErrorCase{"select * from emp connect by prior empno = mgr", 900, nullptr},
    ErrorCase{"select (select ename from emp where deptno = 10) from dual", 1427,
              "ORA-01427: single-row subquery returns more than one row"},
    ErrorCase{"update emp set sal = (select sal from emp where deptno = 20)", 1427, nullptr},
    ErrorCase{"select lpad('x', 1000000000) from dual", 1489, nullptr},
    ErrorCase{"insert into dept (zz) values (1)", 904, "ORA-00904: \"ZZ\": invalid identifier"}
));

TEST_F(DemoServer, NothingCrashesOnOddInput)
{
    // Each of these must end in an OraError or a result, never a crash.
    const char* inputs[] = {"(", ")", "((((", "select", "select ,", "select * from", "select * from (", "insert",
                            "insert into", "insert into emp values", "update emp set", "delete", "create", "drop",
                            "select 1 from dual where rownum <=", "select case when then end from dual",
                            "select case from dual", "select date 'x' from dual", "select :1 from dual",
                            "select \"\" from dual", "select a.b.c.d.e from dual", "select 1 from dual union",
                            "with x as (select 1 from dual) select * from x", "select * from dual order by",
                            "select trim(from) from dual", "select extract(year) from dual", "select cast(1) from dual",
                            "select nvl(1) from dual", "commit work", "rollback to", "savepoint", "alter table emp drop x",
                            "select 1 from dual fetch first rows", "\x01\x02", "select '\xff\xfe' from dual",
                            "select * from emp where ename = 'KING' or rownum < 3", "update emp e set e.",
                            "create sequence s increment by 0", "create user", "create user x identified",
                            "select emp.* , dept.* from emp , dept where rownum < 2"};
    for (const char* in : inputs) {
        std::vector<BindVar> binds;
        try {
            ExecResult r = demo->execute(in, binds);
            if (r.cursor) {
                std::vector<Value> row;
                while (r.cursor->fetch(row)) {}
            }
        } catch (const OraError&) {
        }
    }
    std::string deep(500, '(');
    EXPECT_NE(errorOf(*demo, "select " + deep + "1" + std::string(500, ')') + " from dual"), 0);
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "14");
}

} // namespace sandbox::test
