#pragma once
// The texts of a form that are translated when it loads to run: the values of its
// translatable properties (captions, titles; TPropInfo::Translatable), of the form itself,
// of every component it owns and of their sub-objects and collection items. A form loaded
// in design state holds them as its file has them, which is what a translator translates.
#include <vector>

#include "framework/core/Exceptions.h"

class TComponent;

// Each text once, in the order met; texts without a letter (empty, blank, a number) are left
// out, since they read the same in every language.
std::vector<AnsiString> FormTexts(TComponent* Root);
