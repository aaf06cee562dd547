// transaction_test.cpp - each session its own transaction; persistence of a
// sandbox file across servers and processes sharing it.
#include "sandbox_test_util.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <thread>

namespace sandbox::test {

TEST_F(DemoServer, UncommittedWorkIsInvisibleToOtherSessionsUntilCommit)
{
    auto other = server->logon("DEMO", "demo");
    exec(*demo, "insert into dept values (50, 'TRAINING', 'MIAMI')");
    EXPECT_EQ(scalar(*demo, "select count(*) from dept"), "5");
    EXPECT_EQ(scalar(*other, "select count(*) from dept"), "4");
    // Reading the dictionary is not blocked by the other session's open write.
    EXPECT_EQ(scalar(*other, "select count(*) from all_objects where object_name = 'DEPT'"), "1");
    exec(*demo, "commit");
    EXPECT_EQ(scalar(*other, "select count(*) from dept"), "5");
}

TEST_F(DemoServer, RollbackUndoesAndSavepointsUndoPart)
{
    EXPECT_EQ(exec(*demo, "update emp set sal = sal + 1 where deptno = 10"), 3);
    exec(*demo, "rollback");
    EXPECT_EQ(scalar(*demo, "select sum(sal) from emp where deptno = 10"), "8750");
    exec(*demo, "delete from emp where ename = 'KING'");
    exec(*demo, "savepoint before_smith");
    exec(*demo, "delete from emp where ename = 'SMITH'");
    exec(*demo, "rollback to savepoint before_smith");
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "13");
    exec(*demo, "rollback");
    EXPECT_EQ(scalar(*demo, "select count(*) from emp"), "14");
    EXPECT_EQ(errorOf(*demo, "rollback to nowhere"), 1086);
}

TEST_F(DemoServer, DdlCommitsPendingWork)
{
    auto other = server->logon("DEMO", "demo");
    exec(*demo, "insert into dept values (60, 'X', 'Y')");
    exec(*demo, "create table t2 (x number)");
    EXPECT_EQ(scalar(*other, "select count(*) from dept where deptno = 60"), "1");
}

TEST_F(DemoServer, AWriterWaitsForAnotherSessionsCommit)
{
    auto other = server->logon("DEMO", "demo");
    exec(*demo, "insert into dept values (70, 'A', 'B')");
    std::thread t([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        exec(*demo, "commit");
    });
    // Blocks on the write lock until the commit above, then goes on.
    EXPECT_EQ(exec(*other, "insert into dept values (71, 'C', 'D')"), 1);
    t.join();
    exec(*other, "commit");
    EXPECT_EQ(scalar(*demo, "select count(*) from dept where deptno >= 70"), "2");
}

TEST(SandboxFile, WorkSurvivesARestartAndServersShareTheFile)
{
    std::string path = (std::filesystem::temp_directory_path() /
                         ("tarnel-test-" + std::to_string(getpid()) + ".db")).string();
    std::filesystem::remove(path);
    {
        auto server = openSandbox(path);
        auto s = server->logon("DEMO", "demo");
        EXPECT_EQ(scalar(*s, "select count(*) from emp"), "14");
        exec(*s, "create table notes (id number, text varchar2(100))");
        exec(*s, "insert into notes values (1, 'kept')");
        exec(*s, "commit");
        exec(*s, "insert into notes values (2, 'never committed')");
        std::vector<BindVar> none;
        s->execute("ROLLBACK", none);
    }
    {
        auto a = openSandbox(path);
        auto b = openSandbox(path);
        auto sa = a->logon("DEMO", "demo");
        auto sb = b->logon("DEMO", "demo");
        EXPECT_EQ(scalar(*sa, "select text from notes"), "kept");
        EXPECT_EQ(scalar(*sa, "select count(*) from emp"), "14");   // the demo is not loaded twice
        exec(*sa, "insert into notes values (3, 'shared')");
        exec(*sa, "commit");
        EXPECT_EQ(scalar(*sb, "select count(*) from notes"), "2");
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-wal");
    std::filesystem::remove(path + "-shm");
}

TEST(SandboxFile, APathThatIsNoDatabaseIsAnOracleError)
{
    std::string dir = std::filesystem::temp_directory_path().string();
    try {
        openSandbox(dir);   // a directory
        ADD_FAILURE();
    } catch (const OraError& e) {
        EXPECT_EQ(e.code(), 27041) << e.what();
    }
    std::string junk = dir + "/tarnel-not-a-db-" + std::to_string(getpid());
    {
        std::FILE* f = std::fopen(junk.c_str(), "w");
        std::fputs("this is no SQLite database, just text long enough to fill a header block ....................", f);
        std::fclose(f);
    }
    EXPECT_THROW(openSandbox(junk), OraError);
    std::filesystem::remove(junk);
}

TEST(SandboxMemory, SharedSandboxIsOneServerWhileHeld)
{
    auto a = sharedSandbox();
    auto b = sharedSandbox();
    EXPECT_EQ(a, b);
    EXPECT_NE(a, openSandbox());
    auto s1 = a->logon("DEMO", "demo");
    exec(*s1, "create table shared_t (x number)");
    auto s2 = b->logon("DEMO", "demo");
    EXPECT_EQ(scalar(*s2, "select count(*) from shared_t"), "0");
    std::weak_ptr<Server> gone = a;
    s1.reset();
    s2.reset();
    a.reset();
    b.reset();
    EXPECT_TRUE(gone.expired());
    auto fresh = sharedSandbox();
    EXPECT_EQ(errorOf(*fresh->logon("DEMO", "demo"), "select count(*) from shared_t"), 942);
}

TEST(SandboxMemory, EachInMemoryServerIsFreshAndLeavesNoFile)
{
    std::string path;
    {
        auto a = openSandbox();
        auto b = openSandbox();
        path = a->impl().databasePath();
        auto sa = a->logon("DEMO", "demo");
        auto sb = b->logon("DEMO", "demo");
        exec(*sa, "delete from emp");
        exec(*sa, "commit");
        EXPECT_EQ(scalar(*sb, "select count(*) from emp"), "14");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace sandbox::test
