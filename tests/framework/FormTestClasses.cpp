#include "tests/framework/FormTestClasses.h"

#include <algorithm>

#include "framework/core/ClassRegistry.h"

namespace FormTest {

namespace {
int GLive = 0;
}

const TTypeInfo* GetTypeInfo(TTriggerTime*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TTriggerTime", {"trgNone", "trgBeforePost", "trgAfterPost"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TKind*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TKind", {"kdPlain", "kdFancy", "kdPlainer"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TFontStyle*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline"});
    return &Info;
}

const TTypeInfo* ColorTypeInfo()
{
    static const TTypeInfo Info =
        MakeIdentIntTypeInfo("TColor", {{"clRed", clRed}, {"clWindow", clWindow}, {"clBtnFace", clBtnFace}});
    return &Info;
}

std::vector<std::string>& EventLog()
{
    static std::vector<std::string> Log;
    return Log;
}

int LiveComponents()
{
    return GLive;
}

const TClassInfo* TTestFont::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TTestFont, TPersistent>("TTestFont")
                                       .Property("Height", &TTestFont::Height)
                                       .Default(0)
                                       .Property("Color", &TTestFont::Color)
                                       .WithType(ColorTypeInfo())
                                       .Default(clWindow)
                                       .Property("Name", &TTestFont::Name)
                                       .Property("Style", &TTestFont::Style)
                                       .Default(TFontStyles{})
                                       .Build();
    return &Info;
}

const TClassInfo* TParamItem::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TParamItem, TCollectionItem>("TParamItem")
                                       .Property("Descrip", &TParamItem::Descrip)
                                       .Property("Value", &TParamItem::Value)
                                       .Default(0)
                                       .Build();
    return &Info;
}

TMethodItem::TMethodItem(TCollection* Collection)
    : TCollectionItem(Collection), ProcParams(new TCollection(TParamItem::StaticClassInfo()))
{
}

TMethodItem::~TMethodItem()
{
    delete ProcParams;
}

const TClassInfo* TMethodItem::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TMethodItem, TCollectionItem>("TMethodItem")
                                       .Property("TriggerTime", &TMethodItem::TriggerTime)
                                       .Default(trgNone)
                                       .Property("ProcParams", &TMethodItem::ProcParams)
                                       .Property("OnExecuteProc", &TMethodItem::OnExecuteProc)
                                       .Property("Target", &TMethodItem::Target)
                                       .Build();
    return &Info;
}

TRecComp::TRecComp(TComponent* Owner)
    : TComponent(Owner), Font(new TTestFont), FLines(new TStringList),
      Methods(new TCollection(TMethodItem::StaticClassInfo()))
{
    ++GLive;
}

TRecComp::~TRecComp()
{
    delete Methods;
    delete FLines;
    delete Font;
    --GLive;
}

const TClassInfo* TRecComp::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TRecComp, TComponent>("TRecComp")
                                       .Property("Caption", &TRecComp::Caption)
                                       .Property("Count", &TRecComp::Count)
                                       .Default(0)
                                       .Property("Color", &TRecComp::Color)
                                       .WithType(ColorTypeInfo())
                                       .Default(clWindow)
                                       .Property("Enabled", &TRecComp::Enabled)
                                       .Default(true)
                                       .Property("Kind", &TRecComp::Kind)
                                       .Default(kdPlain)
                                       .Property("Styles", &TRecComp::Styles)
                                       .Default(TFontStyles{})
                                       .Property("Data", &TRecComp::Data)
                                       .Property("Link", &TRecComp::Link, &TRecComp::SetLink)
                                       .Property("OnFire", &TRecComp::OnFire, &TRecComp::SetOnFire)
                                       .Property("Font", &TRecComp::Font)
                                       .Property("Lines", &TRecComp::GetLines)
                                       .Property("Methods", &TRecComp::Methods)
                                       .Property("Failing", &TRecComp::Failing, &TRecComp::SetFailing)
                                       .Default(0)
                                       .Property("ItemCount", &TRecComp::GetItemCount)
                                       .Property("FailInLoaded", &TRecComp::FailInLoaded)
                                       .Default(false)
                                       .Build();
    return &Info;
}

AnsiString TRecComp::StateText() const
{
    AnsiString S;
    if (ComponentState().Contains(csLoading)) S += "L";
    if (ComponentState().Contains(csReading)) S += "R";
    return S.empty() ? "-" : S;
}

void TRecComp::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    if (Operation == opInsert)
        EventLog().push_back(Name() + " [" + StateText() + "] told of insert #" +
                             std::to_string(Component->ComponentIndex()));
}

// Whether every component of this one's owner (and the owner) is still loading.
static bool AllLoading(const TComponent* C)
{
    const TComponent* Root = C->Owner() ? C->Owner() : C;
    if (!Root->ComponentState().Contains(csLoading)) return false;
    for (int I = 0; I < Root->ComponentCount(); ++I)
        if (!Root->Components(I)->ComponentState().Contains(csLoading)) return false;
    return true;
}

void TRecComp::SetLink(TRecComp* Value)
{
    Link = Value;
    EventLog().push_back(Name() + ".Link = " + (Value ? Value->Name() : "nil") +
                         (AllLoading(this) ? " (all loading)" : " (not all loading)"));
}

void TRecComp::SetOnFire(TNotifyEvent Value)
{
    OnFire = Value;
    EventLog().push_back(Name() + ".OnFire set" + (AllLoading(this) ? " (all loading)" : " (not all loading)"));
}

void TRecComp::SetFailing(int Value)
{
    if (Value != 0) throw EConvertError("failing on purpose with " + std::to_string(Value));
    Failing = Value;
}

void TRecComp::Loaded()
{
    TComponent::Loaded();
    if (FailInLoaded) throw EInvalidOperation(Name() + " cannot start");
    EventLog().push_back("Loaded " + Name() + " [" + StateText() + "]");
}

const TClassInfo* TBox::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TBox, TRecComp>("TBox").Build();
    return &Info;
}

TBox::~TBox()
{
    if (FParent) std::erase(FParent->FChildren, this);
    for (TBox* Child : FChildren) Child->FParent = nullptr;
}

void TBox::SetParentComponent(TComponent* Parent)
{
    auto* Box = dynamic_cast<TBox*>(Parent);
    if (!Box) throw EInvalidOperation(Name() + " can only be placed in a box");
    FParent = Box;
    Box->FChildren.push_back(this);
}

void TBox::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    for (TBox* Child : FChildren)
        if (Child->Owner() == Root) Proc(Child);
    TComponent::GetChildren(Proc, Root);
}

const TClassInfo* TTestForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TTestForm, TBox>("TTestForm")
                                       .Field("Table1", &TTestForm::Table1)
                                       .Field("Panel1", &TTestForm::Panel1)
                                       .Handler("FormCreate", &TTestForm::FormCreate)
                                       .Handler("ButtonClick", &TTestForm::ButtonClick)
                                       .Handler("RunProc", &TTestForm::RunProc)
                                       .Build();
    return &Info;
}

const TClassInfo* TOtherForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TOtherForm, TComponent>("TOtherForm").Build();
    return &Info;
}

const char* const SampleFormText = R"(object MainForm: TTestForm
  Caption = 'Main'
  Count = -5
  Color = 123
  OnFire = FormCreate
  object Table1: TRecComp
    Enabled = False
    Link = Later
    OnFire = ButtonClick
    Methods = <
      item
        TriggerTime = trgAfterPost
        ProcParams = <
          item
            Descrip = '參數1'
          end
          item
            Value = 2
          end>
        OnExecuteProc = RunProc
        Target = Later
      end
      item
      end>
  end
  object Panel1: TBox
    Link = Table1
    Styles = [fsItalic, fsUnderline]
    object Inner: TBox
      Link = MainForm
      Data = {00FF}
    end
  end
  object Later: TRecComp
    Color = clRed
    Kind = kdPlainer
    Styles = [fsBold, fsUnderline]
    Lines.Strings = (
      'line 1'
      ''
      'b''s'#9)
    Font.Height = -11
    Font.Style = [fsItalic]
    Font.Name = 'Sans'
  end
end
)";

void ResetFormTest()
{
    RegisterClasses({TRecComp::StaticClassInfo(), TBox::StaticClassInfo(), TTestForm::StaticClassInfo(),
                     TOtherForm::StaticClassInfo()});
    EventLog().clear();
}

}  // namespace FormTest
