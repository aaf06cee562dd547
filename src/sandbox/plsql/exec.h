// exec.h - the interpreter's run-time state: frames, the raised-error object
// that carries the ORA-06512 backtrace, and the per-call execution context.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/ora_error.h"
#include "sandbox/plsql/ast.h"
#include "sandbox/plsql/debug_hook.h"
#include "sandbox/plsql/session_state.h"

#include <memory>
#include <string>
#include <vector>

namespace sandbox::plsql {

// A run of values with room for a few inline: frames and argument lists of
// ordinary calls need no heap allocation.
class ValArray {
public:
    ValArray() = default;
    explicit ValArray(size_t n) { resize(n); }
    ValArray(const ValArray&) = delete;
    ValArray& operator=(const ValArray&) = delete;
    ~ValArray() { clear(); }
    void resize(size_t n)
    {
        clear();
        if (n > kInline) {
            heap_ = std::make_unique<Val[]>(n);
            data_ = heap_.get();
        } else {
            data_ = reinterpret_cast<Val*>(inline_);
            for (size_t i = 0; i < n; ++i)
                new (&data_[i]) Val();
        }
        n_ = n;
    }
    Val& operator[](size_t i) { return data_[i]; }
    const Val& operator[](size_t i) const { return data_[i]; }
    size_t size() const { return n_; }
    Val* data() { return data_; }

private:
    void clear()
    {
        if (data_ && !heap_)
            for (size_t i = 0; i < n_; ++i)
                data_[i].~Val();
        heap_.reset();
        data_ = nullptr;
        n_ = 0;
    }
    static constexpr size_t kInline = 6;
    alignas(Val) unsigned char inline_[kInline * sizeof(Val)];
    std::unique_ptr<Val[]> heap_;
    Val* data_ = nullptr;
    size_t n_ = 0;
};

// One activation of a routine (or a package instance, level 0).
struct Frame {
    ValArray slots;
    Frame* link = nullptr;            // static link: the frame of the enclosing routine / package
    const Routine* routine = nullptr; // nullptr for a package instance
    const Unit* unit = nullptr;
    bool inBody = true;               // package code runs from the PACKAGE BODY source
    int line = 0;
    int hookLine = -1;                // last line reported to the debugger
    Frame* caller = nullptr;
    int depth = 1;
    const Block* block = nullptr;     // innermost active block (debugger name lookup)
};

// A raised PL/SQL exception on its way out. `code` is Oracle's error number
// (1403, 6502, 20001); user exceptions without EXCEPTION_INIT have code 6510
// and `user` set.
struct RaisedError {
    int code = 0;
    std::string message;                   // "ORA-01403: no data found"
    const ExceptionDecl* user = nullptr;
    std::vector<std::string> backtrace;    // "ORA-06512: at ..." lines, innermost first
    std::string extraStack;                // lines appended below (ORA-04063 companions ...)

    int sqlcode() const { return code == 1403 ? 100 : user && code == 6510 ? 1 : -code; }
    std::string fullText() const;
};

struct RaisedException {   // the C++ exception carrying a RaisedError
    RaisedError err;
};

class EngineImpl;

struct CursorState {
    const CursorDecl* decl = nullptr;
    std::unique_ptr<Cursor> rs;
    std::vector<Column> columns;
    bool isOpen = false;
    int found = -1;          // -1 before the first fetch, then 0 / 1
    int64_t rowCount = 0;
    const Type* rowType = nullptr;
};

struct Exec {
    Exec(SessionServices& s, PlsqlSession& st, EngineImpl& e) : svc(s), state(st), engine(e) {}

    SessionServices& svc;
    PlsqlSession& state;
    EngineImpl& engine;

    Frame* frame = nullptr;
    int depth = 0;
    DebugHook* hook = nullptr;
    const DebugFilter* hookFilter = nullptr;   // the hook's summary of where it may stop
    bool trap = false;              // a debugger is attached: report lines
    unsigned ticks = 0;
    bool aborted = false;

    Val retval;                     // value of the last RETURN expr
    bool returned = false;

    // The implicit cursor SQL%.
    int64_t sqlRowCount = 0;
    int sqlFound = -1;

    std::string pendingLabel;                   // label of the loop an EXIT / CONTINUE targets
    std::vector<const RaisedError*> handling;   // errors whose handlers are running (SQLCODE, RAISE;)

    std::vector<Val> bindVals;                  // the block's bind variables
    std::vector<BindVar>* binds = nullptr;

    char* stackLow = nullptr;                   // native stack guard (see threadStackLimit)

    // Statement prologue: cancel polling and the debug probe.
    void statement(int line)
    {
        frame->line = line;
        if ((++ticks & 255u) == 0)
            pollCancel();
        if (trap && (!hookFilter || hookFilter->mayStopAt(line)))
            lineEvent(line);
    }
    void setHook(DebugHook* h)
    {
        hook = h;
        hookFilter = h ? h->filter() : nullptr;
        trap = h != nullptr;
    }
    void pollCancel();
    void lineEvent(int line);
    void debugEvent(DebugEvent ev, const RaisedError* err = nullptr);
    // Loop passes report their first line again even when it did not change.
    void newIteration() { frame->hookLine = -1; }

    Frame* outer(int levels) const
    {
        Frame* f = frame;
        while (levels-- > 0 && f)
            f = f->link;
        return f;
    }
    Frame* packageFrame(const Unit* u);
    void checkStack();
};

[[noreturn]] void raise(int code, const std::string& message);   // ORA- error as a PL/SQL exception
RaisedError toRaised(const OraError& e);
// The error a predefined exception stands for (1403 -> "ORA-01403: no data found").
OraError standardError(int code);

// Cancellation (Session::cancel, a debugger's abort): not catchable by
// handlers; the top level answers ORA-01013.
struct Cancelled {};

void elaborateDeclarations(Exec& x, const Block& b);
// The lowest stack address the interpreter lets a call reach on this thread.
char* threadStackLimit();

// Runs the statements of a body in order; returns the first non-normal flow.
Flow runStatements(Exec& x, const std::vector<StmtPtr>& body);
// Runs a block (declarations, body, handlers) in the current frame.
Flow runBlock(Exec& x, const Block& b);
// Calls a routine with arguments already evaluated (OUT ones as NULL);
// returns the function result. `link` is the callee's static link.
Val invoke(Exec& x, const Routine& r, Val* args, Frame* link);
// Initializes a package instance (declarations and initialization section).
void initPackage(Exec& x, const Unit& u, Frame& f);

// The value of an expression without a copy when it is a local variable or a
// literal (the common operands of arithmetic and comparisons); otherwise
// evaluated into `tmp`.
inline const Val& peek(Exec& x, const Expr* e, Val& tmp)
{
    if (e->kind == ExprKind::Local)
        return x.frame->slots[static_cast<const LocalExpr*>(e)->slot];
    if (e->kind == ExprKind::Literal)
        return static_cast<const LiteralExpr*>(e)->value;
    tmp = e->eval(x);
    return tmp;
}

// Evaluates a condition: NULL counts as not true.
inline bool truthy(const Val& v) { return v.kind() == Val::K::Bool && v.asBool(); }

} // namespace sandbox::plsql
