#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TStrings.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/RegisterUiClasses.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TPenBrush.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"
#include "tests/ui/FormRoundTrip.h"

namespace {

class TShowcaseForm : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TShowcaseForm(TComponent* Owner) : TForm(Owner) {}
    TPanel* Panel1 = nullptr;       // not owned: the form owns its components
    TLabel* Label1 = nullptr;       // not owned
    TLabel* Label2 = nullptr;       // not owned
    TEdit* Edit1 = nullptr;         // not owned
    TEdit* Edit2 = nullptr;         // not owned
    TComboBox* Combo1 = nullptr;    // not owned
    TGroupBox* GroupBox1 = nullptr; // not owned
    TScrollBox* ScrollBox1 = nullptr;  // not owned
    TPopupMenu* PopupMenu1 = nullptr;  // not owned
    int Created = 0;
    std::vector<std::string> Menu;
    void FormCreate(TObject*) { ++Created; }
    void Edit1KeyPress(TObject*, wchar_t&) {}
    void Button1Click(TObject*) {}
    void MenuItemClick(TObject* Sender) { Menu.push_back(static_cast<TMenuItem*>(Sender)->Caption()); }
};

const TClassInfo* TShowcaseForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TShowcaseForm, TForm>("TShowcaseForm")
                                       .Field("Panel1", &TShowcaseForm::Panel1)
                                       .Field("Label1", &TShowcaseForm::Label1)
                                       .Field("Label2", &TShowcaseForm::Label2)
                                       .Field("Edit1", &TShowcaseForm::Edit1)
                                       .Field("Edit2", &TShowcaseForm::Edit2)
                                       .Field("Combo1", &TShowcaseForm::Combo1)
                                       .Field("GroupBox1", &TShowcaseForm::GroupBox1)
                                       .Field("ScrollBox1", &TShowcaseForm::ScrollBox1)
                                       .Field("PopupMenu1", &TShowcaseForm::PopupMenu1)
                                       .Handler("FormCreate", &TShowcaseForm::FormCreate)
                                       .Handler("Edit1KeyPress", &TShowcaseForm::Edit1KeyPress)
                                       .Handler("Button1Click", &TShowcaseForm::Button1Click)
                                       .Handler("MenuItemClick", &TShowcaseForm::MenuItemClick)
                                       .Build();
    return &Info;
}

// A form class without a form file.
class TNoFileForm : public TForm {
    DECLARE_CLASSINFO()
public:
    using TForm::TForm;
};

const TClassInfo* TNoFileForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TNoFileForm, TForm>("TNoFileForm").Build();
    return &Info;
}

TControl* Child(TWinControl* Parent, const std::string& Name)
{
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (Parent->Controls(I)->Name() == Name) return Parent->Controls(I);
    return nullptr;
}

class FormFile : public ::testing::Test {
protected:
    void SetUp() override { Application->CreateForm(Form); }
    void TearDown() override { delete Form; }
    TShowcaseForm* Form = nullptr;  // the application owns it; freed by each test
};

TEST_F(FormFile, CreateFormLoadsTheFormFileByClassNameAndFiresOnCreate)
{
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Owner(), Application);
    EXPECT_EQ(Form->Created, 1);
    EXPECT_EQ(Application->MainForm(), Form) << "the first form created";
    EXPECT_EQ(Form->Name(), "ShowcaseForm");
    EXPECT_EQ(Form->Caption(), "控制項展示 Showcase");
    EXPECT_EQ(Form->BoundsRect(), Bounds(100, 107, 640, 420));
    EXPECT_EQ(Form->ClientWidth(), 632);
    EXPECT_EQ(Form->ClientHeight(), 386);
    EXPECT_FALSE(Form->Visible());
    TNoFileForm* Other = reinterpret_cast<TNoFileForm*>(1);
    EXPECT_THROW(Application->CreateForm(Other), EFilerError);
    EXPECT_EQ(Other, nullptr);
}

TEST_F(FormFile, EveryPositionSizeColourFontAndCaptionLoadsAsWritten)
{
    EXPECT_EQ(Form->Panel1->BoundsRect(), Bounds(8, 8, 300, 41));
    EXPECT_EQ(Form->Panel1->Color(), TColor(11859442));
    EXPECT_EQ(Form->Panel1->BevelInner(), bvLowered);
    EXPECT_EQ(Form->Panel1->Caption(), "面板 Panel");
    EXPECT_EQ(Form->Panel1->PopupMenu(), Form->PopupMenu1);
    EXPECT_EQ(Form->Label1->Font()->Color(), clRed);
    EXPECT_EQ(Form->Label1->Font()->Height(), -13);
    EXPECT_EQ(Form->Label1->Font()->Name(), "MS Sans Serif");
    TCanvas Measure;
    Measure.SetFont(Form->Label1->Font());
    EXPECT_EQ(Form->Label1->Width(), Measure.TextWidth("Record Count : ")) << "AutoSize fits the caption";
    EXPECT_EQ(Form->Label2->BoundsRect(), Bounds(8, 86, 49, 16)) << "AutoSize off keeps the written size";
    EXPECT_EQ(Form->Label2->Font()->Color(), clWindowText);
    EXPECT_TRUE(Form->Label2->ParentFont());
    EXPECT_EQ(Form->Label2->Color(), clBtnFace);
    EXPECT_EQ(Form->Edit1->Color(), TColor(7779576));
    EXPECT_EQ(Form->Edit1->MaxLength(), 40);
    EXPECT_EQ(Form->Edit1->Text(), "過濾客戶開始條件,CustNo,1,2,>=,13,");
    EXPECT_EQ(Form->Edit1->ImeName(), "Chinese (Traditional) - Phonetic");
    EXPECT_TRUE(Form->Edit1->OnKeyPress.Assigned());
    EXPECT_EQ(Form->Edit2->Color(), clWindow);
    EXPECT_EQ(Form->Combo1->Items()->Count(), 2);
    EXPECT_EQ(Form->Combo1->ItemIndex(), 1) << "applied after the items";
    EXPECT_EQ(Form->Combo1->Text(), "Taipei");
    auto* Button2 = dynamic_cast<TButton*>(Child(Form->GroupBox1, "Button2"));
    ASSERT_NE(Button2, nullptr);
    EXPECT_EQ(Button2->Parent(), Form->GroupBox1);
    EXPECT_EQ(Button2->BoundsRect(), Bounds(12, 60, 75, 25));
    EXPECT_EQ(Form->GroupBox1->Caption(), "資料過濾");
    EXPECT_EQ(Form->ScrollBox1->ControlCount(), 5);
    EXPECT_TRUE(Form->ScrollBox1->HorzScrollBarVisible()) << "more children than fit";
    EXPECT_EQ(Form->PopupMenu1->Items()->Count(), 2);
    EXPECT_EQ(Form->PopupMenu1->Items()->Items(0)->Caption(), "複製");
    // Tab order as written, whatever the order of the objects in the file.
    TWinControlList Tabs;
    Form->GetTabOrderList(Tabs);
    std::vector<std::string> Names;
    for (TWinControl* C : Tabs)
        if (C->Parent() == Form) Names.push_back(C->Name());
    EXPECT_EQ(Names, (std::vector<std::string>{"Panel1", "Edit2", "Edit1", "Button1", "Combo1", "GroupBox1", "ScrollBox1"}));

    const std::string Path = SaveScreenshot(Form, "ui_showcase_form");
    ASSERT_TRUE(std::filesystem::exists(Path));
    QImage Shot(QString::fromStdString(Path));
    ASSERT_EQ(Shot.width(), 632);
    // The panel's colour (0x00B4F5F2 is RGB F2, F5, B4) inside its bevels.
    EXPECT_EQ(Shot.pixelColor(8 + 150, 8 + 5), QColor(0xF2, 0xF5, 0xB4));
    // The edit's own colour.
    EXPECT_EQ(Shot.pixelColor(60 + 200, 84 + 10), QColor(0xF8, 0xB4, 0x76));
}

TEST_F(FormFile, MenuItemsReachTheFormsHandlerWithTheirCaption)
{
    Form->PopupMenu1->Popup(10, 10);
    ASSERT_NE(Form->PopupMenu1->Menu(), nullptr);
    Form->PopupMenu1->Menu()->actions().at(1)->trigger();
    EXPECT_EQ(Form->Menu, (std::vector<std::string>{"Refresh"}));
}

TEST_F(FormFile, WrittenAndReadBackTheControlsKeepTheirValuesAndDefaultsAreLeftOut)
{
    const AnsiString Text = WriteFormText(Form);
    // An edit with nothing but defaults besides its place, order and text.
    const std::size_t Edit2 = Text.find("object Edit2: TEdit");
    ASSERT_NE(Edit2, AnsiString::npos);
    const AnsiString Edit2Block = Text.substr(Edit2, Text.find("end", Edit2) - Edit2);
    for (const char* Defaulted : {"Color", "ParentFont", "ParentColor", "TabStop", "Visible", "Enabled", "MaxLength"})
        EXPECT_EQ(Edit2Block.find(Defaulted), AnsiString::npos) << Defaulted << " in\n" << Edit2Block;
    EXPECT_EQ(Text.find("ParentFont = True"), AnsiString::npos);
    EXPECT_EQ(Text.find("Font.Size"), AnsiString::npos);
    EXPECT_NE(Text.find("Color = clWhite"), AnsiString::npos) << "colours by name";
    EXPECT_NE(Text.find("Font.Color = clRed"), AnsiString::npos);
    ExpectRoundTrip(Form);
    TShowcaseForm Copy(nullptr);
    ReadFormText(Text, &Copy, "round trip");
    EXPECT_EQ(Copy.Edit1->Text(), Form->Edit1->Text());
    EXPECT_EQ(Copy.Label1->Font()->Color(), clRed);
    EXPECT_EQ(Copy.Label2->BoundsRect(), Form->Label2->BoundsRect());
    EXPECT_EQ(Copy.Edit1->TabOrder(), 2);
    EXPECT_EQ(Copy.Panel1->PopupMenu(), Copy.PopupMenu1);
    EXPECT_EQ(Copy.ScrollBox1->ControlCount(), 5);
    EXPECT_EQ(Copy.PopupMenu1->Items()->Count(), 2);
}

TEST_F(FormFile, ADesignTimeLoadMarksEveryComponentAndShowsHiddenControls)
{
    TShowcaseForm Designed(nullptr);
    const AnsiString Text = WriteFormText(Form);
    TFormReadOptions Options;
    Options.Designing = true;
    ReadFormText(Text, &Designed, "design", Options);
    for (int I = 0; I < Designed.ComponentCount(); ++I)
        EXPECT_TRUE(Designed.Components(I)->ComponentState().Contains(csDesigning)) << Designed.Components(I)->Name();
    Designed.Edit2->Hide();
    EXPECT_FALSE(Designed.Edit2->Widget()->isHidden()) << "the designer shows invisible controls";
}

// A control that paints a frame and a fill of its own.
class TSwatch : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas()->Pen()->SetColor(clRed);
        Canvas()->Brush()->SetColor(TColor(0x00E1F5DC));
        Canvas()->Rectangle(0, 0, Width(), Height());
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(Rect(10, 10, 20, 20));
    }
};

TEST(Paint, APaintOverridesPenAndBrushColoursAppearInTheSavedPicture)
{
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 200, 150);
    auto* Swatch = new TSwatch(&Form);
    Swatch->SetParent(&Form);
    Swatch->SetBounds(30, 20, 64, 26);
    const std::string Path = SaveScreenshot(&Form, "ui_paint_swatch");
    const QImage Shot(QString::fromStdString(Path));
    ASSERT_FALSE(Shot.isNull());
    EXPECT_EQ(Shot.pixelColor(30, 20), QColor(Qt::red)) << "top-left corner of the frame";
    EXPECT_EQ(Shot.pixelColor(30 + 63, 20 + 25), QColor(Qt::red)) << "bottom-right corner";
    EXPECT_EQ(Shot.pixelColor(30 + 40, 20 + 12), QColor(0xDC, 0xF5, 0xE1)) << "the brush";
    EXPECT_EQ(Shot.pixelColor(30 + 15, 20 + 15), QColor(Qt::blue));
    EXPECT_NE(Shot.pixelColor(30 + 64, 20 + 12), QColor(Qt::red)) << "nothing past the right edge";
}

TEST(Dialogs, GoThroughTheScriptedResponderWhichRecordsThem)
{
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrNo).AnswerInput("客戶名稱").CancelInput().Answer(mrOk);
    EXPECT_EQ(MessageDlg("確定要刪除資料??", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);
    EXPECT_EQ(InputBox("標題內容(TLabel.Caption)", "輸入標題內容", "CustNo"), "客戶名稱");
    EXPECT_EQ(InputBox("標題", "輸入", "CustNo"), "CustNo") << "cancelled: the default";
    ShowMessage("done");
    ASSERT_EQ(Dialogs.Dialogs().size(), 4u);
    const TDialogRequest& First = Dialogs.Dialogs()[0];
    EXPECT_EQ(First.Text, "確定要刪除資料??");
    EXPECT_EQ(First.Type, mtConfirmation);
    EXPECT_EQ(First.Buttons, (TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(Dialogs.Dialogs()[1].Caption, "標題內容(TLabel.Caption)");
    EXPECT_EQ(Dialogs.Dialogs()[1].Value, "CustNo");
    EXPECT_EQ(Dialogs.Dialogs()[3].Kind, TDialogKind::ShowMessage);
    EXPECT_NONFATAL_FAILURE(MessageDlg("nobody scripted this", mtWarning, TMsgDlgButtons{mbOK}, 0),
                            "Unscripted dialog");
}

TEST(Dialogs, ThoseWithoutACaptionOfTheirOwnShowTheApplicationsTitle)
{
    const AnsiString Title = Application->Title();
    Application->SetTitle("Memory Table Demo App");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk).Answer(mrOk).Answer(mrOk).Answer(mrOk);
    ShowMessage("shown");
    MessageDlg("custom", mtCustom, TMsgDlgButtons{mbOK}, 0);
    MessageDlg("warned", mtWarning, TMsgDlgButtons{mbOK}, 0);
    const EInvalidOperation Error("failed");
    Application->ShowException(&Error);
    Application->SetTitle(Title);
    ASSERT_EQ(Dialogs.Dialogs().size(), 4u);
    const char* Expected[] = {"Memory Table Demo App", "Memory Table Demo App", "Warning", "Memory Table Demo App"};
    for (int I = 0; I < 4; ++I) EXPECT_EQ(Dialogs.Dialogs()[I].Caption, Expected[I]) << Dialogs.Dialogs()[I].Text;
}

TEST(Application, RunEndsWhenTheMainFormIsClosedAndOnCreateErrorsFailTheCreation)
{
    ASSERT_EQ(Application->MainForm(), nullptr) << "no form of an earlier test is left";
    struct TFailing : TObject {
        void Create(TObject*) { throw EInvalidOperation("cannot open the data"); }
    } Failing;
    TForm* Main = nullptr;
    Application->CreateForm(Main);
    ASSERT_EQ(Application->MainForm(), Main);
    Main->OnCreate = TNotifyEvent(&Failing, &TFailing::Create);
    EXPECT_THROW(Main->DoCreate(), EInvalidOperation);
    // The window's close button, once the loop runs.
    QTimer::singleShot(0, Main->Widget(), [Main] { Main->Widget()->close(); });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Main->Visible());
    delete Main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Registry, UiClassesAreRegisteredOnceForFormFiles)
{
    RegisterUiClasses();
    RegisterUiClasses();
    for (const char* Name : {"TPanel", "TEdit", "TLabel", "TComboBox", "TButton", "TBitBtn", "TGroupBox",
                             "TScrollBox", "TForm", "TPopupMenu", "TMenuItem"}) {
        const TClassInfo* C = FindClass(Name);
        ASSERT_NE(C, nullptr) << Name;
        EXPECT_TRUE(C->CreateComponent != nullptr) << Name;
    }
}

}  // namespace
