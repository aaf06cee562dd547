// lexer.cpp - the hand-written PL/SQL tokenizer.
#include "sandbox/plsql/lexer.h"

#include <array>
#include <cctype>
#include <set>

namespace sandbox::plsql {
namespace {

bool identStart(unsigned char c) { return std::isalpha(c) || c >= 0x80; }
bool identChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80; }

std::string upper(std::string_view s)
{
    std::string r(s);
    for (auto& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        for (;;) {
            skipBlanks();
            Token t;
            t.line = line_;
            t.col = col();
            t.begin = p_;
            if (p_ >= s_.size()) {
                t.kind = Tok::End;
                t.end = p_;
                out.push_back(std::move(t));
                return out;
            }
            scan(t);
            t.end = p_;
            out.push_back(std::move(t));
        }
    }

private:
    int col() const
    {
        // Columns count characters, not bytes: UTF-8 continuation bytes are skipped.
        int c = 1;
        for (size_t i = lineStart_; i < p_; ++i)
            if ((static_cast<unsigned char>(s_[i]) & 0xC0) != 0x80)
                ++c;
        return c;
    }
    char at(size_t i) const { return i < s_.size() ? s_[i] : '\0'; }
    void advance()
    {
        if (s_[p_] == '\n') {
            ++line_;
            lineStart_ = p_ + 1;
        }
        ++p_;
    }

    void skipBlanks()
    {
        while (p_ < s_.size()) {
            char c = s_[p_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                advance();
            } else if (c == '-' && at(p_ + 1) == '-') {
                while (p_ < s_.size() && s_[p_] != '\n')
                    advance();
            } else if (c == '/' && at(p_ + 1) == '*') {
                advance();
                advance();
                while (p_ < s_.size() && !(s_[p_] == '*' && at(p_ + 1) == '/'))
                    advance();
                if (p_ < s_.size()) {
                    advance();
                    advance();
                }
            } else {
                break;
            }
        }
    }

    void scan(Token& t)
    {
        unsigned char c = static_cast<unsigned char>(s_[p_]);
        if ((c == 'q' || c == 'Q') && at(p_ + 1) == '\'') {
            scanQString(t);
        } else if ((c == 'n' || c == 'N') && at(p_ + 1) == '\'') {
            advance();
            scanString(t);
        } else if (identStart(c)) {
            size_t b = p_;
            while (p_ < s_.size() && identChar(static_cast<unsigned char>(s_[p_])))
                advance();
            t.kind = Tok::Ident;
            t.text = upper(s_.substr(b, p_ - b));
        } else if (std::isdigit(c) || (c == '.' && std::isdigit(static_cast<unsigned char>(at(p_ + 1))))) {
            scanNumber(t);
        } else if (c == '\'') {
            scanString(t);
        } else if (c == '"') {
            advance();
            size_t b = p_;
            while (p_ < s_.size() && s_[p_] != '"' && s_[p_] != '\n')
                advance();
            if (p_ >= s_.size() || s_[p_] != '"' || p_ == b) {
                t.kind = Tok::Bad;
                t.text = std::string(s_.substr(t.begin, p_ - t.begin));
                return;
            }
            t.kind = Tok::Quoted;
            t.text = std::string(s_.substr(b, p_ - b));
            advance();
        } else if (c == ':' && (identStart(static_cast<unsigned char>(at(p_ + 1))) ||
                                std::isdigit(static_cast<unsigned char>(at(p_ + 1))))) {
            advance();
            size_t b = p_;
            while (p_ < s_.size() && identChar(static_cast<unsigned char>(s_[p_])))
                advance();
            t.kind = Tok::Bind;
            t.text = std::string(s_.substr(b, p_ - b));
        } else {
            scanOp(t);
        }
    }

    void scanNumber(Token& t)
    {
        size_t b = p_;
        while (std::isdigit(static_cast<unsigned char>(at(p_))))
            advance();
        // "1..10" is a range, not the number "1." followed by ".10".
        if (at(p_) == '.' && at(p_ + 1) != '.') {
            advance();
            while (std::isdigit(static_cast<unsigned char>(at(p_))))
                advance();
        }
        if ((at(p_) == 'e' || at(p_) == 'E') &&
            (std::isdigit(static_cast<unsigned char>(at(p_ + 1))) ||
             ((at(p_ + 1) == '+' || at(p_ + 1) == '-') && std::isdigit(static_cast<unsigned char>(at(p_ + 2)))))) {
            advance();
            if (at(p_) == '+' || at(p_) == '-')
                advance();
            while (std::isdigit(static_cast<unsigned char>(at(p_))))
                advance();
        }
        t.kind = Tok::Number;
        t.text = std::string(s_.substr(b, p_ - b));
        // Oracle's float suffixes (1.5f, 2d) are accepted and ignored.
        if ((at(p_) == 'f' || at(p_) == 'F' || at(p_) == 'd' || at(p_) == 'D') &&
            !identChar(static_cast<unsigned char>(at(p_ + 1))))
            advance();
    }

    void scanString(Token& t)
    {
        advance();  // opening quote
        std::string v;
        for (;;) {
            if (p_ >= s_.size()) {
                t.kind = Tok::Bad;
                t.text = "'";
                return;
            }
            char c = s_[p_];
            if (c == '\'') {
                if (at(p_ + 1) == '\'') {
                    v += '\'';
                    advance();
                    advance();
                    continue;
                }
                advance();
                break;
            }
            v += c;
            advance();
        }
        t.kind = Tok::String;
        t.text = std::move(v);
    }

    void scanQString(Token& t)
    {
        advance();  // q
        advance();  // '
        char open = at(p_);
        if (p_ >= s_.size() || open == ' ' || open == '\t' || open == '\n') {
            t.kind = Tok::Bad;
            t.text = "q'";
            return;
        }
        char close = open == '[' ? ']' : open == '{' ? '}' : open == '(' ? ')' : open == '<' ? '>' : open;
        advance();
        size_t b = p_;
        while (p_ < s_.size() && !(s_[p_] == close && at(p_ + 1) == '\''))
            advance();
        if (p_ >= s_.size()) {
            t.kind = Tok::Bad;
            t.text = "q'";
            return;
        }
        t.kind = Tok::String;
        t.text = std::string(s_.substr(b, p_ - b));
        advance();
        advance();
    }

    void scanOp(Token& t)
    {
        static const std::array<const char*, 13> two = {":=", "=>", "..", "||", "**", "<>", "!=", "~=",
                                                         "^=", ">=", "<=", "<<", ">>"};
        char c = s_[p_];
        char n = at(p_ + 1);
        for (const char* op : two) {
            if (c == op[0] && n == op[1]) {
                advance();
                advance();
                t.kind = Tok::Op;
                t.text = op;
                return;
            }
        }
        static const std::string single = "()+-*/=<>,;.%@:|[]";
        advance();
        t.kind = single.find(c) != std::string::npos ? Tok::Op : Tok::Bad;
        t.text = std::string(1, c);
        // Keep a multi-byte character whole so error texts stay valid UTF-8.
        while (t.kind == Tok::Bad && p_ < s_.size() && (static_cast<unsigned char>(s_[p_]) & 0xC0) == 0x80) {
            t.text += s_[p_];
            advance();
        }
    }

    std::string_view s_;
    size_t p_ = 0;
    int line_ = 1;
    size_t lineStart_ = 0;
};

} // namespace

std::vector<Token> tokenize(std::string_view source) { return Lexer(source).run(); }

std::string tokenDisplay(const Token& t)
{
    switch (t.kind) {
    case Tok::End: return "end-of-file";
    case Tok::String: return "'" + t.text + "'";   // Oracle prints a literal as <a string literal...>; the value is clearer
    case Tok::Bind: return ":" + t.text;
    default: return t.text;
    }
}

bool isReservedWord(std::string_view w)
{
    // PL/SQL reserved words: never identifiers, even where a name is expected.
    static const std::set<std::string_view> words = {
        "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BEGIN", "BETWEEN", "BY", "CASE", "CHECK", "CLUSTER",
        "CLUSTERS", "COLAUTH", "COLUMNS", "COMPRESS", "CONNECT", "CRASH", "CREATE", "CURSOR", "DECLARE",
        "DEFAULT", "DESC", "DISTINCT", "DROP", "ELSE", "ELSIF", "END", "EXCEPTION", "EXCLUSIVE", "FALSE", "FETCH",
        "FOR", "FROM", "FUNCTION", "GOTO", "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IF", "IN", "INDEX",
        "INSERT", "INTERSECT", "INTO", "IS", "LIKE", "LOCK", "LOOP", "MINUS", "MODE", "NOCOMPRESS", "NOT",
        "NOWAIT", "NULL", "OF", "ON", "OPTION", "OR", "ORDER", "OVERLAPS", "PROCEDURE", "SELECT", "START",
        "TABLE", "THEN", "TO", "TRUE", "UNION", "UPDATE", "VALUES", "WHEN", "WHERE", "WHILE", "WITH"};
    return words.count(w) > 0;
}

std::string upper(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace sandbox::plsql
