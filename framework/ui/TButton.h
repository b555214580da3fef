#pragma once
// A push button; a click (mouse, Space, or Click from code) fires OnClick.
#include "framework/ui/TWinControl.h"

class QPushButton;

class TButton : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TButton(TComponent* Owner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    // True (the default): a click gives the button the keyboard focus. False: a click leaves
    // the focus where it was (a tool bar's buttons); Tab still reaches the button.
    bool FocusOnClick() const;
    void SetFocusOnClick(bool Value);

    QPushButton* PushButton() const;

protected:
    void TextChanged() override;
    void ApplyColor() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};
