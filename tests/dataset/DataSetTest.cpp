// The dataset's conversation with its server, checked call by call on a recording double.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <memory>

#include "com/OleCheck.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/TypeInfo.h"
#include "framework/core/TStrings.h"
#include "framework/ui/TForm.h"
#include "tests/support/RecordingFileDataSet.h"

namespace {

using Log = std::vector<AnsiString>;

class DataSet : public ::testing::Test {
protected:
    void SetUp() override { RegisterZopFileDBClasses(); }

    // A dataset on a fresh double, with the construction calls already cleared.
    std::unique_ptr<TZopFileDataSet> NewDataSet()
    {
        auto Result = std::make_unique<TZopFileDataSet>(nullptr);
        Server()->ClearCalls();
        return Result;
    }
    TRecordingFileDataSet* Server() const { return Servers.Last(); }

    TRecordingServerClass Servers;
};

TEST_F(DataSet, ConstructionHandsOverTheFourHandlersThenClearsTheStartOptions)
{
    TZopFileDataSet DataSet(nullptr);
    EXPECT_EQ(Server()->Calls, (Log{"SetOnAfterDataChange", "SetOnInitDataControlData", "SetOnAfterDBStateChange",
                                    "SetOnAfterFilterChange", "SetStartOptionA(False)", "SetStartOptionB(False)"}));
    EXPECT_TRUE(Server()->OnAfterDataChange.Assigned());
    EXPECT_EQ(DataSet.FileDataSet(), static_cast<IFileDataSet*>(Server()));
    EXPECT_EQ(DataSet.GetDBMethods()->Count(), 0);
}

TEST_F(DataSet, AServerThatCannotBeCreatedMakesTheConstructorFail)
{
    Servers.FailCreation = true;
    TComponent Owner(nullptr);
    EXPECT_THROW(new TZopFileDataSet(&Owner), EOleException);
    EXPECT_EQ(Owner.ComponentCount(), 0) << "nothing is left in the owner";
}

TEST_F(DataSet, OpeningSendsTheMethodsTheFilterLinesAsStoredAndPushesTheRecord)
{
    auto DS = NewDataSet();
    TZopFileDataSource Source(nullptr);
    Source.SetFDataSet(DS.get());
    DS->SetFAccessFileName("data.db");
    DS->SetFAccessUserName("1688");
    DS->setFSchemaFileName("customer.SFD");
    DS->GetFFilterCommand()->SetLines({"a,CustNo,1,2,>=,13,", "", " b "});
    Server()->Answer("GetRecordCount", OleVariant(3));
    Server()->ClearCalls();

    DS->SetFActive(true);
    EXPECT_TRUE(DS->GetActive());
    const Log Expected{"Open",
                       "SetDBMethods",
                       "GetActive",
                       "SetFiltered(False)",
                       "ClearFilterCommand",
                       "AddFilterCommand(a,CustNo,1,2,>=,13,)",
                       "AddFilterCommand()",
                       "AddFilterCommand( b )",
                       "SetFiltered(True)",
                       "GetAccessUser",
                       "GetRecordCount",
                       "GetState"};  // the push starts
    ASSERT_GE(Server()->Calls.size(), Expected.size());
    EXPECT_EQ(Log(Server()->Calls.begin(), Server()->Calls.begin() + Expected.size()), Expected);
    EXPECT_EQ(Server()->Methods, DS->GetDBMethods());

    // Setting Active again opens again and sends the lines again.
    Server()->ClearCalls();
    DS->SetFActive(true);
    EXPECT_EQ(Server()->CallsOf("Open").size(), 1u);
    EXPECT_EQ(Server()->CallsOf("AddFilterCommand").size(), 3u);
}

TEST_F(DataSet, TheAccessParametersReachTheServerAsTheyAreSet)
{
    auto DS = NewDataSet();
    DS->SetFAccessFileName("a.db");
    DS->SetFAccessUserName("Designer");
    DS->setFSchemaFileName("x.SFD");
    DS->SetFActive(true);
    DS->SetFAccessFileName("b.db");  // also while open
    EXPECT_EQ(Server()->Actions(), (Log{"SetAccessFile(a.db)", "SetAccessUser(Designer)", "SetSchemaFileName(x.SFD)",
                                        "Open", "SetDBMethods", "SetAccessFile(b.db)"}));
    EXPECT_EQ(DS->GetAccessFile(), "b.db");
}

TEST_F(DataSet, WithoutFilterLinesNothingAboutFilteringIsSent)
{
    auto DS = NewDataSet();
    DS->SetFActive(true);
    for (const char* Filter : {"SetFiltered", "ClearFilterCommand", "AddFilterCommand"})
        EXPECT_TRUE(Server()->CallsOf(Filter).empty()) << Filter;
}

TEST_F(DataSet, OnlyTheExplorerUserSendsTheAccessFileAsExplorerFileAfterTheFilter)
{
    for (const char* User : {"Explorer", "1688", "explorer"}) {
        auto DS = NewDataSet();
        DS->SetFAccessFileName("data.db");
        DS->GetFFilterCommand()->Add("x,CustNo,,,=,1,");
        Server()->Answer("GetAccessUser", OleVariant(User));
        Server()->ClearCalls();
        DS->SetFActive(true);
        const Log Actions = Server()->Actions();
        if (AnsiString(User) == "Explorer") {
            ASSERT_EQ(Actions.size(), 7u) << User;
            EXPECT_EQ(Actions[5], "SetFiltered(True)");
            EXPECT_EQ(Actions[6], "SetExplorerFile(data.db)");
        } else {
            EXPECT_TRUE(Server()->CallsOf("SetExplorerFile").empty()) << User;
        }
    }
}

TEST_F(DataSet, ARecordCountOfZeroRefreshesInsteadOfPushing)
{
    auto DS = NewDataSet();
    TZopFileDataSource Source(nullptr);
    TZopFileDBEdit Edit(nullptr);
    Edit.SetFDataSource(&Source);
    Edit.SetFFieldName("Company");
    Source.SetFDataSet(DS.get());
    Server()->Fields["Company"] = "Acme";
    for (int Count : {0, 2}) {
        Server()->Answer("GetRecordCount", OleVariant(Count));
        Edit.SetText("before");
        DS->SetFActive(true);
        EXPECT_EQ(Edit.Text(), Count > 0 ? "Acme" : "before") << Count;
    }
}

TEST_F(DataSet, DataReadOnlyIsTakenOnlyWhileClosed)
{
    auto DS = NewDataSet();
    DS->SetFReadOnly(true);
    DS->SetFActive(true);
    DS->SetFReadOnly(false);
    EXPECT_TRUE(DS->GetDataReadOnly());
    EXPECT_EQ(Server()->CallsOf("SetDataReadOnly"), (Log{"SetDataReadOnly(True)"}));
}

TEST_F(DataSet, AFailingOpenRaisesTheServersMessageAndLeavesTheDataSetClosed)
{
    auto DS = NewDataSet();
    Server()->Fail("Open", E_FAIL, "The schema file was not found.");
    try {
        DS->SetFActive(true);
        FAIL() << "no exception";
    } catch (const EOleException& E) {
        EXPECT_STREQ(E.what(), "The schema file was not found.");
    }
    EXPECT_FALSE(DS->GetActive());
    EXPECT_TRUE(Server()->CallsOf("SetDBMethods").empty());
}

TEST_F(DataSet, AFailingFilterLineLeavesTheDataSetOpenWithTheFilterOff)
{
    auto DS = NewDataSet();
    DS->GetFFilterCommand()->SetLines({"one", "two"});
    Server()->Fail("AddFilterCommand", E_INVALIDARG, "bad line", 1);
    EXPECT_THROW(DS->SetFActive(true), EOleException);
    EXPECT_TRUE(DS->GetActive());
    EXPECT_EQ(Server()->CallsOf("SetFiltered"), (Log{"SetFiltered(False)"}));
    EXPECT_EQ(Server()->CallsOf("AddFilterCommand").size(), 1u) << "the remaining lines are not sent";
}

TEST_F(DataSet, AServerThatStaysInactiveAfterOpenLeavesTheDataSetClosedWithoutAMessage)
{
    auto DS = NewDataSet();
    DS->GetFFilterCommand()->Add("one");
    Server()->FollowState = false;  // GetActive keeps answering false
    DS->SetFActive(true);
    EXPECT_FALSE(DS->GetActive());
    EXPECT_EQ(Server()->Actions(), (Log{"Open", "SetDBMethods"}));
}

TEST_F(DataSet, ClosingSendsCloseEveryTimeAndRefreshesTheBoundControls)
{
    auto DS = NewDataSet();
    TZopFileDataSource Source(nullptr);
    TZopFileDBText Text(nullptr);
    Text.SetName("CompanyText");
    Text.SetFDataSource(&Source);
    Text.FDataField = "Company";
    Source.SetFDataSet(DS.get());
    Server()->Answer("GetRecordCount", OleVariant(1));
    Server()->Fields["Company"] = "Acme";
    DS->SetFActive(true);
    EXPECT_EQ(Text.Caption(), "Acme");
    DS->SetFActive(false);
    EXPECT_FALSE(DS->GetActive());
    EXPECT_EQ(Text.Caption(), "CompanyText") << "a closed dataset's texts show their names";
    DS->SetFActive(false);
    EXPECT_EQ(Server()->CallsOf("Close").size(), 2u);
}

TEST_F(DataSet, DestructionClearsTheHandlersOnTheServerAndSendsNoClose)
{
    auto DS = NewDataSet();
    DS->SetFActive(true);
    TComInterface<TRecordingFileDataSet> Kept(Server());  // the server outlives the dataset
    Kept->ClearCalls();
    DS.reset();
    EXPECT_EQ(Kept->Calls, (Log{"SetOnAfterDataChange(null)", "SetOnInitDataControlData(null)",
                                "SetOnAfterDBStateChange(null)", "SetOnAfterFilterChange(null)", "SetDBMethods(null)"}));
    EXPECT_FALSE(Kept->OnAfterDataChange.Assigned());
    EXPECT_EQ(Kept->Methods, nullptr);
}

TEST_F(DataSet, ReplacingTheServerClearsTheOldOnesHandlersAndGivesTheNewOneOnlyTheMethodsAtOpening)
{
    auto DS = NewDataSet();
    TComInterface<TRecordingFileDataSet> Old(Server());
    auto* Fresh = new TRecordingFileDataSet;
    TComInterface<TRecordingFileDataSet> New = TComInterface<TRecordingFileDataSet>::Attach(Fresh);
    DS->SetFDataSet(TComInterface<IFileDataSet>(New));
    EXPECT_FALSE(Old->OnAfterDataChange.Assigned());
    EXPECT_EQ(Old->Methods, nullptr);
    DS->SetFActive(true);
    EXPECT_EQ(New->Actions(), (Log{"Open", "SetDBMethods"}));
    EXPECT_FALSE(New->OnAfterDataChange.Assigned());
    EXPECT_TRUE(Old->CallsOf("Open").empty());
}

TEST_F(DataSet, FilterLinesAreCopiedAndReachTheServerOnlyAtTheNextOpening)
{
    auto DS = NewDataSet();
    DS->SetFActive(true);
    TStringList Lines;
    Lines.SetLines({"x", "y"});
    DS->SetFFilterCommand(&Lines);
    Lines.Clear();
    EXPECT_EQ(DS->GetFFilterCommand()->GetLines(), (std::vector<AnsiString>{"x", "y"}));
    EXPECT_TRUE(Server()->CallsOf("AddFilterCommand").empty());
    DS->SetFActive(true);
    EXPECT_EQ(Server()->CallsOf("AddFilterCommand"), (Log{"AddFilterCommand(x)", "AddFilterCommand(y)"}));
}

// ---------------------------------------------------------------------------------------
// Loading from a form file.

// Logs into the double when its property is read, to show when the dataset opened.
class TMarker : public TComponent {
    DECLARE_CLASSINFO()
public:
    using TComponent::TComponent;
    static inline TRecordingServerClass* Servers = nullptr;  // not owned
    AnsiString GetMark() const { return FMark; }
    void SetMark(const AnsiString& Value)
    {
        FMark = Value;
        Servers->Last()->Calls.push_back("read " + Value);
    }

private:
    AnsiString FMark;
};

const TClassInfo* TMarker::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TMarker, TComponent>("TMarker").Property("Mark", &TMarker::GetMark, &TMarker::SetMark).Build();
    return &Info;
}

const char* const ActiveThenSourceForm = R"(object Form1: TForm
  object DS: TZopFileDataSet
    Active = True
  end
  object First: TMarker
    Mark = 'first'
  end
  object Second: TMarker
    Mark = 'second'
  end
  object Src: TZopFileDataSource
    DataSet = DS
  end
end
)";

const char* const ActiveLastForm = R"(object Form1: TForm
  object Src: TZopFileDataSource
    DataSet = DS
  end
  object DS: TZopFileDataSet
    Active = True
  end
end
)";

TEST_F(DataSet, AStreamedActiveOpensWhenTheNextComponentIsCreatedOrAsTheLastComponentWhenTheFormHasLoaded)
{
    RegisterClass(TMarker::StaticClassInfo());
    TMarker::Servers = &Servers;
    {
        TForm Form(nullptr);
        ReadFormText(ActiveThenSourceForm, &Form, "active.form");
        auto* DS = static_cast<TZopFileDataSet*>(Form.FindComponent("DS"));
        EXPECT_TRUE(DS->GetActive());
        const Log Actions = Server()->Actions();
        const Log Expected{"Open", "SetDBMethods", "read first", "read second"};
        ASSERT_GE(Actions.size(), Expected.size());
        EXPECT_EQ(Log(Actions.begin() + Actions.size() - Expected.size(), Actions.end()), Expected)
            << "opened once, when the next component was created and before its properties were read";
        EXPECT_EQ(DS->DataSource(), dynamic_cast<TZopFileDataSource*>(Form.FindComponent("Src")));
    }
    {
        TForm Form(nullptr);
        ReadFormText(ActiveLastForm, &Form, "last.form");
        auto* DS = static_cast<TZopFileDataSet*>(Form.FindComponent("DS"));
        EXPECT_TRUE(DS->GetActive());
        EXPECT_EQ(Server()->CallsOf("Open").size(), 1u) << "opened once, when the form had loaded";
        EXPECT_EQ(DS->DataSource(), dynamic_cast<TZopFileDataSource*>(Form.FindComponent("Src")));
    }
    {
        // A failed opening names the dataset and the form file, and leaves the form empty.
        TForm Form(nullptr);
        Servers.OnCreate = [](TRecordingFileDataSet* S) { S->Fail("Open", E_FAIL, "no such schema"); };
        for (const char* Text : {ActiveThenSourceForm, ActiveLastForm}) {
            try {
                ReadFormText(Text, &Form, "failing.form");
                ADD_FAILURE() << "the form loaded";
            } catch (const EReadError& E) {
                EXPECT_NE(AnsiString(E.what()).find("failing.form"), AnsiString::npos) << E.what();
                EXPECT_NE(AnsiString(E.what()).find("The dataset DS cannot be opened: no such schema"), AnsiString::npos)
                    << E.what();
            }
            EXPECT_EQ(Form.ComponentCount(), 0);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Collecting the bound edits into the record.

class TDerivedEdit : public TZopFileDBEdit {
public:
    using TZopFileDBEdit::TZopFileDBEdit;
};

class TSetDataLog : public TObject {
public:
    void Before(TComponent* Sender, AnsiString OldValue, AnsiString& NewValue)
    {
        Seen.push_back("before " + Sender->Name() + " old=" + OldValue + " new=" + NewValue);
        if (Sender->Name() == "Upper") NewValue = "CHANGED";
    }
    void After(TComponent* Sender, AnsiString Value) { Seen.push_back("after " + Sender->Name() + " " + Value); }
    Log Seen;
};

class Collect : public DataSet {
protected:
    void SetUp() override
    {
        DataSet::SetUp();
        DS = NewDataSet();
        Source = std::make_unique<TZopFileDataSource>(nullptr);
        Source->SetFDataSet(DS.get());
        Add("Key", "CustNo", "7");
        Add("Name", "Company", "Acme");
        Add("Upper", "City", "taipei");
        Add("Blank", "Phone", "   ");
        Add("NoField", "  ", "ignored");
        Derived = std::make_unique<TDerivedEdit>(nullptr);
        Derived->SetName("Derived");
        Derived->SetFDataSource(Source.get());
        Derived->SetFFieldName("Zip");
        Derived->SetText("999");
        Server()->KeyFields = {"CustNo"};
        Server()->Fields = {{"Company", "Old Co"}, {"City", "Kaohsiung"}, {"Phone", "123"}};
        for (auto& E : Edits) {
            E->OnBeforeSetData = TEditBeforeSetDataEvent(&Events, &TSetDataLog::Before);
            E->OnAfterSetData = TEditAfterSetDataEvent(&Events, &TSetDataLog::After);
        }
    }
    // A bound edit that the user typed Text into.
    void Add(const char* Name, const char* Field, const char* Text)
    {
        auto E = std::make_unique<TZopFileDBEdit>(nullptr);
        E->SetName(Name);
        E->SetFDataSource(Source.get());
        E->SetFFieldName(Field);
        QTest::keyClicks(E->LineEdit(), Text);
        Edits.push_back(std::move(E));
    }

    std::unique_ptr<TZopFileDataSet> DS;
    std::unique_ptr<TZopFileDataSource> Source;
    std::vector<std::unique_ptr<TZopFileDBEdit>> Edits;
    std::unique_ptr<TDerivedEdit> Derived;
    TSetDataLog Events;
};

TEST_F(Collect, OnInsertEveryNonBlankEditIsWrittenKeyFieldsIncludedThroughTheHandlers)
{
    Server()->Answer("GetState", OleVariant("Insert"));
    Server()->ClearCalls();
    DS->DoInitDataControlData();
    EXPECT_EQ(Server()->CallsOf("SetFieldValue"),
              (Log{"SetFieldValue(CustNo, 7)", "SetFieldValue(Company, Acme)", "SetFieldValue(City, CHANGED)"}));
    EXPECT_EQ(Events.Seen, (Log{"before Key old= new=7", "after Key 7", "before Name old= new=Acme", "after Name Acme",
                                "before Upper old= new=taipei", "after Upper CHANGED"}));
    EXPECT_EQ(Edits[2]->Text(), "taipei") << "the handler changes what is written, not the edit";
}

TEST_F(Collect, OnEditWhatWasTypedIsWrittenBlanksIncludedKeyFieldsNeverAndTheOldValueIsTheStoredOne)
{
    Server()->Answer("GetState", OleVariant("Edit"));
    Server()->ClearCalls();
    DS->DoInitDataControlData();
    EXPECT_EQ(Server()->CallsOf("SetFieldValue"),
              (Log{"SetFieldValue(Company, Acme)", "SetFieldValue(City, CHANGED)", "SetFieldValue(Phone,    )"}));
    ASSERT_EQ(Events.Seen.size(), 6u);
    EXPECT_EQ(Events.Seen[0], "before Name old=Old Co new=Acme");
    EXPECT_EQ(Events.Seen[2], "before Upper old=Kaohsiung new=taipei");
    EXPECT_EQ(Server()->CallsOf("GetState").size(), 2u) << "the state is asked twice";

    // An edit that shows a value set by code (the stored one) writes nothing on edit, so it
    // cannot overwrite what was typed elsewhere; on insert a text that is not blank is written.
    Edits[1]->SetText("Shown");
    Server()->ClearCalls();
    DS->DoInitDataControlData();
    EXPECT_EQ(Server()->CallsOf("SetFieldValue"), (Log{"SetFieldValue(City, CHANGED)", "SetFieldValue(Phone,    )"}));
    Server()->Answer("GetState", OleVariant("Insert"));
    Server()->ClearCalls();
    DS->DoInitDataControlData();
    EXPECT_EQ(Server()->CallsOf("SetFieldValue")[1], "SetFieldValue(Company, Shown)");
}

TEST_F(Collect, InBrowseOrWithoutADataSourceNothingIsWritten)
{
    Server()->Answer("GetState", OleVariant("Browse"));
    DS->DoInitDataControlData();
    Source->SetFDataSet(nullptr);
    Server()->Answer("GetState", OleVariant("Insert"));
    DS->DoInitDataControlData();
    EXPECT_TRUE(Server()->CallsOf("SetFieldValue").empty());
}

}  // namespace
