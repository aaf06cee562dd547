// OraTypes: display names of bind directions and data types.
#include "db/OraTypes.h"

namespace db {

const char* DirectionName(TParamDirection direction)
{
    switch (direction) {
    case TParamDirection::In: return "IN";
    case TParamDirection::Out: return "OUT";
    case TParamDirection::InOut: return "IN/OUT";
    }
    return "IN";
}

const char* DataTypeName(TOraDataType type)
{
    switch (type) {
    case TOraDataType::Integer: return "INTEGER";
    case TOraDataType::Number: return "NUMBER";
    case TOraDataType::String: return "STRING";
    }
    return "STRING";
}

} // namespace db
