// interp_expr.cpp - evaluation of expressions: variables, arithmetic with
// Oracle's NULL rules, three-valued logic, records and collections.
#include "sandbox/plsql/exec.h"

#include <cmath>

namespace sandbox::plsql {

// ---- variables ----------------------------------------------------------------------

Val NameExpr::eval(Exec&) const { raise(6550, "unresolved name " + dotted()); }

Val LocalExpr::eval(Exec& x) const { return x.frame->slots[slot]; }
Val* LocalExpr::ref(Exec& x) const { return &x.frame->slots[slot]; }

Val OuterExpr::eval(Exec& x) const { return x.outer(levels)->slots[slot]; }
Val* OuterExpr::ref(Exec& x) const { return &x.outer(levels)->slots[slot]; }

Val PkgVarExpr::eval(Exec& x) const { return x.packageFrame(unit)->slots[slot]; }
Val* PkgVarExpr::ref(Exec& x) const { return &x.packageFrame(unit)->slots[slot]; }

Val BindExpr::eval(Exec& x) const
{
    if (index < 0 || index >= static_cast<int>(x.bindVals.size()))
        raise(1008, "not all variables bound");
    return x.bindVals[index];
}
Val* BindExpr::ref(Exec& x) const
{
    if (index < 0 || index >= static_cast<int>(x.bindVals.size()))
        raise(1008, "not all variables bound");
    return &x.bindVals[index];
}

Val NativeVarExpr::eval(Exec& x) const { return *ref(x); }
Val* NativeVarExpr::ref(Exec& x) const { return &x.state.nativeVariables[package + "." + name]; }

// ---- records and collections -------------------------------------------------------------

Val FieldExpr::eval(Exec& x) const
{
    Val b = base->eval(x);
    if (b.kind() != Val::K::Rec)
        return {};
    return b.asRec()->fields[index];
}

Val* FieldExpr::ref(Exec& x) const
{
    Val* b = base->ref(x);
    if (!b)
        return nullptr;
    if (b->kind() != Val::K::Rec)
        *b = defaultValue(base->type);
    if (b->kind() != Val::K::Rec)
        return nullptr;
    return &b->asRec()->fields[index];
}

namespace {

Collection& liveCollection(const Val& v)
{
    if (v.kind() != Val::K::Coll || !v.asColl()->initialized)
        raise(6531, "Reference to uninitialized collection");
    return *v.asColl();
}

CollKey keyOf(const Collection& c, const Val& ix)
{
    if (ix.isNull())
        throwValueError(": NULL index table key value");
    CollKey k;
    if (c.type && c.type->indexByString)
        k.s = toText(ix);
    else
        k.i = *toInt(ix);
    return k;
}

int64_t lastIndex(const Collection& c) { return c.items.empty() ? 0 : c.items.rbegin()->first.i; }

void checkSubscript(const Collection& c, const CollKey& k, bool forWrite)
{
    if (!c.type || c.type->kind == TypeKind::AssocArray)
        return;
    if (c.type->kind == TypeKind::Varray && (k.i < 1 || k.i > c.type->limit))
        raise(6532, "Subscript outside of limit");
    if (k.i < 1)
        raise(6532, "Subscript outside of limit");
    if (k.i > lastIndex(c))
        raise(6533, "Subscript beyond count");
    (void)forWrite;
}

} // namespace

Val ElementExpr::eval(Exec& x) const
{
    Val b = base->eval(x);
    Collection& c = liveCollection(b);
    CollKey k = keyOf(c, index->eval(x));
    auto it = c.items.find(k);
    if (it == c.items.end()) {
        checkSubscript(c, k, false);
        raise(1403, "no data found");
    }
    return it->second;
}

Val* ElementExpr::ref(Exec& x) const
{
    Val* b = base->ref(x);
    if (!b)
        return nullptr;
    Collection& c = liveCollection(*b);
    CollKey k = keyOf(c, index->eval(x));
    auto it = c.items.find(k);
    if (it != c.items.end())
        return &it->second;
    checkSubscript(c, k, true);
    if (c.type && c.type->kind != TypeKind::AssocArray)
        raise(1403, "no data found");   // a deleted element of a nested table
    return &c.items.emplace(k, defaultValue(c.type ? c.type->element : nullptr)).first->second;
}

namespace {

Val keyValue(const Collection& c, const CollKey& k)
{
    if (c.type && c.type->indexByString)
        return Val::str(k.s);
    return Val::integer(k.i);
}

} // namespace

Val MethodExpr::eval(Exec& x) const
{
    Val* target = nullptr;
    Val held;
    if (method == CollMethod::Delete || method == CollMethod::Extend || method == CollMethod::Trim) {
        target = base->ref(x);
        if (!target)
            raise(6531, "Reference to uninitialized collection");
    } else {
        held = base->eval(x);
        target = &held;
    }
    if (method == CollMethod::Exists) {
        if (target->kind() != Val::K::Coll || !target->asColl()->initialized)
            return Val::boolean(false);
        Val ix = args[0]->eval(x);
        if (ix.isNull())
            return Val::boolean(false);
        const Collection& c = *target->asColl();
        return Val::boolean(c.items.count(keyOf(c, ix)) > 0);
    }
    if (method == CollMethod::Limit) {
        const Collection& c = liveCollection(*target);
        return c.type && c.type->kind == TypeKind::Varray ? Val::integer(c.type->limit) : Val();
    }
    Collection& c = liveCollection(*target);
    switch (method) {
    case CollMethod::Count: return Val::integer(static_cast<int64_t>(c.items.size()));
    case CollMethod::First: return c.items.empty() ? Val() : keyValue(c, c.items.begin()->first);
    case CollMethod::Last: return c.items.empty() ? Val() : keyValue(c, c.items.rbegin()->first);
    case CollMethod::Next:
    case CollMethod::Prior: {
        Val ix = args[0]->eval(x);
        if (ix.isNull())
            return {};
        CollKey k = keyOf(c, ix);
        if (method == CollMethod::Next) {
            auto it = c.items.upper_bound(k);
            return it == c.items.end() ? Val() : keyValue(c, it->first);
        }
        auto it = c.items.lower_bound(k);
        if (it == c.items.begin())
            return {};
        --it;
        return keyValue(c, it->first);
    }
    case CollMethod::Delete: {
        if (args.empty()) {
            c.items.clear();
        } else if (args.size() == 1) {
            Val ix = args[0]->eval(x);
            if (!ix.isNull())
                c.items.erase(keyOf(c, ix));
        } else {
            Val a = args[0]->eval(x), b = args[1]->eval(x);
            if (!a.isNull() && !b.isNull()) {
                auto lo = c.items.lower_bound(keyOf(c, a));
                auto hi = c.items.upper_bound(keyOf(c, b));
                if (!(keyOf(c, b) < keyOf(c, a)))
                    c.items.erase(lo, hi);
            }
        }
        return {};
    }
    case CollMethod::Extend: {
        if (c.type && c.type->kind == TypeKind::AssocArray)
            raise(6502, "PL/SQL: numeric or value error");
        int64_t n = args.empty() ? 1 : toInt(args[0]->eval(x)).value_or(0);
        Val copy = defaultValue(c.type ? c.type->element : nullptr);
        if (args.size() == 2) {
            CollKey src;
            src.i = toInt(args[1]->eval(x)).value_or(0);
            auto it = c.items.find(src);
            if (it == c.items.end())
                raise(6533, "Subscript beyond count");
            copy = it->second;
        }
        int64_t last = lastIndex(c);
        if (c.type && c.type->kind == TypeKind::Varray && last + n > c.type->limit)
            raise(6532, "Subscript outside of limit");
        for (int64_t i = 1; i <= n; ++i) {
            CollKey k;
            k.i = last + i;
            c.items[k] = copy.clone();
        }
        return {};
    }
    case CollMethod::Trim: {
        int64_t n = args.empty() ? 1 : toInt(args[0]->eval(x)).value_or(0);
        if (n > static_cast<int64_t>(c.items.size()))
            raise(6533, "Subscript beyond count");
        for (int64_t i = 0; i < n; ++i)
            c.items.erase(std::prev(c.items.end()));
        return {};
    }
    default: return {};
    }
}

Val ConstructorExpr::eval(Exec& x) const
{
    auto c = std::make_shared<Collection>();
    c->type = type;
    c->initialized = true;
    if (type->kind == TypeKind::Varray && static_cast<int>(args.size()) > type->limit)
        raise(6532, "Subscript outside of limit");
    int64_t i = 1;
    for (const auto& a : args) {
        CollKey k;
        k.i = i++;
        c->items[k] = coerce(a->eval(x), type->element);
    }
    return Val::collection(std::move(c));
}

// ---- operators --------------------------------------------------------------------------------

namespace {

bool isChar(const Expr* e) { return e->type && e->type->kind == TypeKind::Char; }

// CHAR values compare blank-padded: trailing blanks do not count.
std::optional<int> compareOperands(const Expr* a, const Expr* b, const Val& l, const Val& r)
{
    if ((isChar(a) || isChar(b)) && l.kind() == Val::K::Str && r.kind() == Val::K::Str) {
        std::string x = l.asStr(), y = r.asStr();
        while (!x.empty() && x.back() == ' ')
            x.pop_back();
        while (!y.empty() && y.back() == ' ')
            y.pop_back();
        int c = x.compare(y);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    return compare(l, r);
}

} // namespace


Val UnaryExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    if (v.isNull() || op == '+')
        return v;
    if (v.isInt() && v.asInt() != INT64_MIN)
        return Val::integer(-v.asInt());
    return Val::number(-*toNumber(v));
}

namespace {

constexpr int64_t kSecondsPerDay = 86400;

Val dateArith(BinOp op, const Val& a, const Val& b)
{
    if (a.kind() == Val::K::Date && b.kind() == Val::K::Date && op == BinOp::Sub) {
        int64_t d = a.asDate().seconds - b.asDate().seconds;
        return Val::number(Number::fromInt(d) / Number::fromInt(kSecondsPerDay));
    }
    const Val& dv = a.kind() == Val::K::Date ? a : b;
    const Val& nv = a.kind() == Val::K::Date ? b : a;
    if ((op != BinOp::Add && op != BinOp::Sub) || (op == BinOp::Sub && a.kind() != Val::K::Date) ||
        nv.kind() == Val::K::Date)
        throwValueError();
    Number days = *toNumber(nv);
    int64_t secs = *(days * Number::fromInt(kSecondsPerDay)).round(0).toInt64();
    DateTime d = dv.asDate();
    d.seconds += op == BinOp::Add ? secs : -secs;
    return Val::date(d);
}

Number power(const Number& base, const Number& exp)
{
    if (auto e = exp.toInt64(); e && *e >= 0 && *e <= 512) {
        Number r = Number::fromInt(1);
        for (int64_t i = 0; i < *e; ++i)
            r = r * base;
        return r;
    }
    return Number::fromDouble(std::pow(base.toDouble(), exp.toDouble()));
}

} // namespace

Val arithmetic(BinOp op, const Val& a, const Val& b)
{
    if (a.isNull() || b.isNull())
        return {};
    if (a.isInt() && b.isInt()) {
        int64_t x = a.asInt(), y = b.asInt(), r;
        switch (op) {
        case BinOp::Add:
            if (!__builtin_add_overflow(x, y, &r))
                return Val::integer(r);
            break;
        case BinOp::Sub:
            if (!__builtin_sub_overflow(x, y, &r))
                return Val::integer(r);
            break;
        case BinOp::Mul:
            if (!__builtin_mul_overflow(x, y, &r))
                return Val::integer(r);
            break;
        case BinOp::Div:
            if (y == 0)
                raise(1476, "divisor is equal to zero");
            if (y != -1 && x % y == 0)
                return Val::integer(x / y);
            break;
        default: break;
        }
    }
    if (a.kind() == Val::K::Date || b.kind() == Val::K::Date)
        return dateArith(op, a, b);
    Number x = *toNumber(a), y = *toNumber(b);
    switch (op) {
    case BinOp::Add: return Val::number(x + y);
    case BinOp::Sub: return Val::number(x - y);
    case BinOp::Mul: return Val::number(x * y);
    case BinOp::Div:
        if (y.isZero())
            raise(1476, "divisor is equal to zero");
        return Val::number(x / y);
    case BinOp::Pow: return Val::number(power(x, y));
    default: return {};
    }
}

Val BinaryExpr::eval(Exec& x) const
{
    Val lt, rt;
    const Val& l = peek(x, a.get(), lt);
    const Val& r = peek(x, b.get(), rt);
    if (l.isInt() && r.isInt()) {
        // The integer fast path of loops and counters.
        int64_t p = l.asInt(), q = r.asInt(), v;
        switch (op) {
        case BinOp::Add:
            if (__builtin_add_overflow(p, q, &v))
                break;
            if (type && type->kind == TypeKind::PlsInteger && (v > 2147483647LL || v < -2147483648LL))
                raise(1426, "numeric overflow");
            return Val::integer(v);
        case BinOp::Sub:
            if (__builtin_sub_overflow(p, q, &v))
                break;
            if (type && type->kind == TypeKind::PlsInteger && (v > 2147483647LL || v < -2147483648LL))
                raise(1426, "numeric overflow");
            return Val::integer(v);
        case BinOp::Eq: return Val::boolean(p == q);
        case BinOp::Ne: return Val::boolean(p != q);
        case BinOp::Lt: return Val::boolean(p < q);
        case BinOp::Le: return Val::boolean(p <= q);
        case BinOp::Gt: return Val::boolean(p > q);
        case BinOp::Ge: return Val::boolean(p >= q);
        default: break;
        }
    }
    switch (op) {
    case BinOp::Concat: {
        if (l.isNull())
            return r.kind() == Val::K::Str ? r : Val::str(toText(r));
        if (r.isNull())
            return l.kind() == Val::K::Str ? l : Val::str(toText(l));
        std::string s = toText(l);
        s += toText(r);
        return Val::str(std::move(s));
    }
    case BinOp::Eq:
    case BinOp::Ne:
    case BinOp::Lt:
    case BinOp::Le:
    case BinOp::Gt:
    case BinOp::Ge: {
        std::optional<int> c;
        if (l.isInt() && r.isInt())
            c = l.asInt() < r.asInt() ? -1 : l.asInt() > r.asInt() ? 1 : 0;
        else
            c = compareOperands(a.get(), b.get(), l, r);
        if (!c)
            return {};
        switch (op) {
        case BinOp::Eq: return Val::boolean(*c == 0);
        case BinOp::Ne: return Val::boolean(*c != 0);
        case BinOp::Lt: return Val::boolean(*c < 0);
        case BinOp::Le: return Val::boolean(*c <= 0);
        case BinOp::Gt: return Val::boolean(*c > 0);
        default: return Val::boolean(*c >= 0);
        }
    }
    default: {
        Val v = arithmetic(op, l, r);
        if (type && type->kind == TypeKind::PlsInteger && v.isInt() &&
            (v.asInt() > 2147483647LL || v.asInt() < -2147483648LL))
            raise(1426, "numeric overflow");
        return v;
    }
    }
}

int Expr::test(Exec& x) const
{
    Val v = eval(x);
    return v.isNull() ? -1 : v.asBool() ? 1 : 0;
}

int BinaryExpr::test(Exec& x) const
{
    if (op >= BinOp::Eq) {
        Val lt, rt;
        const Val& l = peek(x, a.get(), lt);
        const Val& r = peek(x, b.get(), rt);
        int c;
        if (l.isInt() && r.isInt()) {
            c = l.asInt() < r.asInt() ? -1 : l.asInt() > r.asInt() ? 1 : 0;
        } else {
            auto oc = compareOperands(a.get(), b.get(), l, r);
            if (!oc)
                return -1;
            c = *oc;
        }
        switch (op) {
        case BinOp::Eq: return c == 0;
        case BinOp::Ne: return c != 0;
        case BinOp::Lt: return c < 0;
        case BinOp::Le: return c <= 0;
        case BinOp::Gt: return c > 0;
        default: return c >= 0;
        }
    }
    return Expr::test(x);
}

int LogicalExpr::test(Exec& x) const
{
    int l = a->test(x);
    int stop = kind == ExprKind::And ? 0 : 1;
    if (l == stop)
        return l;
    int r = b->test(x);
    if (r == stop)
        return r;
    if (l < 0 || r < 0)
        return -1;
    return 1 - stop;
}

int NotExpr::test(Exec& x) const
{
    int v = a->test(x);
    return v < 0 ? -1 : 1 - v;
}

Val LogicalExpr::eval(Exec& x) const
{
    Val l = a->eval(x);
    bool isAnd = kind == ExprKind::And;
    if (!l.isNull() && l.asBool() != isAnd)
        return l;   // FALSE AND ..., TRUE OR ...: short circuit
    Val r = b->eval(x);
    if (!r.isNull() && r.asBool() != isAnd)
        return r;
    if (l.isNull() || r.isNull())
        return {};
    return Val::boolean(isAnd);
}

Val NotExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    return v.isNull() ? v : Val::boolean(!v.asBool());
}

Val IsNullExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    bool null = v.isNull() || (v.kind() == Val::K::Coll && !v.asColl()->initialized);
    return Val::boolean(null != negated);
}

namespace {

// LIKE with % and _ (and an escape character), by characters, in linear
// passes: a mismatch goes back only to the last %, never further.
bool likeMatch(const std::string& s, const std::string& p, char esc)
{
    auto charEnd = [](const std::string& t, size_t i) {
        ++i;
        while (i < t.size() && (static_cast<unsigned char>(t[i]) & 0xC0) == 0x80)
            ++i;
        return i;
    };
    size_t si = 0, pi = 0;
    size_t starP = std::string::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '%') {
            starP = ++pi;
            starS = si;
            continue;
        }
        if (pi < p.size()) {
            size_t pe = charEnd(p, pi);
            bool literal = esc && p[pi] == esc && pe < p.size();
            size_t litB = literal ? pe : pi;
            size_t litE = literal ? charEnd(p, pe) : pe;
            size_t se = charEnd(s, si);
            if (!literal && p[pi] == '_') {
                si = se;
                pi = pe;
                continue;
            }
            if (p.compare(litB, litE - litB, s, si, se - si) == 0) {
                si = se;
                pi = litE;
                continue;
            }
        }
        if (starP == std::string::npos)
            return false;
        starS = charEnd(s, starS);
        si = starS;
        pi = starP;
    }
    while (pi < p.size() && p[pi] == '%')
        ++pi;
    return pi == p.size();
}

} // namespace

Val LikeExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    Val p = pattern->eval(x);
    if (v.isNull() || p.isNull())
        return {};
    char esc = 0;
    if (escape) {
        Val e = escape->eval(x);
        if (e.isNull())
            return {};
        esc = toText(e)[0];
    }
    return Val::boolean(likeMatch(toText(v), toText(p), esc) != negated);
}

Val BetweenExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    auto c1 = compare(v, lo->eval(x));
    auto c2 = compare(v, hi->eval(x));
    if ((c1 && *c1 < 0) || (c2 && *c2 > 0))
        return Val::boolean(negated);
    if (!c1 || !c2)
        return {};
    return Val::boolean(!negated);
}

Val InExpr::eval(Exec& x) const
{
    Val v = a->eval(x);
    bool sawNull = false;
    for (const auto& e : list) {
        auto c = compare(v, e->eval(x));
        if (!c)
            sawNull = true;
        else if (*c == 0)
            return Val::boolean(!negated);
    }
    if (sawNull)
        return {};
    return Val::boolean(negated);
}

Val CaseExpr::eval(Exec& x) const
{
    if (selector) {
        Val s = selector->eval(x);
        for (const auto& [w, v] : whens) {
            auto c = compare(s, w->eval(x));
            if (c && *c == 0)
                return v->eval(x);
        }
    } else {
        for (const auto& [w, v] : whens)
            if (truthy(w->eval(x)))
                return v->eval(x);
    }
    return otherwise ? otherwise->eval(x) : Val();
}

// ---- errors as values ----------------------------------------------------------------------------

Val SqlCodeExpr::eval(Exec& x) const
{
    const RaisedError* e = x.handling.empty() ? nullptr : x.handling.back();
    if (!errm)
        return Val::integer(e ? e->sqlcode() : 0);
    if (code) {
        auto c = toInt(code->eval(x));
        if (!c || *c == 0)
            return Val::str("ORA-0000: normal, successful completion");
        if (*c == 100)
            return Val::str("ORA-01403: no data found");
        if (*c > 0)
            return Val::str("User-Defined Exception");
        if (e && e->sqlcode() == *c)
            return Val::str(e->message);
        return Val::str(oraCode(static_cast<int>(-*c)) + ": Message " + std::to_string(-*c) + " not found");
    }
    if (!e)
        return Val::str("ORA-0000: normal, successful completion");
    if (e->user && e->code == 6510)
        return Val::str("User-Defined Exception");
    return Val::str(e->message);
}

Val CursorAttrExpr::eval(Exec& x) const
{
    if (!cursor) {
        if (attr == "ROWCOUNT")
            return x.sqlFound < 0 ? Val() : Val::integer(x.sqlRowCount);
        if (attr == "ISOPEN")
            return Val::boolean(false);
        if (x.sqlFound < 0)
            return {};
        return Val::boolean((attr == "FOUND") == (x.sqlFound == 1));
    }
    Val c = cursor->eval(x);
    if (c.kind() != Val::K::Cur) {
        if (attr == "ISOPEN")
            return Val::boolean(false);
        raise(1001, "invalid cursor");
    }
    const CursorState& s = *c.asCur();
    if (attr == "ISOPEN")
        return Val::boolean(s.isOpen);
    if (!s.isOpen)
        raise(1001, "invalid cursor");
    if (attr == "ROWCOUNT")
        return Val::integer(s.rowCount);
    if (s.found < 0)
        return {};
    return Val::boolean((attr == "FOUND") == (s.found == 1));
}

Val BuiltinExpr::eval(Exec& x) const
{
    if (lazy)
        return lazy(x, *this);
    size_t n = args.size();
    if (n == 2 && args[0]->kind == ExprKind::Local && args[1]->kind == ExprKind::Literal) {
        // MOD(i, 3), SUBSTR(s, 2): no copies of the operands
        Val buf[2] = {x.frame->slots[static_cast<const LocalExpr*>(args[0].get())->slot],
                      static_cast<const LiteralExpr*>(args[1].get())->value};
        return fn(x, ArgSpan{buf, 2});
    }
    if (n <= 4) {
        Val buf[4];
        for (size_t i = 0; i < n; ++i)
            buf[i] = args[i]->eval(x);
        return fn(x, ArgSpan{buf, n});
    }
    std::vector<Val> vals;
    vals.reserve(n);
    for (const auto& a : args)
        vals.push_back(a->eval(x));
    return fn(x, ArgSpan{vals.data(), n});
}

} // namespace sandbox::plsql
