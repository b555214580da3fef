#pragma once
// TLiveView: a dataset's live view. While its dataset is open with LiveView on, it watches the
// server's commit descriptor (IFileDataSetWatch) in the event loop; when another session
// committed, it has the server take the commits in and the data source show them, as after
// the dataset's own operations, unless the user is at work: in "Edit" or "Insert", or while a
// bound control holds typed text that is not posted, the commits wait for the next post,
// cancel or move, whose own refresh shows them.
//
// The look runs in a deferred call (TDeferredCall.h): from the event loop, never inside a key,
// mouse or data handler, at most once per turn, never re-entered. A burst of commits is
// coalesced from its third refresh on: a wake is looked at once unless the refresh before the
// last ended less than two rests (2 x RestMs) ago, and then waits until it did. So a lone
// commit, and the second of two close together, show at once, and a burst costs two
// refreshes per two rests at most, the loop serving the user meanwhile.
//
// States:
//
//   state     | watch                       | entered by
//   ----------+-----------------------------+------------------------------------------------
//   off       | no descriptor               | construction; the dataset closed, designing, its
//             |                             | LiveView off, or a server without the interface;
//             |                             | a look that failed (until the dataset's next
//             |                             | notification)
//   watching  | armed on the descriptor     | Follow() with the dataset open and LiveView on
//   due       | fired; the look requested   | the descriptor readable 2 x RestMs or more
//             |                             | after the refresh before the last
//   resting   | disarmed until 2 x RestMs   | the descriptor readable sooner than that
//             | after that refresh          |
//
// Invariants: the watch's descriptor is the server's current one, or -1 (Follow asks again
// after the dataset's notifications and after every look); a look requested is never run
// while a handler runs.
//
// Threading: GUI thread only.
#include <array>
#include <chrono>
#include <functional>

#include "framework/core/Events.h"
#include "framework/core/TObject.h"
#include "framework/ui/TDeferredCall.h"
#include "framework/ui/TDescriptorWatch.h"

class TZopFileDataSet;

class TLiveView : public TObject {
public:
    // Two refreshes at most in any 2 x RestMs.
    static constexpr int RestMs = 20;

    // The moments of a live refresh, for measuring where its time goes: the descriptor became
    // readable (Woken), the deferred look began (Looking), the server took the commits in
    // (TakenIn; Changed: something was), the data source showed them (Shown).
    enum class TStep { Woken, Looking, TakenIn, Shown };
    // Called at each step of every live view with its dataset, when set (benchmarks); GUI
    // thread only.
    static std::function<void(const TZopFileDataSet&, TStep, bool Changed)> Probe;

    // DataSet owns this object and outlives it.
    explicit TLiveView(TZopFileDataSet& DataSet);

    // Watches what the dataset's state calls for: the server's descriptor while the dataset
    // is open with LiveView on (not while designing), nothing otherwise.
    void Follow();
    // Stops watching and drops a look not yet run (before the server is released).
    void Stop();
    bool Watching() const { return FWatch.Descriptor() >= 0; }

private:
    void Readable(TObject* Sender);
    // The deferred look: takes others' commits in and shows them, or only drains.
    void Look(TObject* Sender);
    bool MayWatch() const;
    void Note(TStep Step, bool Changed = false) const;

    TZopFileDataSet& FDataSet;  // not owned: the owner
    TDescriptorWatch FWatch;
    TDeferredCall FLook;
    // When the last two looks that showed others' commits ended, the latest first; the
    // clock's start for those not yet made.
    std::array<std::chrono::steady_clock::time_point, 2> FShownAt{};
};
