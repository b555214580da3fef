#pragma once
// Classes that form-file tests load and write: a form with published fields and
// handlers, non-visual components that record what happens to them, containers with
// children, a font-like sub-object, and a collection whose items hold a nested collection.
#include <string>
#include <vector>

#include "framework/core/TCollection.h"
#include "framework/core/TComponent.h"
#include "framework/core/TStrings.h"
#include "framework/core/TypeInfo.h"

namespace FormTest {

enum TTriggerTime { trgNone, trgBeforePost, trgAfterPost };
const TTypeInfo* GetTypeInfo(TTriggerTime*);
enum TKind { kdPlain, kdFancy, kdPlainer };
const TTypeInfo* GetTypeInfo(TKind*);
enum TFontStyle { fsBold, fsItalic, fsUnderline };
const TTypeInfo* GetTypeInfo(TFontStyle*);
using TFontStyles = TSet<TFontStyle>;

constexpr int clRed = 0x0000FF;
constexpr int clWindow = static_cast<int>(0x80000005u);
constexpr int clBtnFace = static_cast<int>(0x8000000Fu);
const TTypeInfo* ColorTypeInfo();

// What the recording components saw, in order, shared by every instance.
std::vector<std::string>& EventLog();
// Number of TRecComp instances alive (to prove that failed loads free what they made).
int LiveComponents();

class TTestFont : public TPersistent {
    DECLARE_CLASSINFO()
public:
    int Height = 0;
    int Color = clWindow;
    AnsiString Name;
    TFontStyles Style;
};

using TExecuteEvent = TMethodPtr<bool(TObject* Sender, int Param)>;

class TRecComp;

class TParamItem : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TParamItem(TCollection* Collection) : TCollectionItem(Collection) {}
    AnsiString Descrip;
    int Value = 0;
};

class TMethodItem : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TMethodItem(TCollection* Collection);
    ~TMethodItem() override;
    TTriggerTime TriggerTime = trgNone;
    TCollection* ProcParams;  // owned
    TExecuteEvent OnExecuteProc;
    TRecComp* Target = nullptr;  // not owned
};

// A non-visual component that logs its notifications, the assignment of its references
// and handlers (with whether every component of its owner was still loading), and Loaded.
class TRecComp : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TRecComp(TComponent* Owner);
    ~TRecComp() override;
    void Notification(TComponent* Component, TOperation Operation) override;
    void Loaded() override;

    void SetLink(TRecComp* Value);
    void SetOnFire(TNotifyEvent Value);
    void SetFailing(int Value);  // raises for anything but 0
    TStrings* GetLines() const { return FLines; }
    int GetItemCount() const { return Methods->Count(); }  // published read-only

    AnsiString Caption;
    int Count = 0;
    int Color = clWindow;
    bool Enabled = true;
    TKind Kind = kdPlain;
    TFontStyles Styles;
    std::vector<std::uint8_t> Data;
    TRecComp* Link = nullptr;  // not owned
    TNotifyEvent OnFire;
    TTestFont* Font;           // owned
    TStringList* FLines;       // owned
    TCollection* Methods;      // owned: TMethodItem
    int Failing = 0;
    bool FailInLoaded = false;  // Loaded raises

private:
    AnsiString StateText() const;
};

// A container: objects nested in it in a form file become its children, and the writer
// nests them again through GetChildren.
class TBox : public TRecComp {
    DECLARE_CLASSINFO()
public:
    explicit TBox(TComponent* Owner) : TRecComp(Owner) {}
    ~TBox() override;
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Parent) override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

    TBox* FParent = nullptr;       // not owned
    std::vector<TBox*> FChildren;  // not owned: the form owns them
};

// The form: publishes fields for some of its components and handlers for their events.
class TTestForm : public TBox {
    DECLARE_CLASSINFO()
public:
    explicit TTestForm(TComponent* Owner) : TBox(Owner) {}
    void FormCreate(TObject*) {}
    void ButtonClick(TObject*) {}
    bool RunProc(TObject*, int) { return true; }

    TRecComp* Table1 = nullptr;  // not owned: published fields
    TBox* Panel1 = nullptr;      // not owned
};

// A class that is registered but has no property that a test could misuse.
class TOtherForm : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TOtherForm(TComponent* Owner) : TComponent(Owner) {}
};

// A form using every kind of value, nested children, references to components declared
// before and after the referrer, handlers, and collection items holding a nested collection.
extern const char* const SampleFormText;

// Registers every class above (idempotent) and clears the event log.
void ResetFormTest();

}  // namespace FormTest
