// DBOracleScript: the kinds of catalogue objects and the names the data
// dictionary gives them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Stored in one byte; the order is that of DBObjectTypeNames.
enum TDBObjectType : std::uint8_t {
    ptTable = 0,
    ptFunction = 1,
    ptProcedure = 2,
    ptPackage = 3,
};

// The dictionary's OBJECT_TYPE for each kind, indexed by TDBObjectType;
// bound into every dictionary query about a program.
extern const std::array<std::string_view, 4> DBObjectTypeNames;
