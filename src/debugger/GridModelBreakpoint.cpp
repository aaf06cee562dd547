// GridModelBreakpoint: toggling breakpoints and answering the grid.
#include "debugger/GridModelBreakpoint.h"

#include <algorithm>

int TBreakPointModel::GetRowCount() const
{
    return static_cast<int>(Items_.size());
}

std::string TBreakPointModel::GetCellText(int, int row) const
{
    const TBreakPointObject* item = GetItem(row);
    if (!item)
        return {};
    return item->Accepted ? "O" : "X";
}

std::int32_t TBreakPointModel::GetCellValue(int column, int row) const
{
    const TBreakPointObject* item = GetItem(row);
    if (!item)
        return 0;
    switch (column) {
    case 0:
        return row + 1;
    case 1:
        return item->Line;
    default:
        return 0;
    }
}

TBreakPointObject* TBreakPointModel::GetItem(int row) const
{
    if (row < 0 || row >= GetRowCount())
        return nullptr;
    return Items_[static_cast<std::size_t>(row)].get();
}

bool TBreakPointModel::HasBreakpoint(std::int32_t line) const
{
    if (line <= 0)
        return false;
    return std::any_of(Items_.rbegin(), Items_.rend(),
                       [line](const auto& item) { return item->Line == line; });
}

void TBreakPointModel::Toggle(std::int32_t line)
{
    if (line <= 0)
        return;
    for (std::size_t i = 0; i < Items_.size(); ++i) {
        if (Items_[i]->Line == line) {
            Items_.erase(Items_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
        if (line < Items_[i]->Line) {
            InsertBreakpoint(static_cast<int>(i), line);
            return;
        }
    }
    AddBreakpoint(line);
}

TBreakPointObject* TBreakPointModel::AddBreakpoint(std::int32_t line)
{
    auto& item = Items_.emplace_back(std::make_unique<TBreakPointObject>());
    item->Line = line;
    return item.get();
}

TBreakPointObject* TBreakPointModel::InsertBreakpoint(int index, std::int32_t line)
{
    const auto at = std::clamp<std::ptrdiff_t>(index, 0, static_cast<std::ptrdiff_t>(Items_.size()));
    auto item = Items_.insert(Items_.begin() + at, std::make_unique<TBreakPointObject>());
    (*item)->Line = line;
    return item->get();
}
