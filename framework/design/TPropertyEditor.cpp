#include "framework/design/TPropertyEditor.h"

#include "framework/core/TPersistent.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

TPropertyEditor::TPropertyEditor(std::vector<TPersistent*> Selection, const TPropInfo* Prop)
    : FSelection(std::move(Selection)), FProp(Prop)
{
    if (FSelection.empty())
        throw EInvalidOperation(TranslateText("TPropertyEditor", "A property editor needs a selected component"));
}

TPropertyAttributes TPropertyEditor::GetAttributes()
{
    return TPropertyAttributes{paMultiSelect, paRevertable};
}

int TPropertyEditor::GetEditLimit()
{
    return 255;
}

AnsiString TPropertyEditor::GetValue()
{
    return GetStrValue();
}

void TPropertyEditor::GetValues(const TGetStrProc&) {}

void TPropertyEditor::SetValue(const AnsiString& Value)
{
    SetStrValue(Value);
}

TPersistent* TPropertyEditor::GetComponent(int Index) const
{
    if (Index < 0 || Index >= PropCount())
        throw EListError(
            FormatText(TranslateText("TPropertyEditor", "List index out of bounds (%1)"), {IntToStr(Index)}));
    return FSelection[Index];
}

AnsiString TPropertyEditor::GetStrValue() const
{
    return FProp->Get(FSelection.front()).AsString();
}

void TPropertyEditor::SetStrValue(const AnsiString& Value)
{
    for (TPersistent* Component : FSelection) FProp->Set(Component, TValue::Str(Value));
}
