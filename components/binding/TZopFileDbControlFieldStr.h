#pragma once
// The type of every DataField property (bound edit, bound text, grid column): a text with a
// type identity of its own, so that the design-time field-name editor attaches to these
// properties alone.
#include "framework/core/TypeInfo.h"

struct TZopFileDbControlFieldStrTag {
    static constexpr const char* Name = "TZopFileDbControlFieldStr";
};
using TZopFileDbControlFieldStr = TTypedString<TZopFileDbControlFieldStrTag>;
