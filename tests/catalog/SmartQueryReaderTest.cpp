// Tests of reading an open TSmartQuery through the dataset interface, on a
// scripted driver.
#include "catalog/SmartQueryReader.h"

#include "catalog/DBObjects.h"
#include "catalog/PLSQLParameter.h"
#include "db/FakeDriver.h"
#include "db/OraSession.h"
#include "db/SmartQuery.h"

#include <gtest/gtest.h>

namespace {

using Type = db::DriverColumn::Type;

class SmartQueryReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server->onExecute = [this](const std::string&, std::vector<db::DriverBind>&) {
            db::DriverResult result;
            result.cursor = std::make_unique<FakeCursor>(columns, rows);
            return result;
        };
        session.SetDriver(std::make_shared<FakeDriver>(server));
        session.SetUsername("DEMO");
        session.SetPassword("demo");
        session.SetConnectPrompt(false);
        query.SQL().SetText("SELECT * FROM all_arguments");
    }

    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    std::vector<db::DriverColumn> columns = {
        {"OBJECT_ID", Type::Number}, {"ARGUMENT_NAME", Type::String},
        {"POSITION", Type::Number},  {"SEQUENCE", Type::Number},
        {"DATA_TYPE", Type::String}, {"IN_OUT", Type::String},
    };
    std::vector<std::vector<db::OraValue>> rows;
    TOraSession session;
    TSmartQuery query{&session};
};

TEST_F(SmartQueryReaderTest, LoadsArgumentsFromTheQuery)
{
    rows = {{"7", std::nullopt, "0", "1", "NUMBER", "OUT"},
            {"7", "A", "1", "2", "VARCHAR2", "IN"}};
    query.Open();
    TSmartQueryReader reader(query);
    auto item = std::make_shared<TProcedureItem>("DEMO", "F", ptFunction);
    TParamModel model;
    model.LoadArguments(reader, item);
    ASSERT_EQ(model.GetRowCount(), 2);
    EXPECT_EQ(model.GetCellText(0, 0), "");
    EXPECT_EQ(model.GetCellText(2, 0), "NUMBER");
    EXPECT_EQ(model.GetItem(1)->Position, 1);
    EXPECT_EQ(model.GetCellText(0, 1), "A");
}

TEST_F(SmartQueryReaderTest, NullStaysNullAndUnknownFieldsAreReported)
{
    rows = {{"7", "A", std::nullopt, "1", "NUMBER", "IN"}};
    query.Open();
    TSmartQueryReader reader(query);
    reader.First();
    EXPECT_EQ(reader.FieldCount(), 6);
    EXPECT_TRUE(reader.FieldByName("position").IsNull());
    EXPECT_THROW(reader.FieldByName("POSITION").AsInteger(), EFieldConversion);
    EXPECT_EQ(reader.Field(1).AsString(), "A");
    EXPECT_THROW(reader.FieldByName("OVERLOADX"), std::out_of_range);
    reader.Next();
    EXPECT_TRUE(reader.Eof());
}

} // namespace
