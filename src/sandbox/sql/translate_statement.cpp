// translate_statement.cpp - whole statements: DML with RETURNING INTO, DDL
// with Oracle's types and names, transaction control, and the entry point.
#include "sandbox/ora_error.h"
#include "sandbox/sql/translator_impl.h"

#include <cerrno>
#include <cstdlib>

namespace sandbox::sql {

namespace {

int64_t signedNumber(Nodes n, size_t& i)
{
    bool neg = false;
    if (at(n, i).tok.op("-")) { neg = true; ++i; }
    else if (at(n, i).tok.op("+")) ++i;
    if (at(n, i).tok.kind != Tok::Number) throw OraError::make(2017, "integer value required");
    errno = 0;
    double d = std::strtod(n[i].tok.text.c_str(), nullptr);
    ++i;
    if (d >= 9.2e18 || d <= -9.2e18) return neg ? INT64_MIN : INT64_MAX;
    auto v = static_cast<int64_t>(d);
    return neg ? -v : v;
}

} // namespace

void Translator::statement(Nodes n)
{
    const Node& first = at(n, 0);
    auto kindOfDrop = [](const std::string& w) {
        if (w == "TABLE") return StatementKind::DropTable;
        if (w == "VIEW") return StatementKind::DropView;
        if (w == "INDEX") return StatementKind::DropIndex;
        if (w == "SEQUENCE") return StatementKind::DropSequence;
        if (w == "USER") return StatementKind::DropUser;
        return StatementKind::NoOp;
    };
    auto objectName = [&](size_t& i) {
        std::vector<std::string> path = readPath(n, i);
        if (path.empty() || path.size() > 2) fail(903, "invalid table name");
        out_.owner = path.size() == 2 ? path[0] : opt_.schema;
        out_.name = path.back();
        return quoteIdent(storageName(out_.owner, out_.name));
    };
    auto requireEnd = [&](size_t i) {
        if (i < n.size()) fail(933, "SQL command not properly ended");
    };

    if (first.tok.word("SELECT") || first.tok.word("WITH") || first.group()) {
        out_.kind = StatementKind::Query;
        out_.sql.push_back(query(n));
        return;
    }
    if (first.tok.word("INSERT")) {
        out_.kind = StatementKind::Insert;
        if (!at(n, 1).tok.word("INTO")) fail(925, "missing INTO keyword");
        size_t i = 2;
        std::vector<std::string> path = readPath(n, i);
        if (path.empty()) fail(903, "invalid table name");
        std::string sql = "INSERT INTO " + tableName(path);
        if (isIdent(at(n, i)) && !isKeyword(n[i])) ++i;   // alias: SQLite needs none
        if (at(n, i).group() && !(n[i].kids.size() && (n[i].kids[0].tok.word("SELECT") || n[i].kids[0].tok.word("WITH")))) {
            std::string cols;
            for (Nodes c : splitCommas(Nodes(n[i].kids))) {
                if (c.empty() || !isIdent(c.back())) fail(904, "invalid identifier");
                cols += (cols.empty() ? "" : ", ") + quoteIdent(c.back().tok.text);   // t.col: the column
            }
            sql += " (" + cols + ")";
            ++i;
        }
        size_t ret = findWord(n, i, {"RETURNING", "RETURN"});
        if (at(n, i).tok.word("VALUES")) {
            if (!at(n, i + 1).group() || n[i + 1].kids.empty()) fail(936, "missing expression");
            sql += " VALUES (" + expr(Nodes(n[i + 1].kids)) + ")";
            i += 2;
        } else if (at(n, i).tok.word("SELECT") || at(n, i).tok.word("WITH") || at(n, i).group()) {
            sql += " " + query(n.subspan(i, ret - i));
            i = ret;
        } else {
            fail(926, "missing VALUES keyword");
        }
        i = returning(n, i, sql);
        requireEnd(i);
        out_.sql.push_back(sql);
        return;
    }
    if (first.tok.word("UPDATE")) {
        out_.kind = StatementKind::Update;
        size_t i = 1;
        std::vector<std::string> path = readPath(n, i);
        if (path.empty()) fail(903, "invalid table name");
        std::string alias;
        std::string sql = "UPDATE " + tableName(path, &alias);
        if (isIdent(at(n, i)) && !isKeyword(n[i])) { alias = n[i].tok.text; ++i; }
        sql += " AS " + quoteIdent(alias);
        if (!at(n, i).tok.word("SET")) fail(971, "missing SET keyword");
        size_t where = findWord(n, i + 1, {"WHERE", "RETURNING", "RETURN"});
        auto sets = splitCommas(n.subspan(i + 1, where - i - 1));
        sql += " SET ";
        for (size_t k = 0; k < sets.size(); ++k) {
            Nodes s = sets[k];
            size_t eq = 0;
            while (eq < s.size() && !s[eq].tok.op("=")) ++eq;
            if (eq == 0 || eq >= s.size() - 1) fail(927, "missing equal sign");
            std::string lhs;
            if (s[0].group()) {
                lhs = "(" + expr(Nodes(s[0].kids)) + ")";
            } else {
                if (!isIdent(s[eq - 1])) fail(904, "invalid identifier");
                lhs = quoteIdent(s[eq - 1].tok.text);   // SQLite takes no qualifier here
            }
            sql += (k ? ", " : "") + lhs + " = " + expr(s.subspan(eq + 1));
        }
        i = where;
        finishDml(n, i, std::move(sql));
        return;
    }
    if (first.tok.word("DELETE")) {
        out_.kind = StatementKind::Delete;
        size_t i = 1;
        if (at(n, i).tok.word("FROM")) ++i;
        std::vector<std::string> path = readPath(n, i);
        if (path.empty()) fail(903, "invalid table name");
        std::string alias;
        std::string sql = "DELETE FROM " + tableName(path, &alias);
        if (isIdent(at(n, i)) && !isKeyword(n[i])) { alias = n[i].tok.text; ++i; }
        sql += " AS " + quoteIdent(alias);
        finishDml(n, i, std::move(sql));
        return;
    }
    if (first.tok.word("COMMIT")) {
        out_.kind = StatementKind::Commit;
        return;   // COMMIT [WORK] [COMMENT '...'] [WRITE ...]: options do not matter here
    }
    if (first.tok.word("ROLLBACK")) {
        size_t i = 1;
        if (at(n, i).tok.word("WORK")) ++i;
        if (at(n, i).tok.word("TO")) {
            ++i;
            if (at(n, i).tok.word("SAVEPOINT")) ++i;
            if (!isIdent(at(n, i))) fail(933, "SQL command not properly ended");
            out_.kind = StatementKind::RollbackTo;
            out_.savepoint = n[i].tok.text;
            ++i;
        } else {
            out_.kind = StatementKind::Rollback;
        }
        requireEnd(i);
        return;
    }
    if (first.tok.word("SAVEPOINT")) {
        if (!isIdent(at(n, 1))) fail(933, "SQL command not properly ended");
        out_.kind = StatementKind::Savepoint;
        out_.savepoint = n[1].tok.text;
        requireEnd(2);
        return;
    }
    if (first.tok.word("ALTER") && at(n, 1).tok.word("SESSION") && at(n, 2).tok.word("SET") &&
        at(n, 3).tok.word("CURRENT_SCHEMA")) {
        if (!at(n, 4).tok.op("=") || !isIdent(at(n, 5))) fail(922, "missing or invalid option");
        out_.kind = StatementKind::SetSchema;
        out_.name = n[5].tok.text;
        requireEnd(6);
        return;
    }
    if (first.tok.word("GRANT") || first.tok.word("REVOKE") || first.tok.word("COMMENT") ||
        first.tok.word("ANALYZE") || (first.tok.word("SET") && at(n, 1).tok.word("TRANSACTION")) ||
        (first.tok.word("ALTER") && at(n, 1).tok.word("SESSION")) ||
        (first.tok.word("ALTER") && at(n, 1).tok.word("USER")) ||
        (first.tok.word("ALTER") && at(n, 1).tok.word("SYSTEM"))) {
        out_.kind = StatementKind::NoOp;
        return;
    }
    if (first.tok.word("TRUNCATE")) {
        if (!at(n, 1).tok.word("TABLE")) fail(905, "missing keyword");
        size_t i = 2;
        std::string t = objectName(i);
        out_.kind = StatementKind::Truncate;
        out_.objectType = "TABLE";
        out_.sql.push_back("DELETE FROM " + t);
        return;
    }
    if (first.tok.word("DROP")) {
        out_.kind = kindOfDrop(at(n, 1).tok.text);
        if (out_.kind == StatementKind::NoOp) fail(950, "invalid DROP option");
        size_t i = 2;
        if (out_.kind == StatementKind::DropUser) {
            if (!isIdent(at(n, i))) fail(1935, "missing user or role name");
            out_.name = n[i].tok.text;
            ++i;
            if (at(n, i).tok.word("CASCADE")) { out_.cascade = true; ++i; }
            requireEnd(i);
            return;
        }
        std::string t = objectName(i);
        out_.objectType = n[1].tok.text;
        if (at(n, i).tok.word("CASCADE")) {
            out_.cascade = true;
            i += at(n, i + 1).tok.word("CONSTRAINTS") ? 2 : 1;
        }
        if (at(n, i).tok.word("PURGE")) ++i;
        requireEnd(i);
        if (out_.kind == StatementKind::DropTable) out_.sql.push_back("DROP TABLE " + t);
        else if (out_.kind == StatementKind::DropView) out_.sql.push_back("DROP VIEW " + t);
        else if (out_.kind == StatementKind::DropIndex) out_.sql.push_back("DROP INDEX " + t);
        return;
    }
    if (first.tok.word("CREATE")) {
        size_t i = 1;
        if (at(n, i).tok.word("OR") && at(n, i + 1).tok.word("REPLACE")) { out_.orReplace = true; i += 2; }
        if (at(n, i).tok.word("FORCE") || at(n, i).tok.word("NOFORCE")) ++i;
        if (at(n, i).tok.word("GLOBAL") && at(n, i + 1).tok.word("TEMPORARY")) i += 2;
        const Node& what = at(n, i);
        if (what.tok.word("TABLE")) { ++i; createTable(n, i, objectName(i)); return; }
        if (what.tok.word("VIEW")) {
            ++i;
            std::string t = objectName(i);
            out_.kind = StatementKind::CreateView;
            out_.objectType = "VIEW";
            std::string sql = "CREATE VIEW " + t;
            if (at(n, i).group()) {
                std::string cols;
                for (const Node& c : n[i].kids) {
                    if (c.tok.op(",")) cols += ", ";
                    else if (isIdent(c)) cols += quoteIdent(c.tok.text);
                    else fail(904, "invalid identifier");
                }
                sql += " (" + cols + ")";
                ++i;
            }
            if (!at(n, i).tok.word("AS")) fail(905, "missing keyword");
            size_t e = findWord(n, i + 1, {"WITH"});
            if (e == i + 1) e = findWord(n, i + 2, {"WITH"});   // WITH starting the query itself
            // WITH READ ONLY / WITH CHECK OPTION close the statement.
            if (e < n.size() && !(at(n, e + 1).tok.word("READ") || at(n, e + 1).tok.word("CHECK"))) e = n.size();
            sql += " AS " + query(n.subspan(i + 1, e - i - 1));
            out_.sql.push_back(sql);
            return;
        }
        if (what.tok.word("UNIQUE") || what.tok.word("INDEX")) {
            bool unique = what.tok.word("UNIQUE");
            if (unique) ++i;
            if (!at(n, i).tok.word("INDEX")) fail(901, "invalid CREATE command");
            ++i;
            std::string idx = objectName(i);
            std::string owner = out_.owner, name = out_.name;
            if (!at(n, i).tok.word("ON")) fail(969, "missing ON keyword");
            ++i;
            std::vector<std::string> path = readPath(n, i);
            if (path.empty()) fail(903, "invalid table name");
            std::string table = tableName(path);
            if (!at(n, i).group() || n[i].kids.empty()) fail(906, "missing left parenthesis");
            std::string cols = expr(Nodes(n[i].kids));
            ++i;
            out_.kind = StatementKind::CreateIndex;
            out_.objectType = "INDEX";
            out_.owner = owner;
            out_.name = name;
            out_.sql.push_back(std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + idx + " ON " + table +
                               " (" + cols + ")");
            return;   // storage clauses after the column list are ignored
        }
        if (what.tok.word("SEQUENCE")) {
            ++i;
            objectName(i);
            out_.kind = StatementKind::CreateSequence;
            out_.objectType = "SEQUENCE";
            SequenceOptions& s = out_.sequence;
            while (i < n.size()) {
                const std::string& w = n[i].tok.text;
                if (w == "START" && at(n, i + 1).tok.word("WITH")) { i += 2; s.start = signedNumber(n, i); s.startGiven = true; }
                else if (w == "INCREMENT" && at(n, i + 1).tok.word("BY")) { i += 2; s.increment = signedNumber(n, i); }
                else if (w == "MINVALUE") { ++i; s.minValue = signedNumber(n, i); s.minGiven = true; }
                else if (w == "MAXVALUE") { ++i; s.maxValue = signedNumber(n, i); s.maxGiven = true; }
                else if (w == "CACHE") { ++i; signedNumber(n, i); }
                else if (w == "CYCLE") { s.cycle = true; ++i; }
                else if (w == "NOCYCLE" || w == "NOCACHE" || w == "ORDER" || w == "NOORDER" || w == "NOMINVALUE" ||
                         w == "NOMAXVALUE") ++i;
                else fail(933, "SQL command not properly ended");
            }
            if (s.increment == 0) fail(4002, "INCREMENT must be a non-zero integer");
            if (s.increment < 0) {
                if (!s.maxGiven) s.maxValue = -1;
                if (!s.minGiven) s.minValue = INT64_MIN + 1;
                if (!s.startGiven) s.start = s.maxValue;
            } else if (!s.startGiven) {
                s.start = s.minValue;
            }
            if (s.minValue > s.maxValue) fail(4004, "MINVALUE must be less than MAXVALUE");
            if (s.start < s.minValue) fail(4006, "START WITH cannot be less than MINVALUE");
            if (s.start > s.maxValue) fail(4008, "START WITH cannot be more than MAXVALUE");
            return;
        }
        if (what.tok.word("USER")) {
            ++i;
            if (!isIdent(at(n, i))) fail(1935, "missing user or role name");
            out_.kind = StatementKind::CreateUser;
            out_.name = n[i].tok.text;
            ++i;
            if (!at(n, i).tok.word("IDENTIFIED") || !at(n, i + 1).tok.word("BY") || !isIdent(at(n, i + 2)))
                fail(988, "missing or invalid password(s)");
            // Unquoted passwords keep their case (Oracle passwords are case-sensitive).
            const Token& pw = n[i + 2].tok;
            out_.password = pw.kind == Tok::Quoted ? pw.text : std::string(src_.substr(pw.begin, pw.end - pw.begin));
            return;   // DEFAULT TABLESPACE, QUOTA ...: nothing to store
        }
        fail(901, "invalid CREATE command");
    }
    if (first.tok.word("ALTER") && at(n, 1).tok.word("TABLE")) {
        size_t i = 2;
        std::string t = objectName(i);
        out_.kind = StatementKind::AlterTable;
        out_.objectType = "TABLE";
        if (at(n, i).tok.word("DROP") && (at(n, i + 1).tok.word("COLUMN") || at(n, i + 1).group())) {
            // DROP COLUMN c | DROP (c1, c2)
            std::vector<std::string> cols;
            if (at(n, i + 1).group()) {
                for (Nodes c : splitCommas(Nodes(n[i + 1].kids))) {
                    if (c.size() != 1 || !isIdent(c[0])) fail(904, "invalid identifier");
                    cols.push_back(c[0].tok.text);
                }
                requireEnd(i + 2);
            } else {
                if (!isIdent(at(n, i + 2))) fail(904, "invalid identifier");
                cols.push_back(n[i + 2].tok.text);
                requireEnd(i + 3);
            }
            for (const std::string& c : cols) out_.sql.push_back("ALTER TABLE " + t + " DROP COLUMN " + quoteIdent(c));
            return;
        }
        if (at(n, i).tok.word("RENAME") && at(n, i + 1).tok.word("COLUMN")) {
            if (!isIdent(at(n, i + 2)) || !at(n, i + 3).tok.word("TO") || !isIdent(at(n, i + 4)))
                fail(904, "invalid identifier");
            requireEnd(i + 5);
            out_.sql.push_back("ALTER TABLE " + t + " RENAME COLUMN " + quoteIdent(n[i + 2].tok.text) + " TO " +
                               quoteIdent(n[i + 4].tok.text));
            return;
        }
        if (at(n, i).tok.word("RENAME") && at(n, i + 1).tok.word("TO")) {
            if (!isIdent(at(n, i + 2))) fail(903, "invalid table name");
            requireEnd(i + 3);
            out_.newName = n[i + 2].tok.text;
            out_.sql.push_back("ALTER TABLE " + t + " RENAME TO " + quoteIdent(storageName(out_.owner, out_.newName)));
            return;
        }
        if (!at(n, i).tok.word("ADD")) fail(900, "invalid SQL statement");
        ++i;
        std::vector<Nodes> defs;
        if (at(n, i).group()) {
            defs = splitCommas(Nodes(n[i].kids));
            requireEnd(i + 1);
        } else {
            defs.push_back(n.subspan(i));
        }
        for (Nodes d : defs) {
            if (d.empty() || at(d, 0).tok.word("CONSTRAINT") || at(d, 0).tok.word("PRIMARY") ||
                at(d, 0).tok.word("FOREIGN") || at(d, 0).tok.word("UNIQUE") || at(d, 0).tok.word("CHECK"))
                fail(900, "invalid SQL statement");
            out_.sql.push_back("ALTER TABLE " + t + " ADD COLUMN " + columnDef(d));
        }
        return;
    }
    fail(900, "invalid SQL statement");
}

// The common end of UPDATE and DELETE: [WHERE ...] [RETURNING ... INTO ...], then the end.
void Translator::finishDml(Nodes n, size_t i, std::string sql)
{
    if (at(n, i).tok.word("WHERE")) {
        size_t e = findWord(n, i + 1, {"RETURNING", "RETURN"});
        if (e == i + 1) fail(936, "missing expression");
        sql += " WHERE " + expr(n.subspan(i + 1, e - i - 1));
        i = e;
    }
    i = returning(n, i, sql);
    if (i < n.size()) fail(933, "SQL command not properly ended");
    out_.sql.push_back(sql);
}

size_t Translator::returning(Nodes n, size_t i, std::string& sql)
{
    if (!at(n, i).tok.word("RETURNING") && !at(n, i).tok.word("RETURN")) return i;
    size_t into = findWord(n, i + 1, {"INTO"});
    if (into == n.size() || into == i + 1) fail(925, "missing INTO keyword");
    sql += " RETURNING " + expr(n.subspan(i + 1, into - i - 1));
    // Targets are bind variables, or plain names the caller binds as such
    // (the PL/SQL engine's variables).
    for (Nodes b : splitCommas(n.subspan(into + 1))) {
        if (b.size() != 1 || (b[0].tok.kind != Tok::Bind && !isIdent(b[0]))) fail(933, "SQL command not properly ended");
        out_.returningInto.push_back(b[0].tok.text);
    }
    return n.size();
}

std::string Translator::columnType(Nodes d, size_t& i)
{
    // Oracle type names are kept (NUMBER(7,2), VARCHAR2(10), DATE): SQLite
    // derives the right affinity from them and the cursor reads them back.
    std::string type;
    while (at(d, i).tok.kind == Tok::Word &&
           (!isKeyword(d[i]) || d[i].tok.word("DATE") || d[i].tok.word("TIMESTAMP")) &&
           !d[i].tok.word("CONSTRAINT") && !d[i].tok.word("PRIMARY") && !d[i].tok.word("REFERENCES") &&
           !d[i].tok.word("CHECK") && !d[i].tok.word("DEFAULT")) {
        type += (type.empty() ? "" : " ") + d[i].tok.text;
        ++i;
        if (at(d, i).group()) {
            std::string args;
            for (const Node& a : d[i].kids) {
                if (a.tok.kind == Tok::Number) args += a.tok.text;
                else if (a.tok.op(",")) args += ",";
                else if (a.tok.op("*")) args += "38";
                else if (a.tok.op("-")) args += "-";
                else if (!a.tok.word("BYTE") && !a.tok.word("CHAR")) fail(902, "invalid datatype");
            }
            type += "(" + args + ")";
            ++i;
            break;
        }
    }
    if (type.empty()) fail(902, "invalid datatype");
    return type;
}

std::string Translator::columnDef(Nodes d, std::string* typeOut)
{
    if (d.empty() || !isIdent(d[0])) fail(904, "invalid identifier");
    std::string out = quoteIdent(d[0].tok.text);
    size_t i = 1;
    std::string type = columnType(d, i);
    if (typeOut) *typeOut = type;
    out += " " + type;
    return out + constraints(d, i);
}

std::string Translator::constraints(Nodes d, size_t i)
{
    std::string out;
    while (i < d.size()) {
        const Node& x = d[i];
        if (x.tok.word("DEFAULT")) {
            size_t e = findWord(d, i + 1, {"NOT", "NULL", "PRIMARY", "UNIQUE", "CHECK", "REFERENCES", "CONSTRAINT"});
            if (e == i + 1) fail(936, "missing expression");
            inDefault_ = true;
            out += " DEFAULT (" + expr(d.subspan(i + 1, e - i - 1)) + ")";
            inDefault_ = false;
            i = e;
        } else if (x.tok.word("CHECK") && at(d, i + 1).group()) {
            out += " CHECK (" + expr(Nodes(d[i + 1].kids)) + ")";
            i += 2;
        } else if (x.tok.word("REFERENCES")) {
            ++i;
            std::vector<std::string> path = readPath(d, i);
            if (path.empty()) fail(903, "invalid table name");
            out += " REFERENCES " + tableName(path);
        } else if (x.tok.word("CONSTRAINT") && isIdent(at(d, i + 1))) {
            out += " CONSTRAINT " + quoteIdent(d[i + 1].tok.text);
            i += 2;
        } else if (x.group()) {
            std::string cols;
            for (const Node& c : x.kids) {
                if (c.tok.op(",")) cols += ", ";
                else if (isIdent(c) && !c.tok.word("ASC") && !c.tok.word("DESC")) cols += quoteIdent(c.tok.text);
                else if (!c.tok.word("ASC") && !c.tok.word("DESC")) fail(904, "invalid identifier");
            }
            out += " (" + cols + ")";
            ++i;
        } else if (x.tok.word("ENABLE") || x.tok.word("DISABLE") || x.tok.word("VALIDATE") ||
                   x.tok.word("NOVALIDATE") || x.tok.word("DEFERRABLE") || x.tok.word("INITIALLY") ||
                   x.tok.word("IMMEDIATE") || x.tok.word("DEFERRED")) {
            ++i;
        } else if (x.tok.kind == Tok::Word) {
            // NOT NULL, NULL, PRIMARY KEY, UNIQUE, FOREIGN KEY, ON DELETE CASCADE | SET NULL
            out += " " + x.tok.text;
            ++i;
        } else {
            fail(907, "missing right parenthesis");
        }
    }
    return out;
}

void Translator::createTable(Nodes n, size_t i, const std::string& table)
{
    out_.kind = StatementKind::CreateTable;
    out_.objectType = "TABLE";
    if (at(n, i).tok.word("AS")) {
        // The session creates the table with the query's column types, then
        // fills it (SQLite's own CREATE TABLE AS would lose DATE and the like).
        out_.sql.push_back(query(n.subspan(i + 1)));
        out_.asQuery = true;
        return;
    }
    if (!at(n, i).group() || n[i].kids.empty()) fail(906, "missing left parenthesis");
    std::string body;
    std::vector<ColumnRule> rules;
    for (Nodes d : splitCommas(Nodes(n[i].kids))) {
        if (d.empty()) fail(904, "invalid identifier");
        if (!body.empty()) body += ", ";
        const Node& f = d[0];
        if (f.tok.word("CONSTRAINT") || f.tok.word("PRIMARY") || f.tok.word("FOREIGN") || f.tok.word("UNIQUE") ||
            f.tok.word("CHECK")) {
            body += constraints(d, 0).substr(1);
        } else {
            std::string type;
            body += columnDef(d, &type);
            rules.push_back(ColumnRule{d[0].tok.text, type});
        }
    }
    ++i;
    // Physical attributes (TABLESPACE, STORAGE, ON COMMIT ...) do not apply.
    if (at(n, i).tok.word("AS")) fail(933, "SQL command not properly ended");
    out_.sql.push_back("CREATE TABLE " + table + " (" + body + ")");
    columnTriggers(table, rules);
}

void Translator::columnTriggers(const std::string& table, const std::vector<ColumnRule>& rules)
{
    // SQLite keeps whatever it is given; Oracle checks and converts what is
    // written to a typed column. Triggers do that here: BEFORE ones reject
    // (too long text, too many digits, text in a NUMBER column) with Oracle's
    // error, AFTER ones convert (text to DATE, rounding to the NUMBER scale).
    std::string name = table.substr(1, table.size() - 2);   // OWNER.TABLE
    std::string qualified = quoteIdent(out_.owner) + "." + quoteIdent(out_.name);
    std::string checks, checkWhen, set, fixWhen;
    auto sqlString = [](const std::string& t) {
        std::string r = "'";
        for (char c : t) {
            if (c == '\'') r += '\'';
            r += c;
        }
        return r + "'";
    };
    for (const ColumnRule& r : rules) {
        std::string col = "NEW." + quoteIdent(r.column);
        std::string base = r.type.substr(0, r.type.find('('));
        long p = -1, sc = 0;
        if (size_t open = r.type.find('('); open != std::string::npos) {
            p = std::strtol(r.type.c_str() + open + 1, nullptr, 10);
            if (size_t comma = r.type.find(',', open); comma != std::string::npos)
                sc = std::strtol(r.type.c_str() + comma + 1, nullptr, 10);
        }
        auto check = [&](const std::string& cond, const std::string& message) {
            checks += "SELECT RAISE(ABORT, " + sqlString(message) + ") WHERE " + cond + "; ";
            checkWhen += (checkWhen.empty() ? "" : " OR ") + ("(" + cond + ")");
        };
        auto fix = [&](const std::string& cond, const std::string& value) {
            set += (set.empty() ? "" : ", ") + quoteIdent(r.column) + " = CASE WHEN " + cond + " THEN " + value +
                   " ELSE " + quoteIdent(r.column) + " END";
            fixWhen += (fixWhen.empty() ? "" : " OR ") + ("(" + cond + ")");
        };
        bool text = base == "VARCHAR2" || base == "VARCHAR" || base == "NVARCHAR2" || base == "CHAR" || base == "NCHAR";
        bool number = base == "NUMBER" || base == "NUMERIC" || base == "DECIMAL" || base == "INTEGER" ||
                      base == "INT" || base == "SMALLINT";
        if (text && p > 0)
            check("length(" + col + ") > " + std::to_string(p),
                  "ORA-12899: value too large for column " + qualified + "." + quoteIdent(r.column));
        if (number) {
            check("typeof(" + col + ") = 'text'", "ORA-01722: invalid number");
            if (base != "NUMBER" || p > 0) {
                if (base != "NUMBER" && p < 0) p = 38;
                if (p > 0 && p - sc < 19 && p - sc >= 0)
                    check("ORA_ROUND(abs(" + col + "), " + std::to_string(sc) + ") >= 1e" + std::to_string(p - sc),
                          "ORA-01438: value larger than specified precision allowed for this column");
                fix("typeof(" + col + ") IN ('integer', 'real') AND " + col + " <> ORA_ROUND(" + col + ", " +
                        std::to_string(sc) + ")",
                    "ORA_ROUND(" + col + ", " + std::to_string(sc) + ")");
            }
        }
        if (base == "DATE" || base == "TIMESTAMP")
            fix("typeof(" + col + ") = 'text' AND " + col +
                    " NOT GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'",
                "ORA_TO_DATE(" + col + ")");
    }
    for (const char* event : {"INSERT", "UPDATE"}) {
        if (!checks.empty())
            out_.sql.push_back("CREATE TRIGGER " + quoteIdent(name + "/check/" + event) + " BEFORE " + event + " ON " +
                               table + " FOR EACH ROW WHEN " + checkWhen + " BEGIN " + checks + "END");
        if (!set.empty())
            out_.sql.push_back("CREATE TRIGGER " + quoteIdent(name + "/convert/" + event) + " AFTER " + event + " ON " +
                               table + " FOR EACH ROW WHEN " + fixWhen + " BEGIN UPDATE " + table + " SET " + set +
                               " WHERE rowid = NEW.rowid; END");
    }
}

std::vector<std::string> columnTriggerSql(const std::string& owner, const std::string& table,
                                          const std::vector<std::pair<std::string, std::string>>& columns)
{
    TranslateOptions opt;
    opt.schema = owner;
    Translation out;
    out.owner = owner;
    out.name = table;
    Translator t("", opt, out);
    std::vector<Translator::ColumnRule> rules;
    for (const auto& [name, type] : columns) rules.push_back({name, upper(type)});
    t.columnTriggers(t.quoteIdent(storageName(owner, table)), rules);
    return out.sql;
}

Translation translate(std::string_view text, const TranslateOptions& options)
{
    std::vector<Token> tokens = tokenize(text);
    // One trailing semicolon is what people type; more is an error.
    if (tokens.size() >= 2 && tokens[tokens.size() - 2].op(";")) tokens.erase(tokens.end() - 2);
    if (tokens.size() == 1) throw OraError::make(900, "invalid SQL statement");
    std::vector<Node> tree = buildTree(tokens);
    Translation out;
    Translator t(text, options, out);
    t.statement(Nodes(tree));
    return out;
}

} // namespace sandbox::sql
