// session_impl.cpp - running statements for one session: routing PL/SQL to
// the engine, translating SQL, resolving PL/SQL names and functions, binding,
// transactions and DDL with its dictionary rows.
#include "sandbox/session_impl.h"

#include "sandbox/dict/sqlite_dictionary.h"
#include "sandbox/ora_error.h"
#include "sandbox/sql/errors.h"
#include "sandbox/sql/formats.h"
#include "sandbox/sql/lexer.h"
#include "sandbox/sql/sqlite_values.h"
#include "sandbox/sql/stmt.h"
#include "sandbox/sql_cursor.h"

#include <sqlite3.h>

#include <cstring>

namespace sandbox {

using sql::StatementKind;

PreparedSlot::~PreparedSlot() { sqlite3_finalize(stmt); }

namespace {

__extension__ typedef __int128 Wide;

bool isDdl(StatementKind k)
{
    switch (k) {
    case StatementKind::CreateTable: case StatementKind::CreateView: case StatementKind::CreateIndex:
    case StatementKind::CreateSequence: case StatementKind::CreateUser: case StatementKind::DropTable:
    case StatementKind::DropView: case StatementKind::DropIndex: case StatementKind::DropSequence:
    case StatementKind::DropUser: case StatementKind::AlterTable: case StatementKind::Truncate:
        return true;
    default:
        return false;
    }
}

bool sameName(const std::string& bindName, const std::string& upperName)
{
    std::string_view b = bindName;
    if (!b.empty() && b[0] == ':') b.remove_prefix(1);
    if (b.size() != upperName.size()) return false;
    for (size_t i = 0; i < b.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(b[i])) != upperName[i]) return false;
    return true;
}

BindVar* findBind(std::vector<BindVar>& binds, const std::string& upperName)
{
    for (BindVar& b : binds)
        if (sameName(b.name, upperName)) return &b;
    return nullptr;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// A PL/SQL function called from SQL, registered on the connection on first use.
struct UserFunction {
    SqlFunction fn;
    SessionImpl* session;
};

void callUserFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* u = static_cast<UserFunction*>(sqlite3_user_data(ctx));
    try {
        std::vector<Value> args;
        args.reserve(static_cast<size_t>(argc));
        for (int i = 0; i < argc; ++i) {
            const Number* exact = sqlite3_value_type(argv[i]) == SQLITE_FLOAT
                                      ? u->session->exactFor(sqlite3_value_double(argv[i])) : nullptr;
            args.push_back(exact ? Value::number(*exact) : sql::fromSqlite(argv[i]));
        }
        Value r = u->fn(*u->session, args);
        if (r.kind() == Value::Kind::Number && !r.asNumber().toInt64()) {
            double d = r.asNumber().toDouble();
            if (!(sql::realToNumber(d) == r.asNumber())) u->session->rememberExact(d, r.asNumber());
        }
        sql::resultValue(ctx, r);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

} // namespace

SessionImpl::SessionImpl(std::shared_ptr<ServerShared> server, std::string user)
    : server_(std::move(server)), id_(server_->nextSessionId++), user_(std::move(user)), schema_(user_)
{
    db_ = ServerImpl::openConnection(server_->path, this, &cancel_, server_->temporary);
    dictionary_ = std::make_unique<dict::SqliteDictionary>(*this);
}

SessionImpl::~SessionImpl()
{
    plsqlState_.reset();
    cache_.clear();
    // A session that ends normally keeps its work, as an Oracle client's
    // logoff does.
    if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    dictionary_.reset();
    sqlite3_close_v2(side_);
    sqlite3_close_v2(db_);
}

Dictionary& SessionImpl::dictionary() { return *dictionary_; }

void SessionImpl::raise(int rc, StatementKind kind) const { raise(rc, sqlite3_errmsg(db_), kind); }

void SessionImpl::raise(int rc, const std::string& message, StatementKind kind) const
{
    if (cancel_.load() && ((rc & 0xff) == SQLITE_INTERRUPT || (rc & 0xff) == SQLITE_BUSY))
        throw OraError::make(1013, "user requested cancel of current operation");
    throw sql::oraErrorFor(rc, message, kind);
}

void SessionImpl::execPlain(const char* sqlText)
{
    int rc = sqlite3_exec(db_, sqlText, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) raise(rc);
}

void SessionImpl::cancel()
{
    if (!running_.load()) return;
    cancel_ = true;
    sqlite3_interrupt(db_);   // the side connection's busy wait watches cancel_
}

ExecResult SessionImpl::execute(const std::string& text, std::vector<BindVar>& binds)
{
    struct Running {
        SessionImpl* s;
        Running(SessionImpl* self) : s(self)
        {
            s->cancel_ = false;
            s->running_ = true;
        }
        ~Running() { s->running_ = false; }
    } running(this);
    // Exact values of an earlier statement must not colour this one's doubles.
    exact_.clear();
    PlsqlEngine* engine = server_->engine.get();
    if (engine && engine->handles(text)) return engine->execute(*this, text, binds);
    return runSql(text, binds, nullptr, true);
}

std::unique_ptr<Cursor> SessionImpl::query(const std::string& text, std::vector<BindVar>& binds,
                                           const Resolver& resolve)
{
    ExecResult r = runSql(text, binds, resolve ? &resolve : nullptr, true);
    if (r.cursor) return std::move(r.cursor);
    return std::make_unique<EmptyCursor>();
}

int64_t SessionImpl::exec(const std::string& text, std::vector<BindVar>& binds, const Resolver& resolve)
{
    ExecResult r = runSql(text, binds, resolve ? &resolve : nullptr, false);
    return r.rowCount;
}

void SessionImpl::beginIfNeeded()
{
    if (sqlite3_get_autocommit(db_)) execPlain("BEGIN IMMEDIATE");
}

void SessionImpl::commit()
{
    if (!sqlite3_get_autocommit(db_)) execPlain("COMMIT");
}

void SessionImpl::rollback()
{
    if (!sqlite3_get_autocommit(db_)) execPlain("ROLLBACK");
}

void SessionImpl::runDdl(const std::function<void()>& work)
{
    commit();
    execPlain("BEGIN IMMEDIATE");
    try {
        work();
        execPlain("COMMIT");
        ++server_->ddlGeneration;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SessionImpl::refreshUserFunctions()
{
    uint64_t now = server_->ddlGeneration.load();
    if (userFunctions_.empty() || now == functionGeneration_) return;
    // Statements still running keep theirs; try again at the next statement.
    for (sqlite3_stmt* st = sqlite3_next_stmt(db_, nullptr); st; st = sqlite3_next_stmt(db_, st))
        if (sqlite3_stmt_busy(st)) return;
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        for (const auto& slot : it->second.slots)
            if (slot->inUse) return;
    cache_.clear();
    for (const std::string& name : userFunctions_)
        sqlite3_create_function_v2(db_, name.c_str(), -1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
    userFunctions_.clear();
    functionGeneration_ = now;
}

SessionImpl::Cached& SessionImpl::prepare(const std::string& text, const Resolver* resolve)
{
    refreshUserFunctions();
    std::string key = (resolve ? "R|" : "S|") + schema_ + "|" + text;
    auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;

    sql::TranslateOptions opt;
    opt.schema = schema_;
    Cached c;
    for (int attempt = 0;; ++attempt) {
        c.tr = sql::translate(text, opt);
        c.resolvedIds = opt.resolvedIds;
        c.slots.clear();
        if (isDdl(c.tr.kind) || c.tr.sql.empty()) break;
        auto slot = std::make_shared<PreparedSlot>();
        int rc = sqlite3_prepare_v2(db_, c.tr.sql[0].c_str(), -1, &slot->stmt, nullptr);
        if (rc == SQLITE_OK) {
            c.slots.push_back(slot);
            break;
        }
        std::string msg = sqlite3_errmsg(db_);
        if (attempt < 64 && msg.rfind("no such column: ", 0) == 0 && resolve) {
            // Columns win over PL/SQL names: only what SQLite cannot resolve
            // is offered to the PL/SQL scope, and bound in its place.
            std::string name = msg.substr(16);
            if ((*resolve)(name)) {
                opt.resolvedIds.push_back(name);
                continue;
            }
        }
        if (attempt < 64 && msg.rfind("no such function: U$", 0) == 0 && server_->engine) {
            std::string name = msg.substr(20);
            SqlFunction fn = server_->engine->resolveFunction(*this, name);
            if (fn) {
                auto* u = new UserFunction{std::move(fn), this};
                if (userFunctions_.empty()) functionGeneration_ = server_->ddlGeneration.load();
                userFunctions_.push_back("U$" + name);
                sqlite3_create_function_v2(db_, userFunctions_.back().c_str(), -1, SQLITE_UTF8, u, callUserFunction,
                                           nullptr, nullptr, [](void* p) { delete static_cast<UserFunction*>(p); });
                continue;
            }
        }
        raise(rc, msg, c.tr.kind);
    }
    if (cache_.size() >= 512) {
        // Many distinct texts (dynamic SQL in a loop): forget the idle ones.
        for (auto it = cache_.begin(); it != cache_.end();) {
            bool busy = false;
            for (const auto& slot : it->second.slots) busy = busy || slot->inUse;
            it = busy ? std::next(it) : cache_.erase(it);
        }
    }
    return cache_.emplace(key, std::move(c)).first->second;
}

std::shared_ptr<PreparedSlot> SessionImpl::acquire(Cached& c, size_t index)
{
    if (index < c.slots.size() && !c.slots[index]->inUse) {
        c.slots[index]->inUse = true;
        return c.slots[index];
    }
    // The cached statement is still being read (a cursor inside a loop over
    // the same query): a private copy serves this execution.
    auto slot = std::make_shared<PreparedSlot>();
    int rc = sqlite3_prepare_v2(db_, c.tr.sql[index].c_str(), -1, &slot->stmt, nullptr);
    if (rc != SQLITE_OK) raise(rc, c.tr.kind);
    slot->inUse = true;
    return slot;
}

void SessionImpl::bindAll(sqlite3_stmt* st, const sql::Translation& tr, const std::vector<BindVar>& binds,
                          const Resolver* resolve)
{
    for (size_t k = 0; k < tr.binds.size(); ++k) {
        const std::string& name = tr.binds[k];
        int index = static_cast<int>(k + 1);
        if (!name.empty() && name[0] == '\x01') {
            std::string id = name.substr(1);
            std::optional<Value> v = resolve ? (*resolve)(id) : std::nullopt;
            if (!v) throw OraError::make(904, sql::quotedPath(id) + ": invalid identifier");
            sql::bindValue(st, index, *v);
            continue;
        }
        const BindVar* b = nullptr;
        for (const BindVar& x : binds)
            if (sameName(x.name, name)) { b = &x; break; }
        if (!b) throw OraError::make(1008, "not all variables bound");
        sql::bindValue(st, index, b->value);
    }
}

ExecResult SessionImpl::runSql(const std::string& text, std::vector<BindVar>& binds, const Resolver* resolve,
                               bool /*wantCursor*/)
{
    Cached& c = prepare(text, resolve);
    const sql::Translation& tr = c.tr;
    ExecResult result;
    switch (tr.kind) {
    case StatementKind::Query: {
        auto slot = acquire(c, 0);
        try {
            bindAll(slot->stmt, tr, binds, resolve);
        } catch (...) {
            sqlite3_clear_bindings(slot->stmt);
            slot->inUse = false;
            throw;
        }
        result.cursor = std::make_unique<SqlCursor>(std::move(slot), *this);
        return result;
    }
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete: {
        beginIfNeeded();
        auto slot = acquire(c, 0);
        struct Release {
            PreparedSlot* s;
            ~Release()
            {
                sqlite3_reset(s->stmt);
                sqlite3_clear_bindings(s->stmt);
                s->inUse = false;
            }
        } release{slot.get()};
        bindAll(slot->stmt, tr, binds, resolve);
        int rows = 0;
        for (;;) {
            int rc = sqlite3_step(slot->stmt);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) raise(rc, tr.kind);
            // RETURNING ... INTO: the returned row goes into the out binds.
            if (++rows == 1) {
                for (size_t k = 0; k < tr.returningInto.size(); ++k) {
                    BindVar* b = findBind(binds, tr.returningInto[k]);
                    if (!b) throw OraError::make(1008, "not all variables bound");
                    int col = static_cast<int>(k);
                    Column::Type t = Column::Type::String;
                    Value v = sql::typeFromDecl(sqlite3_column_decltype(slot->stmt, col), t)
                                  ? sql::columnValue(slot->stmt, col, t)
                                  : sql::fromSqlite(sqlite3_column_value(slot->stmt, col));
                    if (b->type == BindType::String && !v.isNull()) v = Value::string(v.toText());
                    b->value = v;
                }
            }
        }
        result.rowCount = sqlite3_changes64(db_);
        return result;
    }
    case StatementKind::Commit: commit(); return result;
    case StatementKind::Rollback: rollback(); return result;
    case StatementKind::Savepoint:
        beginIfNeeded();
        execPlain(("SAVEPOINT " + quoted(tr.savepoint)).c_str());
        return result;
    case StatementKind::RollbackTo: {
        if (sqlite3_get_autocommit(db_))
            throw OraError::make(1086, "savepoint '" + tr.savepoint + "' never established in this session or is invalid");
        int rc = sqlite3_exec(db_, ("ROLLBACK TO " + quoted(tr.savepoint)).c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw OraError::make(1086, "savepoint '" + tr.savepoint + "' never established in this session or is invalid");
        return result;
    }
    case StatementKind::SetSchema:
        if (!dictionary_->userExists(tr.name)) throw OraError::make(1435, "user does not exist");
        schema_ = tr.name;
        return result;
    case StatementKind::NoOp: return result;
    default: break;
    }
    if (!tr.binds.empty()) throw OraError::make(1027, "bind variables not allowed for data definition operations");
    return runDdlStatement(c, binds);
}

ExecResult SessionImpl::runDdlStatement(Cached& c, std::vector<BindVar>&)
{
    const sql::Translation& tr = c.tr;
    dict::SqliteDictionary& d = *dictionary_;
    auto runAll = [&] {
        for (const std::string& s : tr.sql) {
            int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) raise(rc, tr.kind);
        }
    };
    auto missing = [&]() -> OraError {
        switch (tr.kind) {
        case StatementKind::DropIndex: return OraError::make(1418, "specified index does not exist");
        case StatementKind::DropSequence: return OraError::make(2289, "sequence does not exist");
        default: return OraError::make(942, "table or view does not exist");
        }
    };
    runDdl([&] {
        switch (tr.kind) {
        case StatementKind::CreateTable:
        case StatementKind::CreateIndex:
        case StatementKind::CreateView: {
            std::optional<ObjectInfo> old;
            if (tr.kind == StatementKind::CreateView && tr.orReplace) old = d.findObject(tr.owner, tr.name, "VIEW");
            if (old) {
                std::string drop = "DROP VIEW " + quoted(sql::storageName(tr.owner, tr.name));
                execPlain(drop.c_str());
                d.touchObject(old->objectId);
            } else {
                d.addObject(tr.owner, tr.name, tr.objectType);
            }
            if (tr.asQuery) createTableAs(tr);
            else runAll();
            break;
        }
        case StatementKind::CreateSequence: {
            int64_t id = d.addObject(tr.owner, tr.name, "SEQUENCE");
            sql::Stmt s(db_, "INSERT INTO \"SYS.SEQ$\" (OBJ_ID, LAST_NUMBER, INCREMENT_BY, MIN_VALUE, MAX_VALUE, "
                             "CYCLE_FLAG) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
            const sql::SequenceOptions& o = tr.sequence;
            s.bind(1, id).bind(2, o.start).bind(3, o.increment).bind(4, o.minValue).bind(5, o.maxValue);
            s.bind(6, std::string(o.cycle ? "Y" : "N")).run();
            break;
        }
        case StatementKind::CreateUser: {
            if (d.userExists(tr.name))
                throw OraError::make(1920, "user name '" + tr.name + "' conflicts with another user or role name");
            sql::Stmt s(db_, "INSERT INTO \"SYS.USER$\" (NAME, PASSWORD, USER_ID, CREATED) "
                             "SELECT ?1, ?2, COALESCE(MAX(USER_ID), 100) + 1, ?3 FROM \"SYS.USER$\"");
            s.bind(1, tr.name).bind(2, tr.password).bind(3, sql::storedDate(DateTime::now())).run();
            break;
        }
        case StatementKind::DropTable:
        case StatementKind::DropView:
        case StatementKind::DropIndex:
        case StatementKind::DropSequence: {
            std::optional<ObjectInfo> o = d.findObject(tr.owner, tr.name, tr.objectType);
            if (!o) throw missing();
            if (tr.kind == StatementKind::DropTable) {
                // Indexes go with their table.
                sql::Stmt ix(db_, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND sql IS NOT NULL");
                ix.bind(1, sql::storageName(tr.owner, tr.name));
                std::vector<std::string> names;
                while (ix.step()) names.push_back(ix.text(0));
                for (const std::string& n : names) {
                    size_t dot = n.find('.');
                    if (dot == std::string::npos) continue;
                    if (auto io = d.findObject(n.substr(0, dot), n.substr(dot + 1), "INDEX")) d.removeObject(io->objectId);
                }
            }
            runAll();
            d.removeObject(o->objectId);
            break;
        }
        case StatementKind::DropUser: {
            d.requireUser(tr.name);
            sql::Stmt s(db_, "SELECT OBJECT_ID, OBJECT_NAME, OBJECT_TYPE FROM \"SYS.OBJ$\" WHERE OWNER = ?1 ORDER BY OBJECT_ID DESC");
            s.bind(1, tr.name);
            std::vector<std::tuple<int64_t, std::string, std::string>> objs;
            while (s.step()) objs.emplace_back(s.integer(0), s.text(1), s.text(2));
            if (!objs.empty() && !tr.cascade)
                throw OraError::make(1922, "CASCADE must be specified to drop '" + tr.name + "'");
            for (auto& [id, name, type] : objs) {
                std::string st = quoted(sql::storageName(tr.name, name));
                if (type == "VIEW") execPlain(("DROP VIEW IF EXISTS " + st).c_str());
                else if (type == "TABLE") execPlain(("DROP TABLE IF EXISTS " + st).c_str());
                d.removeObject(id);
            }
            sql::Stmt u(db_, "DELETE FROM \"SYS.USER$\" WHERE NAME = ?1");
            u.bind(1, tr.name).run();
            break;
        }
        case StatementKind::AlterTable:
        case StatementKind::Truncate: {
            std::optional<ObjectInfo> o = d.findObject(tr.owner, tr.name, "TABLE");
            if (!o) throw missing();
            if (tr.kind == StatementKind::Truncate) {
                runAll();
                d.touchObject(o->objectId);
                break;
            }
            if (!tr.newName.empty()) {
                if (!d.objectsNamed(tr.owner, tr.newName).empty())
                    throw OraError::make(955, "name is already used by an existing object");
                sql::Stmt r(db_, "UPDATE \"SYS.OBJ$\" SET OBJECT_NAME = ?2 WHERE OBJECT_ID = ?1");
                r.bind(1, o->objectId).bind(2, tr.newName).run();
            }
            // The column triggers name the columns: drop them, change the
            // table, and make them again for the columns it has now.
            std::vector<std::string> triggers;
            {
                sql::Stmt t(db_, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name = ?1 "
                                 "AND (name LIKE '%/check/%' OR name LIKE '%/convert/%')");
                t.bind(1, sql::storageName(tr.owner, tr.name));
                while (t.step()) triggers.push_back(t.text(0));
            }
            for (const std::string& t : triggers) execPlain(("DROP TRIGGER " + quoted(t)).c_str());
            runAll();
            std::string table = tr.newName.empty() ? tr.name : tr.newName;
            std::vector<std::pair<std::string, std::string>> columns;
            {
                sql::Stmt c(db_, "SELECT name, type FROM pragma_table_info(?1)");
                c.bind(1, sql::storageName(tr.owner, table));
                while (c.step()) columns.emplace_back(c.text(0), c.text(1));
            }
            for (const std::string& t : sql::columnTriggerSql(tr.owner, table, columns)) execPlain(t.c_str());
            d.touchObject(o->objectId);
            break;
        }
        default: break;
        }
    });
    return {};
}

void SessionImpl::createTableAs(const sql::Translation& tr)
{
    // Column names and declared types from the query; expressions without a
    // declared type take the type of their first value.
    std::vector<std::pair<std::string, std::string>> columns;
    {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db_, tr.sql[0].c_str(), -1, &st, nullptr);
        if (rc != SQLITE_OK) raise(rc, tr.kind);
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(st, sqlite3_finalize);
        rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) raise(rc, tr.kind);
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const char* decl = sqlite3_column_decltype(st, i);
            std::string type = decl ? decl : "";
            if (type.empty() && rc == SQLITE_ROW) {
                Value v = sql::fromSqlite(sqlite3_column_value(st, i));
                type = v.kind() == Value::Kind::Number ? "NUMBER" : v.kind() == Value::Kind::Date ? "DATE"
                                                                                              : "VARCHAR2(4000)";
            }
            if (type.empty()) type = "VARCHAR2(4000)";
            std::string name = sqlite3_column_name(st, i);
            for (const auto& c : columns)
                if (sql::upper(c.first) == sql::upper(name))
                    throw OraError::make(957, "duplicate column name");
            columns.emplace_back(name, type);
        }
    }
    std::string table = quoted(sql::storageName(tr.owner, tr.name));
    std::string create = "CREATE TABLE " + table + " (";
    for (size_t i = 0; i < columns.size(); ++i)
        create += (i ? ", " : "") + quoted(columns[i].first) + " " + columns[i].second;
    execPlain((create + ")").c_str());
    int rc = sqlite3_exec(db_, ("INSERT INTO " + table + " " + tr.sql[0]).c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) raise(rc, tr.kind);
    for (const std::string& t : sql::columnTriggerSql(tr.owner, tr.name, columns)) execPlain(t.c_str());
}

int64_t SessionImpl::nextval(const std::string& owner, const std::string& name)
{
    int64_t id;
    {
        sql::Stmt s(db_, "SELECT O.OBJECT_ID FROM \"SYS.OBJ$\" O WHERE O.OWNER = ?1 AND O.OBJECT_NAME = ?2 "
                         "AND O.OBJECT_TYPE = 'SEQUENCE'");
        s.bind(1, owner).bind(2, name);
        if (!s.step()) throw OraError::make(2289, "sequence does not exist");
        id = s.integer(0);
    }
    const std::string key = owner + "." + name;
    {
        std::lock_guard<std::mutex> lock(server_->sequenceMutex);
        ServerShared::SequenceBlock& block = server_->sequences[id];
        if (block.remaining > 0) {
            int64_t v = block.next;
            if (--block.remaining > 0 && __builtin_add_overflow(block.next, block.increment, &block.next))
                block.remaining = 0;
            currvals_[key] = v;
            return v;
        }
    }
    // Reserve the next block of up to 20 numbers, without holding the lock
    // while the database may make us wait. Inside a transaction the session
    // already holds the write lock and the reservation goes with its work;
    // outside one it commits at once on a side connection of the session
    // (the main one may be reading under an older snapshot, which could
    // never become a writer).
    int64_t start, inc, count;
    bool own = sqlite3_get_autocommit(db_) != 0;
    if (own && !side_) side_ = ServerImpl::openConnection(server_->path, nullptr, &cancel_, server_->temporary);
    sqlite3* db = own ? side_ : db_;
    auto run = [&](const char* sqlText) {
        int rc = sqlite3_exec(db, sqlText, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) raise(rc, sqlite3_errmsg(db));
    };
    if (own) run("BEGIN IMMEDIATE");
    try {
        sql::Stmt s(db, "SELECT LAST_NUMBER, INCREMENT_BY, MIN_VALUE, MAX_VALUE, CYCLE_FLAG FROM \"SYS.SEQ$\" "
                        "WHERE OBJ_ID = ?1");
        s.bind(1, id);
        if (!s.step()) throw OraError::make(2289, "sequence does not exist");
        start = s.integer(0);
        inc = s.integer(1);
        int64_t lo = s.integer(2), hi = s.integer(3);
        bool cycle = s.text(4) == "Y";
        if ((inc > 0 && start > hi) || (inc < 0 && start < lo)) {
            if (!cycle)
                throw OraError::make(8004, "sequence " + name + ".NEXTVAL " +
                                               (inc > 0 ? "exceeds MAXVALUE" : "goes below MINVALUE") +
                                               " and cannot be instantiated");
            start = inc > 0 ? lo : hi;
        }
        // How many values remain before the limit, at most 20.
        Wide span = inc > 0 ? Wide(hi) - Wide(start) : Wide(start) - Wide(lo);
        Wide step = inc > 0 ? Wide(inc) : -Wide(inc);
        count = static_cast<int64_t>(std::min<Wide>(span / step + 1, 20));
        int64_t last;
        if (__builtin_mul_overflow(inc, count, &last) || __builtin_add_overflow(start, last, &last))
            last = inc > 0 ? INT64_MAX : INT64_MIN;
        sql::Stmt u(db, "UPDATE \"SYS.SEQ$\" SET LAST_NUMBER = ?2 WHERE OBJ_ID = ?1");
        u.bind(1, id).bind(2, last).run();
        if (own) run("COMMIT");
    } catch (...) {
        if (own && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    {
        // The rest of the block serves the next calls, unless another session
        // filled it meanwhile (then the rest is a gap, as Oracle's caches leave).
        std::lock_guard<std::mutex> lock(server_->sequenceMutex);
        ServerShared::SequenceBlock& block = server_->sequences[id];
        int64_t next;
        if (block.remaining == 0 && count > 1 && !__builtin_add_overflow(start, inc, &next)) {
            block.next = next;
            block.remaining = count - 1;
            block.increment = inc;
        }
    }
    currvals_[key] = start;
    return start;
}

void SessionImpl::rememberExact(double approx, const Number& exact)
{
    if (exact_.size() >= 4096) exact_.clear();
    uint64_t bits;
    std::memcpy(&bits, &approx, sizeof bits);
    exact_.insert_or_assign(bits, exact);
}

const Number* SessionImpl::exactFor(double approx) const
{
    if (exact_.empty()) return nullptr;
    uint64_t bits;
    std::memcpy(&bits, &approx, sizeof bits);
    auto it = exact_.find(bits);
    return it == exact_.end() ? nullptr : &it->second;
}

int64_t SessionImpl::currval(const std::string& owner, const std::string& name)
{
    auto it = currvals_.find(owner + "." + name);
    if (it == currvals_.end())
        throw OraError::make(8002, "sequence " + name + ".CURRVAL is not yet defined in this session");
    return it->second;
}

} // namespace sandbox
