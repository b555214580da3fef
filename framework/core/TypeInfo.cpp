#include "framework/core/TypeInfo.h"

#include "framework/core/TComponent.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

int TTypeInfo::EnumOrdinal(std::string_view Ident) const
{
    for (std::size_t I = 0; I < EnumNames.size(); ++I)
        if (SameText(EnumNames[I], Ident)) return static_cast<int>(I);
    return -1;
}

bool TTypeInfo::IdentToInt(std::string_view Ident, std::int64_t& Value) const
{
    for (const auto& [Name, V] : Idents)
        if (SameText(Name, Ident)) {
            Value = V;
            return true;
        }
    return false;
}

bool TTypeInfo::IntToIdent(std::int64_t Value, AnsiString& Ident) const
{
    for (const auto& [Name, V] : Idents)
        if (V == Value) {
            Ident = Name;
            return true;
        }
    return false;
}

bool TTypeInfo::IsComponentReference() const
{
    return Kind == TTypeKind::Class && ClassType && ClassType()->InheritsFrom(TComponent::StaticClassInfo());
}

TTypeInfo MakeEnumTypeInfo(AnsiString Name, std::vector<AnsiString> Names)
{
    TTypeInfo Info;
    Info.Name = std::move(Name);
    Info.Kind = TTypeKind::Enumeration;
    Info.EnumNames = std::move(Names);
    return Info;
}

TTypeInfo MakeIdentIntTypeInfo(AnsiString Name, std::vector<std::pair<AnsiString, std::int64_t>> Idents)
{
    TTypeInfo Info;
    Info.Name = std::move(Name);
    Info.Kind = TTypeKind::Integer;
    Info.Idents = std::move(Idents);
    return Info;
}

const TTypeInfo* IntegerTypeInfo()
{
    static const TTypeInfo Info{"Integer", TTypeKind::Integer, {}, nullptr, {}, nullptr, nullptr};
    return &Info;
}

const TTypeInfo* BooleanTypeInfo()
{
    static const TTypeInfo Info{"Boolean", TTypeKind::Boolean, {"False", "True"}, nullptr, {}, nullptr, nullptr};
    return &Info;
}

const TTypeInfo* StringTypeInfo()
{
    static const TTypeInfo Info{"AnsiString", TTypeKind::String, {}, nullptr, {}, nullptr, nullptr};
    return &Info;
}

const TTypeInfo* StringListTypeInfo()
{
    static const TTypeInfo Info{"TStringListData", TTypeKind::StringList, {}, nullptr, {}, nullptr, nullptr};
    return &Info;
}

const TTypeInfo* BinaryTypeInfo()
{
    static const TTypeInfo Info{"TBinaryData", TTypeKind::Binary, {}, nullptr, {}, nullptr, nullptr};
    return &Info;
}

namespace {

// A value of the wrong kind for its type is a program's mistake: left untranslated.
template <class T>
const T& Expect(const TValue::Storage& V, const char* What)
{
    if (const T* P = std::get_if<T>(&V)) return *P;
    throw EConvertError(AnsiString("Invalid property value: expected ") + What);
}

}  // namespace

std::int64_t TValue::AsInteger() const
{
    return Expect<std::int64_t>(FValue, "an integer");
}

bool TValue::AsBoolean() const
{
    return Expect<bool>(FValue, "a boolean");
}

const AnsiString& TValue::AsString() const
{
    return Expect<AnsiString>(FValue, "a string");
}

TObject* TValue::AsObject() const
{
    if (IsEmpty()) return nullptr;
    return Expect<TObject*>(FValue, "an object");
}

const TMethod& TValue::AsMethod() const
{
    static const TMethod Unassigned;
    if (IsEmpty()) return Unassigned;
    return Expect<TMethod>(FValue, "a method");
}

const std::vector<AnsiString>& TValue::AsLines() const
{
    return Expect<std::vector<AnsiString>>(FValue, "a list of strings");
}

const std::vector<std::uint8_t>& TValue::AsBytes() const
{
    return Expect<std::vector<std::uint8_t>>(FValue, "binary data");
}

bool TPropInfo::IsDefault(TObject* Instance) const
{
    if (!Get) return true;
    if (NoDefault) return false;
    TValue V = Get(Instance);
    if (Default) return V == *Default;
    switch (Type->Kind) {
    case TTypeKind::String: return V.AsString().empty();
    case TTypeKind::Method: return !V.AsMethod().Assigned();
    case TTypeKind::Class: return V.AsObject() == nullptr;
    case TTypeKind::StringList: return V.AsLines().empty();
    case TTypeKind::Binary: return V.AsBytes().empty();
    default: return false;  // ordinals without a declared default are always written
    }
}

bool TClassInfo::InheritsFrom(const TClassInfo* Ancestor) const
{
    for (const TClassInfo* C = this; C; C = C->Parent)
        if (C == Ancestor) return true;
    return false;
}

std::vector<const TPropInfo*> TClassInfo::PublishedProperties() const
{
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* C = this; C; C = C->Parent) Chain.insert(Chain.begin(), C);
    std::vector<const TPropInfo*> All;  // every declaration, a redeclaration replacing in place
    for (const TClassInfo* C : Chain)
        for (const TPropInfo& P : C->Props) {
            bool Replaced = false;
            for (const TPropInfo*& Existing : All)
                if (SameText(Existing->Name, P.Name)) {
                    Existing = &P;
                    Replaced = true;
                    break;
                }
            if (!Replaced) All.push_back(&P);
        }
    std::vector<const TPropInfo*> Result;
    for (const TPropInfo* P : All)
        if (P->Published) Result.push_back(P);
    return Result;
}

const TPropInfo* TClassInfo::FindAnyProperty(std::string_view Name) const
{
    for (const TClassInfo* C = this; C; C = C->Parent)
        for (auto It = C->Props.rbegin(); It != C->Props.rend(); ++It)
            if (SameText(It->Name, Name)) return &*It;
    return nullptr;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view Name) const
{
    const TPropInfo* P = FindAnyProperty(Name);
    return (P && P->Published) ? P : nullptr;
}

const THandlerInfo* TClassInfo::FindHandler(std::string_view Name) const
{
    for (const TClassInfo* C = this; C; C = C->Parent)
        for (const THandlerInfo& H : C->Handlers)
            if (SameText(H.Name, Name)) return &H;
    return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view Name) const
{
    for (const TClassInfo* C = this; C; C = C->Parent)
        for (const TFieldInfo& F : C->Fields)
            if (SameText(F.Name, Name)) return &F;
    return nullptr;
}

void RaiseIntegerRange(std::int64_t V, int Bits)
{
    throw EConvertError(FormatText(TranslateText("TypeInfo", "Value %1 is out of range for %2-bit integers"),
                                   {IntToStr(V), IntToStr(Bits)}));
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name)
{
    const TPropInfo* P = Instance->ClassInfo()->FindProperty(Name);
    if (!P)
        throw EPropertyError(
            FormatText(TranslateText("TypeInfo", "Property %1 does not exist in %2"), {Name, Instance->ClassName()}));
    return P;
}

TValue GetPropValue(TObject* Instance, std::string_view Name)
{
    return GetPropInfo(Instance, Name)->Get(Instance);
}

void SetPropValue(TObject* Instance, std::string_view Name, const TValue& Value)
{
    const TPropInfo* P = GetPropInfo(Instance, Name);
    if (!P->Set)
        throw EPropertyError(
            FormatText(TranslateText("TypeInfo", "Property %1 of %2 is read-only"), {P->Name, Instance->ClassName()}));
    P->Set(Instance, Value);
}
