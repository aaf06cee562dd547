// ConnectPrompt: the connect dialog's rules and the process's default prompt.
#include "db/ConnectPrompt.h"

#include "db/OraError.h"
#include "db/OraSession.h"
#include "db/TnsNames.h"

#include <atomic>

TConnectDialogModel::TConnectDialogModel(TOraSession& session)
    : Username(session.Username()), Password(session.Password()), Server(session.Server()),
      session_(session), servers_(db::KnownServers())
{
}

TConnectDialogModel::Outcome TConnectDialogModel::Submit()
{
    session_.SetUsername(Username);
    session_.SetPassword(Password);
    session_.SetServer(Server);
    try {
        session_.ConnectDirect();
        lastError_.clear();
        return Outcome::Connected;
    } catch (const EOraError& e) {
        lastError_ = e.Message();
    }
    ++failures_;
    return failures_ >= MaxAttempts ? Outcome::GaveUp : Outcome::Retry;
}

namespace db {
namespace {
std::atomic<IConnectPrompt*> defaultPrompt{nullptr};
}

void SetDefaultConnectPrompt(IConnectPrompt* prompt)
{
    defaultPrompt = prompt;
}

IConnectPrompt* DefaultConnectPrompt()
{
    return defaultPrompt.load();
}

} // namespace db
