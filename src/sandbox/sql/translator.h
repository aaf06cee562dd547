// translator.h - turns one Oracle SQL statement into the SQLite statement
// that does the same on the sandbox's storage, plus the facts the session
// needs to run it (bind order, the object a DDL statement creates or drops).
//
// Storage naming: every schema object lives in the one SQLite database as a
// table, view or index named "OWNER.NAME" (one quoted identifier). The data
// dictionary and DUAL belong to SYS; unqualified dictionary names (ALL_*,
// USER_*, DUAL) resolve to SYS as Oracle's public synonyms do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sandbox::sql {

enum class StatementKind {
    Query, Insert, Update, Delete,
    CreateTable, CreateView, CreateIndex, CreateSequence, CreateUser,
    DropTable, DropView, DropIndex, DropSequence, DropUser,
    AlterTable, Truncate,
    Commit, Rollback, Savepoint, RollbackTo,
    SetSchema,    // ALTER SESSION SET CURRENT_SCHEMA = name (in `name`)
    NoOp          // accepted and ignored (GRANT, COMMENT ON, ALTER SESSION ...)
};

struct SequenceOptions {
    int64_t start = 1, increment = 1, minValue = 1;
    int64_t maxValue = INT64_MAX;
    bool cycle = false;
    bool startGiven = false, minGiven = false, maxGiven = false;
};

struct Translation {
    StatementKind kind = StatementKind::NoOp;
    // SQLite statements to run in order (DDL may need more than one).
    std::vector<std::string> sql;
    // Name of the bind variable for parameter ?1, ?2 ... (upper case, no colon).
    // Identifiers bound from the resolver appear as resolvedBindName(id).
    std::vector<std::string> binds;
    // The identifiers bound from the resolver, in order of appearance.
    std::vector<std::string> resolved;
    // RETURNING ... INTO :a, :b: the bind names that receive the returned row.
    std::vector<std::string> returningInto;
    bool usesSequence = false;

    // What a DDL statement creates, drops or changes.
    std::string owner, name, objectType;   // objectType as ALL_OBJECTS.OBJECT_TYPE
    std::string newName;                    // ALTER TABLE ... RENAME TO
    bool asQuery = false;                   // CREATE TABLE ... AS: sql[0] is the query
    bool orReplace = false;
    bool cascade = false;
    std::string password;                  // CREATE USER
    SequenceOptions sequence;               // CREATE SEQUENCE
    std::string savepoint;                  // SAVEPOINT / ROLLBACK TO
};

struct TranslateOptions {
    std::string schema;                     // owner of unqualified names, upper case
    // Identifiers (upper case, dotted as written: "V_NAME", "REC.FIELD") to
    // bind as parameters instead of resolving them as columns.
    std::vector<std::string> resolvedIds;
};

// Throws OraError for text that is no statement the sandbox understands
// (ORA-00900), that ends badly (ORA-00933) and the like.
Translation translate(std::string_view text, const TranslateOptions& options);

// The parameter name under which an identifier taken from the resolver is
// bound (a prefix no bind variable can have).
std::string resolvedBindName(const std::string& identifier);

// Storage name of a schema object: OWNER.NAME, to be double-quoted in SQLite.
std::string storageName(const std::string& owner, const std::string& name);

// The triggers that make a table's typed columns behave as Oracle's (length
// and precision checks, DATE conversion, NUMBER scale), for its columns as
// (name, declared type) pairs. Trigger names end in "/check/..." or
// "/convert/...".
std::vector<std::string> columnTriggerSql(const std::string& owner, const std::string& table,
                                          const std::vector<std::pair<std::string, std::string>>& columns);

// The dictionary objects visible without an owner (Oracle's public synonyms).
bool isPublicSysName(const std::string& upperName);

} // namespace sandbox::sql
