// errors.cpp - mapping SQLite error messages to ORA- errors.
#include "sandbox/sql/errors.h"

#include <sqlite3.h>

#include <cstdlib>

namespace sandbox::sql {

namespace {

bool starts(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

std::string after(const std::string& s, const char* p) { return s.substr(std::char_traits<char>::length(p)); }

} // namespace

std::string quotedPath(const std::string& dotted)
{
    std::string r = "\"";
    for (char c : dotted) {
        if (c == '.') r += "\".\"";
        else r += c;
    }
    return r + "\"";
}

OraError oraErrorFor(int rc, const std::string& m, StatementKind kind)
{
    if (starts(m, "ORA-") && m.size() >= 10) {
        int code = std::atoi(m.c_str() + 4);
        return OraError(code, m);
    }
    int primary = rc & 0xff;
    if (primary == SQLITE_INTERRUPT || m == "interrupted") return OraError::make(1013, "user requested cancel of current operation");
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return OraError::make(54, "resource busy and acquire with NOWAIT specified or timeout expired");
    if (starts(m, "no such table: ")) return OraError::make(942, "table or view does not exist");
    if (starts(m, "no such column: ")) return OraError::make(904, quotedPath(after(m, "no such column: ")) + ": invalid identifier");
    if (starts(m, "table ") && m.find(" has no column named ") != std::string::npos)
        return OraError::make(904, quotedPath(m.substr(m.find(" has no column named ") + 21)) + ": invalid identifier");
    if (starts(m, "no such function: ")) {
        std::string name = after(m, "no such function: ");
        if (starts(name, "U$")) name = name.substr(2);
        return OraError::make(904, quotedPath(name) + ": invalid identifier");
    }
    if (starts(m, "UNIQUE constraint failed: ") || starts(m, "PRIMARY KEY constraint failed"))
        return OraError::make(1, "unique constraint (" + (starts(m, "UNIQUE") ? after(m, "UNIQUE constraint failed: ") : std::string("PRIMARY KEY")) + ") violated");
    if (starts(m, "NOT NULL constraint failed: ")) {
        std::string col = after(m, "NOT NULL constraint failed: ");
        return OraError::make(1400, "cannot insert NULL into (" + quotedPath(col) + ")");
    }
    if (starts(m, "FOREIGN KEY constraint failed")) {
        if (kind == StatementKind::Delete || kind == StatementKind::DropTable || kind == StatementKind::Truncate)
            return OraError::make(2292, "integrity constraint violated - child record found");
        return OraError::make(2291, "integrity constraint violated - parent key not found");
    }
    if (starts(m, "CHECK constraint failed: "))
        return OraError::make(2290, "check constraint (" + after(m, "CHECK constraint failed: ") + ") violated");
    if (m.find("already exists") != std::string::npos) return OraError::make(955, "name is already used by an existing object");
    if (starts(m, "ambiguous column name: "))
        return OraError::make(918, "column ambiguously defined");
    if (starts(m, "misuse of aggregate") || starts(m, "misuse of window function"))
        return OraError::make(934, "group function is not allowed here");
    if (starts(m, "wrong number of arguments to function")) return OraError::make(909, "invalid number of arguments");
    if (m.find("do not have the same number of result columns") != std::string::npos)
        return OraError::make(1789, "query block has incorrect number of result columns");
    if (m.find("values were supplied") != std::string::npos || m.find("values for") != std::string::npos ||
        m.find("sub-select returns") != std::string::npos || starts(m, "row value misused"))
        return OraError::make(913, "too many values");
    if (starts(m, "cannot modify") && m.find("view") != std::string::npos)
        return OraError::make(1732, "data manipulation operation not legal on this view");
    if (starts(m, "no such savepoint"))
        return OraError::make(1086, "savepoint never established in this session or is invalid");
    if (m == "datatype mismatch") return OraError::make(932, "inconsistent datatypes");
    if (m.find("syntax error") != std::string::npos || starts(m, "incomplete input"))
        return OraError::make(933, "SQL command not properly ended");
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_NOTADB)
        return OraError::make(27041, "unable to open file (" + m + ")");
    if (primary == SQLITE_CORRUPT) return OraError::make(1578, "ORACLE data block corrupted (" + m + ")");
    if (primary == SQLITE_FULL) return OraError::make(1653, "unable to extend table");
    if (primary == SQLITE_READONLY) return OraError::make(16000, "database or pluggable database open for read-only access");
    return OraError::make(600, "internal error code, arguments: [sqlite], [" + m + "]");
}

} // namespace sandbox::sql
