// The data source's registry and its pushes of the current record, on a recording double.
#include <gtest/gtest.h>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/TStrings.h"
#include "tests/support/RecordingFileDataSet.h"

namespace {

class TDerivedEdit : public TZopFileDBEdit {
public:
    using TZopFileDBEdit::TZopFileDBEdit;
};

class DataSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        DS = std::make_unique<TZopFileDataSet>(nullptr);
        Source = std::make_unique<TZopFileDataSource>(nullptr);
        Edit = Bound<TZopFileDBEdit>("CompanyEdit", "Company");
        Text = std::make_unique<TZopFileDBText>(nullptr);
        Text->SetName("CityText");
        Text->SetFDataSource(Source.get());
        Text->FDataField = "City";
        Server()->Fields = {{"Company", "Acme"}, {"City", "Taipei"}, {"Zip", "100"}};
        Server()->Answer("GetRecordCount", OleVariant(1));
    }
    template <class T>
    std::unique_ptr<T> Bound(const char* Name, const char* Field)
    {
        auto E = std::make_unique<T>(nullptr);
        E->SetName(Name);
        E->SetFDataSource(Source.get());
        E->SetFFieldName(Field);
        return E;
    }
    TRecordingFileDataSet* Server() const { return Servers.Last(); }
    int Entries() const { return Source->FCtrlList->Count(); }

    TRecordingServerClass Servers;
    std::unique_ptr<TZopFileDataSet> DS;
    std::unique_ptr<TZopFileDataSource> Source;
    std::unique_ptr<TZopFileDBEdit> Edit;
    std::unique_ptr<TZopFileDBText> Text;
};

TEST_F(DataSource, TheRegistryKeepsOneEntryPerControlAndFindsControlsByTheirCurrentName)
{
    Source->AddNewDBEdit(Edit.get());
    Source->AddNewDBText(Text.get());
    Source->AddNewDBEdit(nullptr);
    EXPECT_EQ(Entries(), 2);
    Edit->SetName("Renamed");
    EXPECT_EQ(Source->CtrlByName("Renamed"), Edit.get());
    EXPECT_EQ(Source->CtrlByName("CompanyEdit"), nullptr);
    EXPECT_EQ(Source->CtrlByName("renamed"), nullptr) << "names compare with letter case";
    EXPECT_EQ(Source->CtrlByName("CityText"), Text.get());

    // Setting the same data source again moves the edit to the end.
    Edit->SetFDataSource(Source.get());
    EXPECT_EQ(Source->FCtrlList->Objects(1), Edit.get());
}

TEST_F(DataSource, RemovingAControlThatIsNotRegisteredRaisesTheListErrorAndChangesNothing)
{
    TZopFileDBEdit Stranger(nullptr);
    EXPECT_THROW(Source->RemoveDBEdit(&Stranger), EStringListError);
    EXPECT_EQ(Entries(), 2);
    Source->RemoveDBEdit(nullptr);
    Source->RemoveDBText(Text.get());
    EXPECT_EQ(Entries(), 1);
}

TEST_F(DataSource, WhatEachControlShowsFollowsTheDataSetsState)
{
    Source->SetFDataSet(DS.get());
    struct Case {
        const char* State;
        bool Active;
        const char* EditShows;
        const char* TextShows;
        const char* EditWithoutGrid;  // PostDisplayDataWithOutDbGird
        const char* TextWithoutGrid;
    };
    const Case Cases[] = {
        {"Browse", true, "Acme", "Taipei", "Acme", "Taipei"},
        {"Insert", true, "", "", "Acme", "Taipei"},
        {"InActive", false, "", "CityText", "", "CityText"},
        {"Edit", true, "typed", "shown", "typed", "shown"},  // nothing changes while editing
    };
    for (const Case& C : Cases) {
        Server()->Answer("GetState", OleVariant(C.State));
        Server()->Answer("GetActive", OleVariant(C.Active));
        Edit->SetText("typed");
        Text->SetCaption("shown");
        Source->PostDisplayData();
        EXPECT_EQ(Edit->Text(), C.EditShows) << C.State;
        EXPECT_EQ(Text->Caption(), C.TextShows) << C.State;
        Edit->SetText("typed");
        Text->SetCaption("shown");
        Source->PostDisplayDataWithOutDbGird();
        EXPECT_EQ(Edit->Text(), C.EditWithoutGrid) << C.State;
        EXPECT_EQ(Text->Caption(), C.TextWithoutGrid) << C.State;
    }
}

TEST_F(DataSource, ControlsWithoutAFieldKeepTheirTextAndSubclassesAreNeverRefreshed)
{
    auto NoField = Bound<TZopFileDBEdit>("NoField", "  ");
    auto Derived = Bound<TDerivedEdit>("Derived", "Zip");
    Source->SetFDataSet(DS.get());
    DS->SetFActive(true);
    NoField->SetText("kept");
    Derived->SetText("kept");
    Server()->ClearCalls();
    Source->PostDisplayData();
    EXPECT_EQ(NoField->Text(), "kept");
    EXPECT_EQ(Derived->Text(), "kept");
    EXPECT_EQ(Server()->CallsOf("GetFieldValue"), (std::vector<AnsiString>{"GetFieldValue(Company)", "GetFieldValue(City)"}))
        << "one read per bound field, in registration order";
    Server()->Answer("GetState", OleVariant("Insert"));
    Source->PostDisplayData();
    EXPECT_EQ(NoField->Text(), "") << "the insert state blanks it all the same";
}

class TGetDataLog : public TObject {
public:
    void Before(TComponent*, AnsiString Value) { Seen.push_back("before " + Value); }
    void After(TComponent* Sender, AnsiString Value)
    {
        Seen.push_back("after " + Value + " shown " + static_cast<TZopFileDBEdit*>(Sender)->Text());
    }
    std::vector<AnsiString> Seen;
};

TEST_F(DataSource, TheGetDataHandlersSeeTheValueAroundShowingIt)
{
    TGetDataLog Log;
    Edit->OnBeforeGetData = TEditBeforeGetDataEvent(&Log, &TGetDataLog::Before);
    Edit->OnAfterGetData = TEditAfterGetDataEvent(&Log, &TGetDataLog::After);
    Source->SetFDataSet(DS.get());
    DS->SetFActive(true);
    EXPECT_EQ(Log.Seen, (std::vector<AnsiString>{"before Acme", "after Acme shown Acme"}));
}

TEST_F(DataSource, LinkingPushesOnlyAnActiveDataSetAndKeepsBothEndsInStep)
{
    Edit->SetText("before");
    Source->SetFDataSet(DS.get());
    EXPECT_EQ(Edit->Text(), "before") << "an inactive dataset pushes nothing";
    EXPECT_EQ(DS->DataSource(), Source.get());
    DS->SetFActive(true);
    Source->SetFDataSet(nullptr);
    EXPECT_EQ(DS->DataSource(), nullptr);
    Edit->SetText("before");
    Source->SetFDataSet(DS.get());
    EXPECT_EQ(Edit->Text(), "Acme") << "an active one pushes at once";

    // Another data source that links the dataset takes its reverse link; the first keeps
    // its own link and, when destroyed, leaves the second's alone.
    auto Other = std::make_unique<TZopFileDataSource>(nullptr);
    Other->SetFDataSet(DS.get());
    EXPECT_EQ(DS->DataSource(), Other.get());
    EXPECT_EQ(Source->GetDataSet(), DS.get());
    Source.reset();
    EXPECT_EQ(DS->DataSource(), Other.get());
}

TEST_F(DataSource, NoNotificationReachesADestroyedDataSourceAndNoWalkADestroyedControl)
{
    Source->SetFDataSet(DS.get());
    DS->SetFActive(true);
    // A destroyed control leaves the registry.
    Edit.reset();
    EXPECT_EQ(Entries(), 1);
    Server()->OnAfterDataChange();
    EXPECT_EQ(Text->Caption(), "Taipei");
    // A destroyed data source unlinks its dataset; the server's notifications go nowhere.
    Source.reset();
    EXPECT_EQ(DS->DataSource(), nullptr);
    Server()->OnAfterDataChange();
    Server()->OnAfterDBStateChange();
    Server()->OnAfterFilterChange();
    Server()->OnInitDataControlData();
    EXPECT_EQ(Text->GetDataSource(), nullptr) << "the text dropped its reference";
}

TEST_F(DataSource, ADestroyedDataSetLeavesTheDataSourceUnlinked)
{
    Source->SetFDataSet(DS.get());
    DS.reset();
    EXPECT_EQ(Source->GetDataSet(), nullptr);
    Source->PostDisplayData();  // nothing to do, nothing reached
    Edit->SetFDataSource(nullptr);
    EXPECT_EQ(Entries(), 1);
}

}  // namespace
