#pragma once
// A recording IFileDataSet for the components' tests. Every call is logged in order with its
// arguments ("Open", "SetAccessFile(data.db)", "AddFilterCommand(a,b,)"); getters answer
// what the test told them (Answer), field values come from a map the test fills, and any
// operation can be made to fail with a result code and message (Fail). Handlers and DB
// methods handed to it are kept so that a test can fire the notifications.
//
// Registered under CLASS_FileDataSet for its lifetime by TRecordingServerClass, so that a
// dataset created meanwhile gets a recording double.
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "interface/Ostrel_TLB.h"

class TRecordingFileDataSet : public TComObject<IFileDataSet> {
public:
    TRecordingFileDataSet();

    // The log of calls, in order.
    std::vector<AnsiString> Calls;
    // The calls whose name starts with Prefix.
    std::vector<AnsiString> CallsOf(const AnsiString& Prefix) const;
    // The log without the getters that the components ask at every decision (GetState,
    // GetActive, GetFieldValue, IsKeyField, ...): the calls that do something.
    std::vector<AnsiString> Actions() const;
    void ClearCalls() { Calls.clear(); }

    // The answer of a getter by operation name ("GetState", "GetActive", "GetRecordCount",
    // "GetAccessUser", ...). Defaults: "InActive", false, 0, empty.
    void Answer(const AnsiString& Operation, const OleVariant& Value) { FAnswers[Operation] = Value; }
    // Makes Operation fail with Code and Message (Times: how often; -1 always).
    void Fail(const AnsiString& Operation, HRESULT Code, const AnsiString& Message, int Times = -1);
    // Open makes GetActive true and the state "Browse"; Close, false and "InActive";
    // Edit and Insert set the state (on by default).
    bool FollowState = true;

    std::map<AnsiString, AnsiString> Fields;  // GetFieldValue/SetFieldValue by name
    std::set<AnsiString> KeyFields;           // IsKeyField

    TAfterRecDataSetDataChangeEvent OnAfterDataChange, OnInitDataControlData, OnAfterDBStateChange,
        OnAfterFilterChange;
    TDbMethods* Methods = nullptr;  // not owned

    void SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetDBMethods(TDbMethods* Value) override;
    HRESULT Open(OleVariant* Result) override;
    HRESULT Close() override;
    HRESULT GetAccessUser(OleVariant* User) override;
    HRESULT SetAccessUser(OleVariant User) override;
    HRESULT SetAccessFile(OleVariant FileName) override;
    HRESULT GetBof(OleVariant* Value) override;
    HRESULT GetEof(OleVariant* Value) override;
    HRESULT GetIsEmpty(OleVariant* Value) override;
    HRESULT GetRecordCount(OleVariant* Value) override;
    HRESULT GetFieldCount(OleVariant* Value) override;
    HRESULT First() override;
    HRESULT Prior() override;
    HRESULT Next() override;
    HRESULT Last() override;
    HRESULT Insert() override;
    HRESULT Edit() override;
    HRESULT Delete() override;
    HRESULT Post(OleVariant* Result) override;
    HRESULT GetState(OleVariant* State) override;
    HRESULT GetFieldName(OleVariant Index, OleVariant* Name) override;
    HRESULT GetFieldValue(OleVariant Name, OleVariant* Value) override;
    HRESULT SetFieldValue(OleVariant Name, OleVariant Value) override;
    HRESULT GetActive(OleVariant* Value) override;
    HRESULT GetRepeatCount(OleVariant* Value) override;
    HRESULT GetFiltered(OleVariant* Value) override;
    HRESULT SetFiltered(OleVariant Value) override;
    HRESULT IsKeyField(OleVariant Name, OleVariant* Value) override;
    HRESULT Cancel() override;
    HRESULT GetRecNo(OleVariant* Value) override;
    HRESULT SetRecNo(OleVariant Value) override;
    HRESULT MoveNext(OleVariant* Result) override;
    HRESULT MovePrior(OleVariant* Result) override;
    HRESULT MoveTo(OleVariant RecNo) override;
    HRESULT ClearFilterCommand() override;
    HRESULT GetFieldSize(OleVariant Name, OleVariant* Value) override;
    HRESULT SetExplorerFile(OleVariant FileName) override;
    HRESULT AddFilterCommand(OleVariant Line, OleVariant* Result) override;
    HRESULT SetStartOptionA(OleVariant Value) override;
    HRESULT SetStartOptionB(OleVariant Value) override;
    HRESULT RepeatStep() override;
    HRESULT GetDataReadOnly(OleVariant* Value) override;
    HRESULT SetDataReadOnly(OleVariant Value) override;
    HRESULT GetRecordChangedByOther(OleVariant* Value) override;
    HRESULT SetSchemaFileName(OleVariant FileName) override;
    HRESULT GetFieldType(OleVariant Name, OleVariant* Value) override;

private:
    struct TFailure {
        HRESULT Code;
        AnsiString Message;
        int Times;
    };
    // Logs a handler handed over and keeps it.
    void KeepHandler(const char* Operation, TAfterRecDataSetDataChangeEvent& Slot,
                     const TAfterRecDataSetDataChangeEvent& Handler);
    // Logs the call; answers the failure set for it, if any, else S_OK.
    HRESULT Record(const AnsiString& Operation, const std::vector<OleVariant>& Args = {});
    // Logs a getter and stores its answer in Out.
    HRESULT Reply(const AnsiString& Operation, OleVariant* Out, const OleVariant& Default,
                  const std::vector<OleVariant>& Args = {});

    std::map<AnsiString, OleVariant> FAnswers;
    std::map<AnsiString, TFailure> FFailures;
};

// Registers a factory of recording doubles under CLASS_FileDataSet for its lifetime (the
// earlier registration is gone afterwards: tests that want the real server register it
// again). Each created double is kept in Created, newest last.
class TRecordingServerClass {
public:
    TRecordingServerClass();
    ~TRecordingServerClass();
    TRecordingServerClass(const TRecordingServerClass&) = delete;
    TRecordingServerClass& operator=(const TRecordingServerClass&) = delete;

    TRecordingFileDataSet* Last() const { return Created.empty() ? nullptr : Created.back().get(); }
    std::vector<TComInterface<TRecordingFileDataSet>> Created;
    // Makes the next creations fail (the factory makes no object).
    bool FailCreation = false;
    // Runs on each new double before it is handed out (to script answers and failures).
    std::function<void(TRecordingFileDataSet*)> OnCreate;
};
