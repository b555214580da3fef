// Record numbers, positioning at the ends, the empty table, and memory tables that outlive
// their sessions.
#include "tests/server/ServerTestSupport.h"

#include "com/OleCheck.h"

namespace {

using Keys = std::vector<AnsiString>;

TEST_F(ServerTest, EmptyTableReadsEmptyAndEveryPositioningSucceeds)
{
    TSession S = OpenSession();
    IFileDataSet* P = S.get();
    EXPECT_EQ(CountOf(P), 0);
    EXPECT_EQ(RecNoOf(P), -1);
    EXPECT_TRUE(FlagOf(P, &IFileDataSet::GetIsEmpty));
    EXPECT_TRUE(FlagOf(P, &IFileDataSet::GetBof));
    EXPECT_TRUE(FlagOf(P, &IFileDataSet::GetEof));
    EXPECT_EQ(ValueOf(P, "Company"), "");
    OleVariant R;
    EXPECT_TRUE(Succeeded(P->First()));
    EXPECT_TRUE(Succeeded(P->Last()));
    EXPECT_TRUE(Succeeded(P->Next()));
    EXPECT_TRUE(Succeeded(P->MoveNext(&R)));
    EXPECT_TRUE(Succeeded(P->MovePrior(&R)));
    EXPECT_TRUE(Succeeded(P->MoveTo(5)));
    EXPECT_EQ(RecNoOf(P), -1);
    EXPECT_NE(FailureText(P->Edit()).find("no current record"), AnsiString::npos);
    EXPECT_NE(FailureText(P->Delete()).find("no current record"), AnsiString::npos);
}

TEST_F(ServerTest, SingleRecordIsBothFirstAndLast)
{
    TSession S = OpenSession();
    AddKeys(S.get(), {"42"});
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetBof));
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetEof));
    EXPECT_FALSE(FlagOf(S.get(), &IFileDataSet::GetIsEmpty));
    EXPECT_EQ(RecNoOf(S.get()), 1);
}

TEST_F(ServerTest, NumbersAreOneBasedAndMovesClampAtBothEnds)
{
    TSession S = OpenSession();
    IFileDataSet* P = S.get();
    AddKeys(P, {"30", "4", "100", "21"});
    EXPECT_EQ(KeysInView(P), (Keys{"4", "21", "30", "100"}));  // numeric key order

    OleCheck(P->MoveTo(0));
    EXPECT_EQ(RecNoOf(P), 1);
    OleCheck(P->MoveTo(99));
    EXPECT_EQ(RecNoOf(P), 4);
    EXPECT_TRUE(FlagOf(P, &IFileDataSet::GetEof));
    EXPECT_FALSE(FlagOf(P, &IFileDataSet::GetBof));
    OleCheck(P->Prior());
    EXPECT_EQ(ValueOf(P, "CustNo"), "30");
    OleCheck(P->First());
    OleCheck(P->Prior());
    EXPECT_EQ(RecNoOf(P), 1);
    OleVariant R;
    OleCheck(P->MovePrior(&R));
    EXPECT_EQ(RecNoOf(P), 1);

    // Next stays on the last record; MoveNext leaves it for "no record", and stays there.
    OleCheck(P->Last());
    OleCheck(P->Next());
    EXPECT_EQ(RecNoOf(P), 4);
    OleCheck(P->MoveNext(&R));
    EXPECT_FALSE(R.AsBoolean());
    EXPECT_EQ(RecNoOf(P), -1);
    EXPECT_EQ(ValueOf(P, "CustNo"), "");
    EXPECT_TRUE(FlagOf(P, &IFileDataSet::GetEof));
    EXPECT_FALSE(FlagOf(P, &IFileDataSet::GetBof));
    OleCheck(P->MoveNext(&R));
    EXPECT_EQ(RecNoOf(P), -1);
    EXPECT_NE(FailureText(P->Edit()).find("no current record"), AnsiString::npos);
    OleCheck(P->MovePrior(&R));
    EXPECT_TRUE(R.AsBoolean());
    EXPECT_EQ(ValueOf(P, "CustNo"), "100");
    OleCheck(P->MoveNext(&R));
    OleCheck(P->Next());  // from past the end back to the last record
    EXPECT_EQ(RecNoOf(P), 4);
}

TEST_F(ServerTest, MemoryTableOutlivesItsSessionsAndIsSharedByThem)
{
    {
        TSession S = OpenSession();
        AddKeys(S.get(), {"1", "2"});
        OleCheck(S->Close());
        OleVariant R;
        OleCheck(S->Open(&R));
        EXPECT_EQ(CountOf(S.get()), 2);
    }
    TSession Again = OpenSession();  // every session released in between
    EXPECT_EQ(CountOf(Again.get()), 2);
    // Another schema file is another table.
    Dir.WriteFile("other.SFD", TestSchemaText);
    TSession Other = OpenSession("1688", "", "other.SFD");
    EXPECT_EQ(CountOf(Other.get()), 0);
}

TEST_F(ServerTest, SchemaQuestionsWorkWhileClosedAndBlankNamesAnswerEmpty)
{
    TSession S = NewSession();
    IFileDataSet* P = S.get();
    OleVariant V;
    OleCheck(P->GetFieldCount(&V));
    EXPECT_EQ(V.AsInteger(), 4);
    OleCheck(P->GetFieldName(3, &V));
    EXPECT_EQ(V.AsString(), "City");
    OleCheck(P->IsKeyField("CustNo", &V));
    EXPECT_TRUE(V.AsBoolean());
    OleCheck(P->GetFieldSize("Company", &V));
    EXPECT_EQ(V.AsInteger(), 10);
    OleCheck(P->GetFieldSize("  ", &V));
    EXPECT_EQ(V.AsInteger(), 0);
    OleCheck(P->IsKeyField("", &V));
    EXPECT_FALSE(V.AsBoolean());
    OleCheck(P->GetFieldValue(" ", &V));
    EXPECT_EQ(V.AsString(), "");
    OleCheck(P->GetState(&V));
    EXPECT_EQ(V.AsString(), "InActive");

    EXPECT_TRUE(Succeeded(P->MoveTo(2)));  // silent positioning is allowed in every state
    EXPECT_TRUE(Succeeded(P->MoveNext(&V)));
    EXPECT_NE(FailureText(P->GetFieldName(4, &V)).find("no field number 4"), AnsiString::npos);
    EXPECT_NE(FailureText(P->IsKeyField("custno", &V)).find("\"custno\""), AnsiString::npos);  // exact names
    EXPECT_NE(FailureText(P->GetRecordCount(&V)).find("not open"), AnsiString::npos);
    EXPECT_NE(FailureText(P->GetFieldValue("Company", &V)).find("not open"), AnsiString::npos);
}

TEST_F(ServerTest, StepsForwardShowEveryChangeMadeAfterTheRecordsAheadWereRead)
{
    TSession A = OpenSession("a");
    TSession B = OpenSession("b");
    AddKeys(A.get(), {"1", "2", "3", "4", "5", "6", "7"});
    OleVariant R;
    // Two steps forward in a row: the second reads the records after it ahead.
    auto TwoStepsFrom = [&](int RecNo) {
        OleCheck(A->MoveTo(RecNo));
        OleCheck(A->MoveNext(&R));
        OleCheck(A->MoveNext(&R));
        return ValueOf(A.get(), "Company");
    };
    auto Step = [&] {
        OleCheck(A->MoveNext(&R));
        return ValueOf(A.get(), "Company");
    };
    EXPECT_EQ(TwoStepsFrom(1), "C3");

    // Another session changes record 4 and deletes record 5.
    ASSERT_TRUE(Succeeded(EditRecord(B.get(), 4, {{"Company", "FromB"}})));
    OleCheck(B->MoveTo(5));
    OleCheck(B->Delete());
    EXPECT_EQ(Step(), "FromB");
    EXPECT_EQ(Step(), "C6");

    // This session posts an edit of record 4 after reading it ahead again.
    OleCheck(A->MoveTo(4));
    OleCheck(A->Edit());
    OleCheck(A->SetFieldValue("Company", "FromA"));
    EXPECT_EQ(TwoStepsFrom(1), "C3");
    OleCheck(A->Post(&R));
    OleCheck(A->MoveTo(3));
    EXPECT_EQ(Step(), "FromA");

    // With a filter, the records ahead are those of the filtered view.
    OleCheck(A->AddFilterCommand("not 2,CustNo,,,<>,2,", &R));
    OleCheck(A->AddFilterCommand("not 6,CustNo,,,<>,6,", &R));
    OleCheck(A->SetFiltered(true));
    EXPECT_EQ(KeysInView(A.get()), (Keys{"1", "3", "4", "7"}));
    EXPECT_EQ(TwoStepsFrom(1), "FromA");
    EXPECT_EQ(Step(), "C7");
}

TEST_F(ServerTest, APageReadAtItsTopShowsEveryChangeMadeAfterItWasRead)
{
    TSession A = OpenSession("a");
    TSession B = OpenSession("b");
    AddKeys(A.get(), {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
    OleVariant R;
    // What a grid does: to the top of its page, a step per row, back to its current record.
    auto Page = [&](int Top, int Rows, int Current) {
        std::vector<AnsiString> Shown;
        OleCheck(A->MoveTo(Top));
        for (int Row = 0; Row < Rows; ++Row) {
            Shown.push_back(ValueOf(A.get(), "Company"));
            OleCheck(A->MoveNext(&R));
        }
        OleCheck(A->MoveTo(Current));
        Shown.push_back(ValueOf(A.get(), "Company"));
        return Shown;
    };
    EXPECT_EQ(Page(3, 4, 1), (std::vector<AnsiString>{"C3", "C4", "C5", "C6", "C1"}));
    EXPECT_EQ(Page(8, 4, 1), (std::vector<AnsiString>{"C8", "C9", "C10", "C11", "C1"}));

    // The top of the next page is read with the rows after it; another session then changes
    // one of them and deletes another.
    OleCheck(A->MoveTo(3));
    EXPECT_EQ(ValueOf(A.get(), "Company"), "C3");
    ASSERT_TRUE(Succeeded(EditRecord(B.get(), 4, {{"Company", "FromB"}})));
    OleCheck(B->MoveTo(5));
    OleCheck(B->Delete());
    std::vector<AnsiString> Rows;
    for (int Row = 0; Row < 3; ++Row) {
        OleCheck(A->MoveNext(&R));
        Rows.push_back(ValueOf(A.get(), "Company"));
    }
    EXPECT_EQ(Rows, (std::vector<AnsiString>{"FromB", "C6", "C7"}));

    // Random jumps after the pages read their own record each.
    for (int RecNo : {9, 2, 11, 1, 6}) {
        OleCheck(A->MoveTo(RecNo));
        EXPECT_EQ(ValueOf(A.get(), "CustNo"), std::to_string(RecNo < 5 ? RecNo : RecNo + 1)) << RecNo;
    }
}

}  // namespace
