// The order of keys held in memory: a key's lead orders two keys as their texts do.
#include <gtest/gtest.h>

#include "server/KeyOrder.h"
#include "server/Schema.h"
#include "server/ValueText.h"

namespace {

using namespace RecordServer;

// Two keys that both have a lead order as their texts do; texts that are no plain integer, or
// too long to hold one without overflowing, have none.
TEST(KeyOrder, LeadsOrderKeysAsTheirTextsDo)
{
    TTableSchema Numbers = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 20, Key\nN, Text, 9\n", "t.SFD");
    const char* Texts[] = {"0",   "7",     "-7",   "10",   "-10",  "999999999999999999", "-999999999999999999",
                           "9999999999999999999", "-9999999999999999999", "007", "-0", "7.5", "1e3", "", "abc"};
    for (const char* A : Texts) {
        for (const char* B : Texts) {
            std::optional<std::int64_t> LA = KeyLead(Numbers, {A}), LB = KeyLead(Numbers, {B});
            if (!LA || !LB) continue;
            int ByText = CompareNumberTexts(A, B);
            EXPECT_EQ((*LA > *LB) - (*LA < *LB), (ByText > 0) - (ByText < 0)) << A << " against " << B;
        }
    }
    for (const char* None : {"9999999999999999999", "007", "-0", "7.5", "1e3", "", "abc"})
        EXPECT_FALSE(KeyLead(Numbers, {None})) << None;
    EXPECT_EQ(KeyLead(Numbers, {"-999999999999999999"}), -999999999999999999);
    TTableSchema TextKey = ParseSchema("[Table]\nName = T\n[Fields]\nK, Text, 9, Key\n", "t.SFD");
    EXPECT_FALSE(KeyLead(TextKey, {"7"}));  // texts order by their bytes: "10" before "7"
}

}  // namespace
