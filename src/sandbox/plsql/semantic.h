// semantic.h - the semantic pass: resolves every name of a parsed unit to a
// slot, field, routine or package item, checks types, argument lists and
// assignment targets, and collects executable lines. Errors are reported
// with line and column in the order found, each followed by its companion
// row ("PL/SQL: Statement ignored" / "PL/SQL: Item ignored").
#pragma once

#include "sandbox/plsql/ast.h"
#include "sandbox/plsql/parser.h"
#include "sandbox/server.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::plsql {

// How the compiler reaches the rest of the server.
class CompileEnv {
public:
    virtual ~CompileEnv() = default;

    enum class Status { Ok, NotFound, Invalid };
    struct Found {
        Status status = Status::NotFound;
        std::shared_ptr<const Unit> unit;   // set when Ok
        std::string owner, name, type;      // the object found ("PROCEDURE" ...)
    };
    // A stored procedure, function or package (with its body when it has one).
    virtual Found findUnit(const std::string& owner, const std::string& name) = 0;
    // The result columns of a query (table row types, cursor row types);
    // throws OraError when the query does not compile.
    virtual std::vector<Column> describe(const std::string& sql, const std::vector<std::string>& plsqlNames) = 0;
    virtual std::string schema() = 0;
    virtual bool userExists(const std::string& user) = 0;
    // A stored procedure or function is about to be resolved: units it calls
    // that call it back (mutual recursion) bind to this object.
    virtual void started(const std::shared_ptr<const Unit>&) {}
};

struct CompileResult {
    std::shared_ptr<Unit> unit;            // set even with errors (line map, arguments)
    std::vector<CompileError> errors;       // of the unit (package: of its declaration part)
    std::vector<CompileError> bodyErrors;   // of a package body
    bool ok() const { return errors.empty() && bodyErrors.empty(); }
};

// A stored procedure or function (ALL_SOURCE text).
CompileResult compileRoutineUnit(CompileEnv& env, std::string_view source, const std::string& owner);
// A package specification, with its body when `body` is given.
CompileResult compilePackage(CompileEnv& env, std::string_view spec, const std::string* body, const std::string& owner);
// An anonymous block; `bindNames` are the client's bind variable names.
CompileResult compileAnonymous(CompileEnv& env, std::string_view source, const std::vector<std::string>& bindNames);

} // namespace sandbox::plsql
