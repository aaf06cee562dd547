// translate_expr.cpp - expressions: operators with Oracle's precedence and
// types, literals, binds, names, pseudo columns and Oracle's functions.
#include "sandbox/ora_error.h"
#include "sandbox/sql/translator_impl.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

namespace sandbox::sql {

namespace {

void buildLevel(const std::vector<Token>& t, size_t& i, std::vector<Node>& out, int depth)
{
    if (depth > 200) throw OraError::make(900, "invalid SQL statement");
    while (i < t.size() && t[i].kind != Tok::End) {
        if (t[i].op(")")) return;
        Node node{t[i], {}};
        ++i;
        if (node.tok.op("(")) {
            buildLevel(t, i, node.kids, depth + 1);
            if (i >= t.size() || !t[i].op(")")) throw OraError::make(907, "missing right parenthesis");
            node.tok.end = t[i].end;
            ++i;
        }
        out.push_back(std::move(node));
    }
}

// Oracle function name -> SQLite function implementing it.
const std::map<std::string, std::string>& functionMap()
{
    static const std::map<std::string, std::string> m = {
        {"SUBSTR", "ORA_SUBSTR"}, {"INSTR", "ORA_INSTR"}, {"LENGTH", "ORA_LENGTH"},
        {"UPPER", "ORA_UPPER"}, {"LOWER", "ORA_LOWER"}, {"INITCAP", "ORA_INITCAP"},
        {"LTRIM", "ORA_LTRIM"}, {"RTRIM", "ORA_RTRIM"}, {"LPAD", "ORA_LPAD"}, {"RPAD", "ORA_RPAD"},
        {"REPLACE", "ORA_REPLACE"}, {"ROUND", "ORA_ROUND"}, {"TRUNC", "ORA_TRUNC"}, {"MOD", "ORA_MOD"},
        {"ABS", "ORA_ABS"}, {"CEIL", "ORA_CEIL"}, {"FLOOR", "ORA_FLOOR"}, {"POWER", "ORA_POWER"},
        {"SQRT", "ORA_SQRT"}, {"SIGN", "ORA_SIGN"}, {"EXP", "ORA_EXP"}, {"LN", "ORA_LN"},
        {"GREATEST", "ORA_GREATEST"}, {"LEAST", "ORA_LEAST"}, {"COALESCE", "COALESCE"},
        {"NULLIF", "NULLIF"}, {"DECODE", "ORA_DECODE"}, {"TO_CHAR", "ORA_TO_CHAR"},
        {"TO_NUMBER", "ORA_TO_NUMBER"}, {"TO_DATE", "ORA_TO_DATE"}, {"ADD_MONTHS", "ORA_ADD_MONTHS"},
        {"MONTHS_BETWEEN", "ORA_MONTHS_BETWEEN"}, {"LAST_DAY", "ORA_LAST_DAY"}, {"CONCAT", "ORA_CONCAT"},
        {"CHR", "ORA_CHR"}, {"ASCII", "ORA_ASCII"},
        {"COUNT", "COUNT"}, {"SUM", "SUM"}, {"AVG", "AVG"}, {"MIN", "MIN"}, {"MAX", "MAX"},
        {"ROW_NUMBER", "ROW_NUMBER"}, {"RANK", "RANK"}, {"DENSE_RANK", "DENSE_RANK"},
    };
    return m;
}

const std::set<std::string>& keywords()
{
    static const std::set<std::string> k = {
        "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "IS", "IN", "LIKE", "BETWEEN", "EXISTS",
        "WHEN", "THEN", "ELSE", "END", "AS", "ON", "JOIN", "INNER", "LEFT", "RIGHT", "FULL",
        "OUTER", "CROSS", "NATURAL", "USING", "GROUP", "BY", "ORDER", "HAVING", "ASC", "DESC",
        "UNION", "ALL", "INTERSECT", "MINUS", "EXCEPT", "DISTINCT", "UNIQUE", "INTO", "VALUES",
        "SET", "ESCAPE", "NULLS", "ANY", "SOME", "OVER", "PARTITION", "ROWS", "RANGE",
        "UNBOUNDED", "PRECEDING", "FOLLOWING", "FETCH", "OFFSET", "FOR", "WITH", "RETURNING",
        "RETURN", "CONNECT", "START", "PRIOR", "CASE", "NULL", "DATE", "TIMESTAMP", "TRUE",
        "FALSE", "FIRST", "LAST", "ONLY", "NEXT", "ROW", "CURRENT", "OF", "NOWAIT",
    };
    return k;
}

bool isAdditive(const Node& n) { return n.tok.op("+") || n.tok.op("-") || n.tok.op("||"); }
bool isMultiplicative(const Node& n) { return n.tok.op("*") || n.tok.op("/"); }

std::string quoteString(const std::string& s)
{
    std::string r = "'";
    for (char c : s) {
        if (c == '\'') r += '\'';
        r += c;
    }
    return r + "'";
}

// DATE 'YYYY-MM-DD' and TIMESTAMP 'YYYY-MM-DD HH:MI:SS[.ff]' as stored text.
std::string dateLiteral(const std::string& text, bool timestamp)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int got = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    if (got < 3 || (!timestamp && got != 3) || y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 ||
        h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        throw OraError::make(1861, "literal does not match format string");
    char buf[40];
    std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d %02d:%02d:%02d'", y, mo, d, h, mi, s);
    return buf;
}

// '17-DEC-80', '1-Jan-1981': the default NLS date form.
bool looksLikeOracleDate(const std::string& t)
{
    size_t i = 0;
    auto digits = [&](size_t lo, size_t hi) {
        size_t b = i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        return i - b >= lo && i - b <= hi;
    };
    if (!digits(1, 2) || i >= t.size() || t[i++] != '-') return false;
    static const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (i + 3 > t.size()) return false;
    std::string m = upper(t.substr(i, 3));
    i += 3;
    if (std::find(std::begin(months), std::end(months), m) == std::end(months)) return false;
    if (i >= t.size() || t[i++] != '-') return false;
    size_t b = i;
    if (!digits(2, 4) || i != t.size()) return false;
    return i - b == 2 || i - b == 4;
}

} // namespace

std::vector<Node> buildTree(const std::vector<Token>& tokens)
{
    std::vector<Node> out;
    size_t i = 0;
    buildLevel(tokens, i, out, 0);
    if (i < tokens.size() && tokens[i].op(")")) throw OraError::make(933, "SQL command not properly ended");
    return out;
}

std::vector<Nodes> splitCommas(Nodes n)
{
    std::vector<Nodes> parts;
    size_t b = 0;
    for (size_t i = 0; i < n.size(); ++i) {
        if (n[i].tok.op(",")) {
            parts.push_back(n.subspan(b, i - b));
            b = i + 1;
        }
    }
    parts.push_back(n.subspan(b));
    return parts;
}

size_t findWord(Nodes n, size_t from, std::initializer_list<const char*> words)
{
    for (size_t i = from; i < n.size(); ++i)
        if (n[i].tok.kind == Tok::Word)
            for (const char* w : words)
                if (n[i].tok.text == w) return i;
    return n.size();
}

void Translator::fail(int code, const char* message) const { throw OraError::make(code, message); }

void Translator::enter()
{
    if (++depth_ > 150) fail(900, "invalid SQL statement");
}

bool Translator::isIdent(const Node& node) { return node.tok.kind == Tok::Word || node.tok.kind == Tok::Quoted; }

bool Translator::isKeyword(const Node& node) const
{
    return node.tok.kind == Tok::Word && keywords().count(node.tok.text) > 0;
}

std::string Translator::quoteIdent(const std::string& s) const
{
    std::string r = "\"";
    for (char c : s) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string Translator::bindParam(const std::string& name)
{
    auto it = std::find(out_.binds.begin(), out_.binds.end(), name);
    size_t idx = static_cast<size_t>(it - out_.binds.begin());
    if (it == out_.binds.end()) out_.binds.push_back(name);
    return "?" + std::to_string(idx + 1);
}

std::vector<std::string> Translator::readPath(Nodes n, size_t& i) const
{
    std::vector<std::string> path;
    if (!isIdent(at(n, i)) || isKeyword(at(n, i))) return path;
    path.push_back(n[i].tok.text);
    ++i;
    while (at(n, i).tok.op(".") && isIdent(at(n, i + 1))) {
        path.push_back(n[i + 1].tok.text);
        i += 2;
    }
    return path;
}

std::string storageName(const std::string& owner, const std::string& name) { return owner + "." + name; }

bool isPublicSysName(const std::string& n)
{
    return n == "DUAL" || n.rfind("ALL_", 0) == 0 || n.rfind("USER_", 0) == 0 || n.rfind("DBA_", 0) == 0;
}

std::string Translator::tableName(const std::vector<std::string>& path, std::string* lastPart)
{
    if (path.empty() || path.size() > 2) fail(903, "invalid table name");
    std::string owner, name = path.back();
    if (path.size() == 2) owner = path[0];
    else if (cteNames_.count(name)) {
        if (lastPart) *lastPart = name;
        return quoteIdent(name);
    }
    else owner = isPublicSysName(name) ? "SYS" : opt_.schema;
    if (lastPart) *lastPart = name;
    return quoteIdent(storageName(owner, name));
}

std::string Translator::columnNameOf(Nodes n) const
{
    if (n.empty()) return {};
    size_t b = n.front().tok.begin, e = n.back().tok.end;
    if (e > src_.size() || b > e) return {};
    std::string_view t = src_.substr(b, e - b);
    std::string r;
    char quote = 0;
    for (char c : t) {
        if (quote) {
            if (c == quote) quote = 0;
            r += quote == '"' || c == '"' ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            continue;
        }
        if (c == '"' || c == '\'') { quote = c; r += c; continue; }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        r += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return r;
}

std::string Translator::expr(Nodes n)
{
    enter();
    // Pieces as emitted; `operand` marks those that are whole operands, so
    // that "x > ALL (subquery)" can take its left side back.
    std::vector<std::string> pieces;
    std::vector<bool> operand;
    std::vector<int> kind;   // 1: a plain column, 2: a string literal that reads as an Oracle date
    auto add = [&](const std::string& s, bool isOperand = false, int k = 0) {
        pieces.push_back(s);
        operand.push_back(isOperand);
        kind.push_back(k);
    };
    auto isComparison = [](const Token& t) {
        return t.op("=") || t.op("<>") || t.op("!=") || t.op("^=") || t.op("~=") || t.op("<") || t.op(">") ||
               t.op("<=") || t.op(">=");
    };
    size_t i = 0;
    while (i < n.size()) {
        const Node& node = n[i];
        const Token& t = node.tok;
        // x op ANY|SOME|ALL (subquery), which SQLite lacks: EXISTS forms.
        if ((t.word("ANY") || t.word("SOME") || t.word("ALL")) && i >= 2 && isComparison(n[i - 1].tok) &&
            at(n, i + 1).group() && !n[i + 1].kids.empty() && n[i + 1].kids[0].tok.word("SELECT") &&
            pieces.size() >= 2 && operand[pieces.size() - 2]) {
            std::string op = pieces.back();
            std::string lhs = pieces[pieces.size() - 2];
            pieces.resize(pieces.size() - 2);
            operand.resize(operand.size() - 2);
            kind.resize(kind.size() - 2);
            std::string q = query(Nodes(n[i + 1].kids));
            std::string head = "(WITH \"Q$\"(\"V$\") AS (" + q + ") SELECT 1 FROM \"Q$\" WHERE ";
            if (t.word("ALL")) add("NOT EXISTS " + head + "(" + lhs + " " + op + " \"V$\") IS NOT TRUE)", true);
            else add("EXISTS " + head + lhs + " " + op + " \"V$\")", true);
            i += 2;
            continue;
        }
        bool operandStart = t.kind == Tok::Number || t.kind == Tok::String || t.kind == Tok::Bind ||
                            t.kind == Tok::Quoted || node.group() || t.op("+") || t.op("-") ||
                            (t.kind == Tok::Word && (!isKeyword(node) || t.text == "CASE" || t.text == "NULL" ||
                                                     t.text == "TRUE" || t.text == "FALSE" ||
                                                     ((t.text == "DATE" || t.text == "TIMESTAMP") &&
                                                      at(n, i + 1).tok.kind == Tok::String)));
        if (operandStart) {
            // After IN, EXISTS, ANY, ALL, SOME a subquery is a set of rows, elsewhere a single value.
            const Token& prev = i > 0 ? n[i - 1].tok : Token{};
            setSubquery_ = prev.word("IN") || prev.word("EXISTS") || prev.word("ANY") || prev.word("ALL") ||
                           prev.word("SOME");
            size_t start = i;
            std::string piece = chain(n, i);
            setSubquery_ = false;
            int k = 0;
            if (i == start + 1 && t.kind == Tok::String && looksLikeOracleDate(t.text)) k = 2;
            else if (i > start && (i - start) % 2 == 1 && isIdent(n[start]) && !(i < n.size() && n[i].group())) {
                k = 1;
                for (size_t q = start; q < i && k; ++q)
                    if ((q - start) % 2 ? !n[q].tok.op(".") : !isIdent(n[q])) k = 0;
                if (k && piece.find('(') != std::string::npos) k = 0;   // SYSDATE, NEXTVAL ...
            }
            add(piece, true, k);
            continue;
        }
        if (t.kind == Tok::Word) {
            if (t.text == "MINUS") add("EXCEPT");
            else if (t.text == "PRIOR" || t.text == "CONNECT") fail(900, "invalid SQL statement");
            else add(t.text);
        } else if (t.op("^=") || t.op("~=")) {
            add("<>");
        } else if (t.op("=>") || t.op(":=") || t.op("@") || t.op("%") || t.op(";")) {
            fail(933, "SQL command not properly ended");
        } else if (t.op("*")) {
            add("*");
        } else if (t.op("/") || t.op("||")) {
            fail(936, "missing expression");
        } else {
            add(t.text);
        }
        ++i;
    }
    // Oracle compares a DATE column with '01-JAN-81' by reading the text as a
    // date; so does ORA_AS_DATE_OF when the column holds a date.
    auto asDateOf = [&](size_t col, size_t lit) {
        if (kind[col] == 1 && kind[lit] == 2) pieces[lit] = "ORA_AS_DATE_OF(" + pieces[col] + ", " + pieces[lit] + ")";
    };
    for (size_t k = 1; k + 1 < pieces.size(); ++k) {
        const std::string& p = pieces[k];
        if (p == "=" || p == "<>" || p == "!=" || p == "<" || p == ">" || p == "<=" || p == ">=") {
            asDateOf(k - 1, k + 1);
            asDateOf(k + 1, k - 1);
        } else if (p == "BETWEEN" && k + 3 < pieces.size() && pieces[k + 2] == "AND") {
            asDateOf(k - 1, k + 1);
            asDateOf(k - 1, k + 3);
        }
    }
    std::string out;
    for (const std::string& p : pieces) {
        if (!out.empty()) out += ' ';
        out += p;
    }
    leave();
    return out;
}

std::string Translator::chain(Nodes n, size_t& i)
{
    enter();
    // Oracle: * and / bind tighter than + - ||, which are equal and left-associative
    // (SQLite ranks || above *, and divides integers as integers).
    std::vector<std::string> terms;
    std::vector<std::string> addOps;
    std::string term = operand(n, i);
    while (isMultiplicative(at(n, i)) || isAdditive(at(n, i))) {
        const Token& op = n[i].tok;
        ++i;
        if (i >= n.size()) fail(936, "missing expression");
        std::string rhs = operand(n, i);
        if (op.text == "*") term = "(" + term + " * " + rhs + ")";
        else if (op.text == "/") term = "ORA_DIV(" + term + ", " + rhs + ")";
        else {
            terms.push_back(term);
            addOps.push_back(op.text);
            term = rhs;
        }
    }
    terms.push_back(term);
    std::string acc = terms[0];
    for (size_t k = 0; k < addOps.size(); ++k) {
        const char* fn = addOps[k] == "+" ? "ORA_ADD(" : addOps[k] == "-" ? "ORA_SUB(" : "ORA_CONCAT(";
        acc = fn + acc + ", " + terms[k + 1] + ")";
    }
    leave();
    return acc;
}

std::string Translator::operand(Nodes n, size_t& i)
{
    enter();
    struct Leave {
        Translator* t;
        ~Leave() { t->leave(); }
    } guard{this};
    const Node& node = at(n, i);
    const Token& t = node.tok;
    if (t.kind == Tok::End) fail(936, "missing expression");
    if (t.op("+") || t.op("-")) {
        ++i;
        std::string v = operand(n, i);
        return t.text == "-" ? "(-" + v + ")" : v;
    }
    if (t.kind == Tok::Number) { ++i; return t.text; }
    if (t.kind == Tok::String) { ++i; return t.text.empty() ? "NULL" : quoteString(t.text); }
    if (t.kind == Tok::Bind) { ++i; return bindParam(t.text); }
    if (node.group()) {
        ++i;
        Nodes kids(node.kids);
        if (!kids.empty() && (kids[0].tok.word("SELECT") || kids[0].tok.word("WITH"))) {
            bool scalar = !setSubquery_;
            setSubquery_ = false;
            std::string q = query(kids);
            // A scalar subquery of one column: more than one row is ORA-01427,
            // where SQLite would quietly take the first.
            if (scalar && kids[0].tok.word("SELECT") && splitCommas(kids.subspan(1, findWord(kids, 1, {"FROM"}) - 1)).size() == 1 &&
                !(kids.size() > 1 && kids[1].tok.op("*")))
                return "(WITH \"ONE$\"(\"V$\") AS (" + q + ") SELECT ORA_ONE_ROW(\"V$\") FROM \"ONE$\")";
            return "(" + q + ")";
        }
        setSubquery_ = false;
        if (kids.empty()) fail(936, "missing expression");
        return "(" + expr(kids) + ")";
    }
    setSubquery_ = false;
    if (t.word("CASE")) {
        int nest = 0;
        size_t j = i;
        for (; j < n.size(); ++j) {
            if (n[j].tok.word("CASE")) ++nest;
            else if (n[j].tok.word("END") && --nest == 0) break;
        }
        if (j >= n.size()) fail(905, "missing keyword");
        std::string inner = expr(n.subspan(i + 1, j - i - 1));
        i = j + 1;
        return "CASE " + inner + " END";
    }
    if (t.word("NULL")) { ++i; return "NULL"; }
    if (t.word("TRUE")) { ++i; return "1"; }
    if (t.word("FALSE")) { ++i; return "0"; }
    if ((t.word("DATE") || t.word("TIMESTAMP")) && at(n, i + 1).tok.kind == Tok::String) {
        std::string lit = dateLiteral(n[i + 1].tok.text, t.text == "TIMESTAMP");
        i += 2;
        return lit;
    }
    if (!isIdent(node) || isKeyword(node)) fail(936, "missing expression");

    size_t start = i;
    std::vector<std::string> path = readPath(n, i);
    bool star = false;
    if (at(n, i).tok.op(".") && at(n, i + 1).tok.op("*")) {
        star = true;
        i += 2;
    }
    std::string key;
    for (size_t k = 0; k < path.size(); ++k) key += (k ? "." : "") + path[k];
    const bool quotedOnly = n[start].tok.kind == Tok::Quoted;

    if (star) {
        std::string r;
        size_t from = path.size() > 2 ? path.size() - 2 : 0;
        for (size_t k = from; k < path.size(); ++k) r += quoteIdent(path[k]) + ".";
        return r + "*";
    }
    if (at(n, i).group()) {
        const Node& args = n[i];
        ++i;
        return call(key, quotedOnly, args, n, i);
    }
    if (std::find(opt_.resolvedIds.begin(), opt_.resolvedIds.end(), key) != opt_.resolvedIds.end()) {
        if (std::find(out_.resolved.begin(), out_.resolved.end(), key) == out_.resolved.end())
            out_.resolved.push_back(key);
        return bindParam(resolvedBindName(key));
    }
    if (path.size() >= 2 && !quotedOnly && (path.back() == "NEXTVAL" || path.back() == "CURRVAL") &&
        path.size() <= 3) {
        std::string owner = path.size() == 3 ? path[0] : opt_.schema;
        out_.usesSequence = true;
        return (path.back() == "NEXTVAL" ? "ORA_NEXTVAL(" : "ORA_CURRVAL(") + quoteString(owner) + ", " +
               quoteString(path[path.size() - 2]) + ")";
    }
    if (path.size() == 1 && !quotedOnly) {
        const std::string& w = path[0];
        if (w == "SYSDATE" || w == "SYSTIMESTAMP" || w == "CURRENT_DATE" || w == "CURRENT_TIMESTAMP")
            return inDefault_ ? "datetime('now','localtime')" : "ORA_SYSDATE()";
        if (w == "USER") return "ORA_USER()";
        if (w == "ROWNUM") return "ROW_NUMBER() OVER ()";
        if (w == "LEVEL") fail(900, "invalid SQL statement");
    }
    size_t from = path.size() > 2 ? path.size() - 2 : 0;
    std::string r;
    for (size_t k = from; k < path.size(); ++k) r += (k > from ? "." : "") + quoteIdent(path[k]);
    return r;
}

std::string Translator::call(const std::string& name, bool quoted, const Node& args, Nodes n, size_t& i)
{
    Nodes a(args.kids);
    auto argList = [&]() { return a.empty() ? std::string() : expr(a); };
    std::string r;
    if (quoted) {
        r = quoteIdent("U$" + name) + "(" + argList() + ")";
    } else if (name == "NVL") {
        auto parts = splitCommas(a);
        if (parts.size() != 2) fail(909, "invalid number of arguments");
        r = "COALESCE(" + expr(parts[0]) + ", " + expr(parts[1]) + ")";
    } else if (name == "NVL2") {
        auto parts = splitCommas(a);
        if (parts.size() != 3) fail(909, "invalid number of arguments");
        r = "(CASE WHEN " + expr(parts[0]) + " IS NOT NULL THEN " + expr(parts[1]) + " ELSE " + expr(parts[2]) +
            " END)";
    } else if (name == "TRIM") {
        // TRIM([LEADING|TRAILING|BOTH] [char] FROM s) or TRIM(s)
        size_t from = findWord(a, 0, {"FROM"});
        if (from == a.size()) {
            r = "ORA_TRIM('B', ' ', " + expr(a) + ")";
        } else {
            size_t k = 0;
            std::string mode = "B";
            if (at(a, 0).tok.word("LEADING")) { mode = "L"; k = 1; }
            else if (at(a, 0).tok.word("TRAILING")) { mode = "T"; k = 1; }
            else if (at(a, 0).tok.word("BOTH")) k = 1;
            std::string ch = k < from ? expr(a.subspan(k, from - k)) : "' '";
            r = "ORA_TRIM('" + mode + "', " + ch + ", " + expr(a.subspan(from + 1)) + ")";
        }
    } else if (name == "EXTRACT") {
        if (a.size() < 3 || a[0].tok.kind != Tok::Word || !a[1].tok.word("FROM")) fail(907, "missing right parenthesis");
        r = "ORA_EXTRACT('" + a[0].tok.text + "', " + expr(a.subspan(2)) + ")";
    } else if (name == "CAST") {
        size_t as = findWord(a, 0, {"AS"});
        if (as == a.size() || as + 1 >= a.size()) fail(905, "missing keyword");
        const std::string& type = a[as + 1].tok.text;
        std::string v = expr(a.subspan(0, as));
        if (type == "NUMBER" || type == "INTEGER" || type == "INT" || type == "FLOAT" || type == "DECIMAL")
            r = "ORA_TO_NUMBER(" + v + ")";
        else if (type == "DATE" || type == "TIMESTAMP") r = "ORA_TO_DATE(" + v + ")";
        else r = "ORA_TO_CHAR(" + v + ")";
    } else {
        auto it = functionMap().find(name);
        if (it != functionMap().end()) r = it->second + "(" + argList() + ")";
        else r = quoteIdent("U$" + name) + "(" + argList() + ")";
    }
    // Analytic form: f(...) OVER (PARTITION BY ... ORDER BY ...)
    if (at(n, i).tok.word("OVER") && at(n, i + 1).group()) {
        r += " OVER (" + (n[i + 1].kids.empty() ? std::string() : expr(Nodes(n[i + 1].kids))) + ")";
        i += 2;
    }
    return r;
}

std::string resolvedBindName(const std::string& identifier) { return "\x01" + identifier; }

} // namespace sandbox::sql
