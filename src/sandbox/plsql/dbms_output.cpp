// dbms_output.cpp - DBMS_OUTPUT: a per-session line buffer that PL/SQL
// writes and the client reads back (tarnel-sql under SET SERVEROUTPUT ON,
// the GUI's log).
#include "sandbox/plsql/native.h"

#include "sandbox/ora_error.h"
#include "sandbox/plsql/session_state.h"

#include <mutex>

namespace sandbox::plsql {
namespace {

constexpr size_t kMaxLine = 32767;

void append(OutputBuffer& b, const std::string& text, bool endLine)
{
    if (!b.enabled)
        return;
    if (b.limit > 0 && b.used + static_cast<int64_t>(text.size()) > b.limit)
        throw OraError::make(20000, "ORU-10027: buffer overflow, limit of " + std::to_string(b.limit) + " bytes");
    if (b.partial.size() + text.size() > kMaxLine)
        throw OraError::make(20000, "ORU-10028: line length overflow, limit of 32767 bytes per line");
    b.used += static_cast<int64_t>(text.size());
    b.partial += text;
    b.hasPartial = true;
    if (endLine) {
        b.lines.push_back(std::move(b.partial));
        b.partial.clear();
        b.hasPartial = false;
    }
}

NativeParam param(const char* name, ParamMode mode, const Type* t, bool hasDefault = false, Val def = {})
{
    NativeParam p;
    p.name = name;
    p.mode = mode;
    p.type = t;
    p.hasDefault = hasDefault;
    p.defaultValue = std::move(def);
    return p;
}

} // namespace

void registerDbmsOutput()
{
    static std::once_flag once;
    std::call_once(once, [] {
        auto pkg = std::make_shared<NativePackage>("DBMS_OUTPUT");
        Type* chararr = pkg->types().make(TypeKind::AssocArray);
        chararr->name = "CHARARR";
        chararr->package = "DBMS_OUTPUT";
        chararr->owner = "SYS";
        Type* line = pkg->types().make(TypeKind::Varchar2);
        line->name = "VARCHAR2";
        line->precision = 32767;
        chararr->element = line;
        pkg->addType("CHARARR", chararr);

        pkg->addRoutine({"", "ENABLE", {param("BUFFER_SIZE", ParamMode::In, builtin::integer(), true, Val::integer(20000))},
                         nullptr, [](NativeCall& c) {
                             OutputBuffer& b = c.state.output;
                             b.enabled = true;
                             // NULL means unlimited; Oracle raises small sizes to 2000.
                             b.limit = c.args[0].isNull() ? 0 : std::max<int64_t>(2000, *toInt(c.args[0]));
                             return Val();
                         }});
        pkg->addRoutine({"", "DISABLE", {}, nullptr, [](NativeCall& c) {
                             OutputBuffer& b = c.state.output;
                             b = OutputBuffer();
                             return Val();
                         }});
        pkg->addRoutine({"", "PUT", {param("A", ParamMode::In, builtin::varchar2())}, nullptr, [](NativeCall& c) {
                             append(c.state.output, toText(c.args[0]), false);
                             return Val();
                         }});
        pkg->addRoutine({"", "PUT_LINE", {param("A", ParamMode::In, builtin::varchar2())}, nullptr,
                         [](NativeCall& c) {
                             append(c.state.output, toText(c.args[0]), true);
                             return Val();
                         }});
        pkg->addRoutine({"", "NEW_LINE", {}, nullptr, [](NativeCall& c) {
                             append(c.state.output, "", true);
                             return Val();
                         }});
        pkg->addRoutine({"", "GET_LINE",
                         {param("LINE", ParamMode::Out, builtin::varchar2()),
                          param("STATUS", ParamMode::Out, builtin::integer())},
                         nullptr, [](NativeCall& c) {
                             OutputBuffer& b = c.state.output;
                             if (b.lines.empty()) {
                                 c.args[0] = Val();
                                 c.args[1] = Val::integer(1);
                                 return Val();
                             }
                             c.args[0] = Val::str(b.lines.front());
                             b.used -= static_cast<int64_t>(b.lines.front().size());
                             b.lines.pop_front();
                             c.args[1] = Val::integer(0);
                             return Val();
                         }});
        pkg->addRoutine({"", "GET_LINES",
                         {param("LINES", ParamMode::Out, chararr),
                          param("NUMLINES", ParamMode::InOut, builtin::integer())},
                         nullptr, [chararr](NativeCall& c) {
                             OutputBuffer& b = c.state.output;
                             int64_t want = c.args[1].isNull() ? 0 : *toInt(c.args[1]);
                             auto coll = std::make_shared<Collection>();
                             coll->type = chararr;
                             int64_t n = 0;
                             while (n < want && !b.lines.empty()) {
                                 CollKey k;
                                 k.i = ++n;
                                 coll->items[k] = Val::str(b.lines.front());
                                 b.used -= static_cast<int64_t>(b.lines.front().size());
                                 b.lines.pop_front();
                             }
                             c.args[0] = Val::collection(std::move(coll));
                             c.args[1] = Val::integer(n);
                             return Val();
                         }});
        registerNativePackage(pkg);
    });
}

} // namespace sandbox::plsql
