// logon_test.cpp - users: DEMO/demo, CREATE USER, wrong passwords.
#include "sandbox_test_util.h"

namespace sandbox::test {

TEST_F(DemoServer, LogonChecksUserAndPassword)
{
    EXPECT_EQ(demo->user(), "DEMO");
    EXPECT_NE(server->logon("demo", "demo"), nullptr);    // user names are not case-sensitive
    struct Bad {
        const char *user, *password;
        int code;
    };
    for (const Bad& b : {Bad{"DEMO", "wrong", 1017}, Bad{"DEMO", "DEMO", 1017}, Bad{"NOBODY", "demo", 1017},
                         Bad{"", "demo", 1017}, Bad{"DEMO", "", 1005}, Bad{"SYS", "", 1005}}) {
        try {
            server->logon(b.user, b.password);
            ADD_FAILURE() << b.user << "/" << b.password << " logged on";
        } catch (const OraError& e) {
            EXPECT_EQ(e.code(), b.code) << b.user << "/" << b.password;
            if (b.code == 1017) {
                EXPECT_STREQ(e.what(), "ORA-01017: invalid username/password; logon denied");
            }
        }
    }
}

TEST_F(DemoServer, CreateUserMakesANewSchema)
{
    exec(*demo, "CREATE USER scott IDENTIFIED BY Tiger");
    EXPECT_EQ(errorOf(*demo, "create user SCOTT identified by x"), 1920);
    EXPECT_THROW(server->logon("SCOTT", "tiger"), OraError);   // passwords keep their case
    auto scott = server->logon("scott", "Tiger");
    EXPECT_EQ(scott->user(), "SCOTT");
    exec(*scott, "create table emp (id number)");
    exec(*scott, "insert into emp values (1)");
    exec(*scott, "commit");
    // Unqualified names resolve to the session's schema, OWNER.NAME to another's.
    EXPECT_EQ(scalar(*scott, "select count(*) from emp"), "1");
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "14");
    EXPECT_EQ(scalar(*demo, "select count(*) from scott.emp"), "1");
    EXPECT_EQ(scalar(*scott, "select count(*) from demo.emp"), "14");
    EXPECT_EQ(scalar(*demo, "select count(*) from all_users where username = 'SCOTT'"), "1");
    EXPECT_EQ(errorOf(*demo, "create table nobody.t (x number)"), 1918);
}

TEST_F(DemoServer, DropUserNeedsCascadeWhenItOwnsObjects)
{
    exec(*demo, "create user u1 identified by p");
    auto u1 = server->logon("U1", "p");
    exec(*u1, "create table t (x number)");
    EXPECT_EQ(errorOf(*demo, "drop user u1"), 1922);
    exec(*demo, "drop user u1 cascade");
    EXPECT_EQ(scalar(*demo, "select count(*) from all_objects where owner = 'U1'"), "0");
    EXPECT_THROW(server->logon("U1", "p"), OraError);
}

} // namespace sandbox::test
