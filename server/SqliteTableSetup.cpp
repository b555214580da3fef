// The SQLite store's table setup: the table, the columns a schema added since it was made,
// the unique index of the current key, a file's change log with the triggers that fill and
// trim it, and the statements the store runs. All of it is made when missing and replaced
// when an earlier version of the server made it otherwise, in one transaction as the store
// opens. The modes, states and invariants are at the top of SqliteRecordStore.h.
#include <algorithm>
#include <cstring>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/SqliteRecordStore.h"

namespace RecordServer {

namespace {

const char* const KeyIndexPrefix = "zfd_key_";
// The change log keeps at least LogKeep entries; every LogTrimEvery-th entry trims it (a
// trigger, so that writes of plain connections trim it too).
constexpr int LogKeep = 8192;
constexpr int LogTrimEvery = 1024;
const char* const LogTriggerPrefix = "zfd_log";  // zfd_logi_, zfd_logu_, zfd_logd_ + table + key hash

// "?N", a numbered parameter.
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref(1, '?');
    Ref += IntToStr(Number);
    return Ref;
}

}  // namespace

void TSqliteRecordStore::PrepareTable()
{
    TSqliteTransaction Tx(FDb);
    AnsiString Columns;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Columns += ", " + Column(I) + " TEXT NOT NULL DEFAULT ''";
    FDb.Exec("CREATE TABLE IF NOT EXISTS " + FTable +
             " (zfd_id INTEGER PRIMARY KEY AUTOINCREMENT, zfd_ver INTEGER NOT NULL DEFAULT 1" + Columns + ")");

    std::vector<AnsiString> Existing;
    {
        TSqliteStatement Info(FDb, "SELECT name FROM pragma_table_info(?1)");
        Info.Bind(1, FSchema.TableName);
        TStatementReset Done(Info);
        while (Info.Step()) Existing.push_back(Info.ColumnText(0));
    }
    auto Has = [&](const AnsiString& Name) {
        return std::any_of(Existing.begin(), Existing.end(), [&](const AnsiString& E) { return SameText(E, Name); });
    };
    if (!Has("zfd_id") || !Has("zfd_ver"))
        throw EServerError(FormatText(TranslateText("SqliteTableSetup", "The table %1 in %2 was not made by this server (it lacks "
                                                         "the columns zfd_id and zfd_ver)."),
                                      {FSchema.TableName, FWhere}));
    // A field added to the schema since the table was made is added to the table.
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (!Has(FSchema.Fields[I].Name))
            FDb.Exec("ALTER TABLE " + FTable + " ADD COLUMN " + Column(I) + " TEXT NOT NULL DEFAULT ''");

    PrepareKeyIndex();
    FLogCursor.SetKeyTag(IntToHex(StableHash(KeyExpression()), 8) + ";");
    if (!FMemoryLog) PrepareChangeLog();
    PrepareSummary();
    Tx.Commit();
}

// The change log and the triggers that fill it. They are added to a table made before the log
// existed; the triggers carry a hash of the key in their names, so that a new key gets new
// triggers that write its fields.
void TSqliteRecordStore::PrepareChangeLog()
{
    FDb.Exec("CREATE TABLE IF NOT EXISTS " + FLog +
             " (seq INTEGER PRIMARY KEY, id INTEGER NOT NULL, what INTEGER NOT NULL, oldkey TEXT, newkey TEXT)");
    {
        // Logs made before held no new keys.
        TSqliteStatement Info(FDb, "SELECT 1 FROM pragma_table_info(?1) WHERE name = 'newkey'");
        Info.Bind(1, FLogName);
        TStatementReset Done(Info);
        bool HasNewKey = Info.Step();
        Info.Reset();
        if (!HasNewKey) FDb.Exec("ALTER TABLE " + FLog + " ADD COLUMN newkey TEXT");
    }
    // The keys start with a tag of the key's definition, so that a session opened with
    // another key (the schema changed meanwhile) does not read them as its own.
    AnsiString Fields = KeyExpression();
    AnsiString OldKey = "'" + FLogCursor.KeyTag() + "'" + Fields;
    AnsiString NewKey = "'" + FLogCursor.KeyTag() + "'" + KeyExpression("new.");
    // The triggers' names change with what they write, so that a table's triggers made
    // before are replaced.
    AnsiString Suffix = "_" + FSchema.TableName + "_" + IntToHex(StableHash(Fields + ";newkey;ver"), 8);
    AnsiString Insert = AnsiString(LogTriggerPrefix) + "i" + Suffix;
    AnsiString Update = AnsiString(LogTriggerPrefix) + "u" + Suffix;
    AnsiString Delete = AnsiString(LogTriggerPrefix) + "d" + Suffix;
    AnsiString Trim = AnsiString(LogTriggerPrefix) + "t" + Suffix;
    std::vector<AnsiString> Stale;
    {
        TSqliteStatement List(FDb, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name IN (?1, ?2)");
        List.Bind(1, FSchema.TableName).Bind(2, "zfd_log_" + FSchema.TableName);
        TStatementReset Done(List);
        while (List.Step()) {
            AnsiString Name = List.ColumnText(0);
            if (Name.rfind(LogTriggerPrefix, 0) == 0 && Name != Insert && Name != Update && Name != Delete &&
                Name != Trim)
                Stale.push_back(Name);
        }
    }
    for (const AnsiString& Name : Stale) FDb.Exec("DROP TRIGGER " + QuoteIdent(Name));
    auto Trigger = [&](const AnsiString& Name, const char* Event, const AnsiString& Body) {
        FDb.Exec("CREATE TRIGGER IF NOT EXISTS " + QuoteIdent(Name) + " AFTER " + Event + " ON " + FTable + " BEGIN " +
                 Body + "; END");
    };
    AnsiString Into = "INSERT INTO " + FLog + " (id, what, oldkey, newkey) VALUES ";
    Trigger(Insert, "INSERT", Into + "(new.zfd_id, 1, NULL, " + NewKey + ")");
    // An update that did not raise the record's version (a plain UPDATE of another program)
    // raises it here, so that a session's edit based on the record as it was is refused
    // instead of overwriting the change. The server's own updates raise it themselves. SQLite
    // does not run a trigger again for the update made inside it (unless a connection turns
    // recursive triggers on), so the change is logged once.
    Trigger(Update, "UPDATE",
            Into + "(new.zfd_id, 2, " + OldKey + ", " + NewKey + "); UPDATE " + FTable +
                " SET zfd_ver = old.zfd_ver + 1 WHERE zfd_id = new.zfd_id AND new.zfd_ver <= old.zfd_ver");
    Trigger(Delete, "DELETE", Into + "(old.zfd_id, 3, " + OldKey + ", NULL)");
    FDb.Exec("CREATE TRIGGER IF NOT EXISTS " + QuoteIdent(Trim) + " AFTER INSERT ON " + FLog + " WHEN new.seq % " +
             IntToStr(LogTrimEvery) + " = 0 BEGIN DELETE FROM " + FLog + " WHERE seq <= new.seq - " + IntToStr(LogKeep) +
             "; END");
}

AnsiString TSqliteRecordStore::KeyExpression(const char* Row) const
{
    AnsiString Fields;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
        if (!FSchema.Fields[I].Key) continue;
        AnsiString Col = Row + Column(I);
        Fields += " || length(CAST(" + Col + " AS BLOB)) || ':' || " + Col;
    }
    return Fields;
}

// The unique index of the current key; indexes of an earlier key of this table are dropped.
void TSqliteRecordStore::PrepareKeyIndex()
{
    AnsiString Keys = KeyOrderSql(FSchema, "");
    AnsiString Name;
    if (!Keys.empty()) {
        Keys.resize(Keys.size() - 2);
        Name = KeyIndexPrefix + FSchema.TableName + "_" + IntToHex(StableHash(Keys), 8);
    }
    std::vector<AnsiString> Stale;
    {
        // Table names are compared as SQLite compares them: ASCII letters in either case.
        TSqliteStatement List(FDb, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE");
        List.Bind(1, FSchema.TableName);
        TStatementReset Done(List);
        while (List.Step()) {
            AnsiString Index = List.ColumnText(0);
            if (SameText(Index.substr(0, std::strlen(KeyIndexPrefix)), KeyIndexPrefix) && !SameText(Index, Name))
                Stale.push_back(Index);
        }
    }
    for (const AnsiString& Index : Stale) FDb.Exec("DROP INDEX " + QuoteIdent(Index));
    if (Name.empty()) return;
    try {
        FDb.Exec("CREATE UNIQUE INDEX IF NOT EXISTS " + QuoteIdent(Name) + " ON " + FTable + " (" + Keys + ")");
    } catch (const ESqliteError& E) {
        if (!E.IsConstraint()) throw;
        throw EServerError(FormatText(TranslateText("SqliteTableSetup", "The table %1 in %2 holds records with the same key, so its "
                                                         "key fields cannot be enforced."),
                                      {FSchema.TableName, FWhere}));
    }
}

void TSqliteRecordStore::PrepareStatements()
{
    std::size_t N = FSchema.Fields.size();
    AnsiString Cols, Params, Sets;
    for (std::size_t I = 0; I < N; ++I) {
        AnsiString P = ParamRef(static_cast<std::int64_t>(I) + 1);
        Cols += (I ? ", " : "") + Column(I);
        Params += (I ? ", " : "") + P;
        Sets += Column(I) + " = " + P + ", ";
    }
    AnsiString IdParam = ParamRef(static_cast<std::int64_t>(N) + 1);
    AnsiString VerParam = ParamRef(static_cast<std::int64_t>(N) + 2);
    FDataVersion = TSqliteStatement(FDb, "PRAGMA data_version");
    FRead = TSqliteStatement(FDb, "SELECT zfd_ver, " + Cols + " FROM " + FTable + " WHERE zfd_id = ?1");
    FReadVersion = TSqliteStatement(FDb, "SELECT zfd_ver FROM " + FTable + " WHERE zfd_id = ?1");
    FInsert = TSqliteStatement(FDb, "INSERT INTO " + FTable + " (" + Cols + ") VALUES (" + Params + ")");
    FUpdate = TSqliteStatement(FDb, "UPDATE " + FTable + " SET " + Sets + "zfd_ver = zfd_ver + 1 WHERE zfd_id = " + IdParam +
                                        " AND zfd_ver = " + VerParam);
    FDelete = TSqliteStatement(FDb, "DELETE FROM " + FTable + " WHERE zfd_id = ?1 AND zfd_ver = ?2");
    FBeginRead = TSqliteStatement(FDb, "BEGIN");
    FCommit = TSqliteStatement(FDb, "COMMIT");
    // The summary's blocks: block 0 first, then the others by their bounds.
    FSummary = TSqliteStatement(FDb, "SELECT blk, n, " + BoundColumns() + " FROM " + FBlocks + " ORDER BY blk <> 0, " +
                                         BoundOrder());
    AnsiString KeyList;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) KeyList += ", " + Column(I);
    if (!FMemoryLog) {
        FLogEnd = TSqliteStatement(FDb, "SELECT coalesce(max(seq), 0) FROM " + FLog);
        FLogRead = TSqliteStatement(FDb, "SELECT seq, id, what, oldkey, newkey FROM " + FLog + " WHERE seq > ?1 ORDER BY seq");
    }
    if (!FSchema.HasKey()) return;

    FKeyRead = TSqliteStatement(FDb, "SELECT " + KeyList.substr(2) + " FROM " + FTable + " WHERE zfd_id = ?1");
}

}  // namespace RecordServer
