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
              "Schema file t.SFD, line 4: a field is written as: name, Text or Number, size[, Key].");
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

}  // namespace
