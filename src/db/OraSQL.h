// OraSQL: a statement with named bind variables, executed synchronously.
#pragma once

#include "db/OraCommand.h"
#include "db/OraError.h"

#include <cstdint>

class TOraSQL : public TOraCommand {
public:
    explicit TOraSQL(TOraSession* session = nullptr) : TOraCommand(session) {}

    // Runs the text with its binds and returns when the server has finished.
    // Out and InOut values are read back first; then a server warning (such
    // as ORA-24344, a unit stored with compilation errors) is raised as
    // EOraError, the statement's effects being kept.
    void Execute();

    // Rows the last DML touched.
    int64_t RowsAffected() const { return rowsAffected_; }

private:
    int64_t rowsAffected_ = 0;
};

namespace db {
// The EOraError for a warning the server returned with success.
EOraError WarningError(int code, const std::string& text);
} // namespace db
