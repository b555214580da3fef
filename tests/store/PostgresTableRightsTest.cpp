// Tables on a PostgreSQL server that the store did not make for this user, or made for
// another table: users with fewer rights than the table's owner, tables whose derived names
// another table holds, constraints of other programs, and tables whose columns or records the
// store cannot use. Each is opened, or refused with a message naming what is wrong.
#include <gtest/gtest.h>

#include <libpq-fe.h>

#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/RecordStoreFactory.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"

namespace {

using namespace RecordServer;

void Sql(const AnsiString& Uri, const AnsiString& Statement)
{
    PGconn* Conn = PQconnectdb(Uri.c_str());
    PGresult* Result = PQexec(Conn, Statement.c_str());
    EXPECT_TRUE(PQresultStatus(Result) == PGRES_COMMAND_OK || PQresultStatus(Result) == PGRES_TUPLES_OK)
        << Statement << ": " << PQresultErrorMessage(Result);
    PQclear(Result);
    PQfinish(Conn);
}

// Uri with another user.
AnsiString AsUser(const AnsiString& Uri, const AnsiString& User)
{
    return Uri.substr(0, Uri.find("&user=")) + "&user=" + User;
}

AnsiString OpenFailure(const AnsiString& SchemaText, const AnsiString& Uri)
{
    try {
        OpenRecordStore(ParseSchema(SchemaText, "t.SFD"), Uri, "t.SFD");
    } catch (const EServerError& E) {
        return E.Message();
    }
    return "(opened)";
}

class PostgresTableRights : public ServerTest {};

// A user who may only read, and one who may read and write but create nothing, open a table
// that its owner made (PostgreSQL 15 gives nobody the right to create in the public schema):
// both browse it, the reader's post is refused saying so, the writer's is stored.
TEST_F(PostgresTableRights, UsersWhoMayNotCreateOpenAnExistingTableAndPostAsFarAsTheirRightsGo)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    TSession Owner = OpenSession("1688", Uri);
    AddKeys(Owner.get(), {"1", "2"});
    const AnsiString Db = Uri.substr(Uri.find(":///") + 4, Uri.find('?') - Uri.find(":///") - 4);
    const AnsiString Reader = Db + "_reader", Writer = Db + "_writer";
    Sql(Uri, "CREATE ROLE " + Reader + " LOGIN; CREATE ROLE " + Writer + " LOGIN; REVOKE CREATE ON SCHEMA public FROM "
             "PUBLIC; GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + Reader + ", " + Writer +
             "; GRANT INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO " + Writer);

    TSession R = OpenSession("1688", AsUser(Uri, Reader));
    TSession W = OpenSession("1688", AsUser(Uri, Writer));
    EXPECT_EQ(KeysInView(R.get()), (std::vector<AnsiString>{"1", "2"}));
    EXPECT_EQ(KeysInView(W.get()), (std::vector<AnsiString>{"1", "2"}));

    AnsiString Refused = FailureText(AddRecord(R.get(), {{"CustNo", "3"}}));
    EXPECT_NE(Refused.find("may not be written by this user"), AnsiString::npos) << Refused;
    EXPECT_NE(Refused.find("permission denied"), AnsiString::npos) << Refused;
    OleCheck(R->Cancel());
    ASSERT_TRUE(Succeeded(AddRecord(W.get(), {{"CustNo", "4"}, {"Company", "writer"}})));
    ASSERT_TRUE(Succeeded(EditRecord(W.get(), 1, {{"Company", "edited"}})));
    EXPECT_EQ(KeysInView(R.get()), (std::vector<AnsiString>{"1", "2", "4"}));
    EXPECT_EQ(KeysInView(Owner.get()), (std::vector<AnsiString>{"1", "2", "4"}));

    // A table that does not exist yet is refused to them, with the server's reason.
    AnsiString New = OpenFailure("[Table]\nName = Fresh\n[Fields]\nK, Text, 5, Key\n", AsUser(Uri, Writer));
    EXPECT_NE(New.find("permission denied"), AnsiString::npos) << New;
}

// Two names longer than 40 bytes that hash alike (FNV-1a, 0x6f56b480): the second table would
// take over the first one's change log, trigger and channel. It is refused, naming the first,
// and the first goes on.
TEST_F(PostgresTableRights, ATableWhoseDerivedNamesAnotherTableHoldsIsRefusedNamingIt)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    const AnsiString First = "Quarterly_inventory_of_the_northern_depot_1179";
    const AnsiString Second = "Quarterly_inventory_of_the_northern_depot_53204";
    auto Schema = [](const AnsiString& Name) { return "[Table]\nName = " + Name + "\n[Fields]\nK, Text, 5, Key\n"; };
    auto A = OpenRecordStore(ParseSchema(Schema(First), "a.SFD"), Uri, "a.SFD");
    TStoredRecord Record;
    ASSERT_EQ(A->Insert({"a1"}, Record), TWriteResult::Done);

    AnsiString Refused = OpenFailure(Schema(Second), Uri);
    EXPECT_NE(Refused.find("cannot be opened"), AnsiString::npos) << Refused;
    EXPECT_NE(Refused.find(First), AnsiString::npos) << Refused;
    EXPECT_NE(Refused.find(Second), AnsiString::npos) << Refused;
    ASSERT_EQ(A->Insert({"a2"}, Record), TWriteResult::Done);
    std::vector<std::int64_t> Ids;
    A->ReadOrderedIds(0, [&](std::int64_t Id, const std::vector<AnsiString>*) { Ids.push_back(Id); });
    EXPECT_EQ(Ids.size(), 2u);

    // The same when the first table was made by hand, its log left behind by a table dropped.
    Sql(Uri, "DROP TABLE \"" + First + "\"");
    EXPECT_NE(OpenFailure(Schema(Second), Uri).find(First), AnsiString::npos);
    EXPECT_EQ(OpenFailure(Schema(First), Uri), "(opened)") << "the table of that name takes its log back";
}

// Only the key's own index makes a duplicate key; another unique constraint (here one that
// another program added) is named in the message.
TEST_F(PostgresTableRights, AWriteRefusedByAnotherUniqueConstraintNamesThatConstraint)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    auto Store = OpenRecordStore(ParseSchema("[Table]\nName = Stock\n[Fields]\nNo, Number, 9, Key\nName, Text, 20\n",
                                             "s.SFD"),
                                 Uri, "s.SFD");
    TStoredRecord Record;
    ASSERT_EQ(Store->Insert({"1", "bolt"}, Record), TWriteResult::Done);
    Sql(Uri, "CREATE UNIQUE INDEX stock_name_once ON \"Stock\" (\"Name\")");
    EXPECT_EQ(Store->Insert({"1", "nut"}, Record), TWriteResult::DuplicateKey);
    AnsiString Message;
    try {
        Store->Insert({"2", "bolt"}, Record);
    } catch (const EServerError& E) {
        Message = E.Message();
    }
    EXPECT_NE(Message.find("stock_name_once"), AnsiString::npos) << Message;
}

// A table that another program made, or filled, in a way the store cannot use is refused
// when opened, naming the table and what is wrong, instead of failing every post later.
TEST_F(PostgresTableRights, ATableWhoseIdsOrKeysTheStoreCannotUseIsRefusedWhenOpenedSayingWhy)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    struct TCase {
        const char* Setup;
        const char* Says[2];
    };
    const TCase Cases[] = {
        {"CREATE TABLE \"T1\" (zfd_id bigint PRIMARY KEY, zfd_ver bigint NOT NULL DEFAULT 1, \"No\" text NOT NULL "
         "DEFAULT '')",
         {"The table T1", "its column zfd_id gives a new record no id"}},
        {"CREATE TABLE \"T2\" (zfd_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, zfd_ver bigint, \"No\" text NOT "
         "NULL DEFAULT ''); ",
         {"The table T2", "its column zfd_ver gives a new record no version"}},
        {"CREATE TABLE \"T3\" (zfd_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, zfd_ver bigint NOT NULL DEFAULT 1, "
         "\"No\" text NOT NULL DEFAULT ''); INSERT INTO \"T3\" (\"No\") VALUES ('7'), ('x')",
         {"The table T3", "key field No holds \"x\", which is not a number"}},
        {"CREATE TABLE \"T4\" (zfd_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, zfd_ver bigint NOT NULL DEFAULT 1, "
         "\"No\" text NOT NULL DEFAULT ''); INSERT INTO \"T4\" (\"No\") VALUES ('1e131072')",
         {"The table T4", "key field No holds \"1e131072\", which has more than the 131072 digits"}},
    };
    for (std::size_t I = 0; I < std::size(Cases); ++I) {
        Sql(Uri, Cases[I].Setup);
        AnsiString Name = "T" + IntToStr(static_cast<std::int64_t>(I + 1));
        AnsiString Message = OpenFailure("[Table]\nName = " + Name + "\n[Fields]\nNo, Number, 9, Key\n", Uri);
        for (const char* Part : Cases[I].Says) EXPECT_NE(Message.find(Part), AnsiString::npos) << Message;
        EXPECT_EQ(Message.find_first_of("\n\t"), AnsiString::npos) << Message;
    }
}

}  // namespace
