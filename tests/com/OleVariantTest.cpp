#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "com/OleVariant.h"
#include "com/WideString.h"

namespace {

const char* const ChineseFilterLine = "過濾客戶開始條件,CustNo,1,2,>=,13,";

// The message of the EVariantError that Convert raises; fails the test when it raises none.
template <class F>
AnsiString VariantErrorOf(F Convert)
{
    try {
        Convert();
    } catch (const EVariantError& E) {
        return E.Message();
    }
    ADD_FAILURE() << "no EVariantError";
    return AnsiString();
}

TEST(WideStringTest, ChineseAndAstralTextRoundTrips)
{
    const AnsiString Samples[] = {ChineseFilterLine, "", "plain ASCII", "é ß Ω", "𝄞 and 😀 need surrogates",
                                  "a longer ASCII start than a short string holds, then 過濾 and ASCII again"};
    for (const AnsiString& Sample : Samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(Sample)), Sample) << Sample;

    WideString Wide = Utf8ToUtf16("過濾");
    ASSERT_EQ(Wide.size(), 2u);
    EXPECT_EQ(Wide[0], u'過');
    EXPECT_EQ(Utf8ToUtf16("😀"), WideString(u"\xD83D\xDE00"));
    EXPECT_EQ(Utf8ToUtf16("ab過c"), u"ab過c");
    EXPECT_EQ(Utf16ToUtf8(u"ab過c"), "ab過c");
}

TEST(WideStringTest, MalformedUtf8BecomesReplacementCharacters)
{
    // One U+FFFD per maximal ill-formed subsequence; the byte that broke a sequence starts
    // the next character.
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(Utf8ToUtf16("\xE9\x81"), u"\uFFFD");                 // truncated at the end
    EXPECT_EQ(Utf8ToUtf16("\xE9\x81" "A"), u"\uFFFD" "A");         // truncated before ASCII
    EXPECT_EQ(Utf8ToUtf16("\x80"), u"\uFFFD");                     // lone trail byte
}

TEST(WideStringTest, UnpairedSurrogatesBecomeReplacementCharacters)
{
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(WideString(1, u'\xD83D')), "\xEF\xBF\xBD");
}

// ASCII is converted a word at a time, other text a character at a time: at every length up
// to a few words, a character of each kind at every position comes out as itself, and so
// does a byte that cannot start one, with the ASCII around them.
TEST(WideStringTest, EveryLengthAndPlaceOfAnotherCharacterConverts)
{
    struct TOther {
        const char* Utf8;
        std::u16string Utf16;
    };
    const TOther Others[] = {{"\xC3\xA9", u"\u00E9"}, {"\xE9\x81\x8E", u"\u904E"}, {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
                             {"\xFF", u"\uFFFD"}, {"\x7F", u"\x7F"}};
    for (std::size_t Length = 0; Length <= 26; ++Length) {
        AnsiString Ascii;
        std::u16string WideAscii;
        for (std::size_t I = 0; I < Length; ++I) {
            Ascii += static_cast<char>('!' + (I * 7) % 90);
            WideAscii += static_cast<char16_t>('!' + (I * 7) % 90);
        }
        ASSERT_EQ(Utf8ToUtf16(Ascii), WideAscii) << Length;
        ASSERT_EQ(Utf16ToUtf8(WideAscii), Ascii) << Length;
        for (const TOther& Other : Others) {
            for (std::size_t At = 0; At <= Length; ++At) {
                AnsiString Text = Ascii.substr(0, At) + Other.Utf8 + Ascii.substr(At);
                std::u16string Expected = WideAscii.substr(0, At) + Other.Utf16 + WideAscii.substr(At);
                ASSERT_EQ(Utf8ToUtf16(Text), Expected) << Length << " " << At << " " << Other.Utf8;
                if (Other.Utf16 != u"\uFFFD") {
                    ASSERT_EQ(Utf16ToUtf8(Expected), Text) << Length << " " << At;
                }
            }
        }
    }
}

TEST(OleVariantTest, KindsFromConstruction)
{
    EXPECT_EQ(OleVariant().VarType(), varEmpty);
    EXPECT_EQ(OleVariant(42).VarType(), varInteger);
    EXPECT_EQ(OleVariant(std::size_t{7}).VarType(), varInteger);
    EXPECT_EQ(OleVariant(true).VarType(), varBoolean);
    EXPECT_EQ(OleVariant("text").VarType(), varOleStr);
    EXPECT_EQ(OleVariant(AnsiString("text")).VarType(), varOleStr);
    EXPECT_EQ(OleVariant(WideString(u"text")).VarType(), varOleStr);
    EXPECT_EQ(OleVariant(static_cast<const char*>(nullptr)).VarType(), varEmpty);

    OleVariant V("x");
    V.Clear();
    EXPECT_TRUE(V.IsEmpty());
    V = 5;
    EXPECT_EQ(V.VarType(), varInteger);
}

TEST(OleVariantTest, IntegersOutside32BitsAreRefused)
{
    EXPECT_EQ(OleVariant(std::int64_t{-2147483648LL}).AsInteger(), std::numeric_limits<int>::min());
    EXPECT_THROW(OleVariant(std::int64_t{2147483648LL}), EVariantError);
    EXPECT_THROW(OleVariant(std::numeric_limits<std::uint32_t>::max()), EVariantError);
}

TEST(OleVariantTest, ChineseTextTravelsAsUtf16AndBack)
{
    OleVariant V(ChineseFilterLine);
    EXPECT_EQ(V.AsWideString(), u"過濾客戶開始條件,CustNo,1,2,>=,13,");
    AnsiString Back = V;
    EXPECT_EQ(Back, ChineseFilterLine);

    OleVariant FromWide(WideString(u"客戶"));
    EXPECT_EQ(FromWide.AsString(), "客戶");
    EXPECT_TRUE(FromWide == "客戶");
    EXPECT_FALSE(FromWide == "客户");  // simplified form differs
}

TEST(OleVariantTest, ConversionsToText)
{
    EXPECT_EQ(OleVariant().AsString(), "");
    EXPECT_EQ(OleVariant(-123).AsString(), "-123");
    EXPECT_EQ(OleVariant(true).AsString(), "True");
    EXPECT_EQ(OleVariant(false).AsString(), "False");
    EXPECT_EQ(OleVariant(7).AsWideString(), u"7");
}

TEST(OleVariantTest, ConversionsToInteger)
{
    EXPECT_EQ(OleVariant().AsInteger(), 0);
    EXPECT_EQ(OleVariant(true).AsInteger(), -1);
    EXPECT_EQ(OleVariant(false).AsInteger(), 0);
    EXPECT_EQ(OleVariant(" 42 ").AsInteger(), 42);
    EXPECT_EQ(OleVariant("-17").AsInteger(), -17);
    EXPECT_EQ(OleVariant("$1F").AsInteger(), 31);
    EXPECT_THROW(OleVariant("12abc").AsInteger(), EVariantError);
    EXPECT_THROW(OleVariant("").AsInteger(), EVariantError);
    EXPECT_THROW(OleVariant("99999999999").AsInteger(), EVariantError);
    EXPECT_EQ(VariantErrorOf([] { OleVariant("Browse").AsInteger(); }),
              "Could not convert variant of type (OleStr) into type (Integer)");
}

TEST(OleVariantTest, ConversionsToBoolean)
{
    EXPECT_FALSE(OleVariant().AsBoolean());
    EXPECT_TRUE(OleVariant(2).AsBoolean());
    EXPECT_FALSE(OleVariant(0).AsBoolean());
    EXPECT_TRUE(OleVariant("TRUE").AsBoolean());
    EXPECT_TRUE(OleVariant("true").AsBoolean());
    EXPECT_FALSE(OleVariant("False").AsBoolean());
    EXPECT_TRUE(OleVariant("-1").AsBoolean());
    EXPECT_FALSE(OleVariant("0").AsBoolean());
    EXPECT_EQ(VariantErrorOf([] { OleVariant("yes").AsBoolean(); }),
              "Could not convert variant of type (OleStr) into type (Boolean)");
}

TEST(OleVariantTest, ImplicitConversionsPickTheMatchingOperator)
{
    OleVariant Number(5);
    int N = Number;
    EXPECT_EQ(N, 5);
    bool B = Number;  // non-zero, not the -1 of a boolean
    EXPECT_TRUE(B);
    AnsiString S = Number;
    EXPECT_EQ(S, "5");

    OleVariant Flag(false);
    bool F = Flag;
    EXPECT_FALSE(F);
    int FlagAsInt = OleVariant(true);
    EXPECT_EQ(FlagAsInt, -1);
    if (Flag) ADD_FAILURE() << "a false variant tested true";

    OleVariant Text("Browse");
    AnsiString T = Text;
    EXPECT_EQ(T, "Browse");
    EXPECT_THROW({ [[maybe_unused]] int Bad = Text; }, EVariantError);
    EXPECT_THROW({ [[maybe_unused]] bool Bad = Text; }, EVariantError);
}

TEST(OleVariantTest, EqualityWithinAndAcrossKinds)
{
    // Same kind: same value.
    EXPECT_TRUE(OleVariant("Browse") == "Browse");
    EXPECT_FALSE(OleVariant("Browse") == "browse");
    EXPECT_FALSE(OleVariant("Browse ") == "Browse");
    EXPECT_TRUE(OleVariant(3) == 3);
    EXPECT_TRUE(OleVariant(3) != 4);
    EXPECT_TRUE(OleVariant(true) == true);
    EXPECT_TRUE(true == OleVariant(true));
    EXPECT_FALSE(OleVariant(false) == true);
    EXPECT_TRUE(OleVariant() == OleVariant());

    // Empty equals the other side's empty value.
    EXPECT_TRUE(OleVariant() == "");
    EXPECT_TRUE(OleVariant() == 0);
    EXPECT_TRUE(OleVariant() == false);
    EXPECT_FALSE(OleVariant() == "0");
    EXPECT_FALSE(OleVariant() == true);

    // Boolean against another kind: as booleans.
    EXPECT_TRUE(OleVariant(1) == true);
    EXPECT_TRUE(OleVariant("true") == true);
    EXPECT_FALSE(OleVariant("maybe") == true);
    EXPECT_FALSE(OleVariant("maybe") == false);

    // String against integer: as integers; text that is no number is unequal, not an error.
    EXPECT_TRUE(OleVariant("013") == 13);
    EXPECT_TRUE(13 == OleVariant("13"));
    EXPECT_FALSE(OleVariant("13a") == 13);

    AnsiString State = "Insert";
    EXPECT_TRUE(OleVariant(State) == State);
    EXPECT_TRUE(OleVariant(WideString(u"Edit")) == WideString(u"Edit"));
}

}  // namespace
