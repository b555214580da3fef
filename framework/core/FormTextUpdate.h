#pragma once
// Writing a changed form back over its own text, so that a form kept under version control
// shows only what changed: every line that says what it said before stays as it was, in
// the file's own order, spelling and line ends.
//
// Before describes the form as it was loaded from Original, After as it is now (both from
// DescribeForm). A property whose written lines differ between the two is rewritten in
// place, added (after the properties that precede it in After) or taken out; a property
// that did not change keeps its text, whether the file wrote it or not; a collection whose
// number of items stayed the same is changed item by item. Components are matched by name:
// a new one is added where After puts it among its siblings, one that is gone is taken out,
// and the header and the end of each one that stays are kept.
#include <optional>
#include <string_view>

#include "framework/core/FormWriter.h"

// Original with the changes from Before to After made on lines of their own. Nothing when
// Original is laid out so that this cannot be done (two parts of the form on one line, an
// unnamed component, a property given twice), or when Before does not describe it; the
// caller then writes the whole form (WriteFormText). Raises EReadError when Original is not
// a form text.
std::optional<AnsiString> UpdateFormText(std::string_view Original, const TWrittenObject& Before,
                                         const TWrittenObject& After);
