#pragma once
// Writing a root component as a form file: its published properties that differ from
// their defaults (and those declared without a default), then, nested, the components
// that GetChildren lists for it, recursively. What ReadFormText reads back gives the same
// components and property values.
//
// Writing goes in two steps: DescribeForm says what the file holds, object by object and
// property by property, each property as the lines it is written on; the Append functions
// lay that out with two blanks of indentation per level. A tool that changes a form in
// place (FormTextUpdate.h) compares two descriptions and writes only what differs.
#include <vector>

#include "framework/core/TComponent.h"

struct TWrittenProperty {
    AnsiString Name;  // as written: "Caption", "Font.Height", "Columns"
    // The lines of a property with a value, the first "Name = ..."; the lines that continue
    // it carry their indentation relative to the first. Empty for a collection.
    std::vector<AnsiString> Lines;
    // A collection's items, each its properties (never empty: an empty collection is not
    // written).
    std::vector<std::vector<TWrittenProperty>> Items;

    bool IsCollection() const { return Lines.empty(); }
    bool operator==(const TWrittenProperty& Other) const;
};

struct TWrittenObject {
    AnsiString Name;  // empty for an unnamed component
    AnsiString ClassName;
    std::vector<TWrittenProperty> Properties;
    std::vector<TWrittenObject> Children;
};

// What the form file of Root holds. Raises EWriteError when a value cannot be written (a
// reference outside the form, a handler the form does not publish).
TWrittenObject DescribeForm(TComponent* Root);
// Append the text of a property, or of an object with everything in it, each line indented
// by Indent blanks (what is nested by two more per level) and ended by a line feed.
void AppendPropertyText(AnsiString& Out, const TWrittenProperty& Property, int Indent);
void AppendObjectText(AnsiString& Out, const TWrittenObject& Object, int Indent);

AnsiString WriteFormText(TComponent* Root);
void WriteFormFile(const AnsiString& Path, TComponent* Root);
