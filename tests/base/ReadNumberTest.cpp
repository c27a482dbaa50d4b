#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "base/Exception.h"
#include "base/ReadNumber.h"

namespace {

struct NumberCase {
  std::string Text;
  std::optional<std::int32_t> Expected;  // empty: the text breaks the rule
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class ReadNumberRule : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberRule, TryReadNumberGivesExpectedValue) {
  EXPECT_EQ(TryReadNumber(GetParam().Text), GetParam().Expected);
}

TEST_P(ReadNumberRule, ReadNumberRaisesExactlyWhenTheTextIsInvalid) {
  const NumberCase& c = GetParam();
  if (c.Expected) {
    EXPECT_EQ(ReadNumber(c.Text), *c.Expected);
  } else {
    try {
      ReadNumber(c.Text);
      ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + c.Text + "' is not a valid integer value");
    }
  }
}

const NumberCase kDecimal[] = {
    {"0", 0},
    {"00", 0},
    {"-0", 0},
    {"+0", 0},
    {"12", 12},
    {"031", 31},  // leading zeros are decimal, not octal
    {"0000000000002147483647", INT_MAX},
    {"-1", -1},
    {"+5", 5},
    {"2147483647", INT_MAX},
    {"+2147483647", INT_MAX},
    {"-2147483648", INT_MIN},
    {"-00002147483648", INT_MIN},
    {"2147483648", std::nullopt},
    {"+2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"4294967295", std::nullopt},
    {"99999999999999999999999", std::nullopt},
    {"18446744073709551617", std::nullopt},  // wraps a 64-bit accumulator to 1
};
INSTANTIATE_TEST_SUITE_P(Decimal, ReadNumberRule, ::testing::ValuesIn(kDecimal));

const NumberCase kHexadecimal[] = {
    {"x1F", 31},
    {"X1f", 31},
    {"$1F", 31},
    {"0x1F", 31},
    {"0X1F", 31},
    {"0x1", 1},
    {"$0", 0},
    {"x000000001F", 31},  // leading zeros do not count against the 32 bits
    {"$00000000000000000000", 0},
    {"xabcdef", 0xABCDEF},
    {"x0FFFFFFF", 0x0FFFFFFF},
    {"x7FFFFFFF", INT_MAX},
    {"x80000000", INT_MIN},
    {"xFFFFFFFF", -1},
    {"$DeadBeef", static_cast<std::int32_t>(0xDEADBEEFu)},
    {"x0FFFFFFF0", -16},  // nine digits, still 32 bits
    {"x100000000", std::nullopt},
    {"x0FFFFFFFF0", std::nullopt},
    {"xFFFFFFFFF", std::nullopt},
    {"x", std::nullopt},
    {"X", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"0X", std::nullopt},
    {"0x0x1", std::nullopt},
    {"x1G", std::nullopt},
    {"0xG", std::nullopt},
    {"00x1", std::nullopt},
    {"x 1", std::nullopt},
    {"0x-1", std::nullopt},
    {"$$1", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Hexadecimal, ReadNumberRule, ::testing::ValuesIn(kHexadecimal));

const NumberCase kSignsAndBlanks[] = {
    {" 12", 12},
    {"    12", 12},
    {" -1", -1},
    {" x1F", 31},
    {" 0x1F", 31},
    {"12 ", std::nullopt},  // a trailing blank is an error
    {" 12 ", std::nullopt},
    {"1 2", std::nullopt},
    {"", std::nullopt},
    {" ", std::nullopt},
    {"   ", std::nullopt},
    {"\t12", std::nullopt},  // only the space is a blank
    {"12\t", std::nullopt},
    {"\n12", std::nullopt},
    {"+", std::nullopt},
    {"-", std::nullopt},
    {"- 1", std::nullopt},
    {"+-1", std::nullopt},
    {"--1", std::nullopt},
    {"+x1", std::nullopt},  // no hexadecimal after a sign
    {"-x1", std::nullopt},
    {"-$1", std::nullopt},
    {"-0x1", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(SignsAndBlanks, ReadNumberRule, ::testing::ValuesIn(kSignsAndBlanks));

const NumberCase kOtherCharacters[] = {
    {"12a", std::nullopt},          {"a12", std::nullopt},
    {"abc", std::nullopt},          {"1e3", std::nullopt},
    {"1.0", std::nullopt},          {"0b1", std::nullopt},
    {"1,000", std::nullopt},        {std::string("1\0", 2), std::nullopt},
    {"\xef\xbc\x91", std::nullopt},  // a full-width digit one
    {"x\xff", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(OtherCharacters, ReadNumberRule, ::testing::ValuesIn(kOtherCharacters));

TEST(ReadNumberMessage, QuotesTheWholeTextAsEntered) {
  try {
    ReadNumber("12a");
    FAIL() << "no conversion error";
  } catch (const Exception& e) {  // caught through the common base, as the guard does
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
  try {
    ReadNumber(" 12 ");
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "' 12 ' is not a valid integer value");
  }
}

}  // namespace
