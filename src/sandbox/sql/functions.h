// functions.h - Oracle's SQL functions and operators as SQLite functions
// (ORA_SUBSTR, ORA_DIV, ORA_CONCAT, ORA_TO_CHAR ...), registered on every
// connection of the server.
#pragma once

#include <sqlite3.h>

#include "sandbox/value.h"

#include <cstdint>
#include <string>

namespace sandbox::sql {

// What the session-bound functions (USER, sequences) need from their session.
class FunctionHost {
public:
    virtual ~FunctionHost() = default;
    virtual const std::string& user() const = 0;
    virtual int64_t nextval(const std::string& owner, const std::string& name) = 0;
    virtual int64_t currval(const std::string& owner, const std::string& name) = 0;

    // SQLite carries a non-integral NUMBER as a double; the exact decimal a
    // function computed (2/3 to 40 digits) is kept beside it, keyed by the
    // double, so that reading the result back gives Oracle's digits.
    virtual void rememberExact(double approx, const Number& exact) = 0;
    virtual const Number* exactFor(double approx) const = 0;
};

// Registers every ORA_ function on `db`; `host` must outlive the connection.
void registerFunctions(sqlite3* db, FunctionHost* host);

} // namespace sandbox::sql
