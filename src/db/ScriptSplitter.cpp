// ScriptSplitter: statement boundaries in scripts.
#include "db/ScriptSplitter.h"

#include <cctype>

namespace db {
namespace {

std::string upper(std::string_view s)
{
    std::string u(s);
    for (auto& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

// The first `count` words of the text's code, upper case; "<<" counts as a word.
std::vector<std::string> leadingWords(std::string_view text, size_t count)
{
    std::vector<std::string> words;
    std::string current;
    bool stop = false;
    SqlLexState st;
    size_t last = std::string_view::npos;
    ScanSql(text, st, [&](size_t i) {
        if (stop)
            return;
        char c = text[i];
        bool adjacent = last != std::string_view::npos && i == last + 1;
        last = i;
        if (isWordChar(c)) {
            if (!adjacent && !current.empty()) {
                words.push_back(upper(current));
                current.clear();
            }
            current += c;
        } else {
            if (!current.empty()) {
                words.push_back(upper(current));
                current.clear();
            }
            if (std::isspace(static_cast<unsigned char>(c)))
                return;
            words.push_back(c == '<' && i + 1 < text.size() && text[i + 1] == '<' ? "<<" : std::string(1, c));
        }
        if (words.size() >= count)
            stop = true;
    });
    if (!stop && !current.empty())
        words.push_back(upper(current));
    return words;
}

std::string_view trimLine(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

} // namespace

bool IsPlsqlText(std::string_view text)
{
    auto w = leadingWords(text, 6);
    if (w.empty())
        return false;
    if (w[0] == "DECLARE" || w[0] == "BEGIN" || w[0] == "<<")
        return true;
    if (w[0] != "CREATE")
        return false;
    size_t i = 1;
    if (i + 1 < w.size() && w[i] == "OR" && w[i + 1] == "REPLACE")
        i += 2;
    if (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE"))
        ++i;
    if (i >= w.size())
        return false;
    const std::string& kind = w[i];
    return kind == "FUNCTION" || kind == "PROCEDURE" || kind == "PACKAGE" || kind == "TRIGGER"
        || kind == "TYPE" || kind == "LIBRARY";
}

bool IsUnitDefinition(std::string_view text)
{
    auto w = leadingWords(text, 1);
    return !w.empty() && w[0] == "CREATE" && IsPlsqlText(text);
}

bool ScriptSplitter::PendingIsPlsql() const
{
    return started_ && IsPlsqlText(pending_);
}

ScriptStatement ScriptSplitter::take()
{
    ScriptStatement s;
    std::string_view text = pending_;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    s.text = std::string(text);
    s.line = startLine_;
    s.plsql = IsPlsqlText(s.text);
    pending_.clear();
    started_ = false;
    return s;
}

std::vector<ScriptStatement> ScriptSplitter::AddLine(std::string_view line)
{
    ++lineNo_;
    std::vector<ScriptStatement> out;
    if (state_.inCode() && trimLine(line) == "/") {
        if (started_)
            out.push_back(take());
        return out;
    }
    addSegment(line, out);
    return out;
}

// Appends a line (or the rest of one after a ";") to the pending text,
// cutting at each ";" that ends a SQL statement.
void ScriptSplitter::addSegment(std::string_view line, std::vector<ScriptStatement>& out)
{
    std::string text(line);
    text += '\n';
    size_t copied = 0;
    size_t cutAt = std::string::npos;
    SqlLexState stateAtCut;
    bool plsql = PendingIsPlsql();
    ScanSql(text, state_, [&](size_t i) {
        if (cutAt != std::string::npos)
            return;
        char c = text[i];
        if (!started_) {
            if (std::isspace(static_cast<unsigned char>(c)))
                return;
            started_ = true;
            startLine_ = lineNo_;
            copied = i;   // leading blanks and comments are dropped
        }
        if (c == ';' && !plsql) {
            pending_ += text.substr(copied, i - copied + 1);
            plsql = PendingIsPlsql();
            if (!plsql) {
                pending_.pop_back();
                cutAt = i + 1;
                stateAtCut = state_;
            } else {
                copied = i + 1;
            }
        }
    });
    if (cutAt == std::string::npos) {
        if (started_)
            pending_ += text.substr(copied);
        return;
    }
    // The scan ran on past the cut; the rest of the line is scanned again
    // from where the statement ended.
    state_ = stateAtCut;
    if (auto s = take(); !s.text.empty())
        out.push_back(std::move(s));
    std::string rest = text.substr(cutAt);
    rest.pop_back();   // the line break added above
    if (!trimLine(rest).empty())
        addSegment(rest, out);
}

std::optional<ScriptStatement> ScriptSplitter::Finish()
{
    if (!started_)
        return std::nullopt;
    return take();
}

std::vector<ScriptStatement> SplitScript(std::string_view text)
{
    ScriptSplitter splitter;
    std::vector<ScriptStatement> all;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (auto& s : splitter.AddLine(line))
            all.push_back(std::move(s));
        if (nl == std::string_view::npos)
            break;
        pos = nl + 1;
    }
    if (auto last = splitter.Finish())
        all.push_back(std::move(*last));
    return all;
}

} // namespace db
