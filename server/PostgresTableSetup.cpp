// The PostgreSQL store's table setup: the table, its key index, the change log with the
// trigger function that fills it, trims it and sends its notices, and the statements that
// every new connection prepares. What is missing is made, and what exists is checked against
// the schema, in one transaction that other sessions setting up wait for. The states and
// invariants are at the top of PostgresRecordStore.h.
#include <map>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/KeySummary.h"
#include "server/PostgresRecordStore.h"
#include "server/ChangeLogCursor.h"
#include "server/SqlText.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

// "$N", a numbered parameter (built in place: GCC 12 at -O3 warns falsely of an overlap in
// "$" + text).
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref = IntToStr(Number);
    Ref.insert(Ref.begin(), '$');
    return Ref;
}

// A name that QuoteIdent quoted, without its quotes (the derived names hold no quote).
AnsiString Unquoted(const AnsiString& Quoted)
{
    return Quoted.substr(1, Quoted.size() - 2);
}

// PostgreSQL cuts names longer than this; the schema allows a few bytes more.
constexpr std::size_t MaxNameBytes = 63;
// An advisory lock that serialises the setting up of tables, so that two sessions creating
// the same table at once do not collide in the catalogue.
constexpr std::int64_t SetupLockKey = 0x7A66645F73657475;  // "zfd_setu"

}  // namespace

void TPostgresRecordStore::CheckNames() const
{
    auto Check = [&](const AnsiString& Name, const char* What) {
        if (Name.size() > MaxNameBytes)
            throw EServerError(FormatText(TranslateText("PostgresRecordStore", What),
                                          {Quoted(Name), IntToStr(static_cast<std::int64_t>(MaxNameBytes)),
                                           FSchema.FileName}));
    };
    Check(FSchema.TableName, ZFD_TRANSLATE_NOOP("PostgresRecordStore", "The table name %1 is longer than the %2 bytes "
                                                                       "that PostgreSQL keeps of a name (schema file %3)."));
    for (const TFieldDef& Field : FSchema.Fields)
        Check(Field.Name, ZFD_TRANSLATE_NOOP("PostgresRecordStore", "The field name %1 is longer than the %2 bytes that "
                                                                    "PostgreSQL keeps of a name (schema file %3)."));
}

// Creates what is missing (the table, its key index, the change log, its triggers, the
// key-order summary) and
// checks what exists, in one transaction that other sessions setting up wait for. Only what
// is missing is made, and nothing is written that is there already, so that a user who may
// only read the table (or read and write it, without the right to create) opens it too.
void TPostgresRecordStore::PrepareTable()
{
    FConn.Exec("BEGIN");
    try {
        FConn.Query("SELECT pg_advisory_xact_lock($1)", TPgParams().Add(SetupLockKey));
        if (!Exists(FTable)) {
            AnsiString Columns;
            for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
                Columns += ", " + Column(I) + " text NOT NULL DEFAULT ''";
            FConn.Exec("CREATE TABLE IF NOT EXISTS " + FTable +
                       " (zfd_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, zfd_ver bigint NOT NULL DEFAULT 1" +
                       Columns + ")");
        }
        CheckColumns();
        CheckOwnNames();
        PrepareKeyIndex();
        PrepareChangeLog();
        PrepareSummary();
        FConn.Exec("COMMIT");
    } catch (...) {
        if (FConn.Connected()) FConn.Exec("ROLLBACK");
        throw;
    }
}

bool TPostgresRecordStore::Exists(const AnsiString& QuotedName)
{
    return !FConn.Query("SELECT to_regclass($1)", TPgParams().Add(QuotedName)).IsNull(0, 0);
}

AnsiString TPostgresRecordStore::InDatabase() const
{
    return FormatText(TranslateText("PostgresRecordStore", "The table %1 in the PostgreSQL database %2"),
                      {FSchema.TableName, FConn.Where()});
}

// The names the store derives from the table's (its log, trigger function, triggers, key
// index, channel) hold the table's name, or for a long one a hash of it, which another
// table's name may share: a table whose derived names another table uses already is refused,
// so that two tables never share a log, a trigger or a channel.
void TPostgresRecordStore::CheckOwnNames()
{
    TPgResult Users = FConn.Query(
        "SELECT c.relname::text FROM pg_trigger t JOIN pg_proc p ON p.oid = t.tgfoid JOIN pg_class c ON c.oid = t.tgrelid "
        "WHERE p.proname = $1 AND t.tgrelid <> $2::regclass "
        "UNION SELECT c.relname::text FROM pg_index i JOIN pg_class x ON x.oid = i.indexrelid JOIN pg_class c ON "
        "c.oid = i.indrelid WHERE x.relname = $3 AND i.indrelid <> $2::regclass "
        "UNION SELECT obj_description(to_regclass($4), 'pg_class') WHERE obj_description(to_regclass($4), 'pg_class') "
        "<> $5",
        TPgParams()
            .Add(Unquoted(FLogFunction))
            .Add(FTable)
            .Add(FKeyIndex)
            .Add(FLog)
            .Add(FSchema.TableName));
    if (!Users.Rows()) return;
    throw EServerError(FormatText(TranslateText("PostgresRecordStore",
                                                "%1 cannot be opened: the names that the server gives its change log, "
                                                "key index and triggers are taken by the table %2, whose name shortens "
                                                "to the same %3; rename one of the two tables."),
                                  {InDatabase(), AnsiString(Users.Text(0, 0)), Quoted(Unquoted(FLog).substr(8))}));
}

void TPostgresRecordStore::CheckColumns()
{
    TPgResult Found = FConn.Query(
        "SELECT attname, format_type(atttypid, atttypmod), attidentity <> '' OR atthasdef FROM pg_attribute WHERE "
        "attrelid = $1::regclass AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
        TPgParams().Add(FTable));
    std::map<AnsiString, AnsiString> Types;
    std::map<AnsiString, bool> Filled;  // the column fills itself in a new row
    for (int Row = 0; Row < Found.Rows(); ++Row) {
        Types[AnsiString(Found.Text(Row, 0))] = AnsiString(Found.Text(Row, 1));
        Filled[AnsiString(Found.Text(Row, 0))] = Found.Text(Row, 2) == "t";
    }
    std::vector<AnsiString> Differences;
    // A new record gets its id and first version from the table.
    if (Types.count("zfd_id") && !Filled["zfd_id"])
        Differences.push_back(TranslateText("PostgresRecordStore", "its column zfd_id gives a new record no id (it is "
                                                                   "neither an identity column nor has a default)"));
    if (Types.count("zfd_ver") && !Filled["zfd_ver"])
        Differences.push_back(
            TranslateText("PostgresRecordStore", "its column zfd_ver gives a new record no version (it has no default)"));
    auto Expect = [&](const AnsiString& Name, const char* Type) {
        auto It = Types.find(Name);
        if (It == Types.end())
            Differences.push_back(FormatText(TranslateText("PostgresRecordStore", "it has no column %1"), {Name}));
        else if (It->second != Type)
            Differences.push_back(FormatText(TranslateText("PostgresRecordStore", "its column %1 is %2 where %3 is needed"),
                                             {Name, It->second, Type}));
        if (It != Types.end()) Types.erase(It);
    };
    Expect("zfd_id", "bigint");
    Expect("zfd_ver", "bigint");
    for (const TFieldDef& Field : FSchema.Fields) Expect(Field.Name, "text");
    for (const auto& [Name, Type] : Types)
        Differences.push_back(
            FormatText(TranslateText("PostgresRecordStore", "it has a column %1 that the schema does not list"), {Name}));
    if (Differences.empty()) return;
    AnsiString Text;
    for (const AnsiString& D : Differences) Text += (Text.empty() ? "" : "; ") + D;
    throw EServerError(FormatText(TranslateText("PostgresRecordStore", "%1 does not match the schema file %2: %3."),
                                  {InDatabase(), FSchema.FileName, Text}));
}

void TPostgresRecordStore::PrepareKeyIndex()
{
    TPgResult Indexes = FConn.Query(
        "SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid WHERE i.indrelid = $1::regclass "
        "AND c.relname LIKE 'zfd\\_key\\_%'",
        TPgParams().Add(FTable));
    bool Have = false;
    for (int Row = 0; Row < Indexes.Rows(); ++Row) {
        if (Indexes.Text(Row, 0) == FKeyIndex) Have = true;
        else
            throw EServerError(FormatText(
                TranslateText("PostgresRecordStore", "%1 has another key than the schema file %2 gives it."),
                {InDatabase(), FSchema.FileName}));
    }
    if (Have || !FSchema.HasKey()) return;
    FConn.Exec("SAVEPOINT zfd_index");
    try {
        FConn.Exec("CREATE UNIQUE INDEX " + QuoteIdent(FKeyIndex) + " ON " + FTable + " (" + KeyList("") + ")");
    } catch (const EPgError& E) {
        if (E.Lost()) throw;
        if (E.IsUniqueViolation())
            throw EServerError(FormatText(TranslateText("PostgresRecordStore", "%1 holds records with the same key, so its "
                                                                               "key fields cannot be enforced."),
                                          {InDatabase()}));
        // A record that another program wrote may hold a key that is no number.
        FConn.Exec("ROLLBACK TO SAVEPOINT zfd_index");
        RefuseBadNumberKeys();
        throw;
    }
    FConn.Exec("RELEASE SAVEPOINT zfd_index");
}

void TPostgresRecordStore::RefuseBadNumberKeys()
{
    // Candidates found by the server (not written as a plain decimal, or long), judged here by
    // the rule every store keeps.
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
        if (!FSchema.Fields[I].Key || FSchema.Fields[I].Type != TFieldType::Number) continue;
        TPgResult Odd = FConn.Query("SELECT " + Column(I) + " FROM " + FTable + " WHERE NOT (" + Column(I) +
                                    " ~ '^\\s*[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?\\s*$') OR " +
                                    Column(I) + " ~ '[eE][-+]?0*[0-9]{4}' OR octet_length(" + Column(I) +
                                    ") > 1000 LIMIT 100");
        for (int Row = 0; Row < Odd.Rows(); ++Row) {
            std::string_view Value = Odd.Text(Row, 0);
            AnsiString Problem = NumberProblem(Value);
            if (!Problem.empty())
                Problem = FormatText(TranslateText("ValueText", Problem.c_str()),
                                     {IntToStr(MaxIntegerDigits), IntToStr(MaxFractionDigits)});
            if (!Problem.empty())
                throw EServerError(FormatText(TranslateText("PostgresRecordStore", "%1 holds a record whose key field %2 "
                                                                                   "holds %3, %4, so the key cannot be "
                                                                                   "indexed."),
                                              {InDatabase(), FSchema.Fields[I].Name, Quoted(Value), Problem}));
        }
    }
}

void TPostgresRecordStore::PrepareChangeLog()
{
    if (!Exists("zfd_sequences"))
        FConn.Exec("CREATE TABLE IF NOT EXISTS zfd_sequences (tab text PRIMARY KEY, seq bigint NOT NULL)");
    if (!FConn.Query("SELECT 1 FROM zfd_sequences WHERE tab = $1", TPgParams().Add(FSchema.TableName)).Rows())
        FConn.Query("INSERT INTO zfd_sequences VALUES ($1, 0) ON CONFLICT (tab) DO NOTHING",
                    TPgParams().Add(FSchema.TableName));
    if (!Exists(FLog)) {
        FConn.Exec("CREATE TABLE IF NOT EXISTS " + FLog +
                   " (seq bigint PRIMARY KEY, id bigint NOT NULL, what integer NOT NULL, oldkey text, newkey text)");
        // Whose log it is: a table whose derived names are the same is refused (CheckOwnNames).
        FConn.Exec("COMMENT ON TABLE " + FLog + " IS " + QuoteSql('\'', FSchema.TableName));
    }
    // Logs made before held no new keys: the column is added and the function replaced.
    bool HadNewKey = FConn.Query("SELECT 1 FROM pg_attribute WHERE attrelid = $1::regclass AND attname = 'newkey' "
                                 "AND NOT attisdropped",
                                 TPgParams().Add(FLog))
                         .Rows() > 0;
    if (!HadNewKey) FConn.Exec("ALTER TABLE " + FLog + " ADD COLUMN newkey text");
    TPgResult Trigger = FConn.Query("SELECT 1 FROM pg_trigger WHERE tgrelid = $1::regclass AND tgname = $2",
                                    TPgParams().Add(FTable).Add(Unquoted(FLogTrigger)));
    // The keys: the tag of the key's definition, then "<bytes>:<text>" per key field.
    auto KeyOf = [&](const char* Row) {
        AnsiString Key = QuoteSql('\'', FLogCursor.KeyTag());
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
            if (!FSchema.Fields[I].Key) continue;
            AnsiString Col = Row + Column(I);
            Key += " || octet_length(" + Col + ") || ':' || " + Col;
        }
        return Key;
    };
    // Each write's entry goes to the log and, when short enough, in its notice too.
    AnsiString Packed = " CASE WHEN {} IS NULL THEN '-' ELSE octet_length({}) || ':' || {} END";
    auto PackedOf = [&](const char* Name) {
        AnsiString Text = Packed;
        for (std::size_t At = Text.find("{}"); At != AnsiString::npos; At = Text.find("{}", At)) Text.replace(At, 2, Name);
        return Text;
    };
    AnsiString Body = "\nDECLARE s bigint; i bigint; w integer; ok text; nk text; p text;\n"
                      "BEGIN\n"
                      "  UPDATE zfd_sequences SET seq = seq + 1 WHERE tab = " + QuoteSql('\'', FSchema.TableName) +
                      " RETURNING seq INTO s;\n"
                      "  IF TG_OP = 'INSERT' THEN i := NEW.zfd_id; w := 1; ok := NULL; nk := " + KeyOf("NEW.") + ";\n"
                      "  ELSIF TG_OP = 'UPDATE' THEN i := NEW.zfd_id; w := 2; ok := " + KeyOf("OLD.") + "; nk := " +
                      KeyOf("NEW.") + ";\n"
                      "  ELSIF TG_OP = 'DELETE' THEN i := OLD.zfd_id; w := 3; ok := " + KeyOf("OLD.") + "; nk := NULL;\n"
                      "  ELSE i := 0; w := " + IntToStr(TChangeLogCursor::EmptiedEntry) + "; ok := NULL; nk := NULL;\n"
                      "  END IF;\n"
                      "  INSERT INTO " + FLog + " (seq, id, what, oldkey, newkey) VALUES (s, i, w, ok, nk);\n"
                      "  IF s % " + IntToStr(LogTrimEvery) + " = 0 THEN DELETE FROM " + FLog + " WHERE seq <= s - " +
                      IntToStr(LogKeep) + "; END IF;\n"
                      "  p := s || ' ' || i || ' ' || w || ' ' ||" + PackedOf("ok") + " ||" + PackedOf("nk") + ";\n"
                      "  IF octet_length(p) > " + IntToStr(MaxNoticeEntry) + " THEN p := ''; END IF;\n"
                      "  PERFORM pg_notify(" + QuoteSql('\'', FChannel) + ", p);\n"
                      "  RETURN NULL;\n"
                      "END ";
    // Replaced when it differs from this one (made by an earlier version of the server).
    TPgResult Current = FConn.Query("SELECT prosrc FROM pg_proc WHERE proname = $1",
                                    TPgParams().Add(Unquoted(FLogFunction)));
    if (!Current.Rows() || Current.Text(0, 0) != Body) {
        try {
            FConn.Exec("CREATE OR REPLACE FUNCTION " + FLogFunction + "() RETURNS trigger LANGUAGE plpgsql AS $zfd$" +
                       Body + "$zfd$");
        } catch (const EPgError& E) {
            if (E.SqlState() != "42501") throw;
            throw EServerError(FormatText(TranslateText("PostgresRecordStore",
                                                        "%1 has a change log made by an earlier version of the server, "
                                                        "which this user may not bring up to date; open the table once as "
                                                        "a user who may (its owner)."),
                                          {InDatabase()}));
        }
    }
    if (!Trigger.Rows())
        FConn.Exec("CREATE TRIGGER " + FLogTrigger + " AFTER INSERT OR UPDATE OR DELETE ON " + FTable +
                   " FOR EACH ROW EXECUTE FUNCTION " + FLogFunction + "()");
    // TRUNCATE fires no row trigger: it is logged once, as the whole table emptied.
    if (!FConn.Query("SELECT 1 FROM pg_trigger WHERE tgrelid = $1::regclass AND tgname = $2",
                     TPgParams().Add(FTable).Add(Unquoted(FTruncateTrigger)))
             .Rows())
        FConn.Exec("CREATE TRIGGER " + FTruncateTrigger + " AFTER TRUNCATE ON " + FTable +
                   " FOR EACH STATEMENT EXECUTE FUNCTION " + FLogFunction + "()");
}

AnsiString TPostgresRecordStore::BoundColumns() const
{
    if (!FSchema.HasKey()) return "zfd_id";
    AnsiString Cols;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) Cols += (Cols.empty() ? "" : ", ") + Column(I);
    return Cols;
}

AnsiString TPostgresRecordStore::BoundOrder(const AnsiString& Qualifier, const char* Direction) const
{
    if (!FSchema.HasKey()) return Qualifier + "zfd_id" + Direction;
    AnsiString Order;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) Order += (Order.empty() ? "" : ", ") + KeyExpr(I, Qualifier) + Direction;
    return Order;
}

// The summary's triggers (KeySummary.h): one per kind of statement, run after it with the
// rows it changed. (PostgreSQL runs a table's row triggers at the end of their statement: a
// row trigger that splits a block would find rows in the table that it has not counted yet.)
// They run after the change log's row trigger, which took the table's sequence row, so the
// writers of the table take turns from there until they commit. Answers whether any of them,
// or of their functions, was made anew.
bool TPostgresRecordStore::PrepareSummaryTriggers()
{
    AnsiString Half = IntToStr(BlockRows), Split = IntToStr(SplitRows);
    AnsiString Bounds = BoundColumns();
    // The block of the key of a changed row r: the last block with a bound at or before it,
    // else block 0.
    AnsiString RowKeys = FSchema.HasKey() ? KeyList("r.") : AnsiString("r.zfd_id");
    AnsiString BlockOfRow = "coalesce((SELECT blk FROM " + FBlocks + " WHERE blk > 0 AND (" + BoundOrder("") + ") <= (" +
                            RowKeys + ") ORDER BY " + BoundOrder("", " DESC") + " LIMIT 1), 0)";
    // Counts Rows (changed rows, aliased r) into their blocks, up (splitting the blocks that
    // reach SplitRows) or down (dropping those left empty, block 0 aside).
    auto Count = [&](const AnsiString& Rows, bool Up) {
        AnsiString Loop = "  FOR b, c IN UPDATE " + FBlocks + " AS s SET n = s.n " + (Up ? "+" : "-") + " x.k FROM (SELECT " +
                          BlockOfRow + " AS blk, count(*) AS k FROM " + Rows +
                          " GROUP BY 1) AS x WHERE s.blk = x.blk RETURNING s.blk, s.n LOOP\n";
        if (!Up) return Loop + "    IF b > 0 AND c <= 0 THEN DELETE FROM " + FBlocks + " WHERE blk = b; END IF;\n  END LOOP;\n";
        AnsiString From = "SELECT c - " + Half + ", " + Bounds + " FROM " + FTable;
        AnsiString Rest = " ORDER BY " + Order("") + " OFFSET " + Half + " LIMIT 1 RETURNING blk INTO nb;\n";
        return Loop + "    WHILE c >= " + Split + " LOOP\n"
                      "      IF b = 0 THEN INSERT INTO " + FBlocks + " (n, " + Bounds + ") " + From + Rest +
               "      ELSE INSERT INTO " + FBlocks + " (n, " + Bounds + ") " + From + " WHERE (" + BoundOrder("") +
               ") >= (SELECT " + BoundOrder("") + " FROM " + FBlocks + " WHERE blk = b)" + Rest +
               "      END IF;\n"
               "      UPDATE " + FBlocks + " SET n = " + Half + " WHERE blk = b;\n"
               "      b := nb;\n"
               "      c := c - " + Half + ";\n"
               "    END LOOP;\n"
               "  END LOOP;\n";
    };
    struct TTrigger {
        const char* Kind;
        AnsiString Event, Body;
    };
    std::vector<TTrigger> Triggers = {
        {"i", "INSERT ON " + FTable + " REFERENCING NEW TABLE AS zfd_new",
         Count("zfd_new AS r", true) + "  UPDATE " + FBlocks +
             " SET top = greatest(top, (SELECT max(zfd_id) FROM zfd_new)) WHERE blk = 0;\n"},
        {"d", "DELETE ON " + FTable + " REFERENCING OLD TABLE AS zfd_old", Count("zfd_old AS r", false)},
        {"t", "TRUNCATE ON " + FTable,
         "  DELETE FROM " + FBlocks + " WHERE blk > 0;\n  UPDATE " + FBlocks + " SET n = 0 WHERE blk = 0;\n"},
    };
    if (FSchema.HasKey()) {
        // The updated rows whose key changed: out of their old blocks, into their new ones.
        AnsiString Changed, OldCols = "o.zfd_id", NewCols = "w.zfd_id";
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) {
                Changed += (Changed.empty() ? "" : " OR ") + ("o." + Column(I)) + " IS DISTINCT FROM w." + Column(I);
                OldCols += ", o." + Column(I);
                NewCols += ", w." + Column(I);
            }
        AnsiString Moved = " FROM zfd_old AS o JOIN zfd_new AS w ON o.zfd_id = w.zfd_id WHERE " + Changed + ") AS r";
        Triggers.push_back({"u", "UPDATE ON " + FTable + " REFERENCING OLD TABLE AS zfd_old NEW TABLE AS zfd_new",
                            Count("(SELECT " + OldCols + Moved, false) + Count("(SELECT " + NewCols + Moved, true)});
    }
    bool Remade = false;
    for (const TTrigger& T : Triggers) {
        AnsiString Function = "zfd_blkf" + AnsiString(T.Kind) + "_" + FOwn;
        AnsiString Trigger = "zfd_blk" + AnsiString(T.Kind) + "_" + FOwn;
        AnsiString Body = "\nDECLARE b bigint; c bigint; nb bigint;\nBEGIN\n" + T.Body + "  RETURN NULL;\nEND ";
        TPgResult Current = FConn.Query("SELECT prosrc FROM pg_proc WHERE proname = $1", TPgParams().Add(Function));
        if (!Current.Rows() || Current.Text(0, 0) != Body) {
            FConn.Exec("CREATE OR REPLACE FUNCTION " + QuoteIdent(Function) + "() RETURNS trigger LANGUAGE plpgsql AS $zfd$" +
                       Body + "$zfd$");
            Remade = true;
        }
        TPgResult Made = FConn.Query("SELECT 1 FROM pg_trigger WHERE tgrelid = $1::regclass AND tgname = $2",
                                     TPgParams().Add(FTable).Add(Trigger));
        if (!Made.Rows()) {
            FConn.Exec("CREATE TRIGGER " + QuoteIdent(Trigger) + " AFTER " + T.Event + " FOR EACH STATEMENT EXECUTE FUNCTION " +
                       QuoteIdent(Function) + "()");
            Remade = true;
        }
    }
    return Remade;
}

void TPostgresRecordStore::PrepareSummary()
{
    try {
        bool Made = !Exists(FBlocks);
        if (Made) {
            AnsiString Definitions;
            for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
                if (FSchema.Fields[I].Key) Definitions += ", " + Column(I) + " text";
            if (!FSchema.HasKey()) Definitions = ", zfd_id bigint";
            FConn.Exec("CREATE TABLE " + FBlocks +
                       " (blk bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, n bigint NOT NULL, "
                       "top bigint NOT NULL DEFAULT 0" + Definitions + ")");
            FConn.Exec("CREATE INDEX " + QuoteIdent(FBlocksIndex) + " ON " + FBlocks + " (" + BoundOrder("") + ")");
        }
        bool Remade = PrepareSummaryTriggers();
        // Made anew (a table kept from before the summary, or triggers that were missing), or
        // inserts went around the triggers (records above top): made again from the table.
        if (!Made && !Remade) {
            TPgResult Check = FConn.Query("SELECT (SELECT top FROM " + FBlocks +
                                          " WHERE blk = 0) >= (SELECT coalesce(max(zfd_id), 0) FROM " + FTable + ")");
            if (!Check.IsNull(0, 0) && Check.Text(0, 0) == "t") return;
        }
        RefillSummary();
    } catch (const EPgError& E) {
        if (E.SqlState() != "42501") throw;
        throw EServerError(FormatText(TranslateText("PostgresRecordStore",
                                                    "%1 has no key-order summary that is up to date, which this user "
                                                    "may not make; open the table once as a user who may (its owner)."),
                                      {InDatabase()}));
    }
}

void TPostgresRecordStore::RefillSummary()
{
    // Writers wait until this transaction ends (their trigger would count into a summary being
    // made); readers go on.
    AnsiString Half = IntToStr(BlockRows);
    AnsiString Bounds = BoundColumns();
    FConn.Exec("LOCK TABLE " + FTable + " IN SHARE MODE");
    FConn.Exec("DELETE FROM " + FBlocks);
    FConn.Exec("INSERT INTO " + FBlocks + " (blk, n, top) SELECT 0, least(count(*), " + Half + "), coalesce(max(zfd_id), 0) FROM " +
               FTable);
    FConn.Exec("INSERT INTO " + FBlocks + " (n, " + Bounds + ") SELECT least(" + Half + ", (SELECT count(*) FROM " + FTable +
               ") - r), " + Bounds + " FROM (SELECT " + Bounds + ", row_number() OVER (ORDER BY " + Order("") +
               ") - 1 AS r FROM " + FTable + ") AS o WHERE r > 0 AND r % " + Half + " = 0");
}

void TPostgresRecordStore::Connected()
{
    std::size_t N = FSchema.Fields.size();
    AnsiString Params, Sets;
    for (std::size_t I = 0; I < N; ++I) {
        AnsiString P = ParamRef(static_cast<std::int64_t>(I) + 1);
        Params += (I ? ", " : "") + P;
        Sets += Column(I) + " = " + P + ", ";
    }
    AnsiString IdParam = ParamRef(static_cast<std::int64_t>(N) + 1);
    AnsiString VerParam = ParamRef(static_cast<std::int64_t>(N) + 2);
    AnsiString Cols = ColumnList();
    FConn.Prepare("read", "SELECT zfd_ver, " + Cols + " FROM " + FTable + " WHERE zfd_id = $1");
    FConn.Prepare("version", "SELECT zfd_ver FROM " + FTable + " WHERE zfd_id = $1");
    FConn.Prepare("insert", "INSERT INTO " + FTable + " (" + Cols + ") VALUES (" + Params + ") RETURNING zfd_id");
    FConn.Prepare("update", "UPDATE " + FTable + " SET " + Sets + "zfd_ver = zfd_ver + 1 WHERE zfd_id = " + IdParam +
                                "::bigint AND zfd_ver = " + VerParam + "::bigint RETURNING zfd_ver");
    FConn.Prepare("delete", "DELETE FROM " + FTable + " WHERE zfd_id = $1 AND zfd_ver = $2 RETURNING zfd_id");
    FConn.Prepare("logend", "SELECT seq FROM zfd_sequences WHERE tab = $1");
    // Bounded on both sides, so that the plan made for any $1 searches the log's index
    // (with one bound, a log never analysed is read whole and sorted).
    FConn.Prepare("log", "SELECT seq, id, what, oldkey, newkey FROM " + FLog + " WHERE seq > $1 AND seq <= $2 ORDER BY seq");
    // From record $1 on: the key is unique, so the start record is the only one equal to it.
    AnsiString Keys = KeyList("");
    AnsiString Range = Keys.empty()
                           ? "zfd_id >= $1 AND EXISTS (SELECT 1 FROM " + FTable + " WHERE zfd_id = $1)"
                           : "(" + Keys + ") >= (SELECT " + Keys + " FROM " + FTable + " WHERE zfd_id = $1)";
    FConn.Prepare("page", "SELECT zfd_id, zfd_ver, " + Cols + " FROM " + FTable + " WHERE " + Range + " ORDER BY " +
                              Order("") + " LIMIT $2");
    FConn.Exec("LISTEN " + QuoteIdent(FChannel));
}

AnsiString TPostgresRecordStore::Column(std::size_t Field) const
{
    return QuoteIdent(FSchema.Fields[Field].Name);
}

AnsiString TPostgresRecordStore::ColumnList() const
{
    AnsiString Cols;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Cols += (I ? ", " : "") + Column(I);
    return Cols;
}

AnsiString TPostgresRecordStore::KeyExpr(std::size_t Field, const AnsiString& Qualifier) const
{
    return KeyExprOf(Field, Qualifier + Column(Field));
}

AnsiString TPostgresRecordStore::KeyExprOf(std::size_t Field, const AnsiString& Text) const
{
    return FSchema.Fields[Field].Type == TFieldType::Number ? "((" + Text + ")::numeric)" : "(" + Text + " COLLATE \"C\")";
}

AnsiString TPostgresRecordStore::KeyList(const AnsiString& Qualifier) const
{
    AnsiString Result;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) Result += (Result.empty() ? "" : ", ") + KeyExpr(I, Qualifier);
    return Result;
}

AnsiString TPostgresRecordStore::Order(const AnsiString& Qualifier) const
{
    AnsiString Keys = KeyList(Qualifier);
    return Keys.empty() ? Qualifier + "zfd_id" : Keys + ", " + Qualifier + "zfd_id";
}

}  // namespace RecordServer
