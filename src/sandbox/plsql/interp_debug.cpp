// interp_debug.cpp - the debug probe: turns interpreter events into
// DebugHook calls and lets the debugger read the frames and variables of the
// stopped program.
#include "sandbox/plsql/exec.h"
#include "sandbox/plsql/lexer.h"

#include <cctype>

namespace sandbox::plsql {
namespace {

class ExecDebugContext : public DebugContext {
public:
    ExecDebugContext(Exec& x, DebugEvent ev, const RaisedError* err) : x_(x), ev_(ev), err_(err)
    {
        for (Frame* f = x.frame; f; f = f->caller)
            if (f->routine)
                frames_.insert(frames_.begin(), f);
    }

    DebugEvent event() const override { return ev_; }
    int depth() const override { return static_cast<int>(frames_.size()); }

    DebugFrame frame(int depth) const override
    {
        DebugFrame d;
        const Frame* f = at(depth);
        if (!f)
            return d;
        d.depth = depth;
        d.line = f->line;
        const Unit* u = f->unit;
        if (!u || u->type == "ANONYMOUS BLOCK") {
            d.unitType = "ANONYMOUS BLOCK";
            if (f->routine && f->routine->level > 1)
                d.entrypoint = f->routine->name;
            return d;
        }
        d.owner = u->owner;
        d.name = u->name;
        d.unitType = u->type == "PACKAGE" ? "PACKAGE BODY" : u->type;
        if (f->routine && (u->type == "PACKAGE" || f->routine != u->main))
            d.entrypoint = f->routine->name;
        return d;
    }

    DebugValue value(int depth, const std::string& name, const std::string&) const override
    {
        DebugValue r;
        const Frame* f = at(depth);
        if (!f) {
            r.status = DebugValueStatus::BogusFrame;
            return r;
        }
        const Val* v = lookup(f, name);
        if (!v) {
            r.status = DebugValueStatus::NoSuchObject;
            return r;
        }
        return describe(*v);
    }

    DebugValue packageValue(const std::string& owner, const std::string& package, const std::string& name) const override
    {
        DebugValue r;
        auto it = x_.state.packages.find(upper(owner) + "." + upper(package));
        if (it == x_.state.packages.end())
            return r;
        const Val* v = packageVar(*it->second->unit, *it->second->frame, upper(name));
        return v ? describe(*v) : r;
    }

    bool setValue(int depth, const std::string& name, const std::string& text) override
    {
        const Frame* f = at(depth);
        if (!f)
            return false;
        Val* v = const_cast<Val*>(lookup(f, name));
        if (!v || v->kind() == Val::K::Rec || v->kind() == Val::K::Coll)
            return false;
        try {
            *v = coerce(Val::str(text), typeOf_);
        } catch (...) {
            return false;
        }
        return true;
    }

    std::vector<std::string> indexes(int depth, const std::string& name) const override
    {
        std::vector<std::string> out;
        const Frame* f = at(depth);
        const Val* v = f ? lookup(f, name) : nullptr;
        if (!v || v->kind() != Val::K::Coll)
            return out;
        for (const auto& [k, _] : v->asColl()->items)
            out.push_back(k.s.empty() ? std::to_string(k.i) : k.s);
        return out;
    }

    int errorCode() const override { return err_ ? err_->code : 0; }
    std::string errorMessage() const override { return err_ ? err_->message : std::string(); }

private:
    const Frame* at(int depth) const
    {
        if (depth < 1 || depth > static_cast<int>(frames_.size()))
            return nullptr;
        return frames_[depth - 1];
    }

    static DebugValue describe(const Val& v)
    {
        DebugValue r;
        if (v.kind() == Val::K::Coll) {
            r.status = DebugValueStatus::IsCollection;
            return r;
        }
        if (v.kind() == Val::K::Rec || v.kind() == Val::K::Cur) {
            r.status = DebugValueStatus::NoSuchObject;
            return r;
        }
        if (v.isNull()) {
            r.status = DebugValueStatus::IsNull;
            return r;
        }
        r.status = DebugValueStatus::Ok;
        r.text = toText(v);
        return r;
    }

    // "V", "REC.F", "TAB(3)", "TAB('k').F": a base name then selectors.
    const Val* lookup(const Frame* f, const std::string& expr) const
    {
        std::string s = expr;
        size_t p = 0;
        while (p < s.size() && s[p] != '.' && s[p] != '(')
            ++p;
        std::string base = upper(s.substr(0, p));
        const Val* v = nullptr;
        typeOf_ = nullptr;
        for (const Frame* fr = f; fr && !v; fr = fr->link) {
            for (const Block* b = fr->block; b && !v; b = b->parent)
                for (const auto& sym : b->symbols)
                    if (sym.name == base) {
                        v = &fr->slots[sym.slot];
                        typeOf_ = sym.type;
                    }
            if (!v && fr->routine && fr->routine->body)
                for (const auto& sym : fr->routine->body->symbols)
                    if (sym.name == base) {
                        v = &fr->slots[sym.slot];
                        typeOf_ = sym.type;
                    }
            if (!v && !fr->routine && fr->unit)
                v = packageVar(*fr->unit, *fr, base);
        }
        while (v && p < s.size()) {
            if (s[p] == '.') {
                size_t q = ++p;
                while (p < s.size() && s[p] != '.' && s[p] != '(')
                    ++p;
                std::string field = upper(s.substr(q, p - q));
                if (v->kind() != Val::K::Rec)
                    return nullptr;
                int i = v->asRec()->type ? v->asRec()->type->fieldIndex(field) : -1;
                if (i < 0)
                    return nullptr;
                typeOf_ = v->asRec()->type->fields[i].type;
                v = &v->asRec()->fields[i];
            } else if (s[p] == '(') {
                size_t close = s.find(')', p);
                if (close == std::string::npos || v->kind() != Val::K::Coll)
                    return nullptr;
                std::string key = s.substr(p + 1, close - p - 1);
                p = close + 1;
                const Collection& c = *v->asColl();
                CollKey k;
                if (c.type && c.type->indexByString) {
                    if (key.size() >= 2 && key.front() == '\'')
                        key = key.substr(1, key.size() - 2);
                    k.s = key;
                } else {
                    try {
                        k.i = std::stoll(key);
                    } catch (...) {
                        return nullptr;
                    }
                }
                auto it = c.items.find(k);
                if (it == c.items.end())
                    return nullptr;
                typeOf_ = c.type ? c.type->element : nullptr;
                v = &it->second;
            } else {
                return nullptr;
            }
        }
        return v;
    }

    const Val* packageVar(const Unit& u, const Frame& f, const std::string& name) const
    {
        for (const Block* b : {u.spec.get(), u.body.get()}) {
            if (!b)
                continue;
            for (const auto& d : b->decls)
                if (d.k == Decl::K::Var && d.var->name == name && d.var->slot >= 0 &&
                    d.var->slot < static_cast<int>(f.slots.size())) {
                    typeOf_ = d.var->type;
                    return &f.slots[d.var->slot];
                }
        }
        return nullptr;
    }

    Exec& x_;
    DebugEvent ev_;
    const RaisedError* err_;
    std::vector<Frame*> frames_;
    mutable const Type* typeOf_ = nullptr;
};

} // namespace

void Exec::lineEvent(int line)
{
    if (frame->hookLine == line)
        return;
    frame->hookLine = line;
    debugEvent(DebugEvent::Line);
}

void Exec::debugEvent(DebugEvent ev, const RaisedError* err)
{
    if (!hook || !hook->wants(ev, frame ? frame->line : 0))
        return;
    // No events from inside the hook itself.
    DebugHook* h = hook;
    hook = nullptr;
    trap = false;
    ExecDebugContext ctx(*this, ev, err);
    DebugHook::Action a = DebugHook::Action::Continue;
    try {
        a = h->onEvent(ctx);
    } catch (...) {
        hook = h;
        trap = true;
        throw;
    }
    // The debugger may have been detached meanwhile.
    setHook(state.debugHook);
    if (a == DebugHook::Action::Abort)
        throw Cancelled{};
}

} // namespace sandbox::plsql
