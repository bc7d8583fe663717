#include "portable/profile_values.h"

#include <gtest/gtest.h>

namespace {

struct IntegerCase {
    const char* text;
    std::int32_t expected;
};

TEST(ProfileValues, ReadsIntegersInEachAcceptedForm) {
    const IntegerCase cases[] = {
        {"0", 0},          {"30", 30},        {"-5", -5},       {"+7", 7},
        {"007", 7},        {"-0", 0},         {"0x1E", 30},     {"0X1e", 30},
        {"0x001", 1},      {"$1F", 31},       {"$1f", 31},      {"-$10", -16},
        {"+$10", 16},      {"2147483647", 2147483647},          {"-2147483648", INT32_MIN},
        {"0x7FFFFFFF", INT32_MAX},            {"0x80000000", INT32_MIN},
        {"0xFFFFFFFF", -1}, {"$FFFFFFFF", -1}, {"0x00000000FFFFFFFF", -1},
        {"-$80000000", INT32_MIN},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(ProfileInteger(c.text, 10), c.expected) << '"' << c.text << '"';
}

TEST(ProfileValues, GivesTheDefaultForAnythingElse) {
    const char* const texts[] = {
        "",        "abc",         "0x",        "0X",        "$",          "-",         "+",
        "+-1",     "--1",         "1.5",       "12a",       "0x1G",       "0x-1",      "-0x10",
        "$0x1",    "$-1",         " 5",        "5 ",        "\t5",        "0x 1",      "1 000",
        "2147483648", "-2147483649", "99999999999999999999", "0x100000000", "$100000000",
        "-$100000000",
    };
    for (const char* text : texts)
        EXPECT_EQ(ProfileInteger(text, 10), 10) << '"' << text << '"';
    EXPECT_EQ(ProfileInteger(std::string("1\0", 2), -3), -3);
}

TEST(ProfileValues, ReadsBooleansAsIntegers) {
    EXPECT_TRUE(ProfileBoolean("2", false));
    EXPECT_TRUE(ProfileBoolean("-1", false));
    EXPECT_TRUE(ProfileBoolean("0x10", false));
    EXPECT_FALSE(ProfileBoolean("0", true));
    EXPECT_FALSE(ProfileBoolean("$0", true));
    EXPECT_TRUE(ProfileBoolean("", true));
    EXPECT_FALSE(ProfileBoolean("", false));
    EXPECT_TRUE(ProfileBoolean("yes", true));
    EXPECT_FALSE(ProfileBoolean("true", false));
}

TEST(ProfileValues, WrittenTextsReadBack) {
    EXPECT_EQ(ProfileIntegerText(30), "30");
    EXPECT_EQ(ProfileIntegerText(INT32_MIN), "-2147483648");
    EXPECT_EQ(ProfileBooleanText(true), "1");
    EXPECT_EQ(ProfileBooleanText(false), "0");
    for (const std::int32_t x : {0, 1, -1, 10, INT32_MAX, INT32_MIN, INT32_MIN + 1})
        EXPECT_EQ(ProfileInteger(ProfileIntegerText(x), x ^ 1), x) << x;
    for (const bool b : {false, true})
        EXPECT_EQ(ProfileBoolean(ProfileBooleanText(b), !b), b);
}

}  // namespace
