// probe_bridge.h - connects the interpreter's probe of a target session to
// its DebugTarget: events become stops, the stopped frames answer GET_VALUE
// and PRINT_BACKTRACE.
#pragma once

#include "sandbox/debug/debug_target.h"
#include "sandbox/plsql/debug_hook.h"

#include <atomic>
#include <memory>

namespace sandbox::plsql {
class PlsqlSession;
}

namespace sandbox::debug {

class ProbeBridge : public plsql::DebugHook {
public:
    ProbeBridge(std::shared_ptr<DebugTarget> target, plsql::PlsqlSession& session)
        : target_(std::move(target)), session_(session) {}

    // DEBUG_ON: debugging starts with the session's next top-level call, not
    // inside the call that switches it on.
    void arm() { state_ = State::Armed; }
    // DEBUG_OFF: the call that switches it off is still debugged to its end;
    // then the probe leaves the session.
    void disarm() { offRequested_ = true; }

    bool wants(plsql::DebugEvent e, int line) const override;
    const plsql::DebugFilter* filter() const override { return &target_->filter(); }
    Action onEvent(plsql::DebugContext& ctx) override;

    static ProgramInfo programOf(const plsql::DebugFrame& frame);

private:
    enum class State { Armed, Active };

    std::shared_ptr<DebugTarget> target_;
    plsql::PlsqlSession& session_;
    State state_ = State::Armed;
    bool offRequested_ = false;
};

} // namespace sandbox::debug
