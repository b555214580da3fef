#pragma once
// A group box: a frame with a caption around its child controls.
#include "framework/ui/TWinControl.h"

class TGroupBox : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TGroupBox(TComponent* Owner);

protected:
    void TextChanged() override;
};
