#pragma once
// Qt's accessible interfaces for the framework's controls that Qt cannot describe by itself
// (internal to framework/ui): a control that shows a table (TControl::AccessibleTable) is a
// table, its cell controls are its cells and column headers. Other controls keep Qt's own
// interfaces, named by TControl::SetAccessibleName.
namespace ui_detail {

// Installs the factory with Qt once; later calls do nothing. GUI thread only.
void InstallControlAccessibleFactory();

}  // namespace ui_detail
