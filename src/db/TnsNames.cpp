// TnsNames: locating and reading tnsnames.ora.
#include "db/TnsNames.h"

#include "db/OraParam.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace db {
namespace {

std::string trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return std::string(s);
}

void addAlias(std::vector<std::string>& aliases, const std::string& alias)
{
    if (alias.empty() || SameName(alias, "IFILE"))
        return;
    for (const auto& a : aliases)
        if (SameName(a, alias))
            return;
    aliases.push_back(alias);
}

} // namespace

// At depth 0 the text is "names = ( ... )" entries; names gather until "="
// and the parenthesised description that follows is skipped by depth.
std::vector<std::string> ParseTnsAliases(std::string_view text)
{
    std::vector<std::string> aliases;
    std::string names;
    int depth = 0;
    bool inComment = false;
    bool afterEquals = false;   // a value follows: "(" opens one, else skip its line
    for (char c : text) {
        if (inComment) {
            inComment = c != '\n';
            continue;
        }
        if (afterEquals && depth == 0 && c != '(') {
            if (c == '\n')
                afterEquals = false;
            continue;
        }
        afterEquals = false;
        if (c == '#') {
            inComment = true;
            continue;
        }
        if (c == '(') {
            ++depth;
            continue;
        }
        if (c == ')') {
            if (depth > 0)
                --depth;
            continue;
        }
        if (depth > 0)
            continue;
        if (c == '=') {
            std::stringstream list(names);
            std::string alias;
            while (std::getline(list, alias, ','))
                addAlias(aliases, trim(alias));
            names.clear();
            afterEquals = true;
        } else {
            names += c;
        }
    }
    return aliases;
}

std::optional<std::string> TnsNamesPath()
{
    if (const char* admin = std::getenv("TNS_ADMIN"); admin && *admin)
        return std::string(admin) + "/tnsnames.ora";
    if (const char* home = std::getenv("ORACLE_HOME"); home && *home)
        return std::string(home) + "/network/admin/tnsnames.ora";
    return std::nullopt;
}

std::vector<std::string> KnownServers()
{
    std::vector<std::string> servers{"sandbox"};
    auto path = TnsNamesPath();
    if (!path)
        return servers;
    std::ifstream in(*path);
    if (!in)
        return servers;
    std::stringstream text;
    text << in.rdbuf();
    for (auto& alias : ParseTnsAliases(text.str()))
        if (!SameName(alias, "sandbox"))
            servers.push_back(alias);
    return servers;
}

} // namespace db
