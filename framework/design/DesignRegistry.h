#pragma once
// What a package registers with the designer: component classes on named palette pages,
// and property editors by property type, component class and property name.
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "framework/design/TPropertyEditor.h"

struct TClassInfo;

// Puts Classes, in this order, on the palette page Page (created on first use). A class
// already on the page stays where it is.
void RegisterComponents(const AnsiString& Page, std::initializer_list<const TClassInfo*> Classes);
// The palette pages in the order they were first used, and the classes on one page.
std::vector<AnsiString> PalettePages();
std::vector<const TClassInfo*> PaletteClasses(const AnsiString& Page);

using TPropertyEditorFactory =
    std::function<std::unique_ptr<TPropertyEditor>(std::vector<TPersistent*> Selection, const TPropInfo* Prop)>;

// Registers Factory for properties of type PropertyType, on components of ComponentClass or
// its descendants (null: any class), named PropertyName (empty: any name; without letter
// case). A later registration that matches as closely wins.
void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TClassInfo* ComponentClass,
                            const AnsiString& PropertyName, TPropertyEditorFactory Factory);

// The editor for Prop on Selection: the best registered match (a named property over any
// name, a class over a null class, the later over the earlier); the base editor when none
// matches.
std::unique_ptr<TPropertyEditor> CreatePropertyEditor(std::vector<TPersistent*> Selection, const TPropInfo* Prop);

// Forgets every registration (for tests).
void ClearDesignRegistry();
