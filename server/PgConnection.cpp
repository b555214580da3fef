#include "server/PgConnection.h"

#include <libpq-fe.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

// How much longer than the statement limit a call waits for a word from the server: the
// server's own limit, which keeps the connection usable, normally ends a long statement first.
constexpr std::int64_t AnswerGraceMs = 2000;

// The server's or libpq's message for a failure, on one line, without a final full stop:
// the primary message, with the server's detail after it in parentheses.
AnsiString ErrorText(pg_conn* Conn, pg_result* Result)
{
    AnsiString Message;
    if (Result) {
        if (const char* Primary = PQresultErrorField(Result, PG_DIAG_MESSAGE_PRIMARY)) {
            Message = OneLine(Primary);
            if (const char* Detail = PQresultErrorField(Result, PG_DIAG_MESSAGE_DETAIL))
                Message += " (" + OneLine(Detail) + ")";
        } else {
            Message = OneLine(PQresultErrorMessage(Result));
        }
    }
    if (Message.empty())
        Message = Conn ? OneLine(PQerrorMessage(Conn)) : TranslateText("PgConnection", "the connection is closed");
    if (Message.empty()) Message = TranslateText("PgConnection", "no reason given");
    while (!Message.empty() && Message.back() == '.') Message.pop_back();
    return Message;
}

AnsiString Duration(std::int64_t Ms)
{
    if (Ms % 1000 != 0) return FormatText(TranslateText("PgConnection", "%1 milliseconds"), {IntToStr(Ms)});
    return Ms == 1000 ? TranslateText("PgConnection", "1 second")
                      : FormatText(TranslateText("PgConnection", "%1 seconds"), {IntToStr(Ms / 1000)});
}

// What a message says failed, a noun; translated where the message is made.
const char* const AStatement = ZFD_TRANSLATE_NOOP("PgConnection", "a statement");
const char* const APreparation = ZFD_TRANSLATE_NOOP("PgConnection", "the preparation of a statement");
const char* const AWrite = ZFD_TRANSLATE_NOOP("PgConnection", "a write");
const char* const ARead = ZFD_TRANSLATE_NOOP("PgConnection", "a read of what the server sent");

AnsiString Noun(const AnsiString& What)
{
    return TranslateText("PgConnection", What.c_str());
}

// A write whose answer never came may have been done all the same.
AnsiString MaybeStored(const AnsiString& What)
{
    return What == AWrite
               ? TranslateText("PgConnection", "; the write may or may not have been stored (look before writing it again)")
               : AnsiString();
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Results and parameters

void TPgResult::TFree::operator()(pg_result* Result) const
{
    PQclear(Result);
}

int TPgResult::Rows() const
{
    return FResult ? PQntuples(FResult.get()) : 0;
}

int TPgResult::Columns() const
{
    return FResult ? PQnfields(FResult.get()) : 0;
}

bool TPgResult::IsNull(int Row, int Column) const
{
    return PQgetisnull(FResult.get(), Row, Column) != 0;
}

std::string_view TPgResult::Text(int Row, int Column) const
{
    return std::string_view(PQgetvalue(FResult.get(), Row, Column),
                            static_cast<std::size_t>(PQgetlength(FResult.get(), Row, Column)));
}

std::int64_t TPgResult::Int64(int Row, int Column) const
{
    std::string_view Digits = Text(Row, Column);
    std::int64_t Value = 0;
    std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value);
    return Value;
}

std::int64_t TPgResult::Affected() const
{
    const char* Count = FResult ? PQcmdTuples(FResult.get()) : "";
    std::int64_t Value = 0;
    std::from_chars(Count, Count + std::char_traits<char>::length(Count), Value);
    return Value;
}

TPgParams& TPgParams::Add(std::string_view Text)
{
    if (Text.find('\0') != std::string_view::npos) FHoldNul = true;
    FValues.emplace_back(Text);
    FNull.push_back(false);
    return *this;
}

TPgParams& TPgParams::Add(std::int64_t Number)
{
    return Add(std::string_view(std::to_string(Number)));
}

TPgParams& TPgParams::AddNull()
{
    FValues.emplace_back();
    FNull.push_back(true);
    return *this;
}

const char* const* TPgParams::Values() const
{
    FPointers.resize(FValues.size());
    for (std::size_t I = 0; I < FValues.size(); ++I) FPointers[I] = FNull[I] ? nullptr : FValues[I].c_str();
    return FPointers.data();
}

// ---------------------------------------------------------------------------------------
// The connection

TPgConnection::TPgConnection(AnsiString Uri) : FUri(std::move(Uri)), FSettings(PgConnectSettings(FUri))
{
    Connect();
}

TPgConnection::~TPgConnection()
{
    PQfinish(FConn);
}

void TPgConnection::Connect()
{
    // libpq bounds the making of a connection itself (connect_timeout).
    std::vector<const char*> Keywords, Values;
    for (std::size_t I = 0; I < FSettings.Keywords.size(); ++I) {
        Keywords.push_back(FSettings.Keywords[I].c_str());
        Values.push_back(FSettings.Values[I].c_str());
    }
    Keywords.push_back(nullptr);
    Values.push_back(nullptr);
    PQfinish(FConn);
    FConn = PQconnectdbParams(Keywords.data(), Values.data(), 0);
    if (!FConn || PQstatus(FConn) != CONNECTION_OK || PQsetnonblocking(FConn, 1) != 0) {
        // Freed here: a constructor that throws runs no destructor.
        AnsiString Error = ErrorText(FConn, nullptr);
        PQfinish(FConn);
        FConn = nullptr;
        throw EPgError(
            FormatText(TranslateText("PgConnection", "Cannot connect to the PostgreSQL server %1: %2."), {Where(), Error}),
            "", true);
    }
    // The server's notices ("relation ... already exists, skipping") are not for the user;
    // libpq would print them on standard error.
    PQsetNoticeProcessor(FConn, [](void*, const char*) {}, nullptr);
}

bool TPgConnection::Connected() const
{
    return FConn && PQstatus(FConn) == CONNECTION_OK;
}

void TPgConnection::Reconnect()
{
    Connect();
}

AnsiString TPgConnection::Where() const
{
    return UriForDisplay(FUri);
}

std::int64_t TPgConnection::AnswerLimitMs() const
{
    return FSettings.StatementLimitMs > 0 ? FSettings.StatementLimitMs + AnswerGraceMs : 0;
}

void TPgConnection::Fail(const AnsiString& What, pg_result* Result)
{
    const char* State = Result ? PQresultErrorField(Result, PG_DIAG_SQLSTATE) : nullptr;
    AnsiString SqlState = State ? State : "";
    const char* ConstraintField = Result ? PQresultErrorField(Result, PG_DIAG_CONSTRAINT_NAME) : nullptr;
    AnsiString Constraint = ConstraintField ? ConstraintField : "";
    bool Lost = !Connected();
    // SQLSTATE class 08 is a connection failure, 57P01-57P03 a server shutting down.
    if (SqlState.rfind("08", 0) == 0 || SqlState.rfind("57P0", 0) == 0) Lost = true;
    AnsiString Message = ErrorText(FConn, Result);
    PQclear(Result);
    if (Lost)
        throw EPgError(FormatText(TranslateText("PgConnection", "The connection to the PostgreSQL server %1 was lost "
                                                                "during %2 (%3)%4; the next operation connects again."),
                                  {Where(), Noun(What), Message, MaybeStored(What)}),
                       SqlState, true, Message);
    throw EPgError(FormatText(TranslateText("PgConnection", "The PostgreSQL server %1 refused %2: %3."),
                              {Where(), Noun(What), Message}),
                   SqlState, false, Message, Constraint);
}

void TPgConnection::Abandon(const AnsiString& What)
{
    // Its answer may still come, long after: the connection cannot be used again.
    PQfinish(FConn);
    FConn = nullptr;
    throw EPgError(FormatText(TranslateText("PgConnection", "The PostgreSQL server %1 did not answer %2 within %3, its "
                                                            "statement limit, so the connection was closed%4; the next "
                                                            "operation connects again."),
                              {Where(), Noun(What), Duration(FSettings.StatementLimitMs), MaybeStored(What)}),
                   "", true);
}

namespace {

// Waits until the socket is ready for Events or Deadline passes (Limit 0: no deadline).
// Answers false when the deadline passed.
bool WaitOnSocket(int Socket, short Events, std::chrono::steady_clock::time_point Deadline, std::int64_t Limit)
{
    for (;;) {
        int Wait = -1;
        if (Limit > 0) {
            auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
            if (Left.count() <= 0) return false;
            Wait = static_cast<int>(std::min<std::int64_t>(Left.count() + 1, 1 << 30));
        }
        pollfd Poll{Socket, Events, 0};
        int Ready = ::poll(&Poll, 1, Wait);
        if (Ready > 0) return true;
        if (Ready < 0 && errno != EINTR) return true;  // libpq meets and reports the error
    }
}

}  // namespace

void TPgConnection::Flush(const AnsiString& What)
{
    const std::int64_t Limit = AnswerLimitMs();
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Limit);
    for (;;) {
        int Left = PQflush(FConn);
        if (Left == 0) return;
        if (Left < 0) Fail(What);
        if (!WaitOnSocket(PQsocket(FConn), POLLIN | POLLOUT, Deadline, Limit)) Abandon(What);
        // What the server sends meanwhile is taken, so that it never waits on us.
        if (!PQconsumeInput(FConn)) Fail(What);
    }
}

void TPgConnection::Await(const AnsiString& What)
{
    const std::int64_t Limit = AnswerLimitMs();
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Limit);
    while (PQisBusy(FConn)) {
        if (!WaitOnSocket(PQsocket(FConn), POLLIN, Deadline, Limit)) Abandon(What);
        if (!PQconsumeInput(FConn)) Fail(What);
        // A long answer that keeps coming is not a server that stopped answering.
        Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Limit);
    }
}

pg_result* TPgConnection::NextResult(const AnsiString& What)
{
    Await(What);
    return PQgetResult(FConn);
}

void TPgConnection::CheckParams(const TPgParams& Params, const AnsiString& What) const
{
    if (Params.HoldNul())
        throw EPgError(FormatText(TranslateText("PgConnection", "The PostgreSQL server %1 cannot take %2: a value holds a "
                                                                "NUL character, which PostgreSQL's text cannot hold."),
                                  {Where(), Noun(What)}),
                       "22021", false, TranslateText("PgConnection", "a value holds a NUL character"));
}

TPgResult TPgConnection::Answer(int Sent, const AnsiString& What)
{
    if (!Sent) Fail(What);
    Flush(What);
    // Several statements give several results: the first failure is the call's.
    // Owned until handed to Fail: a later wait may fail first.
    std::unique_ptr<pg_result, void (*)(pg_result*)> Failed(nullptr, PQclear);
    TPgResult Last;
    while (pg_result* Result = NextResult(What)) {
        ExecStatusType Status = PQresultStatus(Result);
        if (Failed) {
            PQclear(Result);
        } else if (Status == PGRES_COMMAND_OK || Status == PGRES_TUPLES_OK) {
            Last = TPgResult(Result);
        } else {
            Failed.reset(Result);
        }
        if (!Connected()) break;
    }
    if (Failed) Fail(What, Failed.release());
    if (!Connected() || !Last.Valid()) Fail(What);
    return Last;
}

void TPgConnection::Exec(std::string_view Sql)
{
    if (!Connected()) Fail(AStatement);
    AnsiString Text(Sql);
    Answer(PQsendQuery(FConn, Text.c_str()), AStatement);
}

TPgResult TPgConnection::Query(std::string_view Sql, const TPgParams& Params)
{
    CheckParams(Params, AStatement);
    if (!Connected()) Fail(AStatement);
    AnsiString Text(Sql);
    return Answer(PQsendQueryParams(FConn, Text.c_str(), Params.Count(), nullptr, Params.Values(), nullptr, nullptr, 0),
                  AStatement);
}

void TPgConnection::Prepare(const AnsiString& Name, std::string_view Sql)
{
    if (!Connected()) Fail(APreparation);
    AnsiString Text(Sql);
    Answer(PQsendPrepare(FConn, Name.c_str(), Text.c_str(), 0, nullptr), APreparation);
}

TPgResult TPgConnection::RunPrepared(const AnsiString& Name, const TPgParams& Params, const char* What)
{
    CheckParams(Params, What);
    if (!Connected()) Fail(What);
    return Answer(PQsendQueryPrepared(FConn, Name.c_str(), Params.Count(), Params.Values(), nullptr, nullptr, 0), What);
}

std::vector<TPgResult> TPgConnection::RunTogether(const std::vector<TStep>& Steps)
{
    // In pipeline mode the statements up to the sync run as one implicit transaction: an
    // error rolls back what came before it and skips what follows.
    for (const TStep& Step : Steps) CheckParams(Step.Params, AWrite);
    if (!Connected() || !PQenterPipelineMode(FConn)) Fail(AWrite);
    struct TLeavePipeline {
        pg_conn*& Conn;  // null once the connection was closed
        ~TLeavePipeline()
        {
            if (Conn) PQexitPipelineMode(Conn);
        }
    } Leave{FConn};
    for (const TStep& Step : Steps) {
        int Sent = Step.Statement.empty()
                       ? PQsendQueryParams(FConn, Step.Sql.c_str(), Step.Params.Count(), nullptr, Step.Params.Values(),
                                           nullptr, nullptr, 0)
                       : PQsendQueryPrepared(FConn, Step.Statement.c_str(), Step.Params.Count(), Step.Params.Values(),
                                             nullptr, nullptr, 0);
        if (!Sent) Fail(AWrite);
    }
    if (!PQpipelineSync(FConn)) Fail(AWrite);
    Flush(AWrite);

    std::vector<TPgResult> Results;
    // Owned until handed to Fail: a later wait may fail first.
    std::unique_ptr<pg_result, void (*)(pg_result*)> Failed(nullptr, PQclear);
    for (std::size_t I = 0; I < Steps.size(); ++I) {
        while (pg_result* Result = NextResult(AWrite)) {
            ExecStatusType Status = PQresultStatus(Result);
            if ((Status == PGRES_COMMAND_OK || Status == PGRES_TUPLES_OK) && !Failed) {
                Results.emplace_back(Result);
            } else if (Status == PGRES_FATAL_ERROR && !Failed) {
                Failed.reset(Result);
            } else {
                PQclear(Result);
            }
            if (!Connected()) break;
        }
        if (!Connected()) break;
    }
    // What remains up to the sync point (its own result ends the pipeline's answers).
    for (int Empty = 0; Connected() && Empty < 2;) {
        pg_result* Result = NextResult(AWrite);
        if (!Result) {
            ++Empty;
            continue;
        }
        bool Sync = PQresultStatus(Result) == PGRES_PIPELINE_SYNC;
        PQclear(Result);
        if (Sync) break;
    }
    if (Failed) Fail(AWrite, Failed.release());
    if (!Connected() || Results.size() != Steps.size()) Fail(AWrite);
    return Results;
}

bool TPgConnection::TakeNotifications(std::string_view Channel, std::vector<AnsiString>* Payloads)
{
    ReadWaiting();
    return TakeReceived(Channel, Payloads);
}

bool TPgConnection::TakeReceived(std::string_view Channel, std::vector<AnsiString>* Payloads, std::vector<AnsiString>* Own)
{
    bool Seen = false;
    int Self = PQbackendPID(FConn);
    while (PGnotify* Notice = PQnotifies(FConn)) {
        if (Channel == Notice->relname) {
            std::vector<AnsiString>* Into = Notice->be_pid == Self ? Own : Payloads;
            if (Notice->be_pid != Self) Seen = true;
            if (Into) Into->emplace_back(Notice->extra ? Notice->extra : "");
        }
        PQfreemem(Notice);
    }
    return Seen;
}

int TPgConnection::Socket() const
{
    return Connected() ? PQsocket(FConn) : -1;
}

void TPgConnection::ReadWaiting()
{
    if (!Connected() || !PQconsumeInput(FConn)) Fail(ARead);
}

}  // namespace RecordServer
