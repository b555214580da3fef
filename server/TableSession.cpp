// The session's state machine: its settings, opening and closing, the cursor, the pending
// record from Insert or Edit to Post or Cancel, the filter, the triggers and the notifications,
// in the order the table at the top of TableSession.h gives. The view it keeps in step with
// other sessions is SessionView.h's, the records read ahead ReadAhead.h's, and the checks of a
// record before its write RecordChecks.h's.
#include "server/TableSession.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <type_traits>

#include "com/WideString.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/DataPath.h"
#include "server/FieldTypes.h"
#include "server/RecordChecks.h"
#include "server/RecordStoreFactory.h"
#include "server/ServerError.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

AnsiString TriggerName(TDbProcItem* Item, int Index)
{
    if (!Item->GetProcDescrip().empty()) return Quoted(Item->GetProcDescrip());
    return FormatText(TranslateText("TTableSession", "number %1 (without description)"), {IntToStr(Index + 1)});
}

template <class TText>
bool IsBlankName(const TText& Name)
{
    return std::all_of(Name.begin(), Name.end(),
                       [](auto C) { return static_cast<std::make_unsigned_t<decltype(C)>>(C) <= ' '; });
}

// Whether a field's name is Name, unit for unit (compared as bytes: a unit by unit loop costs
// more than the whole rest of reading a value).
bool SameName(const std::u16string& Field, std::u16string_view Name)
{
    return Field.size() == Name.size() && std::memcmp(Field.data(), Name.data(), Name.size() * sizeof(char16_t)) == 0;
}

// The system takes a file name up to its first NUL; a name holding one would open another
// file than the one named.
// The steps and names that messages name, translated where the message is made.
[[maybe_unused]] constexpr const char* MessageWords[] = {
    ZFD_TRANSLATE_NOOP("TTableSession", "insert"),      ZFD_TRANSLATE_NOOP("TTableSession", "edit"),
    ZFD_TRANSLATE_NOOP("TTableSession", "delete"),      ZFD_TRANSLATE_NOOP("TTableSession", "post"),
    ZFD_TRANSLATE_NOOP("TTableSession", "access file"), ZFD_TRANSLATE_NOOP("TTableSession", "schema file"),
};

AnsiString Word(const char* Source)
{
    return TranslateText("TTableSession", Source);
}

void RefuseNul(const char* What, const AnsiString& FileName)
{
    std::size_t Nul = FileName.find('\0');
    if (Nul == AnsiString::npos) return;
    throw EServerError(FormatText(TranslateText("TTableSession", "The %1 name %2... is refused: it holds a NUL character."),
                                  {Word(What), Quoted(FileName.substr(0, Nul))}),
                       E_INVALIDARG);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Call frames

TTableSession::TCallFrame::TCallFrame(TTableSession& Session) : FSession(Session), FOuter(Session.FFrame)
{
    FSession.FFrame = this;
}

TTableSession::TCallFrame::~TCallFrame()
{
    FSession.FFrame = FOuter;
}

void TTableSession::Defer(HRESULT Code, const AnsiString& Message)
{
    if (FFrame && !FFrame->FFailure) FFrame->FFailure = TDeferredFailure{Code, Message};
}

void TTableSession::Notify(const TAfterRecDataSetDataChangeEvent& Handler)
{
    if (!Handler.Assigned()) return;
    // Called through a copy: the handler may replace or clear the member it was read from.
    TAfterRecDataSetDataChangeEvent Call = Handler;
    try {
        Call();
    } catch (const std::exception& E) {
        Defer(E_FAIL, E.what());
    } catch (...) {
        Defer(E_FAIL, TranslateText("TTableSession", "A notification handler of the record server failed."));
    }
}

// ---------------------------------------------------------------------------------------
// Settings and the schema

TTableSession::TTableSession() = default;
TTableSession::~TTableSession() = default;

void TTableSession::SetAccessUser(const AnsiString& User)
{
    if (AnsiString Problem = UserNameProblem(User); !Problem.empty())
        throw EServerError(FormatText(TranslateText("TTableSession", "The access user is refused: %1."), {Problem}), E_INVALIDARG);
    FAccessUser = User;
}

void TTableSession::SetAccessFile(const AnsiString& FileName)
{
    RefuseNul("access file", FileName);
    FAccessFile = FileName;
}

void TTableSession::SetSchemaFileName(const AnsiString& FileName)
{
    RefuseNul("schema file", FileName);
    FSchemaFileName = FileName;
    if (!Active()) FSchemaLoaded = false;  // the open table keeps its schema until closed
}

bool TTableSession::DataReadOnly() const
{
    return FReadOnlyRequested || (Active() && FUserReadOnly);
}

void TTableSession::SetDataReadOnly(bool Value)
{
    if (Active() && Value != FReadOnlyRequested)
        throw EServerError(TranslateText("TTableSession", "The read-only switch can be changed only while the table is closed."));
    FReadOnlyRequested = Value;
}

TTableSchema TTableSession::ReadNamedSchema(AnsiString& CanonicalPath) const
{
    if (IsBlankName(FSchemaFileName)) throw EServerError(TranslateText("TTableSession", "No schema file is named (set SchemaFileName)."));
    TDataPath Path = ResolveDataPath(FSchemaFileName);
    if (!Path.NotAFile.empty())
        throw EServerError(FormatText(TranslateText("TTableSession", "The schema file %1 cannot be read: %2 is %3, not a file."),
                                      {FSchemaFileName, Path.Path, Path.NotAFile}));
    if (!Path.Exists) {
        AnsiString Places;
        for (const AnsiString& P : Path.Tried) Places += (Places.empty() ? "" : TranslateText("TTableSession", " or ")) + P;
        throw EServerError(FormatText(TranslateText("TTableSession", "The schema file %1 was not found (looked for %2)."), {FSchemaFileName, Places}));
    }
    std::error_code Err;
    std::filesystem::path Canonical = std::filesystem::canonical(Path.Path, Err);
    CanonicalPath = Err ? Path.Path : Canonical.string();
    return LoadSchemaFile(Path.Path);
}

const TTableSchema& TTableSession::QuerySchema()
{
    if (!Active() && !FSchemaLoaded) {
        AnsiString Ignored;
        TakeSchema(ReadNamedSchema(Ignored));
    }
    return FSchema;
}

void TTableSession::TakeSchema(TTableSchema Schema)
{
    FSchema = std::move(Schema);
    FSchemaLoaded = true;
    FWideNames.clear();
    for (const TFieldDef& Field : FSchema.Fields) FWideNames.push_back(Utf8ToUtf16(Field.Name));
}

std::size_t TTableSession::FieldIndex(const AnsiString& Name)
{
    const TTableSchema& Schema = QuerySchema();
    // A form or a grid reads a record's fields one after another: the field after the last
    // one found is tried first.
    std::size_t Next = FLastField + 1;
    if (Next < Schema.Fields.size() && Schema.Fields[Next].Name == Name) return FLastField = Next;
    int Index = Schema.FieldIndex(Name);
    if (Index < 0)
        throw EServerError(FormatText(TranslateText("TTableSession", "The table %1 has no field %2."), {Schema.TableName, Quoted(Name)}),
                           E_INVALIDARG);
    return FLastField = static_cast<std::size_t>(Index);
}

std::size_t TTableSession::FieldIndex(std::u16string_view Name)
{
    QuerySchema();
    if (std::size_t Next = FieldAfterLast(); Next < FWideNames.size() && SameName(FWideNames[Next], Name))
        return FLastField = Next;
    for (std::size_t I = 0; I < FWideNames.size(); ++I)
        if (SameName(FWideNames[I], Name)) return FLastField = I;
    return FieldIndex(Utf16ToUtf8(Name));  // which says there is no such field
}

void TTableSession::RequireOpen() const
{
    if (!Active()) throw EServerError(TranslateText("TTableSession", "The table is not open."));
}

void TTableSession::RequireWritable(const char* Step) const
{
    if (FUserReadOnly)
        throw EServerError(FormatText(TranslateText("TTableSession", "The user %1 may only read the table %2: cannot %3 a record."),
                                      {Quoted(FAccessUser), FSchema.TableName, Word(Step)}),
                           E_ACCESSDENIED);
    if (FReadOnlyRequested)
        throw EServerError(FormatText(TranslateText("TTableSession", "The table %1 was opened read-only: cannot %2 a record."),
                                      {FSchema.TableName, Word(Step)}),
                           E_ACCESSDENIED);
}

void TTableSession::RequireCurrent(const char* Step) const
{
    if (!HasCurrent()) throw EServerError(FormatText(TranslateText("TTableSession", "There is no current record to %1."), {Word(Step)}));
}

// ---------------------------------------------------------------------------------------
// Opening and closing

void TTableSession::Open()
{
    if (Active()) return;
    AnsiString CanonicalSchema;
    TTableSchema Schema = ReadNamedSchema(CanonicalSchema);
    const TSchemaUser* User = nullptr;
    if (Schema.HasUsers) {
        User = Schema.FindUser(FAccessUser);
        if (!User) {
            if (FAccessUser.empty())
                throw EServerError(FormatText(TranslateText("TTableSession", "No access user is given (set AccessUser): the table "
                                                                 "%1 (schema file %2) may be opened only by the users "
                                                                 "it lists."),
                                              {Schema.TableName, Schema.FileName}),
                                   E_ACCESSDENIED);
            throw EServerError(FormatText(TranslateText("TTableSession", "The user %1 may not open the table %2 (schema file %3)."),
                                          {Quoted(FAccessUser), Schema.TableName, Schema.FileName}),
                               E_ACCESSDENIED);
        }
    }
    std::unique_ptr<TRecordStore> Store = OpenRecordStore(Schema, FAccessFile, CanonicalSchema);
    Store->SetFilter(FFiltered ? FFilterLines : std::vector<TFilterCondition>{});

    FUserReadOnly = User && User->Right == TUserRight::Read;
    TakeSchema(std::move(Schema));
    FStore = std::move(Store);
    FView.Open(*FStore, FSchema);
    FView.SetFiltered(FFiltered);
    try {
        ReadView();
    } catch (...) {
        // Closed as it was: no store, no view.
        FView.Close();
        FStore.reset();
        throw;
    }
    FState = TSessionState::Browse;
    PositionAt(0);
    Notify(FOnStateChange);
}

void TTableSession::Close()
{
    if (!Active()) return;
    FView.Close();
    FStore.reset();
    FReadAhead.Clear();
    FRereadMark.reset();
    FPos = 0;
    FCurrent = {};
    FBuffer.clear();
    FEditOriginal.clear();
    ++FPendingGeneration;
    FState = TSessionState::Inactive;
    FSchemaLoaded = false;  // questions while closed read the schema file named
    Notify(FOnStateChange);
}

AnsiString TTableSession::StateText() const
{
    if (FAnswerCancelState) return "Cancel";
    switch (FState) {
    case TSessionState::Inactive: return "InActive";
    case TSessionState::Browse: return "Browse";
    case TSessionState::Edit: return "Edit";
    case TSessionState::Insert: return "Insert";
    }
    return "InActive";
}

// ---------------------------------------------------------------------------------------
// The view and the cursor

template <class F>
void TTableSession::ChangeView(const TCursorMark& Mark, F&& Change)
{
    try {
        Change();
    } catch (...) {
        // Also when a reading of the view again failed: it is tried again at the next look.
        FRereadMark = Mark;
        FPos = std::min(FPos, FView.Count());
        throw;
    }
}

bool TTableSession::Sync(TLook Look)
{
    RequireOpen();
    if (FCommitsHeld) return false;
    if (FRereadMark) {
        TCursorMark Mark = *FRereadMark;
        ChangeView(Mark, [&] { RebuildView(Mark); });
        FRereadMark.reset();
        return true;
    }
    std::vector<TChange> Changes;
    struct TFinish {
        TRecordStore& Store;
        ~TFinish() { Store.FinishChanges(); }
    } Finish{*FStore};
    switch (FStore->ReadChanges(Changes, Look)) {
    case TChangesSeen::None: FView.Settle(); return false;
    case TChangesSeen::Lost: {
        TCursorMark Mark = MarkCursor();
        ChangeView(Mark, [&] { RebuildView(Mark); });
        return true;
    }
    case TChangesSeen::Listed: break;
    }
    if (Changes.empty()) {  // only this session's own writes, or another table's
        FView.Settle();
        return false;
    }
    TCursorMark Mark = MarkCursor();
    // Records read ahead stay good unless they were written.
    for (const TChange& Change : Changes) FReadAhead.Forget(Change.Id);
    TSessionView::TTakenIn Taken;
    ChangeView(Mark, [&] { Taken = FView.TakeIn(Changes, Mark.Id, FPos); });
    if (Mark.Id && Taken.Marked >= 0 && !Taken.MarkedWritten) {
        // The current record was not written: what the session holds of it stays true.
        FPos = Taken.Marked;
        FReadAhead.Moved(FPos);
        return true;
    }
    PlaceCursor(Mark, Taken.Marked);
    return true;
}

void TTableSession::ReadView()
{
    FReadAhead.Clear();
    FView.Read();
}

TTableSession::TCursorMark TTableSession::MarkCursor()
{
    TCursorMark Mark;
    if (HasCurrent()) Mark.Id = FView.At(FPos);
    Mark.Pos = FPos;
    Mark.Count = FView.Count();
    return Mark;
}

void TTableSession::RebuildView(const TCursorMark& Mark)
{
    ReadView();
    PlaceCursor(Mark, Mark.Id ? FView.Find(*Mark.Id) : -1);
}

void TTableSession::PlaceCursor(const TCursorMark& Mark, std::int64_t Found)
{
    if (!Mark.Id) {
        // Past the end stays past the end; an empty view that gained records shows the first.
        FPos = Mark.Count == 0 ? 0 : FView.Count();
        ReadCurrent();
        return;
    }
    if (Found >= 0) {
        // Still there: show what it holds now, but remember the version read when this
        // session positioned onto it, so that a change by another stays visible.
        FPos = Found;
        std::int64_t KeptVersion = FReadVersion;
        bool KeptDeleted = FCurrentDeletedByOther;
        ReadCurrent();
        FReadVersion = KeptVersion;
        FCurrentDeletedByOther = KeptDeleted;
        return;
    }
    // Gone: the cursor goes to the record now at its place (or the new last).
    FPos = std::min(Mark.Pos, std::max<std::int64_t>(FView.Count() - 1, 0));
    ReadCurrent();
    FCurrentDeletedByOther = true;
}

void TTableSession::ReadCurrent()
{
    FCurrentDeletedByOther = false;
    if (!HasCurrent()) {
        FReadAhead.ReadNothing();
        FCurrent = {};
        FReadVersion = 0;
        return;
    }
    std::int64_t Id = FView.At(FPos);
    if (!FReadAhead.Read(*FStore, FPos, Id, FCurrent)) {
        // Deleted by another process a moment ago; the next operation takes it out of the view.
        FCurrent = {};
        FCurrent.Id = Id;
        FCurrentDeletedByOther = true;
    }
    FReadVersion = FCurrent.Version;
}

void TTableSession::PositionAt(std::int64_t Pos)
{
    FPos = std::clamp<std::int64_t>(Pos, 0, std::max<std::int64_t>(FView.Count() - 1, 0));
    ReadCurrent();
}

void TTableSession::ApplyFilter(const std::vector<TFilterCondition>& Conditions)
{
    std::optional<std::int64_t> CurrentId;
    if (HasCurrent()) CurrentId = FView.At(FPos);
    FStore->SetFilter(Conditions);
    std::int64_t Found = -1;
    ChangeView(TCursorMark{CurrentId, FPos, FView.Count()}, [&] {
        ReadView();  // it includes every commit so far
        Found = CurrentId ? FView.Find(*CurrentId) : -1;
    });
    PositionAt(Found >= 0 ? Found : 0);
}

bool TTableSession::Bof()
{
    Sync();
    return FView.IsEmpty() || FPos == 0;
}

bool TTableSession::Eof()
{
    Sync();
    return FView.IsEmpty() || FPos >= FView.Count() - 1;
}

bool TTableSession::IsEmpty()
{
    Sync();
    return FView.IsEmpty();
}

int TTableSession::RecordCount()
{
    Sync();
    return static_cast<int>(FView.Count());
}

int TTableSession::RecNo()
{
    Sync();
    return HasCurrent() ? static_cast<int>(FPos + 1) : -1;
}

bool TTableSession::RecordChangedByOther()
{
    Sync();
    return CurrentChangedInStore();
}

bool TTableSession::CurrentChangedInStore()
{
    if (FCurrentDeletedByOther) return true;
    if (!HasCurrent()) return false;
    std::optional<std::int64_t> Version = FStore->ReadVersion(FCurrent.Id);
    return !Version || *Version != FReadVersion;
}

void TTableSession::RefuseIfChangedByOther(const char* Step)
{
    if (!CurrentChangedInStore()) return;  // the operation has taken in others' commits already
    bool Vanished = FCurrentDeletedByOther;
    // Read the record afresh and let the bound controls show it, so that the user decides
    // on what the record holds now.
    ReadCurrent();
    Notify(FOnDataChange);
    if (Vanished)
        throw EServerError(FormatText(TranslateText("TTableSession", "The record was deleted by another user, so the %1 was "
                                                         "refused. The record now under the cursor is shown."),
                                      {Word(Step)}));
    throw EServerError(FormatText(TranslateText("TTableSession", "The record was changed by another user since it was read, so the "
                                                     "%1 was refused. Its current values are shown; try again."),
                                  {Word(Step)}));
}

void TTableSession::MoveTo(int RecNo)
{
    if (!Active()) return;  // silent positioning is allowed in every state, and finds nothing here
    Sync(TLook::Known);
    if (FView.IsEmpty()) return;
    PositionAt(static_cast<std::int64_t>(RecNo) - 1);
}

bool TTableSession::MoveNext()
{
    if (!Active()) return false;
    Sync(TLook::Known);
    if (FView.IsEmpty()) return false;
    if (FPos >= FView.Count() - 1) {
        FPos = FView.Count();  // past the end: no current record
        ReadCurrent();
        return false;
    }
    PositionAt(FPos + 1);
    return true;
}

bool TTableSession::MovePrior()
{
    if (!Active()) return false;
    Sync(TLook::Known);
    if (FView.IsEmpty()) return false;
    PositionAt(FPos - 1);  // from past the end this is the last record
    return true;
}

void TTableSession::Navigate(TMove Move)
{
    Sync();
    if (Pending()) PostPending();
    RequireOpen();  // a handler run by the post may have closed the table
    if (!FView.IsEmpty()) {
        switch (Move) {
        case TMove::First: PositionAt(0); break;
        case TMove::Prior: PositionAt(FPos - 1); break;
        case TMove::Next: PositionAt(FPos + 1); break;
        case TMove::Last: PositionAt(FView.Count() - 1); break;
        }
    }
    Notify(FOnDataChange);
}

void TTableSession::First()
{
    Navigate(TMove::First);
}

void TTableSession::Prior()
{
    Navigate(TMove::Prior);
}

void TTableSession::Next()
{
    Navigate(TMove::Next);
}

void TTableSession::Last()
{
    Navigate(TMove::Last);
}

// ---------------------------------------------------------------------------------------
// Fields

int TTableSession::FieldCount()
{
    return static_cast<int>(QuerySchema().Fields.size());
}

AnsiString TTableSession::FieldName(int Index)
{
    const TTableSchema& Schema = QuerySchema();
    if (Index < 0 || Index >= static_cast<int>(Schema.Fields.size()))
        throw EServerError(FormatText(TranslateText("TTableSession", "There is no field number %1: the table %2 has %3 fields, numbered from 0."),
                                      {IntToStr(Index), Schema.TableName,
                                       IntToStr(static_cast<std::int64_t>(Schema.Fields.size()))}),
                           E_INVALIDARG);
    return Schema.Fields[static_cast<std::size_t>(Index)].Name;
}

bool TTableSession::IsKeyField(const AnsiString& Name)
{
    if (IsBlankName(Name)) return false;
    std::size_t Index = FieldIndex(Name);
    return FSchema.Fields[Index].Key;
}

int TTableSession::FieldSize(const AnsiString& Name)
{
    if (IsBlankName(Name)) return 0;
    std::size_t Index = FieldIndex(Name);
    return FSchema.Fields[Index].Size;
}

AnsiString TTableSession::FieldType(const AnsiString& Name)
{
    if (IsBlankName(Name)) return {};
    const std::size_t Index = FieldIndex(Name);
    return FieldTypeName(FSchema.Fields[Index]);
}

const AnsiString& TTableSession::FieldValue(std::u16string_view Name)
{
    // A grid or a form reads a record's fields in order: the field after the one read last is
    // tried first.
    std::size_t Next = FieldAfterLast();
    if (Active() && Next < FWideNames.size() && SameName(FWideNames[Next], Name)) return FieldValueAt(FLastField = Next);
    if (IsBlankName(Name)) return NoValue();
    RequireOpen();
    return FieldValueAt(FieldIndex(Name));
}

const AnsiString& TTableSession::NoValue()
{
    static const AnsiString None;
    return None;
}

const AnsiString& TTableSession::FieldValueAt(std::size_t Index) const
{
    if (FState == TSessionState::Edit && HasCurrent() && FCurrent.Id == FEditId) return FBuffer[Index];
    if (!HasCurrent() || Index >= FCurrent.Values.size()) return NoValue();
    return FCurrent.Values[Index];
}

void TTableSession::SetFieldValue(std::u16string_view Name, AnsiString Value)
{
    RequireOpen();
    if (IsBlankName(Name))
        throw EServerError(FormatText(TranslateText("TTableSession", "No field name is given for the value %1."), {Quoted(Value)}), E_INVALIDARG);
    SetFieldValueAt(FieldIndex(Name), std::move(Value));
}

void TTableSession::SetFieldValueAt(std::size_t Index, AnsiString Value)
{
    if (!Pending())
        throw EServerError(FormatText(TranslateText("TTableSession", "The field %1 cannot be set: the table is not in Edit or "
                                                         "Insert (call Edit or Insert first)."),
                                      {FSchema.Fields[Index].Name}));
    FBuffer[Index] = std::move(Value);
}

// ---------------------------------------------------------------------------------------
// Editing

void TTableSession::Insert()
{
    Sync(TLook::Known);
    RequireWritable("insert");
    if (Pending()) PostPending();
    RunTriggers(trgBeforeInsert, true, "insert");
    RequireOpen();
    if (Pending()) throw EServerError(TranslateText("TTableSession", "A record became pending while the insert began; nothing was inserted."));
    FState = TSessionState::Insert;
    FBuffer.assign(FSchema.Fields.size(), AnsiString());
    ++FPendingGeneration;
    RunTriggers(trgAfterInsert, false, "insert");
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::Edit()
{
    Sync(TLook::Known);
    if (FState == TSessionState::Edit) return;
    if (FState == TSessionState::Insert)
        throw EServerError(TranslateText("TTableSession", "A new record is being inserted: post or cancel it before editing another."));
    RequireWritable("edit");
    RequireCurrent("edit");
    RefuseIfChangedByOther("edit");
    RunTriggers(trgBeforeEdit, true, "edit");
    RequireOpen();
    RequireCurrent("edit");
    if (Pending()) return;  // a trigger began the edit itself
    FState = TSessionState::Edit;
    FEditId = FCurrent.Id;
    FEditVersion = FReadVersion;
    FBuffer = FCurrent.Values;
    FEditOriginal = FCurrent.Values;
    ++FPendingGeneration;
    RunTriggers(trgAfterEdit, false, "edit");
    Notify(FOnStateChange);
}

void TTableSession::Delete()
{
    // Deleting a record being inserted cancels it, and a cancel never fails (see Cancel).
    if (FState == TSessionState::Insert) {
        CancelPending();
        return;
    }
    Sync(TLook::Known);
    RequireWritable("delete");
    if (FState == TSessionState::Browse) {
        RequireCurrent("delete");
        RefuseIfChangedByOther("delete");
    }
    RunTriggers(trgBeforeDelete, true, "delete");
    RequireOpen();
    bool Editing = FState == TSessionState::Edit;
    if (!Editing) RequireCurrent("delete");
    std::int64_t Id = Editing ? FEditId : FCurrent.Id;
    std::int64_t Version = Editing ? FEditVersion : FReadVersion;
    FReadAhead.Clear();
    if (FStore->Delete(Id, Version) != TWriteResult::Done)
        throw EServerError(TranslateText(
            "TTableSession", "The record was changed or deleted by another user since it was read, so it was not deleted."));
    std::int64_t Pos = HasCurrent() && FCurrent.Id == Id ? FPos : FView.LocateOwn(Id, FEditOriginal);
    if (Editing) EndPending();
    if (Pos >= 0) {
        FView.RemoveDeleted(Pos, Id);
        PositionAt(Pos);  // the next record, or the new last
    }
    RunTriggers(trgAfterDelete, false, "delete");
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::Post()
{
    if (!Active()) return;  // nothing is pending
    Sync(TLook::Known);
    if (Pending()) PostPending();
}

void TTableSession::CollectControls()
{
    if (!FOnCollect.Assigned()) return;
    TAfterRecDataSetDataChangeEvent Call = FOnCollect;  // it may clear FOnCollect while it runs
    try {
        Call();
    } catch (const std::exception& E) {
        throw EServerError(E.what());
    } catch (...) {
        throw EServerError(TranslateText("TTableSession", "The values of the bound controls could not be collected."));
    }
}

void TTableSession::PostPending()
{
    unsigned Number = FPendingGeneration;
    auto RequireSamePending = [&] {
        RequireOpen();
        if (!Pending() || FPendingGeneration != Number)
            throw EServerError(TranslateText("TTableSession", "The record was posted or cancelled while its post was being prepared."));
    };
    CollectControls();
    RequireSamePending();
    RunTriggers(trgBeforePost, true, "post");
    RequireSamePending();

    bool WasInsert = FState == TSessionState::Insert;
    NormalizeValues(FSchema, FBuffer);
    const std::vector<AnsiString>& Values = FBuffer;
    CheckValues(FSchema, Values);
    // The key's uniqueness is checked by the storage as it writes, so that two sessions
    // posting the same key at the same moment cannot both succeed.
    TStoredRecord Written;
    TWriteResult Result;
    FReadAhead.Clear();
    if (WasInsert) {
        Result = FStore->Insert(Values, Written);
    } else {
        Result = FStore->Update(FEditId, FEditVersion, Values, Written.Version);
        Written.Id = FEditId;
    }
    if (Result == TWriteResult::DuplicateKey) RefuseDuplicateKey(FSchema, Values);
    if (Result == TWriteResult::Changed)
        throw EServerError(TranslateText("TTableSession", "The record was changed or deleted by another user since it was read, "
                                               "so the edit was not posted (that would overwrite the other user's "
                                               "change). Cancel the edit to see the record as it is now."));

    bool Reorder = WasInsert;
    for (std::size_t I = 0; !Reorder && I < Values.size(); ++I)
        Reorder = FSchema.Fields[I].Key && Values[I] != FEditOriginal[I];
    Written.Values = std::move(FBuffer);
    std::int64_t OldPos = -1;
    if (!WasInsert) OldPos = HasCurrent() && FCurrent.Id == FEditId ? FPos : FView.LocateOwn(FEditId, FEditOriginal);
    EndPending();
    PlaceWrittenRecord(std::move(Written), OldPos, Reorder);
    RunTriggers(trgAfterPost, false, "post");
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::EndPending()
{
    FState = TSessionState::Browse;
    FBuffer.clear();
    FEditOriginal.clear();
    ++FPendingGeneration;
}

void TTableSession::ShowWritten(std::int64_t Pos, TStoredRecord Written)
{
    // What was just written is what the storage holds: no need to read it back.
    FPos = Pos;
    FCurrent = std::move(Written);
    FReadVersion = FCurrent.Version;
    FCurrentDeletedByOther = false;
}

void TTableSession::PlaceWrittenRecord(TStoredRecord Written, std::int64_t OldPos, bool Reorder)
{
    TSessionView::TWritePlaced Placed;
    ChangeView(TCursorMark{Written.Id, FPos, FView.Count()},
               [&] { Placed = FView.PlaceWrite(Written.Id, Written.Values, OldPos, Reorder); });
    switch (Placed.Kind) {
    case TSessionView::TWritePlaced::Placed: ShowWritten(Placed.Pos, std::move(Written)); return;
    case TSessionView::TWritePlaced::Out:
        // A new record is stored but not shown, and the cursor stays where it was; an edited
        // one leaves its place to the record after it.
        if (OldPos >= 0) PositionAt(OldPos);
        else ReadCurrent();
        return;
    }
}

void TTableSession::Cancel()
{
    // Discarded here and now, without asking the storage first: a cancel succeeds also while
    // the storage cannot be reached, so that a record the user cancelled is never posted
    // later (by the next Insert or move, which post what is pending).
    if (Active() && Pending()) CancelPending();
}

void TTableSession::CancelPending()
{
    bool WasInsert = FState == TSessionState::Insert;
    EndPending();
    if (WasInsert) {
        // The grid drops its insert row when it sees "Cancel" during this notification.
        FAnswerCancelState = true;
        Notify(FOnStateChange);
        FAnswerCancelState = false;
    } else {
        // Show the record as it is stored now; where the storage cannot be reached, as it was
        // read, until the next operation reads it again.
        try {
            ReadCurrent();
        } catch (const EServerError&) {
        }
    }
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

// ---------------------------------------------------------------------------------------
// Filter

void TTableSession::SetFiltered(bool Value)
{
    if (!Value) FNextLineStartsNewSet = true;
    if (!Active()) {
        FFiltered = Value;
        return;
    }
    Sync(TLook::Known);  // the view is read again
    if (!Value && !FFiltered) return;
    // The view reads its blocks by the filter it is told of (the summary counts every record).
    FView.SetFiltered(Value);
    try {
        ApplyFilter(Value ? FFilterLines : std::vector<TFilterCondition>{});
    } catch (...) {
        FView.SetFiltered(FFiltered);
        throw;
    }
    FFiltered = Value;
    if (Value) FNextLineStartsNewSet = false;
    Notify(FOnFilterChange);
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::ClearFilterCommand()
{
    FFilterLines.clear();
    FNextLineStartsNewSet = false;
}

void TTableSession::AddFilterCommand(const AnsiString& Line)
{
    std::optional<TFilterCondition> Condition = ParseFilterLine(Line, QuerySchema());
    if (!Condition) return;  // a blank line is accepted and ignored
    if (FNextLineStartsNewSet) {
        FFilterLines.clear();
        FNextLineStartsNewSet = false;
    }
    FFilterLines.push_back(std::move(*Condition));
}

// ---------------------------------------------------------------------------------------
// Triggers

void TTableSession::RunTriggers(TCallTriggerTiming Moment, bool Before, const char* Step)
{
    // FMethods and its count are read again after every trigger: a trigger may clear the
    // collection or change its items, and a cleared collection is never called.
    for (int I = 0; FMethods && I < FMethods->GetCount(); ++I) {
        TDbProcItem* Item = FMethods->GetDbProcItem(I);
        if (!Item->GetBeATrigger() || Item->GetTriggerTime() != Moment) continue;
        AnsiString Caller = "System";
        bool Abort = false;
        bool Ran = Item->ExecuteProc(Caller, Abort);
        AnsiString Name = TriggerName(Item, I);
        if (Before && !Ran)
            throw EServerError(FormatText(TranslateText("TTableSession", "The trigger %1 failed, so the %2 was not done."), {Name, Word(Step)}),
                               E_ABORT);
        if (Before && Abort)
            throw EServerError(FormatText(TranslateText("TTableSession", "The trigger %1 stopped the %2."), {Name, Word(Step)}), E_ABORT);
        if (!Before && !Ran)
            Defer(E_FAIL, FormatText(TranslateText("TTableSession", "The %1 was done, but the trigger %2 that runs after it failed."),
                                     {Word(Step), Name}));
    }
}

// ---------------------------------------------------------------------------------------
// Invariants

AnsiString TTableSession::CheckInvariants(bool WithView) const
{
    auto Number = [](std::int64_t N) { return IntToStr(N); };
    if (!Active()) {
        if (FStore || FView.Count() != 0 || FPos != 0) return "a closed session holds a store, a view or a position";
    } else {
        if (!FStore) return "an open session has no store";
        if (FPos < 0 || FPos > FView.Count())
            return "the cursor is at " + Number(FPos) + " in a view of " + Number(FView.Count());
        if (FView.Filtered() != FFiltered) return "the view's filter switch is not the session's";
    }
    std::size_t Fields = FSchema.Fields.size();
    if (Pending() ? FBuffer.size() != Fields : !FBuffer.empty())
        return "the edit buffer holds " + Number(static_cast<std::int64_t>(FBuffer.size())) + " values in state " +
               StateText();
    if (FState == TSessionState::Edit ? FEditOriginal.size() != Fields : !FEditOriginal.empty())
        return "the values read before the edit are kept outside Edit, or missing in it";
    return WithView ? FView.CheckInvariants() : AnsiString();
}

}  // namespace RecordServer
