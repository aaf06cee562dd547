// bench_plsql.cpp - the PL/SQL interpreter against Lua 5.4 on the same three
// algorithms (integer loop, string building, recursive calls), measured in
// the same run, plus the memory of a million-iteration loop.
#include "sandbox/boot/sandbox.h"
#include "sandbox/server.h"

#include <algorithm>
#include <ctime>
#include <sys/resource.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// CPU time rather than wall time: the figures stay comparable on a busy machine.
double threadCpu()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double childrenCpu()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Resident set size in KiB.
long rssKiB()
{
    std::ifstream f("/proc/self/statm");
    long pages = 0, resident = 0;
    f >> pages >> resident;
    return resident * 4;
}

struct Case {
    const char* name;
    const char* block;   // :n in, :r out
    const char* lua;
    long n;
};

const Case kCases[] = {
    {"integer loop",
     "DECLARE s NUMBER := 0; BEGIN FOR i IN 1..:n LOOP IF MOD(i, 3) = 0 THEN s := s + i; ELSE s := s - 1; "
     "END IF; END LOOP; :r := s; END;",
     "int_loop.lua", 3000000},
    {"string building",
     "DECLARE s VARCHAR2(32767); total PLS_INTEGER := 0; BEGIN FOR i IN 1..:n LOOP s := s || 'x' || TO_CHAR(MOD(i, 10)); "
     "IF MOD(i, 100) = 0 THEN total := total + LENGTH(s); s := NULL; END IF; END LOOP; :r := total; END;",
     "string_build.lua", 1000000},
    {"recursive calls",
     "DECLARE FUNCTION fib(n PLS_INTEGER) RETURN PLS_INTEGER IS BEGIN IF n < 2 THEN RETURN n; END IF; "
     "RETURN fib(n - 1) + fib(n - 2); END; BEGIN :r := fib(:n); END;",
     "recursion.lua", 27},
};

std::string runLua(const std::string& script, long n, double& secs)
{
    std::string cmd = "lua5.4 " + std::string(TARNEL_BENCH_DIR) + "/lua/" + script + " " + std::to_string(n);
    double t0 = childrenCpu();
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    if (p) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    secs = childrenCpu() - t0;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

std::string runPlsql(sandbox::Session& s, const Case& c, long n, double& secs)
{
    std::vector<sandbox::BindVar> b(2);
    b[0].name = "n";
    b[0].type = sandbox::BindType::Integer;
    b[0].value = sandbox::Value::integer(n);
    b[1].name = "r";
    b[1].type = sandbox::BindType::Number;
    b[1].mode = sandbox::BindMode::Out;
    double t0 = threadCpu();
    s.execute(c.block, b);
    secs = threadCpu() - t0;
    return b[1].value.toText();
}

} // namespace

int main()
{
    auto server = sandbox::openSandbox();
    auto session = server->logon("DEMO", "demo");
    bool ok = true;
    std::printf("%-18s %12s %12s %8s  %s\n", "program", "sandbox cpu s", "lua5.4 cpu s", "ratio", "result");
    for (const Case& c : kCases) {
        // Best of three runs each, interleaved, so a busy machine hurts both alike.
        double tp = 1e9, tl = 1e9;
        std::string rp, rl;
        for (int k = 0; k < 3; ++k) {
            double a = 0, b = 0;
            rp = runPlsql(*session, c, c.n, a);
            rl = runLua(c.lua, c.n, b);
            tp = std::min(tp, a);
            tl = std::min(tl, b);
        }
        double ratio = tl > 0 ? tp / tl : 0;
        bool same = rp == rl;
        ok = ok && same;
        std::printf("%-18s %12.3f %12.3f %7.2fx  %s%s\n", c.name, tp, tl, ratio, rp.c_str(),
                    same ? "" : (" (lua: " + rl + ")").c_str());
    }
    // A million passes must not grow memory: compare with a short run.
    const Case& loop = kCases[0];
    double t = 0;
    runPlsql(*session, loop, 10000, t);
    long before = rssKiB();
    runPlsql(*session, loop, 1000000, t);
    long after = rssKiB();
    std::printf("memory: 1,000,000-iteration loop grew the resident set by %ld KiB (goal: constant)\n", after - before);
    std::printf("goal: at most 3x Lua on each program\n");
    return ok ? 0 : 1;
}
