// engine.h - the seam between the server core (sessions, SQL on SQLite, data
// dictionary) and the PL/SQL engine (compiler, interpreter, native packages).
//
// The core routes every PL/SQL statement to the PlsqlEngine installed on its
// server; the engine reaches SQL and the dictionary only through
// SessionServices and Dictionary. Neither side includes the other's headers.
#pragma once

#include "sandbox/server.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

// ---- data dictionary --------------------------------------------------------

struct ObjectInfo {
    int64_t objectId = 0;
    std::string owner, name, type;   // type as ALL_OBJECTS.OBJECT_TYPE ("PACKAGE BODY")
    bool valid = true;               // STATUS VALID / INVALID
};

// One ALL_ARGUMENTS row. Fields left empty are NULL in the view.
struct ArgumentRow {
    std::string objectName;          // the subprogram (member name inside a package)
    std::string packageName;         // empty for a standalone unit
    std::string overload;            // empty unless overloaded
    int subprogramId = 1;
    std::string argumentName;        // empty for a function's result row
    int position = 0;                // 0 = function result
    int sequence = 1;
    int dataLevel = 0;
    std::string dataType;            // "NUMBER", "VARCHAR2", "DATE", "PL/SQL BOOLEAN" ...
    std::string defaulted = "N";
    std::string inOut = "IN";        // "IN", "OUT", "IN/OUT"
    std::optional<int> dataLength, dataPrecision, dataScale;
    std::string typeOwner, typeName, typeSubname;
    std::string plsType;             // "NUMBER", "PLS_INTEGER", "INTEGER" ...
};

// One ALL_ERRORS row (SEQUENCE is the row's place in the vector, from 1).
struct ErrorRow {
    int line = 1;
    int position = 1;
    std::string text;                // "PLS-00201: identifier 'X' must be declared"
    std::string attribute = "ERROR";
    int messageNumber = 0;
};

class Dictionary {
public:
    virtual ~Dictionary() = default;

    virtual std::optional<ObjectInfo> findObject(const std::string& owner, const std::string& name,
                                                 const std::string& type) = 0;
    // Every object of that owner and name, whatever its type.
    virtual std::vector<ObjectInfo> objectsNamed(const std::string& owner, const std::string& name) = 0;

    // Creates or replaces a stored PL/SQL unit in one step: its ALL_OBJECTS row
    // (a new OBJECT_ID on create; replace keeps the id), its ALL_SOURCE lines
    // (each line as given, line feed included), its ALL_ARGUMENTS rows, its
    // ALL_ERRORS rows and its status (INVALID when `errors` holds an ERROR row).
    virtual ObjectInfo storeUnit(const std::string& owner, const std::string& name, const std::string& type,
                                 const std::vector<std::string>& sourceLines,
                                 const std::vector<ArgumentRow>& arguments,
                                 const std::vector<ErrorRow>& errors) = 0;
    // Records a recompilation: new errors (empty = success) and status.
    virtual void setCompileResult(const std::string& owner, const std::string& name, const std::string& type,
                                  const std::vector<ErrorRow>& errors) = 0;
    virtual void setStatus(int64_t objectId, bool valid) = 0;
    virtual void dropObject(const std::string& owner, const std::string& name, const std::string& type) = 0;
    // ALL_SOURCE lines of a unit in line order, empty when there is none.
    virtual std::vector<std::string> sourceLines(const std::string& owner, const std::string& name,
                                                 const std::string& type) = 0;
    virtual bool userExists(const std::string& user) = 0;
};

// ---- what a session offers the PL/SQL engine ---------------------------------

// State the PL/SQL engine keeps per session (package variables, DBMS_OUTPUT
// buffer, debug mode). The session owns it and destroys it at log off.
class SessionExtension {
public:
    virtual ~SessionExtension() = default;
};

class SessionServices {
public:
    virtual ~SessionServices() = default;

    virtual int sessionId() const = 0;                 // unique within the process
    virtual const std::string& user() const = 0;       // logged-on user, upper case
    virtual const std::string& schema() const = 0;     // schema for unqualified names

    // Called with an identifier (possibly dotted: "V_NAME", "REC.FIELD",
    // "PKG.G_COUNT") that the SQL cannot resolve as a column; returns the value
    // to bind in its place, or nullopt when it is no PL/SQL name either (the
    // statement then fails with ORA-00904).
    using Resolver = std::function<std::optional<Value>(const std::string& identifier)>;

    // Runs embedded SQL with named binds. Column names win over PL/SQL names,
    // as in Oracle: only what the SQL cannot resolve reaches `resolve`.
    virtual std::unique_ptr<Cursor> query(const std::string& sql, std::vector<BindVar>& binds,
                                          const Resolver& resolve) = 0;
    // DML, DDL, COMMIT, ROLLBACK ...; returns the number of rows touched.
    virtual int64_t exec(const std::string& sql, std::vector<BindVar>& binds, const Resolver& resolve) = 0;

    virtual void commit() = 0;
    virtual void rollback() = 0;

    // Cancellation requested from another thread (Session::cancel). The
    // interpreter polls it at every statement and raises ORA-01013.
    virtual bool cancelRequested() const = 0;
    virtual void clearCancel() = 0;

    virtual Dictionary& dictionary() = 0;
    virtual std::unique_ptr<SessionExtension>& plsqlState() = 0;
};

// ---- the PL/SQL engine --------------------------------------------------------

// A stored function callable from SQL: arguments in, result out.
using SqlFunction = std::function<Value(SessionServices&, const std::vector<Value>&)>;

class PlsqlEngine {
public:
    virtual ~PlsqlEngine() = default;

    // True for the statements the engine runs: anonymous blocks (DECLARE,
    // BEGIN), CREATE [OR REPLACE] FUNCTION | PROCEDURE | PACKAGE [BODY] |
    // TRIGGER | TYPE, DROP FUNCTION | PROCEDURE | PACKAGE, ALTER FUNCTION |
    // PROCEDURE | PACKAGE ... COMPILE, ALTER SESSION SET PLSQL_DEBUG, CALL.
    virtual bool handles(std::string_view statement) const = 0;

    virtual ExecResult execute(SessionServices& session, const std::string& statement,
                               std::vector<BindVar>& binds) = 0;

    // A function named in SQL that the SQL layer does not know ("GET_RATE",
    // "DEMO.GET_RATE", "PKG.F", "DBMS_DEBUG.SET_TIMEOUT"): its implementation,
    // or an empty function when there is no such PL/SQL function.
    virtual SqlFunction resolveFunction(SessionServices& session, const std::string& name) = 0;
};

} // namespace sandbox
