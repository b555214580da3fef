// The notices of a PostgreSQL table's change log, read back: what the trigger sends is read
// as its entry, anything else (other programs may notify on the channel too) as none.
#include <gtest/gtest.h>

#include "server/PgNotice.h"

namespace {

using namespace RecordServer;

TEST(PgNotice, ATriggersNoticeIsReadAsItsEntryAndAnythingElseAsNone)
{
    struct TCase {
        AnsiString Payload;
        bool Read;
        std::int64_t Seq = 0, Id = 0;
        int What = 0;
        AnsiString OldKey = {}, NewKey = {};
    };
    const TCase Cases[] = {
        {"12 7 1 -5:K;1:a", true, 12, 7, 1, "", "K;1:a"},
        {"13 7 2 5:K;1:a5:K;1:b", true, 13, 7, 2, "K;1:a", "K;1:b"},
        {"14 7 3 5:K;1:b-", true, 14, 7, 3, "K;1:b", ""},
        {"15 8 1 -0:", true, 15, 8, 1, "", ""},
        {"16 8 1 -3:a b", true, 16, 8, 1, "", "a b"},
        {"999999999999999999 1 1 -1:x", true, 999999999999999999, 1, 1, "", "x"},
        {"", false},
        {"12 7 1 -", false},                          // an insert without its key
        {"12 7 4 --", false},                         // a kind of no single record
        {"12 7 1 -5:K;1:aX", false},                  // bytes after the key
        {"12 7 1 -9:short", false},                   // a key longer than what follows
        {"1000000000000000000 1 1 -1:x", false},      // more than 18 digits
        {"1 1 1 -99999999999999999999999:x", false},  // a length that would overflow
        {"-1 7 1 -1:x", false},
        {"12  7 1 -1:x", false},
        {"12 7 1 -1:x ", false},
    };
    for (const TCase& Case : Cases) {
        std::optional<TPgNotice> Notice = ParsePgNotice(Case.Payload);
        ASSERT_EQ(Notice.has_value(), Case.Read) << Case.Payload;
        if (!Notice) continue;
        EXPECT_EQ(Notice->Seq, Case.Seq) << Case.Payload;
        EXPECT_EQ(Notice->Id, Case.Id) << Case.Payload;
        EXPECT_EQ(Notice->What, Case.What) << Case.Payload;
        EXPECT_EQ(Notice->OldKey, Case.OldKey) << Case.Payload;
        EXPECT_EQ(Notice->NewKey, Case.NewKey) << Case.Payload;
        EXPECT_EQ(FormatPgNotice(*Notice), Case.Payload) << "written back as the trigger wrote it";
    }
}

}  // namespace
