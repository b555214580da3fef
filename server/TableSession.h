#pragma once
// One user's session on one table: its cursor, state and edit buffer, the filter, the
// triggers and the notifications. The IFileDataSet object (FileDataSetServer.h) is a thin
// shell around it that converts variants and turns failures into result codes. Its parts:
//   TSessionView (SessionView.h)  the ids of the records it sees, kept in step with the
//                                 other sessions' commits and placed after its own writes
//   TableSessionLive.cpp          the live view: what wakes it, and others' commits taken in
//                                 between operations
//   TReadAhead (ReadAhead.h)      the records read ahead of the cursor, by the access pattern
//   RecordChecks.h                the checks of a record before it is written
//
// States and operations. "-" in the notification column: nothing is notified. Cursor moves
// and Insert post a pending record first, with the post's own triggers and notifications; if
// that post fails, the operation fails and the record stays pending. Cancel (and Delete while
// inserting) discards the pending record without asking the storage, so it succeeds also
// while the storage cannot be reached, and what the user cancelled is never posted later.
//
//   operation              allowed in              state afterwards        notified, in order
//   ---------------------  ----------------------  ----------------------  ---------------------------------
//   Open                   Inactive                Browse, cursor on 1st   state
//                          open                    unchanged (no-op)       -
//   Close                  every state             Inactive (pending lost) state; nothing when Inactive
//   First/Prior/Next/Last  open                    Browse                  (post) data
//   MoveTo/MoveNext/       every state (no-op      unchanged               - (never posts or cancels)
//     MovePrior              while Inactive)
//   Insert                 Browse/Edit/Insert,     Insert, empty buffer    before-insert trigger, after-insert
//                            writable                                        trigger, state, data
//   Edit                   Browse with a current   Edit, buffer = record   before-edit trigger, after-edit
//                            record, writable;                               trigger, state
//                            Edit: no-op; Insert: refused
//   Post                   Edit/Insert;            Browse, cursor on the   collect, before-post triggers, checks,
//                            other states: no-op     posted record           write, after-post triggers, state, data
//   Cancel of an insert    Insert                  Browse                  state (StateText "Cancel"), state, data
//   Cancel of an edit      Edit; Browse: no-op     Browse                  state, data
//   Delete                 Browse with a current   Browse, cursor on the   before-delete trigger, after-delete
//                            record, or Edit;        next record (or the     trigger, state, data
//                            writable                new last)
//   Delete while inserting Insert                  Browse                  as Cancel of an insert (no delete)
//   SetFiltered (a change) open                    unchanged               filter, state, data
//   SetFiltered            Inactive                Inactive                - (remembered for Open)
//   TakeOthersCommits      Browse (takes them in)  unchanged               - (the caller refreshes)
//                          other states: drains
//   HoldCommits            every state             unchanged               -
//   SetFieldValue          Edit/Insert             unchanged               -
//   field and schema       every state             unchanged               -
//     questions
//
// Invariants (while open; when Inactive FStore is null, the view empty and FPos 0):
//   FPos is in 0..FView.Count(); FPos == FView.Count() means no current record.
//   FView holds the ids of the stored records that pass the filter, in key order, as of the
//     last commit this session applied; Sync() brings it up to date (SessionView.h), with
//     every commit acknowledged before a navigation or a count began, except while
//     FCommitsHeld (HoldCommits: the caller shows what the live view's last look took in).
//   FCurrent.Id == FView.At(FPos) whenever there is a current record; FCurrent is empty
//     (Id 0) otherwise. (A positioning whose read failed leaves FCurrent as it was, and the
//     call fails.)
//   FView is filtered exactly when FFiltered says so.
//   FRereadMark is set from a change of the view that failed half-way (the store failed)
//     until the next operation reads the view again; meanwhile the view may lack records or
//     hold them at old places, and FPos is only known to be in range.
//   FReadVersion is the version of the current record when this session positioned onto it.
//   FBuffer has one value per field exactly while the state is Edit or Insert, else is empty.
//   FEditId/FEditVersion/FEditOriginal describe the record being edited only in Edit.
//   FReadAhead holds only records as stored now: others' commits taken in drop the records
//     they wrote; this session's writes and a new view empty it.
//   FPendingGeneration changes whenever a pending record begins or ends.
//   FAnswerCancelState is true only inside the first state notification of a cancelled insert.
//   FNextLineStartsNewSet is true from SetFiltered(false) until the next line is added or
//     the filter is switched on.
//
// Threading: a session is used by one thread at a time and is not synchronised; its handlers
// and triggers run on the calling thread, inside the call. Each session holds its own store,
// with a connection of its own, and shares only what the stores share between sessions (the
// registry of memory tables, a memory table's change log, the count of this process's
// PostgreSQL writes), which lock themselves, so different sessions may live on different
// threads.
//
// Handlers and DB methods handed to the session (the four notification setters and
// SetDBMethods) are not owned: the caller clears them (sets an empty handler or a null
// collection) before it frees their target. The session checks each handler, and the
// collection, at the moment it would call it, so a handler cleared earlier in the same call
// (even by another handler) is never called.
//
// Failures raise EServerError, as the stores do; nothing is undone by a failure that the step
// itself did not make. A failure that comes after the step was done (a notification handler or
// an after-trigger that failed) does not undo the step: it is kept in the call's frame
// (TCallFrame) and reported when the call returns.
//
// CheckInvariants() answers the first of these that is broken; the IFileDataSet object checks
// them at the end of every call that may change them, in builds with assertions (Invariants.h).
//
// Field reads (GetFieldValue and the schema questions) answer from what the session holds;
// every other operation on an open table first asks the storage whether another session
// committed, and takes those commits into the view when one did.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "com/HResult.h"
#include "interface/Ostrel_TLB.h"
#include "server/FilterCommand.h"
#include "server/ReadAhead.h"
#include "server/RecordStore.h"
#include "server/Schema.h"
#include "server/SessionView.h"

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

    // Handlers and DB methods: not owned; the caller clears them before freeing their target
    // (see the top of this file). An empty handler or a null collection is never called.
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
    // The field's type as its schema writes it (FieldTypeName); empty for a blank name.
    AnsiString FieldType(const AnsiString& Name);
    // Valid until the session's next call. The name comes in UTF-16, as an interface call
    // brings it, and is compared with the fields' names without converting it.
    const AnsiString& FieldValue(std::u16string_view Name);
    void SetFieldValue(std::u16string_view Name, AnsiString Value);

    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value);
    void ClearFilterCommand();
    void AddFilterCommand(const AnsiString& Line);

    // The live view (TableSessionLive.cpp, IFileDataSetWatch). The descriptor that becomes
    // readable when another session may have committed; -1 while closed or without one.
    int CommitDescriptor();
    // Drains the descriptor. With TakeIn, in "Browse", takes the others' commits in as Sync
    // does, counts the current record as read now, and rewrites RecNos (1-based record numbers)
    // with where their records are now (-1: gone). True when any commit was taken in.
    bool TakeOthersCommits(bool TakeIn, std::vector<int>& RecNos);
    // While held, Sync takes nothing in: the caller shows what the last look took in.
    void HoldCommits(bool Hold) { FCommitsHeld = Hold; }

    // The first broken invariant of those at the top of this file, or empty text (see
    // Invariants.h); with WithView, of the view's too (which the view checks itself where it
    // changes, in builds with assertions).
    AnsiString CheckInvariants(bool WithView = false) const;

private:
    enum class TMove { First, Prior, Next, Last };

    bool Pending() const { return FState == TSessionState::Edit || FState == TSessionState::Insert; }
    bool HasCurrent() const { return FPos < FView.Count(); }
    void RequireOpen() const;
    void RequireWritable(const char* Step) const;
    void RequireCurrent(const char* Step) const;
    // The open table's schema, or the named schema file's while closed.
    const TTableSchema& QuerySchema();
    // Makes Schema the table's, its field names also in UTF-16 (as callers name fields).
    void TakeSchema(TTableSchema Schema);
    // The field after the one found last, the first after the last field: the one a reader of
    // every field in order asks for next.
    std::size_t FieldAfterLast() const { return FLastField + 1 < FWideNames.size() ? FLastField + 1 : 0; }
    // Index of the field named exactly Name; EServerError when there is none.
    std::size_t FieldIndex(const AnsiString& Name);
    std::size_t FieldIndex(std::u16string_view Name);
    static const AnsiString& NoValue();
    const AnsiString& FieldValueAt(std::size_t Index) const;
    void SetFieldValueAt(std::size_t Index, AnsiString Value);
    TTableSchema ReadNamedSchema(AnsiString& CanonicalPath) const;

    // Where the cursor was before the view changed under it.
    struct TCursorMark {
        std::optional<std::int64_t> Id;  // the current record; none when past the end or empty
        std::int64_t Pos = 0;
        std::int64_t Count = 0;          // the view's size
    };

    // Brings the view up to date with other sessions' commits: the records they wrote move
    // in the view (out, in at their ordered place), from the store's change log; the whole
    // view is read again only when the log no longer reaches back to this session's last look.
    // Sure (the moves First to Last, counts, Bof/Eof, the record number): every commit
    // acknowledged to anyone before the call is in the view afterwards. Known: what the store
    // knows without asking, for the operations that ask the storage themselves (writes, which
    // the storage judges by key and version; Edit, which reads the record's version; a new
    // reading of the view), or that follow an operation that looked (Insert, whose
    // notifications navigate; the silent positioning MoveTo/MoveNext/MovePrior with which a
    // grid lays out the page that a navigation began).
    // True when it took any commit in.
    bool Sync(TLook Look = TLook::Sure);
    // Runs Change, which moves the view's ids. When it fails half-way, the view and the store's
    // change log no longer agree: the next operation reads the view again and puts the cursor
    // back on Mark's record (FRereadMark).
    template <class F>
    void ChangeView(const TCursorMark& Mark, F&& Change);
    void ReadView();
    TCursorMark MarkCursor();
    void RebuildView(const TCursorMark& Mark);
    // Puts the cursor back on the marked record, now at Found (-1: it left the view), keeping
    // what the session knew of it.
    void PlaceCursor(const TCursorMark& Mark, std::int64_t Found);
    // Shows the records that pass Conditions; the cursor stays on its record when that
    // passes, else goes to the first record.
    void ApplyFilter(const std::vector<TFilterCondition>& Conditions);
    // Puts the cursor at Pos (clamped) and reads the record there.
    void PositionAt(std::int64_t Pos);
    void ReadCurrent();
    // Whether the current record changed in storage since this session read it (no Sync).
    bool CurrentChangedInStore();
    void RefuseIfChangedByOther(const char* Step);

    void Navigate(TMove Move);
    void PostPending();
    void CollectControls();
    // Shows this session's write in the view: Written stood at OldPos (-1 for a new record);
    // Reorder: its key changed (or it is new).
    void PlaceWrittenRecord(TStoredRecord Written, std::int64_t OldPos, bool Reorder);
    void ShowWritten(std::int64_t Pos, TStoredRecord Written);
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
    bool FReadOnlyRequested = false;

    // The table.
    TTableSchema FSchema;  // of the open table, or read for questions while closed
    bool FSchemaLoaded = false;
    std::vector<std::u16string> FWideNames;  // FSchema's field names in UTF-16, in field order
    std::size_t FLastField = SIZE_MAX;  // the index FieldIndex found last: fields are mostly asked for in order
    std::unique_ptr<TRecordStore> FStore;  // owned; null while closed
    bool FUserReadOnly = false;
    TSessionState FState = TSessionState::Inactive;
    bool FCommitsHeld = false;  // HoldCommits: Sync takes nothing in
    bool FAnswerCancelState = false;

    // The view and the cursor. FPos == FView.Count() means no current record (an empty view,
    // or past the end after MoveNext from the last record).
    TSessionView FView;
    std::int64_t FPos = 0;
    TStoredRecord FCurrent;                // the record under the cursor as last read
    std::int64_t FReadVersion = 0;         // its version when this session positioned onto it
    bool FCurrentDeletedByOther = false;   // the record positioned onto was deleted by another
    TReadAhead FReadAhead;                 // the records read ahead of the cursor
    std::optional<TCursorMark> FRereadMark;  // the view must be read again, the cursor put back here

    // The pending record.
    std::vector<AnsiString> FBuffer;
    std::vector<AnsiString> FEditOriginal;  // the record's values when the edit began
    std::int64_t FEditId = 0;
    std::int64_t FEditVersion = 0;
    unsigned FPendingGeneration = 0;  // changes whenever a pending record begins or ends

    // The filter.
    std::vector<TFilterCondition> FFilterLines;
    bool FFiltered = false;
    bool FNextLineStartsNewSet = false;  // the next added line starts a new set (after SetFiltered(false))
};

}  // namespace RecordServer
