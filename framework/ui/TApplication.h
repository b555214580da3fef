#pragma once
// The application object (the global Application, the one of its program): creates the
// forms, runs the message loop until the main form closes, and shows the exceptions that
// escape event handlers. Its title is the caption of the dialogs that have none of their own
// (it pushes it to the dialogs whenever it is set).
// TApplicationHost sets up Qt and the application object for a program and takes them
// down in the right order (forms first).
#include <memory>

#include "framework/core/TComponent.h"
#include "framework/core/Events.h"

class QApplication;
class TForm;

using TExceptionEvent = TMethodPtr<void(TObject* Sender, Exception* E)>;

class TApplication : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TApplication(TComponent* Owner);
    ~TApplication() override;

    // Registers the framework's control classes for form files.
    void Initialize();

    // Creates a form of class T owned by the application, stores it in Reference, loads
    // its form file and fires its OnCreate. The first form created is the main form.
    template <class T>
    void CreateForm(T*& Reference)
    {
        T* Form = new T(this);
        Reference = Form;
        try {
            InitForm(Form);
        } catch (...) {
            Reference = nullptr;
            FormFailed(Form);
            throw;
        }
    }

    // Shows the main form and runs the message loop until the main form closes or
    // Terminate is called.
    void Run();
    // Processes the pending events, user input excepted.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Called inside a catch block: gives the exception to OnException, or shows it. An
    // EAbort is silent.
    void HandleException(TObject* Sender);
    void ShowException(const Exception* E);

    TForm* MainForm() const { return FMainForm; }
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value);

    TExceptionEvent OnException;

    void Notification(TComponent* Component, TOperation Operation) override;

private:
    void InitForm(TForm* Form);
    void FormFailed(TForm* Form);
    // The close hook of the main form: closing it ends the run.
    void MainFormClosed(TObject* Sender);

    TForm* FMainForm = nullptr;  // not owned here: the application owns it as a component
    AnsiString FTitle;
    bool FTerminated = false;
};

extern TApplication* Application;  // not owned: TApplicationHost creates and frees it

// A program's Qt application and application object, for the length of main().
class TApplicationHost {
public:
    TApplicationHost(int& Argc, char** Argv);
    ~TApplicationHost();
    TApplicationHost(const TApplicationHost&) = delete;
    TApplicationHost& operator=(const TApplicationHost&) = delete;

private:
    std::unique_ptr<QApplication> FQtApp;
};
