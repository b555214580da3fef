#pragma once
// The demo's main form.
#include "framework/ui/TForm.h"

class TLabel;

class TForm1 : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TForm1(TComponent* Owner);

    TLabel* Label1 = nullptr;  // not owned: the form owns its components
    TLabel* Label2 = nullptr;  // not owned

    void FormCreate(TObject* Sender);
};

extern TForm1* Form1;  // not owned: the application owns the form
