// interp_call.cpp - calls: frames, parameter passing (IN by value, OUT and
// IN OUT copied back on normal return), package instances, the ORA-06512
// backtrace, the native-stack guard and cancellation.
#include "sandbox/plsql/exec.h"
#include "sandbox/plsql/native.h"

#include <algorithm>
#include <pthread.h>

namespace sandbox::plsql {

// ---- errors ---------------------------------------------------------------------------------------

std::string RaisedError::fullText() const
{
    std::string s = message;
    if (!extraStack.empty())
        s += "\n" + extraStack;
    for (const auto& b : backtrace)
        s += "\n" + b;
    return s;
}

[[noreturn]] void raise(int code, const std::string& message) { throw OraError::make(code, message); }

RaisedError toRaised(const OraError& e)
{
    RaisedError r;
    r.code = e.code();
    std::string text = e.what();
    // Errors from nested calls arrive with their stack below the first line.
    auto nl = text.find('\n');
    if (nl != std::string::npos) {
        r.message = text.substr(0, nl);
        r.extraStack = text.substr(nl + 1);
    } else {
        r.message = text;
    }
    return r;
}

namespace {

std::string atLine(const Frame& f)
{
    if (!f.unit || f.unit->type == "ANONYMOUS BLOCK")
        return "ORA-06512: at line " + std::to_string(f.line);
    return "ORA-06512: at \"" + f.unit->owner + "." + f.unit->name + "\", line " + std::to_string(f.line);
}

} // namespace

// ---- guards -----------------------------------------------------------------------------------------

void Exec::pollCancel()
{
    if (svc.cancelRequested()) {
        svc.clearCancel();
        throw Cancelled{};
    }
}

void Exec::checkStack()
{
    char probe = 0;
    if (stackLow && &probe < stackLow)
        raise(6500, "PL/SQL: storage error");
}

// ---- package instances ---------------------------------------------------------------------------

Frame* Exec::packageFrame(const Unit* u)
{
    std::string key = u->owner + "." + u->name;
    auto it = state.packages.find(key);
    if (it != state.packages.end() && it->second->unit.get() == u)
        return it->second->frame.get();
    auto inst = std::make_unique<PackageInstance>();
    inst->unit = u->shared_from_this();
    inst->frame = std::make_unique<Frame>();
    inst->frame->slots.resize(static_cast<size_t>(u->packageSlots));
    inst->frame->unit = u;
    Frame* f = inst->frame.get();
    state.packages[key] = std::move(inst);
    try {
        initPackage(*this, *u, *f);
    } catch (...) {
        state.packages.erase(key);
        throw;
    }
    return f;
}

void initPackage(Exec& x, const Unit& u, Frame& f)
{
    Frame* saved = x.frame;
    f.caller = saved;
    f.depth = (saved ? saved->depth : 0) + 1;
    x.frame = &f;
    struct Restore {
        Exec& x;
        Frame* saved;
        ~Restore() { x.frame = saved; }
    } restore{x, saved};
    try {
        if (u.spec) {
            f.inBody = false;
            elaborateDeclarations(x, *u.spec);
        }
        if (u.hasBody && u.bodyOk && u.body) {
            f.inBody = true;
            runBlock(x, *u.body);
        }
    } catch (RaisedException& e) {
        e.err.backtrace.push_back(atLine(f));
        throw;
    } catch (const OraError& e) {
        RaisedError r = toRaised(e);
        r.backtrace.push_back(atLine(f));
        throw RaisedException{std::move(r)};
    }
}

// ---- calls -------------------------------------------------------------------------------------------

namespace {

// Runs a routine in a frame whose parameters are already bound.
Val runFrame(Exec& x, const Routine& r, Frame& f)
{
    Frame* caller = x.frame;
    x.frame = &f;
    struct Restore {
        Exec& x;
        Frame* caller;
        ~Restore() { x.frame = caller; }
    } restore{x, caller};
    if (x.trap)
        x.debugEvent(DebugEvent::Call);
    Val result;
    try {
        x.returned = false;
        runBlock(x, *r.body);
        if (r.isFunction) {
            if (!x.returned)
                raise(6503, "PL/SQL: Function returned without value");
            result = std::move(x.retval);
            x.retval = Val();
        }
        x.returned = false;
    } catch (RaisedException& e) {
        e.err.backtrace.push_back(atLine(f));
        throw;
    } catch (const OraError& e) {
        RaisedError err = toRaised(e);
        if (x.trap)
            x.debugEvent(DebugEvent::Exception, &err);
        err.backtrace.push_back(atLine(f));
        throw RaisedException{std::move(err)};
    }
    if (x.trap) {
        f.line = r.body->endLine;
        x.debugEvent(DebugEvent::Return);
    }
    return result;
}

void initFrame(Exec& x, const Routine& r, Frame& f, Frame* link)
{
    f.slots.resize(static_cast<size_t>(r.slotCount));
    f.link = link;
    f.routine = &r;
    f.unit = r.unit;
    f.caller = x.frame;
    f.depth = (x.frame ? x.frame->depth : 0) + 1;
    f.line = r.pos.line;
}

} // namespace

Val invoke(Exec& x, const Routine& r, Val* args, Frame* link)
{
    x.checkStack();
    Frame f;
    initFrame(x, r, f, link);
    for (size_t k = 0; k < r.params.size(); ++k) {
        const Param& p = r.params[k];
        f.slots[p.slot] = p.mode == ParamMode::Out ? defaultValue(p.type) : coerce(args[k], p.type);
    }
    Val result = runFrame(x, r, f);
    for (size_t k = 0; k < r.params.size(); ++k)
        if (r.params[k].mode != ParamMode::In)
            args[k] = std::move(f.slots[r.params[k].slot]);
    return result;
}

namespace {

void store(Exec& x, const Expr& target, const Val& v)
{
    Val* slot = target.ref(x);
    if (!slot)
        throwValueError();
    *slot = coerce(v, target.type);
}

} // namespace

Val CallExpr::eval(Exec& x) const
{
    const Routine& r = *callee->impl();
    if (calleeUnit && calleeUnit->hasBody && !calleeUnit->bodyOk) {
        std::string name = calleeUnit->owner + "." + calleeUnit->name;
        throw OraError(4063, "ORA-04063: package body \"" + name + "\" has errors\n"
                             "ORA-06508: PL/SQL: could not find program unit being called: \"" + name + "\"");
    }
    if (!r.body) {
        std::string name = calleeUnit ? calleeUnit->owner + "." + calleeUnit->name : r.name;
        throw OraError(4067, "ORA-04067: not executed, package body \"" + name + "\" does not exist\n"
                             "ORA-06508: PL/SQL: could not find program unit being called: \"" + name + "\"");
    }
    Frame* link = levels >= 0 ? x.outer(levels) : calleeUnit ? x.packageFrame(calleeUnit) : nullptr;
    if (allInSupplied) {
        // Every argument given and passed IN: bind straight into the callee's frame.
        x.checkStack();
        Frame f;
        initFrame(x, r, f, link);
        // Arguments are evaluated in the caller's frame (x.frame is still the caller's).
        for (size_t k = 0; k < args.size(); ++k)
            f.slots[r.params[k].slot] = coerce(args[k]->eval(x), r.params[k].type);
        return runFrame(x, r, f);
    }
    ValArray vals(args.size());
    for (size_t k = 0; k < args.size(); ++k) {
        const Param& p = r.params[k];
        if (args[k]) {
            if (p.mode != ParamMode::Out)
                vals[k] = args[k]->eval(x);
        } else {
            const Expr* def = callee->params[k].def ? callee->params[k].def.get() : p.def.get();
            if (def) {
                Frame* saved = x.frame;
                if (link)
                    x.frame = link;
                try {
                    vals[k] = def->eval(x);
                } catch (...) {
                    x.frame = saved;
                    throw;
                }
                x.frame = saved;
            }
        }
    }
    Val result = invoke(x, r, vals.data(), link);
    for (size_t k = 0; k < args.size(); ++k)
        if (args[k] && r.params[k].mode != ParamMode::In)
            store(x, *args[k], vals[k]);
    return result;
}

Val NativeCallExpr::eval(Exec& x) const
{
    std::vector<Val> vals(args.size());
    for (size_t k = 0; k < args.size(); ++k) {
        const NativeParam& p = callee->params[k];
        if (args[k]) {
            if (p.mode != ParamMode::Out)
                vals[k] = args[k]->eval(x);
        } else {
            vals[k] = p.defaultValue;
        }
        if (p.mode != ParamMode::Out && p.type && !vals[k].isNull() && p.type->isScalar())
            vals[k] = coerce(vals[k], p.type);
    }
    NativeCall call{x.svc, x.state, vals};
    Val result = callee->fn(call);
    for (size_t k = 0; k < args.size(); ++k)
        if (args[k] && callee->params[k].mode != ParamMode::In)
            store(x, *args[k], vals[k]);
    return result;
}

// ---- native stack -------------------------------------------------------------------------------------

char* threadStackLimit()
{
    // The lowest address PL/SQL may reach: the thread's stack end plus room
    // for handlers and the SQL layer below the deepest PL/SQL frame.
    pthread_attr_t attr;
    char* low = nullptr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        void* addr = nullptr;
        size_t size = 0;
        if (pthread_attr_getstack(&attr, &addr, &size) == 0 && addr && size > 0) {
            size_t margin = std::min<size_t>(512u << 10, size / 4);
            low = static_cast<char*>(addr) + margin;
        }
        pthread_attr_destroy(&attr);
    }
    return low;
}

} // namespace sandbox::plsql
