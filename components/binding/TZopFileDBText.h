#pragma once
// TZopFileDBText: a read-only text (label) bound to one field of its data source's
// dataset. The data source sets its caption; DataField is a plain field with no refresh.
#include "components/binding/TZopFileDbControlFieldStr.h"
#include "framework/ui/TLabel.h"

class TZopFileDataSource;

class TZopFileDBText : public TLabel {
    DECLARE_CLASSINFO()
public:
    explicit TZopFileDBText(TComponent* Owner);

    void Notification(TComponent* Component, TOperation Operation) override;

    TZopFileDataSource* GetDataSource() const { return FDataSource; }
    void SetFDataSource(TZopFileDataSource* Value);

    TZopFileDbControlFieldStr FDataField;

private:
    TZopFileDataSource* FDataSource = nullptr;  // not owned
};
