#pragma once
// Type information for published properties: type identity (TTypeInfo), values crossing
// the property interface (TValue), property and class descriptions (TPropInfo,
// TClassInfo), and the builder that a class uses to describe itself:
//
//   const TClassInfo* TFoo::StaticClassInfo() {
//       static const TClassInfo Info = TClassBuilder<TFoo, TComponent>("TFoo")
//           .Property("Caption", &TFoo::FCaption, &TFoo::SetCaption)
//           .Property("Active", &TFoo::FActive, &TFoo::SetActive).Default(false)
//           .Build();
//       return &Info;
//   }
//
// Properties keep their declaration order, ancestors first. Ordinal properties without a
// default are always written to a form file; strings are written when not empty.
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/TObject.h"
#include "framework/core/TSet.h"

class TComponent;
class TCollection;
class TCollectionItem;

enum class TTypeKind {
    Integer,      // 64-bit integer, optionally with named values (colours)
    Boolean,
    Enumeration,  // ordinal with identifiers
    Set,          // set of an enumeration
    String,
    Class,        // object: a component reference, or a sub-object filled in place
    Method,       // event (method pointer)
    StringList,   // the lines of a TStrings ("Items.Strings = ( ... )")
    Binary,       // raw data ("Glyph.Data = { ... }")
};

struct TTypeInfo {
    AnsiString Name;
    TTypeKind Kind = TTypeKind::Integer;
    std::vector<AnsiString> EnumNames;                        // Enumeration: names by ordinal
    const TTypeInfo* ElementType = nullptr;                   // Set: the element enumeration
    std::vector<std::pair<AnsiString, std::int64_t>> Idents;  // Integer: named values
    const TClassInfo* (*ClassType)() = nullptr;               // Class: the declared class
    const std::type_info* Signature = nullptr;                // Method: R(A...)

    int EnumOrdinal(std::string_view Ident) const;  // -1 when unknown (case-insensitive)
    bool IdentToInt(std::string_view Ident, std::int64_t& Value) const;
    bool IntToIdent(std::int64_t Value, AnsiString& Ident) const;
    // Class kind: true for a reference to a component (written as the component's name),
    // false for a sub-object that the owner keeps and a form file fills in place.
    bool IsComponentReference() const;
};

// Builds the type information of an enumeration from its identifiers in ordinal order.
// Enumerations publish theirs through a function found by argument-dependent lookup:
//   const TTypeInfo* GetTypeInfo(TAlign*);
TTypeInfo MakeEnumTypeInfo(AnsiString Name, std::vector<AnsiString> Names);
// An integer type whose values may be written as identifiers (TColor: clRed, clBtnFace).
TTypeInfo MakeIdentIntTypeInfo(AnsiString Name, std::vector<std::pair<AnsiString, std::int64_t>> Idents);

// A string type with a type identity of its own (so that a property editor can attach to
// its properties alone), interchangeable with AnsiString. Tag supplies the name:
//   struct TFooStrTag { static constexpr const char* Name = "TFooStr"; };
template <class Tag>
struct TTypedString : AnsiString {
    TTypedString() = default;
    TTypedString(const char* S) : AnsiString(S) {}
    TTypedString(const AnsiString& S) : AnsiString(S) {}
    TTypedString(AnsiString&& S) : AnsiString(std::move(S)) {}
};

// A value crossing the property interface.
class TValue {
public:
    using Storage = std::variant<std::monostate, std::int64_t, bool, AnsiString, TObject*, TMethod,
                                 std::vector<AnsiString>, std::vector<std::uint8_t>>;
    TValue() = default;
    static TValue Int(std::int64_t V) { return Make<std::int64_t>(V); }
    static TValue Bool(bool V) { return Make<bool>(V); }
    static TValue Str(AnsiString V) { return Make<AnsiString>(std::move(V)); }
    static TValue Obj(TObject* V) { return Make<TObject*>(V); }
    static TValue Meth(const TMethod& V) { return Make<TMethod>(V); }
    static TValue Lines(std::vector<AnsiString> V) { return Make<std::vector<AnsiString>>(std::move(V)); }
    static TValue Bytes(std::vector<std::uint8_t> V) { return Make<std::vector<std::uint8_t>>(std::move(V)); }

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(FValue); }
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    const AnsiString& AsString() const;
    TObject* AsObject() const;
    const TMethod& AsMethod() const;
    const std::vector<AnsiString>& AsLines() const;
    const std::vector<std::uint8_t>& AsBytes() const;

    bool operator==(const TValue& Other) const { return FValue == Other.FValue; }
    const Storage& Raw() const { return FValue; }

private:
    template <class T, class A>
    static TValue Make(A&& V)
    {
        TValue R;
        R.FValue.template emplace<T>(std::forward<A>(V));
        return R;
    }
    Storage FValue;
};

struct TPropInfo {
    AnsiString Name;
    const TTypeInfo* Type = nullptr;
    std::function<TValue(TObject*)> Get;
    std::function<void(TObject*, const TValue&)> Set;  // empty: read-only (sub-objects)
    std::optional<TValue> Default;                     // see IsDefault
    bool NoDefault = false;                            // always written, strings included
    std::function<bool(TObject*)> Stored;              // optional condition for writing
    bool Published = true;                             // false: may be published by a descendant
    // A text shown to a person (a caption, a title): a form file's value is translated when
    // the form loads to run, in the form class's context (never while it is designed).
    bool Translatable = false;

    // Whether the value held by Instance is the declared default, so that a form writer
    // leaves it out. Ordinals without a declared default are never "default"; strings
    // default to empty; references to null; events to unassigned.
    bool IsDefault(TObject* Instance) const;
};

// A handler that a form class publishes, bindable by name from a form file.
struct THandlerInfo {
    AnsiString Name;
    const std::type_info* Signature = nullptr;
    std::function<TMethod(TObject* Instance)> Bind;
};

// A published component field of a form class, filled when a component of that name is
// created on the form.
struct TFieldInfo {
    AnsiString Name;
    // Stores Value into Root's field; false when Value is not of the field's class.
    std::function<bool(TObject* Root, TObject* Value)> Assign;
};

struct TClassInfo {
    AnsiString Name;
    const TClassInfo* Parent = nullptr;
    const std::type_info* Type = nullptr;
    std::function<TComponent*(TComponent* Owner)> CreateComponent;       // component classes
    std::function<TCollectionItem*(TCollection* Collection)> CreateItem;  // collection items
    std::vector<TPropInfo> Props;  // declared by this class, in order
    std::vector<THandlerInfo> Handlers;
    std::vector<TFieldInfo> Fields;

    bool InheritsFrom(const TClassInfo* Ancestor) const;
    // Published properties, ancestors first; a republished or redeclared property keeps
    // its ancestor's position.
    std::vector<const TPropInfo*> PublishedProperties() const;
    const TPropInfo* FindProperty(std::string_view Name) const;        // published only
    const TPropInfo* FindAnyProperty(std::string_view Name) const;     // also unpublished
    const THandlerInfo* FindHandler(std::string_view Name) const;
    const TFieldInfo* FindField(std::string_view Name) const;
};

// Built-in types.
const TTypeInfo* IntegerTypeInfo();
const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* StringTypeInfo();
const TTypeInfo* StringListTypeInfo();
const TTypeInfo* BinaryTypeInfo();

// ---------------------------------------------------------------------------------------
// Conversions between C++ values and TValue, with each type's TTypeInfo.

template <class T, class = void>
struct TValueTraits;  // no definition: the type cannot be published

template <>
struct TValueTraits<bool> {
    static const TTypeInfo* Type() { return BooleanTypeInfo(); }
    static TValue To(bool V) { return TValue::Bool(V); }
    static bool From(const TValue& V) { return V.AsBoolean(); }
};

// Raises EConvertError: V does not fit an integer of Bits bits.
[[noreturn]] void RaiseIntegerRange(std::int64_t V, int Bits);

// Narrows a published integer to its C++ type. A value that fits neither the signed nor the
// unsigned range of that width raises EConvertError; the unsigned range is accepted so that
// 32-bit patterns written in hex (colours such as $8000000F) read back into a signed int.
template <class T>
T NarrowInteger(std::int64_t V)
{
    if constexpr (sizeof(T) < sizeof(std::int64_t)) {
        using S = std::make_signed_t<T>;
        using U = std::make_unsigned_t<T>;
        if (V < static_cast<std::int64_t>(std::numeric_limits<S>::min()) ||
            V > static_cast<std::int64_t>(std::numeric_limits<U>::max()))
            RaiseIntegerRange(V, static_cast<int>(sizeof(T) * 8));
    }
    return static_cast<T>(V);
}

template <class T>
struct TValueTraits<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static const TTypeInfo* Type() { return IntegerTypeInfo(); }
    static TValue To(T V) { return TValue::Int(static_cast<std::int64_t>(V)); }
    static T From(const TValue& V) { return NarrowInteger<T>(V.AsInteger()); }
};

template <>
struct TValueTraits<AnsiString> {
    static const TTypeInfo* Type() { return StringTypeInfo(); }
    static TValue To(const AnsiString& V) { return TValue::Str(V); }
    static AnsiString From(const TValue& V) { return V.AsString(); }
};

template <class Tag>
struct TValueTraits<TTypedString<Tag>> {
    static const TTypeInfo* Type()
    {
        static const TTypeInfo Info{Tag::Name, TTypeKind::String, {}, nullptr, {}, nullptr, nullptr};
        return &Info;
    }
    static TValue To(const TTypedString<Tag>& V) { return TValue::Str(V); }
    static TTypedString<Tag> From(const TValue& V) { return V.AsString(); }
};

template <>
struct TValueTraits<std::vector<AnsiString>> {
    static const TTypeInfo* Type() { return StringListTypeInfo(); }
    static TValue To(const std::vector<AnsiString>& V) { return TValue::Lines(V); }
    static std::vector<AnsiString> From(const TValue& V) { return V.AsLines(); }
};

template <>
struct TValueTraits<std::vector<std::uint8_t>> {
    static const TTypeInfo* Type() { return BinaryTypeInfo(); }
    static TValue To(const std::vector<std::uint8_t>& V) { return TValue::Bytes(V); }
    static std::vector<std::uint8_t> From(const TValue& V) { return V.AsBytes(); }
};

// Enumerations, and integer types with identifiers: GetTypeInfo(T*) by argument-dependent lookup.
template <class T>
struct TValueTraits<T, std::enable_if_t<std::is_enum_v<T>>> {
    static const TTypeInfo* Type() { return GetTypeInfo(static_cast<T*>(nullptr)); }
    static TValue To(T V) { return TValue::Int(static_cast<std::int64_t>(V)); }
    static T From(const TValue& V) { return static_cast<T>(NarrowInteger<std::underlying_type_t<T>>(V.AsInteger())); }
};

template <class E>
struct TValueTraits<TSet<E>> {
    static const TTypeInfo* Type()
    {
        static const TTypeInfo Info = [] {
            TTypeInfo I;
            I.Kind = TTypeKind::Set;
            I.ElementType = TValueTraits<E>::Type();
            I.Name = "set of " + I.ElementType->Name;
            return I;
        }();
        return &Info;
    }
    static TValue To(TSet<E> V) { return TValue::Int(static_cast<std::int64_t>(V.Bits())); }
    static TSet<E> From(const TValue& V) { return TSet<E>::FromBits(static_cast<std::uint64_t>(V.AsInteger())); }
};

template <class T>
struct TValueTraits<T*, std::enable_if_t<std::is_base_of_v<TObject, T>>> {
    static const TTypeInfo* Type()
    {
        // Named from the C++ type: a class may publish a reference to its own kind, whose
        // class information is still being built at this point.
        static const TTypeInfo Info{ShortTypeName(typeid(T)), TTypeKind::Class, {}, nullptr, {},
                                    &T::StaticClassInfo, nullptr};
        return &Info;
    }
    static TValue To(T* V) { return TValue::Obj(V); }
    static T* From(const TValue& V)
    {
        TObject* O = V.AsObject();
        if (!O) return nullptr;
        T* Typed = dynamic_cast<T*>(O);
        // A program's mistake (the form reader checks the class first): left untranslated.
        if (!Typed) throw EConvertError("Invalid class typecast: " + O->ClassName() + " is not a " +
                                        ShortTypeName(typeid(T)));
        return Typed;
    }
};

template <class Sig>
struct TValueTraits<TMethodPtr<Sig>> {
    static const TTypeInfo* Type()
    {
        static const TTypeInfo Info{ShortTypeName(typeid(Sig)), TTypeKind::Method, {}, nullptr, {}, nullptr,
                                    &typeid(Sig)};
        return &Info;
    }
    static TValue To(const TMethodPtr<Sig>& V) { return TValue::Meth(V.Method()); }
    static TMethodPtr<Sig> From(const TValue& V) { return TMethodPtr<Sig>::FromMethod(V.AsMethod()); }
};

template <class T>
const TTypeInfo* TypeInfoOf()
{
    return TValueTraits<std::remove_cvref_t<T>>::Type();
}

template <class T>
TValue ToValue(const T& V)
{
    return TValueTraits<std::remove_cvref_t<T>>::To(V);
}

// ---------------------------------------------------------------------------------------

template <class C, class Parent = void>
class TClassBuilder {
public:
    explicit TClassBuilder(AnsiString Name)
    {
        FInfo.Name = std::move(Name);
        FInfo.Type = &typeid(C);
        if constexpr (!std::is_void_v<Parent>) {
            static_assert(std::is_base_of_v<Parent, C>, "Parent must be a base of C");
            FInfo.Parent = Parent::StaticClassInfo();
        }
        if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*> &&
                      !std::is_abstract_v<C>)
            FInfo.CreateComponent = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
        if constexpr (std::is_base_of_v<TCollectionItem, C> && std::is_constructible_v<C, TCollection*> &&
                      !std::is_abstract_v<C>)
            FInfo.CreateItem = [](TCollection* Collection) -> TCollectionItem* { return new C(Collection); };
    }

    // A property read from and written to a field. A field that points to a sub-object
    // (a TPersistent that is not a component) is read-only: form files fill the object.
    template <class B, class V>
    TClassBuilder& Property(AnsiString Name, V B::*Field)
    {
        static_assert(std::is_base_of_v<B, C>);
        TPropInfo P = Start<V>(std::move(Name));
        P.Get = [Field](TObject* O) { return ToValue<V>(Self(O)->*Field); };
        if (!IsSubObject<V>()) P.Set = [Field](TObject* O, const TValue& Val) { Self(O)->*Field = FromV<V>(Val); };
        return Add(std::move(P));
    }

    // Read from a field, written through a setter.
    template <class B, class V, class BS, class S>
    TClassBuilder& Property(AnsiString Name, V B::*Field, void (BS::*Setter)(S))
    {
        static_assert(std::is_base_of_v<B, C> && std::is_base_of_v<BS, C>);
        TPropInfo P = Start<V>(std::move(Name));
        P.Get = [Field](TObject* O) { return ToValue<V>(Self(O)->*Field); };
        P.Set = [Setter](TObject* O, const TValue& Val) { (Self(O)->*Setter)(FromV<V>(Val)); };
        return Add(std::move(P));
    }

    // Read through a getter, written through a setter.
    template <class BG, class G, class BS, class S>
    TClassBuilder& Property(AnsiString Name, G (BG::*Getter)() const, void (BS::*Setter)(S))
    {
        return GetterSetter<std::remove_cvref_t<G>>(std::move(Name), Getter, Setter);
    }
    template <class BG, class G, class BS, class S>
    TClassBuilder& Property(AnsiString Name, G (BG::*Getter)(), void (BS::*Setter)(S))
    {
        return GetterSetter<std::remove_cvref_t<G>>(std::move(Name), Getter, Setter);
    }

    // Read-only through a getter (sub-objects: fonts, collections, string lists, bitmaps).
    template <class BG, class G>
    TClassBuilder& Property(AnsiString Name, G (BG::*Getter)() const)
    {
        return GetterOnly<std::remove_cvref_t<G>>(std::move(Name), Getter);
    }
    template <class BG, class G>
    TClassBuilder& Property(AnsiString Name, G (BG::*Getter)())
    {
        return GetterOnly<std::remove_cvref_t<G>>(std::move(Name), Getter);
    }

    // A property with arbitrary accessors (Set may be empty for read-only).
    template <class V>
    TClassBuilder& PropertyFn(AnsiString Name, std::function<V(C&)> Get, std::function<void(C&, const V&)> Set)
    {
        TPropInfo P = Start<V>(std::move(Name));
        P.Get = [Get](TObject* O) { return ToValue<V>(Get(*Self(O))); };
        if (Set) P.Set = [Set](TObject* O, const TValue& Val) { Set(*Self(O), FromV<V>(Val)); };
        return Add(std::move(P));
    }

    // Modifiers of the property declared last.
    template <class V>
    TClassBuilder& Default(const V& Value)
    {
        Last().Default = ToValue<V>(Value);
        return *this;
    }
    TClassBuilder& Default(const char* Value)
    {
        Last().Default = TValue::Str(Value);
        return *this;
    }
    TClassBuilder& NoDefault()
    {
        Last().Default.reset();
        Last().NoDefault = true;
        return *this;
    }
    TClassBuilder& Stored(std::function<bool(C&)> Predicate)
    {
        Last().Stored = [Predicate](TObject* O) { return Predicate(*Self(O)); };
        return *this;
    }
    // The property is a text shown to a person (see TPropInfo::Translatable).
    TClassBuilder& Translatable()
    {
        Last().Translatable = true;
        return *this;
    }
    // The property exists for descendants to publish (as a protected property would).
    TClassBuilder& Unpublished()
    {
        Last().Published = false;
        return *this;
    }
    // Overrides the type identity (a distinct type for the same C++ representation).
    TClassBuilder& WithType(const TTypeInfo* Type)
    {
        Last().Type = Type;
        return *this;
    }

    // Publishes a property that an ancestor declared unpublished (or republishes one).
    TClassBuilder& Publish(const AnsiString& Name)
    {
        const TPropInfo* Inherited = FInfo.Parent ? FInfo.Parent->FindAnyProperty(Name) : nullptr;
        // Class registration at start-up: a program's mistake, left untranslated.
        if (!Inherited) throw EPropertyError("Cannot publish unknown property " + Name + " in " + FInfo.Name);
        TPropInfo P = *Inherited;
        P.Published = true;
        return Add(std::move(P));
    }

    // A published event handler of a form class, bindable by name from a form file.
    template <class B, class R, class... A>
    TClassBuilder& Handler(AnsiString Name, R (B::*Function)(A...))
    {
        static_assert(std::is_base_of_v<B, C>);
        THandlerInfo H;
        H.Name = std::move(Name);
        H.Signature = &typeid(R(A...));
        H.Bind = [Function](TObject* O) { return TMethodPtr<R(A...)>(static_cast<B*>(Self(O)), Function).Method(); };
        FInfo.Handlers.push_back(std::move(H));
        return *this;
    }

    // A published component field of a form class.
    template <class B, class T>
    TClassBuilder& Field(AnsiString Name, T* B::*Member)
    {
        static_assert(std::is_base_of_v<B, C> && std::is_base_of_v<TObject, T>);
        TFieldInfo F;
        F.Name = std::move(Name);
        F.Assign = [Member](TObject* Root, TObject* Value) {
            T* Typed = dynamic_cast<T*>(Value);
            if (Value && !Typed) return false;
            Self(Root)->*Member = Typed;
            return true;
        };
        FInfo.Fields.push_back(std::move(F));
        return *this;
    }

    TClassInfo Build() { return std::move(FInfo); }

private:
    static C* Self(TObject* O) { return static_cast<C*>(O); }

    template <class V>
    static V FromV(const TValue& Val)
    {
        return TValueTraits<V>::From(Val);
    }

    template <class V>
    static constexpr bool IsSubObject()
    {
        if constexpr (std::is_pointer_v<V>) {
            using T = std::remove_pointer_t<V>;
            return std::is_base_of_v<TObject, T> && !std::is_base_of_v<TComponent, T>;
        } else {
            return false;
        }
    }

    template <class V>
    TPropInfo Start(AnsiString Name)
    {
        TPropInfo P;
        P.Name = std::move(Name);
        P.Type = TypeInfoOf<V>();
        return P;
    }

    template <class V, class Getter, class Setter>
    TClassBuilder& GetterSetter(AnsiString Name, Getter G, Setter S)
    {
        TPropInfo P = Start<V>(std::move(Name));
        P.Get = [G](TObject* O) { return ToValue<V>((Self(O)->*G)()); };
        P.Set = [S](TObject* O, const TValue& Val) { (Self(O)->*S)(FromV<V>(Val)); };
        return Add(std::move(P));
    }

    template <class V, class Getter>
    TClassBuilder& GetterOnly(AnsiString Name, Getter G)
    {
        TPropInfo P = Start<V>(std::move(Name));
        P.Get = [G](TObject* O) { return ToValue<V>((Self(O)->*G)()); };
        return Add(std::move(P));
    }

    TClassBuilder& Add(TPropInfo P)
    {
        FInfo.Props.push_back(std::move(P));
        return *this;
    }

    TPropInfo& Last()
    {
        if (FInfo.Props.empty()) throw EPropertyError("No property declared yet in " + FInfo.Name);
        return FInfo.Props.back();
    }

    TClassInfo FInfo;
};

// Generic access to published properties by name (raises EPropertyError for an unknown
// or read-only property).
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name);
TValue GetPropValue(TObject* Instance, std::string_view Name);
void SetPropValue(TObject* Instance, std::string_view Name, const TValue& Value);
