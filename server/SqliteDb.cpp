#include "server/SqliteDb.h"

#include <sqlite3.h>

#include <thread>
#include <utility>

#include "framework/core/Translation.h"

namespace RecordServer {

namespace {

const char* const CannotBind = ZFD_TRANSLATE_NOOP("SqliteDb", "cannot bind a value");

// What: a text marked for translation in the context "SqliteDb".
[[noreturn]] void Fail(sqlite3* Db, int Code, const char* What)
{
    AnsiString Msg = Db ? AnsiString(sqlite3_errmsg(Db)) : AnsiString(sqlite3_errstr(Code));
    int Extended = Db ? sqlite3_extended_errcode(Db) : Code;
    throw ESqliteError(TranslateText("SqliteDb", What) + ": " + Msg, Extended);
}

}  // namespace

TSqliteDb::TSqliteDb(const AnsiString& Target)
{
    // A connection is used by one thread at a time (a session's rule), so it needs no mutex
    // of its own; memory tables shared between sessions keep SQLite's locks on what they share.
    int Flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    int Rc = sqlite3_open_v2(Target.c_str(), &FDb, Flags, nullptr);
    if (Rc != SQLITE_OK) {
        AnsiString Msg = FDb ? AnsiString(sqlite3_errmsg(FDb)) : AnsiString(sqlite3_errstr(Rc));
        sqlite3_close(FDb);
        FDb = nullptr;
        throw ESqliteError(FormatText(TranslateText("SqliteDb", "cannot open the database %1: %2"), {Target, Msg}), Rc);
    }
    sqlite3_extended_result_codes(FDb, 1);
}

void TSqliteDb::SetBusyTimeout(int Milliseconds)
{
    FBusyTimeoutMs = Milliseconds;
    sqlite3_busy_handler(FDb, &TSqliteDb::BusyHandler, this);
}

int TSqliteDb::BusyHandler(void* Self, int Count)
{
    using namespace std::chrono;
    auto* Db = static_cast<TSqliteDb*>(Self);
    const steady_clock::time_point Now = steady_clock::now();
    if (Count == 0) Db->FBusySince = Now;
    if (Now - Db->FBusySince >= milliseconds(Db->FBusyTimeoutMs)) return 0;
    std::this_thread::sleep_for(microseconds(100));
    return 1;
}

TSqliteDb::~TSqliteDb()
{
    Close();
}

void TSqliteDb::Close()
{
    if (FDb) sqlite3_close_v2(std::exchange(FDb, nullptr));
}

void TSqliteDb::Exec(std::string_view Sql)
{
    AnsiString Text(Sql);
    int Rc = sqlite3_exec(FDb, Text.c_str(), nullptr, nullptr, nullptr);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, ZFD_TRANSLATE_NOOP("SqliteDb", "SQL failed"));
}

std::int64_t TSqliteDb::LastInsertRowId() const
{
    return sqlite3_last_insert_rowid(FDb);
}

int TSqliteDb::Changes() const
{
    return sqlite3_changes(FDb);
}

TSqliteStatement::TSqliteStatement(const TSqliteDb& Db, std::string_view Sql) : FDb(Db.Handle())
{
    int Rc = sqlite3_prepare_v3(FDb, Sql.data(), static_cast<int>(Sql.size()), SQLITE_PREPARE_PERSISTENT, &FStmt,
                                nullptr);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, ZFD_TRANSLATE_NOOP("SqliteDb", "cannot prepare a statement"));
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(FStmt);
}

TSqliteStatement::TSqliteStatement(TSqliteStatement&& Other) noexcept
    : FStmt(std::exchange(Other.FStmt, nullptr)), FDb(Other.FDb)
{
}

TSqliteStatement& TSqliteStatement::operator=(TSqliteStatement&& Other) noexcept
{
    if (this != &Other) {
        sqlite3_finalize(FStmt);
        FStmt = std::exchange(Other.FStmt, nullptr);
        FDb = Other.FDb;
    }
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, std::int64_t Value)
{
    int Rc = sqlite3_bind_int64(FStmt, Index, Value);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, CannotBind);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, double Value)
{
    int Rc = sqlite3_bind_double(FStmt, Index, Value);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, CannotBind);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, std::string_view Value)
{
    int Rc = sqlite3_bind_text64(FStmt, Index, Value.data(), Value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, CannotBind);
    return *this;
}

TSqliteStatement& TSqliteStatement::BindUncopied(int Index, std::string_view Value)
{
    int Rc = sqlite3_bind_text64(FStmt, Index, Value.data(), Value.size(), SQLITE_STATIC, SQLITE_UTF8);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, CannotBind);
    return *this;
}

TSqliteStatement& TSqliteStatement::BindPointer(int Index, void* Object, const char* Type)
{
    int Rc = sqlite3_bind_pointer(FStmt, Index, Object, Type, nullptr);
    if (Rc != SQLITE_OK) Fail(FDb, Rc, CannotBind);
    return *this;
}

bool TSqliteStatement::Step()
{
    int Rc = sqlite3_step(FStmt);
    if (Rc == SQLITE_ROW) return true;
    if (Rc == SQLITE_DONE) return false;
    // Keep the message before the reset below replaces it.
    AnsiString Msg = sqlite3_errmsg(FDb);
    int Extended = sqlite3_extended_errcode(FDb);
    sqlite3_reset(FStmt);
    throw ESqliteError(Msg, Extended);
}

void TSqliteStatement::Run()
{
    TStatementReset Done(*this);
    Step();
}

std::int64_t TSqliteStatement::ColumnInt64(int Column) const
{
    return sqlite3_column_int64(FStmt, Column);
}

void TSqliteStatement::ColumnTextInto(int Column, AnsiString& Into) const
{
    const unsigned char* Text = sqlite3_column_text(FStmt, Column);
    if (!Text) {
        Into.clear();
        return;
    }
    Into.assign(reinterpret_cast<const char*>(Text), static_cast<std::size_t>(sqlite3_column_bytes(FStmt, Column)));
}

int TSqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(FStmt);
}

AnsiString TSqliteStatement::ColumnText(int Column) const
{
    const unsigned char* Text = sqlite3_column_text(FStmt, Column);
    int Bytes = sqlite3_column_bytes(FStmt, Column);
    if (!Text) return AnsiString();
    return AnsiString(reinterpret_cast<const char*>(Text), static_cast<std::size_t>(Bytes));
}

void TSqliteStatement::Reset()
{
    if (!FStmt) return;
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
}

TSqliteTransaction::TSqliteTransaction(TSqliteDb& Db) : FDb(Db)
{
    FDb.Exec("BEGIN IMMEDIATE");
}

TSqliteTransaction::~TSqliteTransaction()
{
    if (FOpen) sqlite3_exec(FDb.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TSqliteTransaction::Commit()
{
    FDb.Exec("COMMIT");
    FOpen = false;
}

}  // namespace RecordServer
