#pragma once
// A form as a program would build it on the real server: the grid of TGridOnServer, a bound
// edit on Company bound after the grid (so that the dataset collects it last, as on the demo
// form), a navigator and a plain button, with 25 customers; shown and active. Helpers drive
// it with real clicks and keys.
#include <Qt>

#include "components/UZopFileDataSet.h"
#include "tests/grid/GridTestSupport.h"

class TButton;

class TGridFormOnServer : public TGridOnServer {
protected:
    void SetUp() override;

    void ClickNav(TNavBtn* Button);
    // Clicks the bound edit and puts the caret at the end of its text.
    void ClickEdit();
    // A key, or text, typed into whatever has the keyboard focus.
    void Press(Qt::Key K, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    void Type(const char* Text);
    AnsiString State() const;
    int Count() const;
    // The current record's value of Field.
    AnsiString Field(const char* Name) const;
    // The stored value of Field in the record whose CustNo is Key, read by another session.
    static AnsiString Stored(const char* Key, const char* Field);

    TZopFileDBEdit* CompanyEdit = nullptr;  // not owned: the form owns it
    TZopFileDBNavigator* Nav = nullptr;     // not owned: the form owns it
    TButton* Other = nullptr;               // not owned: the form owns it; a button unrelated to the data
};
