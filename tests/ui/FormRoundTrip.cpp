#include "tests/ui/FormRoundTrip.h"

#include <algorithm>
#include <string>

#include "framework/core/TCollection.h"
#include "framework/core/TextUtils.h"
#include "framework/core/TypeInfo.h"

void SetEveryPropertyAway(TObject* Instance, TComponent* Root, const AnsiString& Path)
{
    for (const TPropInfo* P : Instance->ClassInfo()->PublishedProperties()) {
        if (SameText(P->Name, "Name")) continue;
        const TTypeInfo* Type = P->Type;
        const AnsiString Where = Path + "." + P->Name;
        if (Type->Kind == TTypeKind::Class && !Type->IsComponentReference()) {
            if (TObject* Sub = P->Get(Instance).AsObject()) SetEveryPropertyAway(Sub, Root, Where);
            continue;
        }
        if (!P->Set || Type->Kind == TTypeKind::Binary) continue;
        const TValue Old = P->Get(Instance);
        TValue New;
        switch (Type->Kind) {
        case TTypeKind::Integer:
            New = TValue::Int(Old.AsInteger() + 3);
            // A type with named values (colours, character sets) takes another of them.
            for (const auto& [Ident, Value] : Type->Idents)
                if (Value != Old.AsInteger()) {
                    New = TValue::Int(Value);
                    break;
                }
            break;
        case TTypeKind::Boolean: New = TValue::Bool(!Old.AsBoolean()); break;
        case TTypeKind::Enumeration:
            New = TValue::Int((Old.AsInteger() + 1) % static_cast<std::int64_t>(Type->EnumNames.size()));
            break;
        case TTypeKind::Set: New = TValue::Int(Old.AsInteger() ^ 1); break;
        case TTypeKind::String: New = TValue::Str(Old.AsString() + "Ж'x"); break;
        case TTypeKind::StringList: New = TValue::Lines({"first", "它's"}); break;
        case TTypeKind::Class: {
            for (int I = 0; I < Root->ComponentCount() && New.IsEmpty(); ++I) {
                TComponent* C = Root->Components(I);
                if (C != Instance && C->ClassInfo()->InheritsFrom(Type->ClassType())) New = TValue::Obj(C);
            }
            break;
        }
        case TTypeKind::Method:
            for (const THandlerInfo& H : Root->ClassInfo()->Handlers)
                if (*H.Signature == *Type->Signature) New = TValue::Meth(H.Bind(Root));
            break;
        case TTypeKind::Binary: break;
        }
        if (New.IsEmpty()) continue;
        try {
            P->Set(Instance, New);
        } catch (const std::exception& E) {
            ADD_FAILURE() << Where << " could not be set away from its default: " << E.what();
        }
    }
}

namespace {

AnsiString ValueText(const TValue& V, const TTypeInfo* Type)
{
    switch (Type->Kind) {
    case TTypeKind::Class: {
        auto* C = dynamic_cast<TComponent*>(V.AsObject());
        return C ? C->Name() : AnsiString("nil");
    }
    case TTypeKind::Method: return V.AsMethod().Assigned() ? "assigned" : "nil";
    case TTypeKind::String: return V.AsString();
    case TTypeKind::StringList: {
        AnsiString Lines;
        for (const AnsiString& L : V.AsLines()) Lines += L + "|";
        return Lines;
    }
    case TTypeKind::Binary: return std::to_string(V.AsBytes().size()) + " bytes";
    case TTypeKind::Boolean: return V.AsBoolean() ? "True" : "False";
    default: return std::to_string(V.AsInteger());
    }
}

}  // namespace

void ExpectSameProperties(TObject* A, TObject* B, const AnsiString& Path)
{
    for (const TPropInfo* P : A->ClassInfo()->PublishedProperties()) {
        const AnsiString Where = Path + "." + P->Name;
        if (P->Type->Kind == TTypeKind::Class && !P->Type->IsComponentReference()) {
            TObject* SubA = P->Get(A).AsObject();
            TObject* SubB = P->Get(B).AsObject();
            ASSERT_EQ(SubA == nullptr, SubB == nullptr) << Where;
            if (!SubA) continue;
            ExpectSameProperties(SubA, SubB, Where);
            if (auto* ListA = dynamic_cast<TCollection*>(SubA)) {
                auto* ListB = dynamic_cast<TCollection*>(SubB);
                ASSERT_EQ(ListA->Count(), ListB->Count()) << Where;
                for (int I = 0; I < ListA->Count(); ++I)
                    ExpectSameProperties(ListA->GetItem(I), ListB->GetItem(I), Where + "[" + std::to_string(I) + "]");
            }
            continue;
        }
        EXPECT_EQ(ValueText(P->Get(A), P->Type), ValueText(P->Get(B), P->Type)) << Where;
    }
}


AnsiString FirstDifference(const AnsiString& A, const AnsiString& B)
{
    std::size_t Line = 1, Start = 0;
    for (std::size_t I = 0; I < std::min(A.size(), B.size()); ++I) {
        if (A[I] != B[I]) break;
        if (A[I] == '\n') {
            ++Line;
            Start = I + 1;
        }
    }
    auto LineAt = [&](const AnsiString& S) { return S.substr(Start, S.find('\n', Start) - Start); };
    if (A == B) return "(the same)";
    return "line " + std::to_string(Line) + ": \"" + LineAt(A) + "\" became \"" + LineAt(B) + "\"";
}
