#include "framework/core/TStrings.h"

#include <algorithm>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/UpdateBracket.h"
#include "framework/core/TypeInfo.h"

const TClassInfo* TStrings::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TStrings, TPersistent>("TStrings")
            .PropertyFn<std::vector<AnsiString>>(
                "Strings", [](TStrings& S) { return S.GetLines(); },
                [](TStrings& S, const std::vector<AnsiString>& V) { S.SetLines(V); })
            .WithType(StringListTypeInfo())
            .Build();
    return &Info;
}

void TStrings::Put(int Index, const AnsiString& S)
{
    TObject* Object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, Object);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* Object)
{
    Insert(Index, S);
    PutObject(Index, Object);
}

int TStrings::Add(const AnsiString& S)
{
    return AddObject(S, nullptr);
}

int TStrings::AddObject(const AnsiString& S, TObject* Object)
{
    int Index = Count();
    InsertObject(Index, S, Object);
    return Index;
}

void TStrings::AddStrings(const TStrings* Strings)
{
    WithinUpdate(*this, [&] {
        for (int I = 0; I < Strings->Count(); ++I) AddObject(Strings->Get(I), Strings->GetObject(I));
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex) return;
    AnsiString S = Get(CurIndex);
    TObject* O = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, S, O);
}

int TStrings::IndexOf(std::string_view S) const
{
    for (int I = 0; I < Count(); ++I)
        if (SameText(Get(I), S)) return I;
    return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const
{
    for (int I = 0; I < Count(); ++I)
        if (GetObject(I) == Object) return I;
    return -1;
}

int TStrings::IndexOfName(std::string_view Name) const
{
    for (int I = 0; I < Count(); ++I) {
        AnsiString S = Get(I);
        std::size_t Eq = S.find('=');
        if (Eq != AnsiString::npos && SameText(std::string_view(S).substr(0, Eq), Name)) return I;
    }
    return -1;
}

AnsiString TStrings::Values(std::string_view Name) const
{
    int I = IndexOfName(Name);
    if (I < 0) return AnsiString();
    AnsiString S = Get(I);
    return S.substr(S.find('=') + 1);
}

AnsiString TStrings::Text() const
{
    AnsiString Result;
    for (int I = 0; I < Count(); ++I) {
        Result += Get(I);
        Result += '\n';
    }
    return Result;
}

void TStrings::SetText(std::string_view Value)
{
    std::vector<AnsiString> Lines;
    std::size_t Start = 0;
    while (Start < Value.size()) {
        std::size_t End = Value.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) {
            Lines.emplace_back(Value.substr(Start));
            break;
        }
        Lines.emplace_back(Value.substr(Start, End - Start));
        Start = End + 1;
        if (Value[End] == '\r' && Start < Value.size() && Value[Start] == '\n') ++Start;
    }
    SetLines(Lines);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TStrings*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this) return;
    WithinUpdate(*this, [&] {
        Clear();
        AddStrings(Other);
    });
}

bool TStrings::Equals(const TStrings* Other) const
{
    if (Count() != Other->Count()) return false;
    for (int I = 0; I < Count(); ++I)
        if (Get(I) != Other->Get(I)) return false;
    return true;
}

std::vector<AnsiString> TStrings::GetLines() const
{
    std::vector<AnsiString> Lines;
    Lines.reserve(static_cast<std::size_t>(Count()));
    for (int I = 0; I < Count(); ++I) Lines.push_back(Get(I));
    return Lines;
}

void TStrings::SetLines(const std::vector<AnsiString>& Lines)
{
    WithinUpdate(*this, [&] {
        Clear();
        for (const AnsiString& S : Lines) Add(S);
    });
}

void TStrings::Error(const AnsiString& Template, int Index) const
{
    throw EStringListError(FormatText(Template, {IntToStr(Index)}));
}

// ---------------------------------------------------------------------------------------

const TClassInfo* TStringList::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TStringList, TStrings>("TStringList").Build();
    return &Info;
}

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index, bool AllowEnd) const
{
    int Limit = AllowEnd ? Count() : Count() - 1;
    if (Index < 0 || Index > Limit) Error(TranslateText("TStrings", "List index out of bounds (%1)"), Index);
}

AnsiString TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].S;
}

void TStringList::Put(int Index, const AnsiString& S)
{
    if (FSorted) throw EStringListError(TranslateText("TStrings", "Operation not allowed on sorted list"));
    CheckIndex(Index);
    Changing();
    FList[static_cast<std::size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object)
{
    CheckIndex(Index);
    Changing();
    FList[static_cast<std::size_t>(Index)].Object = Object;
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const AnsiString& S, TObject* Object)
{
    if (FSorted) throw EStringListError(TranslateText("TStrings", "Operation not allowed on sorted list"));
    CheckIndex(Index, true);
    InsertItem(Index, S, Object);
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* Object)
{
    Changing();
    FList.insert(FList.begin() + Index, Item{S, Object});
    Changed();
}

int TStringList::AddObject(const AnsiString& S, TObject* Object)
{
    int Index = Count();
    if (FSorted) {
        if (Find(S, Index)) {
            switch (FDuplicates) {
            case dupIgnore: return Index;
            case dupError: throw EStringListError(TranslateText("TStrings", "String list does not allow duplicates"));
            case dupAccept: break;
            }
        }
    }
    InsertItem(Index, S, Object);
    return Index;
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

int TStringList::Compare(std::string_view A, std::string_view B) const
{
    if (FCaseSensitive) return A.compare(B) < 0 ? -1 : (A == B ? 0 : 1);
    return CompareText(A, B);
}

int TStringList::IndexOf(std::string_view S) const
{
    if (FSorted) {
        int Index;
        return Find(S, Index) ? Index : -1;
    }
    for (int I = 0; I < Count(); ++I)
        if (Compare(FList[static_cast<std::size_t>(I)].S, S) == 0) return I;
    return -1;
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(FList.begin(), FList.end(),
                     [this](const Item& A, const Item& B) { return Compare(A.S, B.S) < 0; });
    Changed();
}

bool TStringList::Find(std::string_view S, int& Index) const
{
    int Lo = 0, Hi = Count() - 1;
    bool Found = false;
    while (Lo <= Hi) {
        int Mid = (Lo + Hi) / 2;
        int C = Compare(FList[static_cast<std::size_t>(Mid)].S, S);
        if (C < 0) {
            Lo = Mid + 1;
        } else {
            Hi = Mid - 1;
            if (C == 0) {
                Found = true;
                if (FDuplicates != dupAccept) Lo = Mid;
            }
        }
    }
    Index = Lo;
    return Found;
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating) Changing();
    else Changed();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}
