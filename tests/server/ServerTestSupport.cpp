#include "tests/server/ServerTestSupport.h"

#include <stdexcept>

#include "com/ComObj.h"
#include "com/ErrorInfo.h"
#include "com/OleCheck.h"
#include "interface/ServerCall.h"
#include "framework/core/TextUtils.h"
#include "server/FileDataSetServer.h"
#include "server/RegisterFileDataSetServer.h"

const char* const TestSchemaText =
    "[Table]\nName = Customer\n"
    "[Fields]\n"
    "CustNo, Number, 8, Key\n"
    "Company, Text, 10\n"
    "TaxRate, Number, 6\n"
    "City, Text, 12\n";

::testing::AssertionResult Succeeded(HRESULT Code)
{
    if (SUCCEEDED(Code)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "call failed: " << ServerFailureMessage(Code);
}

AnsiString FailureText(HRESULT Code)
{
    EXPECT_TRUE(FAILED(Code)) << "the call was expected to fail";
    return FAILED(Code) ? ServerFailureMessage(Code) : AnsiString("(no failure)");
}

AnsiString InvariantProblem(IFileDataSet* S)
{
    auto* Server = dynamic_cast<RecordServer::TFileDataSetServer*>(S);
    if (!Server) return "the object is not one of the record server's";
    return Server->CheckInvariants();
}

AnsiString StateOf(IFileDataSet* S)
{
    return AskText(S, &IFileDataSet::GetState);
}

AnsiString ValueOf(IFileDataSet* S, const AnsiString& Field)
{
    return AskText(S, &IFileDataSet::GetFieldValue, OleVariant(Field));
}

int CountOf(IFileDataSet* S)
{
    return AskInt(S, &IFileDataSet::GetRecordCount);
}

int RecNoOf(IFileDataSet* S)
{
    return AskInt(S, &IFileDataSet::GetRecNo);
}

bool FlagOf(IFileDataSet* S, HRESULT (IFileDataSet::*Getter)(OleVariant*))
{
    return AskBool(S, Getter);
}

namespace {

// Sets the fields of the pending record and posts it.
HRESULT SetAndPost(IFileDataSet* S, std::initializer_list<std::pair<const char*, AnsiString>> Values)
{
    for (const auto& [Field, Value] : Values)
        if (HRESULT Code = S->SetFieldValue(Field, Value); FAILED(Code)) return Code;
    OleVariant Ignored;
    return S->Post(&Ignored);
}

}  // namespace

HRESULT AddRecord(IFileDataSet* S, std::initializer_list<std::pair<const char*, AnsiString>> Values)
{
    if (HRESULT Code = S->Insert(); FAILED(Code)) return Code;
    return SetAndPost(S, Values);
}

HRESULT EditRecord(IFileDataSet* S, int RecNo, std::initializer_list<std::pair<const char*, AnsiString>> Values)
{
    if (HRESULT Code = S->MoveTo(RecNo); FAILED(Code)) return Code;
    if (HRESULT Code = S->Edit(); FAILED(Code)) return Code;
    return SetAndPost(S, Values);
}

std::vector<AnsiString> KeysInView(IFileDataSet* S, const AnsiString& Field)
{
    std::vector<AnsiString> Keys;
    OleCheck(S->MoveTo(1));
    for (int I = CountOf(S); I > 0; --I) {
        Keys.push_back(ValueOf(S, Field));
        OleVariant Ignored;
        OleCheck(S->MoveNext(&Ignored));
    }
    return Keys;
}

void TEventRecorder::Attach()
{
    FServer->SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent(this, &TEventRecorder::DataChange));
    FServer->SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent(this, &TEventRecorder::StateChange));
    FServer->SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent(this, &TEventRecorder::FilterChange));
    FServer->SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent(this, &TEventRecorder::Collect));
}

TDbProcItem* TEventRecorder::AddTrigger(TDbMethods& Methods, TCallTriggerTiming Moment, const AnsiString& Description)
{
    auto* Item = static_cast<TDbProcItem*>(Methods.Add());
    Item->SetFBeATrigger(true);
    Item->SetFTriggerTime(Moment);
    Item->SetFProcDescrip(Description);
    Item->SetOnExecuteProc(TDbProcItemEvent(this, &TEventRecorder::Trigger));
    return Item;
}

void TEventRecorder::Record(const char* Kind, bool Fail)
{
    Log.push_back(AnsiString(Kind) + ":" + StateOf(FServer));
    if (Fail) throw EInvalidOperation(AnsiString(Kind) + " handler failed");
}

void TEventRecorder::Collect()
{
    Record("collect", false);
    if (OnCollect) OnCollect();
    if (FailCollect) throw EInvalidOperation("collect handler failed");
}

void TEventRecorder::Trigger(TDbProcItem* Sender, AnsiString CallUser, bool& AbortNextStep)
{
    LastCallUser = CallUser;
    AnsiString Desc = Sender->GetProcDescrip().empty() ? AnsiString() : " " + Sender->GetProcDescrip();
    Log.push_back("trigger " + IntToStr(Sender->GetTriggerTime()) + Desc + ":" + StateOf(FServer));
    if (Sender == AbortingTrigger) AbortNextStep = true;
    if (Sender == FailingTrigger) throw std::runtime_error("trigger failed");
}

void ServerTest::SetUp()
{
    CoInitialize();
    RegisterFileDataSetServer();
    Dir.WriteFile("test.SFD", TestSchemaText);
}

void ServerTest::TearDown()
{
    DropAllMemoryTables();
    CoUninitialize();
}

TSession ServerTest::NewSession(const AnsiString& User, const AnsiString& AccessFile, const AnsiString& SchemaName)
{
    TSession S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(Dir.File(SchemaName)));
    OleCheck(S->SetAccessUser(User));
    OleCheck(S->SetAccessFile(AccessFile));
    return S;
}

TSession ServerTest::OpenSession(const AnsiString& User, const AnsiString& AccessFile, const AnsiString& SchemaName)
{
    TSession S = NewSession(User, AccessFile, SchemaName);
    OleVariant Ignored;
    OleCheck(S->Open(&Ignored));
    return S;
}

void ServerTest::AddKeys(IFileDataSet* S, std::initializer_list<const char*> Keys)
{
    for (const char* Key : Keys) ASSERT_TRUE(Succeeded(AddRecord(S, {{"CustNo", Key}, {"Company", AnsiString("C") + Key}})));
}
