// server.h - the public face of the embedded sandbox server: open a server,
// log on, execute statements with bind variables, fetch rows, cancel.
//
// This is all the data-access layer's sandbox driver sees. A server holds the
// users, their schemas (tables, sequences, stored programs) and the data
// dictionary; each Session is one logged-on user with its own transaction and
// its own PL/SQL package state. A Session is used by one thread at a time
// (the data-access layer serialises its statements); different sessions of
// one server may run on different threads at once.
#pragma once

#include "sandbox/value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sandbox {

class ServerImpl;
class SessionImpl;

enum class BindMode { In, Out, InOut };
enum class BindType { Integer, Number, String };

// One named bind variable of a statement (":name" in the text; names match
// case-insensitively). In and InOut values are read by the server; Out and
// InOut values are written back after a PL/SQL block or a RETURNING clause.
// A NULL value is a NULL bind in either direction.
struct BindVar {
    std::string name;          // without the colon, as declared by the client
    BindType type = BindType::String;
    BindMode mode = BindMode::In;
    int size = 0;              // declared size of a string bind; 0 = 4000
    Value value;
};

struct Column {
    std::string name;          // upper case unless quoted in the query
    enum class Type { Number, String, Date } type = Type::String;
};

// The rows of a query, fetched one at a time. Valid until the next execute on
// the same session or until destroyed.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<Column>& columns() const = 0;
    // Fills `row` with the next row; false at the end.
    virtual bool fetch(std::vector<Value>& row) = 0;
};

struct ExecResult {
    std::unique_ptr<Cursor> cursor;   // set for a query
    int64_t rowCount = 0;             // rows touched by DML
    // Non-fatal notice the client should show, e.g. ORA-24344 after a unit was
    // stored with compilation errors. Zero when none.
    int warningCode = 0;
    std::string warningText;
};

class Session {
public:
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Executes one SQL statement or PL/SQL block (no trailing "/").
    // Throws OraError on failure; out binds are written into `binds`.
    ExecResult execute(const std::string& text, std::vector<BindVar>& binds);

    // Asks the statement running on this session (from another thread) to stop
    // with ORA-01013. Safe to call at any time; a no-op when nothing runs.
    void cancel();

    const std::string& user() const;    // upper case
    SessionImpl& impl() { return *impl_; }

private:
    friend class ServerImpl;
    explicit Session(std::unique_ptr<SessionImpl> impl);
    std::unique_ptr<SessionImpl> impl_;
};

class Server {
public:
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Logs on; throws OraError ORA-01017 for a wrong user name or password.
    std::unique_ptr<Session> logon(const std::string& user, const std::string& password);

    ServerImpl& impl() { return *impl_; }

private:
    friend class ServerImpl;
    explicit Server(std::unique_ptr<ServerImpl> impl);
    std::unique_ptr<ServerImpl> impl_;
};

} // namespace sandbox
