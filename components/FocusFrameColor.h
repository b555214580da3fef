#pragma once
// The colour that frames the bound control holding the keyboard focus (a bound edit, the
// grid's in-place editor, the navigator bar itself), so that the user always sees where the
// keys go.
#include "framework/ui/Colors.h"

constexpr TColor FocusFrameColor = TColor(0xD26400);
