// lexer.h - splits Oracle SQL text into tokens for the translator; comments
// are dropped, every token keeps its place in the source text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::sql {

enum class Tok {
    Word,        // identifier or keyword, unquoted; `text` upper-cased
    Quoted,      // "identifier"; `text` without the quotes, case kept
    String,      // 'literal'; `text` is the value ('' unescaped)
    Number,      // 12, 1.5, .5, 1e3
    Bind,        // :name or :1; `text` is the name without the colon, upper-cased
    Op,          // operators and punctuation: || <= >= <> != ^= ~= => = < > + - * / , ; . @ % ( )
    End
};

struct Token {
    Tok kind = Tok::End;
    std::string text;
    size_t begin = 0, end = 0;   // byte range in the source

    bool is(Tok k, std::string_view t) const { return kind == k && text == t; }
    bool op(std::string_view t) const { return kind == Tok::Op && text == t; }
    bool word(std::string_view t) const { return kind == Tok::Word && text == t; }
};

// Tokenizes `text`. Throws OraError ORA-01756 for an unterminated string and
// ORA-00911 for a character that has no place in SQL. The last token is End.
std::vector<Token> tokenize(std::string_view text);

std::string upper(std::string_view s);

} // namespace sandbox::sql
