#include "framework/core/Exceptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

AnsiString ShortTypeName(const std::type_info& Type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(Type.name(), nullptr, nullptr, &status), std::free);
    AnsiString name = (status == 0 && demangled) ? demangled.get() : Type.name();
    // Drop template arguments' influence on the search and any namespace qualification.
    std::size_t angle = name.find('<');
    std::size_t scope = name.rfind("::", angle == AnsiString::npos ? AnsiString::npos : angle);
    if (scope != AnsiString::npos) name = name.substr(scope + 2);
    return name;
}

AnsiString Exception::ClassName() const
{
    return ShortTypeName(typeid(*this));
}
