// server_impl.cpp - opening the server's database (creating the dictionary
// the first time), connections, logon and scripts.
#include "sandbox/server_impl.h"

#include "sandbox/dict/dictionary_schema.h"
#include "sandbox/ora_error.h"
#include "sandbox/session_impl.h"
#include "sandbox/sql/formats.h"
#include "sandbox/sql/functions.h"
#include "sandbox/sql/lexer.h"
#include "sandbox/sql/stmt.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace sandbox {

namespace {

// Waits for another session's write lock, in small steps, up to about ten
// seconds; a cancelled session stops waiting at once.
int busyWait(void* arg, int count)
{
    auto* cancel = static_cast<const std::atomic<bool>*>(arg);
    if (cancel && cancel->load()) return 0;
    if (count >= 1000) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(count < 10 ? 1 : 10));
    return 1;
}

std::string temporaryPath()
{
    static std::atomic<int> counter{0};
    std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
    if (dir.empty()) {
        const char* t = std::getenv("TMPDIR");
        dir = t && *t ? t : "/tmp";
    }
    std::random_device rd;
    char buf[64];
    std::snprintf(buf, sizeof buf, "/tarnel-sandbox-%d-%d-%08x.db", static_cast<int>(getpid()), counter++,
                  static_cast<unsigned>(rd()));
    return dir + buf;
}

void execOrThrow(sqlite3* db, const char* sqlText)
{
    char* err = nullptr;
    int rc = sqlite3_exec(db, sqlText, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string m = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        throw sql::oraErrorFor(rc, m);
    }
}

} // namespace

ServerShared::~ServerShared()
{
    if (!temporary) return;
    std::remove(path.c_str());
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    std::remove((path + "-journal").c_str());
}

sqlite3* ServerImpl::openConnection(const std::string& path, sql::FunctionHost* host,
                                    const std::atomic<bool>* cancel, bool temporary)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        std::string m = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        throw OraError::make(27041, "unable to open file\n" + path + ": " + m);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, busyWait, const_cast<std::atomic<bool>*>(cancel));
    // Double-quoted text is always an identifier, never a string.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    try {
        execOrThrow(db, "PRAGMA journal_mode = WAL");
        execOrThrow(db, temporary ? "PRAGMA synchronous = OFF" : "PRAGMA synchronous = NORMAL");
        execOrThrow(db, "PRAGMA foreign_keys = ON");
        // Oracle's LIKE is case-sensitive.
        execOrThrow(db, "PRAGMA case_sensitive_like = ON");
        execOrThrow(db, "PRAGMA trusted_schema = ON");
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    if (host) sql::registerFunctions(db, host);
    return db;
}

std::shared_ptr<Server> ServerImpl::open(const std::string& path, bool* created)
{
    auto shared = std::make_shared<ServerShared>();
    shared->temporary = path.empty();
    shared->path = path.empty() ? temporaryPath() : path;
    sqlite3* db = openConnection(shared->path, nullptr, nullptr, shared->temporary);
    bool fresh = false;
    try {
        execOrThrow(db, "BEGIN IMMEDIATE");
        {
            sql::Stmt s(db, "SELECT 1 FROM sqlite_master WHERE name = 'SYS.USER$'");
            fresh = !s.step();
        }
        if (fresh) {
            execOrThrow(db, dict::bootstrapSql().c_str());
            std::string now = sql::storedDate(DateTime::now());
            sql::Stmt obj(db, "INSERT INTO \"SYS.OBJ$\" (OWNER, OBJECT_NAME, OBJECT_TYPE, CREATED, LAST_DDL_TIME, STATUS, "
                              "NAMESPACE) SELECT 'SYS', substr(name, 5), upper(type), ?1, ?1, 'VALID', 1 "
                              "FROM sqlite_master WHERE name LIKE 'SYS.%' AND name NOT LIKE '%$' "
                              "AND type IN ('table', 'view') ORDER BY type, name");
            obj.bind(1, now).run();
            sql::Stmt users(db, "INSERT INTO \"SYS.USER$\" (NAME, PASSWORD, USER_ID, CREATED) VALUES "
                                "('SYS', ?2, 0, ?1), ('DEMO', 'demo', 101, ?1)");
            // SYS exists as the dictionary's owner; nobody logs on as SYS here.
            std::random_device rd;
            users.bind(1, now).bind(2, "!" + std::to_string(rd()) + std::to_string(rd())).run();
        }
        execOrThrow(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
    if (created) *created = fresh;
    return std::shared_ptr<Server>(new Server(std::make_unique<ServerImpl>(shared)));
}

void ServerImpl::setEngine(std::shared_ptr<PlsqlEngine> engine) { shared_->engine = std::move(engine); }

std::unique_ptr<Session> ServerImpl::logon(const std::string& user, const std::string& password)
{
    std::string name = sql::upper(user);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    if (name.empty()) throw OraError::make(1017, "invalid username/password; logon denied");
    if (password.empty()) throw OraError::make(1005, "null password given; logon denied");
    auto impl = std::make_unique<SessionImpl>(shared_, name);
    sql::Stmt s(impl->db(), "SELECT PASSWORD FROM \"SYS.USER$\" WHERE NAME = ?1");
    s.bind(1, name);
    if (!s.step() || s.text(0) != password) throw OraError::make(1017, "invalid username/password; logon denied");
    return std::unique_ptr<Session>(new Session(std::move(impl)));
}

std::vector<ScriptError> ServerImpl::runScript(Session& session, std::string_view script)
{
    std::vector<ScriptError> errors;
    for (const ScriptStatement& st : splitScript(script)) {
        std::vector<BindVar> binds;
        try {
            ExecResult r = session.execute(st.text, binds);
            if (r.cursor) {
                std::vector<Value> row;
                while (r.cursor->fetch(row)) {}
            }
            if (r.warningCode) errors.push_back({st.line, st.text, r.warningText});
        } catch (const OraError& e) {
            errors.push_back({st.line, st.text, e.what()});
        }
    }
    return errors;
}

} // namespace sandbox
