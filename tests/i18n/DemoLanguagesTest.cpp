// The demo in each language as a user sees it: every text in that one language, none clipped
// or overflowing its control, and the question and the server's error in the same language
// (build/screenshots/i18n_<language>_*.png).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/Translations.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

struct TLanguageCase {
    const char* Language;
    bool Chinese;
    const char* Refused;   // the summary of rows that were not added
    const char* Duplicate; // the server's reason
    const char* Question;  // the navigator's delete question
    const char* No;        // its No button
};

class DemoLanguages : public ::testing::TestWithParam<TLanguageCase> {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterDemoClasses();
        DropAllMemoryTables();
        ASSERT_TRUE(UseLanguage(GetParam().Language));
        Application->SetTitle(TranslateText("TForm1", "Memory Table Demo App"));  // as the program does
        Application->CreateForm(Form1);
        ShowActive(Form1);
    }
    void TearDown() override
    {
        Form1->Free();
        Form1 = nullptr;
        DropAllMemoryTables();
        SetTranslateHook(nullptr);
    }
    void Click(TControl* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    std::string Shot(const char* What) const { return std::string("i18n_") + GetParam().Language + "_" + What; }
};

bool HasChinese(const QString& Text)
{
    return std::any_of(Text.begin(), Text.end(), [](QChar C) { return C.unicode() >= 0x3000; });
}

// The texts that a control shows and the room it has; blank when none is shown.
struct TShownText {
    QString Text;
    int Needed = 0;
    int Room = 0;
};

// Every text the form shows outside the grid (the grid's cells fit their widths themselves).
std::vector<std::pair<QWidget*, TShownText>> ShownTexts(QWidget* Form)
{
    std::vector<std::pair<QWidget*, TShownText>> Shown;
    for (QWidget* W : Form->findChildren<QWidget*>()) {
        if (!W->isVisible()) continue;
        const QFontMetrics Metrics(W->font());
        if (auto* Button = qobject_cast<QPushButton*>(W)) {
            const QString Text = QString(Button->text()).remove('&');
            Shown.push_back({W, {Text, Metrics.horizontalAdvance(Text) + 6, Button->width()}});
        } else if (auto* Label = qobject_cast<QLabel*>(W)) {
            // A label may grow, but not past its parent's right edge.
            const int Right = Label->parentWidget() ? Label->parentWidget()->width() : Label->width();
            Shown.push_back({W, {Label->text(), Label->x() + Metrics.horizontalAdvance(Label->text()), Right}});
        } else if (auto* Group = qobject_cast<QGroupBox*>(W)) {
            Shown.push_back({W, {Group->title(), Metrics.horizontalAdvance(Group->title()) + 16, Group->width()}});
        } else if (auto* Edit = qobject_cast<QLineEdit*>(W)) {
            Shown.push_back({W, {Edit->text(), Metrics.horizontalAdvance(Edit->text()) + 6, Edit->width()}});
        }
    }
    return Shown;
}

TEST_P(DemoLanguages, EveryTextOfTheFormIsInTheLanguageAndFitsItsControl)
{
    Click(Form1->Button1);  // Add Datas
    SaveScreenshot(Form1, Shot("form"));
    int Checked = 0;
    for (const auto& [Widget, Shown] : ShownTexts(Form1->Widget())) {
        if (Shown.Text.trimmed().isEmpty()) continue;
        ++Checked;
        EXPECT_LE(Shown.Needed, Shown.Room) << Shown.Text.toStdString() << " is clipped or overflows";
        // English shows no Chinese at all; Chinese keeps only field names, numbers and the
        // customers' data in Latin letters.
        if (!GetParam().Chinese) {
            EXPECT_FALSE(HasChinese(Shown.Text)) << Shown.Text.toStdString();
        }
    }
    EXPECT_GT(Checked, 20) << "captions, buttons, labels and edits were all looked at";
    TGridColumns* Columns = Form1->ZopFileDBGrid1->GetColumns();
    for (int C = 0; C < Columns->GetCount(); ++C) {
        const QString Title = QString::fromStdString(Columns->GeTColumnItem(C)->GetTitle());
        // The Chinese screen shows the titles as the form has them: four Chinese, the rest
        // field names.
        EXPECT_EQ(HasChinese(Title), GetParam().Chinese && C < 4) << "column " << C;
    }
}

TEST_P(DemoLanguages, TheServersErrorAndTheQuestionSpeakTheLanguageOfTheScreen)
{
    Click(Form1->Button1);
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk).Answer(mrNo);
    Click(Form1->Button1);  // every key is there already: the server refuses each row
    Click(Form1->ZopFileDBNavigator1->FBtnDelete);
    ASSERT_EQ(Dialogs.Dialogs().size(), 2u);

    const TDialogRequest& Error = Dialogs.Dialogs()[0];
    EXPECT_NE(Error.Text.find(GetParam().Refused), AnsiString::npos) << Error.Text;
    EXPECT_NE(Error.Text.find(GetParam().Duplicate), AnsiString::npos) << Error.Text;
    EXPECT_EQ(HasChinese(QString::fromStdString(Error.Text)), GetParam().Chinese) << Error.Text;
    std::unique_ptr<QDialog> ErrorBox = CreateQtDialog(Error);
    SaveWidgetScreenshot(ErrorBox.get(), Shot("server_error"));
    EXPECT_EQ(ErrorBox->windowTitle(), QString("Memory Table Demo App")) << "the program's title, as given";

    const TDialogRequest& Question = Dialogs.Dialogs()[1];
    EXPECT_EQ(Question.Text, GetParam().Question);
    std::unique_ptr<QDialog> QuestionBox = CreateQtDialog(Question);
    SaveWidgetScreenshot(QuestionBox.get(), Shot("question"));
    auto* Box = static_cast<QMessageBox*>(QuestionBox.get());
    ASSERT_NE(Box->button(QMessageBox::No), nullptr);
    EXPECT_EQ(Box->button(QMessageBox::No)->text(), QString(GetParam().No));
    EXPECT_EQ(HasChinese(Box->windowTitle()), GetParam().Chinese) << Box->windowTitle().toStdString();
    EXPECT_EQ(Form1->Label2->Caption(), "52") << "No deleted nothing";
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, DemoLanguages,
    ::testing::Values(TLanguageCase{"zh_TW", true, "52 筆資料中有 52 筆沒有加入。", "已經是另一筆資料的鍵值", "確定要刪除資料??",
                                    "否(&N)"},
                      TLanguageCase{"en", false, "52 of 52 rows were not added.", "is already the key of another record",
                                    "Delete the record??", "&No"}),
    [](const ::testing::TestParamInfo<TLanguageCase>& Info) {
        return std::string(Info.param.Chinese ? "TraditionalChinese" : "English");
    });

}  // namespace
