#include "server/TableSession.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <type_traits>
#include <unordered_map>

#include "com/WideString.h"
#include "framework/core/TextUtils.h"
#include "server/DataPath.h"
#include "server/KeyOrder.h"
#include "server/ServerError.h"
#include "server/RecordStoreFactory.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

AnsiString TriggerName(TDbProcItem* Item, int Index)
{
    if (!Item->GetProcDescrip().empty()) return Quoted(Item->GetProcDescrip());
    return "number " + IntToStr(Index + 1) + " (without description)";
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
void RefuseNul(const char* What, const AnsiString& FileName)
{
    std::size_t Nul = FileName.find('\0');
    if (Nul == AnsiString::npos) return;
    throw EServerError(AnsiString("The ") + What + " name " + Quoted(FileName.substr(0, Nul)) +
                           "... is refused: it holds a NUL character.",
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
        Defer(E_FAIL, "A notification handler of the record server failed.");
    }
}

// ---------------------------------------------------------------------------------------
// Settings and the schema

TTableSession::TTableSession() = default;
TTableSession::~TTableSession() = default;

void TTableSession::SetAccessUser(const AnsiString& User)
{
    if (AnsiString Problem = UserNameProblem(User); !Problem.empty())
        throw EServerError("The access user is refused: " + Problem + ".", E_INVALIDARG);
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
        throw EServerError("The read-only switch can be changed only while the table is closed.");
    FReadOnlyRequested = Value;
}

TTableSchema TTableSession::ReadNamedSchema(AnsiString& CanonicalPath) const
{
    if (IsBlankName(FSchemaFileName)) throw EServerError("No schema file is named (set SchemaFileName).");
    TDataPath Path = ResolveDataPath(FSchemaFileName);
    if (!Path.NotAFile.empty())
        throw EServerError("The schema file " + FSchemaFileName + " cannot be read: " + Path.Path + " is " + Path.NotAFile +
                           ", not a file.");
    if (!Path.Exists) {
        AnsiString Places;
        for (const AnsiString& P : Path.Tried) Places += (Places.empty() ? "" : " or ") + P;
        throw EServerError("The schema file " + FSchemaFileName + " was not found (looked for " + Places + ").");
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
        throw EServerError("The table " + Schema.TableName + " has no field " + Quoted(Name) + ".", E_INVALIDARG);
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
    if (!Active()) throw EServerError("The table is not open.");
}

void TTableSession::RequireWritable(const char* Step) const
{
    if (FUserReadOnly)
        throw EServerError("The user " + Quoted(FAccessUser) + " may only read the table " + FSchema.TableName +
                               ": cannot " + Step + " a record.",
                           E_ACCESSDENIED);
    if (FReadOnlyRequested)
        throw EServerError("The table " + FSchema.TableName + " was opened read-only: cannot " + Step + " a record.",
                           E_ACCESSDENIED);
}

void TTableSession::RequireCurrent(const char* Step) const
{
    if (!HasCurrent()) throw EServerError(AnsiString("There is no current record to ") + Step + ".");
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
                throw EServerError("No access user is given (set AccessUser): the table " + Schema.TableName +
                                       " (schema file " + Schema.FileName + ") may be opened only by the users it lists.",
                                   E_ACCESSDENIED);
            throw EServerError("The user " + Quoted(FAccessUser) + " may not open the table " + Schema.TableName +
                                   " (schema file " + Schema.FileName + ").",
                               E_ACCESSDENIED);
        }
    }
    std::unique_ptr<TRecordStore> Store = OpenRecordStore(Schema, FAccessFile, CanonicalSchema);
    Store->SetFilter(FFiltered ? FFilterLines : std::vector<TFilterCondition>{});

    FUserReadOnly = User && User->Right == TUserRight::Read;
    TakeSchema(std::move(Schema));
    FStore = std::move(Store);
    ReadView();
    FState = TSessionState::Browse;
    PositionAt(0);
    Notify(FOnStateChange);
}

void TTableSession::Close()
{
    if (!Active()) return;
    FStore.reset();
    FView.Clear();
    FAhead.clear();
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

void TTableSession::Sync()
{
    RequireOpen();
    std::vector<TChange> Changes;
    struct TFinish {
        TRecordStore& Store;
        ~TFinish() { Store.FinishChanges(); }
    } Finish{*FStore};
    switch (FStore->ReadChanges(Changes)) {
    case TChangesSeen::None: return;
    case TChangesSeen::Lost: RebuildView(MarkCursor()); return;
    case TChangesSeen::Listed: break;
    }
    if (Changes.empty()) return;  // only this session's own writes, or another table's
    TCursorMark Mark = MarkCursor();
    if (!ApplyChanges(Changes, Mark)) RebuildView(Mark);
}

void TTableSession::ReadView()
{
    FAhead.clear();
    FView.Clear();
    FView.SetAnchorEvery(FStore->KeyEvery());
    FStore->ReadOrderedIds(FView.AnchorEvery(), [this](std::int64_t Id, const std::vector<AnsiString>* Key) {
        if (!Key) {
            FView.Append(Id);
            return;
        }
        AnsiString Packed = PackKey(*Key);
        FView.Append(Id, &Packed, LeadOf(*Key));
    });
}

TTableSession::TCursorMark TTableSession::MarkCursor() const
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
    PlaceCursor(Mark, Mark.Id ? FindInView(*Mark.Id) : -1);
}

std::int64_t TTableSession::FindInView(std::int64_t Id)
{
    TStoredRecord Stored;
    if (!FStore->Read(Id, Stored)) return -1;
    std::int64_t Pos = LocateRecord(TRecordKey{KeyOf(Stored.Values), Id});
    // Another process may have moved it between the reading of the view and this read.
    return Pos >= 0 ? Pos : FView.Find(Id);
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

bool TTableSession::ApplyChanges(const std::vector<TChange>& Changes, const TCursorMark& Mark)
{
    // The first change of a record since the last look tells where it stands in this view:
    // nowhere when it was inserted since, else at its key before that change. Each is found
    // by that key among the keys the view holds, and taken out.
    std::vector<const TChange*> Firsts;
    std::unordered_map<std::int64_t, const TChange*> Lasts;  // each record's last change
    for (const TChange& Change : Changes) {
        auto [Last, New] = Lasts.try_emplace(Change.Id, &Change);
        if (New) Firsts.push_back(&Change);
        else Last->second = &Change;
    }
    // Records read ahead stay good unless they were written.
    for (TStoredRecord& Ahead : FAhead)
        if (Lasts.count(Ahead.Id)) Ahead.Id = 0;
    std::int64_t Current = Mark.Id ? FPos : -1;  // where the marked record is now, -1: out
    for (const TChange* Change : Firsts) {
        if (Change->Kind == TChangeKind::Inserted) continue;
        std::int64_t Pos = LocateChanged(*Change);
        if (Pos < 0) continue;  // it was not in this view (the filter kept it out)
        FView.Remove(Pos);
        if (Pos == Current) Current = -1;
        else if (Pos < Current) --Current;
    }
    // Then each goes back in at its ordered place as it is stored now (its last change tells
    // the key; an entry without it, the record itself), if it still exists and passes the
    // filter.
    for (const TChange* Change : Firsts) {
        const TChange* Last = Lasts[Change->Id];
        if (Last->Kind == TChangeKind::Deleted) continue;
        TRecordKey Key{{}, Change->Id};
        if (Last->NewKey) {
            Key.Values = *Last->NewKey;
        } else {
            TStoredRecord Stored;
            if (!FStore->Read(Change->Id, Stored)) continue;
            Key.Values = KeyOf(Stored.Values);
        }
        if (FFiltered && !FStore->PassesFilter(Change->Id)) continue;
        std::optional<std::int64_t> Pos = PlaceRecord(Key, true, Last->Place);
        if (!Pos) return false;
        if (Mark.Id && Change->Id == *Mark.Id) Current = *Pos;
        else if (Current >= 0 && *Pos <= Current) ++Current;
    }
    if (Mark.Id && Current >= 0 && !Lasts.count(*Mark.Id)) {
        // The current record was not written: what the session holds of it stays true.
        FPos = FLastReadPos = Current;
        return true;
    }
    PlaceCursor(Mark, Current);
    return true;
}

std::vector<AnsiString> TTableSession::KeyOf(const std::vector<AnsiString>& Values) const
{
    return KeyValues(FSchema, Values);
}

std::int64_t TTableSession::LeadOf(const std::vector<AnsiString>& Key) const
{
    std::optional<std::int64_t> Lead = KeyLead(FSchema, Key);
    return Lead ? *Lead : TRecordView::NoLead;
}

TRecordView::TBracket TTableSession::BracketOf(const TRecordKey& Key) const
{
    return FView.Bracket([&](std::string_view Packed, std::int64_t Id) { return ComparePackedKey(FSchema, Packed, Id, Key); },
                         LeadOf(Key.Values));
}

std::int64_t TTableSession::LocateRecord(const TRecordKey& Key)
{
    TRecordView::TBracket Range = BracketOf(Key);
    if (Range.Exact >= 0) return Range.Exact;
    // Between two anchors the id is found in memory.
    return FView.FindBetween(Key.Id, Range.Lo, Range.Hi);
}

std::int64_t TTableSession::IdBefore(std::int64_t Pos) const
{
    return Pos > 0 ? FView.At(Pos - 1) : 0;
}

std::int64_t TTableSession::LocateChanged(const TChange& Change)
{
    std::int64_t Told = Change.Place.Old;
    if (Told >= 0 && Told < FView.Count() && FView.At(Told) == Change.Id) return Told;
    return LocateRecord(TRecordKey{Change.OldKey, Change.Id});
}

void TTableSession::ReadCurrent()
{
    FCurrentDeletedByOther = false;
    std::int64_t Previous = std::exchange(FLastReadPos, -1);
    bool Step = HasCurrent() && FPos == Previous + 1;
    bool PageJump = false;
    if (Step) {
        ++FStepRun;
    } else {
        // A jump that read ahead and was not followed by a step read for nothing: reading
        // ahead waits for the next run.
        if (FStepRun > 0) FLastStepRun = FStepRun;
        else if (FJumpReadAhead) FLastStepRun = 0;
        FStepRun = 0;
        FJumpReadAhead = false;
        // A jump past the next record or the one before, unless it goes back to where the
        // last jump came from: a grid goes to the top of its page, fills the page step by
        // step, and goes back to its current record.
        if (HasCurrent() && Previous >= 0 && (FPos > Previous + 1 || FPos < Previous - 1)) {
            PageJump = FPos != FJumpedFrom;
            FJumpedFrom = Previous;
        }
    }
    if (!HasCurrent()) {
        FCurrent = {};
        FReadVersion = 0;
        return;
    }
    FLastReadPos = FPos;
    std::int64_t Id = FView.At(FPos);
    if (TakeReadAhead(Id)) return;
    // Steps forward read ahead. A jump to the top of a page reads its record and as many
    // after it as the last run of steps took, and so does the first step after another jump,
    // since a grid that fills a page steps as far every time; a single step with no such run
    // before reads only its record; a longer run reads ReadAheadCount.
    int Ahead = FStepRun >= 2 ? ReadAheadCount : (FStepRun == 1 ? std::min(FLastStepRun, 4 * ReadAheadCount) : 0);
    if (PageJump && FLastStepRun > 0) {
        Ahead = 1 + std::min(FLastStepRun, 4 * ReadAheadCount);
        FJumpReadAhead = true;
    }
    if (Ahead > 1 && ReadAheadFrom(Id, Ahead)) return;
    if (!FStore->Read(Id, FCurrent)) {
        // Deleted by another process a moment ago; the next operation takes it out of the view.
        FCurrent = {};
        FCurrent.Id = Id;
        FCurrentDeletedByOther = true;
    }
    FReadVersion = FCurrent.Version;
}

bool TTableSession::TakeReadAhead(std::int64_t Id)
{
    // Found by id: others' commits taken in since may have moved the records' positions.
    auto Ahead = std::find_if(FAhead.begin(), FAhead.end(), [&](const TStoredRecord& R) { return R.Id == Id; });
    if (Ahead == FAhead.end()) return false;
    std::swap(FCurrent, *Ahead);  // the next page is read into the room of the record left
    Ahead->Id = 0;                 // taken
    FReadVersion = FCurrent.Version;
    return true;
}

bool TTableSession::ReadAheadFrom(std::int64_t Id, int Count)
{
    // A step forward: the records that follow are read with this one, in one statement, as
    // a grid that fills a page or a loop over the records reads them next. One is taken only
    // while the view has its id; this session's writes drop them all, others' the ones they
    // wrote.
    FStore->ReadPage(Id, Count, FAhead);
    return TakeReadAhead(Id);
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
    ReadView();  // it includes every commit so far
    std::int64_t Found = CurrentId ? FindInView(*CurrentId) : -1;
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
        throw EServerError(AnsiString("The record was deleted by another user, so the ") + Step +
                           " was refused. The record now under the cursor is shown.");
    throw EServerError(AnsiString("The record was changed by another user since it was read, so the ") + Step +
                       " was refused. Its current values are shown; try again.");
}

void TTableSession::MoveTo(int RecNo)
{
    if (!Active()) return;  // silent positioning is allowed in every state, and finds nothing here
    Sync();
    if (FView.IsEmpty()) return;
    PositionAt(static_cast<std::int64_t>(RecNo) - 1);
}

bool TTableSession::MoveNext()
{
    if (!Active()) return false;
    Sync();
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
    Sync();
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
        throw EServerError("There is no field number " + IntToStr(Index) + ": the table " + Schema.TableName + " has " +
                               IntToStr(static_cast<std::int64_t>(Schema.Fields.size())) + " fields, numbered from 0.",
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
    if (IsBlankName(Name)) throw EServerError("No field name is given for the value " + Quoted(Value) + ".", E_INVALIDARG);
    SetFieldValueAt(FieldIndex(Name), std::move(Value));
}

void TTableSession::SetFieldValueAt(std::size_t Index, AnsiString Value)
{
    if (!Pending())
        throw EServerError("The field " + FSchema.Fields[Index].Name +
                           " cannot be set: the table is not in Edit or Insert (call Edit or Insert first).");
    FBuffer[Index] = std::move(Value);
}

// ---------------------------------------------------------------------------------------
// Editing

void TTableSession::Insert()
{
    Sync();
    RequireWritable("insert");
    if (Pending()) PostPending();
    RunTriggers(trgBeforeInsert, true, "insert");
    RequireOpen();
    if (Pending()) throw EServerError("A record became pending while the insert began; nothing was inserted.");
    FState = TSessionState::Insert;
    FBuffer.assign(FSchema.Fields.size(), AnsiString());
    ++FPendingGeneration;
    RunTriggers(trgAfterInsert, false, "insert");
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::Edit()
{
    Sync();
    if (FState == TSessionState::Edit) return;
    if (FState == TSessionState::Insert)
        throw EServerError("A new record is being inserted: post or cancel it before editing another.");
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
    Sync();
    if (FState == TSessionState::Insert) {
        CancelPending();
        return;
    }
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
    FAhead.clear();
    if (FStore->Delete(Id, Version) != TWriteResult::Done)
        throw EServerError("The record was changed or deleted by another user since it was read, so it was not deleted.");
    std::int64_t Pos = HasCurrent() && FCurrent.Id == Id ? FPos : LocateOwn(Id, FEditOriginal);
    if (Editing) EndPending();
    if (Pos >= 0) {
        FView.Remove(Pos);
        FStore->Placed({Pos, -1, -1});  // sessions taking the delete in look for the record there first
        PositionAt(Pos);  // the next record, or the new last
    }
    RunTriggers(trgAfterDelete, false, "delete");
    Notify(FOnStateChange);
    Notify(FOnDataChange);
}

void TTableSession::Post()
{
    if (!Active()) return;  // nothing is pending
    Sync();
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
        throw EServerError("The values of the bound controls could not be collected.");
    }
}

void TTableSession::NormalizeBuffer()
{
    // Numbers are stored without the blanks around them.
    auto IsBlank = [](char C) { return static_cast<unsigned char>(C) <= ' '; };
    for (std::size_t I = 0; I < FBuffer.size(); ++I) {
        AnsiString& Value = FBuffer[I];
        if (FSchema.Fields[I].Type == TFieldType::Number && !Value.empty() && (IsBlank(Value.front()) || IsBlank(Value.back())))
            Value = Trim(Value);
    }
}

void TTableSession::CheckValues(const std::vector<AnsiString>& Values) const
{
    for (std::size_t I = 0; I < Values.size(); ++I) {
        const TFieldDef& Field = FSchema.Fields[I];
        const AnsiString& Value = Values[I];
        if (Field.Key && Trim(Value).empty())
            throw EServerError("The key field " + Field.Name + " is empty (value " + Quoted(Value) +
                               "): every record needs a value in its key fields.");
        bool ExponentTooLong = false;
        if (Field.Type == TFieldType::Number && !Value.empty() && !ParseDecimal(Value, &ExponentTooLong)) {
            if (ExponentTooLong)
                throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) +
                                   " is refused: a number's exponent may have at most " + IntToStr(MaxExponentDigits) +
                                   " digits.");
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) + " is not a number.");
        }
        // A text has no more characters than bytes: only one with more bytes than the field
        // holds characters is counted.
        std::size_t Length = Value.size() > static_cast<std::size_t>(Field.Size) ? CharacterCount(Value) : Value.size();
        if (Length > static_cast<std::size_t>(Field.Size))
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) + " has " +
                               IntToStr(static_cast<std::int64_t>(Length)) + " characters, more than the " +
                               IntToStr(Field.Size) + " the field holds.");
    }
}

void TTableSession::RefuseDuplicateKey(const std::vector<AnsiString>& Values) const
{
    AnsiString Names, Shown;
    for (std::size_t I = 0; I < Values.size(); ++I) {
        if (!FSchema.Fields[I].Key) continue;
        Names += (Names.empty() ? "" : ", ") + FSchema.Fields[I].Name;
        Shown += (Shown.empty() ? "" : ", ") + Quoted(Values[I]);
    }
    throw EServerError("Key " + Names + ": the value " + Shown + " is already the key of another record.");
}

void TTableSession::PostPending()
{
    unsigned Number = FPendingGeneration;
    auto RequireSamePending = [&] {
        RequireOpen();
        if (!Pending() || FPendingGeneration != Number)
            throw EServerError("The record was posted or cancelled while its post was being prepared.");
    };
    CollectControls();
    RequireSamePending();
    RunTriggers(trgBeforePost, true, "post");
    RequireSamePending();

    bool WasInsert = FState == TSessionState::Insert;
    NormalizeBuffer();
    const std::vector<AnsiString>& Values = FBuffer;
    CheckValues(Values);
    // The key's uniqueness is checked by the storage as it writes, so that two sessions
    // posting the same key at the same moment cannot both succeed.
    TStoredRecord Written;
    TWriteResult Result;
    FAhead.clear();
    if (WasInsert) {
        Result = FStore->Insert(Values, Written);
    } else {
        Result = FStore->Update(FEditId, FEditVersion, Values, Written.Version);
        Written.Id = FEditId;
    }
    if (Result == TWriteResult::DuplicateKey) RefuseDuplicateKey(Values);
    if (Result == TWriteResult::Changed)
        throw EServerError("The record was changed or deleted by another user since it was read, so the edit was not "
                           "posted (that would overwrite the other user's change). Cancel the edit to see the record as "
                           "it is now.");

    bool Reorder = WasInsert;
    for (std::size_t I = 0; !Reorder && I < Values.size(); ++I)
        Reorder = FSchema.Fields[I].Key && Values[I] != FEditOriginal[I];
    Written.Values = std::move(FBuffer);
    std::int64_t OldPos = -1;
    if (!WasInsert) OldPos = HasCurrent() && FCurrent.Id == FEditId ? FPos : LocateOwn(FEditId, FEditOriginal);
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

std::int64_t TTableSession::LocateOwn(std::int64_t Id, const std::vector<AnsiString>& ValuesRead)
{
    // This session read the record with these values and nobody changed it since (its
    // write succeeded on that version), so it stands at their key.
    std::int64_t Pos = LocateRecord(TRecordKey{KeyOf(ValuesRead), Id});
    return Pos >= 0 ? Pos : FView.Find(Id);
}

void TTableSession::PlaceWrittenRecord(TStoredRecord Written, std::int64_t OldPos, bool Reorder)
{
    // Commits of other sessions since the last look are taken in by the next operation;
    // here only this session's own write is placed.
    std::int64_t Id = Written.Id;
    bool Filtered = FFiltered;
    struct TFinish {
        TRecordStore& Store;
        ~TFinish() { Store.FinishChanges(); }
    } Finish{*FStore};
    if (!Reorder && !Filtered && OldPos >= 0) {
        // It stays where it was; in step with the store, the record before it here is the one
        // before it in the table, which sessions taking this write in can be told.
        std::int64_t Before = FStore->HoldInStep() ? IdBefore(OldPos) : -1;
        FStore->Placed({OldPos, OldPos, Before});
        ShowWritten(OldPos, std::move(Written));
        return;
    }
    if (OldPos >= 0) {
        FView.Remove(OldPos);
        if (FPos > OldPos) --FPos;
    }
    if (!Filtered || FStore->PassesFilter(Id)) {
        TRecordKey Key{KeyOf(Written.Values), Id};
        bool InStep = FStore->HoldInStep();
        std::optional<std::int64_t> Pos = PlaceRecord(Key, InStep);
        if (!Pos) {  // a record compared against was deleted by another process meanwhile
            ReadView();
            std::int64_t Found = FindInView(Id);
            PositionAt(Found >= 0 ? Found : 0);
            return;
        }
        // Sessions taking this write in can be told where it was here, and, in a view of every
        // record in step with the store, where it went: the record before it here is the one
        // before it in the table.
        TWritePlace Told{OldPos};
        if (InStep && !Filtered) {
            Told.New = *Pos;
            Told.Before = IdBefore(*Pos);
        }
        FStore->Placed(Told);
        ShowWritten(*Pos, std::move(Written));
        return;
    }
    // The record does not pass the filter: it is not in the view. A new one is stored but
    // not shown, and the cursor stays where it was; an edited one leaves its place to the
    // record after it.
    if (OldPos >= 0) PositionAt(OldPos);
    else ReadCurrent();
}

std::optional<std::int64_t> TTableSession::PlaceRecord(const TRecordKey& Key, bool InStep, const TWritePlace& Told)
{
    // Where another session's write put it, when this view has the record it went after right
    // before that place: a record goes right after the one before it in the table.
    if (Told.Before >= 0 && Told.New >= 0 && Told.New <= FView.Count() && IdBefore(Told.New) == Told.Before) {
        FView.Insert(Told.New, Key.Id);
        return Told.New;
    }
    // The anchors around Key, in memory; then the place between them, from the store.
    TRecordView::TBracket Range = BracketOf(Key);
    std::int64_t Lo = Range.Lo, Hi = Range.Hi;  // the place is in [Lo, Hi]
    bool Compared = Lo < Hi;
    std::int64_t Count = FView.Count();
    if (Hi == Count && Lo < Hi) {
        // Records are mostly added at the end (rising keys): try that first.
        std::optional<bool> AfterLast = FStore->ComesBeforeKey(FView.At(Count - 1), Key);
        if (!AfterLast) return std::nullopt;
        if (*AfterLast) Lo = Count;
        else Hi = Count - 1;
    }
    // Between two anchors lie a few records. The store tells which records stand next to the
    // key; found where they must be in the view, they give the place. Else (a filter, or those
    // records are not in this view yet) a binary search compares with the store.
    if (Hi - Lo > 2 && !FFiltered) {
        if (std::optional<std::int64_t> Between = PlaceBetweenNeighbours(Key, Lo, Hi, InStep, Told.Before)) Lo = Hi = *Between;
    }
    while (Lo < Hi) {
        std::int64_t Mid = Lo + (Hi - Lo) / 2;
        std::optional<bool> Before = FStore->ComesBeforeKey(FView.At(Mid), Key);
        if (!Before) return std::nullopt;
        if (*Before) Lo = Mid + 1;
        else Hi = Mid;
    }
    // A place found by comparing with the store becomes no anchor: a record compared with may
    // have been written by another session since this one last took in the log, and an anchor
    // must agree with the view's order.
    if (Compared) {
        FView.Insert(Lo, Key.Id);
    } else {
        AnsiString Packed = PackKey(Key.Values);
        FView.Insert(Lo, Key.Id, &Packed, LeadOf(Key.Values));
    }
    return Lo;
}

std::optional<std::int64_t> TTableSession::PlaceBetweenNeighbours(const TRecordKey& Key, std::int64_t Lo, std::int64_t Hi,
                                                                   bool InStep, std::int64_t Before)
{
    // The place is in [Lo, Hi]: the record before it stands in [Lo - 1, Hi - 1]. In step with
    // the store, every record of the view stands at its stored key, and the place is right
    // after the record before. Otherwise a record written by another session and not taken in
    // yet still stands at its old key here: the record after is asked for too, and the two
    // must stand side by side; one of them at its stored key is enough to make the place right
    // for every record that stands at its stored key.
    std::int64_t After = 0;
    if (Before < 0 || !InStep) {
        if (!FStore->ReadNeighbours(Key, Before, InStep ? nullptr : &After)) return std::nullopt;
    }
    std::int64_t Place = 0;
    if (Before) {
        std::int64_t BeforePos = FView.FindBetween(Before, Lo - 1, Hi);
        if (BeforePos < 0) return std::nullopt;
        Place = BeforePos + 1;
    } else if (Lo > 0) {
        return std::nullopt;
    }
    if (InStep) return Place;
    bool AfterFits = After ? Place < FView.Count() && FView.At(Place) == After : Place == FView.Count();
    if (!AfterFits) return std::nullopt;
    return Place;
}

void TTableSession::Cancel()
{
    if (!Active()) return;  // nothing is pending
    Sync();
    if (Pending()) CancelPending();
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
        ReadCurrent();  // show the record as it is stored now
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
    Sync();
    if (!Value && !FFiltered) return;
    ApplyFilter(Value ? FFilterLines : std::vector<TFilterCondition>{});
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
            throw EServerError("The trigger " + Name + " failed, so the " + Step + " was not done.", E_ABORT);
        if (Before && Abort) throw EServerError("The trigger " + Name + " stopped the " + Step + ".", E_ABORT);
        if (!Before && !Ran)
            Defer(E_FAIL, AnsiString("The ") + Step + " was done, but the trigger " + Name + " that runs after it failed.");
    }
}

}  // namespace RecordServer
