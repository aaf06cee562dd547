// plsql_engine.cpp - the PL/SQL engine: which statements it takes, the DDL
// of stored units (CREATE, DROP, ALTER ... COMPILE), anonymous blocks with
// bind variables, stored functions called from SQL, and the unit cache.
#include "sandbox/plsql/plsql_engine.h"

#include "sandbox/debug/dbms_debug.h"
#include "sandbox/plsql/engine_impl.h"
#include "sandbox/plsql/lexer.h"
#include "sandbox/plsql/native.h"
#include "sandbox/plsql/parser.h"

#include <algorithm>
#include <set>

namespace sandbox::plsql {
namespace {

std::vector<Token> headTokens(std::string_view text)
{
    // Only the first few tokens decide; tokenizing a prefix keeps routing cheap.
    size_t n = std::min<size_t>(text.size(), 400);
    return tokenize(text.substr(0, n));
}

// The one error a package body gets while its specification does not compile.
std::vector<CompileError> invalidSpec(const std::string& owner, const std::string& name)
{
    return {{1, 1, "PLS-00905: object " + owner + "." + name + " is invalid", 905}};
}

bool isUnitKind(const Token& t)
{
    return t.isWord("PROCEDURE") || t.isWord("FUNCTION") || t.isWord("PACKAGE");
}

} // namespace

EngineImpl::EngineImpl()
{
    registerDbmsOutput();
    registerDbmsUtility();
    debug::registerDbmsDebug(&unitLineMap);
}

bool EngineImpl::handles(std::string_view statement) const
{
    auto t = headTokens(statement);
    const Token& a = t[0];
    if (a.isWord("DECLARE") || a.isWord("BEGIN") || a.isOp("<<") || a.isWord("CALL"))
        return true;
    if (a.isWord("CREATE")) {
        size_t i = 1;
        if (t[i].isWord("OR") && t[i + 1].isWord("REPLACE"))
            i += 2;
        if (t[i].isWord("EDITIONABLE") || t[i].isWord("NONEDITIONABLE"))
            ++i;
        return isUnitKind(t[i]) || t[i].isWord("TRIGGER") || t[i].isWord("TYPE");
    }
    if (a.isWord("DROP"))
        return isUnitKind(t[1]);
    if (a.isWord("ALTER")) {
        if (isUnitKind(t[1]))
            return true;
        return t[1].isWord("SESSION") && t[2].isWord("SET") && t[3].isWord("PLSQL_DEBUG");
    }
    return false;
}

ExecResult EngineImpl::execute(SessionServices& s, const std::string& statement, std::vector<BindVar>& binds)
{
    auto t = headTokens(statement);
    const Token& a = t[0];
    if (a.isWord("CREATE"))
        return create(s, statement);
    if (a.isWord("DROP"))
        return drop(s, statement);
    if (a.isWord("ALTER")) {
        if (t[1].isWord("SESSION")) {
            // ALTER SESSION SET PLSQL_DEBUG = TRUE | FALSE
            size_t i = 4;
            if (t[i].isOp("="))
                ++i;
            if (!t[i].isWord("TRUE") && !t[i].isWord("FALSE"))
                throw OraError::make(2248, "invalid option for ALTER SESSION");
            plsqlSession(s).plsqlDebug = t[i].isWord("TRUE");
            return {};
        }
        return alter(s, statement);
    }
    if (a.isWord("CALL")) {
        // CALL name(args) [INTO :bind]
        std::string body = statement.substr(a.end);
        std::string into;
        auto toks = tokenize(body);
        for (size_t i = 0; i + 1 < toks.size(); ++i)
            if (toks[i].isWord("INTO") && toks[i + 1].kind == Tok::Bind) {
                into = ":" + toks[i + 1].text;
                body = body.substr(0, toks[i].begin);
            }
        while (!body.empty() && (std::isspace(static_cast<unsigned char>(body.back())) || body.back() == ';'))
            body.pop_back();
        std::string block = into.empty() ? "BEGIN " + body + "; END;" : "BEGIN " + into + " := " + body + "; END;";
        return runAnonymous(s, block, binds);
    }
    return runAnonymous(s, statement, binds);
}

// ---- anonymous blocks --------------------------------------------------------------------------

namespace {

Val bindValue(const BindVar& b)
{
    if (b.mode == BindMode::Out)
        return {};
    Val v = fromValue(b.value);
    if (v.isNull())
        return v;
    if (b.type == BindType::String)
        return Val::str(toText(v));
    if (v.kind() == Val::K::Str) {
        auto n = Number::parse(v.asStr());
        if (!n)
            throw OraError::make(1722, "invalid number");
        return Val::number(*n);
    }
    return v;
}

Value bindResult(const BindVar& b, const Val& v)
{
    if (v.isNull())
        return {};
    switch (b.type) {
    case BindType::String: {
        std::string s = toText(v);
        size_t max = b.size > 0 ? static_cast<size_t>(b.size) : 4000;
        if (s.size() > max)
            throw OraError::make(6502, "PL/SQL: numeric or value error: character string buffer too small");
        return Value::string(s);
    }
    case BindType::Integer: {
        auto n = toNumber(v);
        return Value::number(n->round(0));
    }
    case BindType::Number: return Value::number(*toNumber(v));
    }
    return {};
}

struct ActiveCall {
    PlsqlSession& st;
    explicit ActiveCall(PlsqlSession& s) : st(s) { ++st.activeCalls; }
    ~ActiveCall() { --st.activeCalls; }
};

} // namespace

ExecResult EngineImpl::runAnonymous(SessionServices& s, const std::string& text, std::vector<BindVar>& binds)
{
    std::vector<std::string> names;
    for (const auto& b : binds)
        names.push_back(b.name);
    SessionCompileEnv env(*this, s, &binds);
    CompileResult cr = compileAnonymous(env, text, names);
    if (!cr.errors.empty())
        throw OraError(6550, formatBlockErrors(cr.errors));
    PlsqlSession& st = plsqlSession(s);
    st.engine = this;
    ActiveCall active(st);
    Exec x(s, st, *this);
    x.binds = &binds;
    for (const auto& b : binds)
        x.bindVals.push_back(bindValue(b));
    x.stackLow = threadStackLimit();
    x.setHook(st.debugHook);
    const Unit& u = *cr.unit;
    Frame top;
    top.slots.resize(static_cast<size_t>(u.main->slotCount));
    top.routine = u.main;
    top.unit = &u;
    top.depth = 1;
    top.line = u.main->body->beginLine;
    x.frame = &top;
    try {
        if (x.trap)
            x.debugEvent(DebugEvent::Start);
        runBlock(x, *u.main->body);
        if (x.trap) {
            top.line = u.main->body->endLine;
            x.debugEvent(DebugEvent::End);
        }
    } catch (RaisedException& e) {
        e.err.backtrace.push_back("ORA-06512: at line " + std::to_string(top.line));
        if (x.trap)
            x.debugEvent(DebugEvent::End, &e.err);
        throw OraError(e.err.code, e.err.fullText());
    } catch (const OraError& e) {
        RaisedError err = toRaised(e);
        err.backtrace.push_back("ORA-06512: at line " + std::to_string(top.line));
        if (x.trap)
            x.debugEvent(DebugEvent::End, &err);
        throw OraError(err.code, err.fullText());
    } catch (const Cancelled&) {
        x.trap = false;
        throw OraError::make(1013, "user requested cancel of current operation");
    }
    for (size_t i = 0; i < binds.size(); ++i)
        if (binds[i].mode != BindMode::In)
            binds[i].value = bindResult(binds[i], x.bindVals[i]);
    return {};
}

void EngineImpl::runNested(Exec& x, const std::string& text, std::vector<BindVar>& binds)
{
    std::vector<std::string> names;
    for (const auto& b : binds)
        names.push_back(b.name);
    SessionCompileEnv env(*this, x.svc, &binds);
    CompileResult cr = compileAnonymous(env, text, names);
    if (!cr.errors.empty())
        throw OraError(6550, formatBlockErrors(cr.errors));
    std::vector<Val> saved = std::move(x.bindVals);
    std::vector<BindVar>* savedBinds = x.binds;
    x.bindVals.clear();
    for (const auto& b : binds)
        x.bindVals.push_back(bindValue(b));
    x.binds = &binds;
    struct Restore {
        Exec& x;
        std::vector<Val>& saved;
        std::vector<BindVar>* savedBinds;
        ~Restore()
        {
            x.bindVals = std::move(saved);
            x.binds = savedBinds;
        }
    } restore{x, saved, savedBinds};
    invoke(x, *cr.unit->main, nullptr, nullptr);
    for (size_t i = 0; i < binds.size(); ++i)
        if (binds[i].mode != BindMode::In)
            binds[i].value = toValue(x.bindVals[i]);
}

// ---- stored functions in SQL ---------------------------------------------------------------------

SqlFunction EngineImpl::resolveFunction(SessionServices& s, const std::string& name)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : upper(name)) {
        if (c == '.') {
            parts.push_back(cur);
            cur.clear();
        } else if (c != '"') {
            cur += c;
        }
    }
    parts.push_back(cur);
    if (parts.size() >= 2 && parts[0] == "SYS")
        parts.erase(parts.begin());
    // Native package functions: DBMS_DEBUG.SET_TIMEOUT ...
    if (parts.size() == 2) {
        if (auto np = findNativePackage(parts[0])) {
            auto rs = np->routines(parts[1]);
            std::vector<const NativeRoutine*> fns;
            for (auto* r : rs)
                if (r->returnType)
                    fns.push_back(r);
            if (fns.empty())
                return {};
            return [np, fns](SessionServices& ss, const std::vector<Value>& args) -> Value {
                for (const NativeRoutine* r : fns) {
                    if (args.size() > r->params.size())
                        continue;
                    std::vector<Val> vals;
                    for (size_t i = 0; i < r->params.size(); ++i)
                        vals.push_back(i < args.size() ? fromValue(args[i]) : r->params[i].defaultValue);
                    NativeCall call{ss, plsqlSession(ss), vals};
                    return toValue(r->fn(call));
                }
                throw OraError::make(6553, "PLS-306: wrong number or types of arguments in call to '" +
                                               fns[0]->name + "'");
            };
        }
    }
    // Stored functions: F, OWNER.F, PKG.F, OWNER.PKG.F
    std::vector<std::pair<std::string, std::string>> tries;   // owner, unit
    std::string member;
    if (parts.size() == 1) {
        tries.emplace_back(s.schema(), parts[0]);
    } else if (parts.size() == 2) {
        tries.emplace_back(s.schema(), parts[0]);   // PKG.F
        member = parts[1];
        tries.emplace_back(parts[0], parts[1]);     // OWNER.F
    } else if (parts.size() == 3) {
        tries.emplace_back(parts[0], parts[1]);
        member = parts[2];
    }
    for (const auto& [owner, unitName] : tries) {
        auto f = findUnit(s, owner, unitName);
        if (f.status == CompileEnv::Status::NotFound)
            continue;
        if (f.status == CompileEnv::Status::Invalid)
            throw OraError::make(6575, "Package or function " + unitName + " is in an invalid state");
        std::vector<const Routine*> cands;
        std::shared_ptr<const Unit> unit = f.unit;
        if (unit->type == "PACKAGE" && !member.empty() && unitName == parts[parts.size() - 2]) {
            auto it = unit->publicSymbols.find(member);
            if (it != unit->publicSymbols.end() && it->second.k == Symbol::K::Routines)
                for (Routine* r : it->second.routines)
                    if (r->isFunction)
                        cands.push_back(r);
        } else if (unit->type == "FUNCTION" && unitName == parts.back()) {
            cands.push_back(unit->main);
        }
        if (cands.empty())
            continue;
        EngineImpl* self = this;
        return [self, unit, cands](SessionServices& ss, const std::vector<Value>& args) -> Value {
            const Routine* r = nullptr;
            for (const Routine* c : cands) {
                size_t required = 0;
                for (const auto& p : c->params)
                    if (!p.def)
                        ++required;
                if (args.size() >= required && args.size() <= c->params.size()) {
                    r = c;
                    break;
                }
            }
            if (!r)
                throw OraError::make(6553, "PLS-306: wrong number or types of arguments in call to '" +
                                               cands[0]->name + "'");
            PlsqlSession& st = plsqlSession(ss);
            Exec x(ss, st, *self);
            x.stackLow = threadStackLimit();
            const Routine& impl = *r->impl();
            Frame top;
            top.unit = unit.get();
            x.frame = &top;
            try {
                if (unit->type == "PACKAGE" && unit->hasBody && !unit->bodyOk)
                    throw OraError(4063, "ORA-04063: package body \"" + unit->owner + "." + unit->name + "\" has errors");
                Frame* link = unit->type == "PACKAGE" ? x.packageFrame(unit.get()) : nullptr;
                std::vector<Val> vals;
                for (size_t i = 0; i < impl.params.size(); ++i) {
                    if (i < args.size()) {
                        vals.push_back(fromValue(args[i]));
                    } else {
                        Frame* saved = x.frame;
                        if (link)
                            x.frame = link;
                        vals.push_back(r->params[i].def ? r->params[i].def->eval(x) : impl.params[i].def->eval(x));
                        x.frame = saved;
                    }
                }
                x.frame = nullptr;
                Val v = invoke(x, impl, vals.data(), link);
                return toValue(v);
            } catch (RaisedException& e) {
                throw OraError(e.err.code, e.err.fullText());
            } catch (const Cancelled&) {
                throw OraError::make(1013, "user requested cancel of current operation");
            }
        };
    }
    return {};
}

// ---- the unit cache -----------------------------------------------------------------------------------

namespace {

// Stored units being compiled on this thread, by "OWNER.NAME".
std::map<std::string, std::shared_ptr<const Unit>>& compilingUnits()
{
    thread_local std::map<std::string, std::shared_ptr<const Unit>> units;
    return units;
}

} // namespace

void SessionCompileEnv::started(const std::shared_ptr<const Unit>& unit)
{
    auto& inProgress = compilingUnits();
    auto it = inProgress.find(unit->owner + "." + unit->name);
    if (it != inProgress.end())
        it->second = unit;
}

CompileEnv::Found SessionCompileEnv::findUnit(const std::string& owner, const std::string& name)
{
    return engine_.findUnit(session_, owner, name, binds_);
}

std::vector<Column> SessionCompileEnv::describe(const std::string& sql, const std::vector<std::string>& plsqlNames)
{
    std::vector<BindVar> binds;
    if (binds_)
        for (const auto& b : *binds_) {
            BindVar c = b;
            c.mode = BindMode::In;
            c.value = Value();
            binds.push_back(std::move(c));
        }
    auto rs = session_.query(sql, binds, [&plsqlNames](const std::string& id) -> std::optional<Value> {
        std::string u = upper(id);
        for (const auto& n : plsqlNames)
            if (n == u)
                return Value();
        return std::nullopt;
    });
    return rs->columns();
}

EngineImpl::Entry EngineImpl::compileStored(SessionServices& s, const std::string& owner, const std::string& name,
                                            const std::string& type, const std::vector<std::string>& spec,
                                            const std::vector<std::string>* body, std::vector<CompileError>& errors,
                                            std::vector<CompileError>& bodyErrors, const std::vector<BindVar>* binds)
{
    SessionCompileEnv env(*this, s, binds);
    Entry e;
    e.type = type;
    e.spec = spec;
    CompileResult cr;
    if (type == "PACKAGE") {
        std::string bodyText = body ? joinSource(*body) : std::string();
        cr = compilePackage(env, joinSource(spec), body ? &bodyText : nullptr, owner);
        if (body)
            e.body = *body;
        cr.unit->bodyOk = body && cr.bodyErrors.empty() && cr.errors.empty();
    } else {
        cr = compileRoutineUnit(env, joinSource(spec), owner);
    }
    cr.unit->name = name;
    errors = cr.errors;
    bodyErrors = cr.bodyErrors;
    e.valid = cr.errors.empty();
    e.unit = cr.unit;
    return e;
}

CompileEnv::Found EngineImpl::findUnit(SessionServices& s, const std::string& owner, const std::string& name,
                                       const std::vector<BindVar>* binds)
{
    CompileEnv::Found f;
    Dictionary& d = s.dictionary();
    std::string type;
    std::optional<ObjectInfo> body;
    std::optional<ObjectInfo> obj;
    for (const auto& o : d.objectsNamed(owner, name)) {
        if (o.type == "PROCEDURE" || o.type == "FUNCTION" || o.type == "PACKAGE") {
            type = o.type;
            obj = o;
        } else if (o.type == "PACKAGE BODY") {
            body = o;
        }
    }
    if (type.empty())
        return f;
    f.owner = owner;
    f.name = name;
    f.type = type;
    auto spec = d.sourceLines(owner, name, type);
    std::vector<std::string> bodyLines;
    if (body)
        bodyLines = d.sourceLines(owner, name, "PACKAGE BODY");
    std::string key = owner + "." + name;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = cache_.find(key);
        // An invalid unit is compiled again on every use: what it depends on may have been fixed.
        if (it != cache_.end() && it->second.valid && obj->valid && it->second.type == type &&
            it->second.spec == spec && it->second.body == bodyLines) {
            f.status = it->second.valid ? CompileEnv::Status::Ok : CompileEnv::Status::Invalid;
            f.unit = it->second.unit;
            return f;
        }
    }
    // Units that call each other: a unit already being compiled on this thread
    // is used as it stands (its routines get their bodies when that compile
    // finishes) instead of being compiled again without end.
    auto& inProgress = compilingUnits();
    if (auto it = inProgress.find(key); it != inProgress.end()) {
        f.status = it->second ? CompileEnv::Status::Ok : CompileEnv::Status::Invalid;
        f.unit = it->second;
        return f;
    }
    inProgress[key] = nullptr;
    struct Done {
        std::map<std::string, std::shared_ptr<const Unit>>& map;
        std::string key;
        ~Done() { map.erase(key); }
    } done{inProgress, key};
    std::vector<CompileError> errors, bodyErrors;
    Entry e = compileStored(s, owner, name, type, spec, body ? &bodyLines : nullptr, errors, bodyErrors, binds);
    // A unit checked again after a dependency changed records its new state.
    if (obj->valid != e.valid || !obj->valid)
        d.setCompileResult(owner, name, type, errorRows(errors));
    if (body && e.valid && (body->valid != bodyErrors.empty()))
        d.setCompileResult(owner, name, "PACKAGE BODY", errorRows(bodyErrors));
    f.status = e.valid ? CompileEnv::Status::Ok : CompileEnv::Status::Invalid;
    f.unit = e.unit;
    std::lock_guard<std::mutex> lock(mutex_);
    cache_[key] = std::move(e);
    return f;
}

void EngineImpl::invalidate(SessionServices& s, const std::string& owner, const std::string& name)
{
    std::string key = owner + "." + name;
    std::vector<std::string> dependents;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cache_.erase(key);
        // Cached units that call the changed one, directly or not.
        bool changed = true;
        std::vector<std::string> gone{key};
        while (changed) {
            changed = false;
            for (auto it = cache_.begin(); it != cache_.end();) {
                const auto& deps = it->second.unit->dependencies;
                bool hit = std::any_of(gone.begin(), gone.end(), [&](const std::string& g) {
                    return std::find(deps.begin(), deps.end(), g) != deps.end();
                });
                if (hit) {
                    gone.push_back(it->first);
                    dependents.push_back(it->first);
                    it = cache_.erase(it);
                    changed = true;
                } else {
                    ++it;
                }
            }
        }
    }
    Dictionary& d = s.dictionary();
    for (const auto& dep : dependents) {
        auto dot = dep.find('.');
        for (const auto& o : d.objectsNamed(dep.substr(0, dot), dep.substr(dot + 1)))
            d.setStatus(o.objectId, false);
    }
}

// ---- DDL -------------------------------------------------------------------------------------------------

ExecResult EngineImpl::create(SessionServices& s, const std::string& text)
{
    CreateHead h = scanCreateHead(text);
    if (!h.ok)
        throw OraError::make(900, "invalid SQL statement");
    if (h.kind == "TRIGGER" || h.kind == "TYPE" || h.kind == "TYPE BODY")
        throw OraError::make(3001, "unimplemented feature");
    std::string owner = h.owner.empty() ? s.schema() : h.owner;
    if (!h.owner.empty() && !s.dictionary().userExists(owner))
        throw OraError::make(1918, "user '" + owner + "' does not exist");
    bool replace = upper(text.substr(0, h.sourceStart)).find("REPLACE") != std::string::npos;
    Dictionary& d = s.dictionary();
    for (const auto& o : d.objectsNamed(owner, h.name)) {
        bool sameUnit = o.type == h.kind;
        bool pkgPair = (o.type == "PACKAGE" && h.kind == "PACKAGE BODY") || (o.type == "PACKAGE BODY" && h.kind == "PACKAGE");
        if (pkgPair)
            continue;
        if (!sameUnit || !replace)
            throw OraError::make(955, "name is already used by an existing object");
    }
    std::string source = text.substr(h.sourceStart);
    // A trailing "/" line and blanks after the final END; are not part of the unit.
    while (!source.empty() && (source.back() == ' ' || source.back() == '\t' || source.back() == '\r' ||
                               source.back() == '\n' || source.back() == '/'))
        source.pop_back();
    std::vector<std::string> lines = splitSource(source);

    std::vector<CompileError> errors, bodyErrors;
    Entry e;
    std::vector<ArgumentRow> args;
    if (h.kind == "PACKAGE BODY") {
        auto spec = d.findObject(owner, h.name, "PACKAGE");
        if (!spec) {
            errors.push_back({1, 1, "PLS-00304: cannot compile body of '" + h.name + "' without its specification", 304});
        } else {
            auto specLines = d.sourceLines(owner, h.name, "PACKAGE");
            std::vector<CompileError> specErrors;
            e = compileStored(s, owner, h.name, "PACKAGE", specLines, &lines, specErrors, errors, nullptr);
            if (!specErrors.empty() && errors.empty())
                errors.push_back({1, 1, "PLS-00905: object " + owner + "." + h.name + " is invalid", 905});
        }
        d.storeUnit(owner, h.name, h.kind, lines, {}, errorRows(errors));
    } else {
        const std::vector<std::string>* body = nullptr;
        std::vector<std::string> bodyLines;
        if (h.kind == "PACKAGE" && d.findObject(owner, h.name, "PACKAGE BODY")) {
            bodyLines = d.sourceLines(owner, h.name, "PACKAGE BODY");
            body = &bodyLines;
        }
        {
            // Units this one calls that call it back bind to the new version.
            auto& inProgress = compilingUnits();
            std::string key = owner + "." + h.name;
            inProgress[key] = nullptr;
            struct Done {
                std::map<std::string, std::shared_ptr<const Unit>>& map;
                std::string key;
                ~Done() { map.erase(key); }
            } done{inProgress, key};
            e = compileStored(s, owner, h.name, h.kind, lines, body, errors, bodyErrors, nullptr);
        }
        if (e.unit)
            args = argumentRows(*e.unit);
        d.storeUnit(owner, h.name, h.kind, lines, args, errorRows(errors));
        if (body)
            d.setCompileResult(owner, h.name, "PACKAGE BODY", errorRows(errors.empty() ? bodyErrors : invalidSpec(owner, h.name)));
    }
    invalidate(s, owner, h.name);
    // The session's state of a replaced package is discarded.
    plsqlSession(s).packages.erase(owner + "." + h.name);
    if (errors.empty() && e.unit && (h.kind != "PACKAGE BODY" || e.valid)) {
        std::lock_guard<std::mutex> lock(mutex_);
        e.valid = true;
        cache_[owner + "." + h.name] = std::move(e);
    }
    ExecResult r;
    if (!errors.empty()) {
        r.warningCode = 24344;
        r.warningText = "ORA-24344: success with compilation error";
    }
    return r;
}

namespace {

// DROP / ALTER target: kind and [owner.]name.
struct UnitTarget {
    std::string kind, owner, name;
    size_t after = 0;
};

UnitTarget unitTarget(const std::vector<Token>& t, SessionServices& s)
{
    UnitTarget u;
    size_t i = 1;
    u.kind = t[i].text;
    ++i;
    if (u.kind == "PACKAGE" && t[i].isWord("BODY")) {
        u.kind = "PACKAGE BODY";
        ++i;
    }
    if (t[i].kind != Tok::Ident && t[i].kind != Tok::Quoted)
        throw OraError::make(900, "invalid SQL statement");
    u.name = t[i++].text;
    if (t[i].isOp(".")) {
        ++i;
        u.owner = u.name;
        if (t[i].kind != Tok::Ident && t[i].kind != Tok::Quoted)
            throw OraError::make(900, "invalid SQL statement");
        u.name = t[i++].text;
    }
    if (u.owner.empty())
        u.owner = s.schema();
    u.after = i;
    return u;
}

} // namespace

ExecResult EngineImpl::drop(SessionServices& s, const std::string& text)
{
    auto t = tokenize(text);
    UnitTarget u = unitTarget(t, s);
    Dictionary& d = s.dictionary();
    if (!d.findObject(u.owner, u.name, u.kind))
        throw OraError::make(4043, "object " + u.name + " does not exist");
    if (u.kind == "PACKAGE" && d.findObject(u.owner, u.name, "PACKAGE BODY"))
        d.dropObject(u.owner, u.name, "PACKAGE BODY");
    d.dropObject(u.owner, u.name, u.kind);
    invalidate(s, u.owner, u.name);
    plsqlSession(s).packages.erase(u.owner + "." + u.name);
    return {};
}

ExecResult EngineImpl::alter(SessionServices& s, const std::string& text)
{
    auto t = tokenize(text);
    UnitTarget u = unitTarget(t, s);
    size_t i = u.after;
    if (!t[i].isWord("COMPILE"))
        throw OraError::make(922, "missing or invalid option");
    Dictionary& d = s.dictionary();
    std::string kind = u.kind == "PACKAGE BODY" ? "PACKAGE" : u.kind;
    if (!d.findObject(u.owner, u.name, u.kind))
        throw OraError::make(4043, "object " + u.name + " does not exist");
    auto spec = d.sourceLines(u.owner, u.name, kind);
    std::vector<std::string> bodyLines;
    bool hasBody = kind == "PACKAGE" && d.findObject(u.owner, u.name, "PACKAGE BODY");
    if (hasBody)
        bodyLines = d.sourceLines(u.owner, u.name, "PACKAGE BODY");
    std::vector<CompileError> errors, bodyErrors;
    Entry e = compileStored(s, u.owner, u.name, kind, spec, hasBody ? &bodyLines : nullptr, errors, bodyErrors, nullptr);
    if (u.kind != "PACKAGE BODY")
        d.setCompileResult(u.owner, u.name, kind, errorRows(errors));
    if (hasBody)
        d.setCompileResult(u.owner, u.name, "PACKAGE BODY", errorRows(errors.empty() ? bodyErrors : invalidSpec(u.owner, u.name)));
    invalidate(s, u.owner, u.name);
    plsqlSession(s).packages.erase(u.owner + "." + u.name);
    bool failed = u.kind == "PACKAGE BODY" ? !(errors.empty() && bodyErrors.empty()) : !errors.empty();
    if (e.valid) {
        std::lock_guard<std::mutex> lock(mutex_);
        cache_[u.owner + "." + u.name] = std::move(e);
    }
    ExecResult r;
    if (failed) {
        r.warningCode = 24344;
        r.warningText = "ORA-24344: success with compilation error";
    }
    return r;
}

// ---- line maps ----------------------------------------------------------------------------------------

LineMap EngineImpl::lineMap(SessionServices& s, const std::string& owner, const std::string& name,
                            const std::string& type)
{
    LineMap m;
    auto f = findUnit(s, owner, name);
    if (f.status != CompileEnv::Status::Ok || !f.unit)
        return m;
    const Unit& u = *f.unit;
    std::string t = type.empty() ? f.type : type;
    m.found = true;
    auto lines = s.dictionary().sourceLines(owner, name, t);
    m.maxLine = static_cast<int>(lines.size());
    if (t == "PACKAGE BODY") {
        m.lines = u.bodyLines;
    } else if (t == "PACKAGE") {
        m.lines = u.specLines;
    } else {
        m.lines = u.lines;
    }
    for (const auto& r : u.routines)
        if (r->body && (t != "PACKAGE BODY" || r->level == 1))
            ++m.entryPoints;
    return m;
}

LineMap unitLineMap(SessionServices& s, const std::string& owner, const std::string& name, const std::string& type)
{
    PlsqlSession& st = plsqlSession(s);
    if (!st.engine)
        return {};
    return static_cast<EngineImpl*>(st.engine)->lineMap(s, owner, name, type);
}

std::shared_ptr<PlsqlEngine> makePlsqlEngine() { return std::make_shared<EngineImpl>(); }

} // namespace sandbox::plsql
