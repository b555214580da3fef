// Work done later from the event loop: a deferred call runs outside every handler, once per
// burst of requests and never inside itself; a descriptor watch fires once per readiness
// until it is armed again.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <unistd.h>

#include <string>
#include <vector>

#include "framework/ui/ControlBridge.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TDeferredCall.h"
#include "framework/ui/TDescriptorWatch.h"
#include "framework/ui/TForm.h"
#include "tests/support/UiTestSupport.h"

namespace {

// Records each run of the deferred call, with the handlers running at that moment; can
// request itself again and open a nested loop while it runs.
struct TRecorder : TObject {
    TDeferredCall Call;
    std::vector<int> RunsWithHandlers;  // THandlerCount::Running() as seen from inside each run
    int NestedRequests = 0;             // runs that still have to request once more
    bool Nest = false;                  // each run processes events, as a message box would
    int Readable = 0;

    TRecorder() { Call.OnRun = TNotifyEvent(this, &TRecorder::Run); }
    void Run(TObject*)
    {
        RunsWithHandlers.push_back(ui_detail::THandlerCount::Running());
        if (NestedRequests > 0) {
            --NestedRequests;
            Call.Request();
        }
        if (Nest) Application->ProcessMessages();
    }
    // A button's click that requests the call and runs a nested loop before it returns.
    void ClickThatWaits(TObject*)
    {
        Call.Request();
        Application->ProcessMessages();
        ProcessEvents();
        ClicksSawRuns = static_cast<int>(RunsWithHandlers.size());
    }
    int ClicksSawRuns = -1;
    void WatchFired(TObject*) { ++Readable; }
};

TEST(DeferredCall, RequestsBeforeATurnRunOnceAndARequestFromTheRunComesAtALaterTurn)
{
    TRecorder R;
    for (int I = 0; I < 5; ++I) R.Call.Request();
    EXPECT_TRUE(R.RunsWithHandlers.empty()) << "nothing runs inside the caller";
    ProcessEvents();
    EXPECT_EQ(R.RunsWithHandlers.size(), 1u) << "five requests, one run";
    R.NestedRequests = 2;
    R.Nest = true;
    R.Call.Request();
    // Each run requests again and opens a loop of its own, which must not serve that request.
    for (int Turn = 0; Turn < 5; ++Turn) ProcessEvents();
    EXPECT_FALSE(R.Call.Requested());
    EXPECT_EQ(R.RunsWithHandlers, (std::vector<int>{1, 1, 1, 1}))
        << "the first run, then one per request made inside a run, none of them inside another";
}

TEST(DeferredCall, ARequestFromAClickWaitsUntilTheClickHandlerHasReturnedEvenThroughANestedLoop)
{
    TForm Form(nullptr);
    auto* Button = new TButton(&Form);
    Button->SetParent(&Form);
    TRecorder R;
    Button->OnClick = TNotifyEvent(&R, &TRecorder::ClickThatWaits);
    ShowActive(&Form);
    QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton);
    EXPECT_EQ(R.ClicksSawRuns, 0) << "the call ran inside the click's nested loop";
    ProcessEvents();
    EXPECT_EQ(R.RunsWithHandlers, std::vector<int>{1}) << "it ran once the click had returned";
}

TEST(DeferredCall, ACancelledRequestAndAFreedCallNeverRun)
{
    TRecorder R;
    R.Call.Request();
    R.Call.Cancel();
    ProcessEvents();
    EXPECT_TRUE(R.RunsWithHandlers.empty());
    {
        TDeferredCall Gone;
        Gone.OnRun = TNotifyEvent(&R, &TRecorder::Run);
        Gone.Request();
    }
    ProcessEvents();
    EXPECT_TRUE(R.RunsWithHandlers.empty()) << "a freed call's turn was dropped";
}

TEST(DescriptorWatch, FiresOncePerReadinessUntilArmedAgainOrAfterADelayAndFollowsANewDescriptor)
{
    int Pipe[2], Other[2];
    ASSERT_EQ(pipe(Pipe), 0);
    ASSERT_EQ(pipe(Other), 0);
    TRecorder R;
    TDescriptorWatch Watch;
    Watch.OnReadable = TNotifyEvent(&R, &TRecorder::WatchFired);
    Watch.SetDescriptor(Pipe[0]);
    ProcessEvents();
    EXPECT_EQ(R.Readable, 0) << "nothing to read yet";
    ASSERT_EQ(write(Pipe[1], "ab", 2), 2);
    for (int Turn = 0; Turn < 3; ++Turn) ProcessEvents();
    EXPECT_EQ(R.Readable, 1) << "still readable, but fired once until armed again";
    EXPECT_FALSE(Watch.Armed());
    Watch.Rearm();
    ProcessEvents();
    EXPECT_EQ(R.Readable, 2) << "armed while still readable: it fires at once";
    char Buffer[2];
    ASSERT_EQ(read(Pipe[0], Buffer, 2), 2);
    Watch.Rearm();
    ProcessEvents();
    EXPECT_EQ(R.Readable, 2) << "drained: quiet";
    Watch.SetDescriptor(Other[0]);
    ASSERT_EQ(write(Pipe[1], "c", 1), 1);
    ASSERT_EQ(write(Other[1], "d", 1), 1);
    ProcessEvents();
    EXPECT_EQ(R.Readable, 3) << "only the new descriptor is watched";
    Watch.RearmAfter(30);
    ProcessEvents();
    EXPECT_EQ(R.Readable, 3) << "still readable, but armed again only after the delay";
    QTest::qWait(100);
    EXPECT_EQ(R.Readable, 4);
    Watch.SetDescriptor(-1);
    for (int Fd : {Pipe[0], Pipe[1], Other[0], Other[1]}) close(Fd);
}

}  // namespace
