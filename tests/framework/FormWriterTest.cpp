#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "tests/framework/FormTestClasses.h"
#include "tests/support/TempDir.h"

using namespace FormTest;

namespace {

class FormWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFormTest(); }
};

template <class T>
T* Make(TComponent* Owner, const char* Name, TBox* Parent = nullptr)
{
    auto* C = new T(Owner);
    C->SetName(Name);
    if (Parent) C->SetParentComponent(Parent);
    return C;
}

std::string ReadWhole(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

TEST_F(FormWriterTest, WritesTheTextFormatWithNestingAndWithoutDefaults)
{
    TTestForm Form(nullptr);
    Form.SetName("Demo");
    Form.Caption = "Memory Table Demo App";
    Form.Color = clBtnFace;
    Form.Font->Height = -11;
    Form.Font->Style = TFontStyles{fsBold};
    Form.OnFire = TNotifyEvent(&Form, &TTestForm::FormCreate);
    auto* Table1 = Make<TRecComp>(&Form, "Table1");  // created first, but not a child of Panel1
    auto* Panel1 = Make<TBox>(&Form, "Panel1", &Form);
    auto* Edit1 = Make<TBox>(&Form, "Edit1", Panel1);
    Edit1->Caption = "過濾客戶開始條件,CustNo,1,2,>=,13,";
    Table1->Data = {0x0A, 0x0B, 0x0C, 0x0D};
    Table1->Link = Edit1;
    Table1->FLines->Add("line 1");
    Table1->FLines->Add("line 2");
    auto* M = static_cast<TMethodItem*>(Table1->Methods->Add());
    M->TriggerTime = trgAfterPost;
    static_cast<TParamItem*>(M->ProcParams->Add())->Descrip = "參數1";
    M->OnExecuteProc = TExecuteEvent(&Form, &TTestForm::RunProc);

    const std::string Expected = R"(object Demo: TTestForm
  Caption = 'Memory Table Demo App'
  Color = clBtnFace
  OnFire = FormCreate
  Font.Height = -11
  Font.Style = [fsBold]
  object Panel1: TBox
    object Edit1: TBox
      Caption = '過濾客戶開始條件,CustNo,1,2,>=,13,'
    end
  end
  object Table1: TRecComp
    Data = {
      0A0B0C0D}
    Link = Edit1
    Lines.Strings = (
      'line 1'
      'line 2')
    Methods = <
      item
        TriggerTime = trgAfterPost
        ProcParams = <
          item
            Descrip = '參數1'
          end>
        OnExecuteProc = RunProc
      end>
  end
end
)";
    EXPECT_EQ(WriteFormText(&Form), Expected);
    for (int I = 0; I < Form.ComponentCount(); ++I)
        EXPECT_FALSE(Form.Components(I)->ComponentState().Contains(csWriting));
    EXPECT_FALSE(Form.ComponentState().Contains(csWriting));
}

TEST_F(FormWriterTest, WrittenFormsReadBackToTheSameComponentsAndValues)
{
    TTestForm First(nullptr);
    ReadFormText(SampleFormText, &First, "sample.form");
    const std::string Text = WriteFormText(&First);

    TTestForm Second(nullptr);
    ReadFormText(Text, &Second, "written.form");
    EXPECT_EQ(WriteFormText(&Second), Text);

    // Equal texts mean equal written values; what the text cannot show is checked here.
    ASSERT_EQ(Second.ComponentCount(), 4);
    auto* Table1 = dynamic_cast<TRecComp*>(Second.FindComponent("Table1"));
    auto* Inner = dynamic_cast<TBox*>(Second.FindComponent("Inner"));
    ASSERT_TRUE(Table1 && Inner);
    EXPECT_EQ(Inner->FParent, Second.FindComponent("Panel1"));
    EXPECT_EQ(Inner->Link, &Second);
    EXPECT_EQ(Table1->Link, Second.FindComponent("Later"));
    EXPECT_EQ(static_cast<TMethodItem*>(Table1->Methods->GetItem(0))->OnExecuteProc.Data(), &Second);
    EXPECT_NE(Text.find("    Lines.Strings = (\n      'line 1'\n      ''\n      'b''s'#9)\n"), std::string::npos)
        << Text;

    // Defaults are left out: nothing above sets these, and Name lives in the headers.
    for (const char* Absent : {"Tag =", " Name =", "Kind = kdPlain\n", "Enabled = True", "Count = 0", "Failing",
                               "ItemCount", "FailInLoaded", "Font.Color", "Value = 0", "TriggerTime = trgNone"})
        EXPECT_EQ(Text.find(Absent), std::string::npos) << Absent << " in\n" << Text;
}

TEST_F(FormWriterTest, StringsKeepQuotesControlCharactersAndLongUtf8TextIntact)
{
    TTestForm Form(nullptr);
    Form.SetName("F");
    auto* C = Make<TRecComp>(&Form, "C");
    C->Caption = "It's\r\nfine\x01";
    auto* Long = Make<TRecComp>(&Form, "Long");
    for (int I = 0; I < 50; ++I) Long->Caption += "資料";  // 300 bytes
    Long->FLines->Add(std::string(150, 'x'));
    Long->FLines->Add("short");

    const std::string Text = WriteFormText(&Form);
    EXPECT_NE(Text.find("Caption = 'It''s'#13#10'fine'#1\n"), std::string::npos) << Text;
    // The long texts are split over lines with '+', never inside a character.
    std::istringstream Lines(Text);
    int Pieces = 0;
    for (std::string L; std::getline(Lines, L);) {
        const std::size_t Quote = L.find('\'');
        if (Quote == std::string::npos || Quote + 1 >= L.size()) continue;
        ++Pieces;
        EXPECT_NE(static_cast<unsigned char>(L[Quote + 1]) & 0xC0, 0x80) << "piece starts inside a character: " << L;
        EXPECT_LE(L.size(), 100u) << L;
    }
    EXPECT_GE(Pieces, 2 + 5 + 3);

    TTestForm Back(nullptr);
    ReadFormText(Text, &Back, "strings.form");
    EXPECT_EQ(dynamic_cast<TRecComp*>(Back.FindComponent("C"))->Caption, C->Caption);
    auto* LongBack = dynamic_cast<TRecComp*>(Back.FindComponent("Long"));
    EXPECT_EQ(LongBack->Caption, Long->Caption);
    EXPECT_EQ(LongBack->FLines->GetLines(), Long->FLines->GetLines());
}

TEST_F(FormWriterTest, WhatTheReaderCouldNotResolveIsRefusedNamingTheProperty)
{
    TTestForm Form(nullptr), Elsewhere(nullptr);
    Form.SetName("F");
    Elsewhere.SetName("Other");
    auto* C = Make<TRecComp>(&Form, "C");

    C->OnFire = TNotifyEvent(&Elsewhere, &TTestForm::ButtonClick);  // bound to another object
    try {
        WriteFormText(&Form);
        FAIL() << "no exception";
    } catch (const EWriteError& E) {
        EXPECT_EQ(E.Message(), "Cannot write C.OnFire: its handler is not one that TTestForm publishes");
    }
    EXPECT_FALSE(C->ComponentState().Contains(csWriting));
    EXPECT_FALSE(Form.ComponentState().Contains(csWriting));

    C->OnFire = TNotifyEvent();
    auto* M = static_cast<TMethodItem*>(C->Methods->Add());
    M->Target = &Elsewhere;  // not one of the form's components
    try {
        WriteFormText(&Form);
        FAIL() << "no exception";
    } catch (const EWriteError& E) {
        EXPECT_NE(E.Message().find("Cannot write C.Methods[0].Target:"), std::string::npos) << E.Message();
    }
}

TEST_F(FormWriterTest, FilesAreReplacedOnlyByACompleteForm)
{
    TempDir Dir;
    const std::string Path = Dir.File("saved.form");
    TTestForm Form(nullptr);
    Form.SetName("Saved");
    auto* C = Make<TRecComp>(&Form, "C");
    C->Count = 4;
    WriteFormFile(Path, &Form);
    const std::string Good = ReadWhole(Path);
    TTestForm Back(nullptr);
    ReadFormFile(Path, &Back);
    EXPECT_EQ(dynamic_cast<TRecComp*>(Back.FindComponent("C"))->Count, 4);

    TTestForm Elsewhere(nullptr);
    C->OnFire = TNotifyEvent(&Elsewhere, &TTestForm::ButtonClick);
    EXPECT_THROW(WriteFormFile(Path, &Form), EWriteError);
    EXPECT_EQ(ReadWhole(Path), Good);
    EXPECT_FALSE(std::filesystem::exists(Path + ".tmp"));

    EXPECT_THROW(WriteFormFile(Dir.File("no/such/folder/x.form"), &Back), EFCreateError);
}

}  // namespace
