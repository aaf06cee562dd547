// Tests of the schema catalogue: filing rows, owner lookup, list order,
// shared program entries and the read-only string-list side.
#include "catalog/DBObjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const TRkListModel& list)
{
    return list.Strings();
}

TEST(DBObjectTypes, NamesFollowTheEnumeration)
{
    EXPECT_EQ(sizeof(TDBObjectType), 1u);
    EXPECT_EQ(DBObjectTypeNames[ptTable], "TABLE");
    EXPECT_EQ(DBObjectTypeNames[ptFunction], "FUNCTION");
    EXPECT_EQ(DBObjectTypeNames[ptProcedure], "PROCEDURE");
    EXPECT_EQ(DBObjectTypeNames[ptPackage], "PACKAGE");
}

TEST(OwnerList, FilesRowsIntoTheListOfTheirKind)
{
    TOwnerList owners;
    // In the catalogue query's order: owner, object type, object name.
    const std::vector<std::vector<std::string>> rows = {
        {"APP", "FUNCTION", "F_A"},  {"APP", "FUNCTION", "F_B"},   {"APP", "PACKAGE", "PKG"},
        {"APP", "PACKAGE BODY", "PKG"}, {"APP", "PROCEDURE", "P_A"}, {"APP", "SEQUENCE", "SEQ1"},
        {"APP", "TABLE", "EMP"},     {"APP", "TABLE", "DEPT_X"},   {"APP", "TYPE", "T_REC"},
        {"APP", "VIEW", "V_EMP"},
    };
    for (const auto& row : rows)
        owners.AddDBObject(row[0], row[2], row[1]);

    ASSERT_EQ(owners.Count(), 1);
    const TOwnerItem& app = *owners.GetObject(0);
    EXPECT_EQ(Names(app.Functions), (std::vector<std::string>{"F_A", "F_B"}));
    EXPECT_EQ(Names(app.Procedures), (std::vector<std::string>{"P_A"}));
    EXPECT_EQ(Names(app.Packages), (std::vector<std::string>{"PKG"}));
    // Nothing sorts: the filing order stands.
    EXPECT_EQ(Names(app.Tables), (std::vector<std::string>{"EMP", "DEPT_X"}));

    const auto function = app.Functions.ItemAt(1);
    EXPECT_EQ(function->ProcedureOwner, "APP");
    EXPECT_EQ(function->ProcedureTypes, ptFunction);
    EXPECT_EQ(app.Packages.ItemAt(0)->ProcedureTypes, ptPackage);
    EXPECT_EQ(app.Tables.ItemAt(0)->TABLE_OWNER, "APP");
    EXPECT_EQ(app.Tables.ItemAt(0)->ColumnList.Count(), 0);
    EXPECT_EQ(app.Tables.ItemAt(0)->ColumnList.TableItem, app.Tables.ItemAt(0).get());
}

TEST(OwnerList, DroppedTypesCreateNoOwner)
{
    TOwnerList owners;
    for (const char* type : {"VIEW", "TYPE", "SEQUENCE", "PACKAGE BODY", "table", "Function"})
        owners.AddDBObject("GHOST", "X", type);
    EXPECT_EQ(owners.Count(), 0);
    EXPECT_EQ(owners.AddProcedure("GHOST", "X", ptTable), nullptr);
    EXPECT_EQ(owners.Count(), 0);
}

TEST(OwnerList, OwnersStandInFilingOrderAndAreFoundIgnoringCase)
{
    TOwnerList owners;
    owners.AddDBObject("APP", "T1", "TABLE");
    owners.AddDBObject("HR", "T2", "TABLE");
    owners.AddDBObject("SYS", "T3", "TABLE");
    ASSERT_EQ(owners.Count(), 3);
    EXPECT_EQ(owners.Get(0), "APP");
    EXPECT_EQ(owners.Get(2), "SYS");

    EXPECT_EQ(&owners.GetOwnerItem("hr"), owners.GetObject(1));
    EXPECT_EQ(&owners.GetOwnerItem("Sys"), owners.GetObject(2));
    EXPECT_EQ(owners.Count(), 3);

    // A new name is appended once, out of order or not, and found again.
    TOwnerItem& demo = owners.GetOwnerItem("DEMO");
    EXPECT_EQ(owners.Count(), 4);
    EXPECT_EQ(demo.OwnerName, "DEMO");
    EXPECT_EQ(demo.Tables.Count() + demo.Functions.Count() + demo.Procedures.Count()
                  + demo.Packages.Count(),
              0);
    EXPECT_EQ(&owners.GetOwnerItem("demo"), &demo);
    EXPECT_EQ(owners.Count(), 4);
}

TEST(OwnerList, RowsFiledTwiceGiveTwoEntries)
{
    TOwnerList owners;
    owners.AddDBObject("APP", "F", "FUNCTION");
    owners.AddDBObject("APP", "F", "FUNCTION");
    const TProcedureList& functions = owners.GetOwnerItem("APP").Functions;
    ASSERT_EQ(functions.Count(), 2);
    EXPECT_NE(functions.ItemAt(0), functions.ItemAt(1));
}

TEST(ProcedureItem, FullNameWithAndWithoutOwner)
{
    EXPECT_EQ(TProcedureItem("APP", "GET_RATE", ptFunction).ProcedureFullName(), "APP.GET_RATE");
    EXPECT_EQ(TProcedureItem("", "GET_RATE", ptFunction).ProcedureFullName(), "GET_RATE");
    EXPECT_EQ(TProcedureItem("APP", "GET_RATE", ptFunction).ToString(), "GET_RATE");
}

TEST(OwnerList, HeldProgramEntriesSurviveClear)
{
    TOwnerList owners;
    owners.AddDBObject("APP", "F", "FUNCTION");
    owners.AddDBObject("APP", "EMP", "TABLE");
    // What a browser list or a tab keeps.
    std::shared_ptr<TProcedureItem> held = owners.GetOwnerItem("APP").Functions.ItemAt(0);
    std::weak_ptr<TTableItem> table = owners.GetOwnerItem("APP").Tables.ItemAt(0);
    held->Script = "BEGIN NULL; END;";

    owners.Clear();

    EXPECT_EQ(owners.Count(), 0);
    EXPECT_TRUE(table.expired());
    EXPECT_EQ(held->ProcedureFullName(), "APP.F");
    EXPECT_EQ(held->Script, "BEGIN NULL; END;");
}

TEST(ProcedureList, CopyKeepsOrderAndTheVeryEntries)
{
    TOwnerList owners;
    for (const char* name : {"A", "B", "C"})
        owners.AddDBObject("APP", name, "PROCEDURE");
    const TProcedureList& list = owners.GetOwnerItem("APP").Procedures;

    const std::vector<TRkListEntry> copy = list.Entries();
    ASSERT_EQ(copy.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy[static_cast<std::size_t>(i)].Text, list.Get(i));
        EXPECT_EQ(copy[static_cast<std::size_t>(i)].Object, list.GetObject(i));
        EXPECT_EQ(copy[static_cast<std::size_t>(i)].Object.get(), list.ItemAt(i).get());
    }
    EXPECT_TRUE(owners.GetOwnerItem("APP").Functions.Entries().empty());
}

TEST(ProcedureList, StringListWritesFailAndLeaveTheListUnchanged)
{
    TProcedureList list("APP");
    list.AddProcedure("ONLY", ptProcedure);
    EXPECT_THROW(list.Add("X"), ERkListReadOnly);
    EXPECT_THROW(list.Insert(0, "X"), ERkListReadOnly);
    EXPECT_THROW(list.Put(0, "X"), ERkListReadOnly);
    EXPECT_THROW(list.Delete(0), ERkListReadOnly);
    list.PutObject(0, nullptr);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"ONLY"}));
    EXPECT_NE(list.GetObject(0), nullptr);

    EXPECT_THROW(list.Get(1), std::out_of_range);
    EXPECT_THROW(list.GetObject(-1), std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
