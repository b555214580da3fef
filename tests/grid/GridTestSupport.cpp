#include "tests/grid/GridTestSupport.h"

#include <QTest>
#include <QWidget>

#include "com/ComObj.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"

void TGridOnServer::SetUp()
{
    CoInitialize();
    RegisterFileDataSetServer();
    DropAllMemoryTables();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 700, 420);
    DataSet = new TZopFileDataSet(Form.get());
    DataSet->setFSchemaFileName(DEMO_SCHEMA);
    DataSet->SetFAccessUserName("1688");
    Source = new TZopFileDataSource(Form.get());
    Source->SetFDataSet(DataSet);
    Grid = new TZopFileDBGrid(Form.get());
    Grid->SetParent(Form.get());
}

void TGridOnServer::TearDown()
{
    Form.reset();
    DropAllMemoryTables();
}

void TGridOnServer::FillCustomers(int Count, int First)
{
    TComInterface<IFileDataSet> S = CoFileDataSet::Create();
    Check(S->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
    Check(S->SetAccessUser(OleVariant("1688")));
    Ask(S.get(), &IFileDataSet::Open);
    for (int N = First; N < First + Count; ++N) {
        Check(S->Insert());
        Check(S->SetFieldValue(OleVariant("CustNo"), OleVariant(IntToStr(N))));
        Check(S->SetFieldValue(OleVariant("Company"), OleVariant("Company " + IntToStr(N))));
        Check(S->SetFieldValue(OleVariant("City"), OleVariant("City " + IntToStr(N))));
        Ask(S.get(), &IFileDataSet::Post);
    }
    Check(S->Close());
}

void TGridOnServer::OpenAndBind()
{
    DataSet->SetFActive(true);
    Grid->SetFDataSource(Source);
}

int TGridOnServer::RecNo() const
{
    return AskInt(Server(), &IFileDataSet::GetRecNo);
}

const AnsiString TGridOnServer::SaveQuestion = "資料已經被修改!! 是否要儲存 ??";

TGridCell* TGridOnServer::Cell(int Col, int Row) const
{
    return Grid->GetColumns()->GetDataCell(Col, Row);
}

void TGridOnServer::ClickCell(int Col, int Row) const
{
    QWidget* CellWidget = Cell(Col, Row)->Widget();
    QWidget* Target = CellWidget->childAt(5, 5);
    if (!Target) Target = CellWidget;
    QTest::mouseClick(Target, Qt::LeftButton, {}, Target->mapFrom(CellWidget, QPoint(5, 5)));
}

std::vector<int> TGridOnServer::PageRecords() const
{
    std::vector<int> Records;
    for (int R = 0; R < Grid->GetFRowCount(); ++R) {
        const TGridCell* C = Cell(0, R);
        Records.push_back(C->FRecordPos == -1 ? C->FFilterPos : C->FRecordPos);
    }
    return Records;
}

std::vector<AnsiString> TGridOnServer::ColumnTexts(int Col) const
{
    std::vector<AnsiString> Texts;
    for (int R = 0; R < Grid->GetFRowCount(); ++R) Texts.push_back(Cell(Col, R)->GetAsString());
    return Texts;
}

int TGridOnServer::SelectedRow() const
{
    return Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : -1;
}
