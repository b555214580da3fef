#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/core/DateTime.h"
#include "framework/core/TextUtils.h"

namespace {

TEST(TextUtils, TrimRemovesBlanksAndControlCharactersButNeverUtf8Bytes)
{
    EXPECT_EQ(Trim(" \t\r\n\x01 CustNo \x1f\n"), "CustNo");
    EXPECT_EQ(TrimLeft("\t\n a b \n"), "a b \n");
    EXPECT_EQ(TrimRight("\t\n a b \n"), "\t\n a b");
    EXPECT_EQ(Trim(" \r\n\t "), "");
    EXPECT_EQ(Trim(""), "");
    // Every byte of a multi-byte character is 0x80 or above: none of them is trimmed.
    EXPECT_EQ(Trim("\t 過濾客戶 條件\r\n"), "過濾客戶 條件");
    EXPECT_EQ(TrimRight("參數\xC2\xA0"), "參數\xC2\xA0") << "a no-break space is text, not a blank";
    EXPECT_EQ(TrimLeft("\x7f" "x"), "\x7f" "x") << "DEL is above the space";
}

TEST(TextUtils, IntToStrAndIntToHex)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-11), "-11");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToHex(0xAB, 4), "00AB");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345") << "Digits is a minimum";
}

TEST(TextUtils, StrToIntAcceptsDecimalAndHexAndRefusesEverythingElse)
{
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("  -7 "), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());

    for (const char* Bad : {"", " ", "abc", "12a", "1 2", "$", "-", "$G", "2147483648", "1.5", "１２"}) {
        SCOPED_TRACE(Bad);
        try {
            StrToInt(Bad);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), "'" + std::string(Bad) + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    int V = 5;
    EXPECT_FALSE(TryStrToInt("99999999999", V));
    EXPECT_EQ(V, 5) << "a failed conversion leaves the value alone";
}

TEST(TextUtils, CaseInsensitiveComparisonAndIdentifiers)
{
    EXPECT_TRUE(SameText("clBtnFace", "CLBTNFACE"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_EQ(UpperCase("abc資料"), "ABC資料");
    EXPECT_TRUE(IsValidIdent("_Edit1"));
    EXPECT_FALSE(IsValidIdent("1Edit"));
    EXPECT_FALSE(IsValidIdent("Lb-1"));
    EXPECT_FALSE(IsValidIdent(""));
}

TEST(DateTime, FormatDateTimeOnAFixedValue)
{
    // 30 July 2023, 07:37:19.045 (the label names of the designer use "ddhhnnss").
    const TDateTime T = EncodeDate(2023, 7, 30) + EncodeTime(7, 37, 19, 45);
    EXPECT_EQ(FormatDateTime("ddhhnnss", T), "30073719");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", T), "2023-07-30 07:37:19.045");
    EXPECT_EQ(FormatDateTime("d/m/yy", T), "30/7/23");
    EXPECT_EQ(FormatDateTime("h:mm", T), "7:37") << "m right after an hour is minutes";
    EXPECT_EQ(FormatDateTime("hh:mm dd/mm", T), "07:37 30/07") << "a later m is the month again";
    EXPECT_EQ(FormatDateTime("'at' h 'o''clock'", T), "at 7 oclock");
    EXPECT_EQ(FormatDateTime("\"day\" d, n s z", T), "day 30, 37 19 45");
    EXPECT_EQ(FormatDateTime("YYYYMMDD", T), "20230730");

    const TDateTime Early = EncodeDate(2024, 1, 5) + EncodeTime(0, 0, 0, 0);
    EXPECT_EQ(FormatDateTime("ddhhnnss", Early), "05000000");
    const TDateTime LastMs = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", LastMs), "1999-12-31 23:59:59.999");
}

TEST(DateTime, EncodeAndDecodeRoundTripAndRefuseImpossibleValues)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
    int Y, M, D;
    DecodeDate(EncodeDate(2024, 2, 29), Y, M, D);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 20240229);
    int H, N, S, Ms;
    DecodeTime(EncodeTime(13, 5, 9, 7), H, N, S, Ms);
    EXPECT_EQ(H * 10000000 + N * 100000 + S * 1000 + Ms, 130509007);

    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError) << "not a leap year";
    EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError) << "a century that is not a leap year";
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_THROW(EncodeDate(2023, 4, 31), EConvertError);
    EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2023, 1, 0), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

}  // namespace
