// The server's building blocks on their own: the schema parser, number rules, path
// resolution, the blocked record view and the watch on a WAL file's commits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "server/DataPath.h"
#include "server/KeyOrder.h"
#include "server/RecordView.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/ValueText.h"
#include "server/WalCommitWatch.h"
#include "tests/support/TempDir.h"

namespace {

using namespace RecordServer;

AnsiString SchemaProblem(const char* Text)
{
    try {
        ParseSchema(Text, "t.SFD");
    } catch (const EServerError& E) {
        return E.Message();
    }
    return "(accepted)";
}

TEST(Schema, DemoSchemaHasThirteenFieldsTheNumericKeyAndTwoUsers)
{
    TTableSchema S = LoadSchemaFile(DEMO_SCHEMA);
    EXPECT_EQ(S.TableName, "Customer");
    ASSERT_EQ(S.Fields.size(), 13u);
    EXPECT_EQ(S.Fields[0].Name, "CustNo");
    EXPECT_TRUE(S.Fields[0].Key);
    EXPECT_EQ(S.Fields[0].Type, TFieldType::Number);
    EXPECT_EQ(S.Fields[10].Name, "TaxRate");
    EXPECT_EQ(S.Fields[10].Type, TFieldType::Number);
    EXPECT_EQ(S.FieldIndex("LastInvoiceDate"), 12);
    EXPECT_EQ(S.FieldIndex("custno"), -1);
    ASSERT_TRUE(S.HasUsers);
    const TSchemaUser* Designer = S.FindUser("Designer");
    ASSERT_NE(Designer, nullptr);
    EXPECT_EQ(Designer->Right, TUserRight::Read);
    ASSERT_NE(S.FindUser("1688"), nullptr);
    EXPECT_EQ(S.FindUser("1688")->Right, TUserRight::Write);
}

TEST(Schema, ProblemsNameTheFileTheLineAndWhatIsWrong)
{
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text\n"),
              "Schema file t.SFD, line 4: a field is written as: name, Text or Number, size[, Key].");
    EXPECT_EQ(SchemaProblem("\xEF\xBB\xBF# comment\n\n[Tables]\n"),
              "Schema file t.SFD, line 3: unknown section [Tables] (expected [Table], [Fields] or [Users]).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 0\n"),
              "Schema file t.SFD, line 4: the size of field A must be a whole number from 1 to 65535, not 0.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\na, Number, 5\n"),
              "Schema file t.SFD, line 5: the field a is declared twice.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\n[Users]\nBob = Admin\n"),
              "Schema file t.SFD, line 6: the right of user Bob must be Read or Write, not Admin.");
    EXPECT_EQ(SchemaProblem("[Fields]\nA, Text, 5\n"), "Schema file t.SFD: no table name is given (a [Table] section with Name = ...).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\n[Users]\n"),
              "Schema file t.SFD: the [Users] section lists no users.");
    // Names that would reach SQL are checked: no quotes, blanks or reserved prefixes.
    EXPECT_NE(SchemaProblem("[Table]\nName = T\"x\n").find("may hold only letters"), AnsiString::npos);
    EXPECT_NE(SchemaProblem("[Table]\nName = T\n[Fields]\nzfd_id, Text, 5\n").find("reserved"), AnsiString::npos);
    EXPECT_EQ(SchemaProblem("[table]\r\nname = 客戶\r\n[FIELDS]\r\n編號, number, 4, key\r\n"), "(accepted)");
}

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
TEST(KeyOrder, LeadsOrderKeysAsTheirTextsDo)
{
    TTableSchema Numbers = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 20, Key\nN, Text, 9\n", "t.SFD");
    const char* Texts[] = {"0",   "7",     "-7",   "10",   "-10",  "999999999999999999", "-999999999999999999",
                           "9999999999999999999", "-9999999999999999999", "007", "-0", "7.5", "1e3", "", "abc"};
    for (const char* A : Texts) {
        for (const char* B : Texts) {
            std::optional<std::int64_t> LA = KeyLead(Numbers, {A}), LB = KeyLead(Numbers, {B});
            if (!LA || !LB) continue;
            int ByText = CompareNumberTexts(A, B);
            EXPECT_EQ((*LA > *LB) - (*LA < *LB), (ByText > 0) - (ByText < 0)) << A << " against " << B;
        }
    }
    for (const char* None : {"9999999999999999999", "007", "-0", "7.5", "1e3", "", "abc"})
        EXPECT_FALSE(KeyLead(Numbers, {None})) << None;
    EXPECT_EQ(KeyLead(Numbers, {"-999999999999999999"}), -999999999999999999);
    TTableSchema TextKey = ParseSchema("[Table]\nName = T\n[Fields]\nK, Text, 9, Key\n", "t.SFD");
    EXPECT_FALSE(KeyLead(TextKey, {"7"}));  // texts order by their bytes: "10" before "7"
}

TEST(DataPath, RelativeNamesTryTheCurrentFolderThenTheProgramFolder)
{
    TempDir Dir;
    Dir.WriteFile("here.SFD", "x");
    std::filesystem::path Saved = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path());
    TDataPath Here = ResolveDataPath("here.SFD");
    TDataPath Missing = ResolveDataPath("missing.SFD");
    std::filesystem::current_path(Saved);
    EXPECT_TRUE(Here.Exists);
    EXPECT_EQ(Here.Path, Dir.File("here.SFD"));
    EXPECT_FALSE(Missing.Exists);
    EXPECT_EQ(Missing.Path, Dir.File("missing.SFD"));  // a new file is made in the current folder
    ASSERT_EQ(Missing.Tried.size(), 2u);
    EXPECT_EQ(Missing.Tried[1], ProgramFolder() + "/missing.SFD");
    // The test program's own folder is the second place looked at.
    EXPECT_TRUE(ResolveDataPath(std::filesystem::read_symlink("/proc/self/exe").filename().string()).Exists);
}

TEST(RecordView, BlockedViewMatchesAPlainArrayThroughInsertsRemovesAndReads)
{
    TRecordView View;
    std::vector<std::int64_t> Model;
    std::mt19937 Random(7);
    std::int64_t NextId = 1;
    for (int Step = 0; Step < 6000; ++Step) {
        bool Grow = Model.size() < 10 || Random() % 3 != 0;
        if (Grow) {
            // Mostly at the end, as posts with rising keys come, sometimes anywhere.
            std::size_t Pos = Random() % 2 ? Model.size() : Random() % (Model.size() + 1);
            View.Insert(static_cast<std::int64_t>(Pos), NextId);
            Model.insert(Model.begin() + static_cast<std::ptrdiff_t>(Pos), NextId++);
        } else {
            std::size_t Pos = Random() % Model.size();
            View.Remove(static_cast<std::int64_t>(Pos));
            Model.erase(Model.begin() + static_cast<std::ptrdiff_t>(Pos));
        }
        ASSERT_EQ(View.CheckInvariants(), "") << "step " << Step;
    }
    ASSERT_GT(Model.size(), 2048u);  // several blocks were split
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    for (std::size_t I = 0; I < Model.size(); ++I) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I]) << I;
    for (std::size_t I = Model.size(); I-- > 0;) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I]) << I;
    EXPECT_EQ(View.Find(Model[1500]), 1500);
    EXPECT_EQ(View.Find(-5), -1);
    EXPECT_THROW(View.At(View.Count()), std::out_of_range);

    View.Clear();
    for (std::int64_t Id : Model) View.Append(Id);
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    View.Insert(View.Count(), -1);  // after appending, inserts and removes still find their block
    Model.push_back(-1);
    View.Insert(1025, -2);
    Model.insert(Model.begin() + 1025, -2);
    while (!Model.empty()) {  // emptied from the front, block by block
        ASSERT_EQ(View.At(0), Model.front());
        View.Remove(0);
        Model.erase(Model.begin());
    }
    EXPECT_TRUE(View.IsEmpty());
    View.Insert(0, 99);
    EXPECT_EQ(View.At(0), 99);
}

// Records with even keys, ordered; a key looked for falls between two anchors, and a
// record's own key brackets it exactly or between the anchors around it. With a key kept for
// one record in Every, and for every record. Keys are negative and positive, and one in five
// is written as a decimal ("-20.0"), which has no lead: anchors and keys looked for with and
// without leads meet.
class RecordViewAnchors : public ::testing::TestWithParam<int> {};

TEST_P(RecordViewAnchors, BracketEveryKeyThroughInsertsRemovesAndSplits)
{
    TRecordView View;
    View.SetAnchorEvery(GetParam());
    std::vector<std::pair<std::int64_t, std::int64_t>> Model;  // (key, id) in order
    TTableSchema Schema = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 20, Key\n", "t.SFD");
    auto Text = [](std::int64_t Key) { return std::to_string(Key) + (Key % 5 == 0 ? ".0" : ""); };
    auto Packed = [&](std::int64_t Key) { return PackKey({Text(Key)}); };
    auto Lead = [&](std::int64_t Key) { return KeyLead(Schema, {Text(Key)}).value_or(TRecordView::NoLead); };
    for (std::int64_t I = 0; I < 3000; ++I) {
        std::int64_t Key = 2 * I - 3000;
        Model.emplace_back(Key, I + 1);
        AnsiString P = Packed(Key);
        View.Append(I + 1, I % View.AnchorEvery() == 0 ? &P : nullptr, Lead(Key));
    }
    std::mt19937 Random(11);
    std::int64_t NextId = 5000;
    auto Place = [&](std::int64_t Key, std::int64_t Id) {
        return static_cast<std::int64_t>(std::lower_bound(Model.begin(), Model.end(), std::make_pair(Key, Id)) - Model.begin());
    };
    auto BracketOf = [&](std::int64_t Key, std::int64_t Id) {
        TRecordKey Sought{{Text(Key)}, Id};
        return View.Bracket([&](std::string_view P, std::int64_t AnchorId) { return ComparePackedKey(Schema, P, AnchorId, Sought); },
                            Lead(Key));
    };
    for (int Step = 0; Step < 20000; ++Step) {
        if (Random() % 5 < 3 || Model.size() < 100) {
            // Odd keys, some after the last: a place between records, or at the end.
            std::int64_t Key = (static_cast<std::int64_t>(Random() % (2 * Model.size() + 40)) | 1) - 3000;
            std::int64_t Pos = Place(Key, NextId);
            TRecordView::TBracket B = BracketOf(Key, NextId);
            ASSERT_EQ(B.Exact, -1);
            ASSERT_LE(B.Lo, Pos);
            ASSERT_GE(B.Hi, Pos);
            AnsiString P = Packed(Key);
            View.Insert(Pos, NextId, Random() % 4 ? &P : nullptr, Lead(Key));  // some placed without a key
            Model.insert(Model.begin() + Pos, {Key, NextId++});
        } else {
            std::size_t Pos = Random() % Model.size();
            auto [Key, Id] = Model[Pos];
            TRecordView::TBracket B = BracketOf(Key, Id);
            if (B.Exact >= 0) {
                ASSERT_EQ(B.Exact, static_cast<std::int64_t>(Pos));
            } else {
                ASSERT_EQ(View.FindBetween(Id, B.Lo, B.Hi), static_cast<std::int64_t>(Pos));
            }
            View.Remove(static_cast<std::int64_t>(Pos));
            Model.erase(Model.begin() + static_cast<std::ptrdiff_t>(Pos));
        }
        ASSERT_EQ(View.CheckInvariants(), "") << "step " << Step;
        if (Step % 50 != 0) continue;
        // The anchors are records of the model at their places, with their keys, in order.
        std::size_t Wrong = 0;
        std::pair<std::int64_t, std::int64_t> Previous{INT64_MIN, 0};
        View.ForEachAnchor([&](std::int64_t Pos, std::int64_t Id, std::string_view Key, std::int64_t) {
            const auto& Record = Model[static_cast<std::size_t>(Pos)];
            if (Id != Record.second || Key != Packed(Record.first) || !(Previous < Record)) ++Wrong;
            Previous = Record;
        });
        ASSERT_EQ(Wrong, 0u) << "step " << Step;
    }
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    for (std::size_t I = 0; I < Model.size(); ++I) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I].second);
    // Placing with keys keeps the anchors sparse: no more than two in AnchorEvery records,
    // and yet the brackets stay narrow.
    EXPECT_LE(View.AnchorCount(), 2 * Model.size() / View.AnchorEvery() + 2 * View.Count() / 1024 + 2);
    std::int64_t Widest = 0;
    for (int Probe = 0; Probe < 200; ++Probe) {
        TRecordView::TBracket B = BracketOf((static_cast<std::int64_t>(Random() % (2 * Model.size())) | 1) - 3000, 1);
        Widest = std::max(Widest, B.Hi - B.Lo);
    }
    EXPECT_LE(Widest, 8 * std::max(View.AnchorEvery(), 4));

    // A view without anchors brackets the whole of it.
    TRecordView Bare;
    for (std::int64_t Id = 1; Id <= 50; ++Id) Bare.Append(Id);
    TRecordView::TBracket Whole = Bare.Bracket([](std::string_view, std::int64_t) { return -1; });
    EXPECT_EQ(Whole.Lo, 0);
    EXPECT_EQ(Whole.Hi, 50);
}

INSTANTIATE_TEST_SUITE_P(OneInSixteenAndAll, RecordViewAnchors, ::testing::Values(16, 1));

// The watch answers "nothing committed" only while no connection (this one or another)
// committed since the last look: after each kind of commit, also one into a WAL that a
// checkpoint emptied, it sees a change once and then none.
TEST(WalCommitWatch, SeesEveryCommitOnceAndNothingWhileNoneCame)
{
    TempDir Dir;
    std::string File = Dir.File("watched.db");
    TSqliteDb Own(File), Other(File);
    Own.Exec("PRAGMA journal_mode=WAL");
    Own.Exec("CREATE TABLE t (v INTEGER)");
    Own.Exec("INSERT INTO t VALUES (0)");
    TWalCommitWatch Watch(Own.Handle());
    auto Look = [&] {
        bool Changed = Watch.MayHaveChanged();
        Own.Exec("SELECT count(*) FROM t");  // the look the watch stands in for
        Watch.Remember();
        return Changed;
    };
    EXPECT_TRUE(Look()) << "nothing is remembered before the first look";
    EXPECT_FALSE(Look());
    EXPECT_FALSE(Look());
    const char* const Steps[] = {"INSERT INTO t VALUES (1)", "UPDATE t SET v = v + 1",
                                 "DELETE FROM t WHERE rowid = (SELECT max(rowid) FROM t)",
                                 "PRAGMA wal_checkpoint(TRUNCATE); INSERT INTO t VALUES (3)"};
    for (const char* Step : Steps) {
        for (TSqliteDb* Writer : {&Other, &Own}) {
            Writer->Exec(Step);
            EXPECT_TRUE(Look()) << Step << (Writer == &Own ? " by the watched connection" : " by another connection");
            EXPECT_FALSE(Look()) << Step;
        }
    }
}

}  // namespace
