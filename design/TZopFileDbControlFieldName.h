#pragma once
// The designer's editor of every DataField property (type TZopFileDbControlFieldStr): it
// offers the field names of the linked dataset's schema, opening the dataset for a moment
// as the user "Designer" when it is closed. Choosing a field for a bound edit colours the
// edit by whether the field is a key, limits its length to the field's size, and offers to
// create a caption label beside it.
#include "framework/design/TPropertyEditor.h"

class TZopFileDataSource;

class TZopFileDbControlFieldName : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;

    TPropertyAttributes GetAttributes() override;
    int GetEditLimit() override;
    AnsiString GetValue() override;
    // The field names, in schema order. The dataset is left as it was found: active or
    // not, with the same AccessUser, also when opening it fails.
    void GetValues(const TGetStrProc& Proc) override;
    // Stores Value in every selected component; for a bound edit, applies the field's
    // colour and length and asks whether to create a caption label.
    void SetValue(const AnsiString& Value) override;

private:
    // The data source of the first selected component when it is a bound edit, bound text
    // or grid column; null otherwise.
    TZopFileDataSource* SelectedDataSource() const;
};
