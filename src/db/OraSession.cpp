// OraSession: connecting, disconnecting and serialised execution.
#include "db/OraSession.h"

#include "db/ConnectPrompt.h"
#include "db/OraError.h"
#include "db/OraParam.h"
#include "db/ScriptSplitter.h"
#include "db/SqlLexer.h"
#include "db/StatementObserver.h"

TOraSession::~TOraSession()
{
    Disconnect();
}

std::string TOraSession::ConnectString() const
{
    std::string s = username_;
    if (!password_.empty())
        s += "/" + password_;
    if (!server_.empty())
        s += "@" + server_;
    return s;
}

void TOraSession::SetConnectString(const std::string& connectString)
{
    std::string rest = connectString;
    server_.clear();
    if (auto at = rest.rfind('@'); at != std::string::npos) {
        server_ = rest.substr(at + 1);
        rest.erase(at);
    }
    password_.clear();
    if (auto slash = rest.find('/'); slash != std::string::npos) {
        password_ = rest.substr(slash + 1);
        rest.erase(slash);
    }
    username_ = rest;
}

bool TOraSession::Connect()
{
    if (Connected())
        return true;
    IConnectPrompt* prompt = prompt_ ? prompt_ : db::DefaultConnectPrompt();
    if (!connectPrompt_ || !prompt) {
        ConnectDirect();
        return true;
    }
    TConnectDialogModel model(*this);
    return prompt->Execute(model) && Connected();
}

void TOraSession::ConnectDirect()
{
    if (Connected())
        return;
    auto driver = driver_ ? driver_ : db::DriverForServer(server_);
    auto conn = driver->connect(username_, password_, server_);
    std::lock_guard lock(stateMutex_);
    if (conn_) {
        conn->close();   // another thread connected meanwhile
        return;
    }
    conn_ = std::move(conn);
    connected_ = true;
}

void TOraSession::Disconnect()
{
    std::lock_guard exec(execMutex_);
    std::unique_ptr<db::DriverSession> conn;
    {
        std::lock_guard lock(stateMutex_);
        conn = std::move(conn_);
        connected_ = false;
    }
    if (conn)
        conn->close();
}

void TOraSession::Cancel()
{
    std::lock_guard lock(stateMutex_);
    if (conn_)
        conn_->cancel();
}

namespace {

// Every ":name" of the text needs a variable, as the client library checks
// before it sends a statement.
void checkAllBound(const std::string& text, const std::vector<db::DriverBind>& binds)
{
    if (db::IsUnitDefinition(text))
        return;
    for (const auto& name : db::FindBindNames(text)) {
        bool bound = false;
        for (const auto& b : binds)
            bound = bound || db::SameName(b.name, name);
        if (!bound)
            throw EOraError::Make(1008, "not all variables bound");
    }
}

} // namespace

void TOraSession::ensureConnected()
{
    if (Connected())
        return;
    if (!Connect())
        throw EAbort();
}

db::DriverResult TOraSession::Execute(const std::string& text, std::vector<db::DriverBind>& binds,
                                      const ResultConsumer& whileLocked)
{
    ensureConnected();
    checkAllBound(text, binds);
    std::lock_guard exec(execMutex_);
    db::DriverSession* conn;
    {
        std::lock_guard lock(stateMutex_);
        conn = conn_.get();
    }
    if (!conn)
        throw EOraError::Make(3114, "not connected to ORACLE");

    db::ObservedStatement observed{name_, db::MaskPasswords(text), {}};
    for (const auto& b : binds)
        observed.binds.push_back({b.name, b.direction, b.type,
                                  b.direction == TParamDirection::Out ? db::OraValue() : b.value});
    db::NotifyStatement(observed);

    db::DriverResult result = conn->execute(text, binds);
    if (whileLocked)
        whileLocked(result);
    result.cursor.reset();   // rows are read under the lock or not at all
    return result;
}
