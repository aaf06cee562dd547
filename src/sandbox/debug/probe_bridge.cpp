// probe_bridge.cpp - translation between the interpreter's events and frames
// and DBMS_DEBUG's stops and program records.
#include "sandbox/debug/probe_bridge.h"

#include "sandbox/plsql/session_state.h"

namespace sandbox::debug {

namespace {

EventKind kindOf(plsql::DebugEvent e)
{
    switch (e) {
    case plsql::DebugEvent::Start: return EventKind::Start;
    case plsql::DebugEvent::Line: return EventKind::Line;
    case plsql::DebugEvent::Call: return EventKind::Call;
    case plsql::DebugEvent::Return: return EventKind::Return;
    case plsql::DebugEvent::Exception: return EventKind::Exception;
    case plsql::DebugEvent::Handler: return EventKind::Handler;
    case plsql::DebugEvent::End: return EventKind::End;
    }
    return EventKind::Line;
}

int statusOf(plsql::DebugValueStatus s)
{
    switch (s) {
    case plsql::DebugValueStatus::Ok: return success;
    case plsql::DebugValueStatus::IsNull: return error_nullvalue;
    case plsql::DebugValueStatus::NoSuchObject: return error_no_such_object;
    case plsql::DebugValueStatus::IsCollection: return error_indexed_table;
    case plsql::DebugValueStatus::BogusFrame: return error_bogus_frame;
    case plsql::DebugValueStatus::IllegalIndex: return error_illegal_index;
    }
    return error_other;
}

// The stopped program's frames, for as long as it stays stopped.
class ContextFrames : public FrameInspector {
public:
    explicit ContextFrames(plsql::DebugContext& ctx) : ctx_(ctx) {}

    int getValue(const std::string& name, int frame, std::string& value) override
    {
        // Frame 0 is the running frame; others count from the oldest (1).
        int depth = frame == 0 ? ctx_.depth() : frame;
        if (depth < 1 || depth > ctx_.depth())
            return error_bogus_frame;
        plsql::DebugValue v = ctx_.value(depth, name);
        value = v.text;
        return statusOf(v.status);
    }

    std::vector<ProgramInfo> backtrace() override
    {
        std::vector<ProgramInfo> frames;
        for (int d = 1; d <= ctx_.depth(); ++d)
            frames.push_back(ProbeBridge::programOf(ctx_.frame(d)));
        return frames;
    }

private:
    plsql::DebugContext& ctx_;
};

} // namespace

ProgramInfo ProbeBridge::programOf(const plsql::DebugFrame& f)
{
    ProgramInfo p;
    p.line = f.line;
    if (f.name.empty()) {
        p.nameSpace = namespace_cursor;
        p.libunitType = libunittype_cursor;
        return p;
    }
    p.name = f.name;
    p.owner = f.owner;
    p.entrypointName = f.entrypoint;
    if (f.unitType == "PACKAGE BODY") {
        p.nameSpace = namespace_pkg_body;
        p.libunitType = libunittype_package_body;
    } else {
        p.nameSpace = namespace_pkgspec_or_toplevel;
        p.libunitType = f.unitType == "PROCEDURE" ? libunittype_procedure
                        : f.unitType == "FUNCTION" ? libunittype_function
                        : f.unitType == "PACKAGE"  ? libunittype_package
                                                   : libunittype_unknown;
    }
    return p;
}

bool ProbeBridge::wants(plsql::DebugEvent e, int line) const
{
    if (state_ == State::Armed)
        return e == plsql::DebugEvent::Start;
    return target_->mayStop(kindOf(e), line);
}

plsql::DebugHook::Action ProbeBridge::onEvent(plsql::DebugContext& ctx)
{
    const EventKind kind = kindOf(ctx.event());
    if (state_ == State::Armed) {
        if (kind != EventKind::Start)
            return Action::Continue;  // the rest of the call that said DEBUG_ON
        state_ = State::Active;
    }

    Location where;
    if (ctx.depth() >= 1) {
        plsql::DebugFrame top = ctx.frame(ctx.depth());
        where.program = programOf(top);
        where.line = top.line;
        where.stackDepth = ctx.depth();
    }
    if (kind == EventKind::Exception)
        where.oer = ctx.errorCode();

    ContextFrames frames(ctx);
    Resume r = target_->onEvent(kind, where, &frames);

    if (kind == EventKind::End && offRequested_) {
        // The call that said DEBUG_OFF is over: leave the session. The bridge
        // itself stays owned by the session's debug state.
        offRequested_ = false;
        state_ = State::Armed;
        session_.debugHook = nullptr;
    }
    return r == Resume::Abort ? Action::Abort : Action::Continue;
}

} // namespace sandbox::debug
