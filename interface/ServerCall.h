#pragma once
// Calls on IFileDataSet with their result code tested at once: a failing call raises
// EOleException with the server's message (OleCheck). The getters answer through a trailing
// OleVariant*; Ask returns that answer, AskText/AskBool/AskInt convert it.
//
//   AnsiString State = AskText(Server, &IFileDataSet::GetState);
//   AnsiString Value = AskText(Server, &IFileDataSet::GetFieldValue, OleVariant(Name));
//   Check(Server->First());
#include <utility>

#include "com/OleCheck.h"
#include "com/OleVariant.h"
#include "interface/Ostrel_TLB.h"

inline void Check(HRESULT Code)
{
    OleCheck(Code);
}

template <class... Params, class... Args>
OleVariant Ask(IFileDataSet* Server, HRESULT (IFileDataSet::*Operation)(Params...), Args&&... Arguments)
{
    OleVariant Answer;
    OleCheck((Server->*Operation)(std::forward<Args>(Arguments)..., &Answer));
    return Answer;
}

template <class... Params, class... Args>
AnsiString AskText(IFileDataSet* Server, HRESULT (IFileDataSet::*Operation)(Params...), Args&&... Arguments)
{
    return Ask(Server, Operation, std::forward<Args>(Arguments)...).AsString();
}

template <class... Params, class... Args>
bool AskBool(IFileDataSet* Server, HRESULT (IFileDataSet::*Operation)(Params...), Args&&... Arguments)
{
    return Ask(Server, Operation, std::forward<Args>(Arguments)...).AsBoolean();
}

template <class... Params, class... Args>
int AskInt(IFileDataSet* Server, HRESULT (IFileDataSet::*Operation)(Params...), Args&&... Arguments)
{
    return Ask(Server, Operation, std::forward<Args>(Arguments)...).AsInteger();
}

// The message of a failed call whose result a caller chose not to raise (empty when Code
// succeeded): what OleCheck would have raised.
inline AnsiString ServerFailureMessage(HRESULT Code)
{
    try {
        OleCheck(Code);
    } catch (const EOleException& E) {
        return E.what();
    }
    return AnsiString();
}

// The server's state is compared as text, exactly, and asked afresh at every test.
inline bool StateIs(IFileDataSet* Server, const char* State)
{
    return AskText(Server, &IFileDataSet::GetState) == State;
}
