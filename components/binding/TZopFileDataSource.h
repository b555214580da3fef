#pragma once
// TZopFileDataSource joins one dataset to any number of bound controls (edits, texts,
// navigators, grids) and pushes the current record, the state and the record position to
// them when the dataset reports a change. The dataset reports to it as its TDataSetListener,
// and has it write the bound controls into the record when the server collects them.
//
// Invariants:
// - FCtrlList holds each registered control at most once, in order of registration; the
//   entry's string is the control's name when it registered (never read back), its object
//   the control (not owned). A registered control that is destroyed leaves the list at
//   once (the data source asks to be told with FreeNotification), so no walk reaches it.
// - Every walk over FCtrlList takes the number of entries once and tells the kinds apart
//   by exact class: an instance of a subclass of a bound control is never refreshed.
// - FDataSet's reverse link (its DataSource) is this object or another data source that
//   linked it later; on destruction this object clears it when it still points here, so
//   no notification reaches a destroyed data source.
//
// Threading: GUI thread only. Handlers called during a push must not register or
// unregister controls.
#include <vector>

#include "components/dataset/TDataSetListener.h"
#include "framework/core/TComponent.h"

class IFileDataSet;
class TLatestTyping;
class TStringList;
class TZopFileDataSet;
class TZopFileDBEdit;
class TZopFileDBText;
class TZopFileDBNavigator;
class TZopFileDBGrid;

class TZopFileDataSource : public TComponent, public TDataSetListener {
    DECLARE_CLASSINFO()
public:
    explicit TZopFileDataSource(TComponent* Owner);
    ~TZopFileDataSource() override;

    void Notification(TComponent* Component, TOperation Operation) override;

    // Published: the linked dataset (not owned). Setting it relinks both ends and, when the
    // dataset is active, pushes its current record.
    TZopFileDataSet* GetDataSet() const { return FDataSet; }
    void SetFDataSet(TZopFileDataSet* Value);

    // Registration. Null or an already registered control does nothing.
    void AddNewDBEdit(TZopFileDBEdit* Edit);
    void AddNewDBText(TZopFileDBText* Text);
    void AddNewDBNavigator(TZopFileDBNavigator* Navigator);
    void AddNewDBGrid(TZopFileDBGrid* Grid);
    // Null does nothing; a control that is not registered raises EStringListError.
    void RemoveDBEdit(TZopFileDBEdit* Edit);
    void RemoveDBText(TZopFileDBText* Text);
    void RemoveDBNavigator(TZopFileDBNavigator* Navigator);
    void RemoveDBGrid(TZopFileDBGrid* Grid);

    // The first registered control whose current name equals Name exactly; null if none.
    TComponent* CtrlByName(const AnsiString& Name) const;

    // Pushes the current record to every registered edit, text and grid (nothing while the
    // dataset is in "Edit"; while it is in "Insert" the edits and texts are blanked).
    void PostDisplayData() override;
    // The same for edits and texts only, which show the record under the cursor also in
    // "Insert"; grids keep their page.
    void PostDisplayDataWithOutDbGird();

    // Keeps every registered navigator's enabled buttons in step with the state and the
    // record position.
    void RefreshNavigator() override;

    // Grid paging and structure (TZopFileDataSourceGrids.cpp): the grids' rows, insert row
    // and editors follow the state; their pages follow the cursor.
    void RefreshDBGrid() override;
    void RefreshDBGridParamsWithNavigatorFirstClick();
    void RefreshDBGridParamsWithNavigatorLastClick();
    void RefreshDBGridParamsWithNavigatorNextClick();
    void RefreshDBGridParamsWithNavigatorPriorClick();
    void RefreshDBGridParamsWithNavigatorPostClick();
    void RefreshDBGridParamsWithNavigatorDeleteClick();
    void RefreshDBGridParamsWhenDataFilterChanged() override;
    // The dataset's record steps from code, prepared and finished as the navigator's buttons
    // prepare and finish them.
    void BeforeRecordStep(TRecordStep Step) override;
    void AfterRecordStep(TRecordStep Step) override;
    // Shows the Value that code wrote into Field in the bound edits and texts of that field
    // (the server reads a record being inserted only once it is posted); an edit's own
    // typing of it is replaced, so that what is shown is what is posted.
    void FieldWritten(const AnsiString& Field, const AnsiString& Value) override;
    void ResetDBGridSelectCell(TZopFileDBGrid* SourceGrid, int Column, int Row);
    void ResetAllGridGridTopDataPos();
    // Others' commits were taken in (the live view): each grid's page keeps its top record
    // (Before and After: the grids' tops before and after, as PageTops answers them) while
    // that is there, else starts at the record now at its place; a page that would not show
    // the current record is laid around it. No page ends in blank rows that records could fill.
    void RefreshDBGridParamsWhenOthersCommitted(const std::vector<int>& Before, const std::vector<int>& After);

    // Writes the bound edits' texts and the grids' rows being typed into into the record
    // being inserted or edited (TZopFileDataSourceCollect.cpp); the dataset's
    // DoInitDataControlData, when the server collects the bound controls' values.
    void WriteBoundControls() override;

    // The live view (TZopFileDataSourceLive.cpp): a bound edit or grid holds typed text that
    // is not posted; the grids' top records; others' commits shown as after the dataset's own
    // operations (navigators, grids' structure, then the record and the pages), each grid's
    // page keeping its top record while that is there and the current record on it.
    bool HoldsTypedText() const override;
    std::vector<int> PageTops() const override;
    void ShowOthersCommits(const std::vector<int>& Before, const std::vector<int>& After) override;

    // The current record's value of Field for Control (a bound edit, text or grid); a
    // failure raises with Control's name and the field in the message.
    AnsiString FieldValueFor(const TComponent* Control, const AnsiString& Field) const;

    // The registered controls (their objects not owned).
    TStringList* FCtrlList = nullptr;  // owned

private:
    void AddControl(TComponent* Control);
    void RemoveControl(TComponent* Control);
    // The server of the linked dataset (FDataSet must be set).
    IFileDataSet* Server() const;
    // The body of PostDisplayData (WithGrids) and PostDisplayDataWithOutDbGird.
    void ShowRecord(bool WithGrids);
    void ShowInEdit(TZopFileDBEdit* Edit);
    // Shows Value in Edit, with its get-data handlers around it.
    static void ShowValueInEdit(TZopFileDBEdit* Edit, const AnsiString& Value);
    void ShowInText(TZopFileDBText* Text);
    // The page refresh of one grid: lays out and fills its page of records.
    void RefreshGridPage(TZopFileDBGrid* Grid);
    // Fills the grid's rows from FirstRow on, the server standing on the page's top record:
    // each row's record and fields, shown again from the rows the page showed when it only
    // shifted in the same records epoch (never the Current record's row), else read.
    void FillGridRows(TZopFileDBGrid* Grid, int FirstRow, int Current, int Records, bool Filtered);
    // Which control of a field was typed into last, over the first Count registered controls.
    TLatestTyping LatestTyping(int Count) const;
    // Writes the first Count registered edits and grids into the new (Inserting) or edited record.
    void WriteControls(int Count, bool Inserting);
    void WriteEdit(TZopFileDBEdit* Edit, bool Inserting, const TLatestTyping& Latest);

    TZopFileDataSet* FDataSet = nullptr;  // not owned
};
