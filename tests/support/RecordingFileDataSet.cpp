#include "tests/support/RecordingFileDataSet.h"

#include "com/ComObj.h"
#include "com/ErrorInfo.h"

namespace {

AnsiString Describe(const OleVariant& V)
{
    if (V.IsEmpty()) return "<empty>";
    return V.AsString();
}

// Getters asked at almost every decision; Actions() leaves them out.
bool IsQuestion(const AnsiString& Call)
{
    for (const char* Prefix : {"GetState", "GetActive", "GetFieldValue", "IsKeyField", "GetRecordCount", "GetBof",
                               "GetEof", "GetRecNo", "GetFiltered", "GetDataReadOnly", "GetAccessUser",
                               "GetFieldSize", "GetFieldCount", "GetFieldName", "GetIsEmpty", "GetFieldType"})
        if (Call.rfind(Prefix, 0) == 0) return true;
    return false;
}

}  // namespace

TRecordingFileDataSet::TRecordingFileDataSet()
{
    FAnswers["GetState"] = OleVariant("InActive");
    FAnswers["GetActive"] = OleVariant(false);
}

std::vector<AnsiString> TRecordingFileDataSet::CallsOf(const AnsiString& Prefix) const
{
    std::vector<AnsiString> Result;
    for (const AnsiString& Call : Calls)
        if (Call.rfind(Prefix, 0) == 0) Result.push_back(Call);
    return Result;
}

std::vector<AnsiString> TRecordingFileDataSet::Actions() const
{
    std::vector<AnsiString> Result;
    for (const AnsiString& Call : Calls)
        if (!IsQuestion(Call)) Result.push_back(Call);
    return Result;
}

void TRecordingFileDataSet::Fail(const AnsiString& Operation, HRESULT Code, const AnsiString& Message, int Times)
{
    FFailures[Operation] = TFailure{Code, Message, Times};
}

HRESULT TRecordingFileDataSet::Record(const AnsiString& Operation, const std::vector<OleVariant>& Args)
{
    AnsiString Entry = Operation;
    if (!Args.empty()) {
        Entry += "(";
        for (size_t I = 0; I < Args.size(); ++I) Entry += (I ? ", " : "") + Describe(Args[I]);
        Entry += ")";
    }
    Calls.push_back(Entry);
    auto It = FFailures.find(Operation);
    if (It == FFailures.end() || It->second.Times == 0) return S_OK;
    if (It->second.Times > 0) --It->second.Times;
    return ReportError(It->second.Code, It->second.Message, "RecordingFileDataSet");
}

HRESULT TRecordingFileDataSet::Reply(const AnsiString& Operation, OleVariant* Out, const OleVariant& Default,
                                     const std::vector<OleVariant>& Args)
{
    HRESULT Code = Record(Operation, Args);
    if (FAILED(Code)) return Code;
    auto It = FAnswers.find(Operation);
    if (Out) *Out = It != FAnswers.end() ? It->second : Default;
    return S_OK;
}

void TRecordingFileDataSet::KeepHandler(const char* Operation, TAfterRecDataSetDataChangeEvent& Slot,
                                        const TAfterRecDataSetDataChangeEvent& Handler)
{
    Calls.push_back(AnsiString(Operation) + (Handler ? "" : "(null)"));
    Slot = Handler;
}

void TRecordingFileDataSet::SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent Handler)
{
    KeepHandler("SetOnAfterDataChange", OnAfterDataChange, Handler);
}
void TRecordingFileDataSet::SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent Handler)
{
    KeepHandler("SetOnInitDataControlData", OnInitDataControlData, Handler);
}
void TRecordingFileDataSet::SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent Handler)
{
    KeepHandler("SetOnAfterDBStateChange", OnAfterDBStateChange, Handler);
}
void TRecordingFileDataSet::SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent Handler)
{
    KeepHandler("SetOnAfterFilterChange", OnAfterFilterChange, Handler);
}
void TRecordingFileDataSet::SetDBMethods(TDbMethods* Value)
{
    Calls.push_back(AnsiString("SetDBMethods") + (Value ? "" : "(null)"));
    Methods = Value;
}

HRESULT TRecordingFileDataSet::Open(OleVariant* Result)
{
    HRESULT Code = Record("Open");
    if (SUCCEEDED(Code) && FollowState) {
        FAnswers["GetActive"] = OleVariant(true);
        FAnswers["GetState"] = OleVariant("Browse");
    }
    if (Result) *Result = OleVariant(SUCCEEDED(Code));
    return Code;
}

HRESULT TRecordingFileDataSet::Close()
{
    HRESULT Code = Record("Close");
    if (SUCCEEDED(Code) && FollowState) {
        FAnswers["GetActive"] = OleVariant(false);
        FAnswers["GetState"] = OleVariant("InActive");
    }
    return Code;
}

HRESULT TRecordingFileDataSet::Edit()
{
    HRESULT Code = Record("Edit");
    if (SUCCEEDED(Code) && FollowState) FAnswers["GetState"] = OleVariant("Edit");
    return Code;
}

HRESULT TRecordingFileDataSet::Insert()
{
    HRESULT Code = Record("Insert");
    if (SUCCEEDED(Code) && FollowState) FAnswers["GetState"] = OleVariant("Insert");
    return Code;
}

HRESULT TRecordingFileDataSet::GetFieldValue(OleVariant Name, OleVariant* Value)
{
    HRESULT Code = Record("GetFieldValue", {Name});
    if (FAILED(Code)) return Code;
    auto It = Fields.find(Name.AsString());
    *Value = OleVariant(It != Fields.end() ? It->second : AnsiString());
    return S_OK;
}

HRESULT TRecordingFileDataSet::SetFieldValue(OleVariant Name, OleVariant Value)
{
    HRESULT Code = Record("SetFieldValue", {Name, Value});
    if (SUCCEEDED(Code)) Fields[Name.AsString()] = Value.AsString();
    return Code;
}

HRESULT TRecordingFileDataSet::IsKeyField(OleVariant Name, OleVariant* Value)
{
    HRESULT Code = Record("IsKeyField", {Name});
    if (SUCCEEDED(Code)) *Value = OleVariant(KeyFields.count(Name.AsString()) > 0);
    return Code;
}

HRESULT TRecordingFileDataSet::GetAccessUser(OleVariant* User) { return Reply("GetAccessUser", User, OleVariant("")); }
HRESULT TRecordingFileDataSet::SetAccessUser(OleVariant User) { return Record("SetAccessUser", {User}); }
HRESULT TRecordingFileDataSet::SetAccessFile(OleVariant FileName) { return Record("SetAccessFile", {FileName}); }
HRESULT TRecordingFileDataSet::GetBof(OleVariant* Value) { return Reply("GetBof", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::GetEof(OleVariant* Value) { return Reply("GetEof", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::GetIsEmpty(OleVariant* Value) { return Reply("GetIsEmpty", Value, OleVariant(true)); }
HRESULT TRecordingFileDataSet::GetRecordCount(OleVariant* Value) { return Reply("GetRecordCount", Value, OleVariant(0)); }
HRESULT TRecordingFileDataSet::GetFieldCount(OleVariant* Value) { return Reply("GetFieldCount", Value, OleVariant(0)); }
HRESULT TRecordingFileDataSet::First() { return Record("First"); }
HRESULT TRecordingFileDataSet::Prior() { return Record("Prior"); }
HRESULT TRecordingFileDataSet::Next() { return Record("Next"); }
HRESULT TRecordingFileDataSet::Last() { return Record("Last"); }
HRESULT TRecordingFileDataSet::Delete() { return Record("Delete"); }
HRESULT TRecordingFileDataSet::Post(OleVariant* Result) { return Reply("Post", Result, OleVariant(true)); }
HRESULT TRecordingFileDataSet::GetState(OleVariant* State) { return Reply("GetState", State, OleVariant("InActive")); }
HRESULT TRecordingFileDataSet::GetFieldName(OleVariant Index, OleVariant* Name) { return Reply("GetFieldName", Name, OleVariant(""), {Index}); }
HRESULT TRecordingFileDataSet::GetActive(OleVariant* Value) { return Reply("GetActive", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::GetRepeatCount(OleVariant* Value) { return Reply("GetRepeatCount", Value, OleVariant(0)); }
HRESULT TRecordingFileDataSet::GetFiltered(OleVariant* Value) { return Reply("GetFiltered", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::SetFiltered(OleVariant Value) { return Record("SetFiltered", {Value}); }
HRESULT TRecordingFileDataSet::Cancel() { return Record("Cancel"); }
HRESULT TRecordingFileDataSet::GetRecNo(OleVariant* Value) { return Reply("GetRecNo", Value, OleVariant(-1)); }
HRESULT TRecordingFileDataSet::SetRecNo(OleVariant Value) { return Record("SetRecNo", {Value}); }
HRESULT TRecordingFileDataSet::MoveNext(OleVariant* Result) { return Reply("MoveNext", Result, OleVariant(true)); }
HRESULT TRecordingFileDataSet::MovePrior(OleVariant* Result) { return Reply("MovePrior", Result, OleVariant(true)); }
HRESULT TRecordingFileDataSet::MoveTo(OleVariant RecNo) { return Record("MoveTo", {RecNo}); }
HRESULT TRecordingFileDataSet::ClearFilterCommand() { return Record("ClearFilterCommand"); }
HRESULT TRecordingFileDataSet::GetFieldSize(OleVariant Name, OleVariant* Value) { return Reply("GetFieldSize", Value, OleVariant(0), {Name}); }
HRESULT TRecordingFileDataSet::SetExplorerFile(OleVariant FileName) { return Record("SetExplorerFile", {FileName}); }
HRESULT TRecordingFileDataSet::AddFilterCommand(OleVariant Line, OleVariant* Result) { return Reply("AddFilterCommand", Result, OleVariant(true), {Line}); }
HRESULT TRecordingFileDataSet::SetStartOptionA(OleVariant Value) { return Record("SetStartOptionA", {Value}); }
HRESULT TRecordingFileDataSet::SetStartOptionB(OleVariant Value) { return Record("SetStartOptionB", {Value}); }
HRESULT TRecordingFileDataSet::RepeatStep() { return Record("RepeatStep"); }
HRESULT TRecordingFileDataSet::GetDataReadOnly(OleVariant* Value) { return Reply("GetDataReadOnly", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::SetDataReadOnly(OleVariant Value) { return Record("SetDataReadOnly", {Value}); }
HRESULT TRecordingFileDataSet::GetRecordChangedByOther(OleVariant* Value) { return Reply("GetRecordChangedByOther", Value, OleVariant(false)); }
HRESULT TRecordingFileDataSet::SetSchemaFileName(OleVariant FileName) { return Record("SetSchemaFileName", {FileName}); }
HRESULT TRecordingFileDataSet::GetFieldType(OleVariant Name, OleVariant* Value) { return Reply("GetFieldType", Value, OleVariant("Text"), {Name}); }

TRecordingServerClass::TRecordingServerClass()
{
    RegisterComClass(CLASS_FileDataSet, [this]() -> IUnknown* {
        if (FailCreation) return nullptr;
        auto* Double = new TRecordingFileDataSet;
        if (OnCreate) OnCreate(Double);
        // One reference is the creator's, the list adds its own.
        Created.push_back(TComInterface<TRecordingFileDataSet>(Double));
        return static_cast<IFileDataSet*>(Double);
    });
}

TRecordingServerClass::~TRecordingServerClass()
{
    UnregisterComClass(CLASS_FileDataSet);
}
