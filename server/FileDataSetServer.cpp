#include "server/FileDataSetServer.h"

#include <algorithm>
#include <vector>

#include "com/ErrorInfo.h"
#include "framework/core/Invariants.h"
#include "framework/core/Translation.h"
#include "server/ServerError.h"

namespace RecordServer {

namespace {

const char* const ErrorSource = "Ostrel.FileDataSet";

// A field's name in UTF-16: the text a variant holds as it is, without a copy; anything else
// converted into Converted.
std::u16string_view FieldName(const OleVariant& Name, WideString& Converted)
{
    if (const WideString* Text = Name.WideText()) return *Text;
    Converted = Name.AsWideString();
    return Converted;
}

}  // namespace

template <class F>
HRESULT TFileDataSetServer::Call(F&& Body)
{
    TComInterface<TFileDataSetServer> KeepAlive(this);
    HRESULT Code = CallWithoutHandlers(std::forward<F>(Body));
    ZFD_CHECK_INVARIANTS(FSession);
    return Code;
}

template <class F>
HRESULT TFileDataSetServer::CallWithoutHandlers(F&& Body)
{
    TTableSession::TCallFrame Frame(FSession);
    try {
        Body();
    } catch (const EServerError& E) {
        return ReportError(E.Code(), E.Message(), ErrorSource);
    } catch (const EVariantError& E) {
        return ReportError(E_INVALIDARG, FormatText(TranslateText("FileDataSetServer", "Invalid argument: %1"), {E.Message()}),
                           ErrorSource);
    } catch (const std::bad_alloc&) {
        return ReportError(E_OUTOFMEMORY, TranslateText("FileDataSetServer", "The record server ran out of memory."), ErrorSource);
    } catch (const std::exception& E) {
        return ReportError(E_FAIL, E.what(), ErrorSource);
    } catch (...) {
        return ReportError(E_FAIL, TranslateText("FileDataSetServer", "The record server failed."), ErrorSource);
    }
    if (const auto& Failure = Frame.Failure()) return ReportError(Failure->Code, Failure->Message, ErrorSource);
    return S_OK;
}

template <class F>
HRESULT TFileDataSetServer::Answer(OleVariant* Out, F&& Body)
{
    TComInterface<TFileDataSetServer> KeepAlive(this);
    HRESULT Code = AnswerWithoutHandlers(Out, std::forward<F>(Body));
    ZFD_CHECK_INVARIANTS(FSession);
    return Code;
}

template <class F>
HRESULT TFileDataSetServer::AnswerWithoutHandlers(OleVariant* Out, F&& Body)
{
    return CallWithoutHandlers([&] {
        if (!Out) throw EServerError(TranslateText("FileDataSetServer", "No variable was given for the result."), E_POINTER);
        *Out = OleVariant(Body());
    });
}

void TFileDataSetServer::SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent Handler)
{
    FSession.SetOnAfterDataChange(Handler);
}

void TFileDataSetServer::SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent Handler)
{
    FSession.SetOnInitDataControlData(Handler);
}

void TFileDataSetServer::SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent Handler)
{
    FSession.SetOnAfterDBStateChange(Handler);
}

void TFileDataSetServer::SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent Handler)
{
    FSession.SetOnAfterFilterChange(Handler);
}

void TFileDataSetServer::SetDBMethods(TDbMethods* Methods)
{
    FSession.SetDBMethods(Methods);
}

HRESULT TFileDataSetServer::Open(OleVariant* Result)
{
    HRESULT Code = Call([&] { FSession.Open(); });
    if (Result) *Result = OleVariant(FSession.Active());
    return Code;
}

HRESULT TFileDataSetServer::Close()
{
    return Call([&] { FSession.Close(); });
}

HRESULT TFileDataSetServer::GetAccessUser(OleVariant* User)
{
    return Answer(User, [&] { return FSession.AccessUser(); });
}

HRESULT TFileDataSetServer::SetAccessUser(OleVariant User)
{
    return Call([&] { FSession.SetAccessUser(User.AsString()); });
}

HRESULT TFileDataSetServer::SetAccessFile(OleVariant FileName)
{
    return Call([&] { FSession.SetAccessFile(FileName.AsString()); });
}

HRESULT TFileDataSetServer::GetBof(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.Bof(); });
}

HRESULT TFileDataSetServer::GetEof(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.Eof(); });
}

HRESULT TFileDataSetServer::GetIsEmpty(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.IsEmpty(); });
}

HRESULT TFileDataSetServer::GetRecordCount(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.RecordCount(); });
}

HRESULT TFileDataSetServer::GetFieldCount(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.FieldCount(); });
}

HRESULT TFileDataSetServer::First()
{
    return Call([&] { FSession.First(); });
}

HRESULT TFileDataSetServer::Prior()
{
    return Call([&] { FSession.Prior(); });
}

HRESULT TFileDataSetServer::Next()
{
    return Call([&] { FSession.Next(); });
}

HRESULT TFileDataSetServer::Last()
{
    return Call([&] { FSession.Last(); });
}

HRESULT TFileDataSetServer::Insert()
{
    return Call([&] { FSession.Insert(); });
}

HRESULT TFileDataSetServer::Edit()
{
    return Call([&] { FSession.Edit(); });
}

HRESULT TFileDataSetServer::Delete()
{
    return Call([&] { FSession.Delete(); });
}

HRESULT TFileDataSetServer::Post(OleVariant* Result)
{
    // True only when a pending record was written: with nothing pending, or on a closed
    // table, Post does nothing and answers False.
    bool Posted = false;
    HRESULT Code = Call([&] {
        const bool WasPending = FSession.State() == TSessionState::Edit || FSession.State() == TSessionState::Insert;
        FSession.Post();
        Posted = WasPending && (!FSession.Active() || FSession.State() == TSessionState::Browse);
    });
    if (Result) *Result = OleVariant(SUCCEEDED(Code) && Posted);
    return Code;
}

HRESULT TFileDataSetServer::GetState(OleVariant* State)
{
    return Answer(State, [&] { return FSession.StateText(); });
}

HRESULT TFileDataSetServer::GetFieldName(OleVariant Index, OleVariant* Name)
{
    return Answer(Name, [&] { return FSession.FieldName(Index.AsInteger()); });
}

HRESULT TFileDataSetServer::GetFieldValue(OleVariant Name, OleVariant* Value)
{
    WideString Converted;
    return AnswerWithoutHandlers(Value,
                                 [&]() -> const AnsiString& { return FSession.FieldValue(FieldName(Name, Converted)); });
}

HRESULT TFileDataSetServer::SetFieldValue(OleVariant Name, OleVariant Value)
{
    WideString Converted;
    return CallWithoutHandlers([&] { FSession.SetFieldValue(FieldName(Name, Converted), Value.AsString()); });
}

HRESULT TFileDataSetServer::GetActive(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.Active(); });
}

HRESULT TFileDataSetServer::GetRepeatCount(OleVariant* Value)
{
    return Answer(Value, [] { return 0; });
}

HRESULT TFileDataSetServer::GetFiltered(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.Filtered(); });
}

HRESULT TFileDataSetServer::SetFiltered(OleVariant Value)
{
    return Call([&] { FSession.SetFiltered(Value.AsBoolean()); });
}

HRESULT TFileDataSetServer::IsKeyField(OleVariant Name, OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.IsKeyField(Name.AsString()); });
}

HRESULT TFileDataSetServer::Cancel()
{
    return Call([&] { FSession.Cancel(); });
}

HRESULT TFileDataSetServer::GetRecNo(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.RecNo(); });
}

HRESULT TFileDataSetServer::SetRecNo(OleVariant Value)
{
    return Call([&] { FSession.MoveTo(Value.AsInteger()); });
}

HRESULT TFileDataSetServer::MoveNext(OleVariant* Result)
{
    bool OnRecord = false;
    HRESULT Code = Call([&] { OnRecord = FSession.MoveNext(); });
    if (Result) *Result = OleVariant(OnRecord);
    return Code;
}

HRESULT TFileDataSetServer::MovePrior(OleVariant* Result)
{
    bool OnRecord = false;
    HRESULT Code = Call([&] { OnRecord = FSession.MovePrior(); });
    if (Result) *Result = OleVariant(OnRecord);
    return Code;
}

HRESULT TFileDataSetServer::MoveTo(OleVariant RecNo)
{
    return Call([&] { FSession.MoveTo(RecNo.AsInteger()); });
}

HRESULT TFileDataSetServer::ClearFilterCommand()
{
    return Call([&] { FSession.ClearFilterCommand(); });
}

HRESULT TFileDataSetServer::GetFieldSize(OleVariant Name, OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.FieldSize(Name.AsString()); });
}

HRESULT TFileDataSetServer::SetExplorerFile(OleVariant FileName)
{
    return Call([&] { FSession.SetExplorerFile(FileName.AsString()); });
}

HRESULT TFileDataSetServer::AddFilterCommand(OleVariant Line, OleVariant* Result)
{
    HRESULT Code = Call([&] { FSession.AddFilterCommand(Line.AsString()); });
    if (Result) *Result = OleVariant(SUCCEEDED(Code));
    return Code;
}

HRESULT TFileDataSetServer::SetStartOptionA(OleVariant Value)
{
    return Call([&] { FSession.SetStartOptionA(Value.AsBoolean()); });
}

HRESULT TFileDataSetServer::SetStartOptionB(OleVariant Value)
{
    return Call([&] { FSession.SetStartOptionB(Value.AsBoolean()); });
}

HRESULT TFileDataSetServer::RepeatStep()
{
    return S_OK;
}

HRESULT TFileDataSetServer::GetDataReadOnly(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.DataReadOnly(); });
}

HRESULT TFileDataSetServer::SetDataReadOnly(OleVariant Value)
{
    return Call([&] { FSession.SetDataReadOnly(Value.AsBoolean()); });
}

HRESULT TFileDataSetServer::GetRecordChangedByOther(OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.RecordChangedByOther(); });
}

HRESULT TFileDataSetServer::SetSchemaFileName(OleVariant FileName)
{
    return Call([&] { FSession.SetSchemaFileName(FileName.AsString()); });
}

HRESULT TFileDataSetServer::GetFieldType(OleVariant Name, OleVariant* Value)
{
    return Answer(Value, [&] { return FSession.FieldType(Name.AsString()); });
}

HRESULT TFileDataSetServer::GetCommitDescriptor(int* Descriptor)
{
    return CallWithoutHandlers([&] {
        if (!Descriptor) throw EServerError(TranslateText("FileDataSetServer", "No variable was given for the descriptor."), E_POINTER);
        *Descriptor = -1;
        *Descriptor = FSession.CommitDescriptor();
    });
}

HRESULT TFileDataSetServer::TakeOthersCommits(bool TakeIn, int* RecNos, int Count, bool* Changed)
{
    return Call([&] {
        if (!Changed || (Count > 0 && !RecNos))
            throw EServerError(
                TranslateText("FileDataSetServer", "No variable was given for the answer or the record numbers."),
                E_POINTER);
        *Changed = false;
        std::vector<int> Followed(RecNos, RecNos + std::max(Count, 0));
        if (!FSession.TakeOthersCommits(TakeIn, Followed)) return;
        std::copy(Followed.begin(), Followed.end(), RecNos);
        *Changed = true;
    });
}

HRESULT TFileDataSetServer::HoldCommits(bool Hold)
{
    return CallWithoutHandlers([&] { FSession.HoldCommits(Hold); });
}

}  // namespace RecordServer
