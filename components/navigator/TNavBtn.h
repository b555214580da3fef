#pragma once
// One button of the navigator bar: a bitmap button 60 by 28 at the top of the bar, whose
// glyph holds two images (enabled and disabled).
#include "framework/ui/TBitBtn.h"

class TNavBtn : public TBitBtn {
    DECLARE_CLASSINFO()
public:
    explicit TNavBtn(TComponent* Owner);
};
