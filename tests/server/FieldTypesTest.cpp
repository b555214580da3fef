// The typed fields: which values each type takes, how it stores them, how it names itself,
// and a session that refuses a value naming the field and the value.
#include <gtest/gtest.h>

#include <utility>

#include "server/FieldTypes.h"
#include "server/ServerError.h"
#include "tests/server/ServerTestSupport.h"

namespace {

using namespace RecordServer;

TFieldDef Field(const char* Type, int Size)
{
    TFieldDef F;
    F.Name = "F";
    EXPECT_TRUE(ParseFieldType(Type, F)) << Type;
    F.Size = Size;
    return F;
}

TEST(FieldTypes, EachTypeStoresWhatItTakesInItsOwnFormAndRefusesTheRest)
{
    struct TCase {
        const char* Type;
        int Size;
        const char* Value;
        const char* Stored;   // null: refused
        const char* Problem;  // the refusal's start, when refused
    };
    const TCase Cases[] = {
        {"Decimal(2)", 12, "1250", "1250.00", nullptr},
        {"Decimal(2)", 12, "199.9", "199.90", nullptr},
        {"Decimal(2)", 12, " -0.5 ", "-0.50", nullptr},
        {"Decimal(2)", 12, "1.5e2", "150.00", nullptr},
        {"Decimal(2)", 12, "12.340", "12.34", nullptr},
        {"Decimal(2)", 12, "-0.00", "0.00", nullptr},
        {"Decimal(2)", 12, "00012.5", "12.50", nullptr},
        {"Decimal(2)", 12, "1230e-3", "1.23", nullptr},
        {"Decimal(2)", 12, "1.234", nullptr, "has more than the 2 decimals the field keeps"},
        {"Decimal(2)", 12, "1e-3", nullptr, "has more than the 2 decimals"},
        {"Decimal(2)", 7, "12345", nullptr, "has 8 characters when written with its 2 decimals, more than the 7"},
        {"Decimal(2)", 12, "1e999999999", nullptr, "has 1000000003 characters"},
        {"Decimal(2)", 12, "", "", nullptr},
        {"Decimal(2)", 12, "  ", "", nullptr},
        {"Decimal(2)", 12, "abc", "abc", nullptr},  // left to the number checks
        {"Integer", 6, "42", "42", nullptr},
        {"Integer", 6, "4.2e1", "42", nullptr},
        {"Integer", 6, "42.0", "42", nullptr},
        {"Integer", 6, "-7", "-7", nullptr},
        {"Integer", 6, "42.5", nullptr, "is not a whole number"},
        {"Integer", 3, "1e3", nullptr, "has 4 characters when written, more than the 3"},
        {"Number", 8, "1.5e2", "1.5e2", nullptr},
        {"Date", 10, "2024-02-29", "2024-02-29", nullptr},
        {"Date", 10, " 2024-12-31 ", "2024-12-31", nullptr},
        {"Date", 10, "2000-02-29", "2000-02-29", nullptr},
        {"Date", 10, "1900-02-29", nullptr, "is not a date (dates are written YYYY-MM-DD, such as 2024-03-31)"},
        {"Date", 10, "2023-02-29", nullptr, "is not a date"},
        {"Date", 10, "2024-04-31", nullptr, "is not a date"},
        {"Date", 10, "2024-13-01", nullptr, "is not a date"},
        {"Date", 10, "0000-01-01", nullptr, "is not a date"},
        {"Date", 10, "2024-1-5", nullptr, "is not a date"},
        {"Date", 10, "31.12.2024", nullptr, "is not a date"},
        {"Date", 12, "2024-01-05x", nullptr, "is not a date"},
        {"Boolean", 5, "true", "True", nullptr},
        {"Boolean", 5, "FALSE", "False", nullptr},
        {"Boolean", 5, "1", "True", nullptr},
        {"Boolean", 5, " 0", "False", nullptr},
        {"Boolean", 5, "yes", nullptr, "is not a boolean (True or False, or 1 or 0)"},
        {"Text", 5, " a ", " a ", nullptr},
    };
    for (const TCase& Case : Cases) {
        const TFieldDef F = Field(Case.Type, Case.Size);
        const AnsiString Problem = TypedValueProblem(F, Case.Value);
        const std::string What = std::string(Case.Type) + " " + Case.Value;
        if (Case.Stored) {
            EXPECT_EQ(Problem, "") << What;
            EXPECT_EQ(StoredValue(F, Case.Value), Case.Stored) << What;
        } else {
            EXPECT_EQ(Problem.rfind(Case.Problem, 0), 0u) << What << ": " << Problem;
            EXPECT_EQ(StoredValue(F, Case.Value), Case.Value) << What << ": a refused value is left as it is";
        }
    }
}

TEST(FieldTypes, ATypeIsNamedAsTheSchemaWritesItWithTheSizesItNeeds)
{
    struct TCase {
        const char* Written;
        const char* Name;  // null: no type
        int DefaultSize;
        int LeastSize;
    };
    const TCase Cases[] = {
        {"text", "Text", 0, 1},         {"NUMBER", "Number", 0, 1},        {"Integer", "Integer", 0, 1},
        {"Decimal(2)", "Decimal(2)", 0, 4}, {"decimal( 4 )", "Decimal(4)", 0, 6}, {"Decimal(0)", "Integer", 0, 1},
        {"Date", "Date", 10, 10},       {"boolean", "Boolean", 5, 5},      {"Decimal", nullptr, 0, 0},
        {"Decimal()", nullptr, 0, 0},   {"Decimal(-1)", nullptr, 0, 0},    {"Decimal(2", nullptr, 0, 0},
        {"Decimal(16384)", nullptr, 0, 0}, {"Decimal(1.5)", nullptr, 0, 0}, {"Money", nullptr, 0, 0},
    };
    for (const TCase& Case : Cases) {
        TFieldDef F;
        const bool Known = ParseFieldType(Case.Written, F);
        EXPECT_EQ(Known, Case.Name != nullptr) << Case.Written;
        if (!Known) continue;
        EXPECT_EQ(FieldTypeName(F), Case.Name) << Case.Written;
        EXPECT_EQ(DefaultFieldSize(F), Case.DefaultSize) << Case.Written;
        EXPECT_EQ(LeastFieldSize(F), Case.LeastSize) << Case.Written;
    }
}

class TypedFieldsTest : public ServerTest {};

TEST_F(TypedFieldsTest, TheServerAnswersEachFieldsTypeAndARefusedPostNamesTheFieldAndTheValue)
{
    Dir.WriteFile("orders.SFD",
                  "[Table]\nName = Orders\n[Fields]\nOrderNo, Integer, 6, Key\nOrdered, Date\nAmount, Decimal(2), 12\n"
                  "Paid, Boolean\nNote, Text, 20\nRate, Number, 8\n");
    TSession S = OpenSession("1688", "", "orders.SFD");
    const std::pair<const char*, const char*> Types[] = {{"OrderNo", "Integer"}, {"Ordered", "Date"},
                                                         {"Amount", "Decimal(2)"}, {"Paid", "Boolean"},
                                                         {"Note", "Text"},         {"Rate", "Number"},
                                                         {"", ""},                 {"  ", ""}};
    for (const auto& [Name, Type] : Types) {
        OleVariant Answer;
        ASSERT_TRUE(Succeeded(S->GetFieldType(OleVariant(Name), &Answer))) << Name;
        EXPECT_EQ(Answer.AsString(), Type) << Name;
    }
    OleVariant Ignored;
    EXPECT_EQ(FailureText(S->GetFieldType(OleVariant("Amont"), &Ignored)), "The table Orders has no field \"Amont\".");

    // A refused post keeps the record, with what was typed.
    auto ExpectRefused = [&](HRESULT Code, const char* Says) {
        EXPECT_EQ(FailureText(Code), Says);
        EXPECT_EQ(StateOf(S.get()), "Insert");
        ASSERT_TRUE(Succeeded(S->Cancel()));
    };
    ExpectRefused(AddRecord(S.get(), {{"OrderNo", "1"}, {"Ordered", "2024-02-30"}}),
                  "Field Ordered: the value \"2024-02-30\" is not a date (dates are written YYYY-MM-DD, such as "
                  "2024-03-31).");
    ExpectRefused(AddRecord(S.get(), {{"OrderNo", "1"}, {"Amount", "9.999"}}),
                  "Field Amount: the value \"9.999\" has more than the 2 decimals the field keeps.");
    ExpectRefused(AddRecord(S.get(), {{"OrderNo", "1.5"}}), "Field OrderNo: the value \"1.5\" is not a whole number.");
    ExpectRefused(AddRecord(S.get(), {{"OrderNo", "1"}, {"Paid", "yes"}}),
                  "Field Paid: the value \"yes\" is not a boolean (True or False, or 1 or 0).");
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"OrderNo", " 7 "}, {"Ordered", "2024-03-31"}, {"Amount", "1250"}, {"Paid", "1"}})));
    const std::pair<const char*, const char*> Stored[] = {
        {"OrderNo", "7"}, {"Ordered", "2024-03-31"}, {"Amount", "1250.00"}, {"Paid", "True"}, {"Note", ""}};
    for (const auto& [Name, Value] : Stored) EXPECT_EQ(ValueOf(S.get(), Name), Value) << Name;
}

}  // namespace
