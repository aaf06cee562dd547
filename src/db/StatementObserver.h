// StatementObserver: a process-wide hook that sees every statement a session
// executes (its text and bind values), for tests and for a trace view.
// Connecting is not a statement, and password clauses are masked, so no
// password is ever observed.
#pragma once

#include "db/OraTypes.h"

#include <functional>
#include <string>
#include <vector>

namespace db {

struct ObservedBind {
    std::string name;
    TParamDirection direction = TParamDirection::In;
    TOraDataType type = TOraDataType::String;
    OraValue value;                 // the value sent; NULL for Out binds
};

struct ObservedStatement {
    std::string session;            // the session's name ("OraSession", "seTarget")
    std::string text;               // as sent, passwords masked
    std::vector<ObservedBind> binds;
};

using StatementObserver = std::function<void(const ObservedStatement&)>;

// Observers are called on the executing thread, before the statement runs.
int AddStatementObserver(StatementObserver observer);
void RemoveStatementObserver(int id);

// Registers an observer for its lifetime.
class ScopedStatementObserver {
public:
    explicit ScopedStatementObserver(StatementObserver observer) : id_(AddStatementObserver(std::move(observer))) {}
    ~ScopedStatementObserver() { RemoveStatementObserver(id_); }
    ScopedStatementObserver(const ScopedStatementObserver&) = delete;
    ScopedStatementObserver& operator=(const ScopedStatementObserver&) = delete;

private:
    int id_;
};

void NotifyStatement(const ObservedStatement& statement);

// Replaces the password of "IDENTIFIED BY pw" (and "REPLACE old" after it)
// with asterisks.
std::string MaskPasswords(const std::string& text);

} // namespace db
