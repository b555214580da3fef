#pragma once
// Support for the server's tests: a fixture that registers the server and gives sessions on
// a schema in a temporary folder, short forms of the calls, and a recorder that logs which
// notification or trigger ran and the state the server reported inside it.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "interface/Ostrel_TLB.h"
#include "tests/support/TempDir.h"

using TSession = TComInterface<IFileDataSet>;

// A small table: a numeric key, two texts and a number. No users: everyone writes.
extern const char* const TestSchemaText;

// Passes when Code succeeded; otherwise fails with the error info's text.
::testing::AssertionResult Succeeded(HRESULT Code);
// The message OleCheck raises for a failing Code (the test fails when Code succeeded).
AnsiString FailureText(HRESULT Code);

AnsiString StateOf(IFileDataSet* S);
AnsiString ValueOf(IFileDataSet* S, const AnsiString& Field);
int CountOf(IFileDataSet* S);
int RecNoOf(IFileDataSet* S);
bool FlagOf(IFileDataSet* S, HRESULT (IFileDataSet::*Getter)(OleVariant*));
// Inserts and posts a record: (field, value) pairs.
HRESULT AddRecord(IFileDataSet* S, std::initializer_list<std::pair<const char*, AnsiString>> Values);
// Moves to record RecNo, edits it and posts: (field, value) pairs.
HRESULT EditRecord(IFileDataSet* S, int RecNo, std::initializer_list<std::pair<const char*, AnsiString>> Values);
// Field (CustNo unless named) of every record of the view, in order (moves the cursor).
std::vector<AnsiString> KeysInView(IFileDataSet* S, const AnsiString& Field = "CustNo");
// The first broken invariant of the server object S (its session and its view), or empty
// text; a randomised test asks after every step.
AnsiString InvariantProblem(IFileDataSet* S);

// Logs notifications and triggers as "kind:state", and can make any of them fail.
class TEventRecorder : public TObject {
public:
    explicit TEventRecorder(IFileDataSet* Server) : FServer(Server) {}
    // Hands the four notification handlers to the server.
    void Attach();
    // Adds a trigger at Moment to Methods, logged as "trigger <Moment's ordinal>[ <description>]:state".
    TDbProcItem* AddTrigger(TDbMethods& Methods, TCallTriggerTiming Moment, const AnsiString& Description = "");

    void DataChange() { Record("data", FailData); }
    void StateChange() { Record("state", FailState); }
    void FilterChange() { Record("filter", FailFilter); }
    void Collect();
    void Trigger(TDbProcItem* Sender, AnsiString CallUser, bool& AbortNextStep);

    std::vector<AnsiString> Log;
    std::function<void()> OnCollect;  // runs inside the collect notification
    bool FailData = false, FailState = false, FailFilter = false, FailCollect = false;
    TDbProcItem* AbortingTrigger = nullptr;  // not owned: this trigger sets AbortNextStep
    TDbProcItem* FailingTrigger = nullptr;   // not owned: this trigger raises
    AnsiString LastCallUser;

private:
    void Record(const char* Kind, bool Fail);
    IFileDataSet* FServer;  // not owned
};

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A session on the schema text written as SchemaName, opened by User, in memory or in
    // AccessFile.
    TSession NewSession(const AnsiString& User = "1688", const AnsiString& AccessFile = "",
                        const AnsiString& SchemaName = "test.SFD");
    TSession OpenSession(const AnsiString& User = "1688", const AnsiString& AccessFile = "",
                         const AnsiString& SchemaName = "test.SFD");
    // Adds records whose CustNo are Keys (Company "C<key>").
    void AddKeys(IFileDataSet* S, std::initializer_list<const char*> Keys);

    TempDir Dir;
};
