#include "framework/ui/TApplication.h"

#include <QApplication>
#include <QEventLoop>

#include <cstdio>

#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/RegisterUiClasses.h"
#include "framework/ui/TForm.h"

TApplication* Application = nullptr;

namespace {

// The backstop: an exception that escapes anything Qt calls is shown, never thrown
// through Qt.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

    bool notify(QObject* Receiver, QEvent* Event) override
    {
        try {
            return QApplication::notify(Receiver, Event);
        } catch (...) {
            ui_detail::HandleHandlerException(Application);
            return false;
        }
    }
};

}  // namespace

const TClassInfo* TApplication::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TApplication, TComponent>("TApplication").Build();
    return &Info;
}

TApplication::TApplication(TComponent* Owner) : TComponent(Owner)
{
    // UseLanguage translates it again while a program keeps it.
    SetTitle(TranslateText("TApplication", "Application"));
}

TApplication::~TApplication()
{
    Destroying();
    DestroyComponents();
    FreePendingControls(true);
    if (Application == this) Application = nullptr;
    SetDialogTitle(AnsiString());
}

void TApplication::SetTitle(const AnsiString& Value)
{
    FTitle = Value;
    SetDialogTitle(Value);
}

void TApplication::Initialize()
{
    RegisterUiClasses();
}

void TApplication::InitForm(TForm* Form)
{
    if (Form->ClassInfo() != TForm::StaticClassInfo()) Form->ReadFormResource();
    if (!FMainForm) {
        // A new main form starts a new run: an earlier main form's closing does not end it.
        FMainForm = Form;
        FTerminated = false;
        Form->SetCloseHook(TNotifyEvent(this, &TApplication::MainFormClosed));
    }
    Form->DoCreate();
    if (Form->Visible()) Form->Show();
}

void TApplication::FormFailed(TForm* Form)
{
    if (FMainForm == Form) FMainForm = nullptr;
    Form->Free();
}

void TApplication::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    if (Operation == opRemove && Component == FMainForm) FMainForm = nullptr;
}

void TApplication::Run()
{
    if (FMainForm && !FMainForm->Visible()) FMainForm->Show();
    if (FTerminated || !FMainForm) return;
    QApplication::exec();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TApplication::MainFormClosed(TObject*)
{
    Terminate();
}

void TApplication::Terminate()
{
    FTerminated = true;
    QCoreApplication::exit(0);
}

void TApplication::HandleException(TObject* Sender)
{
    try {
        throw;
    } catch (const EAbort&) {
        // silent by definition
    } catch (Exception& E) {
        if (OnException) OnException(Sender, &E);
        else ShowException(&E);
    } catch (const std::exception& E) {
        Exception Wrapped(E.what());
        if (OnException) OnException(Sender, &Wrapped);
        else ShowException(&Wrapped);
    } catch (...) {
        Exception Wrapped(TranslateText("TApplication", "Unknown exception"));
        if (OnException) OnException(Sender, &Wrapped);
        else ShowException(&Wrapped);
    }
}

void TApplication::ShowException(const Exception* E)
{
    TDialogRequest R;
    R.Kind = TDialogKind::Exception;
    R.Caption = FTitle;
    R.Text = E->Message();
    R.Type = mtError;
    R.Buttons = TMsgDlgButtons{mbOK};
    GetDialogService()->Show(R);
}

TApplicationHost::TApplicationHost(int& Argc, char** Argv) : FQtApp(std::make_unique<TQtApplication>(Argc, Argv))
{
    QApplication::setQuitOnLastWindowClosed(false);
    Application = new TApplication(nullptr);
}

TApplicationHost::~TApplicationHost()
{
    delete Application;
    Application = nullptr;
    FQtApp.reset();
}
