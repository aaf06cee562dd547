// Tests of the breakpoint list: toggling keeps it ascending and unique,
// and the grid cells of each row.
#include "debugger/GridModelBreakpoint.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Lines(const TBreakPointModel& model)
{
    std::vector<int> lines;
    for (const auto& item : model.Items())
        lines.push_back(item->Line);
    return lines;
}

TEST(BreakPointModel, ToggleSequences)
{
    const struct {
        const char* name;
        std::vector<int> toggles;
        std::vector<int> lines;
    } cases[] = {
        {"ascending", {1, 2, 3}, {1, 2, 3}},
        {"descending", {9, 5, 3}, {3, 5, 9}},
        {"insert in the middle", {2, 8, 5}, {2, 5, 8}},
        {"twice removes", {4, 4}, {}},
        {"remove from the middle", {1, 5, 9, 5}, {1, 9}},
        {"non-positive ignored", {0, -2, 3}, {3}},
    };
    for (const auto& c : cases) {
        TBreakPointModel model;
        for (int line : c.toggles)
            model.Toggle(line);
        EXPECT_EQ(Lines(model), c.lines) << c.name;
    }
}

TEST(BreakPointModel, RowsShowIndexLineAndAcceptance)
{
    TBreakPointModel model;
    model.Toggle(5);
    model.Toggle(3);
    ASSERT_EQ(model.GetRowCount(), 2);
    EXPECT_EQ(model.GetCellValue(0, 0), 1);
    EXPECT_EQ(model.GetCellValue(1, 0), 3);
    EXPECT_EQ(model.GetCellText(2, 0), "X");
    EXPECT_EQ(model.GetCellValue(0, 1), 2);
    EXPECT_EQ(model.GetCellValue(1, 1), 5);
    model.GetItem(1)->Accepted = true;
    EXPECT_EQ(model.GetCellText(2, 1), "O");
    EXPECT_EQ(model.GetItem(2), nullptr);
    EXPECT_FALSE(model.IsCellEditable(1, 0));
}

TEST(BreakPointModel, ToggledBackBreakpointIsNewAndNotAccepted)
{
    TBreakPointModel model;
    model.Toggle(4);
    model.GetItem(0)->Accepted = true;
    model.Toggle(4);
    model.Toggle(4);
    EXPECT_FALSE(model.GetItem(0)->Accepted);
}

TEST(BreakPointModel, HasBreakpoint)
{
    TBreakPointModel model;
    model.Toggle(3);
    EXPECT_TRUE(model.HasBreakpoint(3));
    EXPECT_FALSE(model.HasBreakpoint(4));
    EXPECT_FALSE(model.HasBreakpoint(0));
    EXPECT_FALSE(model.HasBreakpoint(-3));
}

TEST(BreakPointModel, AddAndInsertDoNotKeepOrder)
{
    TBreakPointModel model;
    model.AddBreakpoint(9);
    model.AddBreakpoint(2);
    model.InsertBreakpoint(1, 7);
    EXPECT_EQ(Lines(model), (std::vector<int>{9, 7, 2}));
}

} // namespace
