// SqlLexer: tells code apart from comments and literals in SQL and PL/SQL
// text, for finding bind variables and statement ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// Where a scan stands between characters; carried from line to line when
// text arrives a line at a time.
struct SqlLexState {
    enum class Mode { Code, LineComment, BlockComment, String, QString, QuotedName };
    Mode mode = Mode::Code;
    char qClose = 0;     // closing delimiter of a q'[...]' literal
    bool inCode() const { return mode == Mode::Code; }
};

// Walks `text` from `state`, calling `onCode(i)` for every character at
// index i that is code: outside "--" and "/* */" comments, '...' and
// q'[...]' literals and "quoted names". A literal or quoted name counts as
// code at its opening quote only, so callers see where one stands.
void ScanSql(std::string_view text, SqlLexState& state, const std::function<void(size_t)>& onCode);

// The bind variables of a statement (":name", not ":="), each once, in
// order of first appearance, with the spelling of that appearance. Names may
// hold letters, digits, "_", "#" and "$" ("line#").
std::vector<std::string> FindBindNames(std::string_view text);

} // namespace db
