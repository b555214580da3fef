#include "framework/ui/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "framework/core/TypeInfo.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

namespace {

struct TButtonInfo {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Qt;
    TModalResult Result;
};

constexpr TButtonInfo ButtonTable[] = {
    {mbYes, QMessageBox::Yes, mrYes},           {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},              {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},     {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},  {mbAll, QMessageBox::Apply, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    {mbHelp, QMessageBox::Help, mrNone},
};

// Modal Qt dialogs.
class TQtDialogService : public TDialogService {
public:
    TDialogAnswer Show(const TDialogRequest& Request) override
    {
        if (Request.Kind == TDialogKind::Input) {
            bool Ok = false;
            const QString Text = QInputDialog::getText(QApplication::activeWindow(), ToQString(Request.Caption),
                                                       ToQString(Request.Text), QLineEdit::Normal,
                                                       ToQString(Request.Value), &Ok);
            return Ok ? TDialogAnswer{mrOk, FromQString(Text)} : TDialogAnswer{mrCancel, Request.Value};
        }
        QMessageBox Box(QApplication::activeWindow());
        Box.setWindowTitle(ToQString(Request.Caption));
        Box.setText(ToQString(Request.Text));
        switch (Request.Type) {
        case mtWarning: Box.setIcon(QMessageBox::Warning); break;
        case mtError: Box.setIcon(QMessageBox::Critical); break;
        case mtInformation: Box.setIcon(QMessageBox::Information); break;
        case mtConfirmation: Box.setIcon(QMessageBox::Question); break;
        default: break;
        }
        QMessageBox::StandardButtons Buttons;
        for (const TButtonInfo& B : ButtonTable)
            if (Request.Buttons.Contains(B.Button)) Buttons |= B.Qt;
        if (!Buttons) Buttons = QMessageBox::Ok;
        Box.setStandardButtons(Buttons);
        Box.exec();
        const QMessageBox::StandardButton Clicked = Box.standardButton(Box.clickedButton());
        for (const TButtonInfo& B : ButtonTable)
            if (B.Qt == Clicked && Request.Buttons.Contains(B.Button)) return TDialogAnswer{B.Result, {}};
        return TDialogAnswer{Clicked == QMessageBox::Ok ? mrOk : mrCancel, {}};
    }
};

TQtDialogService& DefaultService()
{
    static TQtDialogService Service;
    return Service;
}

TDialogService* CurrentService = nullptr;
AnsiString DialogTitle;  // the application's title

AnsiString TypeCaption(TMsgDlgType Type)
{
    switch (Type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return DialogTitle;
    }
}

}  // namespace

const TTypeInfo* GetTypeInfo(TMsgDlgType*)
{
    static const TTypeInfo Info =
        MakeEnumTypeInfo("TMsgDlgType", {"mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TMsgDlgBtn*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo(
        "TMsgDlgBtn",
        {"mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll", "mbNoToAll", "mbYesToAll", "mbHelp"});
    return &Info;
}

TDialogService* SetDialogService(TDialogService* Service)
{
    TDialogService* Old = CurrentService;
    CurrentService = Service;
    return Old;
}

TDialogService* GetDialogService()
{
    return CurrentService ? CurrentService : &DefaultService();
}

void SetDialogTitle(const AnsiString& Title)
{
    DialogTitle = Title;
}

TModalResult MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    TDialogRequest R;
    R.Kind = TDialogKind::Message;
    R.Caption = TypeCaption(DlgType);
    R.Text = Msg;
    R.Type = DlgType;
    R.Buttons = Buttons;
    R.HelpCtx = HelpCtx;
    return GetDialogService()->Show(R).Result;
}

void ShowMessage(const AnsiString& Msg)
{
    TDialogRequest R;
    R.Kind = TDialogKind::ShowMessage;
    R.Caption = DialogTitle;
    R.Text = Msg;
    R.Type = mtCustom;
    R.Buttons = TMsgDlgButtons{mbOK};
    GetDialogService()->Show(R);
}

bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value)
{
    TDialogRequest R;
    R.Kind = TDialogKind::Input;
    R.Caption = ACaption;
    R.Text = APrompt;
    R.Buttons = TMsgDlgButtons{mbOK, mbCancel};
    R.Value = Value;
    const TDialogAnswer A = GetDialogService()->Show(R);
    if (A.Result != mrOk) return false;
    Value = A.Value;
    return true;
}

AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault)
{
    AnsiString Value = ADefault;
    InputQuery(ACaption, APrompt, Value);
    return Value;
}
