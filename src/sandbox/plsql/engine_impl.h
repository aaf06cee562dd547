// engine_impl.h - the PL/SQL engine of one server: statement routing, the
// cache of compiled units (shared by the server's sessions, thread-safe),
// compilation environment and top-level execution of blocks.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/plsql/debug_hook.h"
#include "sandbox/plsql/exec.h"
#include "sandbox/plsql/semantic.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sandbox::plsql {

class EngineImpl : public PlsqlEngine {
public:
    EngineImpl();

    bool handles(std::string_view statement) const override;
    ExecResult execute(SessionServices& session, const std::string& statement, std::vector<BindVar>& binds) override;
    SqlFunction resolveFunction(SessionServices& session, const std::string& name) override;

    // An anonymous block run from inside running PL/SQL (EXECUTE IMMEDIATE).
    void runNested(Exec& x, const std::string& text, std::vector<BindVar>& binds);

    // A stored unit, compiled (or from the cache). Compiles from ALL_SOURCE on
    // first use and records the result in the dictionary when it changed.
    CompileEnv::Found findUnit(SessionServices& s, const std::string& owner, const std::string& name,
                               const std::vector<BindVar>* binds = nullptr);

    LineMap lineMap(SessionServices& s, const std::string& owner, const std::string& name, const std::string& type);

    // Forgets a unit and every cached unit that depends on it, and marks
    // the dependents INVALID in the dictionary.
    void invalidate(SessionServices& s, const std::string& owner, const std::string& name);

private:
    struct Entry {
        std::shared_ptr<const Unit> unit;
        bool valid = false;
        std::string type;
        std::vector<std::string> spec, body;   // the source it was compiled from
    };

    ExecResult runAnonymous(SessionServices& s, const std::string& text, std::vector<BindVar>& binds);
    ExecResult create(SessionServices& s, const std::string& text);
    ExecResult drop(SessionServices& s, const std::string& text);
    ExecResult alter(SessionServices& s, const std::string& text);
    Entry compileStored(SessionServices& s, const std::string& owner, const std::string& name, const std::string& type,
                        const std::vector<std::string>& spec, const std::vector<std::string>* body,
                        std::vector<CompileError>& errors, std::vector<CompileError>& bodyErrors,
                        const std::vector<BindVar>* binds);

    std::mutex mutex_;
    std::map<std::string, Entry> cache_;   // "OWNER.NAME"
};

// The compile environment for one compilation in one session.
class SessionCompileEnv : public CompileEnv {
public:
    SessionCompileEnv(EngineImpl& e, SessionServices& s, const std::vector<BindVar>* binds = nullptr)
        : engine_(e), session_(s), binds_(binds) {}
    Found findUnit(const std::string& owner, const std::string& name) override;
    std::vector<Column> describe(const std::string& sql, const std::vector<std::string>& plsqlNames) override;
    std::string schema() override { return session_.schema(); }
    bool userExists(const std::string& user) override { return session_.dictionary().userExists(user); }
    void started(const std::shared_ptr<const Unit>& unit) override;

private:
    EngineImpl& engine_;
    SessionServices& session_;
    const std::vector<BindVar>* binds_;
};

// Joins ALL_SOURCE lines back into the unit text.
std::string joinSource(const std::vector<std::string>& lines);
// Splits a unit text into ALL_SOURCE lines, each keeping its line feed.
std::vector<std::string> splitSource(const std::string& text);
// ORA-06550 text for the compile errors of an anonymous block.
std::string formatBlockErrors(const std::vector<CompileError>& errors);
// ALL_ARGUMENTS rows of a compiled unit.
std::vector<ArgumentRow> argumentRows(const Unit& u);
std::vector<ErrorRow> errorRows(const std::vector<CompileError>& errors);

} // namespace sandbox::plsql
