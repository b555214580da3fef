#pragma once
// One user's session on one table: its cursor, state and edit buffer, the filter, the
// triggers and the notifications. The IFileDataSet object (FileDataSetServer.h) is a thin
// shell around it that converts variants and turns failures into result codes.
//
// Failures raise EServerError (or ESqliteError from the storage); nothing is undone by a
// failure that the step itself did not make. A failure that comes after the step was done
// (a notification handler or an after-trigger that failed) does not undo the step: it is
// kept in the call's frame (TCallFrame) and reported when the call returns.
//
// Field reads (GetFieldValue and the schema questions) answer from what the session holds;
// every other operation on an open table first asks the storage whether another session
// committed, and rebuilds the view when one did.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "com/HResult.h"
#include "interface/Ostrel_TLB.h"
#include "server/FilterCommand.h"
#include "server/RecordStore.h"
#include "server/RecordView.h"
#include "server/Schema.h"

namespace RecordServer {

enum class TSessionState { Inactive, Browse, Edit, Insert };

struct TDeferredFailure {
    HRESULT Code = E_FAIL;
    AnsiString Message;
};

class TTableSession {
public:
    TTableSession();
    ~TTableSession();
    TTableSession(const TTableSession&) = delete;
    TTableSession& operator=(const TTableSession&) = delete;

    // The failures of one call to the session that did not stop its step. Calls nest (a
    // handler that the session runs may call it again); each frame keeps its own.
    class TCallFrame {
    public:
        explicit TCallFrame(TTableSession& Session);
        ~TCallFrame();
        TCallFrame(const TCallFrame&) = delete;
        TCallFrame& operator=(const TCallFrame&) = delete;
        const std::optional<TDeferredFailure>& Failure() const { return FFailure; }

    private:
        friend class TTableSession;
        TTableSession& FSession;
        TCallFrame* FOuter;  // not owned: the frame of the call this one runs inside
        std::optional<TDeferredFailure> FFailure;
    };

    // Handlers and DB methods (none is owned).
    void SetOnAfterDataChange(const TAfterRecDataSetDataChangeEvent& Handler) { FOnDataChange = Handler; }
    void SetOnInitDataControlData(const TAfterRecDataSetDataChangeEvent& Handler) { FOnCollect = Handler; }
    void SetOnAfterDBStateChange(const TAfterRecDataSetDataChangeEvent& Handler) { FOnStateChange = Handler; }
    void SetOnAfterFilterChange(const TAfterRecDataSetDataChangeEvent& Handler) { FOnFilterChange = Handler; }
    void SetDBMethods(TDbMethods* Methods) { FMethods = Methods; }

    // What the next Open uses.
    const AnsiString& AccessUser() const { return FAccessUser; }
    // A user name with a control character, or a file name with a NUL (which the system
    // would cut the name at), is refused.
    void SetAccessUser(const AnsiString& User);
    void SetAccessFile(const AnsiString& FileName);
    void SetSchemaFileName(const AnsiString& FileName);
    bool DataReadOnly() const;
    void SetDataReadOnly(bool Value);
    // Kept for the "Explorer" user and the start options; they change nothing.
    void SetExplorerFile(const AnsiString& FileName) { FExplorerFile = FileName; }
    void SetStartOptionA(bool Value) { FStartOptionA = Value; }
    void SetStartOptionB(bool Value) { FStartOptionB = Value; }

    void Open();
    void Close();
    bool Active() const { return FState != TSessionState::Inactive; }
    // "InActive", "Browse", "Edit", "Insert"; "Cancel" inside the first state notification
    // of a cancelled insert.
    AnsiString StateText() const;
    TSessionState State() const { return FState; }

    bool Bof();
    bool Eof();
    bool IsEmpty();
    int RecordCount();
    // 1-based position of the current record in the view; -1 without one.
    int RecNo();
    bool RecordChangedByOther();

    // Cursor moves that post a pending record first and report a data change.
    void First();
    void Prior();
    void Next();
    void Last();
    // Silent positioning: no post, no notification, allowed in every state (on a closed
    // table it does nothing).
    void MoveTo(int RecNo);
    bool MoveNext();   // true when the cursor is on a record afterwards
    bool MovePrior();  // likewise

    void Insert();
    void Edit();
    void Delete();
    void Post();
    void Cancel();

    // Schema questions; they work while closed too, from the schema file named.
    int FieldCount();
    AnsiString FieldName(int Index);
    bool IsKeyField(const AnsiString& Name);
    int FieldSize(const AnsiString& Name);
    AnsiString FieldValue(const AnsiString& Name);
    void SetFieldValue(const AnsiString& Name, AnsiString Value);

    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value);
    void ClearFilterCommand();
    void AddFilterCommand(const AnsiString& Line);

private:
    enum class TMove { First, Prior, Next, Last };

    bool Pending() const { return FState == TSessionState::Edit || FState == TSessionState::Insert; }
    bool HasCurrent() const { return FPos < FView.Count(); }
    void RequireOpen() const;
    void RequireWritable(const char* Step) const;
    void RequireCurrent(const char* Step) const;
    // The open table's schema, or the named schema file's while closed.
    const TTableSchema& QuerySchema();
    // Index of the field named exactly Name; EServerError when there is none.
    std::size_t FieldIndex(const AnsiString& Name);
    TTableSchema ReadNamedSchema(AnsiString& CanonicalPath) const;

    // Brings the view up to date with other sessions' commits.
    void Sync();
    void RebuildView();
    // Shows the records that pass Conditions; the cursor stays on its record when that
    // passes, else goes to the first record.
    void ApplyFilter(const std::vector<TFilterCondition>& Conditions);
    // Puts the cursor at Pos (clamped) and reads the record there.
    void PositionAt(std::int64_t Pos);
    void ReadCurrent();
    void RefuseIfChangedByOther(const char* Step);

    void Navigate(TMove Move);
    void PostPending();
    void CollectControls();
    void NormalizeBuffer();
    void CheckValues(const std::vector<AnsiString>& Values) const;
    [[noreturn]] void RefuseDuplicateKey(const std::vector<AnsiString>& Values) const;
    void PlaceWrittenRecord(TStoredRecord Written, bool WasInsert, bool Reorder);
    void ShowWritten(std::int64_t Pos, TStoredRecord Written);
    std::optional<std::int64_t> InsertPosition(std::int64_t Id);
    void EndPending();
    void CancelPending();

    void RunTriggers(TCallTriggerTiming Moment, bool Before, const char* Step);
    void Notify(const TAfterRecDataSetDataChangeEvent& Handler);
    void Defer(HRESULT Code, const AnsiString& Message);

    // Handlers and methods.
    TAfterRecDataSetDataChangeEvent FOnDataChange, FOnCollect, FOnStateChange, FOnFilterChange;
    TDbMethods* FMethods = nullptr;  // not owned: the dataset's collection
    TCallFrame* FFrame = nullptr;    // not owned: the innermost call's frame

    // Settings.
    AnsiString FAccessUser, FAccessFile, FSchemaFileName, FExplorerFile;
    bool FStartOptionA = false, FStartOptionB = false;
    bool FReadOnlyAsked = false;

    // The table.
    TTableSchema FSchema;  // of the open table, or read for questions while closed
    bool FSchemaRead = false;
    std::unique_ptr<TRecordStore> FStore;  // owned; null while closed
    bool FUserReadOnly = false;
    TSessionState FState = TSessionState::Inactive;
    bool FReportCancel = false;

    // The view and the cursor. FPos == FView.Count() means no current record (an empty view,
    // or past the end after MoveNext from the last record).
    TRecordView FView;
    std::int64_t FPos = 0;
    TStoredRecord FCurrent;            // the record under the cursor as last read
    std::int64_t FReadVersion = 0;     // its version when this session positioned onto it
    bool FCurrentVanished = false;     // the record positioned onto was deleted by another

    // The pending record.
    std::vector<AnsiString> FBuffer;
    std::vector<AnsiString> FEditOriginal;  // the record's values when the edit began
    std::int64_t FEditId = 0;
    std::int64_t FEditVersion = 0;
    unsigned FPendingNumber = 0;  // changes whenever a pending record begins or ends

    // The filter.
    std::vector<TFilterCondition> FFilterLines;
    bool FFiltered = false;
    bool FLinesReplaced = false;  // the next added line starts a new set (after SetFiltered(false))
};

}  // namespace RecordServer
