// Feedback: statement kinds and their SQL*Plus-style messages.
#include "cli/Feedback.h"

#include <cctype>
#include <vector>

namespace cli {
namespace {

// The statement's leading tokens, comments skipped: words upper case,
// quoted names as written (quotes kept), anything else one character each.
std::vector<std::string> tokens(const std::string& text, size_t count)
{
    std::vector<std::string> out;
    size_t i = 0;
    auto isWord = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
    };
    while (i < text.size() && out.size() < count) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (text.compare(i, 2, "--") == 0) {
            i = text.find('\n', i);
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i + 2);
            i = i == std::string::npos ? i : i + 2;
        } else if (c == '"') {
            size_t end = text.find('"', i + 1);
            end = end == std::string::npos ? text.size() : end + 1;
            out.push_back(text.substr(i, end - i));
            i = end;
        } else if (isWord(c)) {
            std::string word;
            for (; i < text.size() && isWord(text[i]); ++i)
                word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            out.push_back(word);
        } else {
            out.push_back(std::string(1, c));
            ++i;
        }
    }
    return out;
}

std::string capitalised(const std::string& words)
{
    std::string s;
    for (size_t i = 0; i < words.size(); ++i)
        s += static_cast<char>(i == 0 ? std::toupper(static_cast<unsigned char>(words[i]))
                                      : std::tolower(static_cast<unsigned char>(words[i])));
    return s;
}

// The object kind after CREATE / DROP / ALTER, starting at token `i`:
// modifiers are skipped and two-word kinds joined ("PACKAGE BODY").
std::string objectKind(const std::vector<std::string>& t, size_t i)
{
    auto at = [&](size_t k) { return k < t.size() ? t[k] : std::string(); };
    if (at(i) == "OR" && at(i + 1) == "REPLACE")
        i += 2;
    while (at(i) == "EDITIONABLE" || at(i) == "NONEDITIONABLE" || at(i) == "FORCE" || at(i) == "NOFORCE"
           || at(i) == "PUBLIC" || at(i) == "UNIQUE" || at(i) == "BITMAP" || at(i) == "GLOBAL"
           || at(i) == "TEMPORARY" || at(i) == "PRIVATE")
        ++i;
    std::string kind = at(i);
    if ((kind == "PACKAGE" || kind == "TYPE") && at(i + 1) == "BODY")
        kind += " BODY";
    if (kind == "MATERIALIZED" && at(i + 1) == "VIEW")
        kind = "MATERIALIZED VIEW";
    return kind;
}

std::string rowsText(int64_t rows)
{
    return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

std::string unquote(const std::string& token)
{
    if (token.size() >= 2 && token.front() == '"')
        return token.substr(1, token.size() - 2);
    return token;
}

} // namespace

std::string FeedbackFor(const std::string& statement, int64_t rows)
{
    auto t = tokens(statement, 8);
    std::string verb = t.empty() ? std::string() : t[0];
    if (verb == "INSERT") return rowsText(rows) + " created.";
    if (verb == "UPDATE") return rowsText(rows) + " updated.";
    if (verb == "DELETE") return rowsText(rows) + " deleted.";
    if (verb == "MERGE") return rowsText(rows) + " merged.";
    if (verb == "BEGIN" || verb == "DECLARE" || verb == "<") return "PL/SQL procedure successfully completed.";
    if (verb == "COMMIT") return "Commit complete.";
    if (verb == "ROLLBACK") return "Rollback complete.";
    if (verb == "SAVEPOINT") return "Savepoint created.";
    if (verb == "GRANT") return "Grant succeeded.";
    if (verb == "REVOKE") return "Revoke succeeded.";
    if (verb == "CALL") return "Call completed.";
    if (verb == "COMMENT") return "Comment created.";
    if (verb == "TRUNCATE") return "Table truncated.";
    if (verb == "CREATE" || verb == "DROP" || verb == "ALTER") {
        std::string kind = objectKind(t, 1);
        if (!kind.empty()) {
            const char* done = verb == "CREATE" ? " created." : verb == "DROP" ? " dropped." : " altered.";
            return capitalised(kind) + done;
        }
    }
    return "Statement processed.";
}

std::string CompilationWarningFor(const std::string& statement)
{
    auto t = tokens(statement, 8);
    std::string verb = t.empty() ? std::string() : t[0];
    std::string kind = objectKind(t, 1);
    const char* done = verb == "ALTER" ? " altered" : " created";
    return "Warning: " + capitalised(kind.empty() ? std::string("Object") : kind) + done
        + " with compilation errors.";
}

std::optional<UnitRef> UnitOf(const std::string& statement)
{
    auto t = tokens(statement, 14);
    if (t.empty() || (t[0] != "CREATE" && t[0] != "ALTER"))
        return std::nullopt;
    size_t i = 1;
    if (i + 1 < t.size() && t[i] == "OR" && t[i + 1] == "REPLACE")
        i += 2;
    while (i < t.size() && (t[i] == "EDITIONABLE" || t[i] == "NONEDITIONABLE"))
        ++i;
    if (i >= t.size())
        return std::nullopt;
    std::string kind = t[i];
    if (kind != "FUNCTION" && kind != "PROCEDURE" && kind != "PACKAGE" && kind != "TRIGGER" && kind != "TYPE")
        return std::nullopt;
    ++i;
    if ((kind == "PACKAGE" || kind == "TYPE") && i < t.size() && t[i] == "BODY") {
        kind += " BODY";
        ++i;
    }
    if (i >= t.size())
        return std::nullopt;
    UnitRef unit{kind, {}, unquote(t[i])};
    if (i + 2 < t.size() && t[i + 1] == ".") {
        unit.owner = unit.name;
        unit.name = unquote(t[i + 2]);
    }
    return unit;
}

} // namespace cli
