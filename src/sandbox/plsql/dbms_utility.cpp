// dbms_utility.cpp - the parts of DBMS_UTILITY stored programs use most: the
// error stack and backtrace inside a handler, and a hundredths-of-a-second clock.
#include "sandbox/plsql/native.h"

#include "sandbox/plsql/session_state.h"

#include <chrono>
#include <mutex>

namespace sandbox::plsql {

void registerDbmsUtility()
{
    static std::once_flag once;
    std::call_once(once, [] {
        auto pkg = std::make_shared<NativePackage>("DBMS_UTILITY");
        pkg->addRoutine({"", "FORMAT_ERROR_STACK", {}, builtin::varchar2(),
                         [](NativeCall& c) { return Val::str(c.state.errorStack); }});
        pkg->addRoutine({"", "FORMAT_ERROR_BACKTRACE", {}, builtin::varchar2(),
                         [](NativeCall& c) { return Val::str(c.state.errorBacktrace); }});
        pkg->addRoutine({"", "GET_TIME", {}, builtin::integer(), [](NativeCall&) {
                             auto t = std::chrono::steady_clock::now().time_since_epoch();
                             int64_t cs = std::chrono::duration_cast<std::chrono::milliseconds>(t).count() / 10;
                             return Val::integer(cs % 2147483647);
                         }});
        registerNativePackage(pkg);
    });
}

} // namespace sandbox::plsql
