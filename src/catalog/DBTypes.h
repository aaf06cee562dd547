// DBTypes: the four data-type kinds that decide how an argument is shown,
// declared in a call block and bound.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

enum TDBDataType : std::uint8_t {
    dtVarchar = 0,
    dtVarchar2 = 1,
    dtInteger = 2,
    dtNumber = 3,
};

// "VARCHAR", "VARCHAR2", "INTEGER", "NUMBER", indexed by TDBDataType.
extern const std::array<std::string_view, 4> DBDataTypeNames;

// Exact, case-sensitive match against DBDataTypeNames; any other name
// (DATE, CHAR, "number", " NUMBER", "") is dtVarchar.
TDBDataType StrToDBDataType(std::string_view name);

// True for dtInteger and dtNumber.
bool IsNumericDataType(TDBDataType kind);
