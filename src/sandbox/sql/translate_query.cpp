// translate_query.cpp - SELECT: select lists with Oracle's column names,
// FROM with schema names, ROWNUM limits, Oracle's NULL ordering, compounds.
#include "sandbox/ora_error.h"
#include "sandbox/sql/translator_impl.h"

#include <algorithm>

namespace sandbox::sql {

namespace {

bool isClauseWord(const Node& node)
{
    static const char* words[] = {"FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INTERSECT", "MINUS",
                                  "EXCEPT", "FETCH", "OFFSET", "FOR", "CONNECT", "START"};
    if (node.tok.kind != Tok::Word) return false;
    for (const char* w : words)
        if (node.tok.text == w) return true;
    return false;
}

bool isJoinWord(const Node& node)
{
    static const char* words[] = {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL"};
    if (node.tok.kind != Tok::Word) return false;
    for (const char* w : words)
        if (node.tok.text == w) return true;
    return false;
}

size_t nextClause(Nodes n, size_t from)
{
    for (size_t i = from; i < n.size(); ++i)
        if (isClauseWord(n[i])) return i;
    return n.size();
}

// Top-level AND conjuncts of a condition, unless OR also appears at the top
// (then the condition is one piece). BETWEEN's AND is no conjunction.
std::vector<Nodes> conjuncts(Nodes n)
{
    for (const Node& x : n)
        if (x.tok.word("OR")) return {n};
    std::vector<Nodes> parts;
    size_t b = 0;
    bool between = false;
    for (size_t i = 0; i < n.size(); ++i) {
        if (n[i].tok.word("BETWEEN")) between = true;
        else if (n[i].tok.word("AND")) {
            if (between) { between = false; continue; }
            parts.push_back(n.subspan(b, i - b));
            b = i + 1;
        }
    }
    parts.push_back(n.subspan(b));
    return parts;
}

} // namespace

std::string Translator::query(Nodes n)
{
    enter();
    std::string out;
    size_t i = 0;
    if (at(n, 0).tok.word("WITH")) {
        out = "WITH ";
        i = 1;
        for (;;) {
            if (!isIdent(at(n, i)) || !at(n, i + 1).tok.word("AS") || !at(n, i + 2).group()) fail(905, "missing keyword");
            std::string name = n[i].tok.text;
            cteNames_.insert(name);
            out += quoteIdent(name) + " AS (" + query(Nodes(n[i + 2].kids)) + ")";
            i += 3;
            if (at(n, i).tok.op(",")) { out += ", "; ++i; continue; }
            break;
        }
        out += " ";
    }

    std::string limit;  // from ROWNUM conditions or FETCH FIRST
    std::string offset;
    bool compound = false;
    for (;;) {
        // One SELECT core, or a parenthesised query as a compound member.
        if (at(n, i).group()) {
            out += "SELECT * FROM (" + query(Nodes(n[i].kids)) + ")";
            ++i;
        } else {
            if (!at(n, i).tok.word("SELECT")) fail(928, "missing SELECT keyword");
            ++i;
            std::string head = "SELECT ";
            bool distinct = false;
            if (at(n, i).tok.word("DISTINCT") || at(n, i).tok.word("UNIQUE")) { head += "DISTINCT "; distinct = true; ++i; }
            else if (at(n, i).tok.word("ALL")) ++i;
            size_t listEnd = nextClause(n, i);
            if (listEnd == i) fail(936, "missing expression");
            // INTO in a query is PL/SQL's business, not the SQL engine's.
            if (findWord(n.subspan(i, listEnd - i), 0, {"INTO"}) < listEnd - i) fail(905, "missing keyword");
            Nodes list = n.subspan(i, listEnd - i);
            std::string items = selectList(list);
            i = listEnd;
            std::string from, fromAlias, where, rest;
            Nodes fromNodes;
            if (at(n, i).tok.word("FROM")) {
                size_t e = nextClause(n, i + 1);
                fromNodes = n.subspan(i + 1, e - i - 1);
                i = e;
            }
            std::vector<Nodes> conds;
            if (at(n, i).tok.word("WHERE")) {
                size_t e = nextClause(n, i + 1);
                conds = conjuncts(n.subspan(i + 1, e - i - 1));
                i = e;
            }
            if (!fromNodes.empty() || at(n, listEnd).tok.word("FROM"))
                from = outerJoins(fromNodes, conds, fromAlias);
            std::string rowLimit;   // ROWNUM conditions of this core
            {
                for (Nodes c : conds) {
                    if (c.empty()) fail(936, "missing expression");
                    // ROWNUM <= n, ROWNUM < n, ROWNUM = 1 and their mirrors become LIMIT.
                    if (c.size() >= 3 && c[0].tok.word("ROWNUM") &&
                        (c[1].tok.op("<=") || c[1].tok.op("<") || c[1].tok.op("="))) {
                        std::string v = expr(c.subspan(2));
                        std::string l = c[1].tok.op("<") ? "(" + v + ") - 1"
                                        : c[1].tok.op("=") ? "(CASE WHEN (" + v + ") = 1 THEN 1 ELSE 0 END)"
                                                           : v;
                        rowLimit = rowLimit.empty() ? l : "MIN(" + rowLimit + ", " + l + ")";
                        continue;
                    }
                    if (c.size() >= 3 && c.back().tok.word("ROWNUM") &&
                        (c[c.size() - 2].tok.op(">=") || c[c.size() - 2].tok.op(">"))) {
                        std::string v = expr(c.subspan(0, c.size() - 2));
                        std::string l = c[c.size() - 2].tok.op(">") ? "(" + v + ") - 1" : v;
                        rowLimit = rowLimit.empty() ? l : "MIN(" + rowLimit + ", " + l + ")";
                        continue;
                    }
                    where += (where.empty() ? "" : " AND ") + std::string("(") + expr(c) + ")";
                }
            }
            if (at(n, i).tok.word("CONNECT") || at(n, i).tok.word("START")) fail(900, "invalid SQL statement");
            bool grouped = false;
            if (at(n, i).tok.word("GROUP")) {
                if (!at(n, i + 1).tok.word("BY")) fail(924, "missing BY keyword");
                size_t e = nextClause(n, i + 2);
                if (e == i + 2) fail(936, "missing expression");
                rest += " GROUP BY " + expr(n.subspan(i + 2, e - i - 2));
                grouped = true;
                i = e;
            }
            if (at(n, i).tok.word("HAVING")) {
                size_t e = nextClause(n, i + 1);
                if (e == i + 1) fail(936, "missing expression");
                rest += " HAVING " + expr(n.subspan(i + 1, e - i - 1));
                grouped = true;
                i = e;
            }
            const Node& next = at(n, i);
            bool inCompound = compound || next.tok.word("UNION") || next.tok.word("INTERSECT") ||
                              next.tok.word("MINUS") || next.tok.word("EXCEPT");
            std::string core;
            if (!rowLimit.empty() && !from.empty() &&
                (!fromAlias.empty() || grouped || distinct || hasAggregate(list) || next.tok.word("ORDER") || inCompound)) {
                // ROWNUM numbers the rows of FROM and WHERE, before grouping,
                // DISTINCT and ORDER BY: limit that row source itself. The
                // materialized CTE keeps SQLite from merging the LIMIT into an
                // ORDER BY around it.
                core = head + items + " FROM (WITH \"ROWNUM$\" AS MATERIALIZED (SELECT * FROM " + from +
                       (where.empty() ? "" : " WHERE " + where) + " LIMIT " + rowLimit +
                       ") SELECT * FROM \"ROWNUM$\")" + (fromAlias.empty() ? "" : " AS " + quoteIdent(fromAlias)) + rest;
            } else {
                core = head + items + (from.empty() ? "" : " FROM " + from) + (where.empty() ? "" : " WHERE " + where) + rest;
                if (!rowLimit.empty()) limit = limit.empty() ? rowLimit : "MIN(" + limit + ", " + rowLimit + ")";
            }
            out += core;
        }
        const Node& w = at(n, i);
        if (w.tok.word("UNION") || w.tok.word("INTERSECT") || w.tok.word("MINUS") || w.tok.word("EXCEPT")) {
            compound = true;
            out += w.tok.word("UNION") ? " UNION " : w.tok.word("INTERSECT") ? " INTERSECT " : " EXCEPT ";
            ++i;
            if (w.tok.word("UNION") && at(n, i).tok.word("ALL")) { out += "ALL "; ++i; }
            continue;
        }
        break;
    }
    if (at(n, i).tok.word("ORDER")) {
        if (!at(n, i + 1).tok.word("BY")) fail(924, "missing BY keyword");
        size_t e = nextClause(n, i + 2);
        auto items = splitCommas(n.subspan(i + 2, e - i - 2));
        out += " ORDER BY ";
        for (size_t k = 0; k < items.size(); ++k) {
            Nodes it = items[k];
            bool desc = false, nulls = false;
            size_t len = it.size();
            if (len >= 2 && it[len - 2].tok.word("NULLS") &&
                (it[len - 1].tok.word("FIRST") || it[len - 1].tok.word("LAST"))) {
                nulls = true;
                len -= 2;
            }
            std::string nullsText = nulls ? " NULLS " + it[it.size() - 1].tok.text : "";
            if (len >= 1 && (it[len - 1].tok.word("ASC") || it[len - 1].tok.word("DESC"))) {
                desc = it[len - 1].tok.word("DESC");
                --len;
            }
            if (len == 0) fail(936, "missing expression");
            // Oracle sorts NULL as the largest value: last ascending, first descending.
            out += (k ? ", " : "") + expr(it.subspan(0, len)) + (desc ? " DESC" : "") +
                   (nulls ? nullsText : desc ? " NULLS FIRST" : " NULLS LAST");
        }
        i = e;
    }
    // OFFSET n ROWS FETCH FIRST n ROWS ONLY
    while (at(n, i).tok.word("OFFSET") || at(n, i).tok.word("FETCH")) {
        if (n[i].tok.word("OFFSET")) {
            size_t e = findWord(n, i + 1, {"ROW", "ROWS"});
            if (e == n.size() || e == i + 1) fail(933, "SQL command not properly ended");
            offset = expr(n.subspan(i + 1, e - i - 1));
            i = e + 1;
        } else {
            if (!at(n, i + 1).tok.word("FIRST") && !at(n, i + 1).tok.word("NEXT")) fail(933, "SQL command not properly ended");
            size_t e = findWord(n, i + 2, {"ROW", "ROWS"});
            if (e == n.size() || !at(n, e + 1).tok.word("ONLY")) fail(933, "SQL command not properly ended");
            std::string l = e == i + 2 ? "1" : expr(n.subspan(i + 2, e - i - 2));
            limit = limit.empty() ? l : "MIN(" + limit + ", " + l + ")";
            i = e + 2;
        }
    }
    if (at(n, i).tok.word("FOR") && at(n, i + 1).tok.word("UPDATE")) {
        // Row locks: SQLite locks the whole database on write; nothing to add.
        i = n.size();
    }
    if (i < n.size()) fail(933, "SQL command not properly ended");
    if (!limit.empty()) out += " LIMIT " + limit;
    if (!offset.empty()) out += (limit.empty() ? " LIMIT -1" : "") + std::string(" OFFSET ") + offset;
    leave();
    return out;
}

namespace {

bool isOuterMark(const Node& x) { return x.group() && x.kids.size() == 1 && x.kids[0].tok.op("+"); }

} // namespace

std::string Translator::outerJoins(Nodes fromNodes, std::vector<Nodes>& conds, std::string& singleAlias)
{
    bool marked = false;
    for (Nodes c : conds)
        for (const Node& x : c) marked = marked || isOuterMark(x);
    if (!marked) return fromClause(fromNodes, &singleAlias);

    // Oracle's old outer join: WHERE a.x = b.y(+) makes b a LEFT JOIN on a,
    // with every condition that marks b as its ON clause.
    if (findWord(fromNodes, 0, {"JOIN"}) < fromNodes.size()) fail(25156, "old style outer join (+) cannot be used with ANSI joins");
    std::vector<std::string> refs, aliases;
    for (Nodes part : splitCommas(fromNodes)) {
        std::string alias;
        refs.push_back(fromClause(part, &alias));
        aliases.push_back(alias);
    }
    std::vector<std::vector<std::string>> on(refs.size());
    std::vector<Nodes> kept;
    for (Nodes c : conds) {
        bool mine = false;
        for (const Node& x : c) mine = mine || isOuterMark(x);
        if (!mine) {
            kept.push_back(c);
            continue;
        }
        std::vector<Node> copy;
        std::string qualifier;
        for (size_t k = 0; k < c.size(); ++k) {
            if (!isOuterMark(c[k])) {
                copy.push_back(c[k]);
                continue;
            }
            // The marked column: qualifier.column just before the mark.
            if (k < 3 || !isIdent(c[k - 1]) || !c[k - 2].tok.op(".") || !isIdent(c[k - 3]))
                fail(1416, "two tables cannot be outer-joined to each other");
            std::string q = c[k - 3].tok.text;
            if (!qualifier.empty() && q != qualifier) fail(1416, "two tables cannot be outer-joined to each other");
            qualifier = q;
        }
        size_t t = static_cast<size_t>(std::find(aliases.begin(), aliases.end(), qualifier) - aliases.begin());
        if (t >= refs.size()) fail(904, "invalid identifier");
        on[t].push_back("(" + expr(Nodes(copy)) + ")");
    }
    conds = kept;
    std::string inner, outer;
    for (size_t t = 0; t < refs.size(); ++t) {
        if (on[t].empty()) {
            inner += (inner.empty() ? "" : ", ") + refs[t];
        } else {
            std::string cond;
            for (const std::string& x : on[t]) cond += (cond.empty() ? "" : " AND ") + x;
            outer += " LEFT JOIN " + refs[t] + " ON " + cond;
        }
    }
    if (inner.empty()) fail(1416, "two tables cannot be outer-joined to each other");
    singleAlias.clear();
    return inner + outer;
}

bool Translator::hasAggregate(Nodes n) const
{
    for (size_t i = 0; i < n.size(); ++i) {
        const Node& x = n[i];
        if (x.tok.kind == Tok::Word && i + 1 < n.size() && n[i + 1].group() &&
            (x.tok.text == "COUNT" || x.tok.text == "SUM" || x.tok.text == "AVG" || x.tok.text == "MIN" ||
             x.tok.text == "MAX"))
            return true;
        if (x.group() && !(x.kids.size() && (x.kids[0].tok.word("SELECT") || x.kids[0].tok.word("WITH"))) &&
            hasAggregate(Nodes(x.kids)))
            return true;
    }
    return false;
}

std::string Translator::selectList(Nodes list)
{
    std::string out;
    auto items = splitCommas(list);
    for (size_t k = 0; k < items.size(); ++k) {
        Nodes it = items[k];
        if (it.empty()) fail(936, "missing expression");
        if (k) out += ", ";
        if (it.size() == 1 && it[0].tok.op("*")) { out += "*"; continue; }
        // Alias: trailing identifier after AS or after a complete operand.
        std::string alias;
        size_t exprLen = it.size();
        const Node& last = it.back();
        if (it.size() >= 2 && isIdent(last) && (last.tok.kind == Tok::Quoted || !isKeyword(last))) {
            const Node& prev = it[it.size() - 2];
            if (prev.tok.word("AS")) { alias = last.tok.text; exprLen -= 2; }
            else if (!(prev.tok.kind == Tok::Op && !prev.group()) &&
                     !(prev.tok.kind == Tok::Word && isKeyword(prev) && !prev.tok.word("END") &&
                       !prev.tok.word("NULL"))) {
                alias = last.tok.text;
                exprLen -= 1;
            }
        }
        Nodes e = it.subspan(0, exprLen);
        if (e.empty()) fail(936, "missing expression");
        std::string te = expr(e);
        bool starItem = te.size() >= 2 && te.compare(te.size() - 2, 2, ".*") == 0;
        if (starItem && alias.empty()) { out += te; continue; }
        if (alias.empty()) {
            // Oracle names a plain column after itself and any other item
            // after its text, upper-cased, blanks removed.
            bool path = e.size() % 2 == 1;
            for (size_t q = 0; q < e.size() && path; ++q)
                path = q % 2 == 0 ? isIdent(e[q]) : e[q].tok.op(".");
            alias = path ? e.back().tok.text : columnNameOf(e);
        }
        out += te + " AS " + quoteIdent(alias);
    }
    return out;
}

std::string Translator::fromClause(Nodes n, std::string* singleAlias)
{
    enter();
    if (n.empty()) fail(903, "invalid table name");
    std::string out;
    size_t i = 0;
    bool expectRef = true;
    int refs = 0;
    while (i < n.size()) {
        const Node& node = n[i];
        if (expectRef) {
            std::string ref;
            std::string defaultAlias;
            if (node.group()) {
                Nodes kids(node.kids);
                if (!kids.empty() && (kids[0].tok.word("SELECT") || kids[0].tok.word("WITH")))
                    ref = "(" + query(kids) + ")";
                else
                    ref = "(" + fromClause(kids) + ")";
                ++i;
            } else {
                std::vector<std::string> path = readPath(n, i);
                if (path.empty()) fail(903, "invalid table name");
                ref = tableName(path, &defaultAlias);
            }
            // Alias: [AS] name, which may not be a keyword of the FROM clause.
            const Node& a = at(n, i);
            if (a.tok.word("AS") && isIdent(at(n, i + 1))) {
                ref += " AS " + quoteIdent(n[i + 1].tok.text);
                i += 2;
            } else if (isIdent(a) && (a.tok.kind == Tok::Quoted || (!isKeyword(a) && !isJoinWord(a)))) {
                ref += " AS " + quoteIdent(a.tok.text);
                ++i;
            } else if (!defaultAlias.empty() && !node.group()) {
                ref += " AS " + quoteIdent(defaultAlias);
            }
            out += ref;
            expectRef = false;
            if (singleAlias) {
                size_t as = ref.rfind(" AS \"");
                *singleAlias = refs++ == 0 && as != std::string::npos && ref.back() == '"'
                                   ? ref.substr(as + 5, ref.size() - as - 6) : std::string();
            }
            continue;
        }
        if (node.tok.op(",")) {
            out += ", ";
            expectRef = true;
            ++i;
            continue;
        }
        if (isJoinWord(node)) {
            size_t j = i;
            std::string join;
            while (j < n.size() && (isJoinWord(n[j]) || n[j].tok.word("OUTER"))) {
                join += " " + n[j].tok.text;
                if (n[j].tok.word("JOIN")) { ++j; break; }
                ++j;
            }
            if (join.size() < 5 || join.compare(join.size() - 4, 4, "JOIN") != 0) fail(905, "missing keyword");
            out += join + " ";
            i = j;
            expectRef = true;
            continue;
        }
        if (node.tok.word("ON")) {
            size_t j = i + 1;
            while (j < n.size() && !n[j].tok.op(",") && !isJoinWord(n[j])) ++j;
            if (j == i + 1) fail(936, "missing expression");
            out += " ON " + expr(n.subspan(i + 1, j - i - 1));
            i = j;
            continue;
        }
        if (node.tok.word("USING") && at(n, i + 1).group()) {
            std::string cols;
            for (const Node& c : n[i + 1].kids) {
                if (c.tok.op(",")) cols += ", ";
                else if (isIdent(c)) cols += quoteIdent(c.tok.text);
                else fail(904, "invalid identifier");
            }
            out += " USING (" + cols + ")";
            i += 2;
            continue;
        }
        fail(933, "SQL command not properly ended");
    }
    if (expectRef) fail(903, "invalid table name");
    leave();
    return out;
}

} // namespace sandbox::sql
