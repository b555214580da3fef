#include "components/dataset/TZopFileDataSet.h"

#include <poll.h>

#include "com/ComObj.h"
#include "components/dataset/TDataSetListener.h"
#include "components/dataset/TLiveView.h"
#include "framework/core/TStrings.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/core/UpdateBracket.h"
#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"

const TClassInfo* TZopFileDataSet::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TZopFileDataSet, TComponent>("TZopFileDataSet")
            .Property("AccessFile", &TZopFileDataSet::GetAccessFile, &TZopFileDataSet::SetFAccessFileName)
            .Property("AccessUser", &TZopFileDataSet::GetAccessUser, &TZopFileDataSet::SetFAccessUserName)
            .Property("SchemaFileName", &TZopFileDataSet::GetSchemaFileName, &TZopFileDataSet::setFSchemaFileName)
            .Property("Active", &TZopFileDataSet::GetActive, &TZopFileDataSet::SetFActive)
            .Default(false)
            .Property("DataReadOnly", &TZopFileDataSet::GetDataReadOnly, &TZopFileDataSet::SetFReadOnly)
            .Property("FilterCommand", &TZopFileDataSet::GetFFilterCommand, &TZopFileDataSet::SetFFilterCommand)
            .Property("DBMethods", &TZopFileDataSet::GetDBMethods)
            .Property("LiveView", &TZopFileDataSet::GetLiveView, &TZopFileDataSet::SetLiveView)
            .Default(true)
            .Property("OnLiveRefresh", &TZopFileDataSet::OnLiveRefresh)
            .Build();
    return &Info;
}

TZopFileDataSet::TZopFileDataSet(TComponent* Owner)
    : TComponent((CoInitialize(), Owner))  // COM first, for this thread; never undone
{
    FLive = std::make_unique<TLiveView>(*this);
    FDataSet = CoFileDataSet::Create();
    FFilterCommand = new TStringList;
    FDataSet->SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterDataChange));
    FDataSet->SetOnInitDataControlData(
        TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoInitDataControlData));
    FDataSet->SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterDBStateChange));
    FDataSet->SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterFilterChange));
    FDBMethods = new TDbMethods(this, TDbProcItem::StaticClassInfo());
    Check(FDataSet->SetStartOptionA(false));
    Check(FDataSet->SetStartOptionB(false));
}

TZopFileDataSet::~TZopFileDataSet()
{
    // The server object may outlive this reference (anyone may hold another): it must not
    // call back into this object or read the methods collection once they are gone, nor its
    // descriptor be watched.
    FLive->Stop();
    ClearServerHandlers();
    FDataSet.Reset();
    FFilterCommand->Clear();
    delete FFilterCommand;
    FFilterCommand = nullptr;
    delete FDBMethods;
    FDBMethods = nullptr;
}

void TZopFileDataSet::ClearServerHandlers()
{
    if (!FDataSet) return;
    FDataSet->SetOnAfterDataChange(nullptr);
    FDataSet->SetOnInitDataControlData(nullptr);
    FDataSet->SetOnAfterDBStateChange(nullptr);
    FDataSet->SetOnAfterFilterChange(nullptr);
    FDataSet->SetDBMethods(nullptr);
}

void TZopFileDataSet::SetFDataSet(const TComInterface<IFileDataSet>& Value)
{
    if (Value.get() != FDataSet.get()) {
        FLive->Stop();
        ClearServerHandlers();
    }
    FDataSet = Value;
    FLive->Follow();
}

void TZopFileDataSet::SetLiveView(bool Value)
{
    FLiveView = Value;
    FLive->Follow();
}

void TZopFileDataSet::SetFAccessFileName(const AnsiString& Value)
{
    FAccessFileName = Value;
    if (FDataSet) Check(FDataSet->SetAccessFile(OleVariant(Value)));
}

void TZopFileDataSet::SetFAccessUserName(const AnsiString& Value)
{
    FAccessUserName = Value;
    if (FDataSet) Check(FDataSet->SetAccessUser(OleVariant(Value)));
}

void TZopFileDataSet::setFSchemaFileName(const AnsiString& Value)
{
    FSchemaFileName = Value;
    if (FDataSet) Check(FDataSet->SetSchemaFileName(OleVariant(Value)));
}

void TZopFileDataSet::SetFReadOnly(bool Value)
{
    // The server takes the switch only while closed; otherwise nothing changes.
    if (!FDataSet || FActive) return;
    FReadOnly = Value;
    Check(FDataSet->SetDataReadOnly(OleVariant(Value)));
}

void TZopFileDataSet::SetFFilterCommand(TStringList* Value)
{
    WithinUpdate(*FFilterCommand, [&] { FFilterCommand->Assign(Value); });
}

void TZopFileDataSet::SetFActive(bool Value)
{
    FActivePending = false;
    if (!FDataSet) return;
    if (!Value) {
        Check(FDataSet->Close());
        FActive = false;
        FLive->Follow();
        if (FDataSource) {
            FDataSource->PostDisplayData();
            FDataSource->RefreshDBGridParamsWhenDataFilterChanged();
        }
        return;
    }
    if (ComponentState().Contains(csLoading)) {
        // Opened when the next component of the form is created (see Notification).
        FActivePending = true;
        return;
    }
    if (!OpenServer()) return;
    if (AskInt(FileDataSet(), &IFileDataSet::GetRecordCount) > 0) {
        if (FDataSource) FDataSource->PostDisplayData();
    } else if (FDataSource) {
        FDataSource->RefreshNavigator();
        FDataSource->RefreshDBGrid();
    }
}

bool TZopFileDataSet::OpenServer()
{
    IFileDataSet* Server = FileDataSet();
    Ask(Server, &IFileDataSet::Open);
    Server->SetDBMethods(FDBMethods);
    if (!AskBool(Server, &IFileDataSet::GetActive)) {
        FActive = false;
        return false;
    }
    FActive = true;
    if (FFilterCommand->Count() > 0) SendFilterLines();
    if (AskText(Server, &IFileDataSet::GetAccessUser) == "Explorer")
        Check(Server->SetExplorerFile(OleVariant(FAccessFileName)));
    FLive->Follow();
    return true;
}

void TZopFileDataSet::SendFilterLines()
{
    // Lines go as stored, blank ones included: the server ignores what it cannot use.
    IFileDataSet* Server = FileDataSet();
    Check(Server->SetFiltered(OleVariant(false)));
    Check(Server->ClearFilterCommand());
    for (int I = 0; I < FFilterCommand->Count(); ++I)
        Ask(Server, &IFileDataSet::AddFilterCommand, OleVariant(FFilterCommand->Strings(I)));
    Check(Server->SetFiltered(OleVariant(true)));
}

void TZopFileDataSet::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    // A dataset streamed with Active = True opens as soon as the next component of its form
    // is created. FFilterCommand does not exist yet while the constructor runs (the owner
    // reports this component's own insertion to it).
    if (Operation != opInsert || !ComponentState().Contains(csLoading) || !FFilterCommand || !FActivePending)
        return;
    // The opening runs inside another component's construction; its error names this one.
    NamingThisDataSet([&] {
        if (AskBool(FileDataSet(), &IFileDataSet::GetActive)) return;
        if (!OpenServer()) return;
        if (AskInt(FileDataSet(), &IFileDataSet::GetRecordCount) > 0 && FDataSource) FDataSource->PostDisplayData();
    });
}

void TZopFileDataSet::Loaded()
{
    TComponent::Loaded();
    // A dataset streamed with Active = True that no later component of its form opened
    // (it is the last one) opens now that its form is complete.
    if (!FActivePending || !FDataSet) return;
    NamingThisDataSet([&] {
        if (!AskBool(FileDataSet(), &IFileDataSet::GetActive)) SetFActive(true);
    });
}

template <class F>
void TZopFileDataSet::NamingThisDataSet(F&& Fn)
{
    try {
        Fn();
    } catch (Exception& E) {
        E.SetMessage(
            FormatText(TranslateText("TZopFileDataSet", "The dataset %1 cannot be opened: %2"), {Name(), E.Message()}));
        throw;
    }
}

// After each notification the live view watches what the server has now: the descriptor may
// have come or gone with the table's opening or closing, or with a connection made again.
void TZopFileDataSet::DoAfterDataChange()
{
    if (FDataSource) FDataSource->PostDisplayData();
    FLive->Follow();
}

void TZopFileDataSet::DoAfterDBStateChange()
{
    NoteRecordsMayHaveChanged();
    if (FDataSource) {
        FDataSource->RefreshNavigator();
        FDataSource->RefreshDBGrid();
    }
    FLive->Follow();
}

void TZopFileDataSet::DoAfterFilterChange()
{
    NoteRecordsMayHaveChanged();
    if (FDataSource) FDataSource->RefreshDBGridParamsWhenDataFilterChanged();
}

bool TZopFileDataSet::MayReuseShownRows() const
{
    if (!FActive || !FLive || !FLive->Watching()) return false;
    TComInterface<IFileDataSetWatch> Watch = TComInterface<IFileDataSet>(FDataSet.get()).As<IFileDataSetWatch>();
    int Descriptor = -1;
    if (!Watch || FAILED(Watch->GetCommitDescriptor(&Descriptor)) || Descriptor < 0) return false;
    pollfd Waiting{Descriptor, POLLIN, 0};
    return ::poll(&Waiting, 1, 0) == 0;
}

bool TZopFileDataSet::NoteRecordsMayHaveChanged()
{
    ++FRecordsEpoch;
    const bool Reused = FRowsReused;
    FRowsReused = false;
    return Reused;
}

void TZopFileDataSet::DoInitDataControlData()
{
    if (FDataSource) FDataSource->WriteBoundControls();
}
