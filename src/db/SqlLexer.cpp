// SqlLexer: a character scanner for SQL and PL/SQL comments and literals.
#include "db/SqlLexer.h"

#include "db/OraParam.h"

#include <cctype>

namespace db {
namespace {

char closingOf(char open)
{
    switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
    }
}

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '$';
}

// q'X...X' starts at `i` (the q) when preceded by no name character
// (or by N for nq'...').
bool qLiteralAt(std::string_view text, size_t i)
{
    if (std::tolower(static_cast<unsigned char>(text[i])) != 'q' || i + 2 >= text.size() || text[i + 1] != '\'')
        return false;
    if (i == 0)
        return true;
    char before = text[i - 1];
    if (std::tolower(static_cast<unsigned char>(before)) == 'n')
        return i < 2 || !isNameChar(text[i - 2]);
    return !isNameChar(before);
}

} // namespace

void ScanSql(std::string_view text, SqlLexState& st, const std::function<void(size_t)>& onCode)
{
    using Mode = SqlLexState::Mode;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        switch (st.mode) {
        case Mode::LineComment:
            if (c == '\n')
                st.mode = Mode::Code;
            break;
        case Mode::BlockComment:
            if (c == '*' && next == '/') {
                st.mode = Mode::Code;
                ++i;
            }
            break;
        case Mode::String:
            if (c == '\'') {
                if (next == '\'')
                    ++i;
                else
                    st.mode = Mode::Code;
            }
            break;
        case Mode::QString:
            if (c == st.qClose && next == '\'') {
                st.mode = Mode::Code;
                ++i;
            }
            break;
        case Mode::QuotedName:
            if (c == '"')
                st.mode = Mode::Code;
            break;
        case Mode::Code:
            if (c == '-' && next == '-') {
                st.mode = Mode::LineComment;
                ++i;
            } else if (c == '/' && next == '*') {
                st.mode = Mode::BlockComment;
                ++i;
            } else if (qLiteralAt(text, i)) {
                onCode(i);
                st.mode = Mode::QString;
                st.qClose = closingOf(text[i + 2]);
                i += 2;
            } else if (c == '\'') {
                onCode(i);
                st.mode = Mode::String;
            } else if (c == '"') {
                onCode(i);
                st.mode = Mode::QuotedName;
            } else {
                onCode(i);
            }
            break;
        }
    }
}

std::vector<std::string> FindBindNames(std::string_view text)
{
    std::vector<std::string> names;
    SqlLexState state;
    size_t skipUntil = 0;
    ScanSql(text, state, [&](size_t i) {
        if (i < skipUntil || text[i] != ':')
            return;
        size_t end = i + 1;
        while (end < text.size() && isNameChar(text[end]))
            ++end;
        if (end == i + 1)
            return;   // ":=" or a lone colon
        if (i > 0 && (isNameChar(text[i - 1]) || text[i - 1] == ':'))
            return;
        skipUntil = end;
        std::string name(text.substr(i + 1, end - i - 1));
        for (const auto& n : names)
            if (db::SameName(n, name))
                return;
        names.push_back(std::move(name));
    });
    return names;
}

} // namespace db
