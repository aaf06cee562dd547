// fast_paths.cpp - fused counter assignment (v := a + b with locals and
// integer literals) and MOD on integers, with the general nodes as fallback.
#include "sandbox/plsql/fast_paths.h"

#include "sandbox/plsql/exec.h"

namespace sandbox::plsql {
namespace {

bool operand(const Expr& e, FastOperand& out)
{
    if (e.kind == ExprKind::Local) {
        out.isSlot = true;
        out.slot = static_cast<const LocalExpr&>(e).slot;
        return true;
    }
    if (e.kind == ExprKind::Literal && static_cast<const LiteralExpr&>(e).value.isInt()) {
        out.literal = static_cast<const LiteralExpr&>(e).value.asInt();
        return true;
    }
    return false;
}

inline bool readInt(const Frame& f, const FastOperand& o, int64_t& v)
{
    if (!o.isSlot) {
        v = o.literal;
        return true;
    }
    const Val& s = f.slots[static_cast<size_t>(o.slot)];
    if (!s.isInt())
        return false;
    v = s.asInt();
    return true;
}

struct FusedArithAssign : Stmt {
    StmtPtr general;
    int target = 0;
    BinOp op = BinOp::Add;
    FastOperand a, b;
    bool plsInteger = false;

    Flow exec(Exec& x) const override
    {
        int64_t p, q, r;
        const Frame& f = *x.frame;
        if (readInt(f, a, p) && readInt(f, b, q)) {
            bool overflow = op == BinOp::Add   ? __builtin_add_overflow(p, q, &r)
                            : op == BinOp::Sub ? __builtin_sub_overflow(p, q, &r)
                                               : __builtin_mul_overflow(p, q, &r);
            if (!overflow && (!plsInteger || (r <= 2147483647LL && r >= -2147483648LL))) {
                x.frame->slots[static_cast<size_t>(target)] = Val::integer(r);
                return Flow::Normal;
            }
        }
        return general->exec(x);
    }
};

Val modInt(int64_t p, int64_t q) { return Val::integer(q == 0 ? p : q == -1 ? 0 : p % q); }

struct FusedMod : Expr {
    ExprPtr general;
    FastOperand a, b;
    FusedMod() : Expr(ExprKind::Builtin) {}

    Val eval(Exec& x) const override
    {
        int64_t p, q;
        if (readInt(*x.frame, a, p) && readInt(*x.frame, b, q))
            return modInt(p, q);
        return general->eval(x);
    }
};

} // namespace

StmtPtr fuseAssignment(StmtPtr& s)
{
    auto* a = dynamic_cast<AssignStmt*>(s.get());
    if (!a || a->target->kind != ExprKind::Local || a->value->kind != ExprKind::Binary)
        return nullptr;
    const Type* t = a->target->type;
    bool pls = t && t->kind == TypeKind::PlsInteger;
    if (t && !pls && !((t->kind == TypeKind::Number || t->kind == TypeKind::Integer) && t->precision < 0) &&
        t->kind != TypeKind::Unknown)
        return nullptr;
    if (pls && (t->minValue || t->maxValue || t->notNull))
        return nullptr;
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    if (b->op != BinOp::Add && b->op != BinOp::Sub && b->op != BinOp::Mul)
        return nullptr;
    auto f = std::make_unique<FusedArithAssign>();
    if (!operand(*b->a, f->a) || !operand(*b->b, f->b))
        return nullptr;
    f->target = static_cast<LocalExpr*>(a->target.get())->slot;
    f->op = b->op;
    f->plsInteger = pls || (b->type && b->type->kind == TypeKind::PlsInteger);
    f->pos = s->pos;
    f->general = std::move(s);
    return f;
}

ExprPtr fuseBuiltin(ExprPtr& e)
{
    auto* b = dynamic_cast<BuiltinExpr*>(e.get());
    if (!b || b->name != std::string("MOD") || b->args.size() != 2)
        return nullptr;
    auto f = std::make_unique<FusedMod>();
    if (!operand(*b->args[0], f->a) || !operand(*b->args[1], f->b))
        return nullptr;
    f->pos = e->pos;
    f->type = e->type;
    f->general = std::move(e);
    return f;
}

} // namespace sandbox::plsql
