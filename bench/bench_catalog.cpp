// bench_catalog.cpp - reading a Connect-sized catalogue (100,000 objects in
// ALL_OBJECTS) with the system's catalogue query through the data-access
// layer's TSmartQuery (and, for comparison, the sandbox's Session/Cursor
// API), against the same rows read through SQLite's C API directly in the
// same run. Goal: TSmartQuery's ratio <= 2.
#include "db/OraSession.h"
#include "db/SmartQuery.h"
#include "sandbox/boot/sandbox.h"
#include "sandbox/server_impl.h"

#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* kCatalogueQuery =
    "SELECT owner,object_type,object_name  FROM sys.all_objects WHERE object_type IN ('VIEW','TABLE','TYPE',"
    "'SEQUENCE','PACKAGE', 'PACKAGE BODY','FUNCTION','PROCEDURE') ORDER BY 1,2,3";

// The reference: the same rows from the dictionary's storage, read with the
// plain C API into strings.
const char* kReferenceQuery =
    "SELECT OWNER, OBJECT_TYPE, OBJECT_NAME FROM \"SYS.OBJ$\" WHERE OBJECT_TYPE IN ('VIEW','TABLE','TYPE',"
    "'SEQUENCE','PACKAGE','PACKAGE BODY','FUNCTION','PROCEDURE') ORDER BY 1,2,3";

constexpr int kObjects = 100000;
constexpr int kRuns = 7;

// Fills the dictionary with kObjects objects spread over 20 owners and the
// usual object types (some of which the query leaves out).
void fillCatalogue(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO \"SYS.OBJ$\" (OWNER, OBJECT_NAME, OBJECT_TYPE, CREATED, LAST_DDL_TIME, STATUS, "
                       "NAMESPACE) VALUES (?1, ?2, ?3, '2024-01-01 00:00:00', '2024-01-01 00:00:00', 'VALID', 1)",
                       -1, &st, nullptr);
    const char* types[] = {"TABLE", "VIEW", "INDEX", "FUNCTION", "PROCEDURE", "PACKAGE", "PACKAGE BODY",
                           "SEQUENCE", "TYPE", "SYNONYM", "TRIGGER", "TABLE"};
    for (int i = 0; i < kObjects; ++i) {
        std::string owner = "APP_OWNER_" + std::to_string(i % 20);
        std::string name = "OBJECT_" + std::to_string((i * 7919) % kObjects) + "_" + std::to_string(i);
        sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, types[i % 12], -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// One measured way of reading all rows; returns the number of rows read.
using RowReader = std::function<size_t()>;

// Through the data-access layer's query component, as Connect reads the
// catalogue: open, walk, take the three columns as strings.
size_t readThroughSmartQuery(TSmartQuery& query)
{
    query.Close();
    query.SQL().SetText(kCatalogueQuery);
    query.Open();
    size_t n = 0, chars = 0;
    for (query.First(); !query.Eof(); query.Next()) {
        std::string type = query.Fields(1).AsString(), name = query.Fields(2).AsString(),
                    owner = query.Fields(0).AsString();
        chars += owner.size() + type.size() + name.size();
        ++n;
    }
    query.Close();
    return chars ? n : 0;
}

// Through the sandbox's public API, each cell taken as a string as the
// catalogue filing does.
size_t readThroughSession(sandbox::Session& session)
{
    std::vector<sandbox::BindVar> binds;
    sandbox::ExecResult r = session.execute(kCatalogueQuery, binds);
    std::vector<sandbox::Value> row;
    size_t n = 0, chars = 0;
    while (r.cursor->fetch(row)) {
        std::string owner = row[0].toText(), type = row[1].toText(), name = row[2].toText();
        chars += owner.size() + type.size() + name.size();
        ++n;
    }
    return chars ? n : 0;
}

size_t readThroughSqlite(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, kReferenceQuery, -1, &st, nullptr);
    size_t n = 0, chars = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string owner(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        std::string type(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        std::string name(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        chars += owner.size() + type.size() + name.size();
        ++n;
    }
    sqlite3_finalize(st);
    return chars ? n : 0;
}

double timeOnce(const RowReader& read, size_t& rows)
{
    auto t0 = std::chrono::steady_clock::now();
    rows = read();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

// Best of kRuns each, the two readers taking turns so that both see the
// same load on a busy machine. Milliseconds.
void measure(const RowReader& a, const RowReader& b, double& bestA, double& bestB, size_t& rowsA, size_t& rowsB)
{
    bestA = bestB = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        bestA = std::min(bestA, timeOnce(a, rowsA));
        bestB = std::min(bestB, timeOnce(b, rowsB));
    }
}

} // namespace

int main()
{
    // A database file, so that the data-access layer's own connection
    // ("sandbox:PATH") reaches the same server that is filled here.
    const std::string path = "/tmp/tarnel-bench-catalog-" + std::to_string(::getpid()) + ".db";
    std::shared_ptr<sandbox::Server> server = sandbox::openSandbox(path);
    fillCatalogue(path);
    auto session = server->logon("DEMO", "demo");

    TOraSession oraSession;
    oraSession.SetConnectPrompt(false);
    oraSession.SetConnectString("DEMO/demo@sandbox:" + path);
    oraSession.ConnectDirect();
    TSmartQuery oraMeta(&oraSession);

    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);

    RowReader queryReader = [&] { return readThroughSmartQuery(oraMeta); };
    RowReader sessionReader = [&] { return readThroughSession(*session); };
    RowReader sqliteReader = [&] { return readThroughSqlite(db); };
    size_t queryRows = 0, sessionRows = 0, sqliteRows = 0;
    double queryMs = 0, sessionMs = 0, sqliteMs = 0, sqliteMs2 = 0;
    measure(queryReader, sqliteReader, queryMs, sqliteMs, queryRows, sqliteRows);
    measure(sessionReader, sqliteReader, sessionMs, sqliteMs2, sessionRows, sqliteRows);
    sqlite3_close(db);
    oraSession.Disconnect();
    session.reset();
    server.reset();
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((path + suffix).c_str());

    double ratio = queryMs / sqliteMs;
    std::printf("bench_catalog: %d objects, catalogue query rows: TSmartQuery %zu, sqlite %zu\n", kObjects, queryRows,
                sqliteRows);
    std::printf("  TSmartQuery (data-access layer): %8.2f ms\n", queryMs);
    std::printf("  sandbox Session/Cursor:          %8.2f ms (ratio %.2f)\n", sessionMs, sessionMs / sqliteMs2);
    std::printf("  SQLite C API (reference):        %8.2f ms\n", sqliteMs);
    std::printf("  ratio TSmartQuery / SQLite: %.2f (goal <= 2.00) %s\n", ratio, ratio <= 2.0 ? "OK" : "OVER GOAL");
    return queryRows == sqliteRows && sessionRows == sqliteRows ? 0 : 1;
}
