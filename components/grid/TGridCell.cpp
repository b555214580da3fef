#include "components/grid/TGridCell.h"

#include "components/binding/TTypingClock.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"

namespace {

constexpr TColor PlainCellColor = clWhite;
constexpr TColor AlternateRowColor = TColor(0xE1F5DC);
constexpr TColor CellBorderColor = TColor(0xC0C0C0);
constexpr int TitleMargin = 12;  // a title cell grows to its title plus this
constexpr int TextMargin = 5;    // a column grows to its widest text plus this

// Where a text of width W starts in a cell of width Width: 2 from the left, centred, or 2
// from the right (the alignments are numbered alike for titles and data).
int AlignedX(int Alignment, int Width, int W)
{
    if (Alignment == 1) return Width / 2 - W / 2;
    if (Alignment == 2) return Width - W - 2;
    return 2;
}

}  // namespace

const TClassInfo* TGridCell::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TGridCell, TCustomPanel>("TGridCell")
                                       .Property("IsTitleCell", &TGridCell::GetIsTitleCell, &TGridCell::SetFIsTitleCell)
                                       .Default(false)
                                       .Property("IsModify", &TGridCell::GetIsModify, &TGridCell::SetFIsModify)
                                       .Default(false)
                                       .Property("Col", &TGridCell::GetCol, &TGridCell::SetFCol)
                                       .Property("Row", &TGridCell::GetRow, &TGridCell::SetFRow)
                                       .Build();
    return &Info;
}

TGridCell::TGridCell(TComponent* Owner) : TCustomPanel(Owner)
{
    SetInitialBounds(0, 0, 64, 26);
    SetTabStop(true);
}

TZopFileDBGrid* TGridCell::Grid() const
{
    return FColumn ? FColumn->Grid() : nullptr;
}

TControl* TGridCell::AccessibleTableControl() const
{
    return Grid();
}

void TGridCell::SetFIsTitleCell(bool Value)
{
    FIsTitleCell = Value;
    if (!Value) return;
    SetTabStop(false);
    OnEnter = nullptr;
    OnExit = nullptr;
}

void TGridCell::SetAsString(const AnsiString& Value)
{
    const bool Changed = Value != FAsString;
    FAsString = Value;
    if (FColumn && FColumn->CellGetValue) FColumn->CellGetValue(FColumn, this);
    FitDataWidth();
    if (Changed) Invalidate();
}

void TGridCell::PutCellData(TGridCell* Source)
{
    if (!Source) return;
    SetFIsTitleCell(Source->FIsTitleCell);
    SetFIsModify(Source->FIsModify);
    SetFCol(Source->FCol);
    SetFRow(Source->FRow);
    FRecordPos = Source->FRecordPos;
    FFilterPos = Source->FFilterPos;
    FAsString = Source->FAsString;
    FOldValue = Source->FOldValue;
    FitDataWidth();
    Invalidate();
}

void TGridCell::ClearCellData()
{
    FRecordPos = -1;
    FFilterPos = -1;
    FAsString.clear();
    FOldValue.clear();
    FitDataWidth();
    Invalidate();
}

AnsiString TGridCell::EditorText() const
{
    TZopFileDBGrid* G = Grid();
    if (!G) return AnsiString();
    if (FColumn->GetEditStyle() == CES_PickList) return G->FCellComboBox->Text();
    return G->FCellEdit->Text();
}

void TGridCell::InitDataCellValue()
{
    if (!FIsModify) return;
    if (TZopFileDBGrid* G = Grid())
        if (IFileDataSet* Server = G->Server())
            if (StateIs(Server, "Browse")) Check(Server->Edit());
    SetAsString(EditorText());
}

void TGridCell::DataCellSetFocus(bool PositionOnly)
{
    if (FIsTitleCell) return;
    TZopFileDBGrid* G = Grid();
    if (!G) return;
    G->FSelectedRow = FRow;
    IFileDataSet* Server = G->Server();
    if (Server && AskBool(Server, &IFileDataSet::GetActive)) {
        const int Pos = FRecordPos >= 0 ? FRecordPos : FFilterPos;
        if (Pos >= 0) {
            if (PositionOnly) {
                Check(Server->SetRecNo(OleVariant(Pos)));
            } else {
                Check(Server->MoveTo(OleVariant(Pos)));
                G->GetDataSource()->PostDisplayDataWithOutDbGird();
            }
        }
    }
    if (G->ComponentState().Contains(csDesigning)) return;
    // Text typed into the editor stays with the cell that holds it when the editor moves.
    G->KeepTypedText();
    TEdit* Edit = G->FCellEdit;
    TComboBox* Combo = G->FCellComboBox;
    TButton* Button = G->FCellButton;
    if (Combo->Parent()) {
        Combo->SetText(AnsiString());
        Combo->SetItemIndex(-1);
    }
    Edit->Hide();
    Combo->Hide();
    Button->Hide();
    Application->ProcessMessages();
    FOldValue = FAsString;
    TWinControl* Shown = Edit;
    switch (FColumn->GetEditStyle()) {
    case CES_None:
        OpenEditBox();
        break;
    case CES_PickList:
        Combo->SetImeName(FColumn->GetImeName());
        Combo->SetFont(Font());
        Combo->SetParent(this);
        Combo->SetAlign(alClient);
        Combo->SetText(FAsString);
        Combo->Items()->Clear();
        Combo->OnKeyPress = TKeyPressEvent(this, &TGridCell::DoKeyPressed);
        Combo->OnKeyDown = TKeyEvent(this, &TGridCell::DoKeyDowned);
        Combo->OnChange = TNotifyEvent(this, &TGridCell::DoOnComboBoxChange);
        Combo->Show();
        if (FColumn->CellPickListInit)
            FColumn->CellPickListInit(FColumn);
        else
            Combo->Items()->AddStrings(FColumn->GetFPickUpList());
        Shown = Combo;
        break;
    case CES_Ellipsis:
        Button->SetWidth(20);
        Button->SetAlign(alRight);
        Button->SetParent(this);
        Button->Show();
        Button->OnClick = TNotifyEvent(this, &TGridCell::DoOnButtonClick);
        OpenEditBox();
        break;
    }
    // The grid scrolls to keep the cell being edited in view: nobody types blind.
    G->ScrollInView(this);
    // The focus goes to the editor only on a window that shows; a hidden form cannot take it.
    TWinControl* Host = G->Parent();
    if (!Host || !Host->Visible()) return;
    if (FColumn->GetEditStyle() == CES_Ellipsis && Button->CanFocus()) Button->SetFocus();
    if (Shown->CanFocus()) Shown->SetFocus();
}

void TGridCell::OpenEditBox()
{
    TEdit* Edit = Grid()->FCellEdit;
    Edit->SetImeName(FColumn->GetImeName());
    Edit->SetParent(this);
    Edit->Show();
    Edit->OnKeyPress = TKeyPressEvent(this, &TGridCell::DoKeyPressed);
    Edit->OnKeyDown = TKeyEvent(this, &TGridCell::DoKeyDowned);
    Edit->SetFont(Font());
    Edit->SetText(FAsString);
    Edit->OnChange = TNotifyEvent(this, &TGridCell::DoEditorChanged);
    Edit->SetAlign(alClient);
}

void TGridCell::DoKeyDowned(TObject*, WORD& Key, TShiftState Shift)
{
    KeyDown(Key, Shift);
}

void TGridCell::DoKeyPressed(TObject*, wchar_t& Key)
{
    KeyPress(Key);
}

void TGridCell::DoOnButtonClick(TObject*)
{
    if (FColumn && FColumn->CellBtnPressed) FColumn->CellBtnPressed(FColumn, this);
}

void TGridCell::DoEditorChanged(TObject*)
{
    TZopFileDBGrid* G = Grid();
    if (G && G->FCellEdit->Modified()) FTypedAt = TTypingClock::Tick();
}

void TGridCell::DoOnComboBoxChange(TObject*)
{
    FTypedAt = TTypingClock::Tick();
    SetFIsModify(true);
    InitDataCellValue();
    if (FColumn && FColumn->CellComboBoxSelected) FColumn->CellComboBoxSelected(FColumn, this);
}

int TGridCell::TextWidthOf(const AnsiString& Text)
{
    int Width = 0, Height = 0;
    Measure(Text, Width, Height);
    return Width;
}

void TGridCell::Measure(const AnsiString& Text, int& Width, int& Height)
{
    if (FMeasuredWidth < 0 || Text != FMeasuredText) {
        // The canvas keeps the cell's font: every change of the font is passed on to it.
        TCanvas* C = Canvas();
        FMeasuredText = Text;
        FMeasuredWidth = C->TextWidth(Text);
        FMeasuredHeight = C->TextHeight(Text);
    }
    Width = FMeasuredWidth;
    Height = FMeasuredHeight;
}

void TGridCell::FitTitleWidth()
{
    if (!FColumn || !FIsTitleCell) return;
    const int W = TextWidthOf(FColumn->GetTitle());
    if (W >= Width()) SetWidth(W + TitleMargin);
}

void TGridCell::FitDataWidth()
{
    if (!FColumn || FIsTitleCell) return;
    TGridCell* Title = FColumn->FTitleCell;
    const int W = TextWidthOf(FAsString);
    if (Title->Width() >= W) {
        SetWidth(Title->Width());
        return;
    }
    if (Width() >= W) return;
    // The text does not fit: the whole column grows and everything right of it moves.
    const int NewWidth = W + TextMargin;
    FColumn->OffsetCellLeftPos(NewWidth - Title->Width());
    Title->SetWidth(NewWidth);
    FColumn->ResetDataCellsWidth(NewWidth);
}

void TGridCell::FontChanged()
{
    FMeasuredWidth = -1;
    TCustomPanel::FontChanged();
    if (!FColumn) return;
    if (FIsTitleCell)
        FColumn->FitCellWidths();
    else
        FitDataWidth();
}

void TGridCell::Paint()
{
    Canvas()->SetFont(Font());
    if (FIsTitleCell)
        PaintTitle();
    else
        PaintData();
}

void TGridCell::PaintTitle()
{
    TCustomPanel::Paint();
    if (!FColumn) return;
    const AnsiString& Title = FColumn->GetTitle();
    if (Trim(Title).empty()) return;
    int W = 0, H = 0;
    Measure(Title, W, H);
    const int X = AlignedX(FColumn->GetTitleAlign(), Width(), W), Y = Height() / 2 - H / 2;
    // On the background painted already: the text needs no fill of its own (which would
    // measure it again).
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->TextRect(TRect{X, Y, X + W, Y + H}, X, Y, Title);
}

void TGridCell::PaintData()
{
    TCanvas* C = Canvas();
    TColor Background = FColumn && FColumn->GetUseColumnColor() ? FColumn->GetColumnColor() : PlainCellColor;
    if ((FRow + 1) % 2 == 0) Background = AlternateRowColor;
    C->Pen()->SetColor(CellBorderColor);
    TZopFileDBGrid* G = Grid();
    if (G && G->FSelectedCell && FRow < G->GetFRowCount() && G->FSelectedCell->FRow == FRow)
        Background = G->GetRecordFocusColor();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Background);
    C->Rectangle(0, 0, Width(), Height());
    if (FAsString.empty()) return;
    int W = 0, H = 0;
    Measure(FAsString, W, H);
    const int X = AlignedX(FColumn ? FColumn->GetColumnAlign() : CA_Left, Width(), W), Y = Height() / 2 - H / 2;
    C->Brush()->SetStyle(bsClear);  // on the background just painted, as the title
    C->TextRect(TRect{X, Y, X + W, Y + H}, X, Y, FAsString);
}
