// StatementObserver: the observer registry and password masking.
#include "db/StatementObserver.h"

#include <cctype>
#include <map>
#include <mutex>

namespace db {
namespace {

std::mutex& observersMutex()
{
    static std::mutex m;
    return m;
}

std::map<int, StatementObserver>& observers()
{
    static std::map<int, StatementObserver> all;
    return all;
}

int nextId = 1;

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

// True when `word` (upper case) stands at `pos` of `text` as a whole word.
bool wordAt(const std::string& text, size_t pos, const char* word)
{
    size_t n = 0;
    for (; word[n]; ++n)
        if (pos + n >= text.size() || std::toupper(static_cast<unsigned char>(text[pos + n])) != word[n])
            return false;
    bool startOk = pos == 0 || !isWordChar(text[pos - 1]);
    bool endOk = pos + n >= text.size() || !isWordChar(text[pos + n]);
    return startOk && endOk;
}

size_t skipSpace(const std::string& text, size_t pos)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    return pos;
}

// Masks the token at `pos` (a quoted name or a run of non-blank characters);
// returns the position after it.
size_t maskToken(std::string& text, size_t pos)
{
    size_t end = pos;
    if (end < text.size() && text[end] == '"') {
        end = text.find('"', end + 1);
        end = end == std::string::npos ? text.size() : end + 1;
    } else {
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != ';')
            ++end;
    }
    if (end > pos)
        text.replace(pos, end - pos, "********");
    return pos + 8;
}

} // namespace

int AddStatementObserver(StatementObserver observer)
{
    std::lock_guard lock(observersMutex());
    int id = nextId++;
    observers()[id] = std::move(observer);
    return id;
}

void RemoveStatementObserver(int id)
{
    std::lock_guard lock(observersMutex());
    observers().erase(id);
}

void NotifyStatement(const ObservedStatement& statement)
{
    std::vector<StatementObserver> current;
    {
        std::lock_guard lock(observersMutex());
        for (const auto& [id, o] : observers())
            current.push_back(o);
    }
    for (const auto& o : current)
        o(statement);
}

std::string MaskPasswords(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        if (!wordAt(out, i, "IDENTIFIED"))
            continue;
        size_t by = skipSpace(out, i + 10);
        if (!wordAt(out, by, "BY"))
            continue;
        size_t pw = skipSpace(out, by + 2);
        size_t after = maskToken(out, pw);
        size_t rep = skipSpace(out, after);
        if (wordAt(out, rep, "REPLACE"))
            after = maskToken(out, skipSpace(out, rep + 7));
        i = after;
    }
    return out;
}

} // namespace db
