// session_impl.h - one logged-on user: its own SQLite connection and
// transaction, its translated-statement cache, its sequence CURRVALs and its
// PL/SQL state; the SessionServices the PL/SQL engine works through.
#pragma once

#include "sandbox/engine.h"
#include "sandbox/server_impl.h"
#include "sandbox/sql/functions.h"
#include "sandbox/sql/translator.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sandbox {

namespace dict { class SqliteDictionary; }

// A prepared SQLite statement that a cursor may be reading.
struct PreparedSlot {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
    ~PreparedSlot();
};

class SessionImpl : public SessionServices, public sql::FunctionHost {
public:
    SessionImpl(std::shared_ptr<ServerShared> server, std::string user);
    ~SessionImpl() override;

    ExecResult execute(const std::string& text, std::vector<BindVar>& binds);
    void cancel();

    // SessionServices
    int sessionId() const override { return id_; }
    const std::string& user() const override { return user_; }
    const std::string& schema() const override { return schema_; }
    std::unique_ptr<Cursor> query(const std::string& sql, std::vector<BindVar>& binds,
                                  const Resolver& resolve) override;
    int64_t exec(const std::string& sql, std::vector<BindVar>& binds, const Resolver& resolve) override;
    void commit() override;
    void rollback() override;
    bool cancelRequested() const override { return cancel_.load(); }
    void clearCancel() override { cancel_ = false; }
    Dictionary& dictionary() override;
    std::unique_ptr<SessionExtension>& plsqlState() override { return plsqlState_; }

    // FunctionHost
    int64_t nextval(const std::string& owner, const std::string& name) override;
    int64_t currval(const std::string& owner, const std::string& name) override;
    void rememberExact(double approx, const Number& exact) override;
    const Number* exactFor(double approx) const override;

    sqlite3* db() const { return db_; }
    // Runs DDL work as Oracle does: commit what is pending, then do `work`
    // in a transaction of its own, committed at once (rolled back on error).
    void runDdl(const std::function<void()>& work);
    // Starts the session's transaction if none is open (before DML).
    void beginIfNeeded();
    // Throws the OraError for the connection's last SQLite error.
    [[noreturn]] void raise(int rc, sql::StatementKind kind = sql::StatementKind::Query) const;
    [[noreturn]] void raise(int rc, const std::string& message,
                            sql::StatementKind kind = sql::StatementKind::Query) const;

private:
    struct Cached {
        sql::Translation tr;
        std::vector<std::string> resolvedIds;
        std::vector<std::shared_ptr<PreparedSlot>> slots;   // one per SQLite statement of tr.sql
    };

    ExecResult runSql(const std::string& text, std::vector<BindVar>& binds, const Resolver* resolve,
                      bool wantCursor);
    Cached& prepare(const std::string& text, const Resolver* resolve);
    std::shared_ptr<PreparedSlot> acquire(Cached& c, size_t index);
    void bindAll(sqlite3_stmt* st, const sql::Translation& tr, const std::vector<BindVar>& binds,
                 const Resolver* resolve);
    ExecResult runDdlStatement(Cached& c, std::vector<BindVar>& binds);
    void execPlain(const char* sql);
    void createTableAs(const sql::Translation& tr);
    // Forgets PL/SQL functions registered for SQL after any DDL since.
    void refreshUserFunctions();

    std::shared_ptr<ServerShared> server_;
    sqlite3* db_ = nullptr;
    sqlite3* side_ = nullptr;   // sequence reservations outside the session's transaction
    int id_;
    std::string user_, schema_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> running_{false};
    std::unordered_map<std::string, Cached> cache_;
    std::map<std::string, int64_t> currvals_;
    std::vector<std::string> userFunctions_;   // U$NAME functions registered on db_
    std::unordered_map<uint64_t, Number> exact_;   // double bits -> exact NUMBER (see FunctionHost)
    uint64_t functionGeneration_ = 0;
    std::unique_ptr<dict::SqliteDictionary> dictionary_;
    std::unique_ptr<SessionExtension> plsqlState_;
    friend class SqlCursor;
};

} // namespace sandbox
