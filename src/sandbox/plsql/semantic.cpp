// semantic.cpp - name resolution, type checks and slot allocation over the
// parsed tree. Every error is recorded with its position; the statement or
// declaration it occurs in is then skipped, so compilation continues and
// finds the errors that follow.
#include "sandbox/plsql/semantic.h"

#include "sandbox/ora_error.h"
#include "sandbox/plsql/builtins.h"
#include "sandbox/plsql/fast_paths.h"
#include "sandbox/plsql/native.h"

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

namespace sandbox::plsql {
namespace {

struct SemErr {
    Pos pos;
    std::string text;
    int number;
};

struct Scope {
    std::map<std::string, Symbol> syms;
    Scope* parent = nullptr;
};

// Type constructors for the built-in type names.
const Type* builtinTypeNamed(const std::string& n)
{
    static const std::map<std::string, std::pair<TypeKind, const char*>> names = {
        {"NUMBER", {TypeKind::Number, "NUMBER"}}, {"NUMERIC", {TypeKind::Number, "NUMBER"}},
        {"DECIMAL", {TypeKind::Number, "NUMBER"}}, {"DEC", {TypeKind::Number, "NUMBER"}},
        {"FLOAT", {TypeKind::Number, "FLOAT"}}, {"REAL", {TypeKind::Number, "FLOAT"}},
        {"DOUBLE", {TypeKind::Number, "FLOAT"}}, {"BINARY_FLOAT", {TypeKind::Number, "BINARY_FLOAT"}},
        {"BINARY_DOUBLE", {TypeKind::Number, "BINARY_DOUBLE"}}, {"INTEGER", {TypeKind::Integer, "INTEGER"}},
        {"INT", {TypeKind::Integer, "INTEGER"}}, {"SMALLINT", {TypeKind::Integer, "SMALLINT"}},
        {"PLS_INTEGER", {TypeKind::PlsInteger, "PLS_INTEGER"}},
        {"BINARY_INTEGER", {TypeKind::PlsInteger, "BINARY_INTEGER"}},
        {"SIMPLE_INTEGER", {TypeKind::PlsInteger, "SIMPLE_INTEGER"}},
        {"NATURAL", {TypeKind::PlsInteger, "NATURAL"}}, {"NATURALN", {TypeKind::PlsInteger, "NATURALN"}},
        {"POSITIVE", {TypeKind::PlsInteger, "POSITIVE"}}, {"POSITIVEN", {TypeKind::PlsInteger, "POSITIVEN"}},
        {"SIGNTYPE", {TypeKind::PlsInteger, "SIGNTYPE"}}, {"VARCHAR2", {TypeKind::Varchar2, "VARCHAR2"}},
        {"VARCHAR", {TypeKind::Varchar2, "VARCHAR2"}}, {"STRING", {TypeKind::Varchar2, "VARCHAR2"}},
        {"NVARCHAR2", {TypeKind::Varchar2, "NVARCHAR2"}}, {"LONG", {TypeKind::Varchar2, "LONG"}},
        {"CLOB", {TypeKind::Varchar2, "CLOB"}}, {"NCLOB", {TypeKind::Varchar2, "NCLOB"}},
        {"RAW", {TypeKind::Varchar2, "RAW"}}, {"LONG RAW", {TypeKind::Varchar2, "LONG RAW"}},
        {"ROWID", {TypeKind::Varchar2, "ROWID"}}, {"UROWID", {TypeKind::Varchar2, "UROWID"}},
        {"CHAR", {TypeKind::Char, "CHAR"}}, {"NCHAR", {TypeKind::Char, "NCHAR"}},
        {"CHARACTER", {TypeKind::Char, "CHAR"}}, {"DATE", {TypeKind::Date, "DATE"}},
        {"TIMESTAMP", {TypeKind::Date, "TIMESTAMP"}}, {"BOOLEAN", {TypeKind::Boolean, "BOOLEAN"}},
        {"SYS_REFCURSOR", {TypeKind::RefCursor, "SYS_REFCURSOR"}},
    };
    static std::map<std::string, std::unique_ptr<Type>> made;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const auto& [k, v] : names) {
            auto t = std::make_unique<Type>();
            t->kind = v.first;
            t->name = v.second;
            if (k == "NATURAL" || k == "NATURALN") {
                t->minValue = 0;
                t->maxValue = 2147483647;
            } else if (k == "POSITIVE" || k == "POSITIVEN") {
                t->minValue = 1;
                t->maxValue = 2147483647;
            } else if (k == "SIGNTYPE") {
                t->minValue = -1;
                t->maxValue = 1;
            }
            t->notNull = k == "NATURALN" || k == "POSITIVEN" || k == "SIMPLE_INTEGER";
            made[k] = std::move(t);
        }
    });
    auto it = made.find(n);
    return it == made.end() ? nullptr : it->second.get();
}

const Type* columnType(Column::Type t)
{
    switch (t) {
    case Column::Type::Number: return builtin::number();
    case Column::Type::Date: return builtin::date();
    default: return builtin::varchar2();
    }
}

class Resolver {
public:
    Resolver(CompileEnv& env, Unit& unit) : env_(env), unit_(unit) {}

    std::vector<CompileError>* errors = nullptr;
    std::set<int>* lines = nullptr;
    std::vector<std::string> bindNames;

    // ---- entry points ---------------------------------------------------------------
    void standalone(Routine& r)
    {
        Scope top;
        scope_ = &top;
        Symbol s;
        s.k = Symbol::K::Routines;
        s.routines.push_back(&r);
        top.syms[r.name] = s;
        routineSignature(r);
        routineBody(r);
    }

    void anonymous(Routine& r)
    {
        Scope top;
        scope_ = &top;
        routine_ = &r;
        level_ = 1;
        resolveRoutineBlock(r, *r.body);
    }

    void packageSpec(Block& spec, Scope& pkgScope)
    {
        scope_ = &pkgScope;
        routine_ = nullptr;
        level_ = 0;
        block_ = nullptr;
        inSpec_ = true;
        for (auto& d : spec.decls)
            declaration(d, &spec);
        inSpec_ = false;
        for (auto& [name, sym] : pkgScope.syms)
            unit_.publicSymbols[name] = sym;
    }

    void packageBody(Block& body, Scope& pkgScope)
    {
        Scope bodyScope;
        bodyScope.parent = &pkgScope;
        scope_ = &bodyScope;
        routine_ = nullptr;
        level_ = 0;
        block_ = &body;
        for (auto& d : body.decls)
            declaration(d, &body);
        statements(body.body);
        handlers(body);
        // Every routine the package declares needs its body.
        for (auto& [name, sym] : pkgScope.syms) {
            if (sym.k != Symbol::K::Routines)
                continue;
            for (Routine* r : sym.routines)
                if (!r->body && !r->definition)
                    record({r->pos, "PLS-00323: subprogram or cursor '" + r->name +
                                        "' is declared in a package specification and must be defined in the package body",
                            323},
                           {});
        }
    }

    // ---- errors ------------------------------------------------------------------------
    [[noreturn]] void fail(Pos p, const std::string& text, int number) { throw SemErr{p, text, number}; }

    void record(const SemErr& e, const std::string& companion, Pos cpos = {})
    {
        errors->push_back({e.pos.line, e.pos.col, e.text, e.number});
        if (!companion.empty())
            errors->push_back({cpos.line ? cpos.line : e.pos.line, cpos.line ? cpos.col : e.pos.col, companion, 0});
    }

private:
    // ---- scopes and slots ------------------------------------------------------------
    Symbol* lookup(const std::string& name)
    {
        for (Scope* s = scope_; s; s = s->parent) {
            auto it = s->syms.find(name);
            if (it != s->syms.end())
                return &it->second;
        }
        return nullptr;
    }
    void declare(const std::string& name, Symbol s, Pos p)
    {
        auto it = scope_->syms.find(name);
        if (it != scope_->syms.end()) {
            if (s.k == Symbol::K::Routines && it->second.k == Symbol::K::Routines) {
                for (Routine* r : s.routines)
                    it->second.routines.push_back(r);
                return;
            }
            fail(p, "PLS-00371: at most one declaration for '" + name + "' is permitted", 371);
        }
        if (level_ == 0)
            s.pkgUnit = &unit_;
        scope_->syms[name] = std::move(s);
    }
    int newSlot() { return level_ == 0 ? unit_.packageSlots++ : routine_->slotCount++; }
    void line(int l)
    {
        if (lines)
            lines->insert(l);
    }

    // A reference to a variable symbol from the current level.
    ExprPtr varRef(const Symbol& s, Pos p)
    {
        if (s.pkgUnit && s.pkgUnit != &unit_) {
            auto e = std::make_unique<PkgVarExpr>();
            e->unit = s.pkgUnit;
            e->slot = s.slot;
            e->pos = p;
            e->type = s.type;
            return e;
        }
        int levels = level_ - s.level;
        if (levels == 0) {
            auto e = std::make_unique<LocalExpr>();
            e->slot = s.slot;
            e->pos = p;
            e->type = s.type;
            return e;
        }
        auto e = std::make_unique<OuterExpr>();
        e->levels = levels;
        e->slot = s.slot;
        e->pos = p;
        e->type = s.type;
        return e;
    }

    // ---- types ---------------------------------------------------------------------------
    const Type* resolveType(const TypeSpec& ts)
    {
        if (ts.empty())
            return builtin::unknown();
        const std::string& n0 = ts.name[0];
        if (ts.attr == "TYPE") {
            // var%TYPE, rec.field%TYPE, table.column%TYPE, pkg.var%TYPE
            if (Symbol* s = lookup(n0); s && s->k == Symbol::K::Var) {
                const Type* t = s->type;
                for (size_t i = 1; i < ts.name.size(); ++i) {
                    int f = t && t->kind == TypeKind::Record ? t->fieldIndex(ts.name[i]) : -1;
                    if (f < 0)
                        fail(ts.pos, "PLS-00302: component '" + ts.name[i] + "' must be declared", 302);
                    t = t->fields[f].type;
                }
                return stripNotNull(t);
            }
            if (ts.name.size() >= 2) {
                if (const Symbol* m = packageMember(n0, ts.name[1], ts.pos); m && m->k == Symbol::K::Var)
                    return m->type;
                std::string table = ts.name.size() == 3 ? ts.name[0] + "." + ts.name[1] : n0;
                const std::string& col = ts.name.back();
                auto cols = describeTable(table, ts.pos);
                for (const auto& c : cols)
                    if (c.name == col)
                        return columnType(c.type);
                fail(ts.pos, "PLS-00302: component '" + col + "' must be declared", 302);
            }
            fail(ts.pos, "PLS-00201: identifier '" + dotted(ts.name) + "' must be declared", 201);
        }
        if (ts.attr == "ROWTYPE") {
            if (Symbol* s = lookup(n0); s && s->k == Symbol::K::Cursor && ts.name.size() == 1) {
                if (!s->cursor->rowType)
                    fail(ts.pos, "PLS-00320: the declaration of the type of this expression is incomplete or malformed",
                         320);
                return s->cursor->rowType;
            }
            std::string table = dotted(ts.name);
            auto cols = describeTable(table, ts.pos);
            Type* t = unit_.types.make(TypeKind::Record);
            t->name = table;
            t->rowtypeOf = table;
            for (const auto& c : cols)
                t->fields.push_back({c.name, columnType(c.type), nullptr});
            return t;
        }
        if (ts.name.size() == 1) {
            if (Symbol* s = lookup(n0)) {
                if (s->k == Symbol::K::Type)
                    return s->type;
                fail(ts.pos, "PLS-00488: '" + n0 + "' must be a type", 488);
            }
            const Type* b = builtinTypeNamed(n0);
            if (!b)
                fail(ts.pos, "PLS-00201: identifier '" + n0 + "' must be declared", 201);
            if (!ts.hasConstraint)
                return b;
            Type* t = unit_.types.copy(*b);
            t->precision = ts.precision;
            t->scale = ts.scale;
            if (b->kind == TypeKind::Integer || b->kind == TypeKind::PlsInteger || b->kind == TypeKind::Date ||
                b->kind == TypeKind::Boolean)
                fail(ts.pos, "PLS-00103: Encountered the symbol \"(\" when expecting one of the following:\n\n   "
                             ":= . ) , @ % default character\n",
                     103);
            return t;
        }
        // pkg.type, owner.pkg.type, native package types
        if (const Symbol* m = packageMember(n0, ts.name[1], ts.pos)) {
            if (m->k == Symbol::K::Type && ts.name.size() == 2)
                return m->type;
        }
        if (auto np = nativePackage(ts.name))
            if (const Type* t = np->type(ts.name.back()))
                return t;
        fail(ts.pos, "PLS-00201: identifier '" + dotted(ts.name) + "' must be declared", 201);
    }

    const Type* stripNotNull(const Type* t)
    {
        if (!t || !t->notNull)
            return t;
        Type* c = unit_.types.copy(*t);
        c->notNull = false;
        return c;
    }

    std::shared_ptr<const NativePackage> nativePackage(const std::vector<std::string>& name)
    {
        if (name.size() >= 2 && name[0] == "SYS")
            return findNativePackage(name[1]);
        return findNativePackage(name[0]);
    }

    static std::string dotted(const std::vector<std::string>& parts)
    {
        std::string s;
        for (const auto& p : parts)
            s += (s.empty() ? "" : ".") + p;
        return s;
    }

    std::vector<Column> describeTable(const std::string& table, Pos p)
    {
        auto it = tableCache_.find(table);
        if (it != tableCache_.end())
            return it->second;
        try {
            auto cols = env_.describe("SELECT * FROM " + table, {});
            tableCache_[table] = cols;
            return cols;
        } catch (const OraError&) {
            fail(p, "PLS-00201: identifier '" + table + "' must be declared", 201);
        }
    }

    const Type* describeQuery(SqlText& q)
    {
        std::vector<std::string> names;
        for (const auto& n : q.names)
            names.push_back(n.first);
        std::vector<Column> cols;
        try {
            cols = env_.describe(q.text, names);
        } catch (const OraError& e) {
            std::string msg = e.what();
            auto nl = msg.find('\n');
            if (nl != std::string::npos)
                msg.resize(nl);
            errors->push_back({q.pos.line, q.pos.col, "PL/SQL: " + msg, e.code()});
            fail(q.pos, "PL/SQL: SQL Statement ignored", 0);
        }
        Type* t = unit_.types.make(TypeKind::Record);
        t->name = "ROW";
        for (const auto& c : cols)
            t->fields.push_back({c.name, columnType(c.type)});
        return t;
    }

    // ---- units ---------------------------------------------------------------------------
    CompileEnv::Found findUnit(const std::string& owner, const std::string& name)
    {
        std::string key = owner + "." + name;
        auto it = unitCache_.find(key);
        if (it != unitCache_.end())
            return it->second;
        auto f = env_.findUnit(owner, name);
        unitCache_[key] = f;
        if (f.status != CompileEnv::Status::NotFound) {
            std::string dep = f.owner + "." + f.name;
            if (std::find(unit_.dependencies.begin(), unit_.dependencies.end(), dep) == unit_.dependencies.end())
                unit_.dependencies.push_back(dep);
            if (f.unit)
                unit_.pinned.push_back(f.unit);
        }
        return f;
    }

    // The public item `member` of package `pkg` (current schema), or nullptr.
    const Symbol* packageMember(const std::string& pkg, const std::string& member, Pos p)
    {
        if (lookup(pkg))
            return nullptr;
        auto f = findUnit(env_.schema(), pkg);
        if (f.status == CompileEnv::Status::Invalid)
            fail(p, "PLS-00905: object " + f.owner + "." + f.name + " is invalid", 905);
        if (f.status != CompileEnv::Status::Ok || f.type != "PACKAGE")
            return nullptr;
        auto it = f.unit->publicSymbols.find(member);
        return it == f.unit->publicSymbols.end() ? nullptr : &it->second;
    }

    // ---- declarations ------------------------------------------------------------------
    void declaration(Decl& d, Block* b)
    {
        Pos p;
        try {
            switch (d.k) {
            case Decl::K::Var: p = d.var->pos; varDecl(*d.var, b); break;
            case Decl::K::Type: p = d.type->pos; typeDecl(*d.type); break;
            case Decl::K::Cursor: p = d.cursor->pos; cursorDecl(*d.cursor); break;
            case Decl::K::Exception: {
                p = d.exception->pos;
                Symbol s;
                s.k = Symbol::K::Exception;
                s.exception = d.exception.get();
                if (level_ == 0)
                    d.exception->owner = unit_.owner + "." + unit_.name;
                declare(d.exception->name, s, p);
                break;
            }
            case Decl::K::Pragma: p = d.pragma->pos; pragma(*d.pragma); break;
            case Decl::K::Routine: p = d.routine->pos; routineDecl(*d.routine); break;
            }
        } catch (const SemErr& e) {
            if (e.number == 0 && e.text.rfind("PL/SQL: SQL", 0) == 0)
                record(e, "");
            else
                record(e, "PL/SQL: Item ignored", p);
        }
    }

    void varDecl(VarDecl& v, Block* b)
    {
        v.type = resolveType(v.spec);
        if (v.notNull) {
            Type* t = unit_.types.copy(*v.type);
            t->notNull = true;
            v.type = t;
        }
        if (v.constant && !v.init)
            fail(v.pos, "PLS-00322: declaration of a constant '" + v.name +
                            "' must contain an initialization assignment", 322);
        if ((v.notNull || v.type->notNull) && !v.init)
            fail(v.pos, "PLS-00218: a variable declared NOT NULL must have an initialization assignment", 218);
        if (v.init) {
            expr(v.init);
            checkAssignable(v.type, v.init.get());
            line(v.pos.line);
        }
        v.slot = newSlot();
        Symbol s;
        s.k = Symbol::K::Var;
        s.slot = v.slot;
        s.level = level_;
        s.type = v.type;
        s.readOnly = v.constant;
        s.isConstant = v.constant;
        declare(v.name, s, v.pos);
        if (b)
            b->symbols.push_back({v.name, v.slot, v.type});
    }

    void typeDecl(TypeDecl& d)
    {
        Type* t = nullptr;
        switch (d.form) {
        case TypeDecl::Form::Subtype: {
            t = unit_.types.copy(*resolveType(d.element));
            t->notNull = t->notNull || d.notNull;
            break;
        }
        case TypeDecl::Form::Record: {
            t = unit_.types.make(TypeKind::Record);
            for (size_t i = 0; i < d.fields.size(); ++i) {
                const auto& [name, spec] = d.fields[i];
                if (t->fieldIndex(name) >= 0)
                    fail(d.fieldPos[i], "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted",
                         410);
                t->fields.push_back({name, resolveType(spec), nullptr});
                if (i < d.fieldDefaults.size() && d.fieldDefaults[i]) {
                    expr(d.fieldDefaults[i]);
                    checkAssignable(t->fields.back().type, d.fieldDefaults[i].get());
                    t->fields.back().init = d.fieldDefaults[i].get();
                }
            }
            break;
        }
        case TypeDecl::Form::Table:
        case TypeDecl::Form::Varray: {
            const Type* el = resolveType(d.element);
            if (d.form == TypeDecl::Form::Varray) {
                t = unit_.types.make(TypeKind::Varray);
                t->limit = d.limit;
            } else if (!d.indexBy.empty()) {
                t = unit_.types.make(TypeKind::AssocArray);
                const Type* ix = resolveType(d.indexBy);
                t->indexByString = ix->isString();
            } else {
                t = unit_.types.make(TypeKind::NestedTable);
            }
            t->element = el;
            break;
        }
        case TypeDecl::Form::RefCursor: t = unit_.types.make(TypeKind::RefCursor); break;
        }
        if (d.form != TypeDecl::Form::Subtype || t->name.empty())
            t->name = d.name;
        if (d.form != TypeDecl::Form::Subtype) {
            t->owner = unit_.owner;
            if (level_ == 0)
                t->package = unit_.name;
        }
        d.type = t;
        Symbol s;
        s.k = Symbol::K::Type;
        s.type = t;
        declare(d.name, s, d.pos);
    }

    void cursorDecl(CursorDecl& c)
    {
        Scope ps;
        ps.parent = scope_;
        scope_ = &ps;
        try {
            for (auto& p : c.params) {
                p.type = resolveType(p.spec);
                if (p.def)
                    expr(p.def);
                p.slot = newSlot();
                Symbol s;
                s.k = Symbol::K::Var;
                s.slot = p.slot;
                s.level = level_;
                s.type = p.type;
                s.readOnly = true;
                declare(p.name, s, p.pos);
            }
            sqlNames(*c.query);
            c.rowType = c.returnSpec.empty() ? describeQuery(*c.query) : resolveType(c.returnSpec);
        } catch (...) {
            scope_ = ps.parent;
            throw;
        }
        scope_ = ps.parent;
        c.slot = newSlot();
        c.level = level_;
        Symbol s;
        s.k = Symbol::K::Cursor;
        s.cursor = &c;
        s.slot = c.slot;
        s.level = level_;
        s.type = builtin::refCursor();
        declare(c.name, s, c.pos);
    }

    void pragma(PragmaDecl& p)
    {
        if (p.pragma != "EXCEPTION_INIT")
            return;   // AUTONOMOUS_TRANSACTION, SERIALLY_REUSABLE, RESTRICT_REFERENCES: accepted
        if (p.rawArgs.size() != 2)
            fail(p.pos, "PLS-00702: second argument to PRAGMA EXCEPTION_INIT must be a numeric literal", 702);
        Symbol* s = lookup(p.rawArgs[0]);
        if (!s || s->k != Symbol::K::Exception)
            fail(p.pos, "PLS-00109: unknown exception name '" + p.rawArgs[0] + "' in PRAGMA EXCEPTION_INIT", 109);
        long long n = 0;
        try {
            n = std::stoll(p.rawArgs[1]);
        } catch (...) {
            fail(p.pos, "PLS-00702: second argument to PRAGMA EXCEPTION_INIT must be a numeric literal", 702);
        }
        if (n == 100)
            n = -1403;
        if (n >= 0 || n < -1000000)
            fail(p.pos, "PLS-00701: illegal ORACLE error number " + p.rawArgs[1] + " for PRAGMA EXCEPTION_INIT", 701);
        s->exception->code = static_cast<int>(-n);
    }

    // A nested or package-level routine: its signature now, its body right after.
    void routineDecl(Routine& r)
    {
        r.unit = &unit_;
        routineSignature(r);
        // A definition completes an earlier declaration with the same parameters.
        Routine* earlier = nullptr;
        for (Scope* sc = scope_; sc; sc = sc->parent) {
            auto it = sc->syms.find(r.name);
            if (it == sc->syms.end())
                continue;
            if (it->second.k == Symbol::K::Routines)
                for (Routine* o : it->second.routines)
                    if (!o->body && !o->definition && sameSignature(*o, r))
                        earlier = o;
            break;
        }
        if (earlier && r.body) {
            earlier->definition = &r;
            r.isPublic = earlier->isPublic;
            r.subprogramId = earlier->subprogramId;
            r.overload = earlier->overload;
        } else {
            Symbol s;
            s.k = Symbol::K::Routines;
            s.routines.push_back(&r);
            if (inSpec_)
                r.isPublic = true;
            declare(r.name, s, r.pos);
        }
        if (r.body)
            routineBody(r);
    }

    static bool sameSignature(const Routine& a, const Routine& b)
    {
        if (a.params.size() != b.params.size() || a.isFunction != b.isFunction)
            return false;
        for (size_t i = 0; i < a.params.size(); ++i)
            if (a.params[i].name != b.params[i].name || a.params[i].mode != b.params[i].mode)
                return false;
        return true;
    }

    void routineSignature(Routine& r)
    {
        r.unit = &unit_;
        for (auto& p : r.params) {
            try {
                p.type = resolveType(p.spec);
                if (p.def) {
                    expr(p.def);
                    if (p.mode != ParamMode::In)
                        fail(p.def->pos, "PLS-00230: OUT and IN OUT formal parameters may not have default expressions",
                             230);
                }
            } catch (const SemErr& e) {
                record(e, "PL/SQL: Item ignored", p.pos);
                p.type = builtin::unknown();
            }
        }
        for (size_t i = 0; i < r.params.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (r.params[i].name == r.params[j].name)
                    record({r.params[i].pos, "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted",
                            410},
                           "");
        if (r.isFunction) {
            try {
                r.returnType = resolveType(r.returnSpec);
            } catch (const SemErr& e) {
                record(e, "", {});
                r.returnType = builtin::unknown();
            }
        }
    }

    void routineBody(Routine& r)
    {
        Routine* savedRoutine = routine_;
        int savedLevel = level_;
        Scope* savedScope = scope_;
        const Block* savedBlock = block_;
        Scope params;
        params.parent = scope_;
        scope_ = &params;
        routine_ = &r;
        level_ = r.level;
        block_ = nullptr;
        for (auto& p : r.params) {
            p.slot = r.slotCount++;
            Symbol s;
            s.k = Symbol::K::Var;
            s.slot = p.slot;
            s.level = level_;
            s.type = p.type;
            s.readOnly = p.mode == ParamMode::In;
            try {
                declare(p.name, s, p.pos);
            } catch (const SemErr&) {
            }
        }
        resolveRoutineBlock(r, *r.body);
        for (auto& p : r.params)
            r.body->symbols.insert(r.body->symbols.begin(), DebugSymbol{p.name, p.slot, p.type});
        routine_ = savedRoutine;
        level_ = savedLevel;
        scope_ = savedScope;
        block_ = savedBlock;
    }

    void resolveRoutineBlock(Routine&, Block& b)
    {
        block(b);
        line(b.endLine);   // the END line: where a step stops before returning
    }

    // ---- blocks and statements -------------------------------------------------------------
    void block(Block& b)
    {
        Scope s;
        s.parent = scope_;
        scope_ = &s;
        b.parent = block_;
        const Block* saved = block_;
        block_ = &b;
        for (auto& d : b.decls)
            declaration(d, &b);
        for (auto& d : b.decls)
            if (d.k == Decl::K::Routine && !d.routine->body && !d.routine->definition)
                record({d.routine->pos, "PLS-00328: A subprogram body must be defined for the forward declaration of " +
                                            d.routine->name + ".",
                        328},
                       "");
        statements(b.body);
        handlers(b);
        block_ = saved;
        scope_ = s.parent;
    }

    void handlers(Block& b)
    {
        for (auto& h : b.handlers) {
            for (auto& n : h.names) {
                try {
                    resolveExceptionName(*n, h.exceptions, h.codes);
                } catch (const SemErr& e) {
                    record(e, "");
                }
            }
            ++inHandler_;
            statements(h.body);
            --inHandler_;
        }
    }

    void resolveExceptionName(NameExpr& n, std::vector<const ExceptionDecl*>& decls, std::vector<int>& codes)
    {
        std::string name = n.dotted();
        if (n.parts.size() == 1) {
            if (Symbol* s = lookup(name)) {
                if (s->k != Symbol::K::Exception)
                    fail(n.pos, "PLS-00201: identifier '" + name + "' must be declared", 201);
                decls.push_back(s->exception);
                return;
            }
            if (int c = predefinedException(name)) {
                codes.push_back(c);
                return;
            }
        } else if (n.parts.size() == 2) {
            if (n.parts[0].name == "STANDARD") {
                if (int c = predefinedException(n.parts[1].name)) {
                    codes.push_back(c);
                    return;
                }
            }
            if (const Symbol* m = packageMember(n.parts[0].name, n.parts[1].name, n.pos);
                m && m->k == Symbol::K::Exception) {
                decls.push_back(m->exception);
                return;
            }
        }
        fail(n.pos, "PLS-00201: identifier '" + name + "' must be declared", 201);
    }

    void statements(std::vector<StmtPtr>& list)
    {
        for (auto& s : list) {
            line(s->pos.line);
            try {
                statement(s);
                if (StmtPtr fused = fuseAssignment(s))
                    s = std::move(fused);
            } catch (const SemErr& e) {
                if (e.number == 0)
                    errors->push_back({e.pos.line, e.pos.col, e.text, 0});
                else
                    record(e, "PL/SQL: Statement ignored", s->pos);
            }
        }
    }

    void statement(StmtPtr& sp)
    {
        Stmt* s = sp.get();
        if (auto* a = dynamic_cast<AssignStmt*>(s)) {
            target(a->target);
            expr(a->value);
            checkAssignable(a->target->type, a->value.get());
        } else if (auto* c = dynamic_cast<CallStmt*>(s)) {
            auto* n = dynamic_cast<NameExpr*>(c->call.get());
            c->call = resolveName(*n, Want::Procedure);
        } else if (auto* i = dynamic_cast<IfStmt*>(s)) {
            for (auto& [cond, body] : i->branches) {
                line(cond->pos.line);
                condition(cond);
                statements(body);
            }
            statements(i->otherwise);
        } else if (auto* cs = dynamic_cast<CaseStmt*>(s)) {
            if (cs->selector)
                expr(cs->selector);
            for (auto& [w, body] : cs->whens) {
                if (cs->selector)
                    expr(w);
                else
                    condition(w);
                statements(body);
            }
            statements(cs->otherwise);
        } else if (auto* l = dynamic_cast<LoopStmt*>(s)) {
            loop(*l);
        } else if (auto* e = dynamic_cast<ExitStmt*>(s)) {
            if (loops_.empty())
                fail(s->pos, e->isContinue ? "PLS-00376: illegal EXIT/CONTINUE statement; it must appear inside a loop"
                                           : "PLS-00376: illegal EXIT/CONTINUE statement; it must appear inside a loop",
                     376);
            if (!e->label.empty() && std::find(loops_.begin(), loops_.end(), e->label) == loops_.end())
                fail(s->pos, "PLS-00373: EXIT label '" + e->label + "' must label a LOOP statement", 373);
            if (e->when)
                condition(e->when);
        } else if (auto* r = dynamic_cast<ReturnStmt*>(s)) {
            bool inFunction = routine_ && routine_->isFunction;
            if (r->value && !inFunction)
                fail(s->pos, "PLS-00372: In a procedure, RETURN statement cannot contain an expression", 372);
            if (!r->value && inFunction)
                fail(s->pos, "PLS-00503: RETURN <value> statement required for this return from function", 503);
            if (r->value) {
                expr(r->value);
                r->returnType = routine_->returnType;
                checkAssignable(r->returnType, r->value.get());
            }
        } else if (auto* rs = dynamic_cast<RaiseStmt*>(s)) {
            if (!rs->name) {
                if (!inHandler_)
                    fail(s->pos, "PLS-00367: a RAISE statement with no exception name must be inside an exception handler",
                         367);
            } else {
                std::vector<const ExceptionDecl*> d;
                std::vector<int> c;
                resolveExceptionName(*rs->name, d, c);
                if (!d.empty())
                    rs->exception = d[0];
                else
                    rs->predefinedCode = c[0];
            }
        } else if (auto* b = dynamic_cast<BlockStmt*>(s)) {
            block(*b->block);
        } else if (auto* q = dynamic_cast<SqlStmt*>(s)) {
            for (auto& t : q->into)
                target(t);
            for (auto& t : q->returning)
                target(t);
            sqlNames(*q->sql);
        } else if (auto* o = dynamic_cast<OpenStmt*>(s)) {
            open(*o);
        } else if (auto* f = dynamic_cast<FetchStmt*>(s)) {
            f->cursor = cursorExpr(*f->cursorName);
            for (auto& t : f->into)
                target(t);
            if (f->limit)
                expr(f->limit);
        } else if (auto* c2 = dynamic_cast<CloseStmt*>(s)) {
            c2->cursor = cursorExpr(*c2->cursorName);
        } else if (auto* ei = dynamic_cast<ExecImmediateStmt*>(s)) {
            expr(ei->text);
            for (auto& t : ei->into)
                target(t);
            for (auto& u : ei->usingArgs) {
                if (u.mode == 0)
                    expr(u.value);
                else
                    target(u.value);
            }
        }
    }

    void loop(LoopStmt& l)
    {
        loops_.push_back(l.label.empty() ? std::string("\x01") : l.label);
        struct PopLoop {
            std::vector<std::string>& v;
            ~PopLoop() { v.pop_back(); }
        } popLoop{loops_};
        Scope s;
        s.parent = scope_;
        switch (l.loopKind) {
        case LoopKind::Basic: break;
        case LoopKind::While: condition(l.cond); break;
        case LoopKind::ForRange: {
            expr(l.lo);
            expr(l.hi);
            checkNumeric(l.lo.get());
            checkNumeric(l.hi.get());
            scope_ = &s;
            l.indexSlot = newSlot();
            Symbol sym;
            sym.k = Symbol::K::Var;
            sym.slot = l.indexSlot;
            sym.level = level_;
            sym.type = builtin::plsInteger();
            sym.readOnly = true;
            declare(l.indexName, sym, l.indexPos);
            break;
        }
        case LoopKind::ForCursor: {
            if (l.inlineQuery) {
                sqlNames(*l.inlineQuery);
                l.rowType = describeQuery(*l.inlineQuery);
            } else {
                auto& n = *l.cursorName;
                Symbol* cs = lookup(n.parts[0].name);
                if (!cs || cs->k != Symbol::K::Cursor || n.parts.size() != 1)
                    fail(n.pos, "PLS-00201: identifier '" + n.dotted() + "' must be declared", 201);
                l.cursor = cursorTarget(*cs);
                bindCursorArgs(*cs->cursor, n.parts[0], l.cursorArgs, n.pos);
                l.rowType = cs->cursor->rowType;
            }
            scope_ = &s;
            l.indexSlot = newSlot();
            Symbol sym;
            sym.k = Symbol::K::Var;
            sym.slot = l.indexSlot;
            sym.level = level_;
            sym.type = l.rowType;
            sym.readOnly = true;
            declare(l.indexName, sym, l.indexPos);
            break;
        }
        }
        // The debugger reads loop indexes and records by name like variables.
        if (l.indexSlot >= 0 && block_)
            const_cast<Block*>(block_)->symbols.push_back(
                {l.indexName, l.indexSlot, l.loopKind == LoopKind::ForRange ? builtin::plsInteger() : l.rowType});
        statements(l.body);
        scope_ = s.parent;
    }

    CursorTarget cursorTarget(const Symbol& s)
    {
        CursorTarget t;
        t.decl = s.cursor;
        if (s.pkgUnit && s.pkgUnit != &unit_)
            t.pkg = s.pkgUnit;
        else
            t.levels = level_ - s.level;
        return t;
    }

    void bindCursorArgs(const CursorDecl& c, NamePart& part, std::vector<ExprPtr>& out, Pos p)
    {
        out.clear();
        out.resize(c.params.size());
        size_t pos = 0;
        for (auto& a : part.args) {
            size_t idx = pos;
            if (!a.name.empty()) {
                idx = c.params.size();
                for (size_t i = 0; i < c.params.size(); ++i)
                    if (c.params[i].name == a.name)
                        idx = i;
            } else {
                ++pos;
            }
            if (idx >= c.params.size() || out[idx])
                fail(p, "PLS-00306: wrong number or types of arguments in call to '" + c.name + "'", 306);
            expr(a.value);
            out[idx] = std::move(a.value);
        }
        for (size_t i = 0; i < c.params.size(); ++i)
            if (!out[i] && !c.params[i].def)
                fail(p, "PLS-00306: wrong number or types of arguments in call to '" + c.name + "'", 306);
    }

    void open(OpenStmt& o)
    {
        auto& n = *o.cursorName;
        Symbol* s = n.parts.size() == 1 ? lookup(n.parts[0].name) : nullptr;
        if (s && s->k == Symbol::K::Cursor) {
            if (o.forQuery || o.forDynamic)
                fail(n.pos, "PLS-00382: expression is of wrong type", 382);
            o.declared = cursorTarget(*s);
            bindCursorArgs(*s->cursor, n.parts[0], o.args, n.pos);
            return;
        }
        ExprPtr e = std::move(o.cursorName);
        target(e);
        if (!e->type || e->type->kind != TypeKind::RefCursor)
            fail(n.pos, "PLS-00382: expression is of wrong type", 382);
        o.cursor = std::move(e);
        if (o.forQuery)
            sqlNames(*o.forQuery);
        if (o.forDynamic)
            expr(o.forDynamic);
        for (auto& u : o.usingArgs)
            expr(u);
        if (!o.forQuery && !o.forDynamic)
            fail(n.pos, "PLS-00382: expression is of wrong type", 382);
    }

    ExprPtr cursorExpr(NameExpr& n)
    {
        Symbol* s = n.parts.size() == 1 ? lookup(n.parts[0].name) : nullptr;
        if (s && s->k == Symbol::K::Cursor)
            return varRef(*s, n.pos);
        ExprPtr e = resolveName(n, Want::Value);
        if (!e->type || e->type->kind != TypeKind::RefCursor)
            fail(n.pos, "PLS-00456: item '" + n.dotted() + "' is not a cursor", 456);
        return e;
    }

    // Keeps the names of an SQL text that are PL/SQL items, resolved.
    void sqlNames(SqlText& q)
    {
        std::vector<std::pair<std::string, ExprPtr>> kept;
        for (auto& [name, e] : q.names) {
            auto* n = dynamic_cast<NameExpr*>(e.get());
            if (!n)
                continue;
            if (!isValueName(*n))
                continue;
            try {
                ExprPtr r = resolveName(*n, Want::Value);
                kept.emplace_back(name, std::move(r));
            } catch (const SemErr&) {
            }
        }
        q.names = std::move(kept);
        for (const auto& b : q.binds)
            q.bindIndex.push_back(bindIndex(b));
        std::vector<SqlText::Element> elements;
        for (auto& el : q.elements) {
            auto* n = dynamic_cast<NameExpr*>(el.expr.get());
            Symbol* s = n ? lookup(n->parts[0].name) : nullptr;
            if (!s || s->k != Symbol::K::Var || !s->type || !s->type->isCollection())
                continue;
            try {
                el.expr = resolveName(*n, Want::Value);
            } catch (const SemErr&) {
                continue;
            }
            size_t at = q.text.find(el.text);
            if (at == std::string::npos)
                continue;
            el.bind = "PLSQL_B" + std::to_string(++elementBinds_);
            q.text.replace(at, el.text.size(), ":" + el.bind);
            elements.push_back(std::move(el));
        }
        q.elements = std::move(elements);
    }

    // Only variables (and their fields) can stand in SQL: a name that is a
    // routine, type or package is left to the SQL layer.
    bool isValueName(const NameExpr& n)
    {
        Symbol* s = lookup(n.parts[0].name);
        if (!s || s->k == Symbol::K::Routines) {
            if (Symbol* q = qualified(n))
                return q->k == Symbol::K::Var;
        }
        if (s)
            return s->k == Symbol::K::Var || s->k == Symbol::K::Cursor;
        if (n.parts.size() >= 2) {
            if (findNativePackage(n.parts[0].name))
                return findNativePackage(n.parts[0].name)->variable(n.parts[1].name) ||
                       findNativePackage(n.parts[0].name)->constant(n.parts[1].name);
            try {
                const Symbol* m = packageMember(n.parts[0].name, n.parts[1].name, n.pos);
                return m && m->k == Symbol::K::Var;
            } catch (const SemErr&) {
                return false;
            }
        }
        return false;
    }

    int bindIndex(const std::string& name)
    {
        std::string u = upper(name);
        for (size_t i = 0; i < bindNames.size(); ++i)
            if (upper(bindNames[i]) == u)
                return static_cast<int>(i);
        return -1;
    }
    static std::string upper(std::string s)
    {
        for (auto& c : s)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }

    // ---- expressions ---------------------------------------------------------------------------
    enum class Want { Value, Target, Procedure };

    void condition(ExprPtr& e)
    {
        expr(e);
        if (e->type && e->type->kind != TypeKind::Boolean && e->type->kind != TypeKind::Unknown)
            fail(e->pos, "PLS-00382: expression is of wrong type", 382);
    }

    void checkNumeric(const Expr* e)
    {
        if (e->type && (e->type->kind == TypeKind::Boolean || e->type->kind == TypeKind::Record ||
                        e->type->isCollection()))
            fail(e->pos, "PLS-00382: expression is of wrong type", 382);
    }

    void checkAssignable(const Type* to, const Expr* from)
    {
        if (!assignable(to, from->type))
            fail(from->pos, "PLS-00382: expression is of wrong type", 382);
    }

    void target(ExprPtr& e)
    {
        if (auto* b = dynamic_cast<BindExpr*>(e.get())) {
            b->index = bindIndex(b->name);
            b->type = builtin::unknown();
            return;
        }
        auto* n = dynamic_cast<NameExpr*>(e.get());
        if (!n)
            fail(e->pos, "PLS-00363: expression cannot be used as an assignment target", 363);
        std::string text = n->dotted();
        Pos p = n->pos;
        readOnlyTarget_ = false;
        ExprPtr r = resolveName(*n, Want::Target);
        e = std::move(r);
        bool ro = readOnlyTarget_;
        readOnlyTarget_ = false;
        if (!isTarget(*e) || ro)
            fail(p, "PLS-00363: expression '" + text + "' cannot be used as an assignment target", 363);
    }

    static bool isTarget(const Expr& e)
    {
        switch (e.kind) {
        case ExprKind::Local:
        case ExprKind::Outer:
        case ExprKind::PkgVar:
        case ExprKind::Field:
        case ExprKind::Element:
        case ExprKind::BindRef:
        case ExprKind::Bind:
        case ExprKind::NativeVar: return true;
        default: return false;
        }
    }

    void expr(ExprPtr& e)
    {
        switch (e->kind) {
        case ExprKind::Literal: return;
        case ExprKind::Name: {
            auto* n = static_cast<NameExpr*>(e.get());
            e = resolveName(*n, Want::Value);
            return;
        }
        case ExprKind::Bind: {
            auto* b = static_cast<BindExpr*>(e.get());
            b->index = bindIndex(b->name);
            b->type = builtin::unknown();
            return;
        }
        case ExprKind::Unary: {
            auto* u = static_cast<UnaryExpr*>(e.get());
            expr(u->a);
            checkNumeric(u->a.get());
            u->type = u->a->type && u->a->type->isNumeric() ? u->a->type : builtin::number();
            return;
        }
        case ExprKind::Binary: {
            auto* b = static_cast<BinaryExpr*>(e.get());
            expr(b->a);
            expr(b->b);
            binaryType(*b);
            return;
        }
        case ExprKind::And:
        case ExprKind::Or: {
            auto* l = static_cast<LogicalExpr*>(e.get());
            condition(l->a);
            condition(l->b);
            l->type = builtin::boolean();
            return;
        }
        case ExprKind::Not: {
            auto* n = static_cast<NotExpr*>(e.get());
            condition(n->a);
            n->type = builtin::boolean();
            return;
        }
        case ExprKind::IsNull: {
            auto* n = static_cast<IsNullExpr*>(e.get());
            expr(n->a);
            n->type = builtin::boolean();
            return;
        }
        case ExprKind::Like: {
            auto* l = static_cast<LikeExpr*>(e.get());
            expr(l->a);
            expr(l->pattern);
            if (l->escape)
                expr(l->escape);
            l->type = builtin::boolean();
            return;
        }
        case ExprKind::Between: {
            auto* b = static_cast<BetweenExpr*>(e.get());
            expr(b->a);
            expr(b->lo);
            expr(b->hi);
            b->type = builtin::boolean();
            return;
        }
        case ExprKind::In: {
            auto* in = static_cast<InExpr*>(e.get());
            expr(in->a);
            for (auto& x : in->list)
                expr(x);
            in->type = builtin::boolean();
            return;
        }
        case ExprKind::Case: {
            auto* c = static_cast<CaseExpr*>(e.get());
            if (c->selector)
                expr(c->selector);
            const Type* t = nullptr;
            for (auto& [w, v] : c->whens) {
                if (c->selector)
                    expr(w);
                else
                    condition(w);
                expr(v);
                if (!t && v->type && v->type->kind != TypeKind::Unknown)
                    t = v->type;
            }
            if (c->otherwise) {
                expr(c->otherwise);
                if (!t)
                    t = c->otherwise->type;
            }
            c->type = t ? t : builtin::unknown();
            return;
        }
        default: return;   // already resolved
        }
    }

    void binaryType(BinaryExpr& b)
    {
        const Type* ta = b.a->type;
        const Type* tb = b.b->type;
        auto bad = [&](const Type* t) {
            return t && (t->kind == TypeKind::Boolean || t->kind == TypeKind::Record || t->isCollection() ||
                         t->kind == TypeKind::RefCursor);
        };
        switch (b.op) {
        case BinOp::Concat:
            if (bad(ta) || bad(tb))
                fail(bad(ta) ? b.a->pos : b.b->pos, "PLS-00382: expression is of wrong type", 382);
            b.type = builtin::varchar2();
            return;
        case BinOp::Eq:
        case BinOp::Ne:
        case BinOp::Lt:
        case BinOp::Le:
        case BinOp::Gt:
        case BinOp::Ge:
            if (ta && tb && ta->kind != TypeKind::Unknown && tb->kind != TypeKind::Unknown &&
                ((ta->kind == TypeKind::Boolean) != (tb->kind == TypeKind::Boolean)))
                fail(b.b->pos, "PLS-00382: expression is of wrong type", 382);
            if (ta && (ta->kind == TypeKind::Record || ta->isCollection()))
                fail(b.a->pos, "PLS-00306: wrong number or types of arguments in call to '" + opName(b.op) + "'", 306);
            b.type = builtin::boolean();
            return;
        default:
            if (bad(ta) || bad(tb))
                fail(bad(ta) ? b.a->pos : b.b->pos, "PLS-00382: expression is of wrong type", 382);
            if (ta && ta->kind == TypeKind::Date && (b.op == BinOp::Add || b.op == BinOp::Sub))
                b.type = (tb && tb->kind == TypeKind::Date) ? builtin::number() : builtin::date();
            else if (ta && tb && ta->kind == TypeKind::PlsInteger && tb->kind == TypeKind::PlsInteger &&
                     b.op != BinOp::Div && b.op != BinOp::Pow)
                b.type = builtin::plsInteger();
            else
                b.type = builtin::number();
            return;
        }
    }

    static std::string opName(BinOp op)
    {
        switch (op) {
        case BinOp::Eq: return "=";
        case BinOp::Ne: return "!=";
        case BinOp::Lt: return "<";
        case BinOp::Le: return "<=";
        case BinOp::Gt: return ">";
        default: return ">=";
        }
    }

    // ---- names -----------------------------------------------------------------------------------
    ExprPtr resolveName(NameExpr& n, Want want)
    {
        std::string full = n.dotted();
        auto& parts = n.parts;
        size_t i = 0;
        ExprPtr e;
        const std::string& p0 = parts[0].name;

        if (!n.attr.empty()) {
            auto a = std::make_unique<CursorAttrExpr>();
            a->pos = n.pos;
            a->attr = n.attr;
            a->type = n.attr == "ROWCOUNT" ? builtin::number() : builtin::boolean();
            if (parts.size() == 1 && p0 == "SQL")
                return a;
            Symbol* s = parts.size() == 1 ? lookup(p0) : nullptr;
            if (s && s->k == Symbol::K::Cursor) {
                a->cursor = varRef(*s, n.pos);
                return a;
            }
            n.attr.clear();
            ExprPtr c = resolveName(n, Want::Value);
            if (!c->type || c->type->kind != TypeKind::RefCursor)
                fail(n.pos, "PLS-00201: identifier '" + full + "' must be declared", 201);
            a->cursor = std::move(c);
            return a;
        }

        Symbol* own = lookup(p0);
        Symbol* q = (!own || own->k == Symbol::K::Routines) ? qualified(n) : nullptr;
        if (own && !q) {
            e = fromSymbol(*own, n, i, want, &unit_);
        } else if (q) {
            // PKG.ITEM inside package PKG, PROC.PARAM inside PROC: the qualifier names this unit
            i = 1;
            e = fromSymbol(*q, n, i, want, &unit_);
        } else if ((p0 == "SQLCODE" || p0 == "SQLERRM") && parts.size() == 1) {
            auto c = std::make_unique<SqlCodeExpr>();
            c->pos = n.pos;
            c->errm = p0 == "SQLERRM";
            c->type = c->errm ? builtin::varchar2() : builtin::number();
            if (parts[0].hasArgs) {
                if (!c->errm || parts[0].args.size() != 1)
                    fail(n.pos, "PLS-00306: wrong number or types of arguments in call to '" + p0 + "'", 306);
                expr(parts[0].args[0].value);
                c->code = std::move(parts[0].args[0].value);
            }
            i = 1;
            e = std::move(c);
        } else if (const BuiltinInfo* b = findBuiltin(p0); b && (parts.size() == 1 || parts[0].hasArgs)) {
            e = builtinCall(*b, parts[0], want);
            if (ExprPtr fused = fuseBuiltin(e))
                e = std::move(fused);
            i = 1;
        } else if (p0 == "STANDARD" && parts.size() > 1 && findBuiltin(parts[1].name)) {
            e = builtinCall(*findBuiltin(parts[1].name), parts[1], want);
            i = 2;
        } else {
            e = fromUnitName(n, i, want, full);
        }
        // Suffixes: .field, (index), .method
        while (i < parts.size())
            e = suffix(std::move(e), parts[i++], want, full);
        if (want == Want::Procedure && e->kind != ExprKind::Call && e->kind != ExprKind::NativeCall &&
            e->kind != ExprKind::Builtin && e->kind != ExprKind::Method)
            fail(n.pos, "PLS-00221: '" + parts.back().name + "' is not a procedure or is undefined", 221);
        return e;
    }

    // The item a name qualified by this unit or an enclosing routine stands for.
    Symbol* qualified(const NameExpr& n)
    {
        if (n.parts.size() < 2 || n.parts[0].hasArgs)
            return nullptr;
        const std::string& q = n.parts[0].name;
        bool names = q == unit_.name && !unit_.name.empty();
        for (const Routine* r = routine_; r && !names; r = r->parent)
            names = r->name == q;
        for (const Block* b = block_; b && !names; b = b->parent)
            names = b->label == q;
        return names ? lookup(n.parts[1].name) : nullptr;
    }

    ExprPtr fromUnitName(NameExpr& n, size_t& i, Want want, const std::string& full)
    {
        auto& parts = n.parts;
        const std::string& p0 = parts[0].name;
        // A native package: DBMS_OUTPUT.PUT_LINE, SYS.DBMS_DEBUG.CONTINUE
        size_t nb = (p0 == "SYS" && parts.size() > 2) ? 1 : 0;
        if (auto np = findNativePackage(parts[nb].name); np && parts.size() > nb + 1) {
            i = nb + 2;
            return nativeMember(*np, parts[nb + 1], n.pos, want);
        }
        auto f = findUnit(env_.schema(), p0);
        size_t next = 1;
        if (f.status == CompileEnv::Status::NotFound && parts.size() > 1 && env_.userExists(p0)) {
            f = findUnit(p0, parts[1].name);
            next = 2;
        }
        if (f.status == CompileEnv::Status::Invalid)
            fail(n.pos, "PLS-00905: object " + f.owner + "." + f.name + " is invalid", 905);
        if (f.status == CompileEnv::Status::NotFound) {
            // seq.NEXTVAL / seq.CURRVAL (and owner.seq.NEXTVAL) in an expression
            const std::string& last = parts.back().name;
            if ((last == "NEXTVAL" || last == "CURRVAL") && parts.size() <= 3 && !parts.back().hasArgs) {
                auto e = std::make_unique<SqlValueExpr>();
                e->pos = n.pos;
                e->sql = "SELECT " + full + " FROM DUAL";
                e->type = builtin::number();
                i = parts.size();
                return e;
            }
            fail(n.pos, "PLS-00201: identifier '" + full + "' must be declared", 201);
        }
        Symbol s;
        s.k = Symbol::K::Unit;
        s.unit = f.unit;
        i = next - 1;
        return fromSymbol(s, n, i, want, f.unit.get());
    }

    // Consumes parts[i...] starting from a symbol; leaves i after what it used.
    ExprPtr fromSymbol(const Symbol& s, NameExpr& n, size_t& i, Want want, const Unit* via)
    {
        auto& parts = n.parts;
        NamePart& part = parts[i];
        switch (s.k) {
        case Symbol::K::Var: {
            ExprPtr e = varRef(s, part.pos);
            if (s.readOnly && want == Want::Target)
                readOnlyTarget_ = true;
            ++i;
            if (part.hasArgs)
                e = index(std::move(e), part, n.dotted());
            return e;
        }
        case Symbol::K::Routines: {
            ++i;
            return call(s.routines, part, want, via);
        }
        case Symbol::K::Cursor: fail(part.pos, "PLS-00382: expression is of wrong type", 382);
        case Symbol::K::Exception:
            fail(part.pos, "PLS-00321: expression '" + part.name + "' is inappropriate as the left hand side of an "
                                                                   "assignment statement",
                 321);
        case Symbol::K::Type: {
            ++i;
            if (!s.type->isCollection() || s.type->kind == TypeKind::AssocArray)
                fail(part.pos, "PLS-00222: no function with name '" + part.name + "' exists in this scope", 222);
            auto c = std::make_unique<ConstructorExpr>();
            c->pos = part.pos;
            c->type = s.type;
            for (auto& a : part.args) {
                expr(a.value);
                checkAssignable(s.type->element, a.value.get());
                c->args.push_back(std::move(a.value));
            }
            return c;
        }
        case Symbol::K::Unit: {
            const Unit& u = *s.unit;
            if (u.type != "PACKAGE") {
                ++i;
                if (part.name != u.name)
                    fail(part.pos, "PLS-00201: identifier '" + n.dotted() + "' must be declared", 201);
                return call({u.main}, part, want, &u);
            }
            if (i + 1 >= parts.size())
                fail(part.pos, "PLS-00221: '" + u.name + "' is not a procedure or is undefined", 221);
            NamePart& m = parts[i + 1];
            auto it = u.publicSymbols.find(m.name);
            if (it == u.publicSymbols.end())
                fail(m.pos, "PLS-00302: component '" + m.name + "' must be declared", 302);
            ++i;
            return fromSymbol(it->second, n, i, want, &u);
        }
        default: break;
        }
        fail(part.pos, "PLS-00201: identifier '" + n.dotted() + "' must be declared", 201);
    }

    ExprPtr suffix(ExprPtr e, NamePart& part, Want want, const std::string& full)
    {
        const Type* t = e->type;
        if (t && t->kind == TypeKind::Record) {
            int f = t->fieldIndex(part.name);
            if (f < 0)
                fail(part.pos, "PLS-00302: component '" + part.name + "' must be declared", 302);
            auto fe = std::make_unique<FieldExpr>();
            fe->pos = part.pos;
            fe->base = std::move(e);
            fe->index = f;
            fe->type = t->fields[f].type;
            ExprPtr r = std::move(fe);
            if (part.hasArgs)
                r = index(std::move(r), part, full);
            return r;
        }
        if (t && t->isCollection()) {
            static const std::map<std::string, CollMethod> methods = {
                {"COUNT", CollMethod::Count}, {"FIRST", CollMethod::First}, {"LAST", CollMethod::Last},
                {"NEXT", CollMethod::Next},   {"PRIOR", CollMethod::Prior}, {"EXISTS", CollMethod::Exists},
                {"DELETE", CollMethod::Delete}, {"EXTEND", CollMethod::Extend}, {"TRIM", CollMethod::Trim},
                {"LIMIT", CollMethod::Limit}};
            auto it = methods.find(part.name);
            if (it == methods.end())
                fail(part.pos, "PLS-00302: component '" + part.name + "' must be declared", 302);
            auto m = std::make_unique<MethodExpr>();
            m->pos = part.pos;
            m->method = it->second;
            m->base = std::move(e);
            for (auto& a : part.args) {
                expr(a.value);
                m->args.push_back(std::move(a.value));
            }
            bool proc = m->method == CollMethod::Delete || m->method == CollMethod::Extend || m->method == CollMethod::Trim;
            bool needsArg = m->method == CollMethod::Next || m->method == CollMethod::Prior || m->method == CollMethod::Exists;
            if ((needsArg && m->args.size() != 1) || m->args.size() > 2 || (!proc && !needsArg && !m->args.empty()))
                fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + part.name + "'", 306);
            if (proc != (want == Want::Procedure))
                fail(part.pos, proc ? "PLS-00222: no function with name '" + part.name + "' exists in this scope"
                                    : "PLS-00221: '" + part.name + "' is not a procedure or is undefined",
                     proc ? 222 : 221);
            if (m->method == CollMethod::Exists)
                m->type = builtin::boolean();
            else if (m->method == CollMethod::Next || m->method == CollMethod::Prior ||
                     m->method == CollMethod::First || m->method == CollMethod::Last)
                m->type = m->base->type->indexByString ? builtin::varchar2() : builtin::plsInteger();
            else
                m->type = builtin::plsInteger();
            return m;
        }
        fail(part.pos, "PLS-00487: Invalid reference to variable '" + full.substr(0, full.rfind('.')) + "'", 487);
    }

    ExprPtr index(ExprPtr base, NamePart& part, const std::string& full)
    {
        const Type* t = base->type;
        if (!t || !t->isCollection())
            fail(part.pos, "PLS-00222: no function with name '" + full + "' exists in this scope", 222);
        if (part.args.size() != 1 || !part.args[0].name.empty())
            fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + part.name + "'", 306);
        auto e = std::make_unique<ElementExpr>();
        e->pos = part.pos;
        expr(part.args[0].value);
        e->index = std::move(part.args[0].value);
        e->base = std::move(base);
        e->type = t->element;
        return e;
    }

    ExprPtr builtinCall(const BuiltinInfo& b, NamePart& part, Want want)
    {
        int n = static_cast<int>(part.args.size());
        if (n < b.minArgs || n > b.maxArgs)
            fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + part.name + "'", 306);
        if ((b.result == 'P') != (want == Want::Procedure))
            fail(part.pos, b.result == 'P' ? "PLS-00222: no function with name '" + part.name + "' exists in this scope"
                                           : "PLS-00221: '" + part.name + "' is not a procedure or is undefined",
                 b.result == 'P' ? 222 : 221);
        auto e = std::make_unique<BuiltinExpr>();
        e->pos = part.pos;
        e->name = b.name;
        e->fn = b.fn;
        e->lazy = b.lazy;
        for (auto& a : part.args) {
            expr(a.value);
            e->args.push_back(std::move(a.value));
        }
        switch (b.result) {
        case 'N': e->type = builtin::number(); break;
        case 'S': e->type = builtin::varchar2(); break;
        case 'D': e->type = builtin::date(); break;
        case 'B': e->type = builtin::boolean(); break;
        case 'A': e->type = e->args.empty() ? builtin::unknown() : e->args[0]->type; break;
        default: e->type = builtin::unknown(); break;
        }
        if (!e->type)
            e->type = builtin::unknown();
        return e;
    }

    ExprPtr nativeMember(const NativePackage& np, NamePart& part, Pos p, Want want)
    {
        auto rs = np.routines(part.name);
        if (!rs.empty())
            return nativeCall(rs, part, want);
        if (auto c = np.constant(part.name)) {
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            e->value = c->first;
            e->type = c->second;
            return e;
        }
        if (auto v = np.variable(part.name)) {
            auto e = std::make_unique<NativeVarExpr>();
            e->pos = p;
            e->package = np.name();
            e->name = part.name;
            e->type = v->second;
            return e;
        }
        fail(part.pos, "PLS-00302: component '" + part.name + "' must be declared", 302);
    }

    // Maps call arguments onto parameters (positional, named, mixed).
    template <class P>
    bool bindArgs(const std::vector<P>& params, std::vector<Arg>& args, std::vector<int>& where)
    {
        where.assign(params.size(), -1);
        bool named = false;
        size_t pos = 0;
        for (size_t a = 0; a < args.size(); ++a) {
            size_t idx;
            if (args[a].name.empty()) {
                if (named)
                    return false;
                idx = pos++;
            } else {
                named = true;
                idx = params.size();
                for (size_t k = 0; k < params.size(); ++k)
                    if (params[k].name == args[a].name)
                        idx = k;
            }
            if (idx >= params.size() || where[idx] >= 0)
                return false;
            where[idx] = static_cast<int>(a);
        }
        for (size_t k = 0; k < params.size(); ++k)
            if (where[k] < 0 && !hasDefault(params[k]))
                return false;
        return true;
    }
    static bool hasDefault(const Param& p) { return p.def != nullptr; }
    static bool hasDefault(const NativeParam& p) { return p.hasDefault; }

    // Resolves every argument as a value, remembering its text and whether
    // it names a read-only item (for OUT and IN OUT parameters).
    struct ArgInfo {
        std::string text;
        bool readOnly = false;
        bool name = false;
    };
    std::vector<ArgInfo> resolveArgs(std::vector<Arg>& args)
    {
        std::vector<ArgInfo> info;
        for (auto& a : args) {
            ArgInfo ai;
            if (auto* ne = dynamic_cast<NameExpr*>(a.value.get())) {
                ai.text = ne->dotted();
                ai.name = true;
                Symbol* s = lookup(ne->parts[0].name);
                ai.readOnly = s && s->k == Symbol::K::Var && s->readOnly;
            } else if (a.value->kind == ExprKind::Bind) {
                ai.name = true;
            } else {
                ai.text = exprText(*a.value);
            }
            expr(a.value);
            info.push_back(std::move(ai));
        }
        return info;
    }

    template <class P>
    bool typesFit(const std::vector<P>& params, const std::vector<Arg>& args, const std::vector<int>& where)
    {
        for (size_t k = 0; k < params.size(); ++k) {
            if (where[k] < 0)
                continue;
            const Type* at = args[where[k]].value->type;
            if (at && params[k].type && !assignable(params[k].type, at))
                return false;
        }
        return true;
    }

    template <class P>
    void checkOutArgs(const std::vector<P>& params, std::vector<Arg>& args, const std::vector<int>& where,
                      const std::vector<ArgInfo>& info)
    {
        for (size_t k = 0; k < params.size(); ++k) {
            if (where[k] < 0 || params[k].mode == ParamMode::In)
                continue;
            const ArgInfo& ai = info[where[k]];
            Expr& e = *args[where[k]].value;
            if (!ai.name || !isTarget(e) || ai.readOnly)
                fail(e.pos, "PLS-00363: expression '" + ai.text + "' cannot be used as an assignment target", 363);
        }
    }

    ExprPtr call(const std::vector<Routine*>& cands, NamePart& part, Want want, const Unit* via)
    {
        auto info = resolveArgs(part.args);
        const Routine* chosen = nullptr;
        std::vector<int> where;
        for (int pass = 0; pass < 2 && !chosen; ++pass) {
            for (Routine* r : cands) {
                std::vector<int> w;
                if (!bindArgs(r->params, part.args, w))
                    continue;
                if (pass == 0 && !typesFit(r->params, part.args, w))
                    continue;
                chosen = r;
                where = w;
                break;
            }
            if (cands.size() == 1 && chosen == nullptr)
                break;
        }
        const std::string& name = part.name;
        if (!chosen)
            fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + name + "'", 306);
        if (!typesFit(chosen->params, part.args, where))
            fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + name + "'", 306);
        if (chosen->isFunction && want == Want::Procedure)
            fail(part.pos, "PLS-00221: '" + name + "' is not a procedure or is undefined", 221);
        if (!chosen->isFunction && want != Want::Procedure)
            fail(part.pos, "PLS-00222: no function with name '" + name + "' exists in this scope", 222);
        checkOutArgs(chosen->params, part.args, where, info);
        auto c = std::make_unique<CallExpr>();
        c->pos = part.pos;
        c->callee = chosen;
        c->type = chosen->isFunction ? chosen->returnType : nullptr;
        c->args.resize(chosen->params.size());
        c->allInSupplied = chosen->params.size() <= 8;
        for (size_t k = 0; k < chosen->params.size(); ++k) {
            if (where[k] >= 0)
                c->args[k] = std::move(part.args[where[k]].value);
            if (where[k] < 0 || chosen->params[k].mode != ParamMode::In)
                c->allInSupplied = false;
        }
        if (chosen->unit == &unit_ && via == &unit_) {
            c->levels = level_ - (chosen->level - 1);
        } else {
            c->levels = -1;
            c->calleeUnit = chosen->unit && chosen->unit->type == "PACKAGE" ? chosen->unit : nullptr;
        }
        return c;
    }

    static std::string exprText(const Expr& e)
    {
        if (e.kind == ExprKind::Literal) {
            const auto& l = static_cast<const LiteralExpr&>(e);
            if (l.value.kind() == Val::K::Str)
                return "'" + l.value.asStr() + "'";
            return toText(l.value);
        }
        return "";
    }

    ExprPtr nativeCall(const std::vector<const NativeRoutine*>& cands, NamePart& part, Want want)
    {
        auto info = resolveArgs(part.args);
        const NativeRoutine* chosen = nullptr;
        std::vector<int> where;
        for (int pass = 0; pass < 2 && !chosen; ++pass) {
            for (const NativeRoutine* r : cands) {
                std::vector<int> w;
                if (!bindArgs(r->params, part.args, w))
                    continue;
                if (pass == 0 && !typesFit(r->params, part.args, w))
                    continue;
                chosen = r;
                where = w;
                break;
            }
        }
        if (!chosen || !typesFit(chosen->params, part.args, where))
            fail(part.pos, "PLS-00306: wrong number or types of arguments in call to '" + part.name + "'", 306);
        bool isFunction = chosen->returnType != nullptr;
        if (isFunction && want == Want::Procedure)
            fail(part.pos, "PLS-00221: '" + part.name + "' is not a procedure or is undefined", 221);
        if (!isFunction && want != Want::Procedure)
            fail(part.pos, "PLS-00222: no function with name '" + part.name + "' exists in this scope", 222);
        checkOutArgs(chosen->params, part.args, where, info);
        auto c = std::make_unique<NativeCallExpr>();
        c->pos = part.pos;
        c->callee = chosen;
        c->type = chosen->returnType;
        c->args.resize(chosen->params.size());
        for (size_t k = 0; k < chosen->params.size(); ++k)
            if (where[k] >= 0)
                c->args[k] = std::move(part.args[where[k]].value);
        return c;
    }

    CompileEnv& env_;
    Unit& unit_;
    Scope* scope_ = nullptr;
    Routine* routine_ = nullptr;
    int level_ = 1;
    const Block* block_ = nullptr;
    int inHandler_ = 0;
    bool inSpec_ = false;
    bool readOnlyTarget_ = false;
    std::vector<std::string> loops_;
    int elementBinds_ = 0;
    std::map<std::string, std::vector<Column>> tableCache_;
    std::map<std::string, CompileEnv::Found> unitCache_;
};

void moveRoutines(ParsedSource& p, Unit& u)
{
    for (auto& r : p.routines) {
        r->unit = &u;
        u.routines.push_back(std::move(r));
    }
    p.routines.clear();
}

void numberOverloads(Unit& u)
{
    // ALL_ARGUMENTS numbers the public routines of a package in the order the
    // package declares them (SUBPROGRAM_ID) and overloads of one name 1, 2 ... (OVERLOAD).
    std::map<std::string, std::vector<Routine*>> byName;
    int id = 1;
    for (auto& r : u.routines) {
        if (!r->isPublic || r->body)
            continue;
        r->subprogramId = id++;
        byName[r->name].push_back(r.get());
    }
    for (auto& [name, list] : byName)
        if (list.size() > 1)
            for (size_t i = 0; i < list.size(); ++i)
                list[i]->overload = static_cast<int>(i + 1);
    for (auto& r : u.routines)
        if (r->definition) {
            auto* d = const_cast<Routine*>(r->definition);
            d->overload = r->overload;
            d->subprogramId = r->subprogramId;
            d->isPublic = true;
        }
}

} // namespace

CompileResult compileRoutineUnit(CompileEnv& env, std::string_view source, const std::string& owner)
{
    CompileResult res;
    auto parsed = parseSource(source);
    res.unit = std::make_shared<Unit>();
    Unit& u = *res.unit;
    u.owner = owner;
    u.name = parsed.name;
    u.type = parsed.kind == SourceKind::Function ? "FUNCTION" : "PROCEDURE";
    res.errors = parsed.errors;
    u.main = parsed.main;
    moveRoutines(parsed, u);
    if (!res.errors.empty() || !u.main || !u.main->body)
        return res;
    Resolver r(env, u);
    r.errors = &res.errors;
    r.lines = &u.lines;
    env.started(res.unit);
    r.standalone(*u.main);
    return res;
}

CompileResult compilePackage(CompileEnv& env, std::string_view spec, const std::string* body, const std::string& owner)
{
    CompileResult res;
    auto ps = parseSource(spec);
    res.unit = std::make_shared<Unit>();
    Unit& u = *res.unit;
    u.owner = owner;
    u.name = ps.name;
    u.type = "PACKAGE";
    res.errors = ps.errors;
    moveRoutines(ps, u);
    u.spec = std::move(ps.packageBlock);
    if (!res.errors.empty() || !u.spec)
        return res;
    Scope pkgScope;
    Resolver r(env, u);
    r.errors = &res.errors;
    r.lines = &u.specLines;
    r.packageSpec(*u.spec, pkgScope);
    if (body && res.errors.empty()) {
        auto pb = parseSource(*body);
        res.bodyErrors = pb.errors;
        u.hasBody = true;
        moveRoutines(pb, u);
        u.body = std::move(pb.packageBlock);
        if (res.bodyErrors.empty() && u.body) {
            r.errors = &res.bodyErrors;
            r.lines = &u.bodyLines;
            r.packageBody(*u.body, pkgScope);
        }
    }
    numberOverloads(u);
    return res;
}

CompileResult compileAnonymous(CompileEnv& env, std::string_view source, const std::vector<std::string>& bindNames)
{
    CompileResult res;
    auto parsed = parseSource(source);
    res.unit = std::make_shared<Unit>();
    Unit& u = *res.unit;
    u.type = "ANONYMOUS BLOCK";
    res.errors = parsed.errors;
    u.main = parsed.main;
    moveRoutines(parsed, u);
    if (!res.errors.empty() || !u.main || !u.main->body)
        return res;
    Resolver r(env, u);
    r.errors = &res.errors;
    r.lines = &u.lines;
    r.bindNames = bindNames;
    r.anonymous(*u.main);
    return res;
}

} // namespace sandbox::plsql
