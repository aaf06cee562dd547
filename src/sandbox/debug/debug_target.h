// debug_target.h - the rendezvous between a debugged (target) session and the
// debugger session that drives it, as DBMS_DEBUG defines it.
//
// The target's interpreter reports events (start of a call, each new line,
// calls, returns, exceptions, handlers, end) through onEvent(). Each event is
// checked against the break flags of the last CONTINUE and the breakpoints;
// when it stops, the target thread parks inside onEvent() until the debugger
// session lets it go with continueRun(), or until its timeout passes. The
// debugger thread waits in synchronize() / continueRun() for the next stop.
// Every wait is bounded by a timeout, and no call waits for an event that can
// no longer come (a target that left debug mode, a detached debugger).
#pragma once

#include "sandbox/debug/debug_types.h"
#include "sandbox/plsql/debug_hook.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sandbox::debug {

// What the interpreter must do after an event.
enum class Resume { Run, Abort };

// Where the target stands when it reports an event.
struct Location {
    ProgramInfo program;     // name/owner empty for an anonymous block
    int line = 0;
    int stackDepth = 0;      // anonymous block = 1, a program it calls = 2
    int oer = 0;             // error number for exception events (positive)
};

enum class EventKind { Start, Line, Call, Return, Exception, Handler, End };

// Reads the target's state while it is parked; supplied by the interpreter
// with each event and valid only until the target resumes.
class FrameInspector {
public:
    virtual ~FrameInspector() = default;
    // GET_VALUE: a variable (or REC.FIELD, TAB(3)) of a frame; frame 0 is the
    // current one. Returns a status code (success, error_no_such_object ...).
    virtual int getValue(const std::string& name, int frame, std::string& value) = 0;
    // PRINT_BACKTRACE: the frames, oldest first.
    virtual std::vector<ProgramInfo> backtrace() = 0;
};

class DebugTarget {
public:
    explicit DebugTarget(std::string id);

    const std::string& id() const { return id_; }

    // ---- target side -------------------------------------------------------
    // Debug mode as switched by DEBUG_ON / DEBUG_OFF of the target session.
    void setDebugMode(bool on);
    bool debugMode() const;
    // The target's own timeout for waiting at a stop (SET_TIMEOUT, seconds).
    void setTargetTimeout(int seconds);
    void setTimeoutBehaviour(int behaviour);
    int timeoutBehaviour() const;

    // One event of the running program. Blocks while the debugger holds the
    // target at this event. Cheap when the event does not stop.
    Resume onEvent(EventKind kind, const Location& where, FrameInspector* frames);
    // Lock-free pre-check: false when an event of this kind on this line
    // cannot stop the target under the current flags and breakpoints.
    bool mayStop(EventKind kind, int line) const;
    // The same summary for line events, read by the interpreter directly.
    const plsql::DebugFilter& filter() const { return filter_; }

    // ---- debugger side -----------------------------------------------------
    void attach();
    void detach();
    bool attached() const;

    // SYNCHRONIZE: waits for the next stop of the target (the start of its
    // next call, right after DEBUG_ON). Returns a status code.
    int synchronize(RuntimeInfo& info, int infoRequested, int timeoutSeconds);
    // CONTINUE: lets the target run with `breakflags` and waits for its next
    // stop or its end.
    int continueRun(RuntimeInfo& info, int breakflags, int infoRequested, int timeoutSeconds);
    // GET_RUNTIME_INFO of the current stop.
    int runtimeInfo(RuntimeInfo& info, int infoRequested);
    bool targetProgramRunning() const;
    // PING: fails when no target waits at a stop.
    bool ping();

    int getValue(const std::string& name, int frame, std::string& value);
    int backtrace(std::vector<ProgramInfo>& frames);

    // Breakpoints, numbered by the server from 1, reused after deletion.
    int setBreakpoint(const ProgramInfo& program, int line, int& number,
                      const std::function<bool(const ProgramInfo&, int)>& isExecutable,
                      const std::function<bool(const ProgramInfo&)>& unitExists);
    int deleteBreakpoint(int number);
    int enableBreakpoint(int number, bool enable);
    std::vector<BreakpointInfo> breakpoints() const;

private:
    struct Stop {
        EventKind kind = EventKind::Start;
        Location where;
        int reason = reason_none;
        int breakpoint = 0;
    };
    struct Breakpoint {
        ProgramInfo program;
        int line = 0;
        bool enabled = true;
        bool used = false;
    };

    bool shouldStop(EventKind kind, const Location& where, int& reason, int& breakpoint) const;
    int matchingBreakpoint(const Location& where) const;
    // Applies `change` to a breakpoint in use; the status of the lookup.
    int changeBreakpoint(int number, const std::function<void(Breakpoint&)>& change);
    // Waits for a stop that the debugger has not yet seen; false on timeout.
    bool waitForStop(std::unique_lock<std::mutex>& lock, int timeoutSeconds);
    // The target can still produce an event for the debugger to wait for.
    bool eventPossible() const;
    void fill(RuntimeInfo& info, int infoRequested) const;

    const std::string id_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;

    bool debugMode_ = false;
    bool attached_ = false;
    bool detachedAfterAttach_ = false;  // a debugger came and went
    int targetTimeout_ = 3600;
    int timeoutBehaviour_ = continue_on_timeout;

    // The target's progress: each stop and each end of a call gets a new
    // number; the debugger remembers the last number it reported.
    uint64_t eventNumber_ = 0;
    uint64_t seenNumber_ = 0;
    bool parked_ = false;          // target waits inside onEvent()
    bool running_ = false;         // target is inside a debugged call
    bool terminated_ = false;      // the last event was the end of a call
    uint64_t resumeNumber_ = 0;    // debugger's go-ahead for the parked target
    Stop stop_;
    FrameInspector* frames_ = nullptr;

    // Flags of the last CONTINUE, and the depth it was given at.
    int flags_ = 0;
    int flagsDepth_ = 0;
    bool abort_ = false;

    std::vector<Breakpoint> breakpoints_;   // index + 1 = breakpoint number

    // Mirrors of the above for mayStop(), which runs without the lock.
    void publish();
    std::atomic<int> quickFlags_{0};
    std::atomic<bool> quickAbort_{false};
    std::atomic<uint64_t> quickLines_{0};   // bit (line % 64) of every active breakpoint
    plsql::DebugFilter filter_;
};

} // namespace sandbox::debug
