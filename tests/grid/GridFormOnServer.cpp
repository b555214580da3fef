#include "tests/grid/GridFormOnServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "com/ComObj.h"
#include "framework/ui/TButton.h"
#include "interface/ServerCall.h"
#include "tests/support/UiTestSupport.h"

void TGridFormOnServer::SetUp()
{
    TGridOnServer::SetUp();
    Grid->SetBounds(0, 0, 690, 300);
    FillCustomers(25);
    OpenAndBind();
    CompanyEdit = new TZopFileDBEdit(Form.get());
    CompanyEdit->SetParent(Form.get());
    CompanyEdit->SetBounds(8, 310, 200, 21);
    CompanyEdit->SetFDataSource(Source);
    CompanyEdit->SetFFieldName("Company");
    Nav = new TZopFileDBNavigator(Form.get());
    Nav->SetParent(Form.get());
    Nav->SetTop(340);
    Nav->SetFDataSource(Source);
    Other = new TButton(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(220, 308, 90, 25);
    Other->SetCaption("Other");
    ShowActive(Form.get());
}

void TGridFormOnServer::ClickNav(TNavBtn* Button)
{
    QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton);
}

void TGridFormOnServer::ClickEdit()
{
    QTest::mouseClick(CompanyEdit->LineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(CompanyEdit->LineEdit(), Qt::Key_End);
}

void TGridFormOnServer::Press(Qt::Key K, Qt::KeyboardModifiers Modifiers)
{
    QTest::keyClick(QApplication::focusWidget(), K, Modifiers);
}

void TGridFormOnServer::Type(const char* Text)
{
    QTest::keyClicks(QApplication::focusWidget(), Text);
}

AnsiString TGridFormOnServer::State() const
{
    return AskText(Server(), &IFileDataSet::GetState);
}

int TGridFormOnServer::Count() const
{
    return AskInt(Server(), &IFileDataSet::GetRecordCount);
}

AnsiString TGridFormOnServer::Field(const char* Name) const
{
    return AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant(Name));
}

AnsiString TGridFormOnServer::Stored(const char* Key, const char* Field)
{
    TComInterface<IFileDataSet> S = CoFileDataSet::Create();
    Check(S->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
    Check(S->SetAccessUser(OleVariant("1688")));
    Ask(S.get(), &IFileDataSet::Open);
    AnsiString Value = "(no such record)";
    for (int N = 1; N <= AskInt(S.get(), &IFileDataSet::GetRecordCount); ++N) {
        Check(S->MoveTo(OleVariant(N)));
        if (AskText(S.get(), &IFileDataSet::GetFieldValue, OleVariant("CustNo")) == Key)
            Value = AskText(S.get(), &IFileDataSet::GetFieldValue, OleVariant(Field));
    }
    Check(S->Close());
    return Value;
}
