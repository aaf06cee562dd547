// PLSQLErrorsGrid: the compile errors of a program tab, as the error grid
// shows them (line, column, message).
#pragma once

#include "views/RkGridView.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IDataSetReader;

// One row of ALL_ERRORS.
class TErrorObject : public TRkRowObject {
public:
    std::int32_t Line = 0;
    std::int32_t Position = 0;
    std::string Text;  // at most 200 characters, cut by the query
};

// Grid columns: "줄" (GetCellValue 0: Line), "열" (GetCellValue 1:
// Position), "내용" (GetCellText: Text). Nothing is editable.
class TErrorModel : public TDefaultModel {
public:
    // Replaces the rows with those of an open query whose columns are line,
    // position and text, in that order. On a failure the rows read so far
    // stay and the error goes to the caller.
    void LoadErrors(IDataSetReader& query);

    int GetRowCount() const override;
    // Text of the row whatever the column.
    std::string GetCellText(int column, int row) const override;
    // Line for column 0, Position for any other column.
    std::int32_t GetCellValue(int column, int row) const override;
    // Null outside the rows.
    TErrorObject* GetItem(int row) const override;

    const std::vector<std::unique_ptr<TErrorObject>>& Items() const { return Items_; }

private:
    std::vector<std::unique_ptr<TErrorObject>> Items_;
};
