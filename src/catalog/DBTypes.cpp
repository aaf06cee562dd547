// DBTypes: classification of dictionary data type names.
#include "catalog/DBTypes.h"

const std::array<std::string_view, 4> DBDataTypeNames = {
    "VARCHAR", "VARCHAR2", "INTEGER", "NUMBER",
};

TDBDataType StrToDBDataType(std::string_view name)
{
    for (std::size_t i = 0; i < DBDataTypeNames.size(); ++i)
        if (DBDataTypeNames[i] == name)
            return static_cast<TDBDataType>(i);
    return dtVarchar;
}

bool IsNumericDataType(TDBDataType kind)
{
    return kind == dtInteger || kind == dtNumber;
}
