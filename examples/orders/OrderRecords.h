#pragma once
// Reading and writing the orders from code, with the dataset's record API.
#include "framework/core/Exceptions.h"

class TZopFileDataSet;

// Adds three orders to an open, empty orders table.
void AddSampleOrders(TZopFileDataSet* Orders);
// "3 orders, 1539.40 in all, 199.90 not paid": the orders counted and their amounts added up.
// Leaves the cursor on the first order.
AnsiString TotalText(TZopFileDataSet* Orders);
