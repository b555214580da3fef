#include "framework/design/DesignRegistry.h"

#include <algorithm>

#include "framework/core/TObject.h"
#include "framework/core/TPersistent.h"
#include "framework/core/TextUtils.h"

namespace {

struct TPalettePage {
    AnsiString Name;
    std::vector<const TClassInfo*> Classes;  // not owned
};

struct TEditorEntry {
    const TTypeInfo* Type;        // not owned
    const TClassInfo* Class;      // not owned; null: any class
    AnsiString Name;              // empty: any name
    TPropertyEditorFactory Factory;
};

std::vector<TPalettePage>& Pages()
{
    static std::vector<TPalettePage> Instance;
    return Instance;
}

std::vector<TEditorEntry>& Editors()
{
    static std::vector<TEditorEntry> Instance;
    return Instance;
}

bool SameText(const AnsiString& A, const AnsiString& B)
{
    return UpperCase(A) == UpperCase(B);
}

}  // namespace

void RegisterComponents(const AnsiString& Page, std::initializer_list<const TClassInfo*> Classes)
{
    auto It = std::find_if(Pages().begin(), Pages().end(), [&](const TPalettePage& P) { return P.Name == Page; });
    if (It == Pages().end()) It = Pages().insert(Pages().end(), TPalettePage{Page, {}});
    for (const TClassInfo* Class : Classes)
        if (std::find(It->Classes.begin(), It->Classes.end(), Class) == It->Classes.end()) It->Classes.push_back(Class);
}

std::vector<AnsiString> PalettePages()
{
    std::vector<AnsiString> Result;
    for (const TPalettePage& P : Pages()) Result.push_back(P.Name);
    return Result;
}

std::vector<const TClassInfo*> PaletteClasses(const AnsiString& Page)
{
    for (const TPalettePage& P : Pages())
        if (P.Name == Page) return P.Classes;
    return {};
}

void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TClassInfo* ComponentClass,
                            const AnsiString& PropertyName, TPropertyEditorFactory Factory)
{
    Editors().push_back(TEditorEntry{PropertyType, ComponentClass, PropertyName, std::move(Factory)});
}

std::unique_ptr<TPropertyEditor> CreatePropertyEditor(std::vector<TPersistent*> Selection, const TPropInfo* Prop)
{
    const TClassInfo* Class = Selection.empty() ? nullptr : Selection.front()->ClassInfo();
    const TEditorEntry* Best = nullptr;
    int BestScore = -1;
    for (const TEditorEntry& E : Editors()) {
        if (E.Type != Prop->Type) continue;
        if (E.Class && !(Class && Class->InheritsFrom(E.Class))) continue;
        if (!E.Name.empty() && !SameText(E.Name, Prop->Name)) continue;
        const int Score = (E.Name.empty() ? 0 : 2) + (E.Class ? 1 : 0);
        if (Score >= BestScore) {
            Best = &E;
            BestScore = Score;
        }
    }
    if (Best) return Best->Factory(std::move(Selection), Prop);
    return std::make_unique<TPropertyEditor>(std::move(Selection), Prop);
}

void ClearDesignRegistry()
{
    Pages().clear();
    Editors().clear();
}
