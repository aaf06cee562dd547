// Tests of the call block built from a program's argument rows.
#include "catalog/DBOraclePLSQL.h"

#include "catalog/ArgumentRows.h"
#include "catalog/DBObjects.h"
#include "catalog/PLSQLParameter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct Program {
    Program(const std::string& owner, const std::string& name, TDBObjectType kind,
            const std::vector<ArgumentRow>& rows)
        : Item(std::make_shared<TProcedureItem>(owner, name, kind))
    {
        auto data = ArgumentsDataSet(rows);
        Model.LoadArguments(data, Item);
    }

    std::shared_ptr<TProcedureItem> Item;
    TParamModel Model;
};

TEST(CallBlock, FunctionWithInOutAndInOutArguments)
{
    const Program f("HR", "F", ptFunction,
                    {{std::nullopt, 0, "NUMBER", "OUT"},
                     {"A", 1, "VARCHAR2", "IN"},
                     {"B", 2, "NUMBER", "OUT"},
                     {"C", 3, "DATE", "IN/OUT"}});
    EXPECT_EQ(BuildCallBlock(*f.Item), Lines({
                                           "DECLARE",
                                           "  ret NUMBER;",
                                           "  A VARCHAR2(200);",
                                           "  B NUMBER;",
                                           "  C VARCHAR(200);",
                                           "BEGIN",
                                           "  A := :A;",
                                           "  C := :C;",
                                           "",
                                           "  :ret := HR.F(A, B, C);",
                                           "  :B := B;",
                                           "END;",
                                       }));
}

TEST(CallBlock, FunctionWithoutArgumentsHasNoParentheses)
{
    const Program f("APP", "NOW_TEXT", ptFunction, {{std::nullopt, 0, "VARCHAR2", "OUT"}});
    EXPECT_EQ(BuildCallBlock(*f.Item), Lines({
                                           "DECLARE",
                                           "  ret VARCHAR2(200);",
                                           "BEGIN",
                                           "",
                                           "  :ret := APP.NOW_TEXT;",
                                           "END;",
                                       }));
}

TEST(CallBlock, ProcedureWithOnlyAnOutArgument)
{
    const Program p("", "GET_COUNT", ptProcedure, {{"N", 1, "INTEGER", "OUT"}});
    EXPECT_EQ(BuildCallBlock(*p.Item), Lines({
                                           "DECLARE",
                                           "  N INTEGER;",
                                           "BEGIN",
                                           "",
                                           "  GET_COUNT(N);",
                                           "  :N := N;",
                                           "END;",
                                       }));
}

TEST(CallBlock, ModelWithoutRowsNamesNoProgram)
{
    const Program p("APP", "P", ptProcedure, {});
    EXPECT_EQ(BuildCallBlock(*p.Item), Lines({"BEGIN", "", "  ;", "END;"}));
}

TEST(CallBlock, ValuesDoNotChangeTheBlock)
{
    Program p("APP", "P", ptProcedure, {{"A", 1, "NUMBER", "IN"}});
    const std::string before = BuildCallBlock(*p.Item);
    p.Model.SetCellText(3, 0, "12");
    EXPECT_EQ(BuildCallBlock(*p.Item), before);
}

TEST(CallBlock, ProgramWithoutArgumentModelIsRefused)
{
    const TProcedureItem item("APP", "P", ptProcedure);
    EXPECT_THROW(BuildCallBlock(item), std::logic_error);
}

} // namespace
