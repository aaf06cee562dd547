// sandbox_test_util.h - helpers for the sandbox tests: open a server, run a
// statement and read its rows as text.
#pragma once

#include "sandbox/boot/sandbox.h"
#include "sandbox/ora_error.h"
#include "sandbox/server.h"
#include "sandbox/server_impl.h"
#include "sandbox/sql/formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sandbox::test {

using Rows = std::vector<std::vector<std::string>>;

// NULL as "<null>", DATE as YYYY-MM-DD HH:MM:SS, the rest in Oracle's text form.
inline std::string cellText(const Value& v)
{
    if (v.isNull()) return "<null>";
    if (v.kind() == Value::Kind::Date) return sql::storedDate(v.asDate());
    return v.toText();
}

inline BindVar bind(const std::string& name, Value v, BindMode mode = BindMode::In,
                    BindType type = BindType::String)
{
    BindVar b;
    b.name = name;
    b.value = std::move(v);
    b.mode = mode;
    b.type = type;
    return b;
}

inline Rows query(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    ExecResult r = s.execute(sql, binds);
    Rows out;
    if (!r.cursor) return out;
    std::vector<Value> row;
    while (r.cursor->fetch(row)) {
        std::vector<std::string> line;
        for (const Value& v : row) line.push_back(cellText(v));
        out.push_back(std::move(line));
    }
    return out;
}

// The single value of a one-row, one-column query.
inline std::string scalar(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    Rows r = query(s, sql, std::move(binds));
    if (r.size() != 1 || r[0].size() != 1) return "<" + std::to_string(r.size()) + " rows>";
    return r[0][0];
}

inline int64_t exec(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    return s.execute(sql, binds).rowCount;
}

// The ORA- code a statement fails with, 0 when it succeeds.
inline int errorOf(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    try {
        ExecResult r = s.execute(sql, binds);
        if (r.cursor) {
            std::vector<Value> row;
            while (r.cursor->fetch(row)) {}
        }
        return 0;
    } catch (const OraError& e) {
        return e.code();
    }
}

inline std::string messageOf(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    try {
        ExecResult r = s.execute(sql, binds);
        return "";
    } catch (const OraError& e) {
        return e.what();
    }
}

// A fresh in-memory server with the demo schema's tables.
struct DemoServer : ::testing::Test {
    std::shared_ptr<Server> server = openSandbox();
    std::unique_ptr<Session> demo = server->logon("DEMO", "demo");
};

} // namespace sandbox::test
