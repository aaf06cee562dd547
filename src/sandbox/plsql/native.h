// native.h - packages implemented in C++ (DBMS_OUTPUT, DBMS_DEBUG ...): their
// subprograms, types, constants and per-session variables, as the compiler and
// interpreter see them. A package registers itself once per process.
#pragma once

#include "sandbox/plsql/ast.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sandbox {
class SessionServices;
}

namespace sandbox::plsql {

class PlsqlSession;

struct NativeParam {
    std::string name;                // upper case
    ParamMode mode = ParamMode::In;
    const Type* type = nullptr;      // nullptr: any scalar
    bool hasDefault = false;
    Val defaultValue;
};

// What a native subprogram receives: the session and its arguments in
// parameter order. OUT and IN OUT arguments are written into `args`; the
// interpreter copies them back to the caller's variables.
struct NativeCall {
    SessionServices& session;
    PlsqlSession& state;
    std::vector<Val>& args;
};

struct NativeRoutine {
    std::string package, name;       // upper case
    std::vector<NativeParam> params;
    const Type* returnType = nullptr; // nullptr: a procedure
    std::function<Val(NativeCall&)> fn;
};

class NativePackage {
public:
    explicit NativePackage(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    TypeArena& types() { return arena_; }

    // Overloads share a name; the compiler picks one by argument count and names.
    void addRoutine(NativeRoutine r)
    {
        r.package = name_;
        routines_.push_back(std::make_unique<NativeRoutine>(std::move(r)));
    }
    void addType(const std::string& name, const Type* t) { typesByName_[name] = t; }
    void addConstant(const std::string& name, Val v, const Type* t) { constants_[name] = {std::move(v), t}; }
    // A variable each session has its own copy of, starting at `initial`.
    void addVariable(const std::string& name, const Type* t, Val initial) { variables_[name] = {std::move(initial), t}; }

    std::vector<const NativeRoutine*> routines(const std::string& name) const
    {
        std::vector<const NativeRoutine*> r;
        for (const auto& p : routines_)
            if (p->name == name)
                r.push_back(p.get());
        return r;
    }
    const Type* type(const std::string& name) const
    {
        auto it = typesByName_.find(name);
        return it == typesByName_.end() ? nullptr : it->second;
    }
    const std::pair<Val, const Type*>* constant(const std::string& name) const
    {
        auto it = constants_.find(name);
        return it == constants_.end() ? nullptr : &it->second;
    }
    const std::pair<Val, const Type*>* variable(const std::string& name) const
    {
        auto it = variables_.find(name);
        return it == variables_.end() ? nullptr : &it->second;
    }

private:
    std::string name_;
    TypeArena arena_;
    std::vector<std::unique_ptr<NativeRoutine>> routines_;
    std::map<std::string, const Type*> typesByName_;
    std::map<std::string, std::pair<Val, const Type*>> constants_;
    std::map<std::string, std::pair<Val, const Type*>> variables_;
};

// Registers a package for every server of the process (thread-safe; a later
// registration under the same name replaces the earlier one).
void registerNativePackage(std::shared_ptr<NativePackage> pkg);
// The package of that name (upper case, without "SYS."), or nullptr.
std::shared_ptr<const NativePackage> findNativePackage(const std::string& name);

// Register DBMS_OUTPUT and DBMS_UTILITY (called by the engine at start-up; idempotent).
void registerDbmsOutput();
void registerDbmsUtility();

} // namespace sandbox::plsql
