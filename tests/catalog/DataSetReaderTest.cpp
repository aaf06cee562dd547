// Tests of field conversions and the in-memory dataset.
#include "catalog/MemoryDataSetReader.h"

#include <gtest/gtest.h>

namespace {

TEST(DataSetField, IntegerConversions)
{
    const struct {
        const char* text;
        int value;
    } good[] = {{"12", 12}, {"-3", -3}, {" 7 ", 7}, {"+5", 5}, {"12.00", 12}, {"0", 0}};
    for (const auto& c : good)
        EXPECT_EQ(TDataSetField("N", std::string(c.text)).AsInteger(), c.value) << c.text;

    for (const char* bad : {"", "abc", "1.5", "12x", "99999999999"})
        EXPECT_THROW(TDataSetField("N", std::string(bad)).AsInteger(), EFieldConversion) << bad;
}

TEST(DataSetField, NullReadsAsEmptyTextButIsNoInteger)
{
    const TDataSetField field("POSITION", std::nullopt);
    EXPECT_TRUE(field.IsNull());
    EXPECT_EQ(field.AsString(), "");
    try {
        field.AsInteger();
        FAIL() << "a null read as an integer must fail";
    } catch (const EFieldConversion& e) {
        EXPECT_NE(std::string(e.what()).find("POSITION"), std::string::npos) << e.what();
    }
}

TEST(MemoryDataSetReader, WalksRowsAndFindsFieldsIgnoringCase)
{
    TMemoryDataSetReader reader({"LINE", "TEXT"}, {{"1", "a"}, {"2", std::nullopt}});
    reader.First();
    ASSERT_FALSE(reader.Eof());
    EXPECT_EQ(reader.FieldByName("text").AsString(), "a");
    reader.Next();
    EXPECT_TRUE(reader.Field(1).IsNull());
    EXPECT_THROW(reader.FieldByName("NOPE"), std::out_of_range);
    reader.Next();
    EXPECT_TRUE(reader.Eof());
    EXPECT_THROW(reader.Field(0), std::out_of_range);
}

} // namespace
