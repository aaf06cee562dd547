// DBOracleScript: the dictionary names of the catalogue object kinds.
#include "catalog/DBOracleScript.h"

const std::array<std::string_view, 4> DBObjectTypeNames = {
    "TABLE", "FUNCTION", "PROCEDURE", "PACKAGE",
};
