// OraTypes: the direction and data type of a bind variable, and the value
// representation the data-access layer passes between statements and drivers.
#pragma once

#include <optional>
#include <string>

enum class TParamDirection { In, Out, InOut };

// Integer: a whole number; Number: Oracle NUMBER, carried as decimal text so
// no digit is lost; String: character data (VARCHAR2).
enum class TOraDataType { Integer, Number, String };

namespace db {

// A value as it crosses the driver boundary: nullopt is NULL, otherwise the
// value's Oracle text form (NUMBER in text-minimum form such as "1.5" or
// ".5", DATE as DD-MON-RR).
using OraValue = std::optional<std::string>;

const char* DirectionName(TParamDirection direction);   // "IN", "OUT", "IN/OUT"
const char* DataTypeName(TOraDataType type);            // "INTEGER", "NUMBER", "STRING"

} // namespace db
