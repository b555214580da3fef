#pragma once
// The designer's property editors: an editor shows and changes one published property of
// the components selected in the designer, as text. Descendants say how a property is
// edited (GetAttributes), offer a list of values (GetValues) and react to a new value
// (SetValue). The designer creates an editor for each inspection; an editor keeps no state
// between calls.
#include <functional>
#include <vector>

#include "framework/core/TSet.h"
#include "framework/core/TypeInfo.h"

class TPersistent;

enum TPropertyAttribute {
    paValueList,    // the value is picked from a list (GetValues)
    paSubProperties,
    paDialog,
    paMultiSelect,  // the editor works on a multiple selection
    paAutoUpdate,
    paSortList,     // the designer sorts the value list
    paReadOnly,
    paRevertable,
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

// The value-list callback: called once per value.
using TGetStrProc = std::function<void(const AnsiString& Value)>;

class TPropertyEditor {
public:
    // Selection: the selected components (not owned, at least one); Prop: the property
    // edited, published by every selected component's class.
    TPropertyEditor(std::vector<TPersistent*> Selection, const TPropInfo* Prop);
    virtual ~TPropertyEditor() = default;
    TPropertyEditor(const TPropertyEditor&) = delete;
    TPropertyEditor& operator=(const TPropertyEditor&) = delete;

    virtual TPropertyAttributes GetAttributes();
    virtual int GetEditLimit();
    // The property's value as text (of the first selected component).
    virtual AnsiString GetValue();
    virtual void GetValues(const TGetStrProc& Proc);
    // Writes Value to the property of every selected component.
    virtual void SetValue(const AnsiString& Value);

    // The designer's services.
    int PropCount() const { return static_cast<int>(FSelection.size()); }
    TPersistent* GetComponent(int Index) const;  // EListError out of range
    const TPropInfo* GetPropInfo() const { return FProp; }
    AnsiString GetStrValue() const;             // of the first selected component
    void SetStrValue(const AnsiString& Value);  // to every selected component

private:
    std::vector<TPersistent*> FSelection;  // not owned
    const TPropInfo* FProp;                // not owned: class information lives for the program
};
