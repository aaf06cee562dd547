// number_test.cpp - Oracle NUMBER arithmetic and text forms.
#include "sandbox/ora_error.h"
#include "sandbox/value.h"

#include <gtest/gtest.h>

using sandbox::DateTime;
using sandbox::Number;
using sandbox::OraError;
using sandbox::Value;

namespace {

Number num(const char* text) { return Number::parse(text).value(); }

} // namespace

TEST(Number, ParsesOracleLiteralsIntoTextMinimumForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12", "12"},      {"-1.5", "-1.5"},  {".5", ".5"},         {"0.50", ".5"},
        {"-0.5", "-.5"},   {"1e3", "1000"},   {" 7 ", "7"},         {"1.50", "1.5"},
        {"0", "0"},        {"-0", "0"},       {"1234.56", "1234.56"}, {"1e20", "100000000000000000000"},
        {"1e-10", ".0000000001"}, {"+4", "4"},
    };
    for (auto [text, expected] : cases)
        EXPECT_EQ(num(text).toString(), expected) << text;
}

TEST(Number, RejectsMalformedText)
{
    for (const char* text : {"", " ", "abc", "1.2.3", "1e", "--1", "12x", "."})
        EXPECT_FALSE(Number::parse(text).has_value()) << text;
}

TEST(Number, ArithmeticIsDecimal)
{
    EXPECT_EQ((num("0.1") + num("0.2")).toString(), ".3");
    EXPECT_EQ((num("7") / num("2")).toString(), "3.5");
    EXPECT_EQ((num("1234.56") * num("100")).toString(), "123456");
    EXPECT_EQ((num("10") - num("10.01")).toString(), "-.01");
    EXPECT_EQ((num("2") / num("3")).toString(), ".66666666666666666666666666666666666667");
    EXPECT_EQ((num("12345678901234567890") * num("12345678901234567890")).toString(),
              "152415787532388367501905199875019052100");
}

TEST(Number, DivisionByZeroIsOra01476)
{
    try {
        (void)(num("1") / Number());
        FAIL() << "no error";
    } catch (const OraError& e) {
        EXPECT_EQ(e.code(), 1476);
        EXPECT_STREQ(e.what(), "ORA-01476: divisor is equal to zero");
    }
}

TEST(Number, RoundingAndModulo)
{
    EXPECT_EQ(num("2.5").round().toString(), "3");
    EXPECT_EQ(num("-2.5").round().toString(), "-3");
    EXPECT_EQ(num("1.2345").round(2).toString(), "1.23");
    EXPECT_EQ(num("2.7").trunc().toString(), "2");
    EXPECT_EQ(num("-2.5").floor().toString(), "-3");
    EXPECT_EQ(num("2.1").ceil().toString(), "3");
    EXPECT_EQ(num("11").mod(num("4")).toString(), "3");
    EXPECT_EQ(num("-11").mod(num("4")).toString(), "-3");
    EXPECT_EQ(num("5").mod(Number()).toString(), "5");
}

TEST(Number, ComparesAcrossScales)
{
    EXPECT_LT(num("1.5"), num("2"));
    EXPECT_GT(num("-1.5"), num("-2"));
    EXPECT_GT(num("1e30"), num("123456789.123"));
    EXPECT_EQ(num("1.50"), num("1.5"));
    EXPECT_EQ(num("2147483647").toInt64(), 2147483647);
    EXPECT_FALSE(num("1.5").toInt64().has_value());
}

TEST(Value, EmptyStringIsNullAndConversionsFollowOracle)
{
    EXPECT_TRUE(Value::string("").isNull());
    EXPECT_EQ(Value::number(num("0.5")).toText(), ".5");
    EXPECT_EQ(Value::date(DateTime::fromParts(2024, 1, 5)).toText(), "05-JAN-24");
    EXPECT_EQ(Value::string(" 42 ").toNumber()->toString(), "42");
    try {
        (void)Value::string("4x").toNumber();
        FAIL() << "no error";
    } catch (const OraError& e) {
        EXPECT_EQ(e.code(), 6502);
    }
}

TEST(DateTime, RoundTripsCalendarParts)
{
    int y, m, d, hh, mi, ss;
    DateTime::fromParts(2000, 2, 29, 23, 59, 58).toParts(y, m, d, hh, mi, ss);
    EXPECT_EQ(std::vector<int>({y, m, d, hh, mi, ss}), std::vector<int>({2000, 2, 29, 23, 59, 58}));
    EXPECT_EQ(DateTime::fromParts(1, 1, 1).seconds, 0);
    EXPECT_EQ(DateTime::fromParts(1970, 1, 2).seconds - DateTime::fromParts(1970, 1, 1).seconds, 86400);
}
