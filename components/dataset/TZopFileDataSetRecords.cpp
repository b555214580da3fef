// The dataset's records from code: the navigator's steps, the state and the position, and
// the fields of the current record (see TZopFileDataSet.h and TZopFileField.h).
#include "components/dataset/TZopFileDataSet.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "interface/ServerCall.h"

namespace {

using TRecordStep = TDataSetListener::TRecordStep;

// Runs Fn; what it raises goes on as EDatabaseError with Operation in front of its message.
template <class F>
auto Naming(const AnsiString& Operation, F&& Fn) -> decltype(Fn())
{
    try {
        return Fn();
    } catch (const EDatabaseError&) {
        throw;
    } catch (const Exception& E) {
        throw EDatabaseError(FormatText(TranslateText("TZopFileDataSet", "%1: %2"), {Operation, E.Message()}));
    }
}

}  // namespace

IFileDataSet* TZopFileDataSet::OpenServerFor(const char* Operation) const
{
    if (!FDataSet)
        throw EDatabaseError(
            FormatText(TranslateText("TZopFileDataSet", "%1: the dataset %2 has no server object"), {Operation, Name()}));
    if (!FActive)
        throw EDatabaseError(
            FormatText(TranslateText("TZopFileDataSet", "%1: the dataset %2 is not open (set Active to true)"), {Operation, Name()}));
    return FDataSet.get();
}

void TZopFileDataSet::Move(const char* Operation, TRecordStep Step, HRESULT (IFileDataSet::*Call)())
{
    IFileDataSet* Server = OpenServerFor(Operation);
    Naming(Operation, [&] {
        if (FDataSource) FDataSource->BeforeRecordStep(Step);
        Check((Server->*Call)());
        if (FDataSource) FDataSource->AfterRecordStep(Step);
    });
}

void TZopFileDataSet::First()
{
    Move("First", TRecordStep::First, &IFileDataSet::First);
}

void TZopFileDataSet::Prior()
{
    Move("Prior", TRecordStep::Prior, &IFileDataSet::Prior);
}

void TZopFileDataSet::Next()
{
    Move("Next", TRecordStep::Next, &IFileDataSet::Next);
}

void TZopFileDataSet::Last()
{
    Move("Last", TRecordStep::Last, &IFileDataSet::Last);
}

void TZopFileDataSet::Insert()
{
    IFileDataSet* Server = OpenServerFor("Insert");
    Naming("Insert", [&] { Check(Server->Insert()); });
}

void TZopFileDataSet::Append()
{
    // The server places every record by its key, so a record appended goes where an
    // inserted one would.
    IFileDataSet* Server = OpenServerFor("Append");
    Naming("Append", [&] { Check(Server->Insert()); });
}

void TZopFileDataSet::Edit()
{
    IFileDataSet* Server = OpenServerFor("Edit");
    Naming("Edit", [&] { Check(Server->Edit()); });
}

void TZopFileDataSet::Post()
{
    IFileDataSet* Server = OpenServerFor("Post");
    Naming("Post", [&] {
        if (FDataSource) FDataSource->BeforeRecordStep(TRecordStep::Post);
        Ask(Server, &IFileDataSet::Post);
        if (FDataSource) FDataSource->AfterRecordStep(TRecordStep::Post);
    });
}

void TZopFileDataSet::Cancel()
{
    IFileDataSet* Server = OpenServerFor("Cancel");
    Naming("Cancel", [&] { Check(Server->Cancel()); });
}

void TZopFileDataSet::Delete()
{
    IFileDataSet* Server = OpenServerFor("Delete");
    Naming("Delete", [&] {
        if (FDataSource) FDataSource->BeforeRecordStep(TRecordStep::Delete);
        Check(Server->Delete());
        if (FDataSource) FDataSource->AfterRecordStep(TRecordStep::Delete);
    });
}

void TZopFileDataSet::Refresh()
{
    IFileDataSet* Server = OpenServerFor("Refresh");
    Naming("Refresh", [&] {
        if (!StateIs(Server, "Browse"))
            throw EDatabaseError(StateIs(Server, "Insert")
                                     ? TranslateText("TZopFileDataSet", "Refresh: the record being inserted must be posted or cancelled first")
                                     : TranslateText("TZopFileDataSet", "Refresh: the record being edited must be posted or cancelled first"));
        // Any call but a field read takes in what other sessions wrote; the controls then
        // show the view as it is now.
        AskInt(Server, &IFileDataSet::GetRecordCount);
        NoteRecordsMayHaveChanged();
        if (!FDataSource) return;
        FDataSource->PostDisplayData();
        FDataSource->RefreshNavigator();
    });
}

AnsiString TZopFileDataSet::GetState() const
{
    if (!FDataSet) return "InActive";
    return Naming("State", [&] { return AskText(FDataSet.get(), &IFileDataSet::GetState); });
}

int TZopFileDataSet::GetRecordCount() const
{
    IFileDataSet* Server = OpenServerFor("RecordCount");
    return Naming("RecordCount", [&] { return AskInt(Server, &IFileDataSet::GetRecordCount); });
}

int TZopFileDataSet::GetRecNo() const
{
    IFileDataSet* Server = OpenServerFor("RecNo");
    return Naming("RecNo", [&] { return AskInt(Server, &IFileDataSet::GetRecNo); });
}

bool TZopFileDataSet::GetBof() const
{
    IFileDataSet* Server = OpenServerFor("Bof");
    return Naming("Bof", [&] { return AskBool(Server, &IFileDataSet::GetBof); });
}

bool TZopFileDataSet::GetEof() const
{
    IFileDataSet* Server = OpenServerFor("Eof");
    return Naming("Eof", [&] { return AskBool(Server, &IFileDataSet::GetEof); });
}

int TZopFileDataSet::GetFieldCount() const
{
    IFileDataSet* Server = OpenServerFor("FieldCount");
    return Naming("FieldCount", [&] { return AskInt(Server, &IFileDataSet::GetFieldCount); });
}

TZopFileField TZopFileDataSet::FieldByName(const AnsiString& Name)
{
    IFileDataSet* Server = OpenServerFor("FieldByName");
    return Naming("FieldByName", [&] {
        // A blank name is no field: the server would answer it with an empty type.
        if (Name.find_first_not_of(" \t") == AnsiString::npos)
            throw EDatabaseError(TranslateText("TZopFileDataSet", "FieldByName: no field name is given"));
        const TZopFieldType Type = ReadFieldType(AskText(Server, &IFileDataSet::GetFieldType, OleVariant(Name)));
        return TZopFileField(this, Name, Type);
    });
}

TZopFileField TZopFileDataSet::Fields(int Index)
{
    IFileDataSet* Server = OpenServerFor("Fields");
    const AnsiString Name =
        Naming("Fields[" + IntToStr(Index) + "]", [&] { return AskText(Server, &IFileDataSet::GetFieldName, OleVariant(Index)); });
    return FieldByName(Name);
}
