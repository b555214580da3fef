#pragma once
// TZopFileDBNavigator: a bar of ten buttons that drive the server of the dataset linked to
// its data source. Each click fires OnBeforeNavBtnClick, calls one server operation and
// fires OnAfterNavBtnClick; the browse buttons, Delete and Post have the data source prepare
// the grids' paging first, and the browse buttons have it refresh the navigators after.
// Which buttons are enabled is decided by the data source (EnableButtons), never here.
//
// Invariants:
// - The ten buttons exist from the end of construction to destruction, parented to the
//   bar, owned by it (no component owner) and freed by it in field order.
// - The bar's height is 31 after every resize and after loading.
// - FDataSource is the data source the bar registered with, or null; when the data source
//   is destroyed the bar drops it (and the data source drops the bar when the bar goes).
//
// Threading: GUI thread only.
#include "framework/ui/TPanel.h"

class TBitmap;
class TNavBtn;
class TTypingPlace;
class TZopFileDataSource;

using TNavBtnPressedEvent = TMethodPtr<void(TComponent* Sender, AnsiString BtnName)>;

// The published picture, caption and public enabled accessors of one button.
#define ZOP_NAV_BUTTON_ACCESSORS(X)                                        \
    TBitmap* Get##X##Pic() const;                                          \
    void Set##X##Pic(TBitmap* Value);                                      \
    AnsiString Get##X##Caption() const;                                    \
    void Set##X##Caption(const AnsiString& Value);                         \
    bool Get##X##Enabled() const;                                          \
    void Set##X##Enabled(bool Value);

class TZopFileDBNavigator : public TPanel {
    DECLARE_CLASSINFO()
public:
    explicit TZopFileDBNavigator(TComponent* Owner);
    ~TZopFileDBNavigator() override;

    void Notification(TComponent* Component, TOperation Operation) override;
    void Loaded() override;
    // Keeps the height at 31; the panel's OnResize never fires.
    void ReSize();

    bool GetConfirmDelete() const { return FConfirmDelete; }
    void SetFConfirmDelete(bool Value) { FConfirmDelete = Value; }
    TZopFileDataSource* GetDataSource() const { return FDataSource; }
    // Refreshes and unregisters at the old data source, registers and refreshes at the new.
    void SetFDataSource(TZopFileDataSource* Value);

    ZOP_NAV_BUTTON_ACCESSORS(First)
    ZOP_NAV_BUTTON_ACCESSORS(Prior)
    ZOP_NAV_BUTTON_ACCESSORS(Next)
    ZOP_NAV_BUTTON_ACCESSORS(Last)
    ZOP_NAV_BUTTON_ACCESSORS(Add)
    ZOP_NAV_BUTTON_ACCESSORS(Edit)
    ZOP_NAV_BUTTON_ACCESSORS(Delete)
    ZOP_NAV_BUTTON_ACCESSORS(Query)
    ZOP_NAV_BUTTON_ACCESSORS(Save)
    ZOP_NAV_BUTTON_ACCESSORS(Cancel)

    void EnableButtons(bool First, bool Prior, bool Next, bool Last, bool Add, bool Edit, bool Delete, bool Query,
                       bool Save, bool Cancel);

    void RunFirstClick(TObject* Sender);
    void RunPriorClick(TObject* Sender);
    void RunNextClick(TObject* Sender);
    void RunLastClick(TObject* Sender);
    void RunAddClick(TObject* Sender);
    void RunEditClick(TObject* Sender);
    void RunDeleteClick(TObject* Sender);
    void RunQueryClick(TObject* Sender);
    void RunSaveClick(TObject* Sender);
    void RunCancelClick(TObject* Sender);

    TNavBtn* FBtnFirst = nullptr;   // owned
    TNavBtn* FBtnPrior = nullptr;   // owned
    TNavBtn* FBtnNext = nullptr;    // owned
    TNavBtn* FBtnLast = nullptr;    // owned
    TNavBtn* FBtnAdd = nullptr;     // owned
    TNavBtn* FBtnEdit = nullptr;    // owned
    TNavBtn* FBtnDelete = nullptr;  // owned
    TNavBtn* FBtnQuery = nullptr;   // owned
    TNavBtn* FBtnSave = nullptr;    // owned
    TNavBtn* FBtnCancel = nullptr;  // owned
    bool FConfirmDelete = true;
    TZopFileDataSource* FDataSource = nullptr;  // not owned
    TNavBtnPressedEvent FOnBeforeNavBtnClick;
    TNavBtnPressedEvent FOnAfterNavBtnClick;

protected:
    void Resize() override { ReSize(); }
    // The bar itself holds the keyboard focus after a click whose button became disabled; it
    // is then framed in the focus colour, as a focused edit is.
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;

private:
    using TDataSourceStep = void (TZopFileDataSource::*)();
    enum class TServerStep { None, First, Prior, Next, Last, Insert, Edit, Delete, Post, Cancel };
    // The frame of every click: paging preparation, before event, server step, after event,
    // refresh. Nothing at all without a data source and dataset.
    void RunClick(TNavBtn* Button, const char* BtnName, TDataSourceStep Before, TServerStep Step,
                  TDataSourceStep After);
    void RunServerStep(TServerStep Step);

    // After a click the focus goes back to where the user was typing when the button was
    // clicked (the buttons take no focus on a click; a grid whose editor the click hid opens
    // it again in the highlighted row) or, failing that, stays on the bar: on Clicked when it
    // is still enabled. It never lands on an unrelated control.
    void ReturnFocus(const TTypingPlace& Place, TNavBtn* Clicked);
};

#undef ZOP_NAV_BUTTON_ACCESSORS
