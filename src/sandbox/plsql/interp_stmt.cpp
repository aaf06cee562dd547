// interp_stmt.cpp - execution of procedural statements and blocks, with
// exception handlers. Every statement runs through Exec::statement, the one
// place where cancellation is polled and the debug probe is called.
#include "sandbox/plsql/exec.h"
#include "sandbox/plsql/interp_sql.h"

#include <algorithm>

namespace sandbox::plsql {

Flow runStatements(Exec& x, const std::vector<StmtPtr>& body)
{
    for (const auto& s : body) {
        x.statement(s->pos.line);
        Flow f = s->exec(x);
        if (f != Flow::Normal)
            return f;
    }
    return Flow::Normal;
}

namespace {

// Assigns `v` to a target expression, converting to its type.
void store(Exec& x, const Expr& target, const Val& v)
{
    Val* slot = target.ref(x);
    if (!slot)
        raise(6502, "PL/SQL: numeric or value error");
    *slot = coerce(v, target.type);
}

bool handles(const Handler& h, const RaisedError& e)
{
    if (h.others)
        return true;
    if (std::find(h.codes.begin(), h.codes.end(), e.code) != h.codes.end())
        return !(e.user && e.code == 6510);
    for (const ExceptionDecl* d : h.exceptions) {
        if (e.user == d)
            return true;
        if (d->code && d->code == e.code)
            return true;
    }
    return false;
}

void elaborate(Exec& x, const Block& b)
{
    for (const auto& d : b.decls) {
        switch (d.k) {
        case Decl::K::Var: {
            const VarDecl& v = *d.var;
            if (v.init) {
                x.statement(v.pos.line);
                x.frame->slots[v.slot] = coerce(v.init->eval(x), v.type);
            } else {
                x.frame->slots[v.slot] = defaultValue(v.type);
                if (v.type && v.type->kind == TypeKind::Record) {
                    // Fields with a default in the record type get it for every new variable.
                    for (size_t i = 0; i < v.type->fields.size(); ++i)
                        if (const Expr* init = v.type->fields[i].init)
                            x.frame->slots[v.slot].asRec()->fields[i] = coerce(init->eval(x), v.type->fields[i].type);
                }
            }
            break;
        }
        case Decl::K::Cursor: {
            auto c = std::make_shared<CursorState>();
            c->decl = d.cursor.get();
            c->rowType = d.cursor->rowType;
            x.frame->slots[d.cursor->slot] = Val::cursor(std::move(c));
            break;
        }
        default: break;
        }
    }
}

struct BlockScope {
    Frame* f;
    const Block* saved;
    BlockScope(Frame* fr, const Block* b) : f(fr), saved(fr->block) { f->block = b; }
    ~BlockScope() { f->block = saved; }
};

} // namespace

void elaborateDeclarations(Exec& x, const Block& b) { elaborate(x, b); }

Flow runBlock(Exec& x, const Block& b)
{
    if (b.decls.empty() && b.handlers.empty())
        return runStatements(x, b.body);   // nothing to declare, nothing to catch: the short way
    BlockScope scope(x.frame, &b);
    elaborate(x, b);
    if (b.handlers.empty())
        return runStatements(x, b.body);
    Frame* frame = x.frame;
    RaisedError err;
    try {
        return runStatements(x, b.body);
    } catch (RaisedException& e) {
        err = std::move(e.err);
    } catch (const OraError& e) {
        err = toRaised(e);
        x.frame = frame;
        if (x.trap)
            x.debugEvent(DebugEvent::Exception, &err);
    }
    x.frame = frame;
    for (const auto& h : b.handlers) {
        if (!handles(h, err))
            continue;
        x.state.errorStack = err.message + "\n";
        x.state.errorBacktrace.clear();
        for (const auto& b : err.backtrace)
            x.state.errorBacktrace += b + "\n";
        // Oracle's backtrace ends with the line of this unit where the error arose.
        x.state.errorBacktrace += (!frame->unit || frame->unit->type == "ANONYMOUS BLOCK"
                                       ? "ORA-06512: at line " + std::to_string(frame->line)
                                       : "ORA-06512: at \"" + frame->unit->owner + "." + frame->unit->name +
                                             "\", line " + std::to_string(frame->line)) +
                                  "\n";
        x.returned = false;
        if (x.trap && !h.body.empty()) {
            frame->line = h.body.front()->pos.line;
            x.debugEvent(DebugEvent::Handler, &err);
        }
        x.handling.push_back(&err);
        struct Pop {
            Exec& x;
            ~Pop() { x.handling.pop_back(); }
        } pop{x};
        return runStatements(x, h.body);
    }
    throw RaisedException{std::move(err)};
}

// ---- statements ---------------------------------------------------------------------------------

Flow AssignStmt::exec(Exec& x) const
{
    Val v = value->eval(x);
    if (target->kind == ExprKind::Local && v.isInt()) {
        // Whole numbers into unconstrained numeric locals need no conversion.
        const Type* t = target->type;
        if (!t || ((t->kind == TypeKind::Number || t->kind == TypeKind::Integer) && t->precision < 0)) {
            x.frame->slots[static_cast<const LocalExpr*>(target.get())->slot] = v;
            return Flow::Normal;
        }
    }
    store(x, *target, v);
    return Flow::Normal;
}

Flow CallStmt::exec(Exec& x) const
{
    call->eval(x);
    return Flow::Normal;
}

Flow IfStmt::exec(Exec& x) const
{
    bool first = true;
    for (const auto& [cond, body] : branches) {
        if (!first)
            x.statement(cond->pos.line);   // an ELSIF condition is a step of its own
        first = false;
        if (cond->test(x) == 1)
            return runStatements(x, body);
    }
    return runStatements(x, otherwise);
}

Flow CaseStmt::exec(Exec& x) const
{
    if (selector) {
        Val s = selector->eval(x);
        for (const auto& [w, body] : whens) {
            auto c = compare(s, w->eval(x));
            if (c && *c == 0)
                return runStatements(x, body);
        }
    } else {
        for (const auto& [w, body] : whens)
            if (truthy(w->eval(x)))
                return runStatements(x, body);
    }
    if (!hasElse)
        raise(6592, "CASE not found while executing CASE statement");
    return runStatements(x, otherwise);
}

namespace {

// What a loop does with the flow of one pass; true = leave the loop.
bool loopExit(Exec& x, Flow f, const std::string& label, Flow& out)
{
    if (f == Flow::Normal)
        return false;
    if (f == Flow::Return) {
        out = Flow::Return;
        return true;
    }
    const std::string& target = x.pendingLabel;
    if (!target.empty() && target != label) {
        out = f;   // an outer loop's label: propagate
        return true;
    }
    x.pendingLabel.clear();
    if (f == Flow::Continue)
        return false;
    out = Flow::Normal;
    return true;
}

} // namespace

Flow LoopStmt::exec(Exec& x) const
{
    Flow out = Flow::Normal;
    switch (loopKind) {
    case LoopKind::Basic:
        for (;;) {
            x.newIteration();
            if (loopExit(x, runStatements(x, body), label, out))
                return out;
        }
    case LoopKind::While:
        for (bool first = true;; first = false) {
            // Each pass tests the condition on the WHILE line again.
            x.newIteration();
            if (!first)
                x.statement(pos.line);
            if (cond->test(x) != 1)
                return Flow::Normal;
            if (loopExit(x, runStatements(x, body), label, out))
                return out;
        }
    case LoopKind::ForRange: {
        auto a = toInt(lo->eval(x));
        auto b = toInt(hi->eval(x));
        if (!a || !b)
            raise(6502, "PL/SQL: numeric or value error");
        int64_t from = *a, to = *b;
        if (forall) {
            int64_t total = 0;
            for (int64_t i = from; i <= to; ++i) {
                x.frame->slots[indexSlot] = Val::integer(i);
                runStatements(x, body);
                total += x.sqlRowCount;
            }
            x.sqlRowCount = total;
            x.sqlFound = total > 0;
            return Flow::Normal;
        }
        Val* slot = &x.frame->slots[indexSlot];
        if (reverse) {
            for (int64_t i = to; i >= from; --i) {
                x.newIteration();
                if (i != to)
                    x.statement(pos.line);
                *slot = Val::integer(i);
                if (loopExit(x, runStatements(x, body), label, out))
                    return out;
                slot = &x.frame->slots[indexSlot];
            }
        } else {
            for (int64_t i = from; i <= to; ++i) {
                // Each pass after the first stops on the FOR line again.
                x.newIteration();
                if (i != from)
                    x.statement(pos.line);
                *slot = Val::integer(i);
                if (loopExit(x, runStatements(x, body), label, out))
                    return out;
                slot = &x.frame->slots[indexSlot];
            }
        }
        return Flow::Normal;
    }
    case LoopKind::ForCursor: return cursorLoop(x, *this);
    }
    return Flow::Normal;
}

Flow ExitStmt::exec(Exec& x) const
{
    if (when && when->test(x) != 1)
        return Flow::Normal;
    x.pendingLabel = label;
    return isContinue ? Flow::Continue : Flow::Exit;
}

Flow ReturnStmt::exec(Exec& x) const
{
    if (value)
        x.retval = coerce(value->eval(x), returnType);
    x.returned = true;
    return Flow::Return;
}

Flow RaiseStmt::exec(Exec& x) const
{
    RaisedError e;
    if (!name) {
        if (x.handling.empty())
            raise(6510, "PL/SQL: unhandled user-defined exception");
        e = *x.handling.back();
        e.backtrace.clear();
    } else if (exception) {
        e.user = exception;
        e.code = exception->code ? exception->code : 6510;
        e.message = exception->code ? oraCode(exception->code) + ": " : "ORA-06510: PL/SQL: unhandled user-defined exception";
    } else {
        e = toRaised(standardError(predefinedCode));
    }
    if (x.trap)
        x.debugEvent(DebugEvent::Exception, &e);
    throw RaisedException{std::move(e)};
}

Flow BlockStmt::exec(Exec& x) const { return runBlock(x, *block); }

} // namespace sandbox::plsql
