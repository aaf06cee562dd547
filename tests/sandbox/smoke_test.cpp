// smoke_test.cpp - the demo schema is there and readable.
#include "sandbox_test_util.h"

namespace sandbox::test {

TEST_F(DemoServer, DemoTablesHoldTheClassicRows)
{
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "14");
    EXPECT_EQ(scalar(*demo, "select count(*) from dept"), "4");
    EXPECT_EQ(scalar(*demo, "select ename from emp where empno = 7839"), "KING");
    EXPECT_EQ(scalar(*demo, "select balance from accounts where account_id = 1002"), "2500.5");
    EXPECT_EQ(scalar(*demo, "select hiredate from emp where ename = 'SMITH'"), "1980-12-17 00:00:00");
}

} // namespace sandbox::test
