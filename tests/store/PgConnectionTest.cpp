// A connection to a PostgreSQL server: the settings it is made with (the store's limits under
// the user's options), its bound on a server that stopped answering, and what its messages
// show of the URI.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "server/PgConnection.h"
#include "server/PgSettings.h"
#include "server/RecordStoreFactory.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "tests/support/PgTestCluster.h"

namespace {

using namespace RecordServer;

TEST(PgSettings, AnOptionIsTheLastSettingOfItsNameAsTheServerReadsTheCommandLine)
{
    struct TCase {
        const char* Options;
        const char* Name;
        std::optional<AnsiString> Value;
    };
    const TCase Cases[] = {
        {"-c statement_timeout=5000", "statement_timeout", "5000"},
        {"-cstatement_timeout=5s", "statement_timeout", "5s"},
        {"--statement-timeout=1min", "statement_timeout", "1min"},
        {"-c Statement_Timeout=7", "statement_timeout", "7"},
        {"-c statement_timeout=1 -c statement_timeout=2", "statement_timeout", "2"},
        {"-c search_path=a\\ b -c lock_timeout=3", "search_path", "a b"},
        {"-c search_path=public", "statement_timeout", std::nullopt},
        {"-c", "statement_timeout", std::nullopt},
        {"statement_timeout=5", "statement_timeout", std::nullopt},
        {"-c statement_timeout", "statement_timeout", std::nullopt},
        {"", "lock_timeout", std::nullopt},
    };
    for (const TCase& Case : Cases) EXPECT_EQ(OptionSetting(Case.Options, Case.Name), Case.Value) << Case.Options;

    struct TDuration {
        const char* Text;
        std::optional<std::int64_t> Ms;
    };
    const TDuration Durations[] = {{"5000", 5000}, {"5s", 5000},       {"5 s", 5000},    {"1.5s", 1500},
                                   {"2min", 120000}, {"1h", 3600000}, {"1d", 86400000}, {"1500us", 2},
                                   {"0", 0},         {"", std::nullopt}, {"5 sec", std::nullopt},
                                   {"-5", std::nullopt}, {"99999999999", std::nullopt}, {".", std::nullopt}};
    for (const TDuration& Case : Durations) EXPECT_EQ(DurationMs(Case.Text), Case.Ms) << Case.Text;
}

AnsiString Show(TPgConnection& Conn, const char* Setting)
{
    return AnsiString(Conn.Query(AnsiString("SHOW ") + Setting).Text(0, 0));
}

// A URI's own options used to replace the store's statement and lock limits (an open then
// waited without end on a locked table); now they come on top of them.
TEST(PgConnection, TheStoresLimitsHoldUnderTheUsersOptionsAndTheUsersOwnLimitsWin)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    struct TCase {
        const char* Options;  // URI-encoded
        const char* Statement;
        const char* Lock;
    };
    const TCase Cases[] = {
        {"", "30s", "30s"},
        {"&options=-c%20search_path%3Dpublic", "30s", "30s"},
        {"&options=-c%20statement_timeout%3D5000", "5s", "30s"},
        {"&options=--lock-timeout%3D7s", "30s", "7s"},
        {"&options=-c%20statement_timeout%3D1min%20-c%20statement_timeout%3D4000%20-c%20lock_timeout%3D0", "4s", "0"},
    };
    for (const TCase& Case : Cases) {
        TPgConnection Conn(Uri + Case.Options);
        EXPECT_EQ(Show(Conn, "statement_timeout"), Case.Statement) << Case.Options;
        EXPECT_EQ(Show(Conn, "lock_timeout"), Case.Lock) << Case.Options;
    }
    // The scheme in capitals is a URI as well.
    TPgConnection Capitals("POSTGRESQL" + Uri.substr(Uri.find("://")));
    EXPECT_EQ(Show(Capitals, "statement_timeout"), "30s");
}

// A backend that stopped answering (here stopped by a signal) fails the call once the
// statement limit and a little grace have passed, in every way a call waits; the connection
// is closed, and a new one works once the server answers again.
TEST(PgConnection, ACallToABackendThatStoppedAnsweringFailsAtTheStatementLimitAndANewConnectionWorks)
{
    const AnsiString Uri = TestCluster().NewDatabase() + "&options=-c%20statement_timeout%3D1000";
    const std::vector<std::pair<const char*, std::function<void(TPgConnection&)>>> Calls = {
        {"a statement", [](TPgConnection& Conn) { Conn.Query("SELECT 1"); }},
        {"a write",
         [](TPgConnection& Conn) {
             std::vector<TPgConnection::TStep> Steps(2);
             Steps[0].Sql = "SELECT 1";
             Steps[1].Sql = "SELECT 2";
             Conn.RunTogether(Steps);
         }},
    };
    TPgConnection Conn(Uri);
    for (const auto& [What, Call] : Calls) {
        const pid_t Backend = static_cast<pid_t>(Conn.Query("SELECT pg_backend_pid()").Int64(0, 0));
        AnsiString Message = "(answered)";
        bool Lost = false;
        {
            TFrozenProcess Frozen(Backend);
            try {
                Call(Conn);
            } catch (const EPgError& E) {
                Message = E.Message();
                Lost = E.Lost();
            }
        }
        EXPECT_NE(Message.find(AnsiString("did not answer ") + What + " within 1 second"), AnsiString::npos) << Message;
        EXPECT_NE(Message.find("the next operation connects again"), AnsiString::npos) << Message;
        EXPECT_TRUE(Lost) << What;
        EXPECT_FALSE(Conn.Connected()) << What;
        Conn.Reconnect();
        EXPECT_NE(Conn.Query("SELECT pg_backend_pid()").Int64(0, 0), Backend) << What;
    }
}

AnsiString OpenFailure(const AnsiString& Uri)
{
    try {
        OpenRecordStore(ParseSchema("[Table]\nName = Stock\n[Fields]\nNo, Number, 30, Key\n", "stock.SFD"), Uri, "stock.SFD");
    } catch (const EServerError& E) {
        return E.Message();
    }
    return "(opened)";
}

// A password is never shown, however the URI spells it, and libpq's own text comes on the
// same line as the rest of the message.
TEST(PgConnection, MessagesShowTheUriWithoutItsPasswordOnOneLine)
{
    const char* const Hidden = "s3cr3t";
    const AnsiString Unreachable = "/nothing?host=/nonexistent-folder&connect_timeout=3";
    const AnsiString Uris[] = {
        "postgresql://someone:s3cr3t@" + Unreachable,
        "postgresql://" + Unreachable + "&password=s3cr3t",
        "postgresql://" + Unreachable + "&pass%77ord=s3cr3t",
        "postgres://someone:s3cr3t@" + Unreachable + "&%70assword=s3cr3t&user=x",
        "POSTGRESQL://someone:s3cr3t@" + Unreachable,
    };
    for (const AnsiString& Uri : Uris) {
        AnsiString Message = OpenFailure(Uri);
        EXPECT_NE(Message.find("Cannot connect to the PostgreSQL server"), AnsiString::npos) << Message;
        EXPECT_NE(Message.find("nonexistent-folder"), AnsiString::npos) << Message;
        EXPECT_EQ(Message.find(Hidden), AnsiString::npos) << Message;
        EXPECT_EQ(Message.find_first_of("\n\t"), AnsiString::npos) << Message;
    }
    // A URI that libpq cannot read is named without its password too.
    AnsiString Bad = OpenFailure("postgresql://someone:s3cr3t@/db?password=s3cr3t&no_such_setting=1");
    EXPECT_NE(Bad.find("no_such_setting"), AnsiString::npos) << Bad;
    EXPECT_EQ(Bad.find(Hidden), AnsiString::npos) << Bad;
}

}  // namespace
