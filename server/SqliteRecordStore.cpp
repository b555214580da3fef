#include "server/SqliteRecordStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "framework/core/TextUtils.h"
#include "server/MemoryTables.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

constexpr int BusyTimeoutMs = 5000;
const char* const KeyIndexPrefix = "zfd_key_";

const char* const FilterPointerType = "zfd_filter";
const char* const NumberCollation = "zfd_number";

// A filter ready to run inside a query: its conditions, each with the position of its
// field's text among the arguments of zfd_filter.
struct TCompiledFilter {
    std::vector<TFilterCondition> Conditions;
    std::vector<int> Argument;  // per condition: 1-based position after the filter itself
    std::vector<std::size_t> Fields;  // the distinct fields passed, in argument order
};

// zfd_filter(filter, text1, text2, ...): 1 when the texts pass every condition.
void FilterFunction(sqlite3_context* Context, int Argc, sqlite3_value** Argv)
{
    auto* Filter = static_cast<const TCompiledFilter*>(sqlite3_value_pointer(Argv[0], FilterPointerType));
    if (!Filter) {
        sqlite3_result_error(Context, "zfd_filter is given no filter", -1);
        return;
    }
    for (std::size_t I = 0; I < Filter->Conditions.size(); ++I) {
        int Arg = Filter->Argument[I];
        if (Arg >= Argc) {
            sqlite3_result_error(Context, "zfd_filter is given too few fields", -1);
            return;
        }
        const char* Text = reinterpret_cast<const char*>(sqlite3_value_text(Argv[Arg]));
        std::string_view Value = Text ? std::string_view(Text, static_cast<std::size_t>(sqlite3_value_bytes(Argv[Arg])))
                                      : std::string_view();
        if (!ConditionHolds(Filter->Conditions[I], Value)) {
            sqlite3_result_int(Context, 0);
            return;
        }
    }
    sqlite3_result_int(Context, 1);
}

// The collation of number key fields: exact decimal order, so that the unique index, the
// order of the view and the comparisons of records agree that 13 and 13.0 are one key and
// 12345678901234567890 and 12345678901234567891 are two.
int NumberCollationFunction(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareNumberTexts(std::string_view(static_cast<const char*>(A), static_cast<std::size_t>(LengthA)),
                              std::string_view(static_cast<const char*>(B), static_cast<std::size_t>(LengthB)));
}

// FNV-1a, so that an index name made from the key's definition is the same in every build.
std::uint32_t StableHash(std::string_view Text)
{
    std::uint32_t Hash = 2166136261u;
    for (char C : Text) {
        Hash ^= static_cast<unsigned char>(C);
        Hash *= 16777619u;
    }
    return Hash;
}

// "?N", a numbered parameter.
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref(1, '?');
    Ref += IntToStr(Number);
    return Ref;
}

class TSqliteRecordStore : public TRecordStore {
public:
    TSqliteRecordStore(const TTableSchema& Schema, const AnsiString& Target, bool IsFile, const AnsiString& Where)
        : FSchema(Schema), FDb(Target), FWhere(Where)
    {
        RegisterSqlFunctions(FDb.Handle());
        if (IsFile) {
            FDb.SetBusyTimeout(BusyTimeoutMs);
            FDb.Exec("PRAGMA journal_mode=WAL");
            FDb.Exec("PRAGMA synchronous=FULL");
        }
        FTable = QuoteIdent(FSchema.TableName);
        PrepareTable();
        PrepareStatements();
        SetFilter({});
        ChangedByOthers();  // start from the current version
    }

    bool ChangedByOthers() override
    {
        TStatementReset Done(FDataVersion);
        FDataVersion.Step();
        std::int64_t Version = FDataVersion.ColumnInt64(0);
        if (Version == FLastDataVersion) return false;
        FLastDataVersion = Version;
        return true;
    }

    void SetFilter(const std::vector<TFilterCondition>& Conditions) override
    {
        auto Filter = std::make_unique<TCompiledFilter>();
        AnsiString Where = CompileFilter(Conditions, *Filter);
        AnsiString Order = " ORDER BY " + KeyOrder("") + "zfd_id";
        TSqliteStatement View(FDb, "SELECT zfd_id FROM " + FTable + (Where.empty() ? "" : " WHERE " + Where) + Order);
        TSqliteStatement Passes(FDb, "SELECT 1 FROM " + FTable + " WHERE zfd_id = ?1" +
                                         (Where.empty() ? "" : " AND " + Where));
        FView = std::move(View);
        FPasses = std::move(Passes);
        FFilter = std::move(Filter);
    }

    std::vector<std::int64_t> ReadOrderedIds() override
    {
        std::vector<std::int64_t> Ids;
        TStatementReset Done(FView);
        BindFilter(FView);
        while (FView.Step()) Ids.push_back(FView.ColumnInt64(0));
        return Ids;
    }

    bool PassesFilter(std::int64_t Id) override
    {
        TStatementReset Done(FPasses);
        FPasses.Bind(1, Id);
        BindFilter(FPasses);
        return FPasses.Step();
    }

    std::optional<bool> ComesBefore(std::int64_t A, std::int64_t B) override
    {
        if (!FSchema.HasKey()) return A < B;
        TStatementReset Done(FCompare);
        FCompare.Bind(1, A).Bind(2, B);
        if (!FCompare.Step()) return std::nullopt;
        return FCompare.ColumnInt64(0) != 0;
    }

    bool Read(std::int64_t Id, TStoredRecord& Record) override
    {
        TStatementReset Done(FRead);
        FRead.Bind(1, Id);
        if (!FRead.Step()) return false;
        Record.Id = Id;
        Record.Version = FRead.ColumnInt64(0);
        Record.Values.resize(FSchema.Fields.size());
        for (std::size_t I = 0; I < Record.Values.size(); ++I) Record.Values[I] = FRead.ColumnText(static_cast<int>(I) + 1);
        return true;
    }

    std::optional<std::int64_t> ReadVersion(std::int64_t Id) override
    {
        TStatementReset Done(FReadVersion);
        FReadVersion.Bind(1, Id);
        if (!FReadVersion.Step()) return std::nullopt;
        return FReadVersion.ColumnInt64(0);
    }

    TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) override
    {
        TWriteResult Result = Write([&] {
            BindValues(FInsert, Values);
            FInsert.Run();
            Record.Id = FDb.LastInsertRowId();
            return true;
        });
        if (Result == TWriteResult::Done) Record.Version = 1;
        return Result;
    }

    TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                        std::int64_t& NewVersion) override
    {
        TWriteResult Result = Write([&] {
            int N = BindValues(FUpdate, Values);
            FUpdate.Bind(N + 1, Id).Bind(N + 2, Version);
            FUpdate.Run();
            return FDb.Changes() != 0;
        });
        if (Result == TWriteResult::Done) NewVersion = Version + 1;
        return Result;
    }

    TWriteResult Delete(std::int64_t Id, std::int64_t Version) override
    {
        return Write([&] {
            FDelete.Bind(1, Id).Bind(2, Version);
            FDelete.Run();
            return FDb.Changes() != 0;
        });
    }

private:
    AnsiString Column(std::size_t Field) const { return QuoteIdent(FSchema.Fields[Field].Name); }

    // One write in a transaction that takes the write lock from its start (BEGIN
    // IMMEDIATE): a writer waits for the lock once, in the connection's busy handler, and
    // never fails because another committed after it began reading. Step answers false
    // when the record changed since it was read.
    template <class F>
    TWriteResult Write(F&& Step)
    {
        try {
            TSqliteTransaction Tx(FDb);
            if (!Step()) return TWriteResult::Changed;
            Tx.Commit();
            return TWriteResult::Done;
        } catch (const ESqliteError& E) {
            if (E.IsConstraint()) return TWriteResult::DuplicateKey;
            if (E.IsBusy())
                throw EServerError("The table " + FSchema.TableName + " in " + FWhere + " stayed locked by other writers for " +
                                   IntToStr(BusyTimeoutMs / 1000) + " seconds, so the record was not written; try again.");
            throw;
        }
    }

    // One key field as it is ordered and compared: numbers as exact decimals. (Files made
    // before kept an index on CAST(... AS NUMERIC), which went through a double; its name
    // differs, so PrepareKeyIndex replaces it.)
    AnsiString KeyExpr(std::size_t Field, const AnsiString& Qualifier) const
    {
        AnsiString Col = Qualifier + Column(Field);
        return FSchema.Fields[Field].Type == TFieldType::Number ? Col + " COLLATE " + NumberCollation : Col;
    }

    // "k1, k2, " for the key fields (empty without a key).
    AnsiString KeyOrder(const AnsiString& Qualifier) const
    {
        AnsiString Result;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) Result += KeyExpr(I, Qualifier) + ", ";
        return Result;
    }

    void PrepareTable()
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
            throw EServerError("The table " + FSchema.TableName + " in " + FWhere +
                               " was not made by this server (it lacks the columns zfd_id and zfd_ver).");
        // A field added to the schema since the table was made is added to the table.
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (!Has(FSchema.Fields[I].Name))
                FDb.Exec("ALTER TABLE " + FTable + " ADD COLUMN " + Column(I) + " TEXT NOT NULL DEFAULT ''");

        PrepareKeyIndex();
        Tx.Commit();
    }

    // The unique index of the current key; indexes of an earlier key of this table are dropped.
    void PrepareKeyIndex()
    {
        AnsiString Keys = KeyOrder("");
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
                if (SameText(Index.substr(0, std::strlen(KeyIndexPrefix)), KeyIndexPrefix) && !SameText(Index, Name)) Stale.push_back(Index);
            }
        }
        for (const AnsiString& Index : Stale) FDb.Exec("DROP INDEX " + QuoteIdent(Index));
        if (Name.empty()) return;
        try {
            FDb.Exec("CREATE UNIQUE INDEX IF NOT EXISTS " + QuoteIdent(Name) + " ON " + FTable + " (" + Keys + ")");
        } catch (const ESqliteError& E) {
            if (!E.IsConstraint()) throw;
            throw EServerError("The table " + FSchema.TableName + " in " + FWhere +
                               " holds records with the same key, so its key fields cannot be enforced.");
        }
    }

    void PrepareStatements()
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
        FUpdate = TSqliteStatement(FDb, "UPDATE " + FTable + " SET " + Sets + "zfd_ver = zfd_ver + 1 WHERE zfd_id = " +
                                            IdParam + " AND zfd_ver = " + VerParam);
        FDelete = TSqliteStatement(FDb, "DELETE FROM " + FTable + " WHERE zfd_id = ?1 AND zfd_ver = ?2");
        if (!FSchema.HasKey()) return;

        FCompare = TSqliteStatement(FDb, "SELECT (" + KeyOrder("a.") + "a.zfd_id) < (" + KeyOrder("b.") + "b.zfd_id) FROM " +
                                             FTable + " AS a, " + FTable + " AS b WHERE a.zfd_id = ?1 AND b.zfd_id = ?2");
    }

    // Parameters ?1..?N: the values in field order (the statement runs and is reset while
    // Values is alive, so they are not copied).
    int BindValues(TSqliteStatement& Stmt, const std::vector<AnsiString>& Values)
    {
        for (std::size_t I = 0; I < Values.size(); ++I) Stmt.BindUncopied(static_cast<int>(I) + 1, Values[I]);
        return static_cast<int>(Values.size());
    }

    // The SQL condition of a filter: zfd_filter(?2, <the fields it tests>), with the filter
    // itself bound as ?2 (?1 is a record id). Only checked, quoted field names reach the SQL.
    AnsiString CompileFilter(const std::vector<TFilterCondition>& Conditions, TCompiledFilter& Filter) const
    {
        if (Conditions.empty()) return {};
        AnsiString Args;
        for (const TFilterCondition& Cond : Conditions) {
            int Field = FSchema.FieldIndex(Cond.FieldName);
            if (Field < 0)
                throw EServerError("The filter names the field " + Quoted(Cond.FieldName) + ", which the table " +
                                       FSchema.TableName + " does not have.",
                                   E_INVALIDARG);
            auto It = std::find(Filter.Fields.begin(), Filter.Fields.end(), static_cast<std::size_t>(Field));
            if (It == Filter.Fields.end()) {
                Filter.Fields.push_back(static_cast<std::size_t>(Field));
                Args += ", " + Column(static_cast<std::size_t>(Field));
                It = Filter.Fields.end() - 1;
            }
            Filter.Conditions.push_back(Cond);
            Filter.Argument.push_back(static_cast<int>(It - Filter.Fields.begin()) + 1);
        }
        return "zfd_filter(?2" + Args + ")";
    }

    void BindFilter(TSqliteStatement& Stmt)
    {
        if (!FFilter->Conditions.empty()) Stmt.BindPointer(2, FFilter.get(), FilterPointerType);
    }

    TTableSchema FSchema;
    TSqliteDb FDb;
    AnsiString FWhere;  // where the table lives, for messages
    AnsiString FTable;  // the quoted table name
    TSqliteStatement FDataVersion, FRead, FReadVersion, FInsert, FUpdate, FDelete, FCompare;
    TSqliteStatement FView, FPasses;
    std::unique_ptr<TCompiledFilter> FFilter;  // owned; bound to FView and FPasses
    std::int64_t FLastDataVersion = -1;
};

}  // namespace

void RegisterSqlFunctions(sqlite3* Db)
{
    sqlite3_create_collation_v2(Db, NumberCollation, SQLITE_UTF8, nullptr, &NumberCollationFunction, nullptr);
    sqlite3_create_function_v2(Db, "zfd_filter", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                               &FilterFunction, nullptr, nullptr, nullptr);
}

std::unique_ptr<TRecordStore> OpenMemoryStore(const TTableSchema& Schema, const AnsiString& CanonicalSchemaPath)
{
    return std::make_unique<TSqliteRecordStore>(Schema, MemoryDatabaseUri(CanonicalSchemaPath), false,
                                                "the memory table of " + CanonicalSchemaPath);
}

std::unique_ptr<TRecordStore> OpenFileStore(const TTableSchema& Schema, const AnsiString& Path)
{
    return std::make_unique<TSqliteRecordStore>(Schema, Path, true, "the file " + Path);
}

}  // namespace RecordServer
