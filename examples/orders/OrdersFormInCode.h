#pragma once
// The orders window built in code instead of read from a form file: the same table, with a
// grid whose columns are chosen in code, a bound edit and a navigator.
#include "framework/core/Exceptions.h"

class TForm;

// Creates the window (owned by the application, the main form when it is the first) on the
// orders table at AccessFile (empty: orders.db in the current folder) and opens the table.
TForm* CreateOrdersFormInCode(const AnsiString& AccessFile);
