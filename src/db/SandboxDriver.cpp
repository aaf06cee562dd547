// SandboxDriver: adapts the sandbox server's sessions, binds and cursors to
// the driver interface and its errors to EOraError.
#include "db/SandboxDriver.h"

#include "db/OraError.h"
#include "sandbox/boot/sandbox.h"
#include "sandbox/ora_error.h"

#include <map>
#include <mutex>

namespace db {
namespace {

std::mutex& serversMutex()
{
    static std::mutex m;
    return m;
}

// Servers stay alive for the whole process once opened, so data written by a
// session survives its disconnect, as in a real database.
std::map<std::string, std::shared_ptr<sandbox::Server>>& servers()
{
    static std::map<std::string, std::shared_ptr<sandbox::Server>> all;
    return all;
}

std::string pathOf(const std::string& server)
{
    auto colon = server.find(':');
    return colon == std::string::npos ? std::string() : server.substr(colon + 1);
}

std::shared_ptr<sandbox::Server> serverFor(const std::string& name)
{
    std::string path = pathOf(name);
    std::lock_guard lock(serversMutex());
    auto& slot = servers()[path];
    if (!slot)
        slot = sandbox::openSandbox(path);
    return slot;
}

EOraError toEOraError(const sandbox::OraError& e)
{
    return EOraError(e.code(), e.what());
}

sandbox::BindType toSandbox(TOraDataType type)
{
    switch (type) {
    case TOraDataType::Integer: return sandbox::BindType::Integer;
    case TOraDataType::Number: return sandbox::BindType::Number;
    case TOraDataType::String: return sandbox::BindType::String;
    }
    return sandbox::BindType::String;
}

sandbox::BindMode toSandbox(TParamDirection direction)
{
    switch (direction) {
    case TParamDirection::In: return sandbox::BindMode::In;
    case TParamDirection::Out: return sandbox::BindMode::Out;
    case TParamDirection::InOut: return sandbox::BindMode::InOut;
    }
    return sandbox::BindMode::In;
}

// Numeric binds travel as decimal text; text that is not a number is
// rejected the way Oracle rejects it for a numeric bind.
sandbox::Value toSandboxValue(const DriverBind& bind)
{
    if (!bind.value || bind.direction == TParamDirection::Out)
        return sandbox::Value::null();
    if (bind.type == TOraDataType::String)
        return sandbox::Value::string(*bind.value);
    auto number = sandbox::Number::parse(*bind.value);
    if (!number)
        throw EOraError::Make(1722, "invalid number");
    return sandbox::Value::number(*number);
}

OraValue fromSandboxValue(const sandbox::Value& value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toText();
}

// An integer bind holds a whole number: a fraction the server assigns to it
// is rounded, as Oracle converts NUMBER to an integer host variable.
OraValue outValue(const sandbox::Value& value, TOraDataType type)
{
    if (type == TOraDataType::Integer && value.kind() == sandbox::Value::Kind::Number)
        return value.asNumber().round().toString();
    return fromSandboxValue(value);
}

DriverColumn::Type toDriver(sandbox::Column::Type type)
{
    switch (type) {
    case sandbox::Column::Type::Number: return DriverColumn::Type::Number;
    case sandbox::Column::Type::String: return DriverColumn::Type::String;
    case sandbox::Column::Type::Date: return DriverColumn::Type::Date;
    }
    return DriverColumn::Type::String;
}

class SandboxCursor : public DriverCursor {
public:
    explicit SandboxCursor(std::unique_ptr<sandbox::Cursor> cursor) : cursor_(std::move(cursor))
    {
        for (const auto& c : cursor_->columns())
            columns_.push_back({c.name, toDriver(c.type)});
    }

    const std::vector<DriverColumn>& columns() const override { return columns_; }

    bool fetch(std::vector<OraValue>& row) override
    {
        try {
            if (!cursor_->fetch(values_))
                return false;
        } catch (const sandbox::OraError& e) {
            throw toEOraError(e);
        }
        row.clear();
        for (const auto& v : values_)
            row.push_back(fromSandboxValue(v));
        return true;
    }

private:
    std::unique_ptr<sandbox::Cursor> cursor_;
    std::vector<DriverColumn> columns_;
    std::vector<sandbox::Value> values_;
};

class SandboxSession : public DriverSession {
public:
    SandboxSession(std::shared_ptr<sandbox::Server> server, std::unique_ptr<sandbox::Session> session)
        : server_(std::move(server)), session_(std::move(session)) {}

    DriverResult execute(const std::string& text, std::vector<DriverBind>& binds) override
    {
        std::vector<sandbox::BindVar> vars;
        vars.reserve(binds.size());
        for (const auto& b : binds)
            vars.push_back({b.name, toSandbox(b.type), toSandbox(b.direction), b.size, toSandboxValue(b)});
        sandbox::ExecResult r;
        try {
            r = session_->execute(text, vars);
        } catch (const sandbox::OraError& e) {
            throw toEOraError(e);
        }
        for (size_t i = 0; i < binds.size(); ++i)
            if (binds[i].direction != TParamDirection::In)
                binds[i].value = outValue(vars[i].value, binds[i].type);
        DriverResult result;
        if (r.cursor)
            result.cursor = std::make_unique<SandboxCursor>(std::move(r.cursor));
        result.rowCount = r.rowCount;
        result.warningCode = r.warningCode;
        result.warningText = r.warningText;
        return result;
    }

    void cancel() override { session_->cancel(); }
    void close() override { session_.reset(); }

private:
    std::shared_ptr<sandbox::Server> server_;
    std::unique_ptr<sandbox::Session> session_;
};

} // namespace

std::unique_ptr<DriverSession> SandboxDriver::connect(const std::string& user, const std::string& password,
                                                      const std::string& server)
{
    try {
        auto srv = serverFor(server);
        auto session = srv->logon(user, password);
        return std::make_unique<SandboxSession>(std::move(srv), std::move(session));
    } catch (const sandbox::OraError& e) {
        throw toEOraError(e);
    }
}

void SandboxDriver::ResetServers()
{
    std::lock_guard lock(serversMutex());
    servers().clear();
}

} // namespace db
