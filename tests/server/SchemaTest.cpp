// Schema files: the demo's schema as read, and each problem named with its file and line.
#include <gtest/gtest.h>

#include "server/Schema.h"
#include "server/ServerError.h"

namespace {

using namespace RecordServer;

AnsiString SchemaProblem(const char* Text)
{
    try {
        ParseSchema(Text, "t.SFD");
    } catch (const EServerError& E) {
        return E.Message();
    }
    return "(accepted)";
}

TEST(Schema, DemoSchemaHasThirteenFieldsTheNumericKeyAndTwoUsers)
{
    TTableSchema S = LoadSchemaFile(DEMO_SCHEMA);
    EXPECT_EQ(S.TableName, "Customer");
    ASSERT_EQ(S.Fields.size(), 13u);
    EXPECT_EQ(S.Fields[0].Name, "CustNo");
    EXPECT_TRUE(S.Fields[0].Key);
    EXPECT_EQ(S.Fields[0].Type, TFieldType::Number);
    EXPECT_EQ(S.Fields[10].Name, "TaxRate");
    EXPECT_EQ(S.Fields[10].Type, TFieldType::Number);
    EXPECT_EQ(S.FieldIndex("LastInvoiceDate"), 12);
    EXPECT_EQ(S.FieldIndex("custno"), -1);
    ASSERT_TRUE(S.HasUsers);
    const TSchemaUser* Designer = S.FindUser("Designer");
    ASSERT_NE(Designer, nullptr);
    EXPECT_EQ(Designer->Right, TUserRight::Read);
    ASSERT_NE(S.FindUser("1688"), nullptr);
    EXPECT_EQ(S.FindUser("1688")->Right, TUserRight::Write);
}

TEST(Schema, ProblemsNameTheFileTheLineAndWhatIsWrong)
{
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text\n"),
              "Schema file t.SFD, line 4: a field is written as: name, type, size[, Key] (the size may be left out for "
              "Date and Boolean).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Money, 5\n"),
              "Schema file t.SFD, line 4: unknown type Money of field A (expected Text, Number, Integer, Decimal(n) "
              "with n decimals, Date or Boolean).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Date, 8\n"),
              "Schema file t.SFD, line 4: the size of field A must be at least 10 for a Date field, not 8.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Decimal(2), 3\n"),
              "Schema file t.SFD, line 4: the size of field A must be at least 4 for a Decimal(2) field, not 3.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Date, Key, 10\n").find("a field is written as"),
              std::string("Schema file t.SFD, line 4: ").size());
    EXPECT_EQ(SchemaProblem("\xEF\xBB\xBF# comment\n\n[Tables]\n"),
              "Schema file t.SFD, line 3: unknown section [Tables] (expected [Table], [Fields] or [Users]).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 0\n"),
              "Schema file t.SFD, line 4: the size of field A must be a whole number from 1 to 65535, not 0.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\na, Number, 5\n"),
              "Schema file t.SFD, line 5: the field a is declared twice.");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\n[Users]\nBob = Admin\n"),
              "Schema file t.SFD, line 6: the right of user Bob must be Read or Write, not Admin.");
    EXPECT_EQ(SchemaProblem("[Fields]\nA, Text, 5\n"), "Schema file t.SFD: no table name is given (a [Table] section with Name = ...).");
    EXPECT_EQ(SchemaProblem("[Table]\nName = T\n[Fields]\nA, Text, 5\n[Users]\n"),
              "Schema file t.SFD: the [Users] section lists no users.");
    // Names that would reach SQL are checked: no quotes, blanks or reserved prefixes.
    EXPECT_NE(SchemaProblem("[Table]\nName = T\"x\n").find("may hold only letters"), AnsiString::npos);
    EXPECT_NE(SchemaProblem("[Table]\nName = T\n[Fields]\nzfd_id, Text, 5\n").find("reserved"), AnsiString::npos);
    EXPECT_EQ(SchemaProblem("[table]\r\nname = 客戶\r\n[FIELDS]\r\n編號, number, 4, key\r\n"), "(accepted)");
}

TEST(Schema, TypedFieldsKeepTheirScaleAndTakeTheirOwnSizeWhenNoneIsGiven)
{
    const TTableSchema S = ParseSchema("[Table]\nName = Orders\n[Fields]\nOrdered, Date, Key\nOrderNo, Integer, 6, Key\n"
                                       "Amount, Decimal(2), 12\nPaid, boolean\nShipped, Date, 16\n",
                                       "o.SFD");
    struct TWanted {
        TFieldType Type;
        int Scale;
        int Size;
        bool Key;
    };
    const TWanted Wanted[] = {{TFieldType::Date, -1, 10, true},
                              {TFieldType::Number, 0, 6, true},
                              {TFieldType::Number, 2, 12, false},
                              {TFieldType::Boolean, -1, 5, false},
                              {TFieldType::Date, -1, 16, false}};
    ASSERT_EQ(S.Fields.size(), std::size(Wanted));
    for (std::size_t I = 0; I < S.Fields.size(); ++I) {
        EXPECT_EQ(S.Fields[I].Type, Wanted[I].Type) << S.Fields[I].Name;
        EXPECT_EQ(S.Fields[I].Scale, Wanted[I].Scale) << S.Fields[I].Name;
        EXPECT_EQ(S.Fields[I].Size, Wanted[I].Size) << S.Fields[I].Name;
        EXPECT_EQ(S.Fields[I].Key, Wanted[I].Key) << S.Fields[I].Name;
    }
}

}  // namespace
