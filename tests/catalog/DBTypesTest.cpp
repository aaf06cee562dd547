// Tests of the data-type kinds and their names.
#include "catalog/DBTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(DBTypes, ExactNamesGiveTheirKindEverythingElseIsVarchar)
{
    const struct {
        const char* name;
        TDBDataType kind;
    } cases[] = {
        {"VARCHAR", dtVarchar}, {"VARCHAR2", dtVarchar2}, {"INTEGER", dtInteger},
        {"NUMBER", dtNumber},   {"number", dtVarchar},    {" NUMBER", dtVarchar},
        {"DATE", dtVarchar},    {"PLS_INTEGER", dtVarchar}, {"", dtVarchar},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToDBDataType(c.name), c.kind) << "'" << c.name << "'";
}

TEST(DBTypes, NamesAndNumericKinds)
{
    EXPECT_EQ(sizeof(TDBDataType), 1u);
    EXPECT_EQ(DBDataTypeNames[dtVarchar], "VARCHAR");
    EXPECT_EQ(DBDataTypeNames[dtVarchar2], "VARCHAR2");
    EXPECT_EQ(DBDataTypeNames[dtInteger], "INTEGER");
    EXPECT_EQ(DBDataTypeNames[dtNumber], "NUMBER");
    EXPECT_FALSE(IsNumericDataType(dtVarchar));
    EXPECT_FALSE(IsNumericDataType(dtVarchar2));
    EXPECT_TRUE(IsNumericDataType(dtInteger));
    EXPECT_TRUE(IsNumericDataType(dtNumber));
}

} // namespace
