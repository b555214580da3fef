// Messages that only a failure shows (a broken form file, a bad colour, a COM call that
// fails) speak the language of the screen like every other text.
#include <gtest/gtest.h>

#include "com/ComObj.h"
#include "com/OleVariant.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/FormReader.h"
#include "framework/core/Translation.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TForm.h"
#include "framework/ui/Translations.h"

namespace {

// Each test leaves the texts untranslated, as the other tests expect them.
class FailureMessages : public ::testing::Test {
protected:
    void TearDown() override { SetTranslateHook(nullptr); }
};

template <class F>
AnsiString MessageOf(F&& Fn)
{
    try {
        Fn();
    } catch (const Exception& E) {
        return E.Message();
    }
    return "(nothing was raised)";
}

AnsiString UnknownPropertyMessage()
{
    TForm Form(nullptr);
    return MessageOf(
        [&] { ReadFormText("object Form1: TForm\n  Left = 10\n  Colour = clRed\nend\n", &Form, "broken.form"); });
}

AnsiString UnterminatedFormMessage()
{
    TForm Form(nullptr);
    return MessageOf([&] { ReadFormText("object Form1: TForm\n  Caption = 'x'\n", &Form, AnsiString()); });
}

AnsiString BadColourMessage()
{
    return MessageOf([] { StringToColor("Mauve"); });
}

AnsiString VariantMessage()
{
    return MessageOf([] { (void)OleVariant("abc").AsInteger(); });
}

constexpr CLSID CLSID_Barren = MakeGUID("{6C1E2A43-0B7D-4E59-8F26-3D9A51C7E0B4}");

// A class whose factory makes nothing: the failure travels as a COM error and is raised
// again on this side of the call.
AnsiString ClassFactoryMessage()
{
    CoInitialize();
    RegisterComClass(CLSID_Barren, []() -> IUnknown* { return nullptr; });
    const AnsiString Message = MessageOf([] { (void)CreateComObject<IUnknown>(CLSID_Barren); });
    UnregisterComClass(CLSID_Barren);
    CoUninitialize();
    return Message;
}

TEST_F(FailureMessages, AFailureSpeaksEnglishUnderEnglishAndChineseUnderChinese)
{
    struct TCase {
        const char* What;
        AnsiString (*Message)();
        const char* English;
        const char* Chinese;
    };
    const TCase Cases[] = {
        {"unknown property", UnknownPropertyMessage,
         "broken.form, line 3: property Form1.Colour does not exist in TForm",
         "broken.form 第 3 行：TForm 沒有屬性 Form1.Colour"},
        {"unterminated form", UnterminatedFormMessage,
         "(form text), line 1: object Form1: TForm is not terminated (missing 'end')",
         "（表單文字） 第 1 行：物件 Form1: TForm 沒有結束（缺少 'end'）"},
        {"bad colour", BadColourMessage, "'Mauve' is not a valid colour", "「Mauve」不是有效的顏色"},
        {"variant", VariantMessage, "Could not convert variant of type (OleStr) into type (Integer)",
         "無法將類型（OleStr）的 Variant 轉換成類型（Integer）"},
        {"class factory", ClassFactoryMessage,
         "The class factory of {6C1E2A43-0B7D-4E59-8F26-3D9A51C7E0B4} made no object",
         "{6C1E2A43-0B7D-4E59-8F26-3D9A51C7E0B4} 的類別工廠沒有產生物件"},
    };
    for (const TCase& C : Cases) {
        SetTranslateHook(nullptr);
        EXPECT_EQ(C.Message(), C.English) << C.What << ", without translations";
        ASSERT_TRUE(UseLanguage("en"));
        EXPECT_EQ(C.Message(), C.English) << C.What << ", in English";
        ASSERT_TRUE(UseLanguage("zh_TW"));
        EXPECT_EQ(C.Message(), C.Chinese) << C.What << ", in Traditional Chinese";
    }
}

// A pseudo-language that writes every text of the catalogue in capitals and leaves the values
// as they are: a piece of a message that does not come through the hook stays in small
// letters and shows.
AnsiString Capitals(const char*, const char* Source, const char*, int)
{
    AnsiString Text = Source ? Source : "";
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Text;
}

AnsiString FormMessage(const char* Text)
{
    TForm Form(nullptr);
    return MessageOf([&] { ReadFormText(Text, &Form, AnsiString()); });
}

TEST_F(FailureMessages, EveryPieceOfAFailureMessageComesFromTheCatalogue)
{
    struct TCase {
        AnsiString Message;
        const char* Expected;
    };
    SetTranslateHook(Capitals);
    const TCase Cases[] = {
        {FormMessage("object Form1: TForm\n  Left = 'x'\nend\n"),
         "(FORM TEXT), LINE 2: INVALID VALUE FOR Form1.Left: EXPECTED AN INTEGER, FOUND A STRING"},
        {FormMessage("object Form1: TForm\n  Visible = Maybe\nend\n"),
         "(FORM TEXT), LINE 2: INVALID VALUE FOR Form1.Visible: EXPECTED TRUE OR FALSE, FOUND 'Maybe'"},
        {FormMessage("object Form1: TForm\n  Left = ]\nend\n"), "(FORM TEXT), LINE 2: EXPECTED A VALUE BUT FOUND ']'"},
        {FormMessage("object Form1: TForm\n  Left = 12x\nend\n"), "(FORM TEXT), LINE 2: INVALID NUMBER 12x"},
        {FormMessage("object Form1: TForm\n  Caption = 'abc\nend\n"), "(FORM TEXT), LINE 2: UNTERMINATED STRING"},
        {FormMessage("object Form1: TForm\n  object B: TNoSuchClass\n  end\nend\n"),
         "(FORM TEXT), LINE 2: CLASS TNoSuchClass NOT FOUND"},
        {FormMessage("object Form1: TForm\n  Font = 3\nend\n"),
         "(FORM TEXT), LINE 2: INVALID VALUE FOR Form1.Font: IT IS AN OBJECT, SET ITS PROPERTIES (Form1.Font.NAME = "
         "VALUE)"},
        {FormMessage("object Form1: TForm\n  Left = 99999999\nend\n"),
         "(FORM TEXT), LINE 2: ERROR SETTING Form1.Left: Left 99999999 IS OUT OF RANGE: POSITIONS AND SIZES OF A "
         "CONTROL LIE FROM -16777215 TO 16777215"},
        {FormMessage("object Form1: TForm\n  Font.Height = 40000\nend\n"),
         "(FORM TEXT), LINE 2: ERROR SETTING Form1.Font.Height: FONT HEIGHT 40000 IS OUT OF RANGE: FROM -32767 TO "
         "32767"},
        {FormMessage("object Form1: TForm\n"),
         "(FORM TEXT), LINE 1: OBJECT Form1: TForm IS NOT TERMINATED (MISSING 'END')"},
        {MessageOf([] { StrToInt("12a"); }), "'12a' IS NOT A VALID INTEGER VALUE"},
        {MessageOf([] { (void)StringToGUID("{nope}"); }), "'{nope}' IS NOT A VALID GUID VALUE"},
        {MessageOf([] {
             TStringList List;
             List.Add("one");
             (void)List.Get(5);
         }),
         "LIST INDEX OUT OF BOUNDS (5)"},
    };
    for (const TCase& C : Cases) EXPECT_EQ(C.Message, C.Expected);
}

}  // namespace
