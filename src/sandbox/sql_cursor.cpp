// sql_cursor.cpp - fetching rows of a translated query.
#include "sandbox/sql_cursor.h"

#include "sandbox/sql/formats.h"
#include "sandbox/sql/sqlite_values.h"

#include <sqlite3.h>

namespace sandbox {

namespace {

// A cell of a column whose type SQLite does not declare (an expression).
Value naturalValue(sqlite3_stmt* st, int col, const sql::FunctionHost& host)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL: return Value();
    case SQLITE_INTEGER: return Value::integer(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT: {
        double d = sqlite3_column_double(st, col);
        if (const Number* exact = host.exactFor(d)) return Value::number(*exact);
        return Value::number(sql::realToNumber(d));
    }
    default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        std::string_view s(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, col)));
        if (s.size() == 19)
            if (auto d = sql::parseStoredDate(s)) return Value::date(*d);
        return Value::string(std::string(s));
    }
    }
}

} // namespace

SqlCursor::SqlCursor(std::shared_ptr<PreparedSlot> slot, SessionImpl& session)
    : slot_(std::move(slot)), session_(session)
{
    sqlite3_stmt* st = slot_->stmt;
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) pending_ = true;
    else if (rc == SQLITE_DONE) done_ = true;
    else {
        std::string msg = sqlite3_errmsg(session_.db());
        release();
        session_.raise(rc, msg);
    }
    int n = sqlite3_column_count(st);
    columns_.resize(static_cast<size_t>(n));
    declared_.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Column& c = columns_[static_cast<size_t>(i)];
        const char* name = sqlite3_column_name(st, i);
        c.name = name ? name : "";
        Column::Type t = Column::Type::String;
        if (sql::typeFromDecl(sqlite3_column_decltype(st, i), t)) {
            declared_[static_cast<size_t>(i)] = true;
        } else if (pending_) {
            int ct = sqlite3_column_type(st, i);
            if (ct == SQLITE_INTEGER || ct == SQLITE_FLOAT) t = Column::Type::Number;
            else if (ct == SQLITE_TEXT && naturalValue(st, i, session_).kind() == Value::Kind::Date) t = Column::Type::Date;
        }
        c.type = t;
    }
    if (done_) release();
}

SqlCursor::~SqlCursor() { release(); }

void SqlCursor::release()
{
    if (!slot_) return;
    sqlite3_reset(slot_->stmt);
    sqlite3_clear_bindings(slot_->stmt);
    slot_->inUse = false;
    slot_.reset();
}

void SqlCursor::read(std::vector<Value>& row)
{
    sqlite3_stmt* st = slot_->stmt;
    size_t n = columns_.size();
    row.resize(n);
    for (size_t i = 0; i < n; ++i)
        row[i] = declared_[i] ? sql::columnValue(st, static_cast<int>(i), columns_[i].type)
                              : naturalValue(st, static_cast<int>(i), session_);
}

bool SqlCursor::fetch(std::vector<Value>& row)
{
    if (done_) return false;
    if (pending_) {
        pending_ = false;
        read(row);
        return true;
    }
    int rc = sqlite3_step(slot_->stmt);
    if (rc == SQLITE_ROW) {
        read(row);
        return true;
    }
    done_ = true;
    std::string msg = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(session_.db());
    release();
    if (rc != SQLITE_DONE) session_.raise(rc, msg);
    return false;
}

} // namespace sandbox
