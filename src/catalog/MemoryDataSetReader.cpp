// MemoryDataSetReader: cursor and field lookup over rows held in memory.
#include "catalog/MemoryDataSetReader.h"

#include <QString>

#include <stdexcept>
#include <utility>

TMemoryDataSetReader::TMemoryDataSetReader(std::vector<std::string> columns, std::vector<Row> rows)
    : Columns_(std::move(columns))
    , Rows_(std::move(rows))
{
}

void TMemoryDataSetReader::First()
{
    Current_ = 0;
}

void TMemoryDataSetReader::Next()
{
    if (Current_ < Rows_.size())
        ++Current_;
}

bool TMemoryDataSetReader::Eof() const
{
    return Current_ >= Rows_.size();
}

int TMemoryDataSetReader::FieldCount() const
{
    return static_cast<int>(Columns_.size());
}

TDataSetField TMemoryDataSetReader::Field(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw std::out_of_range("Field index out of range (" + std::to_string(index) + ")");
    if (Eof())
        throw std::out_of_range("No current row: the dataset is past its last row");
    const auto column = static_cast<std::size_t>(index);
    const Row& row = Rows_[Current_];
    return TDataSetField(Columns_[column], column < row.size() ? row[column] : std::nullopt);
}

TDataSetField TMemoryDataSetReader::FieldByName(std::string_view name) const
{
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (int i = 0; i < FieldCount(); ++i)
        if (QString::fromStdString(Columns_[static_cast<std::size_t>(i)])
                .compare(wanted, Qt::CaseInsensitive) == 0)
            return Field(i);
    throw std::out_of_range("Field '" + std::string(name) + "' not found");
}
