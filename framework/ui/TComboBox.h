#pragma once
// A combo box: an edit box with a drop-down list (or, with csDropDownList, a list only).
// OnChange fires only on the user's typing or choosing; filling the list or setting the
// text or the item index from code fires nothing.
#include "framework/ui/TWinControl.h"

class QComboBox;
class TStringList;
class TStrings;

enum TComboBoxStyle { csDropDown, csDropDownList };
const TTypeInfo* GetTypeInfo(TComboBoxStyle*);

class TComboBox : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TComboBox(TComponent* Owner);
    ~TComboBox() override;

    TStrings* Items() const;
    void SetItems(TStrings* Value);  // copies Value
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    const AnsiString& ImeName() const { return FImeName; }
    void SetImeName(const AnsiString& Value) { FImeName = Value; }
    void Clear();

    // Fires OnChange.
    virtual void Change();
    TNotifyEvent OnChange;

    QComboBox* ComboBox() const;

    void Loaded() override;

protected:
    AnsiString GetText() const override;
    void TextChanged() override;
    void ApplyColor() override;

private:
    void ItemsChanged(TObject* Sender);
    void ConnectEditor();

    TStringList* FItems;  // owned
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    int FLoadedItemIndex = -1;  // the ItemIndex read from a form file, applied once the items are there
    AnsiString FImeName;
};
