// OraSQL: statement execution.
#include "db/OraSQL.h"

#include "db/OraError.h"

namespace db {

EOraError WarningError(int code, const std::string& text)
{
    if (text.rfind("ORA-", 0) == 0)
        return EOraError(code, text);
    return EOraError::Make(code, text.empty() ? "success with compilation error" : text);
}

} // namespace db

void TOraSQL::Execute()
{
    db::DriverResult result = run();
    rowsAffected_ = result.rowCount;
    if (result.warningCode != 0)
        throw db::WarningError(result.warningCode, result.warningText);
}
