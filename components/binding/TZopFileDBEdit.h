#pragma once
// TZopFileDBEdit: a single-line edit bound to one field of its data source's dataset. The
// data source shows the field's value in it; the dataset writes its text back into the
// record when the server collects the bound controls (while editing, only a text that the
// user changed, and not when a grid cell of the same field was typed into later). Typing
// into it while the dataset is in "Browse" (on a non-key field) starts an edit; Enter moves
// the focus to the next control. Only typing starts an edit: text set by code (the data
// source filling the edit) never reaches KeyPress and leaves Modified false.
#include <cstdint>

#include "components/binding/TZopFileDbControlFieldStr.h"
#include "framework/ui/TEdit.h"

class TZopFileDataSource;

using TEditBeforeSetDataEvent = TMethodPtr<void(TComponent* Sender, AnsiString OldValue, AnsiString& NewValue)>;
using TEditAfterSetDataEvent = TMethodPtr<void(TComponent* Sender, AnsiString FieldValue)>;
using TEditBeforeGetDataEvent = TMethodPtr<void(TComponent* Sender, AnsiString FieldValue)>;
using TEditAfterGetDataEvent = TMethodPtr<void(TComponent* Sender, AnsiString FieldValue)>;

class TZopFileDBEdit : public TEdit {
    DECLARE_CLASSINFO()
public:
    explicit TZopFileDBEdit(TComponent* Owner);

    void Notification(TComponent* Component, TOperation Operation) override;

    TZopFileDataSource* GetDataSource() const { return FDataSource; }
    // Unregisters from the old data source and registers with the new one; shows nothing
    // until the next push.
    void SetFDataSource(TZopFileDataSource* Value);
    const TZopFileDbControlFieldStr& GetDataField() const { return FDataField; }
    // Shows the field's value at once when the dataset is active.
    void SetFFieldName(const TZopFileDbControlFieldStr& Value);

    // Starts an edit on a typed character in "Browse"; Enter moves the focus on.
    void KeyPress(wchar_t& Key) override;
    // Esc cancels the record being edited or inserted, as the navigator's Cancel does.
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // A change that the user made (Modified) takes the next tick of the typing clock.
    void Change() override;
    // The tick of the user's last change; 0 when the user never changed the text. It counts
    // only while Modified is true: text set by code clears Modified.
    std::uint64_t TypedAt() const { return FTypedAt; }
    // True while the edit holds text that the user typed (or pasted) and that no record took
    // yet: what the dataset writes at a post, and what the live view leaves alone.
    bool HoldsTypedText() const { return Modified() && FTypedAt != 0; }
    // Gives the focus to the next control of the parent's tab order that can take it (the
    // first control after the last one).
    void FocusNextControl();

    TEditBeforeSetDataEvent OnBeforeSetData;
    TEditAfterSetDataEvent OnAfterSetData;
    TEditBeforeGetDataEvent OnBeforeGetData;
    TEditAfterGetDataEvent OnAfterGetData;

private:
    TZopFileDataSource* FDataSource = nullptr;  // not owned
    TZopFileDbControlFieldStr FDataField;
    std::uint64_t FTypedAt = 0;
};
