// debug_hook.h - the probe a debugger (DBMS_DEBUG) plugs into the interpreter.
//
// A session that debugs sets PlsqlSession::debugHook. The interpreter then
// calls DebugHook::onEvent at the start of a top-level call, at each new line
// (and at each pass of a loop that stays on one line), on entry to and return
// from a subprogram, when an exception is raised, when a handler starts, and
// at the end. While no hook is set the interpreter pays one flag test per
// statement. The hook runs on the executing thread and may block there (a
// breakpoint waits for the debugger session); it reads the stopped program
// through DebugContext, which is valid only during the call. While onEvent
// blocks, the target does not run, so another thread (the debugger
// session's) may use the context, one call at a time, until onEvent returns.
// No events are raised from inside onEvent; the hook is read again after it
// returns, so a debugger may clear PlsqlSession::debugHook meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sandbox::plsql {

enum class DebugEvent {
    Start,       // a top-level call begins (before its first statement)
    Line,        // about to run the statement(s) of a new line
    Call,        // a subprogram was entered (parameters bound)
    Return,      // a subprogram is about to return (line = its END line)
    Exception,   // an exception was raised (line = where)
    Handler,     // an exception handler starts (line = its first statement)
    End,         // the top-level call ended (normally or by an unhandled error)
};

// One frame of the PL/SQL call stack.
struct DebugFrame {
    std::string owner;       // empty for an anonymous block
    std::string name;        // unit name (the package for a package member); empty for a block
    std::string unitType;    // "PROCEDURE", "FUNCTION", "PACKAGE", "PACKAGE BODY", "ANONYMOUS BLOCK"
    std::string entrypoint;  // the subprogram within the unit: package member or nested routine; empty otherwise
    int line = 0;            // current line, relative to the unit's ALL_SOURCE text
    int depth = 1;           // 1 = the outermost (anonymous block) frame
};

// The outcome of reading a variable.
enum class DebugValueStatus { Ok, IsNull, NoSuchObject, IsCollection, BogusFrame, IllegalIndex };

struct DebugValue {
    DebugValueStatus status = DebugValueStatus::NoSuchObject;
    std::string text;        // Oracle's implicit text form (DATE in `format` when given)
};

class DebugContext {
public:
    virtual ~DebugContext() = default;

    virtual DebugEvent event() const = 0;
    // Stack depth: number of frames, 1 = only the anonymous block.
    virtual int depth() const = 0;
    // Frame by depth: 1 = oldest (outermost), depth() = current.
    virtual DebugFrame frame(int depth) const = 0;

    // Reads a variable visible in the frame at `depth`: "V", "REC.FIELD",
    // "TAB(3)", "TAB(3).FIELD", "TAB('key')", parameters and the package
    // variables the frame's unit can see. Names are case-insensitive.
    virtual DebugValue value(int depth, const std::string& name, const std::string& dateFormat = {}) const = 0;
    // A package variable by package: owner, package name, variable name.
    virtual DebugValue packageValue(const std::string& owner, const std::string& package,
                                    const std::string& name) const = 0;
    // Assigns `valueText` (converted as an implicit conversion would) to a
    // scalar variable of the frame. Returns false when there is no such scalar
    // or the value does not fit its type.
    virtual bool setValue(int depth, const std::string& name, const std::string& valueText) = 0;
    // Element indexes of a collection variable (GET_INDEXES), empty when none.
    virtual std::vector<std::string> indexes(int depth, const std::string& name) const = 0;

    // For Exception events: the Oracle error number (positive: 1403, 6502, 20001)
    // and its message text.
    virtual int errorCode() const = 0;
    virtual std::string errorMessage() const = 0;
};

// A lock-free summary of where a debugger may stop, kept current by the
// debugger and read by the interpreter before each line: a line that cannot
// stop costs one test instead of an event.
struct DebugFilter {
    std::atomic<bool> everyLine{true};     // stepping, an abort pending, or no summary yet
    std::atomic<uint64_t> lineBits{0};     // bit (line % 64) of every active breakpoint

    bool mayStopAt(int line) const
    {
        return everyLine.load(std::memory_order_relaxed) ||
               ((lineBits.load(std::memory_order_relaxed) >> (static_cast<unsigned>(line) & 63u)) & 1u);
    }
};

class DebugHook {
public:
    virtual ~DebugHook() = default;

    enum class Action { Continue, Abort };
    // A cheap test made before an event's context is built: false when the
    // event cannot stop the program now, so running under a debugger costs
    // little between stops. `line` is the current line of the running frame.
    virtual bool wants(DebugEvent, int /*line*/) const { return true; }
    // The summary the interpreter tests before line events; null: none.
    virtual const DebugFilter* filter() const { return nullptr; }
    // Called for every event while the hook is installed. Returning Abort ends
    // the program at once with ORA-01013 (user requested cancel).
    virtual Action onEvent(DebugContext& ctx) = 0;
};

// The executable lines of a stored unit (its line map): the lines on which a
// breakpoint can be set and a step can stop. Defined in plsql_engine.cpp.
struct LineMap {
    bool found = false;          // false: no such unit (or it does not compile)
    int maxLine = 0;             // number of source lines
    int entryPoints = 0;         // subprograms in the unit
    std::set<int> lines;
};

} // namespace sandbox::plsql
