#pragma once
// TDescriptorWatch: fires OnReadable from the event loop when a file descriptor (a socket, a
// pipe, an event counter, a file-system watch) has something to read. It watches; it never
// reads: the descriptor's owner drains it. Since a descriptor stays readable until then, the
// watch disarms itself when it fires and fires again only after Rearm(), so that an owner who
// drains later (at its own moment) costs no turn of the loop meanwhile.
//
// States: no descriptor (-1); armed; fired (disarmed until Rearm, or until the delay of
// RearmAfter has passed). SetDescriptor with another descriptor arms the watch on it; with the
// same one it changes nothing.
//
// OnReadable runs as a handler (guarded, counted: ControlBridge.h); keep it short, and do the
// work in a deferred call (TDeferredCall.h), outside every handler.
//
// Not to be freed from its own OnReadable (a deferred call is the place for that).
//
// Threading: GUI thread only.
#include <memory>

#include "framework/core/Events.h"
#include "framework/core/TObject.h"

class QSocketNotifier;
class QTimer;

class TDescriptorWatch : public TObject {
public:
    TDescriptorWatch();
    ~TDescriptorWatch() override;

    int Descriptor() const { return FDescriptor; }
    // Watches Descriptor for reading (-1: nothing). The caller keeps it open while watched.
    void SetDescriptor(int Descriptor);
    bool Armed() const;
    // Fires again at the next time the descriptor is readable (at once when it still is).
    void Rearm();
    // The same, but not before Ms milliseconds have passed: an owner that just did its work
    // for one readiness leaves the loop to other events meanwhile, and a burst of readiness
    // costs one firing per Ms at most.
    void RearmAfter(int Ms);

    TNotifyEvent OnReadable;

private:
    void Fired();

    int FDescriptor = -1;
    std::unique_ptr<QSocketNotifier> FNotifier;  // owned; null without a descriptor
    std::unique_ptr<QTimer> FRearmTimer;          // owned: the delay of RearmAfter
    bool FFiring = false;                         // OnReadable runs
};
