// A form's texts follow the language when it loads to run, and stay as written while it is
// designed (a designed form is written back).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormTexts.h"
#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/Translations.h"
#include "server/RegisterFileDataSetServer.h"

namespace {

class FormTranslation : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterDemoClasses();
        DropAllMemoryTables();
    }
    void TearDown() override
    {
        if (Form1) Form1->Free();
        Form1 = nullptr;
        DropAllMemoryTables();
        SetTranslateHook(nullptr);
    }
    static std::string DemoFormText()
    {
        std::ifstream In(DEMO_FORM, std::ios::binary);
        std::ostringstream Text;
        Text << In.rdbuf();
        return Text.str();
    }
};

TEST_F(FormTranslation, TheDemoFormRunsInTheChosenLanguage)
{
    struct TCase {
        const char* Language;
        const char* Title;
        const char* FirstColumn;
        const char* CityColumn;
        const char* Filter;
        const char* Count;
        const char* FirstButton;
        const char* FilterLine;
    };
    const TCase Cases[] = {
        {"zh_TW", "Memory Table Demo App", "客戶編號", "City", "資料過濾", "Record Count : ", "First",
         "過濾客戶開始條件,CustNo,1,2,>=,13,"},
        {"en", "Memory Table Demo App", "Customer No.", "City", "Data Filter", "Record Count : ", "First",
         "Customers from,CustNo,1,2,>=,13,"},
    };
    for (const TCase& C : Cases) {
        ASSERT_TRUE(UseLanguage(C.Language));
        Application->CreateForm(Form1);
        EXPECT_EQ(Form1->Caption(), C.Title) << C.Language;
        TGridColumns* Columns = Form1->ZopFileDBGrid1->GetColumns();
        EXPECT_EQ(Columns->GeTColumnItem(0)->GetTitle(), C.FirstColumn) << C.Language;
        EXPECT_EQ(Columns->GeTColumnItem(4)->GetTitle(), C.CityColumn) << C.Language;
        EXPECT_EQ(Columns->GeTColumnItem(4)->GetDataField(), "City") << "field names are never translated";
        EXPECT_EQ(Form1->GroupBox1->Caption(), C.Filter) << C.Language;
        EXPECT_EQ(Form1->Label1->Caption(), C.Count) << C.Language;
        EXPECT_EQ(Form1->ZopFileDBNavigator1->GetFirstCaption(), C.FirstButton) << C.Language;
        EXPECT_EQ(Form1->Edit1->Text(), C.FilterLine) << C.Language;
        EXPECT_EQ(Form1->Label2->Caption(), "0") << "the record count is a number, not a text";
        Form1->Free();
        Form1 = nullptr;
    }
}

TEST_F(FormTranslation, ADesignedFormKeepsItsTextsAsWrittenAndListsThemForTranslators)
{
    ASSERT_TRUE(UseLanguage("en"));
    TForm1 Designed(nullptr);
    TFormReadOptions Options;
    Options.Designing = true;
    ReadFormText(DemoFormText(), &Designed, DEMO_FORM, Options);
    EXPECT_EQ(Designed.ZopFileDBGrid1->GetColumns()->GeTColumnItem(0)->GetTitle(), "客戶編號");
    EXPECT_EQ(Designed.GroupBox1->Caption(), "資料過濾");

    const std::vector<AnsiString> Texts = FormTexts(&Designed);
    for (const char* Text : {"Memory Table Demo App", "客戶編號", "Record Count : ", "First", "開始過濾",
                             "過濾客戶開始條件,CustNo,1,2,>=,13,", "Empty Table"})
        EXPECT_NE(std::find(Texts.begin(), Texts.end(), Text), Texts.end()) << Text;
    for (const char* NotAText : {"0", "-1", " ", ""})
        EXPECT_EQ(std::find(Texts.begin(), Texts.end(), NotAText), Texts.end()) << "'" << NotAText << "'";
    EXPECT_EQ(std::count(Texts.begin(), Texts.end(), "First"), 1) << "each text once";
}

// The form's own texts, English and Chinese alike, are what a Chinese screen and a screen
// that asks for no language show; an English screen shows none of the Chinese ones.
TEST_F(FormTranslation, UnderTraditionalChineseEveryTextOfTheFormShowsExactlyAsWritten)
{
    TForm1 Designed(nullptr);
    TFormReadOptions Options;
    Options.Designing = true;
    ReadFormText(DemoFormText(), &Designed, DEMO_FORM, Options);
    const std::vector<AnsiString> Texts = FormTexts(&Designed);
    ASSERT_GT(Texts.size(), 30u);
    ASSERT_TRUE(UseLanguage(LanguageForLocales({"C"})));
    for (const AnsiString& Text : Texts) EXPECT_EQ(TranslateText("TForm1", Text.c_str()), Text);
    for (const char* Caption : {"First", "Prior", "Next", "Last", "Insert", "Edit", "Delete", "Query", "Post", "Cancel"})
        EXPECT_EQ(TranslateText("TZopFileDBNavigator", Caption), Caption);
    ASSERT_TRUE(UseLanguage("en"));
    for (const AnsiString& Text : Texts) {
        const AnsiString English = TranslateText("TForm1", Text.c_str());
        EXPECT_TRUE(std::all_of(English.begin(), English.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; }))
            << Text << " -> " << English;
    }
}

}  // namespace
