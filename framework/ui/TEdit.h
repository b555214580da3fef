#pragma once
// A single-line edit box. OnChange fires on every change of its text, from the user or
// from code.
#include "framework/ui/TWinControl.h"

class QLineEdit;

class TEdit : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TEdit(TComponent* Owner);

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);  // 0: no limit
    // The input method to use; kept for form files (the platform picks the input method).
    const AnsiString& ImeName() const { return FImeName; }
    void SetImeName(const AnsiString& Value) { FImeName = Value; }
    bool ReadOnly() const;
    void SetReadOnly(bool Value);

    // Selection, in characters. A start beyond the text puts the caret at its end; a length
    // beyond it selects to the end.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    AnsiString SelText() const;
    void SelectAll();
    void Clear() { SetText(AnsiString()); }
    // True once the user changed the text (typing, pasting); text set by code clears it.
    bool Modified() const;
    void SetModified(bool Value);

    // Fires OnChange.
    virtual void Change();
    TNotifyEvent OnChange;

    QLineEdit* LineEdit() const;

protected:
    AnsiString GetText() const override;
    void TextChanged() override;
    void ApplyColor() override;

private:
    int FMaxLength = 0;
    AnsiString FImeName;
};
