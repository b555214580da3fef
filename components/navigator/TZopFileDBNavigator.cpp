#include "components/navigator/TZopFileDBNavigator.h"

#include "components/FocusFrameColor.h"
#include "components/binding/TTypingPlace.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/navigator/TNavBtn.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"

#define ZOP_NAV_BUTTON_PROPERTIES(X)                                                                \
    .Property("Btn" #X "Pic", &TZopFileDBNavigator::Get##X##Pic, &TZopFileDBNavigator::Set##X##Pic)

#define ZOP_NAV_BUTTON_CAPTION(X)                                                                           \
    .Property("Btn" #X "Caption", &TZopFileDBNavigator::Get##X##Caption, &TZopFileDBNavigator::Set##X##Caption) \
        .NoDefault()                                                                                        \
        .Translatable()

const TClassInfo* TZopFileDBNavigator::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TZopFileDBNavigator, TPanel>("TZopFileDBNavigator")
            .Property("ConfirmDelete", &TZopFileDBNavigator::FConfirmDelete, &TZopFileDBNavigator::SetFConfirmDelete)
            .Property("DataSource", &TZopFileDBNavigator::FDataSource, &TZopFileDBNavigator::SetFDataSource)
            ZOP_NAV_BUTTON_PROPERTIES(First) ZOP_NAV_BUTTON_PROPERTIES(Prior) ZOP_NAV_BUTTON_PROPERTIES(Next)
            ZOP_NAV_BUTTON_PROPERTIES(Last) ZOP_NAV_BUTTON_PROPERTIES(Add) ZOP_NAV_BUTTON_PROPERTIES(Edit)
            ZOP_NAV_BUTTON_PROPERTIES(Delete) ZOP_NAV_BUTTON_PROPERTIES(Query) ZOP_NAV_BUTTON_PROPERTIES(Save)
            ZOP_NAV_BUTTON_PROPERTIES(Cancel)
            ZOP_NAV_BUTTON_CAPTION(First) ZOP_NAV_BUTTON_CAPTION(Prior) ZOP_NAV_BUTTON_CAPTION(Next)
            ZOP_NAV_BUTTON_CAPTION(Last) ZOP_NAV_BUTTON_CAPTION(Add) ZOP_NAV_BUTTON_CAPTION(Edit)
            ZOP_NAV_BUTTON_CAPTION(Delete) ZOP_NAV_BUTTON_CAPTION(Query) ZOP_NAV_BUTTON_CAPTION(Save)
            ZOP_NAV_BUTTON_CAPTION(Cancel)
            .Property("OnBeforeNavBtnClick", &TZopFileDBNavigator::FOnBeforeNavBtnClick)
            .Property("OnAfterNavBtnClick", &TZopFileDBNavigator::FOnAfterNavBtnClick)
            .Build();
    return &Info;
}

#define ZOP_NAV_BUTTON_ACCESSORS(X, Field)                                                                   \
    TBitmap* TZopFileDBNavigator::Get##X##Pic() const { return Field->Glyph(); }                            \
    void TZopFileDBNavigator::Set##X##Pic(TBitmap* Value) { Field->SetGlyph(Value); }                       \
    AnsiString TZopFileDBNavigator::Get##X##Caption() const { return Field->Caption(); }                    \
    void TZopFileDBNavigator::Set##X##Caption(const AnsiString& Value) { Field->SetCaption(Value); }         \
    bool TZopFileDBNavigator::Get##X##Enabled() const { return Field->Enabled(); }                          \
    void TZopFileDBNavigator::Set##X##Enabled(bool Value) { Field->SetEnabled(Value); }

ZOP_NAV_BUTTON_ACCESSORS(First, FBtnFirst)
ZOP_NAV_BUTTON_ACCESSORS(Prior, FBtnPrior)
ZOP_NAV_BUTTON_ACCESSORS(Next, FBtnNext)
ZOP_NAV_BUTTON_ACCESSORS(Last, FBtnLast)
ZOP_NAV_BUTTON_ACCESSORS(Add, FBtnAdd)
ZOP_NAV_BUTTON_ACCESSORS(Edit, FBtnEdit)
ZOP_NAV_BUTTON_ACCESSORS(Delete, FBtnDelete)
ZOP_NAV_BUTTON_ACCESSORS(Query, FBtnQuery)
ZOP_NAV_BUTTON_ACCESSORS(Save, FBtnSave)
ZOP_NAV_BUTTON_ACCESSORS(Cancel, FBtnCancel)

TZopFileDBNavigator::TZopFileDBNavigator(TComponent* Owner) : TPanel(Owner)
{
    SetCaption(" ");
    SetColor(static_cast<TColor>(0x00B4F5F2));
    SetWidth(630);
    SetHeight(31);
    SetBevelInner(bvLowered);
    SetBevelOuter(bvRaised);
    FConfirmDelete = true;
    SetAccessibleName(TranslateText("TZopFileDBNavigator", "Record navigator"));
    // Each button is named by its function for assistive technology, whatever its caption
    // or glyph shows.
    struct TButtonEntry {
        TNavBtn* TZopFileDBNavigator::*Field;
        const char* Caption;
        const char* Function;
        void (TZopFileDBNavigator::*Click)(TObject*);
    };
    static const TButtonEntry Buttons[] = {
        {&TZopFileDBNavigator::FBtnFirst, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "First"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "First record"), &TZopFileDBNavigator::RunFirstClick},
        {&TZopFileDBNavigator::FBtnPrior, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Prior"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Prior record"), &TZopFileDBNavigator::RunPriorClick},
        {&TZopFileDBNavigator::FBtnNext, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Next"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Next record"), &TZopFileDBNavigator::RunNextClick},
        {&TZopFileDBNavigator::FBtnLast, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Last"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Last record"), &TZopFileDBNavigator::RunLastClick},
        {&TZopFileDBNavigator::FBtnAdd, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Insert"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Insert a record"), &TZopFileDBNavigator::RunAddClick},
        {&TZopFileDBNavigator::FBtnEdit, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Edit"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Edit the record"), &TZopFileDBNavigator::RunEditClick},
        {&TZopFileDBNavigator::FBtnDelete, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Delete"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Delete the record"), &TZopFileDBNavigator::RunDeleteClick},
        {&TZopFileDBNavigator::FBtnQuery, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Query"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Query"), &TZopFileDBNavigator::RunQueryClick},
        {&TZopFileDBNavigator::FBtnSave, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Post"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Post the record"), &TZopFileDBNavigator::RunSaveClick},
        {&TZopFileDBNavigator::FBtnCancel, ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Cancel"),
         ZFD_TRANSLATE_NOOP("TZopFileDBNavigator", "Cancel the changes"), &TZopFileDBNavigator::RunCancelClick},
    };
    // First at 2; each following button one pixel past a running position that grows by
    // 60, with a 23-pixel gap between the browse group and the edit group.
    int Position = 62;
    for (const TButtonEntry& Entry : Buttons) {
        TNavBtn* Button = new TNavBtn(nullptr);
        this->*Entry.Field = Button;
        Button->SetCaption(TranslateText("TZopFileDBNavigator", Entry.Caption));
        Button->SetAccessibleName(TranslateText("TZopFileDBNavigator", Entry.Function));
        if (Entry.Field == &TZopFileDBNavigator::FBtnFirst) {
            Button->SetLeft(2);
        } else {
            Button->SetLeft(Position + 1);
            Position += 60;
            if (Entry.Field == &TZopFileDBNavigator::FBtnLast) Position += 23;
        }
        Button->SetParent(this);
        Button->OnClick = TNotifyEvent(this, Entry.Click);
    }
}

TZopFileDBNavigator::~TZopFileDBNavigator()
{
    for (TNavBtn** Button : {&FBtnFirst, &FBtnPrior, &FBtnNext, &FBtnLast, &FBtnAdd, &FBtnEdit, &FBtnDelete,
                             &FBtnQuery, &FBtnSave, &FBtnCancel}) {
        delete *Button;
        *Button = nullptr;
    }
}

void TZopFileDBNavigator::Notification(TComponent* Component, TOperation Operation)
{
    TPanel::Notification(Component, Operation);
    if (Operation == opRemove && Component == FDataSource) FDataSource = nullptr;
}

void TZopFileDBNavigator::Loaded()
{
    TPanel::Loaded();
    ReSize();  // a height read from a form file does not resize while loading
}

void TZopFileDBNavigator::Paint()
{
    TPanel::Paint();
    if (!Focused()) return;
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(FocusFrameColor);
    C->Pen()->SetWidth(2);
    C->Rectangle(1, 1, Width(), Height());
}

void TZopFileDBNavigator::DoEnter()
{
    TPanel::DoEnter();
    Invalidate();
}

void TZopFileDBNavigator::DoExit()
{
    TPanel::DoExit();
    Invalidate();
}

void TZopFileDBNavigator::ReSize()
{
    if (Height() != 31) SetHeight(31);
}

void TZopFileDBNavigator::SetFDataSource(TZopFileDataSource* Value)
{
    if (FDataSource) {
        FDataSource->RefreshNavigator();
        FDataSource->RemoveDBNavigator(this);
    }
    FDataSource = Value;
    if (Value) {
        Value->AddNewDBNavigator(this);
        Value->RefreshNavigator();
    }
}

void TZopFileDBNavigator::EnableButtons(bool First, bool Prior, bool Next, bool Last, bool Add, bool Edit,
                                        bool Delete, bool Query, bool Save, bool Cancel)
{
    FBtnFirst->SetEnabled(First);
    FBtnPrior->SetEnabled(Prior);
    FBtnNext->SetEnabled(Next);
    FBtnLast->SetEnabled(Last);
    FBtnAdd->SetEnabled(Add);
    FBtnEdit->SetEnabled(Edit);
    FBtnDelete->SetEnabled(Delete);
    FBtnQuery->SetEnabled(Query);
    FBtnSave->SetEnabled(Save);
    FBtnCancel->SetEnabled(Cancel);
}

void TZopFileDBNavigator::RunClick(TNavBtn* Button, const char* BtnName, TDataSourceStep Before, TServerStep Step,
                                   TDataSourceStep After)
{
    if (!FDataSource || !FDataSource->GetDataSet()) return;
    TZopFileDataSource* Source = FDataSource;
    const TTypingPlace Place = TTypingPlace::Of(GetParentForm(this));
    try {
        if (Before) (Source->*Before)();
        if (FOnBeforeNavBtnClick) FOnBeforeNavBtnClick(Button, BtnName);
        RunServerStep(Step);
        if (FOnAfterNavBtnClick) FOnAfterNavBtnClick(Button, BtnName);
        if (After) (Source->*After)();
    } catch (...) {
        try {
            ReturnFocus(Place, Button);
        } catch (...) {
            // The click's own error is the one the user is shown.
        }
        throw;
    }
    ReturnFocus(Place, Button);
}

void TZopFileDBNavigator::ReturnFocus(const TTypingPlace& Place, TNavBtn* Clicked)
{
    TForm* Form = GetParentForm(this);
    if (!Form || !Form->Visible()) return;
    if (Place.GiveBack(Form)) return;
    // The user was typing nowhere and the click opened a place to type (Insert opens the
    // grid's insert row): the focus stays there.
    if (Place.Nowhere() && TTypingPlace::FocusedTypingControl(Form)) return;
    if (Clicked->CanFocus())
        Clicked->SetFocus();
    else if (CanFocus())
        SetFocus();
}

void TZopFileDBNavigator::RunServerStep(TServerStep Step)
{
    IFileDataSet* Server = FDataSource->GetDataSet()->FileDataSet();
    switch (Step) {
    case TServerStep::None: return;
    case TServerStep::First: Check(Server->First()); return;
    case TServerStep::Prior: Check(Server->Prior()); return;
    case TServerStep::Next: Check(Server->Next()); return;
    case TServerStep::Last: Check(Server->Last()); return;
    case TServerStep::Insert: Check(Server->Insert()); return;
    case TServerStep::Edit: Check(Server->Edit()); return;
    case TServerStep::Delete:
        // Without confirmation nothing is deleted: the click only fires the two events. The
        // grids' pages are prepared only for a confirmed deletion: a No changes nothing.
        if (FConfirmDelete &&
            MessageDlg(TranslateText("TZopFileDBNavigator", "確定要刪除資料??"), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes) {
            FDataSource->RefreshDBGridParamsWithNavigatorDeleteClick();
            Check(Server->Delete());
        }
        return;
    case TServerStep::Post: Ask(Server, &IFileDataSet::Post); return;
    case TServerStep::Cancel: Check(Server->Cancel()); return;
    }
}

void TZopFileDBNavigator::RunFirstClick(TObject*)
{
    RunClick(FBtnFirst, "First", &TZopFileDataSource::RefreshDBGridParamsWithNavigatorFirstClick, TServerStep::First,
             &TZopFileDataSource::RefreshNavigator);
}

void TZopFileDBNavigator::RunPriorClick(TObject*)
{
    RunClick(FBtnPrior, "Prior", &TZopFileDataSource::RefreshDBGridParamsWithNavigatorPriorClick, TServerStep::Prior,
             &TZopFileDataSource::RefreshNavigator);
}

void TZopFileDBNavigator::RunNextClick(TObject*)
{
    RunClick(FBtnNext, "Next", &TZopFileDataSource::RefreshDBGridParamsWithNavigatorNextClick, TServerStep::Next,
             &TZopFileDataSource::RefreshNavigator);
}

void TZopFileDBNavigator::RunLastClick(TObject*)
{
    RunClick(FBtnLast, "Last", &TZopFileDataSource::RefreshDBGridParamsWithNavigatorLastClick, TServerStep::Last,
             &TZopFileDataSource::RefreshNavigator);
}

void TZopFileDBNavigator::RunAddClick(TObject*)
{
    RunClick(FBtnAdd, "Add", nullptr, TServerStep::Insert, nullptr);
}

void TZopFileDBNavigator::RunEditClick(TObject*)
{
    RunClick(FBtnEdit, "Edit", nullptr, TServerStep::Edit, nullptr);
}

void TZopFileDBNavigator::RunDeleteClick(TObject*)
{
    // A confirmed deletion lays the grids' pages around the record that follows the deleted
    // one (see RunServerStep), so that the selection lands on it and never on a blank row.
    RunClick(FBtnDelete, "Delete", nullptr, TServerStep::Delete, nullptr);
}

void TZopFileDBNavigator::RunQueryClick(TObject*)
{
    RunClick(FBtnQuery, "Query", nullptr, TServerStep::None, nullptr);
}

void TZopFileDBNavigator::RunSaveClick(TObject*)
{
    RunClick(FBtnSave, "Post", &TZopFileDataSource::RefreshDBGridParamsWithNavigatorPostClick, TServerStep::Post,
             nullptr);
}

void TZopFileDBNavigator::RunCancelClick(TObject*)
{
    RunClick(FBtnCancel, "Cancel", nullptr, TServerStep::Cancel, nullptr);
}
