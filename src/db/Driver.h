// Driver: the one interface behind which the embedded sandbox server and a
// real Oracle server (through OCI) sit. The server name picks the driver.
#pragma once

#include "db/OraTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace db {

// One bind variable as sent to the server. In and InOut values are read by
// the server; Out and InOut values are written back into `value`.
struct DriverBind {
    std::string name;              // without the colon
    TOraDataType type = TOraDataType::String;
    TParamDirection direction = TParamDirection::In;
    int size = 0;                  // declared size of a string; 0 = driver default
    OraValue value;
};

struct DriverColumn {
    enum class Type { Number, String, Date };
    std::string name;
    Type type = Type::String;
};

// The rows of a query, fetched one at a time.
class DriverCursor {
public:
    virtual ~DriverCursor() = default;
    virtual const std::vector<DriverColumn>& columns() const = 0;
    virtual bool fetch(std::vector<OraValue>& row) = 0;
};

struct DriverResult {
    std::unique_ptr<DriverCursor> cursor;   // set for a query
    int64_t rowCount = 0;                   // rows touched by DML
    // A notice such as ORA-24344 (unit stored with compilation errors): the
    // statement's effects are kept. Zero when none.
    int warningCode = 0;
    std::string warningText;
};

// One logged-on connection. Used by one thread at a time (TOraSession holds
// a lock around execute), except cancel, which may come from any thread.
class DriverSession {
public:
    virtual ~DriverSession() = default;
    // Runs one SQL statement or PL/SQL block; throws EOraError.
    virtual DriverResult execute(const std::string& text, std::vector<DriverBind>& binds) = 0;
    virtual void cancel() = 0;
    virtual void close() = 0;
};

class Driver {
public:
    virtual ~Driver() = default;
    // Logs on; throws EOraError (ORA-01017 wrong credentials, ORA-12154 an
    // unknown server).
    virtual std::unique_ptr<DriverSession> connect(const std::string& user, const std::string& password,
                                                   const std::string& server) = 0;
};

// The driver that serves `server`: "sandbox", "sandbox:PATH" or an empty name
// give the embedded server; any other name is a real Oracle server.
std::shared_ptr<Driver> DriverForServer(const std::string& server);

bool IsSandboxServer(const std::string& server);

} // namespace db
