// statements_test.cpp - binds, column names, sequences, RETURNING INTO, DDL
// with Oracle types, cancel.
#include "sandbox_test_util.h"

#include "sandbox/session_impl.h"

#include <atomic>
#include <set>
#include <thread>

namespace sandbox::test {

TEST_F(DemoServer, BindsAreValuesNeverText)
{
    EXPECT_EQ(scalar(*demo, "select ename from emp where empno = :id", {bind("ID", Value::integer(7788))}), "SCOTT");
    EXPECT_EQ(scalar(*demo, "select ename from emp where ename = :n", {bind(":n", Value::string("x' or '1'='1"))}),
              "<0 rows>");
    EXPECT_EQ(scalar(*demo, "select count(*) from emp where sal > :1 and deptno = :2",
                     {bind("1", Value::integer(1000)), bind("2", Value::integer(20))}), "4");
    EXPECT_EQ(scalar(*demo, "select nvl(:s, 'was null') from dual", {bind("s", Value::string(""))}), "was null");
    EXPECT_EQ(scalar(*demo, "select :d + 1 from dual", {bind("d", Value::date(DateTime::fromParts(2024, 2, 28)))}),
              "2024-02-29 00:00:00");
    Number money = *Number::parse("1234.56");
    exec(*demo, "insert into accounts (account_id, owner_name, balance) values (:id, :who, :amt)",
         {bind("id", Value::integer(2000)), bind("who", Value::string("FORD")), bind("amt", Value::number(money))});
    EXPECT_EQ(scalar(*demo, "select balance from accounts where account_id = 2000"), "1234.56");
    // The same bind used twice is one value.
    EXPECT_EQ(scalar(*demo, "select :x + :X from dual", {bind("x", Value::integer(4))}), "8");
}

TEST_F(DemoServer, ColumnsAreNamedAsOracleNamesThem)
{
    std::vector<BindVar> none;
    ExecResult r = demo->execute("select ename, e.sal, nvl(comm, 0), sal * 12 annual, sal \"Pay\", count(*) over () "
                                 "from emp e where rownum = 1", none);
    std::vector<std::string> names;
    std::vector<Column::Type> types;
    for (const Column& c : r.cursor->columns()) {
        names.push_back(c.name);
        types.push_back(c.type);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ENAME", "SAL", "NVL(COMM,0)", "ANNUAL", "Pay", "COUNT(*)OVER()"}));
    EXPECT_EQ(types[0], Column::Type::String);
    EXPECT_EQ(types[1], Column::Type::Number);
    r = demo->execute("select * from dept where deptno = 10", none);
    names.clear();
    for (const Column& c : r.cursor->columns()) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DEPTNO", "DNAME", "LOC"}));
    r = demo->execute("select hiredate, sysdate, to_date('2024-01-01', 'YYYY-MM-DD') from emp where rownum = 1", none);
    for (const Column& c : r.cursor->columns()) EXPECT_EQ(c.type, Column::Type::Date) << c.name;
    std::vector<Value> row;
    ASSERT_TRUE(r.cursor->fetch(row));
    EXPECT_EQ(row[0].kind(), Value::Kind::Date);
    EXPECT_EQ(row[1].kind(), Value::Kind::Date);
}

TEST_F(DemoServer, SequencesHandOutNextvalAndRememberCurrval)
{
    EXPECT_EQ(errorOf(*demo, "select emp_seq.currval from dual"), 8002);
    EXPECT_EQ(scalar(*demo, "select emp_seq.nextval from dual"), "8000");
    EXPECT_EQ(scalar(*demo, "select emp_seq.nextval from dual"), "8001");
    EXPECT_EQ(scalar(*demo, "select demo.emp_seq.currval from dual"), "8001");
    exec(*demo, "insert into emp (empno, ename) values (emp_seq.nextval, 'NEW')");
    EXPECT_EQ(scalar(*demo, "select ename from emp where empno = emp_seq.currval"), "NEW");
    exec(*demo, "commit");
    // CURRVAL is per session.
    auto other = server->logon("DEMO", "demo");
    EXPECT_EQ(errorOf(*other, "select emp_seq.currval from dual"), 8002);
    EXPECT_EQ(scalar(*other, "select emp_seq.nextval from dual"), "8003");
    exec(*demo, "create sequence down_seq start with 3 increment by -1 minvalue 1 maxvalue 3");
    EXPECT_EQ(scalar(*demo, "select down_seq.nextval from dual"), "3");
    scalar(*demo, "select down_seq.nextval from dual");
    scalar(*demo, "select down_seq.nextval from dual");
    EXPECT_EQ(errorOf(*demo, "select down_seq.nextval from dual"), 8004);
    exec(*demo, "create sequence ring maxvalue 2 cycle");
    scalar(*demo, "select ring.nextval from dual");
    scalar(*demo, "select ring.nextval from dual");
    EXPECT_EQ(scalar(*demo, "select ring.nextval from dual"), "1");
    // LAST_NUMBER is the high-water mark of the numbers reserved so far (20 at a time).
    EXPECT_EQ(scalar(*demo, "select last_number from user_sequences where sequence_name = 'EMP_SEQ'"), "8020");
    // NEXTVAL locks nothing: another session's DDL goes through at once.
    exec(*other, "create table after_nextval (x number)");
}

TEST_F(DemoServer, SessionsOnThreadsNeverShareASequenceNumber)
{
    auto a = server->logon("DEMO", "demo");
    auto b = server->logon("DEMO", "demo");
    std::vector<std::string> va, vb;
    auto take = [](Session& s, std::vector<std::string>& out) {
        for (int i = 0; i < 150; ++i) out.push_back(scalar(s, "select log_seq.nextval from dual"));
    };
    std::thread ta([&] { take(*a, va); });
    std::thread tb([&] { take(*b, vb); });
    ta.join();
    tb.join();
    std::set<std::string> all(va.begin(), va.end());
    all.insert(vb.begin(), vb.end());
    EXPECT_EQ(all.size(), 300u);
}

TEST_F(DemoServer, ReturningIntoWritesTheOutBinds)
{
    std::vector<BindVar> binds{bind("id", Value(), BindMode::Out, BindType::Integer),
                               bind("name", Value(), BindMode::Out, BindType::String)};
    ExecResult r = demo->execute("insert into emp (empno, ename, sal) values (emp_seq.nextval, 'RET', 10) "
                                 "returning empno, ename into :id, :name", binds);
    EXPECT_EQ(r.rowCount, 1);
    EXPECT_EQ(binds[0].value, Value::integer(8000));
    EXPECT_EQ(binds[1].value, Value::string("RET"));
    std::vector<BindVar> b2{bind("s", Value(), BindMode::Out, BindType::Number)};
    demo->execute("update emp set sal = sal * 2 where ename = 'RET' returning sal into :s", b2);
    EXPECT_EQ(b2[0].value, Value::integer(20));
    // A plain name as the target is bound like a bind variable of that name.
    std::vector<BindVar> b3{bind("V_SAL", Value(), BindMode::Out, BindType::Number)};
    demo->execute("delete from emp where ename = 'RET' returning sal into v_sal", b3);
    EXPECT_EQ(b3[0].value, Value::integer(20));
}

TEST_F(DemoServer, CurrentSchemaChangesWhereUnqualifiedNamesResolve)
{
    exec(*demo, "create user hr identified by hr");
    auto hr = server->logon("HR", "hr");
    exec(*hr, "alter session set current_schema = demo");
    EXPECT_EQ(scalar(*hr, "select count(*) from emp"), "14");
    EXPECT_EQ(hr->user(), "HR");
    EXPECT_EQ(errorOf(*hr, "alter session set current_schema = nobody"), 1435);
}

TEST_F(DemoServer, CreateTableTakesOracleTypesAndConstraints)
{
    exec(*demo, "CREATE TABLE orders (\n"
                "  order_id NUMBER(10) CONSTRAINT pk_orders PRIMARY KEY,\n"
                "  customer VARCHAR2(40 CHAR) NOT NULL,\n"
                "  amount NUMBER(12,2) DEFAULT 0,\n"
                "  placed DATE DEFAULT SYSDATE,\n"
                "  status CHAR(1) CHECK (status IN ('N', 'S')),\n"
                "  empno NUMBER(4) REFERENCES emp (empno) ON DELETE CASCADE\n"
                ") TABLESPACE users");
    exec(*demo, "insert into orders (order_id, customer, status, empno) values (1, 'ACME', 'N', 7369)");
    EXPECT_EQ(query(*demo, "select amount, customer, status from orders"), (Rows{{"0", "ACME", "N"}}));
    EXPECT_EQ(scalar(*demo, "select count(*) from orders where placed <= sysdate"), "1");
    EXPECT_EQ(errorOf(*demo, "insert into orders (order_id, customer, status) values (2, 'X', 'Q')"), 2290);
    exec(*demo, "delete from emp where empno = 7369");
    EXPECT_EQ(scalar(*demo, "select count(*) from orders"), "0");
    exec(*demo, "alter table orders add (note varchar2(100), due date)");
    exec(*demo, "insert into orders (order_id, customer, note) values (3, 'B', 'hello')");
    EXPECT_EQ(scalar(*demo, "select note from orders"), "hello");
    EXPECT_EQ(scalar(*demo, "select data_type from user_tab_columns where table_name = 'ORDERS' and column_name = 'AMOUNT'"),
              "NUMBER");
    exec(*demo, "alter table orders rename column note to remark");
    EXPECT_EQ(scalar(*demo, "select remark from orders"), "hello");
    exec(*demo, "alter table orders drop column due");
    EXPECT_EQ(errorOf(*demo, "select due from orders"), 904);
    exec(*demo, "alter table orders rename to purchases");
    EXPECT_EQ(scalar(*demo, "select count(*) from purchases"), "1");
    EXPECT_EQ(scalar(*demo, "select count(*) from user_objects where object_name in ('ORDERS', 'PURCHASES')"), "1");
    EXPECT_EQ(errorOf(*demo, "select count(*) from orders"), 942);
    EXPECT_EQ(errorOf(*demo, "insert into purchases (order_id, customer, status) values (9, 'X', 'Q')"), 2290);
    exec(*demo, "alter table purchases rename to orders");
    exec(*demo, "truncate table orders");
    EXPECT_EQ(scalar(*demo, "select count(*) from orders"), "0");
    exec(*demo, "create table rich as select ename, sal, hiredate, sal * 12 annual, 'x' tag from emp where sal > 2900");
    EXPECT_EQ(scalar(*demo, "select count(*) from rich"), "4");
    std::vector<BindVar> none;
    ExecResult rich = demo->execute("select * from rich", none);
    std::vector<Column::Type> types;
    for (const Column& c : rich.cursor->columns()) types.push_back(c.type);
    EXPECT_EQ(types, (std::vector<Column::Type>{Column::Type::String, Column::Type::Number, Column::Type::Date,
                                                Column::Type::Number, Column::Type::String}));
    EXPECT_EQ(errorOf(*demo, "insert into rich (ename) values ('ELEVENCHARS')"), 12899);
    EXPECT_EQ(scalar(*demo, "select object_type from user_objects where object_name = 'RICH'"), "TABLE");
}

TEST_F(DemoServer, TextWrittenToADateColumnBecomesADate)
{
    exec(*demo, "insert into emp (empno, ename, hiredate) values (1, 'A', '17-DEC-80')");
    exec(*demo, "insert into emp (empno, ename, hiredate) values (2, 'B', '2024-01-05')");
    exec(*demo, "update emp set hiredate = '01-FEB-2021' where empno = 1");
    EXPECT_EQ(query(*demo, "select hiredate from emp where empno in (1, 2) order by empno"),
              (Rows{{"2021-02-01 00:00:00"}, {"2024-01-05 00:00:00"}}));
    EXPECT_EQ(errorOf(*demo, "insert into emp (empno, hiredate) values (3, 'not a date')"), 1861);
    EXPECT_EQ(errorOf(*demo, "insert into emp (empno, hiredate) values (4, '31-FEB-2024')"), 1847);
    EXPECT_EQ(scalar(*demo, "select count(*) from emp where empno in (3, 4)"), "0");
}

TEST_F(DemoServer, TypedColumnsCheckAndRoundWhatIsWritten)
{
    exec(*demo, "create table typed (name varchar2(5), amount number(7,2), qty integer, code char(2), total number)");
    exec(*demo, "insert into typed values ('abcde', 1234.5678, 2.6, 'AB', 1.23456789)");
    EXPECT_EQ(query(*demo, "select name, amount, qty, total from typed"), (Rows{{"abcde", "1234.57", "3", "1.23456789"}}));
    EXPECT_EQ(messageOf(*demo, "insert into typed (name) values ('abcdef')"),
              "ORA-12899: value too large for column \"DEMO\".\"TYPED\".\"NAME\"");
    EXPECT_EQ(errorOf(*demo, "insert into typed (name) values ('한글다섯자')"), 0);   // characters, not bytes
    EXPECT_EQ(errorOf(*demo, "insert into typed (amount) values (123456)"), 1438);
    EXPECT_EQ(errorOf(*demo, "insert into typed (amount) values ('12x')"), 1722);
    EXPECT_EQ(errorOf(*demo, "insert into typed (amount) values ('12.5')"), 0);
    EXPECT_EQ(errorOf(*demo, "update typed set amount = amount * 1000"), 1438);
    exec(*demo, "update typed set amount = amount / 3 where name = 'abcde'");
    EXPECT_EQ(scalar(*demo, "select amount from typed where name = 'abcde'"), "411.52");
}

TEST_F(DemoServer, ManyDistinctStatementsKeepOpenCursorsWorking)
{
    std::vector<BindVar> none;
    ExecResult open = demo->execute("select ename from emp order by empno", none);
    std::vector<Value> row;
    ASSERT_TRUE(open.cursor->fetch(row));
    for (int i = 0; i < 1200; ++i) EXPECT_EQ(scalar(*demo, "select " + std::to_string(i) + " from dual"), std::to_string(i));
    int rest = 0;
    while (open.cursor->fetch(row)) ++rest;
    EXPECT_EQ(rest, 13);
}

TEST_F(DemoServer, AlteredTablesKeepTheirColumnRules)
{
    exec(*demo, "alter table emp drop column hiredate");
    exec(*demo, "alter table emp add (nickname varchar2(3), joined date)");
    exec(*demo, "insert into emp (empno, ename, joined) values (1, 'NEW', '05-JAN-24')");
    EXPECT_EQ(scalar(*demo, "select joined from emp where empno = 1"), "2024-01-05 00:00:00");
    EXPECT_EQ(errorOf(*demo, "update emp set nickname = 'TOOLONG' where empno = 1"), 12899);
    exec(*demo, "alter table emp rename column sal to salary");
    EXPECT_EQ(errorOf(*demo, "update emp set salary = 123456789 where empno = 1"), 1438);
    EXPECT_EQ(errorOf(*demo, "select hiredate from emp"), 904);
}

TEST_F(DemoServer, CancelStopsARunningStatement)
{
    std::atomic<bool> done{false};
    std::thread t([&] {
        // Keeps asking until the statement has ended: a cancel before it
        // starts is a no-op.
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            demo->cancel();
        }
    });
    // A cross join that runs for minutes unless cancelled.
    int code = errorOf(*demo, "select count(*) from all_objects a, all_objects b, all_objects c, all_objects d, "
                              "all_objects e, all_objects f");
    done = true;
    t.join();
    EXPECT_EQ(code, 1013);
    demo->cancel();   // nothing runs: no effect on the next statement
    EXPECT_EQ(scalar(*demo, "select count(*) from dept"), "4");
}

} // namespace sandbox::test
