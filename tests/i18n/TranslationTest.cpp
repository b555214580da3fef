// Message templates, the translation hook and the choice of a language.
#include <gtest/gtest.h>

#include <vector>

#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/Translations.h"
#include "com/ComObj.h"
#include "interface/Ostrel_TLB.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"

namespace {

// Each test leaves the texts untranslated, as the other tests expect them.
class Translation : public ::testing::Test {
protected:
    void TearDown() override { SetTranslateHook(nullptr); }
};

TEST_F(Translation, FormatTextFillsEachPlaceHolderOnceAndKeepsWhatItCannotFill)
{
    struct TCase {
        const char* Template;
        std::vector<std::string_view> Values;
        const char* Expected;
    };
    const TCase Cases[] = {
        {"The table %1 has no field %2.", {"Customer", "'Fax'"}, "The table Customer has no field 'Fax'."},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"a value that holds %2 is not read again: %1", {"%2", "x"}, "a value that holds x is not read again: %2"},
        {"100%% of %1", {"rows"}, "100% of rows"},
        {"%3 has no value", {"a"}, "%3 has no value"},
        {"a lone % and a trailing %", {"a"}, "a lone % and a trailing %"},
        {"%10 and %1", {"one", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten and one"},
        {"資料表 %1 沒有欄位 %2", {"客戶", "傳真"}, "資料表 客戶 沒有欄位 傳真"},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(FormatText(C.Template, C.Values), C.Expected) << C.Template;
    }
}

TEST_F(Translation, WithoutAHookATextIsItsOwnAndThePluralCountIsFilledIn)
{
    EXPECT_EQ(TranslateText("TForm1", "確定要刪除資料??"), "確定要刪除資料??");
    EXPECT_EQ(TranslateText("TForm1", "%n of %1 rows were not added.", nullptr, 3), "3 of %1 rows were not added.");
    const TTranslateHook Shouting = [](const char*, const char* Source, const char*, int) {
        return AnsiString(Source) + "!";
    };
    EXPECT_EQ(SetTranslateHook(Shouting), nullptr);
    EXPECT_EQ(TranslateText("X", "%n rows", nullptr, 2), "2 rows!");
    EXPECT_EQ(SetTranslateHook(nullptr), Shouting);
}

TEST_F(Translation, TheLocaleChoosesTraditionalChineseOrEnglish)
{
    struct TCase {
        std::vector<AnsiString> Locales;
        const char* Expected;
    };
    const TCase Cases[] = {
        {{"zh_TW.UTF-8"}, "zh_TW"}, {{"zh-Hant-HK"}, "zh_TW"}, {{"zh_CN"}, "zh_TW"},
        {{"C"}, "zh_TW"},           {{"POSIX"}, "zh_TW"},      {{"C.UTF-8"}, "zh_TW"},
        {{"en_GB.UTF-8"}, "en"},    {{"en"}, "en"},            {{"fr_FR", "en_US"}, "en"},
        {{"fr_FR"}, "en"},          {{"de", "zh-TW"}, "zh_TW"}, {{"english"}, "en"},
        {{"cy_GB", "zh_HK"}, "zh_TW"}, {{}, "en"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(LanguageForLocales(C.Locales), C.Expected) << (C.Locales.empty() ? "none" : C.Locales.front());
}

// The server builds its messages below the Qt edge: they follow the language too.
AnsiString OpenFailure()
{
    RegisterFileDataSetServer();
    CoInitialize();
    TComInterface<IFileDataSet> Server = CoFileDataSet::Create();
    OleVariant Result;
    const AnsiString Message = ServerFailureMessage(Server->Open(&Result));
    Server = nullptr;
    CoUninitialize();
    return Message;
}

TEST_F(Translation, UseLanguageTranslatesEveryLayerAndRefusesALanguageWithoutCatalogue)
{
    ASSERT_TRUE(UseLanguage("en"));
    EXPECT_EQ(CurrentLanguage(), "en");
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "確定要刪除資料??"), "Delete the record??");
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "First"), "First");
    EXPECT_EQ(OpenFailure(), "No schema file is named (set SchemaFileName).");

    ASSERT_TRUE(UseLanguage("zh_TW"));
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "確定要刪除資料??"), "確定要刪除資料??") << "a given text stays exact";
    EXPECT_EQ(TranslateText("TGridCell", "要修改的這筆資料已經被其他使用者修改過了!!\n\r準備更新目前最新資料!!"),
              "要修改的這筆資料已經被其他使用者修改過了!!\n\r準備更新目前最新資料!!");
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "First"), "First") << "a given text stays exact";
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "First record"), "第一筆資料");
    EXPECT_EQ(OpenFailure(), "沒有指定結構檔（請設定 SchemaFileName）。");
    EXPECT_EQ(FormatText(TranslateText("TForm1", "%n of %1 rows were not added. %2", nullptr, 52), {"52", "!"}),
              "52 筆資料中有 52 筆沒有加入。!");

    EXPECT_FALSE(UseLanguage("fr"));
    EXPECT_FALSE(UseLanguage("../zh_TW"));
    EXPECT_EQ(CurrentLanguage(), "zh_TW") << "a refused language changes nothing";
    EXPECT_EQ(TranslateText("TZopFileDBNavigator", "Last record"), "最後一筆資料");
}

TEST_F(Translation, TheDefaultApplicationTitleFollowsTheLanguageAndAProgramsOwnTitleStays)
{
    ASSERT_NE(Application, nullptr);
    const AnsiString Saved = Application->Title();
    Application->SetTitle("Application");
    ASSERT_TRUE(UseLanguage("zh_TW"));
    EXPECT_EQ(Application->Title(), "應用程式");
    ASSERT_TRUE(UseLanguage("en"));
    EXPECT_EQ(Application->Title(), "Application");
    ASSERT_TRUE(UseLanguage("zh_TW"));
    Application->SetTitle("訂單");
    ASSERT_TRUE(UseLanguage("en"));
    EXPECT_EQ(Application->Title(), "訂單") << "a program's own title stays";
    Application->SetTitle(Saved);
}

TEST_F(Translation, EnglishHasAPluralFormForOneAndForMany)
{
    ASSERT_TRUE(UseLanguage("en"));
    const char* Source = "%n of %1 rows were not added. %2";
    EXPECT_EQ(FormatText(TranslateText("TForm1", Source, nullptr, 1), {"52", ""}), "1 of 52 rows was not added. ");
    EXPECT_EQ(FormatText(TranslateText("TForm1", Source, nullptr, 2), {"52", ""}), "2 of 52 rows were not added. ");
}

}  // namespace
