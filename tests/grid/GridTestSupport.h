#pragma once
// Support for the grid's tests: a form with a dataset on the real server (the demo's
// customer schema, memory table), a data source and a grid; filling the table through a
// session of its own; reading a page back.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/UZopFileDataSet.h"
#include "framework/ui/TForm.h"
#include "framework/core/TextUtils.h"
#include "interface/Ostrel_TLB.h"

class TGridOnServer : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds Count customers with CustNo First, First + 1, ... (Company "Company <n>", City
    // "City <n>") through a session of its own.
    static void FillCustomers(int Count, int First = 1);
    // Opens the dataset and binds the grid: ten rows, the page filled.
    void OpenAndBind();
    IFileDataSet* Server() const { return DataSet->FileDataSet(); }
    int RecNo() const;
    // The record numbers of the page's rows, from column 0 (FRecordPos, or FFilterPos).
    std::vector<int> PageRecords() const;
    // The texts of column Col, row by row.
    std::vector<AnsiString> ColumnTexts(int Col) const;
    // The selected row, -1 when no cell is selected.
    int SelectedRow() const;
    TGridCell* Cell(int Col, int Row) const;
    // A left click on the cell at (Col, Row) where the user would click: on the in-place
    // editor when the cell holds it.
    void ClickCell(int Col, int Row) const;
    // The question asked when the user leaves a record holding unsaved changes.
    static const AnsiString SaveQuestion;

    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DataSet = nullptr;     // not owned: the form owns it
    TZopFileDataSource* Source = nullptr;   // not owned: the form owns it
    TZopFileDBGrid* Grid = nullptr;         // not owned: the form owns it
};
