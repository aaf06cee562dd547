// TnsNames: the server names the connect dialog offers: the embedded
// "sandbox" and the aliases of the user's tnsnames.ora.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// The aliases defined in a tnsnames.ora text ("A, B = (DESCRIPTION ...)"),
// in file order, each once (aliases are case-insensitive).
std::vector<std::string> ParseTnsAliases(std::string_view text);

// Where tnsnames.ora is looked for: $TNS_ADMIN (only there when set), else
// $ORACLE_HOME/network/admin. nullopt when neither variable is set.
std::optional<std::string> TnsNamesPath();

// "sandbox" followed by the aliases of the tnsnames.ora found, if any.
std::vector<std::string> KnownServers();

} // namespace db
