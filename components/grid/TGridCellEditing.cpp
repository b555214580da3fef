// The data cell's keyboard and mouse editing: moving the current row with Up, Down and the
// mouse, walking a row with Enter, starting an edit by typing, the save question, and the
// refusal of a record that another user changed.
//
// A post or cancel made here makes the data source lay out every grid's page again, which
// may free rows of cells, this one included (a post from "Insert" drops the insert row).
// After such a call these handlers touch only the grid and cells found again by position.
#include "components/grid/TGridCell.h"

#include <algorithm>

#include "components/binding/TTypingClock.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/Invariants.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/Dialogs.h"
#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"

namespace {

// Shown in the grid cell's context (TranslateText("TGridCell", ...)).
const char* const SaveQuestion = ZFD_TRANSLATE_NOOP("TGridCell", "資料已經被修改!! 是否要儲存 ??");
const char* const ChangedByOther =
    ZFD_TRANSLATE_NOOP("TGridCell", "要修改的這筆資料已經被其他使用者修改過了!!\n\r準備更新目前最新資料!!");

// The data source of Grid when it has a dataset; null otherwise.
TZopFileDataSource* LinkedSource(TZopFileDBGrid* Grid)
{
    TZopFileDataSource* Source = Grid->GetDataSource();
    return Source && Source->GetDataSet() ? Source : nullptr;
}

int CharacterCount(const AnsiString& Utf8)
{
    int Count = 0;
    for (unsigned char Byte : Utf8)
        if ((Byte & 0xC0) != 0x80) ++Count;
    return Count;
}

int RowOf(const TGridCell* Cell)
{
    return Cell ? Cell->GetRow() : -1;
}

void RepaintRow(TZopFileDBGrid* Grid, int Row)
{
    if (Row >= 0) Grid->RepaintSelectedRowCells(Row);
}

// Makes Target's row the highlighted one and focuses Target, moving the record and the bound
// edits with it, so that the cursor, the highlighted row and the edits agree.
void SelectAndFocus(TZopFileDBGrid* Grid, TGridCell* Target)
{
    const int Old = RowOf(Grid->FSelectedCell);
    Grid->FSelectedCell = Target;
    RepaintRow(Grid, Old);
    RepaintRow(Grid, Target->GetRow());
    Target->DataCellSetFocus(false);
    if (TZopFileDataSource* Source = LinkedSource(Grid)) Source->RefreshNavigator();
}

}  // namespace

void TGridCell::TakeEditedText(TZopFileDBGrid* Grid, AnsiString& Field, AnsiString& Text)
{
    Field.clear();
    Text.clear();
    // After Enter has moved the editor along the row, the selection still names the row's
    // first cell; the text belongs to the cell the editor is in.
    TGridCell* Edited = Grid->EditorCell();
    if (Edited) {
        Grid->KeepTypedText();
    } else {
        Edited = Grid->FSelectedCell;
    }
    if (!Edited || !Edited->FIsModify) return;
    Text = Edited->EditorText();
    Edited->FAsString = Text;
    Field = Edited->FColumn->GetDataField();
}

void TGridCell::SaveOrCancel(IFileDataSet* Server, const AnsiString& Field, const AnsiString& Text)
{
    if (MessageDlg(TranslateText("TGridCell", SaveQuestion), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes) {
        // An unmodified cell writes nothing: its field keeps the stored value.
        if (!Trim(Field).empty()) Check(Server->SetFieldValue(OleVariant(Field), OleVariant(Text)));
        Ask(Server, &IFileDataSet::Post);
    } else {
        Check(Server->Cancel());
    }
}

void TGridCell::AskToSave(TZopFileDBGrid* Grid)
{
    IFileDataSet* Server = Grid->Server();
    if (!Server || !StateIs(Server, "Edit")) return;
    AnsiString Field, Text;
    TakeEditedText(Grid, Field, Text);
    SaveOrCancel(Server, Field, Text);
}

void TGridCell::RunRepeatStep(IFileDataSet* Server)
{
    if (!Server) return;
    const int Count = AskInt(Server, &IFileDataSet::GetRepeatCount);
    for (int I = 0; I < Count; ++I) Check(Server->RepeatStep());
}

void TGridCell::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomPanel::KeyDown(Key, Shift);
    TZopFileDBGrid* G = Grid();
    if (FIsTitleCell || !G) return;
    Application->ProcessMessages();
    if (G->FSelectedCell) RepaintRow(G, G->FSelectedCell->GetRow());
    const bool Ctrl = Shift.Contains(ssCtrl);
    if (Key == VK_UP || Key == VK_DOWN) {
        MoveRow(Key);
    } else if (Key == VK_ESCAPE) {
        if (CancelEdit()) Key = 0;
    } else if (Key == VK_PRIOR || Key == VK_NEXT) {
        MovePage(Key == VK_NEXT);
        Key = 0;
    } else if (Ctrl && (Key == VK_HOME || Key == VK_END)) {
        MoveToEnd(Key == VK_END);
        Key = 0;
    } else if (Key == VK_HOME && FCol >= 1) {
        if (TGridCell* Left = G->GetColumns()->GetDataCell(FCol - 1, FRow)) Left->DataCellSetFocus(false);
    }
}

bool TGridCell::CancelEdit()
{
    TZopFileDBGrid* G = Grid();
    IFileDataSet* Server = LinkedSource(G) ? G->Server() : nullptr;
    if (!Server || !(StateIs(Server, "Edit") || StateIs(Server, "Insert"))) return false;
    const int Col = FCol;
    // As the navigator's Cancel: the record goes back to what is stored (an inserted one
    // goes away with its row). The page is laid out again; the editor returns to the
    // highlighted row, so that the keyboard stays in the grid.
    Check(Server->Cancel());
    G->FocusSelectedRow(Col);
    return true;
}

void TGridCell::MoveByKey(const std::function<void(TZopFileDataSource*, IFileDataSet*)>& Move)
{
    TZopFileDBGrid* G = Grid();
    TZopFileDataSource* Source = LinkedSource(G);
    IFileDataSet* Server = Source ? G->Server() : nullptr;
    // Like the arrow keys, these keys do nothing while a new record is entered.
    if (!Server || StateIs(Server, "Insert")) return;
    const int Col = FCol;
    AskToSave(G);
    Move(Source, Server);
    RunRepeatStep(Server);
    Source->RefreshNavigator();
    // The page was laid out again and the editors hidden: the editor goes to the same
    // column of the highlighted row, so that the keyboard stays in the grid.
    G->FocusSelectedRow(Col);
}

void TGridCell::MovePage(bool Down)
{
    TZopFileDBGrid* G = Grid();
    MoveByKey([G, Down](TZopFileDataSource* Source, IFileDataSet* Server) {
        const int Count = AskInt(Server, &IFileDataSet::GetRecordCount);
        const int Rows = G->GetFRowCount();
        TGridCell* First = G->GetColumns()->GetDataCell(0, 0);
        if (Count <= 0 || Rows <= 0 || !First) return;
        // The page moves by its height and the current record with it, as far as the
        // records reach: the highlighted row stays where it is, except at the ends.
        const int Step = Down ? Rows : -Rows;
        const int Current = AskInt(Server, &IFileDataSet::GetRecNo);
        const int Top = First->FRecordPos >= 1 ? First->FRecordPos : First->FFilterPos >= 1 ? First->FFilterPos : Current;
        const int NewTop = std::clamp(Top + Step, 1, std::max(1, Count - Rows + 1));
        const int NewRecord = std::clamp(Current + Step, 1, Count);
        // Every grid lays its page around the record that the key moves to, as after a
        // navigator move; this one shows the page it asked for.
        Source->RefreshDBGridParamsWithNavigatorFirstClick();
        G->FTopDataPos = NewTop;
        Check(Server->MoveTo(OleVariant(NewRecord)));
        Source->PostDisplayData();
    });
}

void TGridCell::MoveToEnd(bool Last)
{
    // As the navigator's First and Last.
    MoveByKey([Last](TZopFileDataSource* Source, IFileDataSet* Server) {
        if (Last) {
            Source->RefreshDBGridParamsWithNavigatorLastClick();
            Check(Server->Last());
        } else {
            Source->RefreshDBGridParamsWithNavigatorFirstClick();
            Check(Server->First());
        }
    });
}

void TGridCell::MoveRow(WORD Key)
{
    TZopFileDBGrid* G = Grid();
    TZopFileDataSource* Source = LinkedSource(G);
    IFileDataSet* Server = Source ? G->Server() : nullptr;
    // A new record is being entered: the arrow keys do nothing.
    if (Server && StateIs(Server, "Insert")) return;
    const bool Up = Key == VK_UP;
    const int Col = FCol, Row = FRow;
    TColumnItem* Column = FColumn;
    const bool WithinPage = Up ? Row >= 1 : Row + 1 <= Column->DataCellCount() - 1;
    if (WithinPage) {
        const int Target = Up ? Row - 1 : Row + 1;
        AskToSave(G);
        const int Old = RowOf(G->FSelectedCell);
        TGridCell* Next = G->GetColumns()->GetDataCell(Col, Target);
        if (!Next) return;  // the save changed the page under the key
        G->FSelectedCell = Next;
        RepaintRow(G, Old);
        RepaintRow(G, Target);
        Next->DataCellSetFocus(false);
        if (Source) Source->ResetDBGridSelectCell(G, Col, Target);
    } else if (Source) {
        // At the edge of the page the page shifts by one record; the server posts a
        // pending edit itself before it moves, and the post collects the editor's text.
        Source->ResetDBGridSelectCell(G, Col, Row);
        G->FTopDataPos = -1;
        G->SetDBGridMoveDataCursor();
        G->FPageUpPending = Up;
        G->FPageDownPending = !Up;
        Check(Up ? Server->Prior() : Server->Next());
        TGridCell* Edge = G->GetColumns()->GetDataCell(Col, Row);
        G->FSelectedCell = Edge;
        RepaintRow(G, Row);
        if (Edge) Edge->DataCellSetFocus(false);
    } else {
        return;
    }
    if (Source) {
        Source->ResetAllGridGridTopDataPos();
        RunRepeatStep(G->Server());
        Source->RefreshNavigator();
    }
    ZFD_CHECK_INVARIANTS(*G);
}

void TGridCell::KeyPress(wchar_t& Key)
{
    if (FIsTitleCell) return;
    TCustomPanel::KeyPress(Key);
    if (Key == 13)
        EnterKey();
    else if (Key != 0)
        TypeKey(Key);
}

void TGridCell::EnterKey()
{
    TZopFileDBGrid* G = Grid();
    if (!G) return;
    TZopFileDataSource* Source = G->GetDataSource();
    if (Source && !Source->GetDataSet()) return;
    IFileDataSet* Server = G->Server();
    if (!Server) return;
    const int Col = FCol, Row = FRow;
    TGridColumns* Columns = G->GetColumns();
    const bool Wrap = Col == Columns->GetCount() - 1;
    const int TargetCol = Wrap ? 0 : Col + 1;
    const int TargetRow = Wrap ? Row + 1 : Row;
    TColumnItem* Column = FColumn;

    if (StateIs(Server, "Browse")) {
        // Enter walks through the page, to row 0 after its last cell. A new row is a new
        // current record: the highlight and the bound edits go with it.
        if (TGridCell* Target = Columns->GetDataCell(TargetCol, TargetRow)) {
            if (!Wrap) {
                Target->DataCellSetFocus(false);
            } else {
                if (G->OnGridNewRecord) G->OnGridNewRecord(G);
                SelectAndFocus(G, Target);
            }
        } else if (TGridCell* First = Columns->GetDataCell(0, 0)) {
            if (G->OnGridNewDataPage) G->OnGridNewDataPage(G);
            SelectAndFocus(G, First);
        }
    }
    const bool Inserting = StateIs(Server, "Insert");
    if (Inserting || StateIs(Server, "Edit")) {
        // Enter takes the cell's text and moves on; at the end of the row the record is
        // posted (the post collects the row).
        const bool TargetExists = Columns->GetDataCell(TargetCol, TargetRow) != nullptr;
        const bool OnePastLast = !TargetExists && TargetRow == Column->DataCellCount();
        if (!TargetExists && !OnePastLast) return;
        InitDataCellValue();
        if (!Wrap) {
            if (TGridCell* Target = Columns->GetDataCell(TargetCol, TargetRow)) Target->DataCellSetFocus(true);
            return;
        }
        if (G->OnGridNewRecord) G->OnGridNewRecord(G);
        Ask(Server, &IFileDataSet::Post);
        // This cell may be gone now; cells are found again by their position. A posted new
        // record is the current one and its row is highlighted (the page was laid around
        // it): the editor goes to its first cell. After an edit, Enter goes on to the next
        // row, and the record and the bound edits go with it.
        if (Inserting) {
            if (TGridCell* Selected = G->FSelectedCell)
                if (TGridCell* Target = G->GetColumns()->GetDataCell(0, Selected->GetRow())) Target->DataCellSetFocus(true);
        } else if (TargetExists) {
            if (TGridCell* Target = G->GetColumns()->GetDataCell(TargetCol, TargetRow)) SelectAndFocus(G, Target);
        }
    }
}

void TGridCell::TypeKey(wchar_t& Key)
{
    TZopFileDBGrid* G = Grid();
    if (!G || G->GetIsReadOnly() || !LinkedSource(G)) return;
    IFileDataSet* Server = G->Server();
    if (!Server || AskBool(Server, &IFileDataSet::GetDataReadOnly)) return;
    FIsModify = true;
    // The row typed into is the row that the next post collects.
    G->FSelectedRow = FRow;
    if (!StateIs(Server, "Browse")) return;  // the character goes on to the editor
    if (AskBool(Server, &IFileDataSet::GetRecordChangedByOther) || G->IsThisRowDataIsDifferentWithFieldData(FRow)) {
        RefuseChangedRecord(Key);
        return;
    }
    Check(Server->Edit());
    // The editor does not take the character itself: it is added here once, after the
    // cell's text, in the editor this column shows (the pick list's box for a pick list).
    // Every printable character counts, a blank too (" Trading" typed after a company's
    // name keeps its blank); a control character (Backspace) only starts the edit.
    const bool Printable = Key >= 0x20 && Key != 0x7F;
    AnsiString Typed;
    AppendUtf8(Typed, static_cast<char32_t>(Key));
    if (Printable) {
        if (FColumn->GetEditStyle() == CES_PickList) {
            // Taken as typed into the pick list: the cell takes the text and the column hears
            // of the change, as for any later character.
            TComboBox* Combo = G->FCellComboBox;
            Combo->SetText(Combo->Text() + Typed);
            DoOnComboBoxChange(Combo);
        } else {
            TEdit* Edit = G->FCellEdit;
            Edit->SetText(Edit->Text() + Typed);
            Edit->SetModified(true);
            FTypedAt = TTypingClock::Tick();
            Edit->SetSelStart(CharacterCount(Edit->Text()));
        }
    }
    Key = 0;
}

void TGridCell::RefuseChangedRecord(wchar_t& Key)
{
    TZopFileDBGrid* G = Grid();
    IFileDataSet* Server = G->Server();
    FIsModify = false;
    // The refused character is not typed: it would mark the hidden editor's cell modified.
    Key = 0;
    ShowMessage(TranslateText("TGridCell", ChangedByOther));
    if (!AskBool(Server, &IFileDataSet::GetFiltered)) {
        if (G->FSelectedCell) G->FSelectedCell->DataCellSetFocus(true);
        // Re-read the page so that the row shows what is stored now.
        G->GetDataSource()->PostDisplayData();
    } else {
        // Switching the filter off and on makes the server compute the view again.
        Check(Server->SetFiltered(OleVariant(false)));
        Check(Server->SetFiltered(OleVariant(true)));
    }
    G->FCellEdit->Hide();
    G->FCellComboBox->Hide();
}

void TGridCell::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    TZopFileDBGrid* G = Grid();
    if (FIsTitleCell || !G) return;
    const int Col = FCol, Row = FRow;
    const int Old = RowOf(G->FSelectedCell);
    TZopFileDataSource* Source = LinkedSource(G);
    IFileDataSet* Server = Source ? G->Server() : nullptr;
    if (Server && Source->GetDataSet()->GetActive() && (StateIs(Server, "Edit") || StateIs(Server, "Insert"))) {
        // What was typed goes into its cell first, wherever the click lands: a click in the
        // row being edited keeps it, a click elsewhere asks whether to save it.
        AnsiString Field, Text;
        TakeEditedText(G, Field, Text);
        if (G->PendingRow() != Row) {
            // The click leaves the record being edited or inserted.
            SaveOrCancel(Server, Field, Text);
            // The page was laid out again: a row that went away takes the click with it.
            if (G->GetColumns()->GetDataCell(Col, Row) != this) return;
        }
    }
    G->FSelectedCell = this;
    RepaintRow(G, Old);
    RepaintRow(G, Row);
    if (Source) Source->ResetDBGridSelectCell(G, Col, Row);
    DataCellSetFocus(false);
    if (Server && AskBool(Server, &IFileDataSet::GetActive)) {
        if (!AskBool(Server, &IFileDataSet::GetFiltered)) {
            if (FRecordPos >= 0) {
                Check(Server->MoveTo(OleVariant(FRecordPos)));
                Source->PostDisplayDataWithOutDbGird();
            }
        } else if (FFilterPos >= 1) {
            Check(Server->MoveTo(OleVariant(FFilterPos)));
            Source->PostDisplayDataWithOutDbGird();
        }
        RunRepeatStep(Server);
    }
    if (Source) {
        Source->ResetAllGridGridTopDataPos();
        Source->RefreshNavigator();
    }
}
