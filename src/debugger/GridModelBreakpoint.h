// GridModelBreakpoint: the breakpoints of one program tab, kept ascending
// by line, and the row model of the Breakpoint grid.
#pragma once

#include "views/RkGridView.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBreakPointObject : public TRkRowObject {
public:
    std::int32_t Line = 0;  // 1-based editor line
    // The server accepted this breakpoint (status 0); never reset.
    bool Accepted = false;
};

// Grid columns: "Index" (GetCellValue 0: row + 1), "Line" (GetCellValue 1),
// "OX" (GetCellText: "O" accepted, "X" not). Nothing is editable.
class TBreakPointModel : public TDefaultModel {
public:
    int GetRowCount() const override;
    // "O" or "X" whatever the column.
    std::string GetCellText(int column, int row) const override;
    std::int32_t GetCellValue(int column, int row) const override;
    // Null outside the rows.
    TBreakPointObject* GetItem(int row) const override;

    // False for Line <= 0; searches from the last item to the first.
    bool HasBreakpoint(std::int32_t line) const;
    // Removes the breakpoint on Line, or inserts a new one in line order.
    // Lines <= 0 are ignored.
    void Toggle(std::int32_t line);
    // Used by Toggle; neither keeps the order.
    TBreakPointObject* AddBreakpoint(std::int32_t line);
    TBreakPointObject* InsertBreakpoint(int index, std::int32_t line);

    // Ascending by Line, no two with the same Line.
    const std::vector<std::unique_ptr<TBreakPointObject>>& Items() const { return Items_; }

private:
    std::vector<std::unique_ptr<TBreakPointObject>> Items_;
};
