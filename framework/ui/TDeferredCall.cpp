// A call run later from the event loop, outside every handler (states in TDeferredCall.h).
#include "framework/ui/TDeferredCall.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "framework/ui/ControlBridge.h"

namespace {

// The calls whose turn came while a handler ran.
std::vector<TDeferredCall*>& Waiting()
{
    static std::vector<TDeferredCall*> Calls;
    return Calls;
}

}  // namespace

TDeferredCall::TDeferredCall() : FContext(std::make_unique<QObject>()) {}

TDeferredCall::~TDeferredCall()
{
    Cancel();
}

void TDeferredCall::Request()
{
    if (FRequested) return;
    FRequested = true;
    Schedule();
}

void TDeferredCall::Cancel()
{
    FRequested = false;
    if (FWaiting) {
        auto& List = Waiting();
        List.erase(std::remove(List.begin(), List.end(), this), List.end());
        FWaiting = false;
    }
    if (FScheduled) {
        // A fresh receiver: the turn due for the old one is dropped with it.
        FContext = std::make_unique<QObject>();
        FScheduled = false;
    }
}

void TDeferredCall::Schedule()
{
    if (FScheduled || FWaiting) return;
    FScheduled = true;
    QTimer::singleShot(0, FContext.get(), [this] { Turn(); });
}

void TDeferredCall::Turn()
{
    FScheduled = false;
    if (!FRequested) return;
    if (FRunning || ui_detail::THandlerCount::Running() > 0) {
        // A handler runs (this turn is a nested loop's): wait until it has returned.
        FWaiting = true;
        Waiting().push_back(this);
        return;
    }
    FRequested = false;
    FRunning = true;
    // Counted as a handler itself: a loop that OnRun opens (a message) runs no deferred call.
    ui_detail::Guarded(this, [this] {
        if (OnRun) OnRun(this);
    });
    FRunning = false;
}

void TDeferredCall::HandlersEnded()
{
    std::vector<TDeferredCall*> Calls;
    Calls.swap(Waiting());
    for (TDeferredCall* Call : Calls) {
        Call->FWaiting = false;
        Call->Schedule();
    }
}
