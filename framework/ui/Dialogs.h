#pragma once
// Message and input dialogs, all through one replaceable dialog service. The default
// service shows modal Qt dialogs; tests install a scripted one that records each dialog
// and gives the answer the test chose.
#include "framework/core/TSet.h"
#include "framework/core/Exceptions.h"

#include <memory>

class QDialog;

struct TTypeInfo;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
const TTypeInfo* GetTypeInfo(TMsgDlgType*);

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
const TTypeInfo* GetTypeInfo(TMsgDlgBtn*);

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum class TDialogKind {
    Message,     // MessageDlg
    ShowMessage,
    Exception,   // an exception shown by the application
    Input,       // InputBox / InputQuery
};

struct TDialogRequest {
    TDialogKind Kind = TDialogKind::Message;
    AnsiString Caption;
    AnsiString Text;             // the message, or the input prompt
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    int HelpCtx = 0;
    AnsiString Value;            // input: the default text
};

// The Qt dialog that the default service shows for Request, built but not shown (a test
// renders it to see what a user would see). The caller owns it.
std::unique_ptr<QDialog> CreateQtDialog(const TDialogRequest& Request);

struct TDialogAnswer {
    TModalResult Result = mrCancel;  // messages: the button; input: mrOk or mrCancel
    AnsiString Value;                // input: the text entered
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    virtual TDialogAnswer Show(const TDialogRequest& Request) = 0;
};

// Installs Service (null: the default Qt dialogs) and returns the one it replaces. The
// caller keeps ownership.
TDialogService* SetDialogService(TDialogService* Service);
TDialogService* GetDialogService();

// The caption of the dialogs that have none of their own (ShowMessage, MessageDlg of
// mtCustom): the application object pushes its title here. Empty until then.
void SetDialogTitle(const AnsiString& Title);

TModalResult MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const AnsiString& Msg);
// The text entered, or Default when the user cancels.
AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault);
// True when the user confirmed; Value holds the default on entry and the text on exit.
bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value);
