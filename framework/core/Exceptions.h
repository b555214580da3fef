#pragma once
// The framework's exception family. Everything outside the record-storage server reports
// failures by throwing one of these; the application object catches what escapes an event
// handler and shows its message.
#include <exception>
#include <string>

using AnsiString = std::string;  // 8-bit text, UTF-8 (the system code page here)

class Exception : public std::exception {
public:
    explicit Exception(AnsiString Msg) : FMessage(std::move(Msg)) {}
    const AnsiString& Message() const noexcept { return FMessage; }
    void SetMessage(AnsiString Msg) { FMessage = std::move(Msg); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    // The class name of the dynamic exception type, as the application shows it.
    AnsiString ClassName() const;

private:
    AnsiString FMessage;
};

#define FRAMEWORK_EXCEPTION(Name, Base)            \
    class Name : public Base {                     \
    public:                                        \
        using Base::Base;                          \
    }

FRAMEWORK_EXCEPTION(EAbort, Exception);              // silent exception: shown by nobody
FRAMEWORK_EXCEPTION(EConvertError, Exception);       // conversions and incompatible Assign
FRAMEWORK_EXCEPTION(EComponentError, Exception);     // component names and ownership
FRAMEWORK_EXCEPTION(EListError, Exception);          // list and collection indexes
FRAMEWORK_EXCEPTION(EStringListError, EListError);   // string list indexes and duplicates
FRAMEWORK_EXCEPTION(EInvalidOperation, Exception);   // operation not allowed in this state
FRAMEWORK_EXCEPTION(EInvalidArgument, Exception);
FRAMEWORK_EXCEPTION(EVariantError, Exception);       // variant conversions
FRAMEWORK_EXCEPTION(EPropertyError, Exception);      // unknown or read-only published property
FRAMEWORK_EXCEPTION(EFilerError, Exception);         // form files
FRAMEWORK_EXCEPTION(EReadError, EFilerError);
FRAMEWORK_EXCEPTION(EWriteError, EFilerError);
FRAMEWORK_EXCEPTION(EClassNotFound, EFilerError);
FRAMEWORK_EXCEPTION(EFOpenError, EFilerError);
FRAMEWORK_EXCEPTION(EFCreateError, EFilerError);
FRAMEWORK_EXCEPTION(EDatabaseError, Exception);      // datasets: a table or record operation

#undef FRAMEWORK_EXCEPTION

// Demangled name of a C++ type without namespace qualification ("TComponent").
AnsiString ShortTypeName(const std::type_info& Type);
