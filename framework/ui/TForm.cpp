#include "framework/ui/TForm.h"

#include <QCloseEvent>
#include <QDirIterator>
#include <QFile>
#include <QWidget>

#include <map>

#include "framework/core/FormReader.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TTypeInfo* GetTypeInfo(TCloseAction*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TCloseAction", {"caNone", "caHide", "caFree", "caMinimize"});
    return &Info;
}

const TClassInfo* TForm::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TForm, TScrollingWinControl>("TForm");
        PublishAll(B, {"AutoScroll", "Caption", "Color", "Enabled", "Font", "PopupMenu", "OnClick",
                       "OnDblClick", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseUp", "OnResize",
                       // A form inside another control has a place in its tab order.
                       "TabOrder"});
        return B.Property("Visible", &TControl::Visible, &TControl::SetVisible)
            .Default(false)
            .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Default(false)
            .Property("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth)
            .Stored([](TForm&) { return false; })
            .Property("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight)
            .Stored([](TForm&) { return false; })
            .Property("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl)
            .Property("OnCreate", &TForm::OnCreate)
            .Property("OnDestroy", &TForm::OnDestroy)
            .Property("OnShow", &TForm::OnShow)
            .Property("OnClose", &TForm::OnClose)
            .Build();
    }();
    return &Info;
}

TForm::TForm(TComponent* Owner) : TScrollingWinControl(Owner)
{
    SetVisible(false);
    SetParentFont(false);
    SetColorDefaults(clBtnFace, false);
    Widget()->setAttribute(Qt::WA_QuitOnClose, false);
    SetInitialBounds(0, 0, 320, 240);
    UpdateScrollBars();
}

void TForm::BeforeDestruction()
{
    // OnDestroy runs while the form's components are still there, then they go.
    Destroying();
    if (OnDestroy) Guarded(this, [this] { OnDestroy(this); });
    TScrollingWinControl::BeforeDestruction();
}

void TForm::ApplyGeometry()
{
    if (!IsTopLevelWindow()) {
        TScrollingWinControl::ApplyGeometry();
    } else {
        QWidget* W = Widget();
        if (W->parentWidget()) W->setParent(nullptr);
        W->move(Left(), Top());
        W->resize(std::max(0, Width() - FrameWidth), std::max(0, Height() - FrameHeight));
    }
    // A form that moves into or out of a parent keeps its Width but changes the size of its
    // widget (the frame is drawn only around a window), and so the size of its client area.
    UpdateScrollBars();
}

int TForm::ClientWidth() const
{
    return TScrollingWinControl::ClientWidth();
}

int TForm::ClientHeight() const
{
    return TScrollingWinControl::ClientHeight();
}

void TForm::TextChanged()
{
    TScrollingWinControl::TextChanged();
    Widget()->setWindowTitle(ToQString(Caption()));
}

void TForm::Show()
{
    SetVisible(true);
    if (IsTopLevelWindow()) {
        Widget()->raise();
        Widget()->activateWindow();
    }
    if (OnShow) OnShow(this);
}

void TForm::Close()
{
    TCloseAction Action = caHide;
    if (OnClose) OnClose(this, Action);
    if (Action == caNone) return;
    Hide();
    if (FCloseHook) {
        FCloseHook(this);
        return;
    }
    if (Action == caFree) Free();
}

bool TForm::HandleWidgetEvent(QEvent* Event)
{
    if (!IsTopLevelWindow()) return false;
    if (Event->type() == QEvent::Close) {
        // The window's close button: the form decides.
        Event->ignore();
        Close();
        return true;
    }
    if (Event->type() == QEvent::Resize && Event->spontaneous()) {
        // Resized by the user: the outer size follows the window.
        const QSize S = Widget()->size();
        const int NewWidth = S.width() + FrameWidth, NewHeight = S.height() + FrameHeight;
        if (NewWidth != Width() || NewHeight != Height()) SetBounds(Left(), Top(), NewWidth, NewHeight);
    }
    return false;
}

void TForm::SetActiveControl(TWinControl* Value)
{
    if (Value == FActiveControl) return;
    if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Value;
    if (Value) {
        Value->FreeNotification(this);
        if (!ComponentState().Contains(csLoading) && Value->CanFocus()) Value->Widget()->setFocus(Qt::OtherFocusReason);
    }
}

void TForm::FocusControlChanged(TWinControl* Control)
{
    if (Control == this || Control == FActiveControl) return;
    if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Control;
    if (Control) Control->FreeNotification(this);
}

TForm* GetParentForm(const TControl* Control)
{
    const TControl* Top = Control;
    while (Top && Top->Parent()) Top = Top->Parent();
    return dynamic_cast<TForm*>(const_cast<TControl*>(Top));
}

void TForm::Notification(TComponent* Component, TOperation Operation)
{
    TScrollingWinControl::Notification(Component, Operation);
    if (Operation == opRemove && Component == FActiveControl) FActiveControl = nullptr;
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    TScrollingWinControl::GetChildren(Proc, Root);
    if (Root != this) return;
    for (int I = 0; I < ComponentCount(); ++I)
        if (!Components(I)->HasParent()) Proc(Components(I));
}

void TForm::ReadFormResource()
{
    const AnsiString Name = ClassInfo()->Name;
    const AnsiString Path = FindFormResource(Name);
    if (Path.empty()) throw EFilerError(FormatText(TranslateText("TForm", "No form file for the class %1"), {Name}));
    QFile File(ToQString(Path));
    if (!File.open(QIODevice::ReadOnly))
        throw EFOpenError(FormatText(TranslateText("TForm", "Cannot open file %1"), {Path}));
    const QByteArray Bytes = File.readAll();
    ReadFormText(std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())), this, Path);
}

void TForm::DoCreate()
{
    // An exception goes to the caller: a form whose creation handler failed is not created
    // (CreateForm frees it and the program's start shows the message).
    if (OnCreate) OnCreate(this);
}

AnsiString FindFormResource(const AnsiString& ClassName)
{
    static std::map<AnsiString, AnsiString> Index;  // upper-case class name -> resource path
    static bool Built = false;
    if (!Built) {
        Built = true;
        QDirIterator It(QStringLiteral(":/forms"), QDirIterator::Subdirectories);
        while (It.hasNext()) {
            const QString Path = It.next();
            QFile File(Path);
            if (!File.open(QIODevice::ReadOnly)) continue;
            const QByteArray Head = File.read(4096);
            const AnsiString Class = FormTextClassName(std::string_view(Head.constData(), static_cast<std::size_t>(Head.size())));
            if (!Class.empty()) Index.emplace(UpperCase(Class), FromQString(Path));
        }
    }
    auto Found = Index.find(UpperCase(ClassName));
    return Found == Index.end() ? AnsiString() : Found->second;
}
