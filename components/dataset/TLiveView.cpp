// A dataset's live view: the watch on the server's commit descriptor and the deferred look
// (states and invariants in TLiveView.h).
#include "components/dataset/TLiveView.h"

#include <vector>

#include "components/dataset/TDataSetListener.h"
#include "components/dataset/TZopFileDataSet.h"
#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"

std::function<void(const TZopFileDataSet&, TLiveView::TStep, bool)> TLiveView::Probe;

void TLiveView::Note(TStep Step, bool Changed) const
{
    if (Probe) Probe(FDataSet, Step, Changed);
}

TLiveView::TLiveView(TZopFileDataSet& DataSet) : FDataSet(DataSet)
{
    FWatch.OnReadable = TNotifyEvent(this, &TLiveView::Readable);
    FLook.OnRun = TNotifyEvent(this, &TLiveView::Look);
}

bool TLiveView::MayWatch() const
{
    return FDataSet.GetLiveView() && FDataSet.GetActive() && !FDataSet.ComponentState().Contains(csDesigning) &&
           FDataSet.FileDataSet();
}

void TLiveView::Follow()
{
    int Descriptor = -1;
    TComInterface<IFileDataSetWatch> Server;
    if (MayWatch()) Server = TComInterface<IFileDataSet>(FDataSet.FileDataSet()).As<IFileDataSetWatch>();
    if (Server) Check(Server->GetCommitDescriptor(&Descriptor));
    const bool Changed = Descriptor != FWatch.Descriptor();
    FWatch.SetDescriptor(Descriptor);
    if (Descriptor < 0) FLook.Cancel();
    // A watch that fired waits for its look, which arms it again; one that failed is armed
    // again now.
    else if (!Changed && !FWatch.Armed() && !FLook.Requested() && !FLook.Running()) FWatch.Rearm();
}

void TLiveView::Stop()
{
    FWatch.SetDescriptor(-1);
    FLook.Cancel();
}

void TLiveView::Readable(TObject*)
{
    Note(TStep::Woken);
    // Looked at now unless two refreshes came within the last two rests; then the wake waits
    // until the older of them is two rests old (the descriptor stays readable: the watch
    // fires again then).
    const auto Rested = FShownAt[1] + std::chrono::milliseconds(2 * RestMs);
    const auto Now = std::chrono::steady_clock::now();
    if (Now < Rested) {
        FWatch.RearmAfter(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(Rested - Now).count()));
        return;
    }
    FLook.Request();
}

void TLiveView::Look(TObject*)
{
    Note(TStep::Looking);
    TComInterface<IFileDataSetWatch> Server;
    if (MayWatch()) Server = TComInterface<IFileDataSet>(FDataSet.FileDataSet()).As<IFileDataSetWatch>();
    if (!Server) {
        Stop();
        return;
    }
    TDataSetListener* Listener = FDataSet.DataSource();
    // The user at work keeps the view as it is: the commits are taken in by the post, cancel
    // or move that ends the work, whose own refresh shows them.
    const bool TakeIn = StateIs(FDataSet.FileDataSet(), "Browse") && !(Listener && Listener->HoldsTypedText());
    std::vector<int> Before = TakeIn && Listener ? Listener->PageTops() : std::vector<int>{};
    std::vector<int> After = Before;
    bool Changed = false;
    const HRESULT Looked = Server->TakeOthersCommits(TakeIn, After.data(), static_cast<int>(After.size()), &Changed);
    Note(TStep::TakenIn, Changed);
    if (FAILED(Looked)) {
        // Shown once (the deferred call hands the failure to the application); nothing is
        // watched until the dataset's next notification, so that a lost connection does not
        // fail at every turn.
        FWatch.SetDescriptor(-1);
        Check(Looked);
    }
    int Descriptor = -1;
    Check(Server->GetCommitDescriptor(&Descriptor));
    FWatch.SetDescriptor(Descriptor);
    FWatch.Rearm();
    // Something woke the watch: records may have changed, also when this look found nothing
    // because an operation took the commits in first. A page that showed rows again since
    // the last look is read again then.
    const bool RowsReused = FDataSet.NoteRecordsMayHaveChanged();
    if (!Changed) {
        if (TakeIn && RowsReused && Listener) Listener->ShowOthersCommits(Before, After);
        return;
    }
    if (Listener) {
        // The controls show the state just taken in: their questions to the server take
        // nothing more in (on PostgreSQL each would read the change log, a round trip),
        // and what comes meanwhile wakes the watch again.
        Check(Server->HoldCommits(true));
        struct TLetGo {
            IFileDataSetWatch* Server;  // not owned
            ~TLetGo() { Server->HoldCommits(false); }
        } LetGo{Server.get()};
        Listener->ShowOthersCommits(Before, After);
    }
    FShownAt = {std::chrono::steady_clock::now(), FShownAt[0]};
    Note(TStep::Shown, true);
    if (FDataSet.OnLiveRefresh) FDataSet.OnLiveRefresh(&FDataSet);
}
