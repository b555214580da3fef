#include "framework/ui/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

namespace {

struct TButtonInfo {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Qt;
    TModalResult Result;
    const char* Caption;  // in the context "Dialogs", so a dialog speaks the language of its text
};

constexpr TButtonInfo ButtonTable[] = {
    {mbYes, QMessageBox::Yes, mrYes, ZFD_TRANSLATE_NOOP("Dialogs", "&Yes")},
    {mbNo, QMessageBox::No, mrNo, ZFD_TRANSLATE_NOOP("Dialogs", "&No")},
    {mbOK, QMessageBox::Ok, mrOk, ZFD_TRANSLATE_NOOP("Dialogs", "OK")},
    {mbCancel, QMessageBox::Cancel, mrCancel, ZFD_TRANSLATE_NOOP("Dialogs", "Cancel")},
    {mbAbort, QMessageBox::Abort, mrAbort, ZFD_TRANSLATE_NOOP("Dialogs", "&Abort")},
    {mbRetry, QMessageBox::Retry, mrRetry, ZFD_TRANSLATE_NOOP("Dialogs", "&Retry")},
    {mbIgnore, QMessageBox::Ignore, mrIgnore, ZFD_TRANSLATE_NOOP("Dialogs", "&Ignore")},
    {mbAll, QMessageBox::Apply, mrAll, ZFD_TRANSLATE_NOOP("Dialogs", "&All")},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll, ZFD_TRANSLATE_NOOP("Dialogs", "N&o to All")},
    {mbYesToAll, QMessageBox::YesToAll, mrYesToAll, ZFD_TRANSLATE_NOOP("Dialogs", "Yes to &All")},
    {mbHelp, QMessageBox::Help, mrNone, ZFD_TRANSLATE_NOOP("Dialogs", "&Help")},
};

QString ButtonCaption(const char* Caption)
{
    return ToQString(TranslateText("Dialogs", Caption));
}

// Modal Qt dialogs.
class TQtDialogService : public TDialogService {
public:
    TDialogAnswer Show(const TDialogRequest& Request) override
    {
        std::unique_ptr<QDialog> Dialog = CreateQtDialog(Request);
        if (Request.Kind == TDialogKind::Input) {
            auto* Input = static_cast<QInputDialog*>(Dialog.get());
            const bool Ok = Input->exec() == QDialog::Accepted;
            return Ok ? TDialogAnswer{mrOk, FromQString(Input->textValue())} : TDialogAnswer{mrCancel, Request.Value};
        }
        auto* Box = static_cast<QMessageBox*>(Dialog.get());
        Box->exec();
        const QMessageBox::StandardButton Clicked = Box->standardButton(Box->clickedButton());
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
    case mtWarning: return TranslateText("Dialogs", "Warning");
    case mtError: return TranslateText("Dialogs", "Error");
    case mtInformation: return TranslateText("Dialogs", "Information");
    case mtConfirmation: return TranslateText("Dialogs", "Confirm");
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

std::unique_ptr<QDialog> CreateQtDialog(const TDialogRequest& Request)
{
    if (Request.Kind == TDialogKind::Input) {
        auto Input = std::make_unique<QInputDialog>(QApplication::activeWindow());
        Input->setWindowTitle(ToQString(Request.Caption));
        Input->setLabelText(ToQString(Request.Text));
        Input->setTextValue(ToQString(Request.Value));
        Input->setOkButtonText(ButtonCaption("OK"));
        Input->setCancelButtonText(ButtonCaption("Cancel"));
        return Input;
    }
    auto Box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    Box->setWindowTitle(ToQString(Request.Caption));
    Box->setText(ToQString(Request.Text));
    switch (Request.Type) {
    case mtWarning: Box->setIcon(QMessageBox::Warning); break;
    case mtError: Box->setIcon(QMessageBox::Critical); break;
    case mtInformation: Box->setIcon(QMessageBox::Information); break;
    case mtConfirmation: Box->setIcon(QMessageBox::Question); break;
    default: break;
    }
    QMessageBox::StandardButtons Buttons;
    for (const TButtonInfo& B : ButtonTable)
        if (Request.Buttons.Contains(B.Button)) Buttons |= B.Qt;
    if (!Buttons) Buttons = QMessageBox::Ok;
    Box->setStandardButtons(Buttons);
    for (const TButtonInfo& B : ButtonTable)
        if (QAbstractButton* Button = Box->button(B.Qt)) Button->setText(ButtonCaption(B.Caption));
    return Box;
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
