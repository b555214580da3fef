#include "framework/core/ClassRegistry.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

namespace {

struct Registry {
    std::mutex Lock;
    std::vector<const TClassInfo*> Classes;
};

Registry& TheRegistry()
{
    static Registry R;
    return R;
}

}  // namespace

void RegisterClass(const TClassInfo* Class)
{
    Registry& R = TheRegistry();
    std::lock_guard<std::mutex> Guard(R.Lock);
    for (const TClassInfo* C : R.Classes) {
        if (C == Class) return;
        if (SameText(C->Name, Class->Name))
            // Registration at start-up: a program's mistake, left untranslated.
            throw EFilerError("A class named " + Class->Name + " already exists");
    }
    R.Classes.push_back(Class);
}

void RegisterClasses(std::initializer_list<const TClassInfo*> Classes)
{
    for (const TClassInfo* C : Classes) RegisterClass(C);
}

void UnRegisterClass(const TClassInfo* Class)
{
    Registry& R = TheRegistry();
    std::lock_guard<std::mutex> Guard(R.Lock);
    R.Classes.erase(std::remove(R.Classes.begin(), R.Classes.end(), Class), R.Classes.end());
}

const TClassInfo* GetClass(std::string_view Name)
{
    Registry& R = TheRegistry();
    std::lock_guard<std::mutex> Guard(R.Lock);
    for (const TClassInfo* C : R.Classes)
        if (SameText(C->Name, Name)) return C;
    return nullptr;
}

const TClassInfo* FindClass(std::string_view Name)
{
    const TClassInfo* C = GetClass(Name);
    if (!C) throw EClassNotFound(FormatText(TranslateText("ClassRegistry", "Class %1 not found"), {Name}));
    return C;
}
