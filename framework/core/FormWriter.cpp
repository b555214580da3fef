#include "framework/core/FormWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "framework/core/TCollection.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

namespace {

// Strings longer than this many bytes are split over lines with '+'.
constexpr std::size_t StringChunk = 64;
// Hex digits per line of binary data.
constexpr std::size_t HexPerLine = 64;

AnsiString Spaces(int Indent)
{
    return AnsiString(static_cast<std::size_t>(Indent), ' ');
}

// One string literal: printable text in quotes (UTF-8 bytes as they are, a quote doubled),
// control characters as #nn between the quoted parts.
AnsiString QuoteString(std::string_view S)
{
    if (S.empty()) return "''";
    AnsiString Out;
    bool InQuotes = false;
    for (char C : S) {
        auto U = static_cast<unsigned char>(C);
        if (U < ' ' || U == 0x7F) {
            if (InQuotes) Out += '\'';
            InQuotes = false;
            Out += '#' + IntToStr(U);
            continue;
        }
        if (!InQuotes) Out += '\'';
        InQuotes = true;
        if (C == '\'') Out += '\'';
        Out += C;
    }
    if (InQuotes) Out += '\'';
    return Out;
}

// The literals of a string cut into pieces of at most StringChunk bytes, never inside a
// UTF-8 character.
std::vector<AnsiString> StringPieces(std::string_view S)
{
    std::vector<AnsiString> Pieces;
    do {
        std::size_t N = std::min(StringChunk, S.size());
        if (N < S.size()) {
            std::size_t Cut = N;
            while (Cut > 0 && (static_cast<unsigned char>(S[Cut]) & 0xC0) == 0x80) --Cut;
            if (Cut > 0) N = Cut;
        }
        Pieces.push_back(QuoteString(S.substr(0, N)));
        S.remove_prefix(N);
    } while (!S.empty());
    return Pieces;
}

// Describes a root component as its form file holds it, property by property.
class TFormDescriber {
public:
    explicit TFormDescriber(TComponent* Root) : FRoot(Root)
    {
        for (const TClassInfo* C = Root->ClassInfo(); C; C = C->Parent)
            for (const THandlerInfo& H : C->Handlers) FHandlers.push_back({&H, H.Bind(Root)});
    }

    ~TFormDescriber()
    {
        for (TComponent* C : FWritten) C->SetStateFlag(csWriting, false);
    }

    TWrittenObject Describe() { return DescribeComponent(FRoot); }

private:
    // Problem is translated.
    [[noreturn]] static void Fail(const AnsiString& Path, const AnsiString& Problem)
    {
        throw EWriteError(FormatText(TranslateText("FormWriter", "Cannot write %1: %2"), {Path, Problem}));
    }

    TWrittenObject DescribeComponent(TComponent* C)
    {
        const AnsiString& ClassName = C->ClassInfo()->Name;
        if (std::find(FWritten.begin(), FWritten.end(), C) != FWritten.end())
            Fail(C->Name().empty() ? ClassName : C->Name(),
                 TranslateText("FormWriter", "it is listed twice among the form's children"));
        FWritten.push_back(C);
        C->SetStateFlag(csWriting, true);
        TWrittenObject Object{C->Name(), ClassName, {}, {}};
        DescribeProperties(C, "", C->Name().empty() ? ClassName : C->Name(), Object.Properties);
        C->GetChildren([&](TComponent* Child) { Object.Children.push_back(DescribeComponent(Child)); }, FRoot);
        return Object;
    }

    void DescribeProperties(TObject* Instance, const AnsiString& Prefix, const AnsiString& Path,
                            std::vector<TWrittenProperty>& Out)
    {
        const bool IsComponent = dynamic_cast<TComponent*>(Instance) != nullptr;
        for (const TPropInfo* P : Instance->ClassInfo()->PublishedProperties()) {
            if (IsComponent && SameText(P->Name, "Name")) continue;  // written in the header
            if (P->Stored && !P->Stored(Instance)) continue;
            DescribeProperty(Instance, P, Prefix + P->Name, Path + "." + P->Name, Out);
        }
    }

    void DescribeProperty(TObject* Instance, const TPropInfo* P, const AnsiString& Name, const AnsiString& Path,
                          std::vector<TWrittenProperty>& Out)
    {
        const TTypeInfo* Type = P->Type;
        if (Type->Kind == TTypeKind::Class && !Type->IsComponentReference()) {
            DescribeSubObject(P->Get(Instance).AsObject(), Name, Path, Out);
            return;
        }
        // A property that cannot be set cannot be read back.
        if (!P->Set || P->IsDefault(Instance)) return;
        TValue Value = P->Get(Instance);
        TWrittenProperty Written{Name, {}, {}};
        switch (Type->Kind) {
        case TTypeKind::String: Written.Lines = StringLines(Name, Value.AsString()); break;
        case TTypeKind::StringList: Written.Lines = ListLines(Name, Value.AsLines()); break;
        case TTypeKind::Binary: Written.Lines = BinaryLines(Name, Value.AsBytes()); break;
        default: Written.Lines = {Name + " = " + Scalar(Type, Value, Path)}; break;
        }
        Out.push_back(std::move(Written));
    }

    // Sub-objects are filled in place by the reader: their own properties with a dotted
    // name ("Font.Height", "Lines.Strings"), a collection's items as "< item ... end >".
    void DescribeSubObject(TObject* Sub, const AnsiString& Name, const AnsiString& Path,
                           std::vector<TWrittenProperty>& Out)
    {
        if (!Sub || std::find(FSubObjects.begin(), FSubObjects.end(), Sub) != FSubObjects.end()) return;
        FSubObjects.push_back(Sub);
        DescribeProperties(Sub, Name + ".", Path, Out);
        if (auto* Collection = dynamic_cast<TCollection*>(Sub); Collection && Collection->Count() > 0) {
            TWrittenProperty Written{Name, {}, {}};
            for (int I = 0; I < Collection->Count(); ++I) {
                Written.Items.emplace_back();
                DescribeProperties(Collection->GetItem(I), "", Path + "[" + IntToStr(I) + "]", Written.Items.back());
            }
            Out.push_back(std::move(Written));
        }
        FSubObjects.pop_back();
    }

    static std::vector<AnsiString> StringLines(const AnsiString& Name, const AnsiString& S)
    {
        std::vector<AnsiString> Pieces = StringPieces(S);
        if (Pieces.size() == 1) return {Name + " = " + Pieces[0]};
        std::vector<AnsiString> Lines{Name + " ="};
        for (std::size_t I = 0; I < Pieces.size(); ++I)
            Lines.push_back(Spaces(2) + Pieces[I] + (I + 1 < Pieces.size() ? " +" : ""));
        return Lines;
    }

    static std::vector<AnsiString> ListLines(const AnsiString& Name, const std::vector<AnsiString>& Strings)
    {
        if (Strings.empty()) return {Name + " = ()"};
        std::vector<AnsiString> Lines{Name + " = ("};
        for (std::size_t I = 0; I < Strings.size(); ++I) {
            std::vector<AnsiString> Pieces = StringPieces(Strings[I]);
            for (std::size_t J = 0; J < Pieces.size(); ++J) {
                AnsiString Text = Spaces(2) + Pieces[J];
                if (J + 1 < Pieces.size()) Text += " +";
                else if (I + 1 == Strings.size()) Text += ")";
                Lines.push_back(std::move(Text));
            }
        }
        return Lines;
    }

    static std::vector<AnsiString> BinaryLines(const AnsiString& Name, const std::vector<std::uint8_t>& Bytes)
    {
        if (Bytes.empty()) return {Name + " = {}"};
        std::vector<AnsiString> Lines{Name + " = {"};
        AnsiString Hex;
        for (std::uint8_t B : Bytes) Hex += IntToHex(B, 2);
        for (std::size_t Pos = 0; Pos < Hex.size(); Pos += HexPerLine) {
            AnsiString Text = Spaces(2) + Hex.substr(Pos, HexPerLine);
            if (Pos + HexPerLine >= Hex.size()) Text += "}";
            Lines.push_back(std::move(Text));
        }
        return Lines;
    }

    AnsiString Scalar(const TTypeInfo* Type, const TValue& Value, const AnsiString& Path) const
    {
        switch (Type->Kind) {
        case TTypeKind::Integer: {
            AnsiString Ident;
            if (Type->IntToIdent(Value.AsInteger(), Ident)) return Ident;
            return IntToStr(Value.AsInteger());
        }
        case TTypeKind::Boolean: return Value.AsBoolean() ? "True" : "False";
        case TTypeKind::Enumeration: {
            std::int64_t V = Value.AsInteger();
            if (V < 0 || V >= static_cast<std::int64_t>(Type->EnumNames.size()))
                Fail(Path, FormatText(TranslateText("FormWriter", "%1 is not a %2 value"), {IntToStr(V), Type->Name}));
            return Type->EnumNames[static_cast<std::size_t>(V)];
        }
        case TTypeKind::Set: return SetText(Type, static_cast<std::uint64_t>(Value.AsInteger()), Path);
        case TTypeKind::Class: return ReferenceName(Value.AsObject(), Path);
        case TTypeKind::Method: return HandlerName(Value.AsMethod(), Path);
        case TTypeKind::String:
        case TTypeKind::StringList:
        case TTypeKind::Binary: break;  // multi-line values, written by WriteProperty
        }
        Fail(Path, TranslateText("FormWriter", "the property's type cannot be written"));
    }

    static AnsiString SetText(const TTypeInfo* Type, std::uint64_t Bits, const AnsiString& Path)
    {
        const std::vector<AnsiString>& Names = Type->ElementType->EnumNames;
        AnsiString Out = "[";
        for (std::size_t I = 0; I < 64 && Bits != 0; ++I) {
            const std::uint64_t Bit = std::uint64_t{1} << I;
            if (!(Bits & Bit)) continue;
            if (I >= Names.size())
                Fail(Path, FormatText(TranslateText("FormWriter", "the set holds an element outside %1"),
                                      {Type->ElementType->Name}));
            if (Out.size() > 1) Out += ", ";
            Out += Names[I];
            Bits &= ~Bit;
        }
        return Out + "]";
    }

    // A component reference names the form or one of the components it owns; the reader
    // can resolve nothing else.
    AnsiString ReferenceName(TObject* Object, const AnsiString& Path) const
    {
        if (!Object) return "nil";
        auto* C = dynamic_cast<TComponent*>(Object);
        if (C && (C == FRoot || C->Owner() == FRoot) && !C->Name().empty()) return C->Name();
        Fail(Path,
             FormatText(TranslateText("FormWriter", "it refers to a component that is not a named component of %1"),
                        {FRoot->ClassInfo()->Name}));
    }

    AnsiString HandlerName(const TMethod& Method, const AnsiString& Path) const
    {
        if (!Method.Assigned()) return "nil";
        for (const auto& [Handler, Bound] : FHandlers)
            if (Bound == Method) return Handler->Name;
        Fail(Path, FormatText(TranslateText("FormWriter", "its handler is not one that %1 publishes"),
                              {FRoot->ClassInfo()->Name}));
    }

    TComponent* FRoot;  // not owned
    std::vector<std::pair<const THandlerInfo*, TMethod>> FHandlers;  // Root's published handlers, bound to Root
    std::vector<TComponent*> FWritten;                              // not owned: marked csWriting
    std::vector<TObject*> FSubObjects;                              // not owned: sub-objects being written
};

}  // namespace

bool TWrittenProperty::operator==(const TWrittenProperty& Other) const
{
    return Name == Other.Name && Lines == Other.Lines && Items == Other.Items;
}

TWrittenObject DescribeForm(TComponent* Root)
{
    // A caller's mistake: left untranslated.
    if (!Root) throw EInvalidArgument("DescribeForm needs a root component");
    return TFormDescriber(Root).Describe();
}

void AppendPropertyText(AnsiString& Out, const TWrittenProperty& Property, int Indent)
{
    if (!Property.IsCollection()) {
        for (const AnsiString& Text : Property.Lines) Out += Spaces(Indent) + Text + '\n';
        return;
    }
    Out += Spaces(Indent) + Property.Name + " = <\n";
    for (std::size_t I = 0; I < Property.Items.size(); ++I) {
        Out += Spaces(Indent + 2) + "item\n";
        for (const TWrittenProperty& P : Property.Items[I]) AppendPropertyText(Out, P, Indent + 4);
        Out += Spaces(Indent + 2) + (I + 1 < Property.Items.size() ? "end\n" : "end>\n");
    }
}

void AppendObjectText(AnsiString& Out, const TWrittenObject& Object, int Indent)
{
    const AnsiString Header = Object.Name.empty() ? Object.ClassName : Object.Name + ": " + Object.ClassName;
    Out += Spaces(Indent) + "object " + Header + '\n';
    for (const TWrittenProperty& P : Object.Properties) AppendPropertyText(Out, P, Indent + 2);
    for (const TWrittenObject& Child : Object.Children) AppendObjectText(Out, Child, Indent + 2);
    Out += Spaces(Indent) + "end\n";
}

AnsiString WriteFormText(TComponent* Root)
{
    AnsiString Out;
    AppendObjectText(Out, DescribeForm(Root), 0);
    return Out;
}


void WriteFormFile(const AnsiString& Path, TComponent* Root)
{
    // The whole text first, then a temporary file renamed over the target, so that a
    // failure never leaves a truncated form behind.
    const AnsiString Text = WriteFormText(Root);
    const AnsiString Temporary = Path + ".tmp";
    {
        std::ofstream Out(Temporary, std::ios::binary | std::ios::trunc);
        if (!Out.is_open())
            throw EFCreateError(FormatText(TranslateText("FormWriter", "Cannot create file %1"), {Path}));
        Out << Text;
        Out.close();
        if (!Out) {
            std::remove(Temporary.c_str());
            throw EFCreateError(FormatText(TranslateText("FormWriter", "Cannot write file %1"), {Path}));
        }
    }
    std::error_code Ec;
    std::filesystem::rename(Temporary, Path, Ec);
    if (Ec) {
        std::remove(Temporary.c_str());
        throw EFCreateError(FormatText(TranslateText("FormWriter", "Cannot create file %1: %2"), {Path, Ec.message()}));
    }
}
