#pragma once
// TDataSetListener: what a dataset tells the one data source that shows it. The dataset
// relays the server's notifications through these calls; TZopFileDataSource implements them
// (pushing the record, refreshing the navigators and grids, collecting the bound controls).
// The dataset knows its data source only as this, so it depends on nothing of the bound
// controls above it. A listener leaves alone what it does not override.
//
// Threading: GUI thread only, as the notifications that the calls relay.
#include <vector>

#include "framework/core/Exceptions.h"

class TDataSetListener {
public:
    // The current record's data changed (also at opening and closing).
    virtual void PostDisplayData() {}
    // The state changed: the navigators' enabled buttons, then the grids' structure.
    virtual void RefreshNavigator() {}
    virtual void RefreshDBGrid() {}
    // The filter changed, or the dataset closed: the grids' pages are laid out afresh.
    virtual void RefreshDBGridParamsWhenDataFilterChanged() {}
    // The server collects the bound controls' values into the record being inserted or
    // edited (at Post).
    virtual void WriteBoundControls() {}

    // The live view (TLiveView.h). Whether a bound control holds text that the user typed
    // and did not post: others' commits wait while one does, so that nothing typed is touched.
    virtual bool HoldsTypedText() const { return false; }
    // The record numbers that the pages begin with, one per page, for the server to follow
    // across others' commits.
    virtual std::vector<int> PageTops() const { return {}; }
    // Others' commits were taken into the view. Before: PageTops() before them; After: where
    // those records are now (-1: gone). The listener shows the commits through the paths of
    // the dataset's own notifications and leaves the focus, the caret and the selection
    // where they were.
    virtual void ShowOthersCommits(const std::vector<int>& /*Before*/, const std::vector<int>& /*After*/) {}

    // The dataset's record API (TZopFileDataSet::First ... Delete) takes a step from code as
    // the navigator's button does: the grids' pages are prepared before a move, a post or a
    // delete, and the navigators refreshed after a move.
    enum class TRecordStep { First, Prior, Next, Last, Post, Delete };
    virtual void BeforeRecordStep(TRecordStep /*Step*/) {}
    virtual void AfterRecordStep(TRecordStep /*Step*/) {}
    // Code wrote Value into Field of the record being inserted or edited (TZopFileField):
    // the bound edits and texts of that field show it now, as the record will be posted.
    virtual void FieldWritten(const AnsiString& /*Field*/, const AnsiString& /*Value*/) {}

protected:
    // Never deleted through this interface: the listener's owner frees it.
    ~TDataSetListener() = default;
};
