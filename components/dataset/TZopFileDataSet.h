#pragma once
// TZopFileDataSet: the non-visual dataset through which every other component reaches the
// records. It creates and owns one record-storage server object (IFileDataSet), holds the
// access parameters, the read-only switch, the filter command lines and the DB methods,
// opens and closes the server, and relays the server's four notifications to its data
// source; the fourth, when the server collects the bound controls' values at a post, has the
// data source write them into the record.
//
// Apart from Active the component keeps no state: the dataset state, counts, positions and
// field values are asked from the server each time a decision needs them.
//
// The live view (LiveView, on by default; TLiveView.h): while the dataset is open, other
// sessions' commits are shown by themselves, through the data source's own paths, whenever
// the user is not at work ("Browse", nothing typed and unposted); OnLiveRefresh follows each
// such refresh.
//
// States (FActive, FActivePending):
//
//   state        | FActive | FActivePending | entered by
//   -------------+---------+----------------+---------------------------------------------
//   closed       | false   | false          | construction; SetFActive(false); an opening
//                |         |                | whose GetActive is not true
//   opening due  | false   | true           | SetFActive(true) while csLoading
//   open         | true    | false, or true | an opening whose GetActive is true (a pending
//                |         | after pending  | opening leaves FActivePending set)
//
//   operation          | closed                      | opening due            | open
//   -------------------+-----------------------------+------------------------+------------------------
//   SetFActive(true)   | Open, methods, filter lines | (loading: stays due)   | opens again, sends the
//                      | -> open, or stays closed    |                        | filter lines again
//   SetFActive(false)  | Close, refresh              | Close -> closed        | Close -> closed, refresh
//   Notification(ins.) | nothing                     | opens while loading    | nothing (GetActive true)
//   Loaded             | nothing                     | opens (it was the last | nothing
//                      |                             | component of its form) |
//
//   An opening that fails while the form loads raises with the dataset's name in the
//   message; the form reader then names the form file.
//   SetFReadOnly       | stored and sent             | stored and sent        | ignored
//
// Invariants:
// - FDataSet is the only server reference the component holds; it is never shared with
//   another dataset. The server holds four handlers bound to this object and a pointer to
//   FDBMethods: both are cleared on the server before this object or FDBMethods is freed,
//   and before a replaced server is released (the server never calls a cleared handler).
// - FDataSource is set and cleared only by the data source (SetFDataSource below); a data
//   source clears it when it is destroyed, so no notification reaches a destroyed one.
// - FLive watches FDataSet's commit descriptor only while the dataset is open with LiveView
//   on; it stops before the server reference is released or replaced.
//
// Rows already shown (RecordsEpoch): a grid whose page only shifts (Down at its bottom row,
// Next across its edge) shows again the rows it read, instead of reading their fields again,
// while the records cannot have changed since. RecordsEpoch changes whenever they may have:
// a state notification (the server's answer to its own edit, insert, post, cancel, delete,
// open, close and filter), a filter notification, Refresh, and every look of the live view,
// whether it took anything in or not (an operation may have taken the commits in first, as
// every operation does). MayReuseShownRows allows it only while the live view watches and no
// commit waits on its descriptor: without the live view nothing would tell of others' commits.
// A look that finds rows shown again since the epoch changed has the page read again.
//
// Threading: GUI thread only. The server calls the handlers on the caller's thread.
#include <cstdint>
#include <memory>

#include "com/Unknown.h"
#include "components/dataset/TDataSetListener.h"
#include "components/dataset/TZopFileField.h"
#include "framework/core/TComponent.h"
#include "interface/Ostrel_TLB.h"

class TLiveView;
class TStringList;

class TZopFileDataSet : public TComponent {
    DECLARE_CLASSINFO()
public:
    // Raises EOleException when the server object cannot be created.
    explicit TZopFileDataSet(TComponent* Owner);
    ~TZopFileDataSet() override;

    void Notification(TComponent* Component, TOperation Operation) override;
    // Opens a dataset whose streamed Active = True is still due when its form has loaded.
    void Loaded() override;

    // Published properties.
    const AnsiString& GetAccessFile() const { return FAccessFileName; }
    void SetFAccessFileName(const AnsiString& Value);
    const AnsiString& GetAccessUser() const { return FAccessUserName; }
    void SetFAccessUserName(const AnsiString& Value);
    const AnsiString& GetSchemaFileName() const { return FSchemaFileName; }
    void setFSchemaFileName(const AnsiString& Value);
    bool GetActive() const { return FActive; }
    void SetFActive(bool Value);
    bool GetDataReadOnly() const { return FReadOnly; }
    void SetFReadOnly(bool Value);
    // The list object itself: a caller may change its lines in place.
    TStringList* GetFFilterCommand() const { return FFilterCommand; }
    void SetFFilterCommand(TStringList* Value);
    TDbMethods* GetDBMethods() const { return FDBMethods; }
    // Others' commits shown by themselves (streamed only when off).
    bool GetLiveView() const { return FLiveView; }
    void SetLiveView(bool Value);
    // After the live view showed others' commits (the data source's controls are refreshed).
    TNotifyEvent OnLiveRefresh;

    // The server reference through which the other components call the server. Setting it
    // releases the old object (after clearing the handlers it holds); the new one is given
    // the DB methods at the next opening, not the notification handlers.
    IFileDataSet* FileDataSet() const { return FDataSet.get(); }
    void SetFDataSet(const TComInterface<IFileDataSet>& Value);

    // The data source that shows this dataset (not owned), seen as what it hears from the
    // dataset; the data source keeps it.
    TDataSetListener* DataSource() const { return FDataSource; }
    void SetFDataSource(TDataSetListener* Value) { FDataSource = Value; }

    // The server's notifications.
    void DoAfterDataChange();
    void DoAfterDBStateChange();
    void DoAfterFilterChange();
    // Has the data source write the bound edits' texts and the grids' rows being typed into
    // into the record being inserted or edited (TZopFileDataSource::WriteBoundControls).
    void DoInitDataControlData();

    // Records from code (TZopFileDataSetRecords.cpp). Each step goes the way the navigator's
    // button goes, through the data source, so that bound edits, texts, grids and navigators
    // follow: the grids' pages are prepared before a move, a post or a delete, and the
    // navigators refreshed after a move. Every failure raises EDatabaseError naming the
    // operation ("Post: Field Amount: ..."); the dataset must be open (Active) for all but
    // GetState. Append is Insert: a posted record goes where its key puts it, as every record
    // does. Delete asks nobody. Refresh shows what other sessions changed (in "Browse").
    void First();
    void Prior();
    void Next();
    void Last();
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    // "InActive", "Browse", "Edit" or "Insert".
    AnsiString GetState() const;
    int GetRecordCount() const;
    // 1-based; -1 when there is no current record (an empty view).
    int GetRecNo() const;
    // As the server answers them: Bof on the first record, Eof on the last one, both on an
    // empty view. A loop over every record therefore goes by GetRecordCount (First, then
    // Next after each record).
    bool GetBof() const;
    bool GetEof() const;
    int GetFieldCount() const;
    // The field named Name exactly (FieldByName), or the Index-th field (Fields, from 0),
    // with its type; an unknown one raises.
    TZopFileField FieldByName(const AnsiString& Name);
    TZopFileField Fields(int Index);

    // Rows already shown (see the top of this file). The epoch changes whenever the records
    // may have changed other than by a move; a page read in another epoch is read again.
    std::uint64_t RecordsEpoch() const { return FRecordsEpoch; }
    // True when a page read in this epoch may show its rows again: the live view watches and
    // no commit is waiting on its descriptor.
    bool MayReuseShownRows() const;
    // A page showed rows it had read before.
    void NoteRowsReused() { FRowsReused = true; }
    // The records may have changed: a new epoch. True when rows were shown again in the
    // epoch that ends (their page may need reading again).
    bool NoteRecordsMayHaveChanged();

private:
    // Opening steps after Open: DB methods, GetActive, filter lines, explorer file. False
    // when the server did not become active.
    bool OpenServer();
    void SendFilterLines();
    void ClearServerHandlers();
    // Runs Fn; an exception it raises goes on with this dataset's name in its message.
    template <class F>
    void NamingThisDataSet(F&& Fn);
    // The server of an open dataset; raises EDatabaseError naming Operation otherwise.
    IFileDataSet* OpenServerFor(const char* Operation) const;
    // First, Prior, Next or Last, prepared and finished for the data source as the
    // navigator's buttons are.
    void Move(const char* Operation, TDataSetListener::TRecordStep Step, HRESULT (IFileDataSet::*Call)());

    bool FActivePending = false;
    TDataSetListener* FDataSource = nullptr;  // not owned: the reverse link of the data source
    TStringList* FFilterCommand = nullptr;      // owned
    TComInterface<IFileDataSet> FDataSet;       // one counted reference
    AnsiString FAccessUserName;
    AnsiString FAccessFileName;
    AnsiString FSchemaFileName;
    bool FActive = false;
    bool FReadOnly = false;
    TDbMethods* FDBMethods = nullptr;  // owned
    bool FLiveView = true;
    std::unique_ptr<TLiveView> FLive;  // owned
    std::uint64_t FRecordsEpoch = 1;
    bool FRowsReused = false;  // rows were shown again in this epoch
};
