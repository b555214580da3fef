#pragma once
// The data-aware components tell the kinds of bound control apart by exact class: an
// instance of a subclass of a bound control is registered like any other but never
// refreshed or collected.
#include <typeinfo>

#include "framework/core/TObject.h"

// Object as a T when its dynamic class is exactly T; null otherwise (and for null).
template <class T>
T* ExactlyA(TObject* Object)
{
    return Object && typeid(*Object) == typeid(T) ? static_cast<T*>(Object) : nullptr;
}
