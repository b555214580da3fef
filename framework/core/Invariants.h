#pragma once
// Executable invariants. A class whose invariants matter answers, from CheckInvariants() const,
// which of those stated at the top of its header is broken (empty text when all hold).
// ZFD_CHECK_INVARIANTS(Object) checks them where the object's state changes, in builds with
// assertions (the debug and sanitizer builds: NDEBUG unset), and stops the program there with
// that text when one is broken; release builds compile the check out. The randomised tests call
// CheckInvariants() after every step, in every build.
#include "framework/core/Exceptions.h"

// Stops the program, naming the broken invariant and where it was found, unless Problem is
// empty.
void RequireInvariants(const AnsiString& Problem, const char* File, int Line);

#ifdef NDEBUG
#define ZFD_CHECK_INVARIANTS(Object) ((void)0)
#else
#define ZFD_CHECK_INVARIANTS(Object) ::RequireInvariants((Object).CheckInvariants(), __FILE__, __LINE__)
#endif
