#pragma once
// TDataSetListener: what a dataset tells the one data source that shows it. The dataset
// relays the server's notifications through these calls; TZopFileDataSource implements them
// (pushing the record, refreshing the navigators and grids, collecting the bound controls).
// The dataset knows its data source only as this, so it depends on nothing of the bound
// controls above it. A listener leaves alone what it does not override.
//
// Threading: GUI thread only, as the notifications that the calls relay.
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

protected:
    // Never deleted through this interface: the listener's owner frees it.
    ~TDataSetListener() = default;
};
