// script.cpp - statement splitting for scripts run through the server (the
// demo schema, tests).
#include "sandbox/script.h"

#include <cctype>

namespace sandbox {

namespace {

std::string_view trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string upperWord(std::string_view s, size_t& i)
{
    // Skips blanks and comments, then reads one word.
    for (;;) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (s.substr(i, 2) == "--") {
            while (i < s.size() && s[i] != '\n') ++i;
            continue;
        }
        if (s.substr(i, 2) == "/*") {
            size_t e = s.find("*/", i + 2);
            i = e == std::string_view::npos ? s.size() : e + 2;
            continue;
        }
        break;
    }
    std::string w;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_'))
        w += static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++])));
    return w;
}

bool isSqlPlusCommand(std::string_view line)
{
    size_t i = 0;
    std::string w = upperWord(line, i);
    if (w == "PROMPT" || w == "REM" || w == "REMARK" || w == "SPOOL" || w == "EXIT" || w == "QUIT" ||
        w == "WHENEVER" || w == "SHO" || w == "SHOW" || w == "PAUSE" || w == "DEFINE" || w == "UNDEFINE" ||
        w == "COLUMN" || w == "COL" || w == "TTITLE" || w == "BTITLE")
        return true;
    if (w == "SET") return upperWord(line, i) != "TRANSACTION";
    return false;
}

void rtrimInto(std::string& s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
}

} // namespace

bool startsPlsql(std::string_view text)
{
    size_t i = 0;
    std::string w = upperWord(text, i);
    if (w == "DECLARE" || w == "BEGIN") return true;
    if (w != "CREATE") return false;
    w = upperWord(text, i);
    if (w == "OR") {
        if (upperWord(text, i) != "REPLACE") return false;
        w = upperWord(text, i);
    }
    if (w == "EDITIONABLE" || w == "NONEDITIONABLE" || w == "EDITIONING") w = upperWord(text, i);
    return w == "FUNCTION" || w == "PROCEDURE" || w == "PACKAGE" || w == "TRIGGER" || w == "TYPE" ||
           w == "LIBRARY" || w == "JAVA";
}

std::vector<ScriptStatement> splitScript(std::string_view script)
{
    std::vector<ScriptStatement> out;
    ScriptStatement cur;
    bool inStatement = false, inString = false, inComment = false;
    auto emit = [&] {
        rtrimInto(cur.text);
        if (!trim(cur.text).empty()) out.push_back(cur);
        cur = ScriptStatement{};
        inStatement = false;
        inString = false;
        inComment = false;
    };
    size_t pos = 0;
    int lineNo = 0;
    while (pos <= script.size()) {
        size_t nl = script.find('\n', pos);
        size_t lineEnd = nl == std::string_view::npos ? script.size() : nl;
        std::string_view line = script.substr(pos, lineEnd - pos);
        size_t lineStart = pos;
        pos = lineEnd + 1;
        ++lineNo;
        for (;;) {
            std::string_view t = trim(line);
            if (!inStatement) {
                if (t.empty() || t.substr(0, 2) == "--" || t == "/" || isSqlPlusCommand(t)) break;
                inStatement = true;
                cur.line = lineNo;
                size_t off = static_cast<size_t>(line.data() - script.data());
                cur.plsql = startsPlsql(script.substr(off));
                (void)lineStart;
            }
            if (cur.plsql) {
                if (t == "/") { emit(); break; }
                cur.text.append(line).append("\n");
                break;
            }
            if (t == "/" && !inString && !inComment) { emit(); break; }
            // SQL: the statement ends at a ';' outside strings and comments.
            size_t end = std::string_view::npos;
            for (size_t i = 0; i < line.size(); ++i) {
                char c = line[i];
                if (inComment) {
                    if (c == '*' && i + 1 < line.size() && line[i + 1] == '/') { inComment = false; ++i; }
                    continue;
                }
                if (inString) {
                    if (c == '\'') inString = false;
                    continue;
                }
                if (c == '\'') inString = true;
                else if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') break;
                else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') { inComment = true; ++i; }
                else if (c == ';') { end = i; break; }
            }
            if (end == std::string_view::npos) {
                cur.text.append(line).append("\n");
                break;
            }
            cur.text.append(line.substr(0, end));
            emit();
            line = line.substr(end + 1);
        }
        if (nl == std::string_view::npos) break;
    }
    if (inStatement) emit();
    return out;
}

} // namespace sandbox
