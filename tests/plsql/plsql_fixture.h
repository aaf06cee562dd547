// plsql_fixture.h - a fresh in-memory sandbox logged on as DEMO, with helpers
// to run statements and read DBMS_OUTPUT.
#pragma once

#include "sandbox/boot/sandbox.h"
#include "sandbox/ora_error.h"
#include "sandbox/server.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class PlsqlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = sandbox::openSandbox();
        session = server->logon("DEMO", "demo");
        run("BEGIN DBMS_OUTPUT.ENABLE(NULL); END;");
    }

    sandbox::ExecResult run(const std::string& text)
    {
        std::vector<sandbox::BindVar> none;
        return session->execute(text, none);
    }
    sandbox::ExecResult run(const std::string& text, std::vector<sandbox::BindVar>& binds)
    {
        return session->execute(text, binds);
    }

    // The error text a statement fails with ("" when it succeeds).
    std::string error(const std::string& text)
    {
        try {
            run(text);
        } catch (const sandbox::OraError& e) {
            return e.what();
        }
        return "";
    }

    // Every DBMS_OUTPUT line produced so far, joined by "\n".
    std::string output()
    {
        std::string all;
        for (;;) {
            std::vector<sandbox::BindVar> b(2);
            b[0].name = "line";
            b[0].mode = sandbox::BindMode::Out;
            b[0].size = 32767;
            b[1].name = "status";
            b[1].mode = sandbox::BindMode::Out;
            b[1].type = sandbox::BindType::Integer;
            session->execute("BEGIN DBMS_OUTPUT.GET_LINE(:line, :status); END;", b);
            if (b[1].value.isNull() || b[1].value.toText() != "0")
                break;
            if (!all.empty())
                all += "\n";
            all += b[0].value.toText();
        }
        return all;
    }

    // Rows of a query as "a|b|c" lines.
    std::vector<std::string> rows(const std::string& sql)
    {
        std::vector<sandbox::BindVar> none;
        auto r = session->execute(sql, none);
        std::vector<std::string> out;
        std::vector<sandbox::Value> row;
        while (r.cursor && r.cursor->fetch(row)) {
            std::string line;
            for (size_t i = 0; i < row.size(); ++i)
                line += (i ? "|" : "") + row[i].toText();
            out.push_back(line);
        }
        return out;
    }

    std::shared_ptr<sandbox::Server> server;
    std::unique_ptr<sandbox::Session> session;
};
