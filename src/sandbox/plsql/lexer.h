// lexer.h - splits PL/SQL source into tokens, each with its line, column and
// byte offsets (the parser cuts embedded SQL text out of the source by offset).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox::plsql {

enum class Tok {
    End,        // end of the text
    Ident,      // word; `text` upper-cased
    Quoted,     // "quoted identifier"; `text` as written, without quotes
    Number,     // numeric literal
    String,     // character literal; `text` holds the value
    Bind,       // :name or :1; `text` is the name without the colon
    Op,         // punctuation and operators: := => .. || ** <> != ~= ^= >= <= << >> and single characters
    Bad,        // a character the language does not use, or an unterminated literal
};

struct Token {
    Tok kind = Tok::End;
    std::string text;
    int line = 1;       // 1-based
    int col = 1;        // 1-based, in characters of the line
    size_t begin = 0;   // byte offsets into the source
    size_t end = 0;

    bool is(Tok k, std::string_view t) const { return kind == k && text == t; }
    bool isOp(std::string_view t) const { return kind == Tok::Op && text == t; }
    bool isWord(std::string_view t) const { return kind == Tok::Ident && text == t; }
};

// Tokenizes the whole text; the last token is always Tok::End. Comments and
// white space are dropped. Never fails: malformed input becomes Tok::Bad.
std::vector<Token> tokenize(std::string_view source);

// The way Oracle names a token in PLS-00103: keywords and punctuation as
// written, "end-of-file" at the end.
std::string tokenDisplay(const Token& t);

// Reserved words that may not be used as identifiers.
bool isReservedWord(std::string_view upper);

// ASCII upper case, as unquoted PL/SQL names are compared.
std::string upper(std::string s);

} // namespace sandbox::plsql
