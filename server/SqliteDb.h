#pragma once
// A thin layer over SQLite's C interface: a connection and prepared statements that reset
// themselves, so that no statement stays active (and holds a lock that blocks another
// session's write) longer than the read it serves.
#include <chrono>
#include <cstdint>
#include <string_view>

#include "framework/core/Exceptions.h"

struct sqlite3;
struct sqlite3_stmt;

namespace RecordServer {

// A failure reported by SQLite, with its extended result code.
class ESqliteError : public Exception {
public:
    ESqliteError(AnsiString Msg, int Code) : Exception(std::move(Msg)), FCode(Code) {}
    int Code() const noexcept { return FCode; }
    bool IsConstraint() const noexcept { return (FCode & 0xFF) == 19; }  // SQLITE_CONSTRAINT
    bool IsBusy() const noexcept { return (FCode & 0xFF) == 5 || (FCode & 0xFF) == 6; }  // BUSY, LOCKED

private:
    int FCode;
};

class TSqliteDb {
public:
    TSqliteDb() = default;
    // Opens Target (a path, or a "file:" URI) read-write, creating it when missing.
    explicit TSqliteDb(const AnsiString& Target);
    ~TSqliteDb();
    TSqliteDb(const TSqliteDb&) = delete;
    TSqliteDb& operator=(const TSqliteDb&) = delete;

    sqlite3* Handle() const { return FDb; }
    // Waits up to Milliseconds for a lock that another connection holds before a statement
    // fails as busy ("database is locked"), trying again in short steps: a writer ahead
    // holds the lock for one transaction, a few milliseconds, so a waiter comes in soon
    // after it instead of after the growing sleeps of SQLite's own handler (up to 100 ms,
    // during which later writers overtake it).
    void SetBusyTimeout(int Milliseconds);
    // Runs one or more statements that return no rows.
    void Exec(std::string_view Sql);
    std::int64_t LastInsertRowId() const;
    int Changes() const;
    void Close();

private:
    static int BusyHandler(void* Self, int Count);

    sqlite3* FDb = nullptr;  // owned
    int FBusyTimeoutMs = 0;
    std::chrono::steady_clock::time_point FBusySince;  // when the current wait began
};

class TSqliteStatement {
public:
    TSqliteStatement() = default;
    TSqliteStatement(const TSqliteDb& Db, std::string_view Sql);
    ~TSqliteStatement();
    TSqliteStatement(TSqliteStatement&& Other) noexcept;
    TSqliteStatement& operator=(TSqliteStatement&& Other) noexcept;
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    bool IsPrepared() const { return FStmt != nullptr; }
    // Parameters are numbered from 1.
    TSqliteStatement& Bind(int Index, std::int64_t Value);
    TSqliteStatement& Bind(int Index, double Value);
    TSqliteStatement& Bind(int Index, std::string_view Value);
    // Binds Value without copying it: it must stay unchanged until the statement is reset.
    TSqliteStatement& BindUncopied(int Index, std::string_view Value);
    // Passes a C++ object to an SQL function of ours; Type is a static string naming its kind.
    TSqliteStatement& BindPointer(int Index, void* Object, const char* Type);
    // Advances to the next row: true when there is one. Errors raise ESqliteError.
    bool Step();
    // Runs a statement that returns no rows, then resets it.
    void Run();
    std::int64_t ColumnInt64(int Column) const;
    AnsiString ColumnText(int Column) const;
    // The same text into Into, reusing its buffer.
    void ColumnTextInto(int Column, AnsiString& Into) const;
    int ColumnCount() const;
    // Ends the current use: the statement is reset and its parameters cleared.
    void Reset();

private:
    sqlite3_stmt* FStmt = nullptr;  // owned
    sqlite3* FDb = nullptr;         // not owned: the connection that prepared it
};

// Resets a statement when the scope that reads it ends, also when the read fails.
class TStatementReset {
public:
    explicit TStatementReset(TSqliteStatement& Stmt) : FStmt(Stmt) {}
    ~TStatementReset() { FStmt.Reset(); }
    TStatementReset(const TStatementReset&) = delete;
    TStatementReset& operator=(const TStatementReset&) = delete;

private:
    TSqliteStatement& FStmt;
};

// An explicit write transaction, rolled back unless committed.
class TSqliteTransaction {
public:
    explicit TSqliteTransaction(TSqliteDb& Db);
    ~TSqliteTransaction();
    TSqliteTransaction(const TSqliteTransaction&) = delete;
    TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;
    void Commit();

private:
    TSqliteDb& FDb;
    bool FOpen = true;
};

}  // namespace RecordServer
