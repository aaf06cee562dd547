// server_impl.h - the server behind Server: one SQLite database holding every
// schema and the data dictionary, the users, and the installed PL/SQL engine.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/script.h"
#include "sandbox/server.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace sandbox::sql { class FunctionHost; }

namespace sandbox {

// What the server and all its sessions share; it outlives the Server object
// while sessions remain. A temporary database is removed with it.
struct ServerShared {
    std::string path;                       // SQLite file
    bool temporary = false;                 // private database, deleted at the end
    std::shared_ptr<PlsqlEngine> engine;    // may be null: PL/SQL is then ORA-00900
    std::atomic<int> nextSessionId{1};
    // Bumped by every DDL commit, so sessions drop the PL/SQL functions they
    // registered for SQL (they may have been replaced or dropped).
    std::atomic<uint64_t> ddlGeneration{0};

    // Sequence numbers are handed out from blocks reserved in SYS.SEQ$ (as
    // Oracle's CACHE does), so NEXTVAL neither waits for nor holds a
    // transaction. Keyed by the sequence's object id.
    struct SequenceBlock {
        int64_t next = 0;
        int64_t remaining = 0;
        int64_t increment = 1;
    };
    std::mutex sequenceMutex;
    std::map<int64_t, SequenceBlock> sequences;

    ~ServerShared();
};

struct ScriptError {
    int line = 0;            // script line where the statement starts
    std::string statement;
    std::string message;     // ORA-/PLS- text
};

class ServerImpl {
public:
    // Opens the database at `path`, creating the dictionary and the user DEMO
    // (password "demo") when the file is new; `path` empty makes a private
    // temporary database. `created` tells whether the dictionary was new, so
    // the caller loads the demo schema. Throws OraError when the file cannot
    // be opened.
    static std::shared_ptr<Server> open(const std::string& path, bool* created = nullptr);

    // Installs the PL/SQL engine; call before the first logon.
    void setEngine(std::shared_ptr<PlsqlEngine> engine);
    PlsqlEngine* engine() const { return shared_->engine.get(); }
    const std::string& databasePath() const { return shared_->path; }

    std::unique_ptr<Session> logon(const std::string& user, const std::string& password);

    // Runs a script through `session`, statement by statement; a failing
    // statement is recorded and the script goes on. ORA-24344 warnings are
    // recorded as errors too.
    std::vector<ScriptError> runScript(Session& session, std::string_view script);

    // Opens and configures one connection: WAL, a bounded wait for other
    // sessions' write locks (ended early by `cancel`), Oracle's functions
    // bound to `host` (null for the server's own bookkeeping connection).
    static sqlite3* openConnection(const std::string& path, sql::FunctionHost* host,
                                   const std::atomic<bool>* cancel, bool temporary);

    explicit ServerImpl(std::shared_ptr<ServerShared> shared) : shared_(std::move(shared)) {}

private:
    std::shared_ptr<ServerShared> shared_;
};

} // namespace sandbox
