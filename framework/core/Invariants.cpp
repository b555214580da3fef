// Stops the program where a stated invariant is found broken (see Invariants.h).
#include "framework/core/Invariants.h"

#include <cstdio>
#include <cstdlib>

void RequireInvariants(const AnsiString& Problem, const char* File, int Line)
{
    if (Problem.empty()) return;
    std::fprintf(stderr, "%s:%d: an invariant is broken: %s\n", File, Line, Problem.c_str());
    std::abort();
}
