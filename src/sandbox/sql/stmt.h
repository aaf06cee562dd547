// stmt.h - a small RAII wrapper over one SQLite statement for the server's
// own bookkeeping queries (dictionary, users, sequences).
#pragma once

#include "sandbox/sql/errors.h"

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

namespace sandbox::sql {

class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) : db_(db)
    {
        int rc = sqlite3_prepare_v2(db, sql, -1, &st_, nullptr);
        if (rc != SQLITE_OK) throw oraErrorFor(rc, sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, const std::string& s)
    {
        sqlite3_bind_text(st_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int i, int64_t v) { sqlite3_bind_int64(st_, i, v); return *this; }
    Stmt& bind(int i, std::optional<int> v)
    {
        if (v) sqlite3_bind_int64(st_, i, *v);
        else sqlite3_bind_null(st_, i);
        return *this;
    }
    // Binds NULL for an empty string (Oracle's '' is NULL).
    Stmt& bindOrNull(int i, const std::string& s)
    {
        if (s.empty()) sqlite3_bind_null(st_, i);
        else bind(i, s);
        return *this;
    }
    // True while a row is there; throws on error.
    bool step()
    {
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw oraErrorFor(rc, sqlite3_errmsg(db_));
    }
    void run() { while (step()) {} }
    void reset() { sqlite3_reset(st_); sqlite3_clear_bindings(st_); }
    int64_t integer(int col) const { return sqlite3_column_int64(st_, col); }
    std::string text(int col) const
    {
        const unsigned char* p = sqlite3_column_text(st_, col);
        return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
    }
    bool isNull(int col) const { return sqlite3_column_type(st_, col) == SQLITE_NULL; }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

} // namespace sandbox::sql
