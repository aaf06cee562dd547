// sql_cursor.h - the Cursor over a SQLite query: Oracle column names and
// types, values converted back from SQLite's storage classes.
#pragma once

#include "sandbox/server.h"
#include "sandbox/session_impl.h"

#include <memory>
#include <vector>

namespace sandbox {

class SqlCursor : public Cursor {
public:
    // Steps to the first row at once, so that errors surface at execute and
    // the column types can be read from the first row when SQLite declares none.
    SqlCursor(std::shared_ptr<PreparedSlot> slot, SessionImpl& session);
    ~SqlCursor() override;

    const std::vector<Column>& columns() const override { return columns_; }
    bool fetch(std::vector<Value>& row) override;

private:
    void release();
    void read(std::vector<Value>& row);

    std::shared_ptr<PreparedSlot> slot_;
    SessionImpl& session_;
    std::vector<Column> columns_;
    std::vector<bool> declared_;
    bool pending_ = false, done_ = false;
};

// A query's result without rows (a statement that returned none).
class EmptyCursor : public Cursor {
public:
    const std::vector<Column>& columns() const override { return columns_; }
    bool fetch(std::vector<Value>&) override { return false; }

private:
    std::vector<Column> columns_;
};

} // namespace sandbox
