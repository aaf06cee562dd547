// SmartQueryReader: forwarding the cursor and fields of a TSmartQuery.
#include "catalog/SmartQueryReader.h"

#include "db/SmartQuery.h"

#include <stdexcept>
#include <string>

namespace {

TDataSetField FromOraField(const TOraField& field)
{
    if (field.IsNull())
        return TDataSetField(field.FieldName(), std::nullopt);
    return TDataSetField(field.FieldName(), field.AsString());
}

} // namespace

TSmartQueryReader::TSmartQueryReader(TSmartQuery& query)
    : Query_(query)
{
}

void TSmartQueryReader::First()
{
    Query_.First();
}

void TSmartQueryReader::Next()
{
    Query_.Next();
}

bool TSmartQueryReader::Eof() const
{
    return Query_.Eof();
}

int TSmartQueryReader::FieldCount() const
{
    return Query_.FieldCount();
}

TDataSetField TSmartQueryReader::Field(int index) const
{
    if (Query_.Eof())
        throw std::out_of_range("No current row: the query is past its last row");
    return FromOraField(Query_.Fields(index));
}

TDataSetField TSmartQueryReader::FieldByName(std::string_view name) const
{
    const TOraField* field = Query_.FindField(std::string(name));
    if (!field)
        throw std::out_of_range("Field '" + std::string(name) + "' not found");
    if (Query_.Eof())
        throw std::out_of_range("No current row: the query is past its last row");
    return FromOraField(*field);
}
