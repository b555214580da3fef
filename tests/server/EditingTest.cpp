// Insert, edit, post, cancel and delete, and the checks that refuse a post without losing
// what was typed.
#include "tests/server/ServerTestSupport.h"

#include "com/OleCheck.h"

namespace {

using Keys = std::vector<AnsiString>;

bool Contains(const AnsiString& Text, const AnsiString& Part)
{
    return Text.find(Part) != AnsiString::npos;
}

TEST_F(ServerTest, FailedChecksKeepThePendingRecordWithAllItsValues)
{
    TSession S = OpenSession();
    IFileDataSet* P = S.get();
    AddKeys(P, {"10", "20"});
    OleCheck(P->Insert());
    OleCheck(P->SetFieldValue("Company", "Acme"));
    OleCheck(P->SetFieldValue("City", "Kaohsiung"));
    OleVariant R;

    AnsiString Msg = FailureText(P->Post(&R));  // empty key
    EXPECT_TRUE(Contains(Msg, "CustNo")) << Msg;
    EXPECT_TRUE(Contains(Msg, "empty")) << Msg;

    OleCheck(P->SetFieldValue("CustNo", "20"));
    Msg = FailureText(P->Post(&R));
    EXPECT_TRUE(Contains(Msg, "CustNo") && Contains(Msg, "\"20\"") && Contains(Msg, "already")) << Msg;
    OleCheck(P->SetFieldValue("CustNo", "20.0"));  // the same number
    EXPECT_TRUE(Contains(FailureText(P->Post(&R)), "already"));

    OleCheck(P->SetFieldValue("CustNo", "15"));
    OleCheck(P->SetFieldValue("Company", "Acme Trading Co"));
    Msg = FailureText(P->Post(&R));
    EXPECT_TRUE(Contains(Msg, "Company") && Contains(Msg, "\"Acme Trading Co\"") && Contains(Msg, "10")) << Msg;

    OleCheck(P->SetFieldValue("Company", "臺灣貿易股份有限公司"));  // ten characters fit
    OleCheck(P->SetFieldValue("TaxRate", "8,5"));
    Msg = FailureText(P->Post(&R));
    EXPECT_TRUE(Contains(Msg, "TaxRate") && Contains(Msg, "\"8,5\"") && Contains(Msg, "not a number")) << Msg;
    OleCheck(P->SetFieldValue("CustNo", "x1"));
    EXPECT_TRUE(Contains(FailureText(P->Post(&R)), "\"x1\" is not a number"));

    // Every failure left the record pending with what was typed.
    EXPECT_EQ(StateOf(P), "Insert");
    EXPECT_EQ(CountOf(P), 2);
    OleCheck(P->SetFieldValue("CustNo", " 15 "));
    OleCheck(P->SetFieldValue("TaxRate", "8.5"));
    OleCheck(P->Post(&R));
    EXPECT_EQ(ValueOf(P, "CustNo"), "15");  // numbers are stored without blanks around them
    EXPECT_EQ(ValueOf(P, "Company"), "臺灣貿易股份有限公司");
    EXPECT_EQ(ValueOf(P, "City"), "Kaohsiung");
    EXPECT_EQ(RecNoOf(P), 2);
    EXPECT_EQ(KeysInView(P), (Keys{"10", "15", "20"}));
}

TEST_F(ServerTest, MoveWhilePendingPostsFirstAndFailsWithoutMovingWhenThePostFails)
{
    TSession S = OpenSession();
    IFileDataSet* P = S.get();
    AddKeys(P, {"1", "2", "3"});
    OleCheck(P->MoveTo(2));
    OleCheck(P->Edit());
    OleCheck(P->SetFieldValue("TaxRate", "abc"));
    EXPECT_TRUE(Contains(FailureText(P->Next()), "TaxRate"));
    EXPECT_EQ(StateOf(P), "Edit");
    EXPECT_EQ(RecNoOf(P), 2);
    EXPECT_EQ(ValueOf(P, "TaxRate"), "abc");  // the edit buffer, unchanged
    OleCheck(P->SetFieldValue("TaxRate", "5"));
    OleCheck(P->Next());
    EXPECT_EQ(StateOf(P), "Browse");
    EXPECT_EQ(RecNoOf(P), 3);
    OleCheck(P->Prior());
    EXPECT_EQ(ValueOf(P, "TaxRate"), "5");

    // Insert while editing posts the edit first.
    OleCheck(P->Edit());
    OleCheck(P->SetFieldValue("City", "Taipei"));
    OleCheck(P->Insert());
    EXPECT_EQ(StateOf(P), "Insert");
    OleCheck(P->Cancel());
    EXPECT_EQ(ValueOf(P, "City"), "Taipei");
}

TEST_F(ServerTest, EditOfTheKeyMovesTheRecordToItsPlaceAndCancelRestores)
{
    TSession S = OpenSession();
    IFileDataSet* P = S.get();
    AddKeys(P, {"1", "2", "3"});
    OleCheck(P->MoveTo(1));
    OleCheck(P->Edit());
    OleCheck(P->SetFieldValue("CustNo", "9"));
    EXPECT_EQ(ValueOf(P, "CustNo"), "9");  // reads the buffer while on the edited record
    OleCheck(P->MoveTo(2));
    EXPECT_EQ(ValueOf(P, "CustNo"), "2");  // another record reads as stored
    OleVariant R;
    OleCheck(P->Post(&R));  // wherever the cursor is, the edited record is written
    EXPECT_EQ(KeysInView(P), (Keys{"2", "3", "9"}));
    OleCheck(P->Last());
    EXPECT_EQ(ValueOf(P, "Company"), "C1");

    OleCheck(P->Edit());
    OleCheck(P->SetFieldValue("Company", "Changed"));
    OleCheck(P->Cancel());
    EXPECT_EQ(ValueOf(P, "Company"), "C1");
    EXPECT_TRUE(Contains(FailureText(P->SetFieldValue("Company", "x")), "not in Edit or Insert"));
    OleCheck(P->Insert());
    EXPECT_TRUE(Contains(FailureText(P->SetFieldValue("Nope", "x")), "\"Nope\""));
    EXPECT_TRUE(Contains(FailureText(P->Edit()), "being inserted"));
}

TEST_F(ServerTest, ReadOnlyDataRefusesInsertEditAndDelete)
{
    {
        TSession W = OpenSession();
        AddKeys(W.get(), {"1"});
    }
    TSession S = NewSession();
    OleCheck(S->SetDataReadOnly(true));
    OleVariant R;
    OleCheck(S->Open(&R));
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetDataReadOnly));
    EXPECT_TRUE(Contains(FailureText(S->Insert()), "read-only"));
    EXPECT_TRUE(Contains(FailureText(S->Edit()), "read-only"));
    EXPECT_TRUE(Contains(FailureText(S->Delete()), "read-only"));
    EXPECT_EQ(StateOf(S.get()), "Browse");
    EXPECT_EQ(CountOf(S.get()), 1);
    EXPECT_TRUE(Contains(FailureText(S->SetDataReadOnly(false)), "closed"));
}

}  // namespace
