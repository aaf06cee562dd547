// Tests of the compile-error model.
#include "editor/PLSQLErrorsGrid.h"

#include "catalog/MemoryDataSetReader.h"

#include <gtest/gtest.h>

namespace {

TMemoryDataSetReader Errors(std::vector<TMemoryDataSetReader::Row> rows)
{
    return TMemoryDataSetReader({"LINE", "POSITION", "TEXT"}, std::move(rows));
}

TEST(ErrorModel, CellsOfTwoErrors)
{
    TErrorModel model;
    auto query = Errors({{"10", "5", "A"}, {"12", "1", "B"}});
    model.LoadErrors(query);
    ASSERT_EQ(model.GetRowCount(), 2);
    EXPECT_EQ(model.GetCellValue(0, 1), 12);
    EXPECT_EQ(model.GetCellValue(1, 0), 5);
    EXPECT_EQ(model.GetCellValue(2, 0), 5);  // any column but 0 gives Position
    EXPECT_EQ(model.GetCellText(2, 1), "B");
    EXPECT_EQ(model.GetCellText(0, 0), "A");  // Text whatever the column
    EXPECT_EQ(model.GetItem(1)->Line, 12);
    EXPECT_EQ(model.GetItem(2), nullptr);
    EXPECT_FALSE(model.IsCellEditable(2, 0));
}

TEST(ErrorModel, LoadingReplacesRowsAndAnEmptyQueryEmptiesTheModel)
{
    TErrorModel model;
    auto first = Errors({{"1", "1", "PLS-00103: x"}});
    model.LoadErrors(first);
    auto none = Errors({});
    model.LoadErrors(none);
    EXPECT_EQ(model.GetRowCount(), 0);
}

TEST(ErrorModel, LongTextIsShownAsItArrives)
{
    TErrorModel model;
    const std::string text(200, 'x');
    auto query = Errors({{"3", "7", text}});
    model.LoadErrors(query);
    EXPECT_EQ(model.GetCellText(2, 0), text);
}

TEST(ErrorModel, FailingRowKeepsTheRowsBeforeIt)
{
    TErrorModel model;
    auto query = Errors({{"1", "2", "A"}, {std::nullopt, "1", "B"}, {"5", "1", "C"}});
    EXPECT_THROW(model.LoadErrors(query), EFieldConversion);
    ASSERT_EQ(model.GetRowCount(), 1);
    EXPECT_EQ(model.GetCellText(2, 0), "A");
}

} // namespace
