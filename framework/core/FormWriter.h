#pragma once
// Writing a root component as a form file: its published properties that differ from
// their defaults (and those declared without a default), then, nested, the components
// that GetChildren lists for it, recursively. What ReadFormText reads back gives the same
// components and property values.
#include "framework/core/TComponent.h"

AnsiString WriteFormText(TComponent* Root);
void WriteFormFile(const AnsiString& Path, TComponent* Root);
