// interp_sql.cpp - embedded SQL: SELECT INTO, DML with SQL%ROWCOUNT,
// transaction control, explicit cursors and cursor variables, cursor FOR
// loops and EXECUTE IMMEDIATE. The SQL layer resolves columns; the PL/SQL
// names it cannot resolve come back through the Resolver callback.
#include "sandbox/plsql/interp_sql.h"

#include "sandbox/plsql/engine_impl.h"
#include "sandbox/plsql/lexer.h"

#include <cctype>

namespace sandbox::plsql {
namespace {

// The block's bind variables with their current values, for SQL that names them.
std::vector<BindVar> blockBinds(Exec& x)
{
    std::vector<BindVar> out;
    if (!x.binds)
        return out;
    for (size_t i = 0; i < x.binds->size(); ++i) {
        BindVar b = (*x.binds)[i];
        b.mode = BindMode::In;
        b.value = i < x.bindVals.size() ? toValue(x.bindVals[i]) : Value();
        out.push_back(std::move(b));
    }
    return out;
}

// The block's binds plus the collection elements the SQL text refers to.
std::vector<BindVar> sqlBinds(Exec& x, const SqlText& q, Frame* names)
{
    std::vector<BindVar> out = blockBinds(x);
    for (const auto& el : q.elements) {
        BindVar b;
        b.name = el.bind;
        Frame* saved = x.frame;
        if (names)
            x.frame = names;
        try {
            b.value = toValue(el.expr->eval(x));
        } catch (...) {
            x.frame = saved;
            throw;
        }
        x.frame = saved;
        out.push_back(std::move(b));
    }
    return out;
}

SessionServices::Resolver resolverFor(Exec& x, const SqlText& q, Frame* names)
{
    return [&x, &q, names](const std::string& id) -> std::optional<Value> {
        std::string key = upper(id);
        for (const auto& [name, e] : q.names) {
            if (name != key)
                continue;
            Frame* saved = x.frame;
            x.frame = names ? names : saved;
            try {
                Val v = e->eval(x);
                x.frame = saved;
                return toValue(v);
            } catch (...) {
                x.frame = saved;
                throw;
            }
        }
        return std::nullopt;
    };
}

void store(Exec& x, const Expr& target, const Val& v)
{
    Val* slot = target.ref(x);
    if (!slot)
        throwValueError();
    *slot = coerce(v, target.type);
}

// Assigns one fetched row to INTO targets: a single record, or one target per column.
void assignRow(Exec& x, const std::vector<ExprPtr>& into, const std::vector<Value>& row)
{
    if (into.size() == 1 && into[0]->type && into[0]->type->kind == TypeKind::Record) {
        const Type* rt = into[0]->type;
        if (rt->fields.size() != row.size())
            raise(row.size() < rt->fields.size() ? 947 : 913, row.size() < rt->fields.size() ? "not enough values"
                                                                                              : "too many values");
        store(x, *into[0], rowRecord(row, rt));
        return;
    }
    if (into.size() != row.size())
        raise(row.size() < into.size() ? 947 : 913, row.size() < into.size() ? "not enough values" : "too many values");
    for (size_t i = 0; i < into.size(); ++i)
        store(x, *into[i], fromValue(row[i]));
}

// BULK COLLECT: every row into collections (one per column, or one of records).
void bulkAssign(Exec& x, const std::vector<ExprPtr>& into, Cursor& rs, int64_t limit, int64_t& fetched)
{
    std::vector<Collection*> colls;
    for (const auto& t : into) {
        Val* v = t->ref(x);
        if (!v || !t->type || !t->type->isCollection())
            raise(6502, "PL/SQL: numeric or value error");
        *v = defaultValue(t->type);
        v->asColl()->initialized = true;
        colls.push_back(v->asColl().get());
    }
    std::vector<Value> row;
    int64_t n = 0;
    while ((limit <= 0 || n < limit) && rs.fetch(row)) {
        ++n;
        CollKey k;
        k.i = n;
        if (colls.size() == 1 && into[0]->type->element && into[0]->type->element->kind == TypeKind::Record) {
            colls[0]->items[k] = rowRecord(row, into[0]->type->element);
        } else {
            if (colls.size() != row.size())
                raise(colls.size() > row.size() ? 947 : 913, colls.size() > row.size() ? "not enough values"
                                                                                        : "too many values");
            for (size_t i = 0; i < colls.size(); ++i)
                colls[i]->items[k] = coerce(fromValue(row[i]), into[i]->type->element);
        }
    }
    fetched = n;
}

// Placeholders of a dynamic statement, in order of first appearance.
std::vector<std::string> placeholders(const std::string& text)
{
    std::vector<std::string> names;
    for (const auto& t : tokenize(text))
        if (t.kind == Tok::Bind) {
            bool seen = false;
            for (const auto& n : names)
                seen = seen || upper(n) == upper(t.text);
            if (!seen)
                names.push_back(t.text);
        }
    return names;
}

} // namespace

Val rowRecord(const std::vector<Value>& row, const Type* rowType)
{
    auto r = std::make_shared<Record>();
    r->type = rowType;
    for (size_t i = 0; i < row.size(); ++i) {
        const Type* ft = rowType && i < rowType->fields.size() ? rowType->fields[i].type : nullptr;
        r->fields.push_back(coerce(fromValue(row[i]), ft));
    }
    if (rowType)
        r->fields.resize(rowType->fields.size());
    return Val::record(std::move(r));
}

std::unique_ptr<Cursor> runQuery(Exec& x, const SqlText& q, Frame* names)
{
    auto binds = sqlBinds(x, q, names);
    return x.svc.query(q.text, binds, resolverFor(x, q, names));
}

Val SqlValueExpr::eval(Exec& x) const
{
    std::vector<BindVar> none;
    auto rs = x.svc.query(sql, none, [](const std::string&) { return std::nullopt; });
    std::vector<Value> row;
    if (!rs->fetch(row) || row.empty())
        raise(1403, "no data found");
    return fromValue(row[0]);
}

Flow SqlStmt::exec(Exec& x) const
{
    switch (sqlKind) {
    case SqlKind::Commit: x.svc.commit(); return Flow::Normal;
    case SqlKind::Rollback: {
        std::string t = upper(sql->text);
        if (t == "ROLLBACK" || t == "ROLLBACK WORK") {
            x.svc.rollback();
            return Flow::Normal;
        }
        break;
    }
    case SqlKind::Select: {
        auto rs = runQuery(x, *sql, nullptr);
        if (bulk) {
            int64_t n = 0;
            bulkAssign(x, into, *rs, 0, n);
            x.sqlRowCount = n;
            x.sqlFound = n > 0;
            return Flow::Normal;
        }
        std::vector<Value> row, extra;
        if (!rs->fetch(row)) {
            x.sqlRowCount = 0;
            x.sqlFound = 0;
            raise(1403, "no data found");
        }
        if (rs->fetch(extra)) {
            x.sqlRowCount = 2;
            x.sqlFound = 1;
            raise(1422, "exact fetch returns more than requested number of rows");
        }
        assignRow(x, into, row);
        x.sqlRowCount = 1;
        x.sqlFound = 1;
        return Flow::Normal;
    }
    default: break;
    }
    auto binds = sqlBinds(x, *sql, nullptr);
    size_t firstReturning = binds.size();
    for (size_t k = 0; k < returning.size(); ++k) {
        BindVar b;
        b.name = "PLSQL_R" + std::to_string(k + 1);
        b.mode = BindMode::Out;
        b.type = returning[k]->type && returning[k]->type->isString() ? BindType::String : BindType::Number;
        b.size = 32767;
        binds.push_back(std::move(b));
    }
    int64_t n = x.svc.exec(sql->text, binds, resolverFor(x, *sql, nullptr));
    x.sqlRowCount = n;
    x.sqlFound = n > 0;
    for (size_t k = 0; k < returning.size(); ++k)
        store(x, *returning[k], fromValue(binds[firstReturning + k].value));
    return Flow::Normal;
}

namespace {

CursorState& openDeclared(Exec& x, const CursorTarget& t, const std::vector<ExprPtr>& args)
{
    Frame* df = t.pkg ? x.packageFrame(t.pkg) : x.outer(t.levels);
    Val& slot = df->slots[t.decl->slot];
    if (slot.kind() != Val::K::Cur) {
        auto c = std::make_shared<CursorState>();
        c->decl = t.decl;
        c->rowType = t.decl->rowType;
        slot = Val::cursor(std::move(c));
    }
    CursorState& cs = *slot.asCur();
    if (cs.isOpen)
        raise(6511, "PL/SQL: cursor already open");
    std::vector<Val> vals(t.decl->params.size());
    for (size_t i = 0; i < vals.size(); ++i) {
        if (i < args.size() && args[i]) {
            vals[i] = args[i]->eval(x);
        } else if (t.decl->params[i].def) {
            Frame* saved = x.frame;
            x.frame = df;
            vals[i] = t.decl->params[i].def->eval(x);
            x.frame = saved;
        }
    }
    for (size_t i = 0; i < vals.size(); ++i)
        df->slots[t.decl->params[i].slot] = coerce(vals[i], t.decl->params[i].type);
    cs.rs = runQuery(x, *t.decl->query, df);
    cs.columns = cs.rs->columns();
    cs.isOpen = true;
    cs.found = -1;
    cs.rowCount = 0;
    return cs;
}

std::unique_ptr<Cursor> dynamicQuery(Exec& x, const std::string& text, const std::vector<Val>& usingVals)
{
    auto names = placeholders(text);
    std::vector<BindVar> binds;
    for (size_t i = 0; i < names.size(); ++i) {
        BindVar b;
        b.name = names[i];
        b.value = i < usingVals.size() ? toValue(usingVals[i]) : Value();
        binds.push_back(std::move(b));
    }
    if (names.size() < usingVals.size() || (names.size() > usingVals.size()))
        raise(1008, "not all variables bound");
    return x.svc.query(text, binds, [](const std::string&) { return std::nullopt; });
}

std::string dynamicText(Exec& x, const Expr& e)
{
    Val v = e.eval(x);
    if (v.isNull())
        raise(6535, "statement string in EXECUTE IMMEDIATE is NULL or 0 length");
    std::string t = toText(v);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())))
        t.pop_back();
    return t;
}

} // namespace

Flow OpenStmt::exec(Exec& x) const
{
    if (declared.decl) {
        openDeclared(x, declared, args);
        return Flow::Normal;
    }
    auto c = std::make_shared<CursorState>();
    if (forQuery) {
        c->rs = runQuery(x, *forQuery, nullptr);
    } else {
        std::vector<Val> vals;
        for (const auto& u : usingArgs)
            vals.push_back(u->eval(x));
        c->rs = dynamicQuery(x, dynamicText(x, *forDynamic), vals);
    }
    c->columns = c->rs->columns();
    c->isOpen = true;
    store(x, *cursor, Val::cursor(std::move(c)));
    return Flow::Normal;
}

Flow FetchStmt::exec(Exec& x) const
{
    Val c = cursor->eval(x);
    if (c.kind() != Val::K::Cur || !c.asCur()->isOpen)
        raise(1001, "invalid cursor");
    CursorState& cs = *c.asCur();
    if (bulk) {
        int64_t lim = limit ? toInt(limit->eval(x)).value_or(0) : 0;
        int64_t n = 0;
        bulkAssign(x, into, *cs.rs, lim, n);
        cs.rowCount += n;
        cs.found = n > 0;
        return Flow::Normal;
    }
    std::vector<Value> row;
    if (!cs.rs->fetch(row)) {
        cs.found = 0;
        return Flow::Normal;
    }
    cs.found = 1;
    ++cs.rowCount;
    assignRow(x, into, row);
    return Flow::Normal;
}

Flow CloseStmt::exec(Exec& x) const
{
    Val c = cursor->eval(x);
    if (c.kind() != Val::K::Cur || !c.asCur()->isOpen)
        raise(1001, "invalid cursor");
    CursorState& cs = *c.asCur();
    cs.rs.reset();
    cs.isOpen = false;
    return Flow::Normal;
}

Flow cursorLoop(Exec& x, const LoopStmt& l)
{
    std::shared_ptr<CursorState> own;
    CursorState* cs = nullptr;
    if (l.inlineQuery) {
        own = std::make_shared<CursorState>();
        own->rs = runQuery(x, *l.inlineQuery, nullptr);
        own->isOpen = true;
        cs = own.get();
    } else {
        cs = &openDeclared(x, l.cursor, l.cursorArgs);
    }
    struct Closer {
        CursorState* cs;
        ~Closer()
        {
            cs->rs.reset();
            cs->isOpen = false;
        }
    } closer{cs};
    std::vector<Value> row;
    for (;;) {
        x.newIteration();
        if (!cs->rs->fetch(row)) {
            cs->found = 0;
            break;
        }
        cs->found = 1;
        ++cs->rowCount;
        x.frame->slots[l.indexSlot] = rowRecord(row, l.rowType);
        Flow f = runStatements(x, l.body);
        if (f == Flow::Normal)
            continue;
        if (f == Flow::Return)
            return f;
        if (!x.pendingLabel.empty() && x.pendingLabel != l.label)
            return f;
        x.pendingLabel.clear();
        if (f == Flow::Continue)
            continue;
        break;
    }
    return Flow::Normal;
}

Flow ExecImmediateStmt::exec(Exec& x) const
{
    std::string t = dynamicText(x, *text);
    std::string head;
    for (char c : t) {
        if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ';')
            break;
        head += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!t.empty() && t.back() == '/')
        t.pop_back();
    std::vector<Val> vals;
    for (const auto& u : usingArgs)
        vals.push_back(u.mode == 1 ? Val() : u.value->eval(x));

    if (head == "BEGIN" || head == "DECLARE") {
        auto names = placeholders(t);
        std::vector<BindVar> binds;
        for (size_t i = 0; i < names.size(); ++i) {
            BindVar b;
            b.name = names[i];
            b.mode = i < usingArgs.size() ? (usingArgs[i].mode == 0 ? BindMode::In : usingArgs[i].mode == 1 ? BindMode::Out
                                                                                                               : BindMode::InOut)
                                          : BindMode::In;
            b.type = BindType::String;
            if (i < vals.size()) {
                b.value = toValue(vals[i]);
                if (vals[i].isNumeric())
                    b.type = BindType::Number;
            }
            binds.push_back(std::move(b));
        }
        if (names.size() != usingArgs.size())
            raise(1008, "not all variables bound");
        x.engine.runNested(x, t, binds);
        for (size_t i = 0; i < usingArgs.size(); ++i)
            if (usingArgs[i].mode != 0)
                store(x, *usingArgs[i].value, fromValue(binds[i].value));
        return Flow::Normal;
    }
    while (!t.empty() && t.back() == ';')
        t.pop_back();
    if (head == "SELECT" || head == "WITH") {
        auto rs = dynamicQuery(x, t, vals);
        if (bulk) {
            int64_t n = 0;
            bulkAssign(x, into, *rs, 0, n);
            x.sqlRowCount = n;
            return Flow::Normal;
        }
        std::vector<Value> row, extra;
        if (!rs->fetch(row)) {
            if (into.empty())
                return Flow::Normal;
            raise(1403, "no data found");
        }
        if (!into.empty() && rs->fetch(extra))
            raise(1422, "exact fetch returns more than requested number of rows");
        if (!into.empty())
            assignRow(x, into, row);
        x.sqlRowCount = 1;
        x.sqlFound = 1;
        return Flow::Normal;
    }
    if (x.engine.handles(t)) {
        std::vector<BindVar> none;
        x.engine.execute(x.svc, t, none);
        x.sqlRowCount = 0;
        return Flow::Normal;
    }
    auto names = placeholders(t);
    std::vector<BindVar> binds;
    for (size_t i = 0; i < names.size(); ++i) {
        BindVar b;
        b.name = names[i];
        if (i < vals.size())
            b.value = toValue(vals[i]);
        binds.push_back(std::move(b));
    }
    if (names.size() != vals.size())
        raise(1008, "not all variables bound");
    int64_t n = x.svc.exec(t, binds, [](const std::string&) { return std::nullopt; });
    x.sqlRowCount = n;
    x.sqlFound = n > 0;
    return Flow::Normal;
}

} // namespace sandbox::plsql
