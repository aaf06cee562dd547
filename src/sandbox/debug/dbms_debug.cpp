// dbms_debug.cpp - the DBMS_DEBUG package, implemented natively: its
// constants, records and per-session variable, and the subprograms a
// debugger and its target call.
#include "sandbox/debug/dbms_debug.h"

#include "sandbox/debug/debug_target.h"
#include "sandbox/debug/probe_bridge.h"
#include "sandbox/ora_error.h"
#include "sandbox/plsql/native.h"
#include "sandbox/plsql/session_state.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>

namespace sandbox::debug {

using plsql::NativeCall;
using plsql::NativePackage;
using plsql::NativeParam;
using plsql::NativeRoutine;
using plsql::ParamMode;
using plsql::Type;
using plsql::TypeKind;
using plsql::Val;

namespace {

const char* const kPackage = "DBMS_DEBUG";

// ---- debug session ids --------------------------------------------------------------

// Targets by debug session id, for ATTACH_SESSION from any session of the process.
class TargetRegistry {
public:
    static TargetRegistry& instance()
    {
        static TargetRegistry r;
        return r;
    }

    std::shared_ptr<DebugTarget> create(std::string id)
    {
        std::lock_guard lock(mutex_);
        if (id.empty())
            id = freshId();
        auto t = std::make_shared<DebugTarget>(id);
        targets_[id] = t;
        return t;
    }

    std::shared_ptr<DebugTarget> find(const std::string& id)
    {
        std::lock_guard lock(mutex_);
        auto it = targets_.find(id);
        if (it == targets_.end())
            return nullptr;
        auto t = it->second.lock();
        if (!t)
            targets_.erase(it);
        return t;
    }

private:
    // Twelve upper-case hex digits, as Oracle's ids look.
    std::string freshId()
    {
        static std::mt19937_64 rng{std::random_device{}()};
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04X%08X", static_cast<unsigned>(++counter_ & 0xFFFF),
                      static_cast<unsigned>(rng() & 0xFFFFFFFFu));
        return buf;
    }

    std::mutex mutex_;
    uint64_t counter_ = 0;
    std::map<std::string, std::weak_ptr<DebugTarget>> targets_;
};

// What one session keeps: as a target its DebugTarget and probe, as a
// debugger the target it is attached to.
struct DebugSessionState {
    std::shared_ptr<DebugTarget> target;
    std::shared_ptr<ProbeBridge> probe;
    std::shared_ptr<DebugTarget> attached;
};

DebugSessionState& stateOf(plsql::PlsqlSession& s)
{
    auto& slot = s.extensions[kPackage];
    if (!slot)
        slot = std::make_shared<DebugSessionState>();
    return *static_cast<DebugSessionState*>(slot.get());
}

[[noreturn]] void raise(const std::string& exceptionName)
{
    // DBMS_DEBUG's own exceptions surface as user-defined exceptions.
    throw OraError::make(6510, "PL/SQL: unhandled user-defined exception (DBMS_DEBUG." + exceptionName + ")");
}

int timeoutOf(plsql::PlsqlSession& s)
{
    auto it = s.nativeVariables.find("DBMS_DEBUG.DEFAULT_TIMEOUT");
    if (it == s.nativeVariables.end() || it->second.isNull())
        return default_timeout;
    auto v = plsql::toInt(it->second);
    return v && *v > 0 ? static_cast<int>(*v) : default_timeout;
}

// ---- records ------------------------------------------------------------------------

struct Types {
    const Type* pls = plsql::builtin::plsInteger();
    const Type* str = plsql::builtin::varchar2();
    const Type* boolean = plsql::builtin::boolean();
    Type* programInfo = nullptr;
    Type* runtimeInfo = nullptr;
};

Val intOrNull(const std::optional<int>& v) { return v ? Val::integer(*v) : Val(); }

std::optional<int> intField(const Val& rec, size_t i)
{
    if (rec.kind() != Val::K::Rec || i >= rec.asRec()->fields.size())
        return std::nullopt;
    auto v = plsql::toInt(rec.asRec()->fields[i]);
    if (!v)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string strField(const Val& rec, size_t i)
{
    if (rec.kind() != Val::K::Rec || i >= rec.asRec()->fields.size())
        return {};
    return plsql::toText(rec.asRec()->fields[i]);
}

// PROGRAM_INFO fields: NAMESPACE, NAME, OWNER, DBLINK, LINE#, LIBUNITTYPE, ENTRYPOINTNAME.
Val programVal(const Types& t, const ProgramInfo& p)
{
    auto r = std::make_shared<plsql::Record>();
    r->type = t.programInfo;
    r->fields = {intOrNull(p.nameSpace), Val::str(p.name), Val::str(p.owner), Val::str(p.dbLink),
                 intOrNull(p.line), intOrNull(p.libunitType), Val::str(p.entrypointName)};
    return Val::record(r);
}

ProgramInfo programFrom(const Val& v)
{
    ProgramInfo p;
    p.nameSpace = intField(v, 0);
    p.name = strField(v, 1);
    p.owner = strField(v, 2);
    p.dbLink = strField(v, 3);
    p.line = intField(v, 4);
    p.libunitType = intField(v, 5);
    p.entrypointName = strField(v, 6);
    return p;
}

// RUNTIME_INFO fields: LINE#, TERMINATED, BREAKPOINT, STACKDEPTH,
// INTERPRETERDEPTH, REASON, PROGRAM, OER.
Val runtimeVal(const Types& t, const RuntimeInfo& i)
{
    auto r = std::make_shared<plsql::Record>();
    r->type = t.runtimeInfo;
    r->fields = {intOrNull(i.line),       intOrNull(i.terminated),       intOrNull(i.breakpoint),
                 intOrNull(i.stackDepth), intOrNull(i.interpreterDepth), intOrNull(i.reason),
                 programVal(t, i.program), intOrNull(i.oer)};
    return Val::record(r);
}

int infoMask(const Val& v)
{
    auto m = plsql::toInt(v);
    return m ? static_cast<int>(*m) : info_default;
}

// ---- line maps ------------------------------------------------------------------------

std::string objectTypeOf(const ProgramInfo& p)
{
    return p.nameSpace && *p.nameSpace == namespace_pkg_body ? "PACKAGE BODY" : "";
}

LineMapSource& lineMapSource()
{
    static LineMapSource source;
    return source;
}

plsql::LineMap lineMapOf(SessionServices& s, const ProgramInfo& p)
{
    if (!lineMapSource() || p.name.empty())
        return {};
    return lineMapSource()(s, p.owner.empty() ? s.schema() : p.owner, p.name, objectTypeOf(p));
}

// The bitmap of executable lines as hexadecimal digits, two per byte, high
// half first: byte k, bit b stands for line 8k + b.
std::string hexBitmap(const plsql::LineMap& map)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(map.maxLine / 8 + 1), 0);
    for (int line : map.lines)
        if (line >= 0 && line / 8 < static_cast<int>(bytes.size()))
            bytes[static_cast<size_t>(line / 8)] |= static_cast<unsigned char>(1u << (line % 8));
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

// ---- the package ------------------------------------------------------------------------

NativeParam in(const char* name, const Type* type, Val def = {}, bool hasDefault = false)
{
    NativeParam p;
    p.name = name;
    p.mode = ParamMode::In;
    p.type = type;
    p.hasDefault = hasDefault;
    p.defaultValue = std::move(def);
    return p;
}

NativeParam inDefault(const char* name, const Type* type, Val def) { return in(name, type, std::move(def), true); }

NativeParam out(const char* name, const Type* type, ParamMode mode = ParamMode::Out)
{
    NativeParam p;
    p.name = name;
    p.mode = mode;
    p.type = type;
    return p;
}

std::shared_ptr<DebugTarget> attachedTarget(NativeCall& c) { return stateOf(c.state).attached; }

void addTargetSide(NativePackage& pkg, const Types& t)
{
    pkg.addRoutine({kPackage, "INITIALIZE",
                    {inDefault("DEBUG_SESSION_ID", t.str, Val()), inDefault("DIAGNOSTICS", t.pls, Val::integer(0)),
                     inDefault("DEBUG_ROLE", t.str, Val()), inDefault("DEBUG_ROLE_PWD", t.str, Val())},
                    t.str, [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        st.target = TargetRegistry::instance().create(plsql::toText(c.args[0]));
                        st.probe = std::make_shared<ProbeBridge>(st.target, c.state);
                        return Val::str(st.target->id());
                    }});
    pkg.addRoutine({kPackage, "DEBUG_ON",
                    {inDefault("NO_CLIENT_SIDE_PLSQL_ENGINE", t.boolean, Val::boolean(true)),
                     inDefault("IMMEDIATE", t.boolean, Val::boolean(false))},
                    nullptr, [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        if (!st.target)
                            raise("ILLEGAL_INIT");
                        st.target->setTargetTimeout(timeoutOf(c.state));
                        st.target->setDebugMode(true);
                        st.probe->arm();
                        c.state.debugHook = st.probe.get();
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "DEBUG_OFF", {}, nullptr, [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        if (st.target)
                            st.target->setDebugMode(false);
                        if (st.probe && c.state.debugHook == st.probe.get())
                            st.probe->disarm();
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "SET_TIMEOUT", {in("TIMEOUT", t.pls)}, t.pls, [](NativeCall& c) {
                        auto v = plsql::toInt(c.args[0]).value_or(0);
                        int seconds = v > 0 ? static_cast<int>(v) : timeoutOf(c.state);
                        if (auto& target = stateOf(c.state).target)
                            target->setTargetTimeout(seconds);
                        return Val::integer(seconds);
                    }});
    pkg.addRoutine({kPackage, "SET_TIMEOUT_BEHAVIOUR", {in("BEHAVIOUR", t.pls)}, nullptr, [](NativeCall& c) {
                        auto b = plsql::toInt(c.args[0]);
                        if (!b || *b < retry_on_timeout || *b > abort_on_timeout)
                            raise("UNIMPLEMENTED");
                        auto& st = stateOf(c.state);
                        if (!st.target)
                            raise("ILLEGAL_INIT");
                        st.target->setTimeoutBehaviour(static_cast<int>(*b));
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "GET_TIMEOUT_BEHAVIOUR", {}, t.pls, [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        return Val::integer(st.target ? st.target->timeoutBehaviour() : continue_on_timeout);
                    }});
}

void addDebuggerSide(NativePackage& pkg, const Types& t)
{
    pkg.addRoutine({kPackage, "ATTACH_SESSION",
                    {in("DEBUG_SESSION_ID", t.str), inDefault("DIAGNOSTICS", t.pls, Val::integer(0))}, nullptr,
                    [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        if (st.attached)
                            st.attached->detach();
                        st.attached = TargetRegistry::instance().find(plsql::toText(c.args[0]));
                        if (!st.attached)
                            raise("TARGET_ERROR");
                        st.attached->attach();
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "DETACH_SESSION", {}, nullptr, [](NativeCall& c) {
                        auto& st = stateOf(c.state);
                        if (st.attached)
                            st.attached->detach();
                        st.attached.reset();
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "SYNCHRONIZE",
                    {out("RUN_INFO", t.runtimeInfo), inDefault("INFO_REQUESTED", t.pls, Val())}, t.pls,
                    [t](NativeCall& c) {
                        auto target = attachedTarget(c);
                        RuntimeInfo info;
                        int status = target ? target->synchronize(info, infoMask(c.args[1]), timeoutOf(c.state))
                                            : error_communication;
                        c.args[0] = runtimeVal(t, info);
                        return Val::integer(status);
                    }});
    pkg.addRoutine({kPackage, "CONTINUE",
                    {out("RUN_INFO", t.runtimeInfo, ParamMode::InOut), in("BREAKFLAGS", t.pls),
                     inDefault("INFO_REQUESTED", t.pls, Val())},
                    t.pls, [t](NativeCall& c) {
                        auto target = attachedTarget(c);
                        RuntimeInfo info;
                        int flags = static_cast<int>(plsql::toInt(c.args[1]).value_or(0));
                        int status = target ? target->continueRun(info, flags, infoMask(c.args[2]), timeoutOf(c.state))
                                            : error_communication;
                        c.args[0] = runtimeVal(t, info);
                        return Val::integer(status);
                    }});
    pkg.addRoutine({kPackage, "GET_RUNTIME_INFO",
                    {in("INFO_REQUESTED", t.pls), out("RUN_INFO", t.runtimeInfo)}, t.pls, [t](NativeCall& c) {
                        auto target = attachedTarget(c);
                        RuntimeInfo info;
                        int status = target ? target->runtimeInfo(info, infoMask(c.args[0])) : error_communication;
                        c.args[1] = runtimeVal(t, info);
                        return Val::integer(status);
                    }});
    pkg.addRoutine({kPackage, "TARGET_PROGRAM_RUNNING", {}, t.boolean, [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        return Val::boolean(target && target->targetProgramRunning());
                    }});
    pkg.addRoutine({kPackage, "PING", {}, nullptr, [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        if (!target || !target->ping())
                            raise("NO_TARGET_PROGRAM");
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "PROBE_VERSION",
                    {out("MAJOR", t.pls), out("MINOR", t.pls)}, nullptr, [](NativeCall& c) {
                        c.args[0] = Val::integer(2);
                        c.args[1] = Val::integer(4);
                        return Val();
                    }});
}

void addInspection(NativePackage& pkg, const Types& t)
{
    pkg.addRoutine({kPackage, "GET_VALUE",
                    {in("VARIABLE_NAME", t.str), in("FRAME#", t.pls), out("SCALAR_VALUE", t.str),
                     inDefault("FORMAT", t.str, Val())},
                    t.pls, [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        std::string value;
                        int status = target ? target->getValue(plsql::toText(c.args[0]),
                                                               static_cast<int>(plsql::toInt(c.args[1]).value_or(0)),
                                                               value)
                                            : error_communication;
                        c.args[2] = status == success ? Val::str(value) : Val();
                        return Val::integer(status);
                    }});
    pkg.addRoutine({kPackage, "PRINT_BACKTRACE", {out("LISTING", t.str, ParamMode::InOut)}, nullptr,
                    [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        std::vector<ProgramInfo> frames;
                        std::string listing;
                        if (target && target->backtrace(frames) == success) {
                            for (size_t i = 0; i < frames.size(); ++i) {
                                const ProgramInfo& f = frames[i];
                                std::string unit = f.name.empty() ? "anonymous block" : f.owner + "." + f.name;
                                listing += std::to_string(i + 1) + ": " + unit + " line " +
                                           std::to_string(f.line.value_or(0)) + "\n";
                            }
                        }
                        c.args[0] = Val::str(listing);
                        return Val();
                    }});
    pkg.addRoutine({kPackage, "GET_LINE_MAP",
                    {in("PROGRAM", t.programInfo), out("MAXLINE", t.pls), out("NUMBER_OF_ENTRY_POINTS", t.pls),
                     out("LINEMAP", t.str)},
                    t.pls, [](NativeCall& c) {
                        ProgramInfo p = programFrom(c.args[0]);
                        plsql::LineMap map = lineMapOf(c.session, p);
                        if (!map.found)
                            return Val::integer(error_bad_handle);
                        c.args[1] = Val::integer(map.maxLine);
                        c.args[2] = Val::integer(map.entryPoints);
                        c.args[3] = Val::str(hexBitmap(map));
                        return Val::integer(success);
                    }});
}

void addBreakpoints(NativePackage& pkg, const Types& t)
{
    pkg.addRoutine({kPackage, "SET_BREAKPOINT",
                    {in("PROGRAM", t.programInfo), in("LINE#", t.pls), out("BREAKPOINT#", t.pls),
                     inDefault("FUZZY", t.pls, Val::integer(0)), inDefault("ITERATIONS", t.pls, Val::integer(0))},
                    t.pls, [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        if (!target)
                            return Val::integer(error_communication);
                        ProgramInfo p = programFrom(c.args[0]);
                        if (p.owner.empty() && !p.name.empty())
                            p.owner = c.session.schema();
                        int line = static_cast<int>(plsql::toInt(c.args[1]).value_or(0));
                        int number = 0;
                        SessionServices& session = c.session;
                        int status = target->setBreakpoint(
                            p, line, number,
                            [&session](const ProgramInfo& u, int l) {
                                return lineMapOf(session, u).lines.count(l) > 0;
                            },
                            [&session](const ProgramInfo& u) { return lineMapOf(session, u).found; });
                        if (status == success)
                            c.args[2] = Val::integer(number);
                        return Val::integer(status);
                    }});
    auto byNumber = [&pkg, &t](const char* name, int (*op)(DebugTarget&, int)) {
        pkg.addRoutine({kPackage, name, {in("BREAKPOINT", t.pls)}, t.pls, [op](NativeCall& c) {
                            auto target = attachedTarget(c);
                            if (!target)
                                return Val::integer(error_communication);
                            return Val::integer(op(*target, static_cast<int>(plsql::toInt(c.args[0]).value_or(0))));
                        }});
    };
    byNumber("DELETE_BREAKPOINT", [](DebugTarget& d, int n) { return d.deleteBreakpoint(n); });
    byNumber("DISABLE_BREAKPOINT", [](DebugTarget& d, int n) { return d.enableBreakpoint(n, false); });
    byNumber("ENABLE_BREAKPOINT", [](DebugTarget& d, int n) { return d.enableBreakpoint(n, true); });
    pkg.addRoutine({kPackage, "SHOW_BREAKPOINTS", {out("LISTING", t.str, ParamMode::InOut)}, nullptr,
                    [](NativeCall& c) {
                        auto target = attachedTarget(c);
                        std::string listing;
                        if (target)
                            for (const BreakpointInfo& b : target->breakpoints())
                                listing += std::to_string(b.number) + ": " + b.owner + "." + b.name + " line " +
                                           std::to_string(b.line) + "\n";
                        c.args[0] = Val::str(listing);
                        return Val();
                    }});
}

void addConstants(NativePackage& pkg, const Types& t)
{
    const std::pair<const char*, int> constants[] = {
        {"BREAK_EXCEPTION", break_exception}, {"BREAK_ANY_CALL", break_any_call},
        {"BREAK_RETURN", break_return}, {"BREAK_NEXT_LINE", break_next_line},
        {"BREAK_ANY_RETURN", break_any_return}, {"BREAK_HANDLER", break_handler},
        {"ABORT_EXECUTION", abort_execution},
        {"INFO_GETSTACKDEPTH", info_getStackDepth}, {"INFO_GETBREAKPOINT", info_getBreakpoint},
        {"INFO_GETLINEINFO", info_getLineinfo}, {"INFO_GETOERINFO", info_getOerInfo},
        {"REASON_NONE", reason_none}, {"REASON_INTERPRETER_STARTING", reason_interpreter_starting},
        {"REASON_BREAKPOINT", reason_breakpoint}, {"REASON_ENTER", reason_enter},
        {"REASON_RETURN", reason_return}, {"REASON_FINISH", reason_finish}, {"REASON_LINE", reason_line},
        {"REASON_INTERRUPT", reason_interrupt}, {"REASON_EXCEPTION", reason_exception},
        {"REASON_EXIT", reason_exit}, {"REASON_HANDLER", reason_handler}, {"REASON_TIMEOUT", reason_timeout},
        {"REASON_INSTANTIATE", reason_instantiate}, {"REASON_ABORT", reason_abort},
        {"REASON_KNL_EXIT", reason_knl_exit},
        {"SUCCESS", success}, {"ERROR_BOGUS_FRAME", error_bogus_frame}, {"ERROR_NO_DEBUG_INFO", error_no_debug_info},
        {"ERROR_NO_SUCH_OBJECT", error_no_such_object}, {"ERROR_UNKNOWN_TYPE", error_unknown_type},
        {"ERROR_OTHER", error_other}, {"ERROR_ILLEGAL_LINE", error_illegal_line},
        {"ERROR_NO_SUCH_BREAKPT", error_no_such_breakpt}, {"ERROR_IDLE_BREAKPT", error_idle_breakpt},
        {"ERROR_STALE_BREAKPT", error_stale_breakpt}, {"ERROR_BAD_HANDLE", error_bad_handle},
        {"ERROR_UNIMPLEMENTED", error_unimplemented}, {"ERROR_INDEXED_TABLE", error_indexed_table},
        {"ERROR_ILLEGAL_INDEX", error_illegal_index}, {"ERROR_EXCEPTION", error_exception},
        {"ERROR_COMMUNICATION", error_communication}, {"ERROR_TIMEOUT", error_timeout},
        {"ERROR_NULLVALUE", error_nullvalue}, {"ERROR_NULLCOLLECTION", error_nullcollection},
        {"NAMESPACE_CURSOR", namespace_cursor}, {"NAMESPACE_PKGSPEC_OR_TOPLEVEL", namespace_pkgspec_or_toplevel},
        {"NAMESPACE_PKG_BODY", namespace_pkg_body}, {"NAMESPACE_TRIGGER", namespace_trigger},
        {"NAMESPACE_NONE", namespace_none},
        {"LIBUNITTYPE_CURSOR", libunittype_cursor}, {"LIBUNITTYPE_PROCEDURE", libunittype_procedure},
        {"LIBUNITTYPE_FUNCTION", libunittype_function}, {"LIBUNITTYPE_PACKAGE", libunittype_package},
        {"LIBUNITTYPE_PACKAGE_BODY", libunittype_package_body}, {"LIBUNITTYPE_TRIGGER", libunittype_trigger},
        {"LIBUNITTYPE_UNKNOWN", libunittype_unknown},
        {"BREAKPOINT_STATUS_UNUSED", breakpoint_status_unused},
        {"BREAKPOINT_STATUS_ACTIVE", breakpoint_status_active},
        {"BREAKPOINT_STATUS_DISABLED", breakpoint_status_disabled},
        {"RETRY_ON_TIMEOUT", retry_on_timeout}, {"CONTINUE_ON_TIMEOUT", continue_on_timeout},
        {"NODEBUG_ON_TIMEOUT", nodebug_on_timeout}, {"ABORT_ON_TIMEOUT", abort_on_timeout},
    };
    for (auto [name, value] : constants)
        pkg.addConstant(name, Val::integer(value), t.pls);
    pkg.addVariable("DEFAULT_TIMEOUT", t.pls, Val::integer(default_timeout));
}

Type* recordType(NativePackage& pkg, const char* name, std::vector<plsql::Field> fields)
{
    Type* r = pkg.types().make(TypeKind::Record);
    r->name = name;
    r->owner = "SYS";
    r->package = kPackage;
    r->fields = std::move(fields);
    pkg.addType(name, r);
    return r;
}

} // namespace

void registerDbmsDebug(LineMapSource lineMaps)
{
    static std::once_flag once;
    std::call_once(once, [&lineMaps] {
        lineMapSource() = std::move(lineMaps);
        auto pkg = std::make_shared<NativePackage>(kPackage);
        Types t;
        const Type* name = plsql::builtin::varchar2();
        t.programInfo = recordType(*pkg, "PROGRAM_INFO",
                                   {{"NAMESPACE", t.pls}, {"NAME", name}, {"OWNER", name}, {"DBLINK", name},
                                    {"LINE#", t.pls}, {"LIBUNITTYPE", t.pls}, {"ENTRYPOINTNAME", name}});
        t.runtimeInfo = recordType(*pkg, "RUNTIME_INFO",
                                   {{"LINE#", t.pls}, {"TERMINATED", t.pls}, {"BREAKPOINT", t.pls},
                                    {"STACKDEPTH", t.pls}, {"INTERPRETERDEPTH", t.pls}, {"REASON", t.pls},
                                    {"PROGRAM", t.programInfo}, {"OER", t.pls}});
        addConstants(*pkg, t);
        addTargetSide(*pkg, t);
        addDebuggerSide(*pkg, t);
        addInspection(*pkg, t);
        addBreakpoints(*pkg, t);
        plsql::registerNativePackage(pkg);
    });
}

} // namespace sandbox::debug
