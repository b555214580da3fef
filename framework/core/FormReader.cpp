#include "framework/core/FormReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "framework/core/ClassRegistry.h"
#include "framework/core/FormParser.h"
#include "framework/core/TCollection.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

namespace {

using namespace FormText;

// A component reference or event handler named in the file, assigned once every
// component of the form exists.
struct TFixup {
    bool IsHandler = false;
    TObject* Instance = nullptr;  // not owned: the object whose property it is
    const TPropInfo* Prop = nullptr;
    AnsiString Name;  // the component or handler named
    int Line = 0;
    AnsiString Path;  // "Button1.OnClick", for messages
    // The collections whose items lead to Instance; reading one of them again frees its
    // items, and the fixups recorded inside them go with them.
    std::vector<TCollection*> Collections;
};

struct TCreated {
    TComponent* Component;  // not owned: Root owns it
    int Line;
};

bool IsNil(std::string_view Name)
{
    return SameText(Name, "nil");
}

AnsiString DescribeValue(const TValueNode& V)
{
    if (V.Kind == TValueKind::Ident) return "'" + V.Text + "'";
    if (V.Kind == TValueKind::Integer)
        return FormatText(TranslateText("FormReader", "the integer %1"), {IntToStr(V.Integer)});
    return DescribeKind(V.Kind);
}

class TFormLoader {
public:
    TFormLoader(TComponent* Root, AnsiString FileName, const TFormReadOptions& Options)
        : FRoot(Root), FFileName(std::move(FileName)), FOptions(Options)
    {
    }

    void Load(std::string_view Text)
    {
        // A syntax error is found before Root is touched.
        TObjectNode Top = ParseFormText(Text, FFileName);
        CheckRootClass(Top);
        FOldRootName = FRoot->Name();
        FWasDesigning = FRoot->ComponentState().Contains(csDesigning);
        FRoot->SetStateFlag(csLoading, true);
        FRoot->SetStateFlag(csReading, true);
        try {
            if (FOptions.Designing) FRoot->SetDesigning(true);
            // A form that runs shows its texts in the user's language; a designed one keeps
            // them as written, since it may be written back.
            FTextContext = Top.ClassName;
            FTranslateTexts = !FRoot->ComponentState().Contains(csDesigning);
            if (!Top.Name.empty()) Attempt(Top.Line, nullptr, {}, [&] { FRoot->SetName(Top.Name); });
            const AnsiString RootPath = Top.Name.empty() ? Top.ClassName : Top.Name;
            ReadProperties(FRoot, Top.Properties, RootPath);
            for (const TObjectNode& Child : Top.Children) ReadComponent(Child, FRoot);
            FRoot->SetStateFlag(csReading, false);
            ResolveFixups();
            CallLoaded(Top.Line);
        } catch (...) {
            Rollback();
            throw;
        }
    }

private:
    [[noreturn]] void Fail(int Line, const AnsiString& Problem) const { RaiseFormError(FFileName, Line, Problem); }

    // Runs code of the components (constructors, setters, Loaded) and reports what it
    // raises as a read error at Line, after "<What>: " when What is given. What is a
    // template of this file's context with %1 for Subject, translated only on failure (a
    // form sets many properties and fails at most once).
    template <class F>
    void Attempt(int Line, const char* What, const AnsiString& Subject, F&& Fn) const
    {
        try {
            Fn();
        } catch (const std::exception& E) {
            if (!What) Fail(Line, E.what());
            Fail(Line, FormatText(TranslateText("FormReader", "%1: %2"),
                                  {FormatText(TranslateText("FormReader", What), {Subject}), E.what()}));
        }
    }

    void CheckRootClass(const TObjectNode& Top) const
    {
        if (FOptions.StandIn) return;
        for (const TClassInfo* C = FRoot->ClassInfo(); C; C = C->Parent)
            if (SameText(C->Name, Top.ClassName)) return;
        Fail(Top.Line, FormatText(TranslateText("FormReader", "the form describes a %1, but it is loaded into a %2"),
                                  {Top.ClassName, FRoot->ClassInfo()->Name}));
    }

    void ReadComponent(const TObjectNode& Node, TComponent* Parent)
    {
        const TClassInfo* Class = GetClass(Node.ClassName);
        if (!Class) Fail(Node.Line, FormatText(TranslateText("FormReader", "Class %1 not found"), {Node.ClassName}));
        if (!Class->CreateComponent)
            Fail(Node.Line, FormatText(TranslateText("FormReader", "class %1 is not a component that can be created"),
                                       {Class->Name}));
        const AnsiString Path = Node.Name.empty() ? Node.ClassName : Node.Name;

        TComponent* C = nullptr;
        Attempt(Node.Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot create %1"), Path,
                [&] { C = Class->CreateComponent(FRoot); });
        FCreated.push_back({C, Node.Line});
        C->SetStateFlag(csLoading, true);
        C->SetStateFlag(csReading, true);
        if (!Node.Name.empty()) {
            Attempt(Node.Line, nullptr, {}, [&] { C->SetName(Node.Name); });
            if (const TFieldInfo* Field = FRoot->ClassInfo()->FindField(Node.Name)) {
                if (!Field->Assign(FRoot, C))
                    Fail(Node.Line, FormatText(TranslateText("FormReader", "the field %1 of %2 cannot hold a %3"),
                                               {Field->Name, FRoot->ClassInfo()->Name, Class->Name}));
                FAssignedFields.push_back(Field);
            }
        }
        Attempt(Node.Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot set the parent of %1"), Path,
                [&] { C->SetParentComponent(Parent); });
        ReadProperties(C, Node.Properties, Path);
        for (const TObjectNode& Child : Node.Children) ReadComponent(Child, C);
        C->SetStateFlag(csReading, false);
    }

    void ReadProperties(TObject* Instance, const std::vector<TPropertyNode>& Props, const AnsiString& Path)
    {
        for (const TPropertyNode& P : Props) ReadProperty(Instance, P, Path);
    }

    const TPropInfo* FindProp(TObject* Instance, std::string_view Name, const AnsiString& Path, int Line) const
    {
        const TPropInfo* P = Instance->ClassInfo()->FindProperty(Name);
        if (!P)
            Fail(Line, FormatText(TranslateText("FormReader", "property %1 does not exist in %2"),
                                  {Path + "." + AnsiString(Name), Instance->ClassInfo()->Name}));
        return P;
    }

    // The object that a sub-object property holds (a font, a collection, a string list).
    TObject* SubObject(TObject* Instance, const TPropInfo* P, const AnsiString& PropPath, int Line) const
    {
        TObject* Sub = nullptr;
        Attempt(Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot read %1"), PropPath,
                [&] { Sub = P->Get(Instance).AsObject(); });
        if (!Sub) Fail(Line, FormatText(TranslateText("FormReader", "%1 has no object to read into"), {PropPath}));
        return Sub;
    }

    bool IsSubObjectProperty(const TPropInfo* P) const
    {
        return P->Type->Kind == TTypeKind::Class && !P->Type->IsComponentReference();
    }

    // "Font.Style = [fsBold]": walk the dotted name through sub-objects, then assign.
    void ReadProperty(TObject* Instance, const TPropertyNode& Node, const AnsiString& Path)
    {
        TObject* Target = Instance;
        AnsiString TargetPath = Path;
        std::string_view Rest = Node.Name;
        for (std::size_t Dot = Rest.find('.'); Dot != std::string_view::npos; Dot = Rest.find('.')) {
            std::string_view Part = Rest.substr(0, Dot);
            const TPropInfo* P = FindProp(Target, Part, TargetPath, Node.Line);
            TargetPath += "." + P->Name;
            if (!IsSubObjectProperty(P))
                Fail(Node.Line,
                     FormatText(TranslateText("FormReader", "%1 is not an object with properties of its own"),
                                {TargetPath}));
            Target = SubObject(Target, P, TargetPath, Node.Line);
            Rest = Rest.substr(Dot + 1);
        }
        const TPropInfo* P = FindProp(Target, Rest, TargetPath, Node.Line);
        AssignValue(Target, P, Node.Value, TargetPath + "." + P->Name);
    }

    // Expected is translated.
    [[noreturn]] void WrongKind(const TValueNode& V, const AnsiString& PropPath, const AnsiString& Expected) const
    {
        Fail(V.Line, FormatText(TranslateText("FormReader", "invalid value for %1: expected %2, found %3"),
                                {PropPath, Expected, DescribeValue(V)}));
    }

    void AssignValue(TObject* Instance, const TPropInfo* P, const TValueNode& V, const AnsiString& PropPath)
    {
        const TTypeInfo* Type = P->Type;
        if (IsSubObjectProperty(P)) {
            ReadIntoSubObject(SubObject(Instance, P, PropPath, V.Line), V, PropPath);
            return;
        }
        if (Type->Kind == TTypeKind::Class || Type->Kind == TTypeKind::Method) {
            const bool IsHandler = Type->Kind == TTypeKind::Method;
            if (V.Kind != TValueKind::Ident)
                WrongKind(V, PropPath,
                          IsHandler ? TranslateText("FormReader", "the name of a handler")
                                    : TranslateText("FormReader", "the name of a component"));
            if (!P->Set) ReadOnly(V, PropPath);
            FFixups.push_back({IsHandler, Instance, P, V.Text, V.Line, PropPath, FCollectionChain});
            return;
        }
        if (!P->Set) ReadOnly(V, PropPath);
        TValue Value = Convert(Type, V, PropPath);
        if (P->Translatable && FTranslateTexts && Type->Kind == TTypeKind::String && !V.Text.empty() &&
            V.Text.find('\0') == AnsiString::npos)
            Value = TValue::Str(TranslateText(FTextContext.c_str(), V.Text.c_str()));
        Attempt(V.Line, ZFD_TRANSLATE_NOOP("FormReader", "error setting %1"), PropPath,
                [&] { P->Set(Instance, Value); });
    }

    [[noreturn]] void ReadOnly(const TValueNode& V, const AnsiString& PropPath) const
    {
        Fail(V.Line, FormatText(TranslateText("FormReader", "property %1 is read-only"), {PropPath}));
    }

    [[noreturn]] void NotAValueOf(const TValueNode& V, const AnsiString& PropPath, const AnsiString& Name,
                                  const AnsiString& TypeName) const
    {
        Fail(V.Line, FormatText(TranslateText("FormReader", "invalid value for %1: '%2' is not a %3 value"),
                                {PropPath, Name, TypeName}));
    }

    TValue Convert(const TTypeInfo* Type, const TValueNode& V, const AnsiString& PropPath) const
    {
        switch (Type->Kind) {
        case TTypeKind::Integer: {
            if (V.Kind == TValueKind::Integer) return TValue::Int(V.Integer);
            std::int64_t Value = 0;
            if (V.Kind == TValueKind::Ident && Type->IdentToInt(V.Text, Value)) return TValue::Int(Value);
            if (V.Kind == TValueKind::Ident && !Type->Idents.empty()) NotAValueOf(V, PropPath, V.Text, Type->Name);
            WrongKind(V, PropPath, TranslateText("FormReader", "an integer"));
        }
        case TTypeKind::Boolean:
            if (V.Kind == TValueKind::Ident && SameText(V.Text, "True")) return TValue::Bool(true);
            if (V.Kind == TValueKind::Ident && SameText(V.Text, "False")) return TValue::Bool(false);
            WrongKind(V, PropPath, TranslateText("FormReader", "True or False"));
        case TTypeKind::Enumeration: {
            if (V.Kind != TValueKind::Ident)
                WrongKind(V, PropPath, FormatText(TranslateText("FormReader", "a %1 identifier"), {Type->Name}));
            int Ordinal = Type->EnumOrdinal(V.Text);
            if (Ordinal < 0) NotAValueOf(V, PropPath, V.Text, Type->Name);
            return TValue::Int(Ordinal);
        }
        case TTypeKind::Set: {
            if (V.Kind != TValueKind::Set) WrongKind(V, PropPath, TranslateText("FormReader", "a set"));
            std::uint64_t Bits = 0;
            for (const AnsiString& Name : V.Names) {
                int Ordinal = Type->ElementType->EnumOrdinal(Name);
                if (Ordinal < 0 || Ordinal >= 64) NotAValueOf(V, PropPath, Name, Type->ElementType->Name);
                Bits |= std::uint64_t{1} << Ordinal;
            }
            return TValue::Int(static_cast<std::int64_t>(Bits));
        }
        case TTypeKind::String:
            if (V.Kind != TValueKind::String) WrongKind(V, PropPath, TranslateText("FormReader", "a string"));
            return TValue::Str(V.Text);
        case TTypeKind::StringList: return TValue::Lines(ListLines(V, PropPath));
        case TTypeKind::Binary:
            if (V.Kind != TValueKind::Binary) WrongKind(V, PropPath, TranslateText("FormReader", "binary data"));
            return TValue::Bytes(V.Bytes);
        case TTypeKind::Class:
        case TTypeKind::Method: break;  // assigned after reading (see AssignValue)
        }
        Fail(V.Line,
             FormatText(TranslateText("FormReader", "property %1 cannot be read from a form file"), {PropPath}));
    }

    std::vector<AnsiString> ListLines(const TValueNode& V, const AnsiString& PropPath) const
    {
        if (V.Kind != TValueKind::List) WrongKind(V, PropPath, TranslateText("FormReader", "a list of strings"));
        std::vector<AnsiString> Lines;
        Lines.reserve(V.Elements.size());
        for (const TValueNode& E : V.Elements) {
            if (E.Kind != TValueKind::String)
                WrongKind(E, PropPath, TranslateText("FormReader", "a string in the list"));
            Lines.push_back(E.Text);
        }
        return Lines;
    }

    // "Items = ( ... )" fills a string list, "Columns = < ... >" a collection; other
    // sub-objects are read through their own properties ("Font.Height = -11").
    void ReadIntoSubObject(TObject* Sub, const TValueNode& V, const AnsiString& PropPath)
    {
        if (auto* Strings = dynamic_cast<TStrings*>(Sub)) {
            std::vector<AnsiString> Lines = ListLines(V, PropPath);
            Attempt(V.Line, ZFD_TRANSLATE_NOOP("FormReader", "error setting %1"), PropPath,
                    [&] { Strings->SetLines(Lines); });
            return;
        }
        if (auto* Collection = dynamic_cast<TCollection*>(Sub)) {
            if (V.Kind != TValueKind::Collection) WrongKind(V, PropPath, TranslateText("FormReader", "a collection"));
            ReadCollection(Collection, V, PropPath);
            return;
        }
        Fail(V.Line,
             FormatText(TranslateText("FormReader",
                                      "invalid value for %1: it is an object, set its properties (%1.Name = value)"),
                        {PropPath}));
    }

    void ReadCollection(TCollection* Collection, const TValueNode& V, const AnsiString& PropPath)
    {
        // The items read before (a property given twice) are about to be freed.
        std::erase_if(FFixups, [Collection](const TFixup& F) {
            return std::find(F.Collections.begin(), F.Collections.end(), Collection) != F.Collections.end();
        });
        Collection->BeginUpdate();
        FCollectionChain.push_back(Collection);
        try {
            Attempt(V.Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot clear %1"), PropPath,
                    [&] { Collection->Clear(); });
            for (std::size_t I = 0; I < V.Items.size(); ++I) {
                const TItemNode& Node = V.Items[I];
                TCollectionItem* Item = nullptr;
                Attempt(Node.Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot add an item to %1"), PropPath,
                        [&] { Item = Collection->Add(); });
                ReadProperties(Item, Node.Properties, PropPath + "[" + IntToStr(static_cast<std::int64_t>(I)) + "]");
            }
        } catch (...) {
            FCollectionChain.pop_back();
            try {
                Collection->EndUpdate();
            } catch (...) {
                // The read error already on its way says more.
            }
            throw;
        }
        FCollectionChain.pop_back();
        Attempt(V.Line, ZFD_TRANSLATE_NOOP("FormReader", "error updating %1"), PropPath,
                [&] { Collection->EndUpdate(); });
    }

    TComponent* FindReference(const TFixup& F) const
    {
        if (IsNil(F.Name)) return nullptr;
        TComponent* C = (!FRoot->Name().empty() && SameText(FRoot->Name(), F.Name)) ? FRoot : FRoot->FindComponent(F.Name);
        if (!C)
            Fail(F.Line,
                 FormatText(TranslateText("FormReader", "%1 refers to a component named %2 that does not exist"),
                            {F.Path, F.Name}));
        const TClassInfo* Wanted = F.Prop->Type->ClassType ? F.Prop->Type->ClassType() : nullptr;
        if (Wanted && !C->InheritsFrom(Wanted))
            Fail(F.Line, FormatText(TranslateText("FormReader", "%1 cannot refer to %2: it is a %3, not a %4"),
                                    {F.Path, F.Name, C->ClassInfo()->Name, Wanted->Name}));
        return C;
    }

    TMethod FindHandler(const TFixup& F) const
    {
        if (IsNil(F.Name)) return TMethod{};
        const TClassInfo* RootClass = FRoot->ClassInfo();
        const THandlerInfo* H = RootClass->FindHandler(F.Name);
        if (!H && FOptions.StandIn) return TMethod{};
        if (!H)
            Fail(F.Line, FormatText(TranslateText("FormReader", "%1 names the handler %2, which %3 does not publish"),
                                    {F.Path, F.Name, RootClass->Name}));
        const std::type_info* Wanted = F.Prop->Type->Signature;
        if (!Wanted || !H->Signature || *Wanted != *H->Signature)
            Fail(F.Line, FormatText(TranslateText("FormReader", "the handler %1 of %2 has the wrong type for %3"),
                                    {F.Name, RootClass->Name, F.Path}));
        TMethod M;
        Attempt(F.Line, ZFD_TRANSLATE_NOOP("FormReader", "cannot bind %1"), F.Name, [&] { M = H->Bind(FRoot); });
        return M;
    }

    void ResolveFixups()
    {
        for (const TFixup& F : FFixups) {
            TValue Value = F.IsHandler ? TValue::Meth(FindHandler(F)) : TValue::Obj(FindReference(F));
            Attempt(F.Line, ZFD_TRANSLATE_NOOP("FormReader", "error setting %1"), F.Path,
                    [&] { F.Prop->Set(F.Instance, Value); });
        }
        FFixups.clear();
    }

    void CallLoaded(int RootLine)
    {
        Attempt(RootLine, ZFD_TRANSLATE_NOOP("FormReader", "error finishing %1"), FRoot->Name(),
                [&] { FRoot->Loaded(); });
        for (const TCreated& C : FCreated)
            Attempt(C.Line, ZFD_TRANSLATE_NOOP("FormReader", "error finishing %1"), C.Component->Name(),
                    [&] { C.Component->Loaded(); });
    }

    bool StillOwned(TComponent* C) const
    {
        for (int I = 0; I < FRoot->ComponentCount(); ++I)
            if (FRoot->Components(I) == C) return true;
        return false;
    }

    // Undoes a failed load: frees what it created (last first), clears the form's fields
    // that pointed to them, and gives Root back its state and name.
    void Rollback() noexcept
    {
        for (const TFieldInfo* Field : FAssignedFields) Field->Assign(FRoot, nullptr);
        for (auto It = FCreated.rbegin(); It != FCreated.rend(); ++It) {
            // A component may already be gone (a parent frees its children).
            if (!StillOwned(It->Component)) continue;
            try {
                It->Component->Free();
            } catch (...) {
                // Keep freeing the rest; the load's own error is reported.
            }
        }
        FCreated.clear();
        FRoot->SetStateFlag(csReading, false);
        FRoot->SetStateFlag(csLoading, false);
        if (!FWasDesigning) FRoot->SetDesigning(false);
        try {
            FRoot->SetName(FOldRootName);
        } catch (...) {
            // The old name may be taken by now; the new one stays.
        }
    }

    TComponent* FRoot;  // not owned
    AnsiString FFileName;
    TFormReadOptions FOptions;
    AnsiString FOldRootName;
    bool FWasDesigning = false;
    AnsiString FTextContext;  // the form's class: the context of its texts' translations
    bool FTranslateTexts = false;
    std::vector<TCreated> FCreated;  // in creation order
    std::vector<const TFieldInfo*> FAssignedFields;
    std::vector<TFixup> FFixups;                 // in the order read
    std::vector<TCollection*> FCollectionChain;  // not owned: collections being read, outermost first
};

}  // namespace

void ReadFormText(std::string_view Text, TComponent* Root, const AnsiString& FileName, const TFormReadOptions& Options)
{
    // A caller's mistake, not a reader's: left untranslated.
    if (!Root) throw EInvalidArgument("ReadFormText needs a root component");
    TFormLoader(Root, FileName, Options).Load(Text);
}

void ReadFormFile(const AnsiString& Path, TComponent* Root, const TFormReadOptions& Options)
{
    std::error_code Ec;
    std::ifstream In;
    if (!std::filesystem::is_directory(Path, Ec)) In.open(Path, std::ios::binary);
    if (!In.is_open()) throw EFOpenError(FormatText(TranslateText("FormReader", "Cannot open file %1"), {Path}));
    std::ostringstream Buffer;
    Buffer << In.rdbuf();
    if (In.bad()) throw EFOpenError(FormatText(TranslateText("FormReader", "Cannot open file %1"), {Path}));
    ReadFormText(Buffer.str(), Root, Path, Options);
}

AnsiString FormTextClassName(std::string_view Text)
{
    std::optional<TObjectHeader> Header = ParseFormHeader(Text);
    return Header ? Header->ClassName : AnsiString();
}
