#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

TScriptedDialogs::TScriptedDialogs() : FPrevious(SetDialogService(this)) {}

TScriptedDialogs::~TScriptedDialogs()
{
    SetDialogService(FPrevious);
    if (!FAnswers.empty()) ADD_FAILURE() << FAnswers.size() << " scripted dialog answer(s) were never asked for";
}

TScriptedDialogs& TScriptedDialogs::Answer(TModalResult Result)
{
    FAnswers.push_back(TDialogAnswer{Result, {}});
    return *this;
}

TScriptedDialogs& TScriptedDialogs::AnswerInput(const AnsiString& Text)
{
    FAnswers.push_back(TDialogAnswer{mrOk, Text});
    return *this;
}

TScriptedDialogs& TScriptedDialogs::CancelInput()
{
    FAnswers.push_back(TDialogAnswer{mrCancel, {}});
    return *this;
}

std::vector<AnsiString> TScriptedDialogs::Texts() const
{
    std::vector<AnsiString> Result;
    for (const TDialogRequest& R : FDialogs) Result.push_back(R.Text);
    return Result;
}

TDialogAnswer TScriptedDialogs::Show(const TDialogRequest& Request)
{
    FDialogs.push_back(Request);
    if (FAnswers.empty()) {
        ADD_FAILURE() << "Unscripted dialog: [" << Request.Caption << "] " << Request.Text;
        return TDialogAnswer{mrCancel, Request.Value};
    }
    TDialogAnswer A = FAnswers.front();
    FAnswers.pop_front();
    if (Request.Kind == TDialogKind::Input && A.Result != mrOk) A.Value = Request.Value;
    return A;
}
