// Tests of the model grid on Qt's offscreen platform: what it asks a model
// and when, the edit order, and the range check.
#include "views/RkGridView.h"

#include "views/GuiTestApp.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records every question the grid asks; cells answer "c<column>r<row>".
class SpyModel : public TDefaultModel {
public:
    int Rows = 0;
    int EditableColumn = -1;
    QWidget* OwnEditor = nullptr;
    mutable std::vector<std::string> Calls;
    std::vector<std::tuple<int, int, QString>> Stored;

    TColor GetCellColor(int column, int row) const override
    {
        Log("GetCellColor", column, row);
        return 0x0000FF;
    }
    int GetRowCount() const override
    {
        Calls.push_back("GetRowCount");
        return Rows;
    }
    bool IsCellEditable(int column, int row) const override
    {
        Log("IsCellEditable", column, row);
        return column == EditableColumn;
    }
    QWidget* GetCellEditor(int column, int row) override
    {
        Log("GetCellEditor", column, row);
        return OwnEditor;
    }
    void SetCellText(int column, int row, const QString& text) override
    {
        Log("SetCellText", column, row);
        Stored.emplace_back(column, row, text);
    }
    std::string GetCellText(int column, int row) const override
    {
        Log("GetCellText", column, row);
        return "c" + std::to_string(column) + "r" + std::to_string(row);
    }
    std::int32_t GetCellValue(int column, int row) const override
    {
        Log("GetCellValue", column, row);
        return 100 * column + row;
    }

    // Every call except the row count.
    std::vector<std::string> CellCalls() const
    {
        std::vector<std::string> cells;
        for (const std::string& call : Calls)
            if (call != "GetRowCount")
                cells.push_back(call);
        return cells;
    }

private:
    void Log(const char* name, int column, int row) const
    {
        Calls.push_back(std::string(name) + "(" + std::to_string(column) + ","
                        + std::to_string(row) + ")");
    }
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.setObjectName("RkGridView1");
        grid.AddColumn("Name", TRkColumnKind::Textual, 110);
        grid.AddColumn("Line", TRkColumnKind::Numeric, 50);
        grid.AddColumn("Mode", TRkColumnKind::Textual, 80);
        grid.AddColumn("Value", TRkColumnKind::Textual, 205);
        grid.resize(500, 200);
        grid.show();
    }

    void Bind(int rows)
    {
        spy.Rows = rows;
        spy.EditableColumn = 3;
        grid.SetGridModel(&spy);
        grid.Refresh();
        spy.Calls.clear();
    }

    QModelIndex Cell(int column, int row) const { return grid.model()->index(row, column); }

    static void Press(QWidget* target, int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &press);
        // The delegate commits and closes an editor through a queued call.
        QCoreApplication::processEvents();
    }

    // Declared first: the application must exist before any widget.
    QApplication& app = GuiTestApp();
    SpyModel spy;
    TRkGridView grid;
};

TEST_F(GridTest, ColumnsAreDefinedOnTheGrid)
{
    EXPECT_EQ(grid.ColumnCount(), 4);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(grid.columnWidth(3), 205);
    EXPECT_EQ(grid.Column(1).Kind, TRkColumnKind::Numeric);
    EXPECT_NE(grid.ColumnEditor(0), grid.ColumnEditor(1));
    EXPECT_EQ(grid.ColumnEditor(4), nullptr);
}

TEST_F(GridTest, WithoutModelNoRowsAndNoModelIsAsked)
{
    grid.Refresh();
    grid.grab();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.CellText(0, 0), "");
    grid.StoreCellText(0, 0, "x");
    EXPECT_EQ(grid.EditorForCell(0, 0), nullptr);
    EXPECT_TRUE(spy.Calls.empty());
}

TEST_F(GridTest, ModelWithoutRowsIsNeverAskedForCells)
{
    Bind(0);
    grid.grab();
    grid.edit(Cell(3, 0));
    EXPECT_EQ(grid.CellText(3, 0), "");
    grid.StoreCellText(3, 0, "x");
    EXPECT_TRUE(spy.CellCalls().empty());
}

TEST_F(GridTest, CellsShowTextOrValueByColumnKindOnTheModelsColour)
{
    Bind(2);
    const QAbstractItemModel& cells = *grid.model();
    EXPECT_EQ(cells.rowCount(), 2);
    EXPECT_EQ(cells.data(Cell(0, 1), Qt::DisplayRole).toString(), "c0r1");
    EXPECT_EQ(cells.data(Cell(1, 1), Qt::DisplayRole).toString(), "101");
    EXPECT_EQ(cells.data(Cell(2, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(cells.flags(Cell(2, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(cells.flags(Cell(3, 0)) & Qt::ItemIsEditable);

    spy.Calls.clear();
    grid.grab();
    const auto calls = spy.CellCalls();
    auto asked = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    EXPECT_TRUE(asked("GetCellText(0,0)"));
    EXPECT_TRUE(asked("GetCellValue(1,1)"));
    EXPECT_FALSE(asked("GetCellText(1,1)"));
    EXPECT_FALSE(asked("GetCellValue(0,0)"));
}

TEST_F(GridTest, RowNumberColumnCountsRowsWithoutAskingTheModel)
{
    const int column = grid.AddColumn("#", TRkColumnKind::Increment, 30);
    Bind(3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(grid.model()->data(Cell(column, row), Qt::DisplayRole).toString(),
                  QString::number(row + 1));
    EXPECT_TRUE(spy.CellCalls().empty());
}

TEST_F(GridTest, BindingAModelDoesNotResetTheGridUntilRefresh)
{
    int resets = 0;
    QObject::connect(grid.model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    spy.Rows = 3;
    grid.SetGridModel(&spy);
    EXPECT_EQ(grid.GridModel(), &spy);
    EXPECT_EQ(resets, 0);
    EXPECT_TRUE(spy.Calls.empty());
    EXPECT_EQ(spy.GetGridView(), nullptr);  // binding does not attach for editing

    grid.Refresh();
    EXPECT_EQ(resets, 1);
}

TEST_F(GridTest, StaleRowsAfterRebindingAreNotAskedOfTheNewModel)
{
    Bind(3);
    SpyModel smaller;
    grid.SetGridModel(&smaller);  // the view still counts three rows
    grid.grab();
    EXPECT_TRUE(smaller.CellCalls().empty());
    EXPECT_TRUE(spy.Calls.empty());
}

TEST_F(GridTest, UnchangedEditStoresNothing)
{
    Bind(2);
    grid.edit(Cell(3, 1));
    QLineEdit* editor = grid.ColumnEditor(3);
    ASSERT_TRUE(grid.IsEditing());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), "c3r1");
    EXPECT_EQ(editor->palette().color(QPalette::Base), QColor(Qt::red));
    Press(editor, Qt::Key_Return);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_TRUE(spy.Stored.empty());
}

TEST_F(GridTest, ChangedEditIsStoredOnce)
{
    Bind(2);
    grid.edit(Cell(3, 1));
    grid.ColumnEditor(3)->setText("new");
    Press(grid.ColumnEditor(3), Qt::Key_Return);
    ASSERT_EQ(spy.Stored.size(), 1u);
    EXPECT_EQ(spy.Stored[0], std::make_tuple(3, 1, QString("new")));
}

TEST_F(GridTest, EditOrderAsksEditableThenEditorThenColourThenText)
{
    Bind(2);
    grid.edit(Cell(3, 0));
    const auto calls = spy.CellCalls();
    auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    ASSERT_LT(at("GetCellEditor(3,0)"), static_cast<long>(calls.size()));
    EXPECT_LT(at("IsCellEditable(3,0)"), at("GetCellEditor(3,0)"));
    EXPECT_LT(at("GetCellEditor(3,0)"), at("GetCellColor(3,0)"));
    EXPECT_LT(at("GetCellColor(3,0)"), at("GetCellText(3,0)"));
}

TEST_F(GridTest, TypedKeyStartsTheEditWithItsText)
{
    Bind(2);
    grid.setFocus();
    grid.setCurrentIndex(Cell(3, 0));
    Press(&grid, Qt::Key_Z, "Z");
    ASSERT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.ColumnEditor(3)->text(), "Z");
    Press(grid.ColumnEditor(3), Qt::Key_Return);
    ASSERT_EQ(spy.Stored.size(), 1u);
    EXPECT_EQ(std::get<2>(spy.Stored[0]), "Z");
}

TEST_F(GridTest, ReadOnlyCellOpensNoEditor)
{
    Bind(2);
    grid.edit(Cell(2, 0));
    EXPECT_FALSE(grid.IsEditing());
    const auto calls = spy.CellCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetCellEditor(2,0)"), 0);
}

TEST_F(GridTest, ModelsOwnEditorIsUsedWhenItBelongsToThisGrid)
{
    Bind(2);
    auto* own = new QLineEdit(grid.viewport());
    spy.OwnEditor = own;
    grid.edit(Cell(3, 1));
    EXPECT_TRUE(own->isVisible());
    EXPECT_FALSE(grid.ColumnEditor(3)->isVisible());
    own->setText("mine");
    Press(own, Qt::Key_Return);
    ASSERT_EQ(spy.Stored.size(), 1u);
    EXPECT_EQ(std::get<2>(spy.Stored[0]), "mine");
}

TEST_F(GridTest, EditorOfAnotherGridIsReplacedByTheColumnEditor)
{
    Bind(2);
    TRkGridView other;
    other.AddColumn("Value", TRkColumnKind::Textual, 80);
    spy.OwnEditor = other.ColumnEditor(0);
    EXPECT_EQ(grid.EditorForCell(3, 0), grid.ColumnEditor(3));
}

TEST_F(GridTest, RangeCheckDropsCellsOutsideRowsOrColumns)
{
    Bind(2);
    const std::pair<int, int> outside[] = {{4, 0}, {-1, 0}, {0, 2}, {0, -1}};
    for (const auto& [column, row] : outside) {
        EXPECT_EQ(grid.CellText(column, row), "");
        grid.StoreCellText(column, row, "x");
    }
    EXPECT_TRUE(spy.CellCalls().empty());
    EXPECT_TRUE(spy.Stored.empty());
}

TEST_F(GridTest, DefaultModelShowsEmptyWhiteCells)
{
    TDefaultModel model;
    grid.SetGridModel(&model);
    grid.Refresh();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(model.GetCellText(0, 0), "");
    EXPECT_EQ(model.GetCellColor(0, 0), clWhite);
    EXPECT_EQ(model.GetCellEditor(0, 0), nullptr);
    model.SetGridView(&grid);
    EXPECT_EQ(model.GetCellEditor(2, 0), grid.ColumnEditor(2));
    grid.SetGridModel(nullptr);
}

TEST_F(GridTest, FreedModelLeavesTheGridEmpty)
{
    {
        SpyModel gone;
        gone.Rows = 2;
        grid.SetGridModel(&gone);
        grid.Refresh();
    }
    EXPECT_EQ(grid.GridModel(), nullptr);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    grid.grab();
}

TEST(TColor, IsBlueGreenRed)
{
    EXPECT_EQ(ColorFromTColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromTColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromTColor(0x808080), QColor(128, 128, 128));
}

} // namespace
