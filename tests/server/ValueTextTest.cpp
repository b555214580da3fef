// Number and text rules: what is a number, characters and quoting, the exact order of number
// field values, and the order codes that the key index compares first.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "server/ValueText.h"

namespace {

using namespace RecordServer;

TEST(ValueText, NumbersCharactersAndQuoting)
{
    for (const char* Good : {" 13 ", "-0.5", "+.5e1", "5.", "1e999", "1E+0000000000000000009"})
        EXPECT_TRUE(IsNumber(Good)) << Good;
    for (const char* Bad : {"", " ", ".", "1.2.3", "1e", "8,5", "0x10", "13a", "--1", "1e1234567890", "inf", "nan"})
        EXPECT_FALSE(IsNumber(Bad)) << Bad;
    bool TooLong = false;
    EXPECT_FALSE(ParseDecimal("1e-1234567890", &TooLong));
    EXPECT_TRUE(TooLong);
    EXPECT_FALSE(ParseDecimal("1e1234567890x", &TooLong));
    EXPECT_FALSE(TooLong);
    EXPECT_EQ(CharacterCount("臺灣ab"), 4u);
    EXPECT_EQ(CharacterRange("臺灣ab", 2, 3), "灣a");
    EXPECT_EQ(CharacterRange("臺灣ab", 2, 2147483647), "灣ab");  // the last position a filter line can give
    EXPECT_EQ(Quoted(AnsiString(70, 'x')), "\"" + AnsiString(60, 'x') + "...\"");
}

TEST(ValueText, NumberFieldValuesCompareAsExactDecimalsBeforeOtherTexts)
{
    struct TCase {
        const char* A;
        const char* B;
        int Order;  // the sign of CompareNumberTexts(A, B)
    };
    const TCase Cases[] = {
        {"12345678901234567890", "12345678901234567891", -1},
        {"9223372036854775809", "9223372036854775808", 1},
        {"0.10000000000000000001", "0.1", 1},
        {"9007199254740993", "9007199254740992", 1},
        {"13", "13.0", 0},
        {"1.3e1", "13", 0},
        {"130e-1", "13", 0},
        {"007", "7", 0},
        {".5", "0.50", 0},
        {"-0", "0", 0},
        {"0.0e5", "-0", 0},
        {" 7 ", "7", 0},
        {"-2", "-10", 1},
        {"-1e-5", "1e-6", -1},
        {"-1e-5", "-1e-6", -1},
        {"1e999", "9e998", 1},
        {"1e-999", "0", 1},
        {"99", "100", -1},
        {"0.099", "0.1", -1},
        {"9", "abc", -1},
        {"", "0", 1},
        {"abc", "abd", -1},
        // plain integers, and their neighbours that are not plain
        {"100", "99", 1},
        {"-100", "-99", -1},
        {"-5", "3", -1},
        {"0", "-1", 1},
        {"12", "13", -1},
        {"123456789012345678901234", "123456789012345678901235", -1},
        {"0", "00", 0},
        {"-0", "-1", 1},
        {"010", "9", 1},
        {"-", "0", 1},
        {"7", "7", 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(AnsiString(Case.A) + " vs " + Case.B);
        auto Sign = [](int V) { return (V > 0) - (V < 0); };
        EXPECT_EQ(Sign(CompareNumberTexts(Case.A, Case.B)), Case.Order);
        EXPECT_EQ(Sign(CompareNumberTexts(Case.B, Case.A)), -Case.Order);
    }
}

TEST(ValueText, IntegersOfEveryLengthCompareAsNumbersAndOneByteThatIsNoDigitMakesThemText)
{
    auto Sign = [](int V) { return (V > 0) - (V < 0); };
    for (std::size_t Length = 1; Length <= 20; ++Length) {
        SCOPED_TRACE(Length);
        const AnsiString Nines(Length, '9'), Power = "1" + AnsiString(Length, '0');
        EXPECT_EQ(Sign(CompareNumberTexts(Nines, Power)), -1);
        EXPECT_EQ(Sign(CompareNumberTexts("-" + Nines, "-" + Power)), 1);
        EXPECT_EQ(Sign(CompareNumberTexts(Nines, Nines)), 0);
        for (std::size_t At = 0; At < Length; ++At) {
            AnsiString Lower = Nines;
            Lower[At] = '8';
            EXPECT_EQ(Sign(CompareNumberTexts(Lower, Nines)), -1) << Lower;
            EXPECT_EQ(Sign(CompareNumberTexts("-" + Lower, "-" + Nines)), 1) << Lower;
            // Bytes next to the digits, and ones whose low half is a digit's.
            for (char Other : {'/', ':', '?', ')', 'a', '\x80', '\xB9'}) {
                AnsiString Text = Nines;
                Text[At] = Other;
                EXPECT_EQ(Sign(CompareNumberTexts(Text, Power)), 1) << Text;  // after every number
                EXPECT_EQ(Sign(CompareNumberTexts(Power, Text)), -1) << Text;
            }
        }
    }
}

// The order code never contradicts CompareNumberTexts and is equal for equal numbers; it
// tells apart numbers that differ within their first 15 significant digits or in magnitude,
// and texts that differ within their first 7 bytes.

// The order code never contradicts CompareNumberTexts and is equal for equal numbers; it
// tells apart numbers that differ within their first 15 significant digits or in magnitude,
// and texts that differ within their first 7 bytes.
TEST(ValueText, OrderCodesFollowTheNumberOrderAndTellMostValuesApart)
{
    const AnsiString Texts[] = {"0", "-0", "0.000", "7", "-7", "7.0", " 7 ", "7.5", "-7.5", "70", "0.7", "1e3", "1000",
                                "999", "999999999999999", "1000000000000000", "999999999999999.5",
                                "123456789012345678", "123456789012345679", "12345678901234567890", "-12345678901234567890",
                                "0.1", "0.10000000000000000001", "1e-4000", "1e-4001", "1e-5000", "-1e-5000", "1e4000",
                                "9.99e3999", "1e4001", "2e4001", "-1e4001", "-2e4001", "1e999999999", "-1e999999999",
                                "9223372036854775807", "9223372036854775808", "", "abc", "abcdefg", "abcdefgh",
                                "abcdefgz", "abd", "\x80", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "-", "1e", "1.2.3"};
    auto Sign = [](int V) { return (V > 0) - (V < 0); };
    for (const AnsiString& A : Texts) {
        for (const AnsiString& B : Texts) {
            int ByText = Sign(CompareNumberTexts(A, B));
            std::int64_t CodeA = NumberOrderCode(A), CodeB = NumberOrderCode(B);
            if (ByText == 0)
                EXPECT_EQ(CodeA, CodeB) << A << " against " << B;
            else
                EXPECT_NE((CodeA > CodeB) - (CodeA < CodeB), -ByText) << A << " against " << B;
        }
    }
    const std::pair<const char*, const char*> Apart[] = {
        {"7", "7.5"}, {"-7.5", "-7"}, {"99999999999999", "99999999999999.5"}, {"123456789012345678", "123456789012346678"},
        {"1e-4000", "1e-3999"}, {"1e3999", "1.00000000000001e3999"}, {"-1e4000", "-9e3999"}, {"-1", "0"}, {"0", "1e-4000"},
        {"1e4001", "abc"}, {"abc", "abd"}, {"abcdef", "abcdefg"}, {"0.7", "7"}, {"9.99e3999", "1e4000"}};
    for (const auto& [Lower, Higher] : Apart) EXPECT_LT(NumberOrderCode(Lower), NumberOrderCode(Higher)) << Lower << " " << Higher;
}

// Two keys that both have a lead order as their texts do; texts that are no plain integer, or
// too long to hold one without overflowing, have none.

}  // namespace
