#pragma once
// A thin layer over libpq: one connection to a PostgreSQL server, statements prepared by
// name, results that free themselves, a write of several statements sent in one round trip
// as one transaction, and the notifications the server sent for LISTEN.
//
// No call waits without bound. The connection is made with the settings of PgSettings.h
// (a connect timeout, the statement and lock limits the server enforces, keepalives). On
// top of that every call waits on the connection's socket itself (libpq's asynchronous
// calls): when nothing comes from the server for longer than the statement limit and a
// little grace, the server has stopped answering (a backend frozen, a peer gone): the call
// fails, saying so, and the connection is closed, since its answer may still come. Every
// value travels as a bound parameter; SQL text holds only names the caller has quoted.
//
// States: Connected, or Lost (the server closed the connection, could not be reached, or
// stopped answering). A call that meets a lost connection raises EPgError with Lost() true;
// Reconnect() makes a fresh connection (statements prepared before must be prepared again).
//
// Messages are one sentence each: the server's own text is taken in on one line.
//
// Threading: one thread at a time.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"
#include "server/PgSettings.h"

struct pg_conn;
struct pg_result;

namespace RecordServer {

// A failure reported by libpq or the server, with the server's SQLSTATE when it gave one.
class EPgError : public Exception {
public:
    EPgError(AnsiString Msg, AnsiString SqlState, bool Lost, AnsiString Reason = {}, AnsiString Constraint = {})
        : Exception(std::move(Msg)), FSqlState(std::move(SqlState)), FReason(std::move(Reason)),
          FConstraint(std::move(Constraint)), FLost(Lost) {}
    const AnsiString& SqlState() const noexcept { return FSqlState; }
    bool IsUniqueViolation() const noexcept { return FSqlState == "23505"; }
    // The server's or libpq's own words, on one line, without a final full stop.
    const AnsiString& Reason() const noexcept { return FReason; }
    // The constraint (or index) that the failure violated, when the server named one.
    const AnsiString& Constraint() const noexcept { return FConstraint; }
    // The connection is gone: the server restarted, was stopped, or the network failed.
    bool Lost() const noexcept { return FLost; }

private:
    AnsiString FSqlState;
    AnsiString FReason;
    AnsiString FConstraint;
    bool FLost;
};

// A query's result; rows and columns count from 0.
class TPgResult {
public:
    TPgResult() = default;
    explicit TPgResult(pg_result* Result) : FResult(Result) {}
    bool Valid() const { return FResult != nullptr; }
    int Rows() const;
    int Columns() const;
    bool IsNull(int Row, int Column) const;
    std::string_view Text(int Row, int Column) const;
    std::int64_t Int64(int Row, int Column) const;
    // Rows that an INSERT, UPDATE or DELETE changed.
    std::int64_t Affected() const;

private:
    struct TFree {
        void operator()(pg_result* Result) const;
    };
    std::unique_ptr<pg_result, TFree> FResult;  // owned
};

// Parameters of one statement: texts, or SQL NULL.
class TPgParams {
public:
    TPgParams& Add(std::string_view Text);
    TPgParams& Add(std::int64_t Number);
    TPgParams& AddNull();
    int Count() const { return static_cast<int>(FValues.size()); }
    // Whether a value holds a NUL character, which PostgreSQL's text cannot hold and libpq
    // would take as the value's end: such parameters are never sent.
    bool HoldNul() const { return FHoldNul; }
    // The values as libpq takes them; valid until the next Add.
    const char* const* Values() const;

private:
    std::vector<AnsiString> FValues;
    std::vector<bool> FNull;
    bool FHoldNul = false;
    mutable std::vector<const char*> FPointers;  // into FValues; made by Values(), since Add may move the strings
};

class TPgConnection {
public:
    // Connects to Uri ("postgresql://..." or "postgres://...", the scheme in any case). Raises
    // EPgError when the server cannot be reached in time or refuses the connection, and
    // EServerError when the URI cannot be read.
    explicit TPgConnection(AnsiString Uri);
    ~TPgConnection();
    TPgConnection(const TPgConnection&) = delete;
    TPgConnection& operator=(const TPgConnection&) = delete;

    bool Connected() const;
    void Reconnect();
    // The URI without its password, for messages.
    AnsiString Where() const;

    // Runs SQL without parameters (several statements separated by ';' are allowed).
    void Exec(std::string_view Sql);
    TPgResult Query(std::string_view Sql, const TPgParams& Params = {});
    void Prepare(const AnsiString& Name, std::string_view Sql);
    // What names the statement in an error's message, a noun ("... refused a write: ...").
    TPgResult RunPrepared(const AnsiString& Name, const TPgParams& Params, const char* What = "a statement");
    // How long a call waits for the server to say anything (milliseconds; 0: without bound,
    // when the URI turned the statement limit off).
    std::int64_t AnswerLimitMs() const;

    // One statement of several sent in one round trip: a prepared statement's name, or SQL.
    struct TStep {
        AnsiString Statement;  // a prepared statement's name; empty: Sql
        AnsiString Sql;
        TPgParams Params;
    };
    // Sends the steps at once and waits for them together. Without a BEGIN among them they
    // run as one transaction: the first failing step raises EPgError and nothing of the
    // steps is kept. Returns one result per step.
    std::vector<TPgResult> RunTogether(const std::vector<TStep>& Steps);

    // Takes what the server sent without waiting for it, and answers whether another
    // connection notified Channel since the last call (other notifications are dropped);
    // Payloads, when given, receives the payloads of those notices, in order.
    bool TakeNotifications(std::string_view Channel, std::vector<AnsiString>* Payloads = nullptr);
    // The same for what libpq has received already, without reading the connection: a
    // statement's answer brings the notices of its own commit (this connection's go to Own,
    // when given; otherwise they are dropped as well).
    bool TakeReceived(std::string_view Channel, std::vector<AnsiString>* Payloads, std::vector<AnsiString>* Own = nullptr);
    // The socket on which the server's notices arrive while no call runs (it becomes
    // readable then); -1 while the connection is lost. Reconnect() may change it.
    int Socket() const;
    // Takes what the server sent into libpq without waiting, so that the socket reads as quiet
    // again; the notices among it wait for TakeNotifications or TakeReceived. Raises EPgError
    // when the connection is lost.
    void ReadWaiting();

private:
    [[noreturn]] void Fail(const AnsiString& What, pg_result* Result = nullptr);
    // The server stopped answering: the connection is closed and the call fails.
    [[noreturn]] void Abandon(const AnsiString& What);
    // Sends what libpq holds, waiting on the socket within the answer limit.
    void Flush(const AnsiString& What);
    // Waits until a result can be taken without blocking; fails past the answer limit.
    void Await(const AnsiString& What);
    // The next result of what was sent (null: no more), waited for within the limit.
    pg_result* NextResult(const AnsiString& What);
    // Raises EPgError when Params cannot be sent (see TPgParams::HoldNul).
    void CheckParams(const TPgParams& Params, const AnsiString& What) const;
    // Sent: flushes, then takes every result; the first failure fails the call.
    TPgResult Answer(int Sent, const AnsiString& What);
    void Connect();

    AnsiString FUri;
    TPgConnectSettings FSettings;
    pg_conn* FConn = nullptr;  // owned; null once closed after the server stopped answering
};

}  // namespace RecordServer
