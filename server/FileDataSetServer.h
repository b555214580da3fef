#pragma once
// The server object behind IFileDataSet and IFileDataSetWatch (the live view's wake-up and
// look): one user's session on one table (TTableSession).
// It converts the variants, keeps itself alive while a call runs (a handler it calls may
// drop the caller's last reference), and turns every failure into a failing result code
// with this thread's error info set; no exception leaves an IFileDataSet call.
//
// Operations the components expect nothing particular from:
//   SetStartOptionA/B, SetExplorerFile  stored, without effect
//   RepeatStep                          does nothing
//   GetRepeatCount                      0
//   Open, Post, MoveNext, MovePrior     the out-value is true when the table is open /
//                                       the record was posted / the cursor is on a record
//   AddFilterCommand                    the out-value is true when the line was accepted
#include "interface/FileDataSetWatch.h"
#include "interface/Ostrel_TLB.h"
#include "server/TableSession.h"

namespace RecordServer {

class TFileDataSetServer : public TComObject<IFileDataSet, IFileDataSetWatch> {
public:
    TFileDataSetServer() = default;

    // The handlers and the DB methods are not owned: the caller clears each (an empty handler,
    // a null collection) before it frees the object it points into. The server calls a
    // handler only while it is assigned and reads it afresh each time, so a cleared handler
    // is never called, not even later in the call that cleared it.
    void SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent Handler) override;
    void SetDBMethods(TDbMethods* Methods) override;
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

    // IFileDataSetWatch.
    HRESULT GetCommitDescriptor(int* Descriptor) override;
    HRESULT TakeOthersCommits(bool TakeIn, int* RecNos, int Count, bool* Changed) override;
    HRESULT HoldCommits(bool Hold) override;

    // The first broken invariant of the session or its view, empty when all hold (see
    // Invariants.h). Every call that may change the session checks the session's at its end,
    // in builds with assertions; the view checks its own where it changes.
    AnsiString CheckInvariants() const { return FSession.CheckInvariants(true); }

protected:
    ~TFileDataSetServer() override = default;

private:
    // Runs Body as one interface call: failures become the result code and error info. The
    // server holds a reference to itself meanwhile, since a handler that Body calls may drop
    // the caller's last one.
    template <class F>
    HRESULT Call(F&& Body);
    // The same without that reference, for a Body that calls no handler (a field read or set,
    // a hundred times a page or a dozen a record: the reference costs two atomic operations).
    template <class F>
    HRESULT CallWithoutHandlers(F&& Body);
    // Runs Body as Call or CallWithoutHandlers does and stores what it answers in *Out.
    template <class F>
    HRESULT Answer(OleVariant* Out, F&& Body);
    template <class F>
    HRESULT AnswerWithoutHandlers(OleVariant* Out, F&& Body);

    TTableSession FSession;
};

}  // namespace RecordServer
