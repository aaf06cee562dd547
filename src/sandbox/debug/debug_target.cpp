// debug_target.cpp - stopping rules and the hand-over between the target
// thread and the debugger thread.
#include "sandbox/debug/debug_target.h"

#include <climits>

namespace sandbox::debug {

namespace {

bool sameUnit(const ProgramInfo& a, const ProgramInfo& b)
{
    if (a.name != b.name || a.owner != b.owner)
        return false;
    // A breakpoint set without a namespace matches any; package bodies
    // (namespace 2) are told apart from their specification.
    return !a.nameSpace || !b.nameSpace || *a.nameSpace == *b.nameSpace;
}

bool flagSet(int flags, int flag) { return (flags & flag) == flag; }

} // namespace

DebugTarget::DebugTarget(std::string id) : id_(std::move(id))
{
    publish();
}

void DebugTarget::setDebugMode(bool on)
{
    std::lock_guard lock(mutex_);
    debugMode_ = on;
    changed_.notify_all();
}

bool DebugTarget::debugMode() const
{
    std::lock_guard lock(mutex_);
    return debugMode_;
}

void DebugTarget::setTargetTimeout(int seconds)
{
    std::lock_guard lock(mutex_);
    targetTimeout_ = seconds > 0 ? seconds : default_timeout;
}

void DebugTarget::setTimeoutBehaviour(int behaviour)
{
    std::lock_guard lock(mutex_);
    timeoutBehaviour_ = behaviour;
}

int DebugTarget::timeoutBehaviour() const
{
    std::lock_guard lock(mutex_);
    return timeoutBehaviour_;
}

// ---- target side ----------------------------------------------------------------

int DebugTarget::matchingBreakpoint(const Location& where) const
{
    for (size_t i = 0; i < breakpoints_.size(); ++i) {
        const Breakpoint& b = breakpoints_[i];
        if (b.used && b.enabled && b.line == where.line && sameUnit(b.program, where.program))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool DebugTarget::shouldStop(EventKind kind, const Location& where, int& reason, int& breakpoint) const
{
    switch (kind) {
    case EventKind::Start:
        reason = reason_interpreter_starting;
        return true;
    case EventKind::Return:
        // The return point (a unit's END) is a line of its own: breakpoints
        // and steps stop there as on any line.
        if (flagSet(flags_, break_return)) {
            reason = reason_return;
            breakpoint = matchingBreakpoint(where);
            return true;
        }
        [[fallthrough]];
    case EventKind::Line:
        if ((breakpoint = matchingBreakpoint(where)) != 0) {
            reason = reason_breakpoint;
            return true;
        }
        reason = reason_line;
        if (flagSet(flags_, break_any_call))                                   // step into
            return true;
        if (flagSet(flags_, break_next_line) && where.stackDepth <= flagsDepth_)   // step over
            return true;
        if (flagSet(flags_, break_any_return) && where.stackDepth < flagsDepth_)   // step out
            return true;
        return false;
    case EventKind::Exception:
        reason = reason_exception;
        return flagSet(flags_, break_exception);
    case EventKind::Handler:
        reason = reason_handler;
        return flagSet(flags_, break_handler);
    case EventKind::Call:
    case EventKind::End:
        return false;
    }
    return false;
}

Resume DebugTarget::onEvent(EventKind kind, const Location& where, FrameInspector* frames)
{
    std::unique_lock lock(mutex_);
    if (kind == EventKind::Start) {
        running_ = true;
        terminated_ = false;
    }
    if (abort_ && kind != EventKind::End) {
        abort_ = false;
        publish();
        return Resume::Abort;
    }
    if (kind == EventKind::End) {
        // The end of a call is an event the debugger learns of, but the
        // target does not wait there.
        running_ = false;
        terminated_ = true;
        stop_ = Stop{kind, where, reason_exit, 0};
        ++eventNumber_;
        changed_.notify_all();
        return Resume::Run;
    }
    int reason = reason_none, breakpoint = 0;
    if (!shouldStop(kind, where, reason, breakpoint))
        return Resume::Run;
    // A debugger that attached and then detached will not come back for us.
    if (detachedAfterAttach_)
        return Resume::Run;

    stop_ = Stop{kind, where, reason, breakpoint};
    parked_ = true;
    frames_ = frames;
    ++eventNumber_;
    changed_.notify_all();

    const uint64_t resume = resumeNumber_;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(targetTimeout_);
    while (resumeNumber_ == resume && !detachedAfterAttach_) {
        if (changed_.wait_until(lock, deadline) != std::cv_status::timeout)
            continue;
        if (resumeNumber_ != resume)
            break;
        if (timeoutBehaviour_ == retry_on_timeout) {
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds(targetTimeout_);
            continue;
        }
        if (timeoutBehaviour_ == nodebug_on_timeout)
            debugMode_ = false;
        else if (timeoutBehaviour_ == abort_on_timeout)
            abort_ = true;
        publish();
        break;
    }
    parked_ = false;
    frames_ = nullptr;
    changed_.notify_all();
    if (abort_) {
        abort_ = false;
        publish();
        return Resume::Abort;
    }
    return Resume::Run;
}

void DebugTarget::publish()
{
    quickFlags_ = flags_;
    quickAbort_ = abort_;
    uint64_t lines = 0;
    for (const Breakpoint& b : breakpoints_)
        if (b.used && b.enabled)
            lines |= uint64_t{1} << (static_cast<unsigned>(b.line) % 64);
    quickLines_ = lines;
    filter_.lineBits = lines;
    filter_.everyLine = abort_ || (flags_ & (break_next_line | break_any_call | break_any_return));
}

bool DebugTarget::mayStop(EventKind kind, int line) const
{
    if (quickAbort_)
        return true;
    const int flags = quickFlags_;
    const bool breakpointLine = quickLines_ & (uint64_t{1} << (static_cast<unsigned>(line) % 64));
    switch (kind) {
    case EventKind::Start:
    case EventKind::End:
        return true;
    case EventKind::Line:
        return breakpointLine || (flags & (break_next_line | break_any_call | break_any_return));
    case EventKind::Return:
        return breakpointLine || (flags & (break_return | break_next_line | break_any_call | break_any_return));
    case EventKind::Exception:
        return flags & break_exception;
    case EventKind::Handler:
        return flags & break_handler;
    case EventKind::Call:
        return false;
    }
    return true;
}

// ---- debugger side ----------------------------------------------------------------

void DebugTarget::attach()
{
    std::lock_guard lock(mutex_);
    attached_ = true;
    detachedAfterAttach_ = false;
    changed_.notify_all();
}

void DebugTarget::detach()
{
    std::lock_guard lock(mutex_);
    if (attached_)
        detachedAfterAttach_ = true;
    attached_ = false;
    flags_ = 0;
    publish();
    changed_.notify_all();
}

bool DebugTarget::attached() const
{
    std::lock_guard lock(mutex_);
    return attached_;
}

bool DebugTarget::eventPossible() const { return debugMode_ || running_; }

bool DebugTarget::waitForStop(std::unique_lock<std::mutex>& lock, int timeoutSeconds)
{
    if (timeoutSeconds <= 0)
        timeoutSeconds = default_timeout;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    return changed_.wait_until(lock, deadline, [&] {
        return eventNumber_ > seenNumber_ || !attached_ || !eventPossible();
    }) && eventNumber_ > seenNumber_;
}

void DebugTarget::fill(RuntimeInfo& info, int infoRequested) const
{
    info = RuntimeInfo{};
    const bool ended = stop_.kind == EventKind::End;
    info.terminated = ended ? 1 : 0;
    info.reason = stop_.reason;
    // Nothing is refreshed for a program that has ended, and nothing is known
    // yet at the start of a call.
    if (ended || stop_.kind == EventKind::Start)
        return;
    if (infoRequested & info_getStackDepth)
        info.stackDepth = stop_.where.stackDepth;
    if (infoRequested & info_getBreakpoint)
        info.breakpoint = stop_.breakpoint;
    if (infoRequested & info_getLineinfo) {
        info.line = stop_.where.line;
        info.program = stop_.where.program;
        info.program.line = stop_.where.line;
    }
    if ((infoRequested & info_getOerInfo) && stop_.kind == EventKind::Exception)
        info.oer = stop_.where.oer;
}

int DebugTarget::synchronize(RuntimeInfo& info, int infoRequested, int timeoutSeconds)
{
    std::unique_lock lock(mutex_);
    if (!attached_)
        return error_communication;
    if (!waitForStop(lock, timeoutSeconds))
        return error_timeout;
    seenNumber_ = eventNumber_;
    fill(info, infoRequested);
    return success;
}

int DebugTarget::continueRun(RuntimeInfo& info, int breakflags, int infoRequested, int timeoutSeconds)
{
    std::unique_lock lock(mutex_);
    if (!attached_)
        return error_communication;
    if (parked_) {
        flags_ = breakflags;
        // From the start of a call every depth counts as deeper-or-level.
        flagsDepth_ = stop_.kind == EventKind::Start ? INT_MAX : stop_.where.stackDepth;
        abort_ = flagSet(breakflags, abort_execution);
        publish();
        seenNumber_ = eventNumber_;
        ++resumeNumber_;
        changed_.notify_all();
    } else if (terminated_ && !running_ && seenNumber_ == eventNumber_) {
        // The debugged call has ended already: nothing to run, answer at once.
        fill(info, infoRequested);
        return success;
    }
    if (!waitForStop(lock, timeoutSeconds))
        return error_timeout;
    seenNumber_ = eventNumber_;
    fill(info, infoRequested);
    return success;
}

int DebugTarget::runtimeInfo(RuntimeInfo& info, int infoRequested)
{
    std::lock_guard lock(mutex_);
    if (!attached_)
        return error_communication;
    fill(info, infoRequested);
    return success;
}

bool DebugTarget::targetProgramRunning() const
{
    std::lock_guard lock(mutex_);
    return running_;
}

bool DebugTarget::ping()
{
    std::lock_guard lock(mutex_);
    return attached_ && parked_;
}

int DebugTarget::getValue(const std::string& name, int frame, std::string& value)
{
    std::lock_guard lock(mutex_);
    if (!parked_ || !frames_)
        return error_no_debug_info;
    return frames_->getValue(name, frame, value);
}

int DebugTarget::backtrace(std::vector<ProgramInfo>& frames)
{
    std::lock_guard lock(mutex_);
    if (!parked_ || !frames_)
        return error_no_debug_info;
    frames = frames_->backtrace();
    return success;
}

// ---- breakpoints ------------------------------------------------------------------

int DebugTarget::setBreakpoint(const ProgramInfo& program, int line, int& number,
                               const std::function<bool(const ProgramInfo&, int)>& isExecutable,
                               const std::function<bool(const ProgramInfo&)>& unitExists)
{
    std::lock_guard lock(mutex_);
    ProgramInfo unit = program;
    // A handle with nothing filled in names the unit that is running now.
    if (!unit.nameSpace && unit.name.empty() && unit.owner.empty() && unit.dbLink.empty()) {
        if (!parked_)
            return error_bad_handle;
        unit = stop_.where.program;
    } else if (!unitExists(unit)) {
        return error_bad_handle;
    }
    if (!isExecutable(unit, line))
        return error_illegal_line;
    size_t slot = 0;
    while (slot < breakpoints_.size() && breakpoints_[slot].used)
        ++slot;
    if (slot == breakpoints_.size())
        breakpoints_.emplace_back();
    breakpoints_[slot] = Breakpoint{unit, line, true, true};
    number = static_cast<int>(slot) + 1;
    publish();
    return success;
}

int DebugTarget::changeBreakpoint(int number, const std::function<void(Breakpoint&)>& change)
{
    std::lock_guard lock(mutex_);
    if (number < 1 || number > static_cast<int>(breakpoints_.size()))
        return error_no_such_breakpt;
    Breakpoint& b = breakpoints_[static_cast<size_t>(number) - 1];
    if (!b.used)
        return error_idle_breakpt;
    change(b);
    publish();
    return success;
}

int DebugTarget::deleteBreakpoint(int number)
{
    return changeBreakpoint(number, [](Breakpoint& b) { b.used = false; });
}

int DebugTarget::enableBreakpoint(int number, bool enable)
{
    return changeBreakpoint(number, [enable](Breakpoint& b) { b.enabled = enable; });
}

std::vector<BreakpointInfo> DebugTarget::breakpoints() const
{
    std::lock_guard lock(mutex_);
    std::vector<BreakpointInfo> out;
    for (size_t i = 0; i < breakpoints_.size(); ++i) {
        const Breakpoint& b = breakpoints_[i];
        if (!b.used)
            continue;
        BreakpointInfo info;
        info.number = static_cast<int>(i) + 1;
        info.name = b.program.name;
        info.owner = b.program.owner;
        info.dbLink = b.program.dbLink;
        info.line = b.line;
        info.libunitType = b.program.libunitType.value_or(0);
        info.status = breakpoint_status_active | (b.enabled ? 0 : breakpoint_status_disabled);
        out.push_back(info);
    }
    return out;
}

} // namespace sandbox::debug
