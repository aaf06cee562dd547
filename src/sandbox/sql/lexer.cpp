// lexer.cpp - the SQL tokenizer.
#include "sandbox/sql/lexer.h"

#include "sandbox/ora_error.h"

namespace sandbox::sql {

std::string upper(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

namespace {

bool isIdentStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; }
bool isIdentChar(unsigned char c)
{
    return isIdentStart(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#';
}
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

} // namespace

std::vector<Token> tokenize(std::string_view s)
{
    std::vector<Token> out;
    size_t i = 0, n = s.size();
    auto push = [&](Tok k, std::string text, size_t b) { out.push_back(Token{k, std::move(text), b, i}); };
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t b = i;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') { ++i; continue; }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            size_t e = s.find("*/", i + 2);
            i = e == std::string_view::npos ? n : e + 2;
            continue;
        }
        if (isIdentStart(c)) {
            // N'...' national literals and q'[...]' quoting
            if ((c == 'q' || c == 'Q') && i + 2 < n && s[i + 1] == '\'') {
                char open = s[i + 2];
                char close = open == '[' ? ']' : open == '(' ? ')' : open == '{' ? '}' : open == '<' ? '>' : open;
                size_t j = i + 3;
                while (j + 1 < n && !(s[j] == close && s[j + 1] == '\'')) ++j;
                if (j + 1 >= n) throw OraError::make(1756, "quoted string not properly terminated");
                std::string v(s.substr(i + 3, j - (i + 3)));
                i = j + 2;
                push(Tok::String, std::move(v), b);
                continue;
            }
            if ((c == 'n' || c == 'N') && i + 1 < n && s[i + 1] == '\'') { ++i; goto string_literal; }
            while (i < n && isIdentChar(static_cast<unsigned char>(s[i]))) ++i;
            push(Tok::Word, upper(s.substr(b, i - b)), b);
            continue;
        }
        if (c == '"') {
            size_t e = s.find('"', i + 1);
            if (e == std::string_view::npos) throw OraError::make(1740, "missing double quote in identifier");
            std::string v(s.substr(i + 1, e - i - 1));
            if (v.empty()) throw OraError::make(1741, "illegal zero-length identifier");
            i = e + 1;
            push(Tok::Quoted, std::move(v), b);
            continue;
        }
        if (c == '\'') {
        string_literal:
            std::string v;
            ++i;
            for (;;) {
                if (i >= n) throw OraError::make(1756, "quoted string not properly terminated");
                if (s[i] == '\'') {
                    if (i + 1 < n && s[i + 1] == '\'') { v += '\''; i += 2; continue; }
                    ++i;
                    break;
                }
                v += s[i++];
            }
            push(Tok::String, std::move(v), b);
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(static_cast<unsigned char>(s[i + 1])))) {
            while (i < n && isDigit(static_cast<unsigned char>(s[i]))) ++i;
            if (i < n && s[i] == '.' && !(i + 1 < n && s[i + 1] == '.')) {
                ++i;
                while (i < n && isDigit(static_cast<unsigned char>(s[i]))) ++i;
            }
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < n && isDigit(static_cast<unsigned char>(s[j]))) {
                    i = j;
                    while (i < n && isDigit(static_cast<unsigned char>(s[i]))) ++i;
                }
            }
            push(Tok::Number, std::string(s.substr(b, i - b)), b);
            continue;
        }
        if (c == ':' && i + 1 < n && (isIdentChar(static_cast<unsigned char>(s[i + 1])))) {
            ++i;
            while (i < n && isIdentChar(static_cast<unsigned char>(s[i]))) ++i;
            push(Tok::Bind, upper(s.substr(b + 1, i - b - 1)), b);
            continue;
        }
        static const char* two[] = {"||", "<=", ">=", "<>", "!=", "^=", "~=", "=>", ":="};
        bool matched = false;
        if (i + 1 < n) {
            for (const char* t : two) {
                if (s[i] == t[0] && s[i + 1] == t[1]) {
                    i += 2;
                    push(Tok::Op, t, b);
                    matched = true;
                    break;
                }
            }
        }
        if (matched) continue;
        switch (c) {
        case '=': case '<': case '>': case '+': case '-': case '*': case '/': case ',': case ';':
        case '.': case '@': case '%': case '(': case ')':
            ++i;
            push(Tok::Op, std::string(1, static_cast<char>(c)), b);
            continue;
        default:
            throw OraError::make(911, "invalid character");
        }
    }
    out.push_back(Token{Tok::End, {}, n, n});
    return out;
}

} // namespace sandbox::sql
