#pragma once
// A dialog service for tests: each dialog that comes is recorded and answered with the
// next answer the test scripted. A dialog that comes when no answer is left fails the test
// at once (and is answered with Cancel, so nothing blocks); answers never asked for fail
// the test when the responder goes away. Installed for its lifetime.
#include <deque>
#include <vector>

#include "framework/ui/Dialogs.h"

class TScriptedDialogs : public TDialogService {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // The next message dialog is answered with Result (mrOk, mrYes, mrNo, ...).
    TScriptedDialogs& Answer(TModalResult Result);
    // The next input dialog is confirmed with Text, or cancelled.
    TScriptedDialogs& AnswerInput(const AnsiString& Text);
    TScriptedDialogs& CancelInput();

    const std::vector<TDialogRequest>& Dialogs() const { return FDialogs; }
    // The texts of the dialogs shown so far.
    std::vector<AnsiString> Texts() const;
    int Pending() const { return static_cast<int>(FAnswers.size()); }

    TDialogAnswer Show(const TDialogRequest& Request) override;

private:
    std::deque<TDialogAnswer> FAnswers;
    std::vector<TDialogRequest> FDialogs;
    TDialogService* FPrevious;  // not owned
};
