// SmartQuery: opening a query and reading its fields.
#include "db/SmartQuery.h"

#include "db/OraSQL.h"

#include <stdexcept>

namespace {
const db::OraValue nullValue;
}

const db::OraValue& TOraField::value() const
{
    return query_->valueAt(index_);
}

std::string TOraField::AsString() const
{
    return value().value_or(std::string());
}

int64_t TOraField::AsLargeInt() const
{
    TOraParam p("", TParamDirection::In, TOraDataType::Number);
    p.SetValue(value());
    return p.AsLargeInt();
}

int TOraField::AsInteger() const
{
    TOraParam p("", TParamDirection::In, TOraDataType::Number);
    p.SetValue(value());
    return p.AsInteger();
}

void TSmartQuery::Open()
{
    Close();
    std::vector<db::DriverColumn> columns;
    std::vector<std::vector<db::OraValue>> rows;
    db::DriverResult result = run([&](db::DriverResult& r) {
        if (!r.cursor)
            return;
        columns = r.cursor->columns();
        std::vector<db::OraValue> row;
        while (r.cursor->fetch(row))
            rows.push_back(row);
        r.cursor.reset();
    });
    for (size_t i = 0; i < columns.size(); ++i)
        fields_.emplace_back(*this, static_cast<int>(i), columns[i]);
    rows_ = std::move(rows);
    row_ = 0;
    rowsAffected_ = result.rowCount;
    active_ = true;
    if (result.warningCode != 0)
        throw db::WarningError(result.warningCode, result.warningText);
}

void TSmartQuery::Close()
{
    fields_.clear();
    rows_.clear();
    row_ = 0;
    active_ = false;
}

const TOraField& TSmartQuery::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw std::out_of_range("Field index " + std::to_string(index) + " out of range");
    return fields_[static_cast<size_t>(index)];
}

const TOraField* TSmartQuery::FindField(const std::string& name) const
{
    for (const auto& f : fields_)
        if (db::SameName(f.FieldName(), name))
            return &f;
    return nullptr;
}

const TOraField& TSmartQuery::FieldByName(const std::string& name) const
{
    if (const TOraField* f = FindField(name))
        return *f;
    throw std::invalid_argument("Field '" + name + "' not found");
}

const db::OraValue& TSmartQuery::valueAt(int column) const
{
    if (Eof() || column < 0 || static_cast<size_t>(column) >= rows_[row_].size())
        return nullValue;
    return rows_[row_][static_cast<size_t>(column)];
}
