// A dataset's live view: the watch on the server's commit descriptor and the deferred look
// (states and invariants in TLiveView.h).
#include "components/dataset/TLiveView.h"

#include <vector>

#include "components/dataset/TDataSetListener.h"
#include "components/dataset/TZopFileDataSet.h"
#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"

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
    FLook.Request();
}

void TLiveView::Look(TObject*)
{
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
    if (!Changed) {
        FWatch.Rearm();
        return;
    }
    FWatch.RearmAfter(RestMs);
    if (Listener) Listener->ShowOthersCommits(Before, After);
    if (FDataSet.OnLiveRefresh) FDataSet.OnLiveRefresh(&FDataSet);
}
