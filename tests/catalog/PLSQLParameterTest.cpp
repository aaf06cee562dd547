// Tests of the argument model: loading ALL_ARGUMENTS rows, cell texts,
// editability, typed values and the tie to the catalogue entry.
#include "catalog/PLSQLParameter.h"

#include "catalog/ArgumentRows.h"
#include "catalog/DBObjects.h"
#include "views/GuiTestApp.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// Function HR.F returning NUMBER with arguments A (IN VARCHAR2), B (OUT
// NUMBER) and C (IN/OUT DATE).
std::vector<ArgumentRow> FunctionRows()
{
    return {{std::nullopt, 0, "NUMBER", "OUT"},
            {"A", 1, "VARCHAR2", "IN"},
            {"B", 2, "NUMBER", "OUT"},
            {"C", 3, "DATE", "IN/OUT"}};
}

class ParamModelTest : public ::testing::Test {
protected:
    void Load(const std::vector<ArgumentRow>& rows)
    {
        auto data = ArgumentsDataSet(rows);
        model.LoadArguments(data, item);
    }

    std::shared_ptr<TProcedureItem> item = std::make_shared<TProcedureItem>("HR", "F", ptFunction);
    TParamModel model;
};

TEST_F(ParamModelTest, LoadTiesModelAndProgram)
{
    Load(FunctionRows());
    ASSERT_EQ(model.GetRowCount(), 4);
    EXPECT_EQ(model.ProcedureItem(), item);
    EXPECT_EQ(item->ProcedureParams, &model);
    const TParamObject& c = *model.GetItem(3);
    EXPECT_EQ(c.ProcedureItem, item.get());
    EXPECT_EQ(c.ObjectId, 4711);
    EXPECT_EQ(c.Sequence, 4);
    EXPECT_EQ(c.DataType, dtVarchar);
    EXPECT_TRUE(c.IsNull());
    EXPECT_EQ(model.GetItem(4), nullptr);
    EXPECT_EQ(model.GetItem(-1), nullptr);
}

TEST_F(ParamModelTest, CellTexts)
{
    Load(FunctionRows());
    const struct {
        int column, row;
        const char* text;
    } cases[] = {
        {0, 0, ""},  {1, 0, "OUT"},    {2, 0, "NUMBER"},   {3, 0, "Null"},
        {0, 1, "A"}, {1, 1, "IN"},     {2, 1, "VARCHAR2"}, {3, 1, "Null"},
        {0, 3, "C"}, {1, 3, "IN/OUT"}, {2, 3, "VARCHAR"},  {4, 1, ""},
        {-1, 1, ""}, {0, 9, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model.GetCellText(c.column, c.row), c.text) << c.column << "," << c.row;
        EXPECT_EQ(model.GetCellWideText(c.column, c.row), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(model.GetCellColor(3, 1), clWhite);
}

TEST_F(ParamModelTest, OnlyValueCellsOfArgumentRowsAreEditable)
{
    Load(FunctionRows());
    const struct {
        int column, row;
        bool editable;
    } cases[] = {
        {3, 0, false},  // the result
        {3, 1, true},  {3, 2, true},  // an OUT argument is editable too
        {3, 3, true},  {0, 1, false}, {1, 1, false}, {2, 1, false},
        {4, 1, false}, {3, 4, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.IsCellEditable(c.column, c.row), c.editable) << c.column << "," << c.row;
}

TEST_F(ParamModelTest, TypedTextIsStoredUntrimmedBlanksClearTheValue)
{
    Load(FunctionRows());
    const struct {
        const char* typed;
        bool isNull;
        const char* stored;
        const char* shown;
    } cases[] = {
        {" 42 ", false, " 42 ", " 42 "}, {"   ", true, "", "Null"},   {"abc", false, "abc", "abc"},
        {"\t\r\n", true, "", "Null"},    {"한글", false, "한글", "한글"}, {"", true, "", "Null"},
    };
    for (const auto& c : cases) {
        model.SetCellText(0, 1, QString::fromUtf8(c.typed));  // the column is not consulted
        const TParamObject& row = *model.GetItem(1);
        EXPECT_EQ(row.IsNull(), c.isNull) << c.typed;
        EXPECT_EQ(row.Value(), c.stored) << c.typed;
        EXPECT_EQ(model.GetCellText(3, 1), c.shown) << c.typed;
    }
    model.SetCellText(3, 99, "x");  // outside the rows: ignored
}

TEST_F(ParamModelTest, LoadingReplacesRowsAndAnEmptyQueryLeavesNoRows)
{
    Load(FunctionRows());
    model.SetCellText(3, 1, "v");
    Load({{"X", 1, "INTEGER", "IN"}});
    ASSERT_EQ(model.GetRowCount(), 1);
    EXPECT_EQ(model.GetCellText(3, 0), "Null");

    Load({});
    EXPECT_EQ(model.GetRowCount(), 0);
    EXPECT_EQ(item->ProcedureParams, &model);
}

TEST_F(ParamModelTest, NullPositionEndsTheLoadKeepingEarlierRows)
{
    TMemoryDataSetReader data({"OBJECT_ID", "ARGUMENT_NAME", "POSITION", "SEQUENCE", "DATA_TYPE",
                               "IN_OUT"},
                              {{"1", "A", "1", "1", "NUMBER", "IN"},
                               {"1", "B", std::nullopt, "2", "NUMBER", "IN"},
                               {"1", "C", "3", "3", "NUMBER", "IN"}});
    EXPECT_THROW(model.LoadArguments(data, item), EFieldConversion);
    ASSERT_EQ(model.GetRowCount(), 1);
    EXPECT_EQ(model.GetItem(0)->ArgumentName, "A");
    EXPECT_EQ(item->ProcedureParams, &model);
}

TEST(ParamModel, ProgramForgetsAModelThatIsGone)
{
    auto item = std::make_shared<TProcedureItem>("HR", "P", ptProcedure);
    {
        TParamModel model;
        auto data = ArgumentsDataSet({{"A", 1, "NUMBER", "IN"}});
        model.LoadArguments(data, item);
        EXPECT_EQ(item->ProcedureParams, &model);
    }
    EXPECT_EQ(item->ProcedureParams, nullptr);
}

TEST(ParamObject, RowTerms)
{
    const struct {
        int position;
        const char* inOut;
        bool takes, returns;
    } cases[] = {
        {0, "OUT", false, true}, {1, "IN", true, false}, {1, "OUT", false, true},
        {1, "IN/OUT", true, false}, {1, "", true, false},
    };
    for (const auto& c : cases) {
        TParamObject row;
        row.Position = c.position;
        row.InOut = c.inOut;
        EXPECT_EQ(row.TakesValue(), c.takes) << c.position << c.inOut;
        EXPECT_EQ(row.ReturnsValue(), c.returns) << c.position << c.inOut;
    }
}

TEST_F(ParamModelTest, CellEditorComesFromTheAttachedGridPresetWithTheStoredValue)
{
    GuiTestApp();
    Load(FunctionRows());
    EXPECT_EQ(model.GetCellEditor(3, 1), nullptr);  // no grid view attached

    TRkGridView grid;
    for (const char* caption : {"Name", "Mode", "Type", "Value"})
        grid.AddColumn(caption, TRkColumnKind::Textual, 80);
    model.SetGridView(&grid);

    QWidget* editor = model.GetCellEditor(3, 1);
    ASSERT_EQ(editor, grid.ColumnEditor(3));
    EXPECT_EQ(grid.ColumnEditor(3)->text(), "");  // the stored text, never "Null"
    model.SetCellText(3, 1, "7");
    model.GetCellEditor(3, 1);
    EXPECT_EQ(grid.ColumnEditor(3)->text(), "7");
}

TEST_F(ParamModelTest, EditingAValueCellInTheParametersGrid)
{
    GuiTestApp();
    Load(FunctionRows());
    TRkGridView grid;
    grid.setObjectName("RkGridView2");
    for (const char* caption : {"Name", "Mode", "Type", "Value"})
        grid.AddColumn(caption, TRkColumnKind::Textual, 80);
    model.SetGridView(&grid);
    grid.SetGridModel(&model);
    grid.Refresh();
    grid.show();

    QLineEdit* editor = grid.ColumnEditor(3);
    auto commit = [&] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        QCoreApplication::processEvents();
    };

    grid.edit(grid.model()->index(1, 3));
    ASSERT_TRUE(grid.IsEditing());
    EXPECT_EQ(editor->text(), "Null");  // the cell's text replaces the preset Value
    editor->setText(" 5 ");
    commit();
    EXPECT_EQ(model.GetItem(1)->Value(), " 5 ");

    grid.edit(grid.model()->index(1, 3));
    editor->setText("  ");
    commit();
    EXPECT_TRUE(model.GetItem(1)->IsNull());
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 3)).toString(), "Null");

    grid.edit(grid.model()->index(0, 3));  // the result row
    EXPECT_FALSE(grid.IsEditing());
    grid.SetGridModel(nullptr);
}

TEST(ArgumentsSQL, IsTheDictionaryQuery)
{
    EXPECT_STREQ(ArgumentsSQL,
                 "Select *   from all_arguments  where object_id = (           select object_id    "
                 "         from all_objects            where owner = :owner              and "
                 "object_name =:name              and object_type = :type        )  order by "
                 "Object_Name, Overload, Sequence");
}

} // namespace
