// PLSQLErrorsGrid: loading compile errors and answering the error grid.
#include "editor/PLSQLErrorsGrid.h"

#include "catalog/DataSetReader.h"

void TErrorModel::LoadErrors(IDataSetReader& query)
{
    Items_.clear();
    query.First();
    while (!query.Eof()) {
        // Read the whole row before appending it, so a failing row leaves
        // no half-filled item behind.
        auto item = std::make_unique<TErrorObject>();
        item->Line = query.Field(0).AsInteger();
        item->Position = query.Field(1).AsInteger();
        item->Text = query.Field(2).AsString();
        Items_.push_back(std::move(item));
        query.Next();
    }
}

int TErrorModel::GetRowCount() const
{
    return static_cast<int>(Items_.size());
}

std::string TErrorModel::GetCellText(int, int row) const
{
    const TErrorObject* item = GetItem(row);
    return item ? item->Text : std::string();
}

std::int32_t TErrorModel::GetCellValue(int column, int row) const
{
    const TErrorObject* item = GetItem(row);
    if (!item)
        return 0;
    return column == 0 ? item->Line : item->Position;
}

TErrorObject* TErrorModel::GetItem(int row) const
{
    if (row < 0 || row >= GetRowCount())
        return nullptr;
    return Items_[static_cast<std::size_t>(row)].get();
}
