#pragma once
// TDeferredCall: runs its OnRun later, from the event loop itself, never inside a handler.
// Requests coalesce: however many come before it runs, it runs once, at the next turn of the
// loop. A request made while a handler runs (a key, a mouse click, a data notification, or a
// modal dialog's loop inside one) waits until the outermost handler has returned; a request
// made while OnRun runs is served at a later turn, so OnRun is never re-entered.
//
// States:
//
//   state      | FRequested | FScheduled | FWaiting | entered by
//   -----------+------------+------------+----------+-------------------------------------
//   idle       | false      | false      | false    | construction; OnRun begins; Cancel
//   scheduled  | true       | true       | false    | Request (no turn due yet)
//   waiting    | true       | false      | true     | its turn came while a handler ran
//   (running)  | any        | any        | false    | the turn came with no handler: OnRun
//
// Invariants: FWaiting exactly when this object is in the list of calls that wait for the
// handlers to end; FScheduled exactly when a zero-time turn of the loop is due (FContext's).
//
// Threading: GUI thread only.
#include <memory>

#include "framework/core/Events.h"
#include "framework/core/TObject.h"

class QObject;

class TDeferredCall : public TObject {
public:
    TDeferredCall();
    ~TDeferredCall() override;

    // Runs OnRun(this) once, at a later turn of the event loop with no handler running.
    void Request();
    // Drops a request that has not run yet.
    void Cancel();
    bool Requested() const { return FRequested; }
    bool Running() const { return FRunning; }

    TNotifyEvent OnRun;

    // The handlers have all returned: the calls that waited for that are scheduled.
    static void HandlersEnded();

private:
    void Schedule();
    void Turn();

    std::unique_ptr<QObject> FContext;  // owned: the due turn's receiver; freeing it drops the turn
    bool FRequested = false;
    bool FScheduled = false;
    bool FWaiting = false;
    bool FRunning = false;
};
