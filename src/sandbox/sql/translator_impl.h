// translator_impl.h - the translator's working state, shared by the files
// that translate expressions, queries and whole statements.
#pragma once

#include "sandbox/sql/lexer.h"
#include "sandbox/sql/translator.h"

#include <set>
#include <span>
#include <string>
#include <vector>

namespace sandbox::sql {

// A token, or a parenthesised group holding the nodes between ( and ).
struct Node {
    Token tok;
    std::vector<Node> kids;
    bool group() const { return tok.op("("); }
};

using Nodes = std::span<const Node>;

// The node at `i`, or an empty node past the end, so look-ahead needs no
// bounds checks.
inline const Node& at(Nodes n, size_t i)
{
    static const Node end{};
    return i < n.size() ? n[i] : end;
}

// Builds the node tree of a token list (End excluded). Throws ORA-00907 /
// ORA-00933 for unbalanced parentheses.
std::vector<Node> buildTree(const std::vector<Token>& tokens);

class Translator {
public:
    Translator(std::string_view source, const TranslateOptions& opt, Translation& out)
        : src_(source), opt_(opt), out_(out) {}

    // Statements (translate_statement.cpp)
    void statement(Nodes n);
    size_t returning(Nodes n, size_t i, std::string& sql);
    void finishDml(Nodes n, size_t i, std::string sql);
    void createTable(Nodes n, size_t i, const std::string& table);
    struct ColumnRule {
        std::string column, type;   // type as written: NUMBER(7,2), VARCHAR2(10), DATE
    };
    std::string columnDef(Nodes d, std::string* typeOut = nullptr);
    void columnTriggers(const std::string& table, const std::vector<ColumnRule>& rules);
    std::string columnType(Nodes d, size_t& i);
    std::string constraints(Nodes d, size_t i);

    // Queries (translate_query.cpp)
    std::string query(Nodes n);
    // `singleAlias` receives the alias of the only table reference, if one.
    std::string fromClause(Nodes n, std::string* singleAlias = nullptr);
    std::string selectList(Nodes list);
    // FROM with Oracle's (+) outer joins of `conds` turned into LEFT JOINs
    // (their conditions leave `conds`).
    std::string outerJoins(Nodes fromNodes, std::vector<Nodes>& conds, std::string& singleAlias);
    bool hasAggregate(Nodes n) const;

    // Expressions (translate_expr.cpp): a run of expressions, conditions,
    // keywords and commas, translated piece by piece.
    std::string expr(Nodes n);
    // One operand chain starting at n[i] (a + b || c ...); advances i.
    std::string chain(Nodes n, size_t& i);
    std::string operand(Nodes n, size_t& i);
    // A function call name(args), already past the argument group.
    std::string call(const std::string& name, bool quoted, const Node& args, Nodes n, size_t& i);

    // Names
    std::string tableName(const std::vector<std::string>& path, std::string* lastPart = nullptr);
    std::string quoteIdent(const std::string& s) const;
    std::string bindParam(const std::string& name);
    bool isKeyword(const Node& node) const;
    static bool isIdent(const Node& node);
    // Reads owner.name / name starting at n[i]; advances i. Empty when none.
    std::vector<std::string> readPath(Nodes n, size_t& i) const;
    // The source text of nodes, as Oracle names an unaliased select item.
    std::string columnNameOf(Nodes n) const;

    void enter();
    void leave() { --depth_; }

    [[noreturn]] void fail(int code, const char* message) const;

    std::string_view src_;
    const TranslateOptions& opt_;
    Translation& out_;
    std::set<std::string> cteNames_;
    bool inDefault_ = false;
    bool setSubquery_ = false;   // the operand being read follows IN, EXISTS, ANY, ALL or SOME
    int depth_ = 0;
};

// Splits nodes at top-level commas.
std::vector<Nodes> splitCommas(Nodes n);
// First index >= from holding one of the words, or n.size().
size_t findWord(Nodes n, size_t from, std::initializer_list<const char*> words);

} // namespace sandbox::sql
