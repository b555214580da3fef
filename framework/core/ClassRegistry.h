#pragma once
// The registry of classes that form files may name. Registration is explicit: each library
// offers a function that registers its classes (RegisterClasses is idempotent).
#include <initializer_list>

#include "framework/core/TypeInfo.h"

void RegisterClass(const TClassInfo* Class);
void RegisterClasses(std::initializer_list<const TClassInfo*> Classes);
void UnRegisterClass(const TClassInfo* Class);
// Null when no class of that name (case-insensitive) is registered.
const TClassInfo* GetClass(std::string_view Name);
// Raises EClassNotFound "Class X not found" when none is registered.
const TClassInfo* FindClass(std::string_view Name);
