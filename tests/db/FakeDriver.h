// FakeDriver: a scripted driver for data-access tests: checks credentials,
// records every statement and answers through a handler the test supplies.
#pragma once

#include "db/Driver.h"
#include "db/OraError.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FakeServer {
    std::string user = "DEMO";
    std::string password = "demo";
    std::mutex mutex;
    std::vector<std::string> executed;
    std::vector<std::vector<db::DriverBind>> bindsSent;
    int cancels = 0;
    // Answers a statement; may write Out values into the binds. Default: no rows.
    std::function<db::DriverResult(const std::string&, std::vector<db::DriverBind>&)> onExecute;
};

// Rows handed back as a cursor.
class FakeCursor : public db::DriverCursor {
public:
    FakeCursor(std::vector<db::DriverColumn> columns, std::vector<std::vector<db::OraValue>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    const std::vector<db::DriverColumn>& columns() const override { return columns_; }
    bool fetch(std::vector<db::OraValue>& row) override
    {
        if (next_ >= rows_.size())
            return false;
        row = rows_[next_++];
        return true;
    }

private:
    std::vector<db::DriverColumn> columns_;
    std::vector<std::vector<db::OraValue>> rows_;
    size_t next_ = 0;
};

class FakeSession : public db::DriverSession {
public:
    explicit FakeSession(std::shared_ptr<FakeServer> server) : server_(std::move(server)) {}
    db::DriverResult execute(const std::string& text, std::vector<db::DriverBind>& binds) override
    {
        {
            std::lock_guard lock(server_->mutex);
            server_->executed.push_back(text);
            server_->bindsSent.push_back(binds);
        }
        if (server_->onExecute)
            return server_->onExecute(text, binds);
        return {};
    }
    void cancel() override
    {
        std::lock_guard lock(server_->mutex);
        ++server_->cancels;
    }
    void close() override {}

private:
    std::shared_ptr<FakeServer> server_;
};

class FakeDriver : public db::Driver {
public:
    explicit FakeDriver(std::shared_ptr<FakeServer> server) : server_(std::move(server)) {}
    std::unique_ptr<db::DriverSession> connect(const std::string& user, const std::string& password,
                                               const std::string&) override
    {
        if (user != server_->user || password != server_->password)
            throw EOraError::Make(1017, "invalid username/password; logon denied");
        return std::make_unique<FakeSession>(server_);
    }

private:
    std::shared_ptr<FakeServer> server_;
};
