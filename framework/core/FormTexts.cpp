// Walks a loaded form for the texts that the form reader translates.
#include "framework/core/FormTexts.h"

#include <algorithm>

#include "framework/core/TCollection.h"
#include "framework/core/TComponent.h"
#include "framework/core/TypeInfo.h"

namespace {

class TTextCollector {
public:
    void Visit(TObject* Instance)
    {
        if (!Instance || std::find(FSeen.begin(), FSeen.end(), Instance) != FSeen.end()) return;
        FSeen.push_back(Instance);
        for (const TPropInfo* P : Instance->ClassInfo()->PublishedProperties()) {
            if (P->Type->Kind == TTypeKind::Class && !P->Type->IsComponentReference()) {
                TObject* Sub = P->Get(Instance).AsObject();
                Visit(Sub);
                if (auto* Collection = dynamic_cast<TCollection*>(Sub))
                    for (int I = 0; I < Collection->Count(); ++I) Visit(Collection->GetItem(I));
                continue;
            }
            if (P->Translatable && P->Type->Kind == TTypeKind::String) Add(P->Get(Instance).AsString());
        }
    }

    std::vector<AnsiString> Texts;

private:
    // A text without a letter (a number, a blank) reads the same in every language.
    static bool HasLetter(const AnsiString& Text)
    {
        for (const char C : Text)
            if (static_cast<unsigned char>(C) >= 0x80 || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z')) return true;
        return false;
    }

    void Add(const AnsiString& Text)
    {
        if (HasLetter(Text) && std::find(Texts.begin(), Texts.end(), Text) == Texts.end()) Texts.push_back(Text);
    }

    std::vector<TObject*> FSeen;  // not owned
};

}  // namespace

std::vector<AnsiString> FormTexts(TComponent* Root)
{
    TTextCollector Collector;
    Collector.Visit(Root);
    for (int I = 0; I < Root->ComponentCount(); ++I) Collector.Visit(Root->Components(I));
    return std::move(Collector.Texts);
}
