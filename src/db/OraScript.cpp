// OraScript: statement-by-statement script execution.
#include "db/OraScript.h"

#include "db/OraSQL.h"
#include "db/OraSession.h"
#include "db/ScriptSplitter.h"

#include <stdexcept>

TOraScript::TOraScript(TOraSession* session)
    : OnError([](const EOraError& e) { db::ShowError(e); }), session_(session)
{
}

void TOraScript::Execute()
{
    if (!session_)
        throw std::logic_error("script has no session");
    auto statements = db::SplitScript(sql_.Text());
    if (!statements.empty() && !session_->Connected() && !session_->Connect())
        throw EAbort();
    for (const auto& statement : statements) {
        try {
            std::vector<db::DriverBind> noBinds;
            db::DriverResult result = session_->Execute(statement.text, noBinds);
            if (result.warningCode != 0)
                throw db::WarningError(result.warningCode, result.warningText);
        } catch (const EOraError& e) {
            if (OnError)
                OnError(e);
        }
    }
}
