// "請購單查詢" over a fresh embedded database: the main window opens it on the project in
// its code edit (button, Ctrl+H), it lists the requisitions with their state, prints,
// exports and summarizes the selected one through the window, and voids it after asking
// the reason. Pictures of the dialog and of the reason form are real pixels, offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "mrp/Fixture.h"
#include "mrp/VoidRequisition.h"
#include "platform/Form.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"
#include "window/HistoryDialog.h"
#include "window/MainWindow.h"

namespace {

class HistoryDialogTest : public ::testing::Test {
protected:
    HistoryDialogTest() {
        catalogue.SetParams(database.params());
        database.Run(mrptest::Product("A", "Assembly") + mrptest::Product("M1", "Material 1", "pcs", "12") +
                     mrptest::Bom("A", "M1", "3", "1") + mrptest::Order("B1", "P1") + mrptest::Line("B1", "A", "2") +
                     mrptest::Order("B2", "P2") + mrptest::Line("B2", "A", "1") +
                     "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '台北專案');");
    }

    std::unique_ptr<window::TFormMarlith> Open(bool active = false) {
        window::MainWindowOptions o;
        o.connection = database.params();
        o.engine.queryDumpPath = QDir(database.dir()).filePath("query.txt");
        o.readIdentifiers = [] { return window::RunIdentifiers{"A001", "S01"}; };
        o.showMessage = [this](const QString& text, int) {
            shown << text;
            return int(platform::mrOk);
        };
        o.chooseExportFile = [this](const QString& suggested) {
            offered << suggested;
            return exportAnswer;
        };
        // The print dialog's preview: its title and pages noted, printed to printFile.
        o.runPrintDialog = [this](QPrintPreviewDialog& dialog) {
            ShowOffscreen(&dialog);
            QCoreApplication::processEvents();
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            printed << dialog.windowTitle() + QString(" %1").arg(preview ? preview->pageCount() : -1);
            if (!preview || printFile.isEmpty()) return int(QDialog::Rejected);
            dialog.printer()->setOutputFileName(printFile);
            preview->print();
            return int(QDialog::Accepted);
        };
        o.askVoidReason = [this](const QString& number) {
            asked << number;
            return reasonAnswer;
        };
        auto w = std::make_unique<window::TFormMarlith>(catalogue, o);
        if (active)
            EXPECT_TRUE(ShowActive(w.get()));
        else
            ShowOffscreen(w.get());
        return w;
    }

    // Writes the project's requisition through the window's buttons.
    QString WriteThroughTheWindow(window::TFormMarlith& w, const QString& project) {
        w.bsSkinEdit1()->SetText(project);
        w.bsSkinButton1Click();
        w.bsSkinButton2Click();
        w.bsSkinButton3Click();
        return w.engine().requisitionNumber();
    }

    // Where the pictures go: $MARLITH_TEST_SHOTS when set (to look at them), else a
    // temporary folder.
    QString Shot(const QString& name) {
        const QString dir = qEnvironmentVariable("MARLITH_TEST_SHOTS", shots.path());
        return QDir(dir).filePath(name);
    }

    testsupport::TestDatabase database;
    db::Connection catalogue;
    QTemporaryDir shots;
    QStringList shown, offered, asked, printed;
    QString exportAnswer, printFile;
    std::optional<QString> reasonAnswer;
};

// The list's rows; the selected one stays selected.
QStringList Rows(data::DataSet& list) {
    QStringList out;
    const int current = list.RecNo();
    for (int rec = 1; rec <= list.RecordCount(); ++rec) {
        list.SetRecNo(rec);
        out << list.FieldByName("MASTERBILLID")->AsString() + ' ' + list.FieldByName("PROJ_ID")->AsString() + ' ' +
                   list.FieldByName("STATE")->AsString();
    }
    if (current > 0) list.SetRecNo(current);
    return out;
}

}  // namespace

TEST_F(HistoryDialogTest, ListsTheProjectInTheCodeEditAndVoidsTheSelectedAfterAskingWhy) {
    auto w = Open();
    const QString first = WriteThroughTheWindow(*w, "P1");
    ASSERT_FALSE(first.isEmpty());
    shown.clear();
    database.Run("INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) VALUES "
                 "('202001010001', '2020/01/01', 'P1', 'Y');");

    window::THistoryDialog* dialog = w->NewHistory();
    ShowOffscreen(dialog);
    EXPECT_EQ(dialog->windowTitle(), "請購單查詢");
    EXPECT_EQ(dialog->projectEdit()->Text(), "P1");
    EXPECT_EQ(Rows(dialog->list()), (QStringList{first + " P1 未結案", "202001010001 P1 已結案"}));
    EXPECT_EQ(dialog->SelectedNumber(), first);
    const QImage listed = dialog->grab().toImage();
    EXPECT_TRUE(listed.save(Shot("history-dialog.png")));

    // Cancelled: nothing happens.
    dialog->VoidClick();
    EXPECT_EQ(asked, QStringList{first});
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER WHERE MASTERBILLID = '" + first + "'"), "1");
    EXPECT_TRUE(shown.empty());

    reasonAnswer = "寫錯專案";
    dialog->VoidClick();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "請購單 " + first + " 已作廢。\n重新開放的訂單：B1");
    EXPECT_EQ(database.Scalar("SELECT TS FROM ORDER_MASTER WHERE MASTERBILLID = 'B1'"), "N");
    EXPECT_EQ(Rows(dialog->list()), (QStringList{first + " P1 已作廢", "202001010001 P1 已結案"}));
    EXPECT_EQ(dialog->SelectedNumber(), first);
    // The state column shows it: the grid's pixels change.
    EXPECT_NE(dialog->grab().toImage(), listed);

    // Once voided, or closed, it is refused with the reason; nothing changes.
    dialog->VoidClick();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], "請購單 " + first + " 已作廢");
    ASSERT_TRUE(dialog->Select("202001010001"));
    dialog->VoidClick();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[2], "請購單 202001010001 已結案，不能作廢");
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"), "1");

    // Another project, and a date that is not one.
    dialog->SetFilter("P2");
    dialog->Search();
    EXPECT_TRUE(Rows(dialog->list()).isEmpty());
    dialog->SetFilter("", "2020/01/01", "2020/1/31");
    dialog->Search();
    EXPECT_EQ(shown.last(), "日期「2020/1/31」不正確，請以 YYYY/MM/DD 輸入。");
}

TEST_F(HistoryDialogTest, PrintsSummarizesAndExportsTheSelectedThroughTheWindow) {
    auto w = Open();
    const QString number = WriteThroughTheWindow(*w, "P1");
    QTemporaryDir dir;
    window::THistoryDialog* dialog = w->NewHistory();
    ShowOffscreen(dialog);

    dialog->PrintClick();
    printFile = dir.filePath("summary.pdf");
    dialog->SummaryClick();
    EXPECT_EQ(printed, (QStringList{"列印請購單 " + number + " 1", "列印請購彙總 " + number + " 1"}));
    QFile pdf(printFile);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");

    exportAnswer = dir.filePath("history.csv");
    dialog->ExportClick();
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].endsWith("P1-請購單查詢.csv")) << offered[0].toStdString();
    QFile csv(exportAnswer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll().mid(3)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("單號,日期,專案,")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(number + ",")) << lines[1].toStdString();
    EXPECT_TRUE(shown.size() == 1) << "only the write's outcome";
}

// Listed as open, voided by another clerk before it is printed: the clerk is told it was
// voided (not that no such requisition exists), and no print dialog opens.
TEST_F(HistoryDialogTest, PrintingOneVoidedSinceItWasListedSaysItWasVoided) {
    auto w = Open();
    const QString number = WriteThroughTheWindow(*w, "P1");
    window::THistoryDialog* dialog = w->NewHistory();
    ShowOffscreen(dialog);
    ASSERT_EQ(Rows(dialog->list()), QStringList{number + " P1 未結案"});
    db::Connection other;
    other.SetParams(database.params());
    mrp::VoidRequisition(other, number, "寫錯專案", "B002", "S02");
    shown.clear();

    dialog->PrintClick();
    dialog->SummaryClick();
    ASSERT_EQ(shown.size(), 2);
    for (const QString& text : shown)
        EXPECT_EQ(text, "這張請購單已作廢，沒有可列印的內容。\n請購單 " + number + " 已作廢");
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(HistoryDialogTest, TheWindowOpensItByItsButtonAndByCtrlH) {
    auto w = Open(true);
    w->bsSkinEdit1()->SetText("P2");
    QStringList opened;
    // Each opening is modal: note what it lists and close it.
    const auto closeWhenOpen = [&opened] {
        QTimer::singleShot(50, [&opened] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<window::THistoryDialog*>(top); d && d->isVisible()) {
                    opened << d->projectEdit()->Text();
                    d->close();
                }
        });
    };
    // The shortcut first, while the window is surely the active one (after a modal
    // dialog, when the window system gives activation back is up to it); then the button.
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 2000));
    closeWhenOpen();
    QTest::keyClick(w.get(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_EQ(opened.size(), 1);
    closeWhenOpen();
    auto* button = w->findChild<skinctrls::TbsSkinButton*>("HistoryButton");
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(opened, (QStringList{"P2", "P2"}));
    // Placed in the bottom band's free left end: "轉請購單" keeps its place.
    EXPECT_LT(button->geometry().right(), w->bsSkinButton3()->geometry().left());
}

TEST_F(HistoryDialogTest, TheReasonFormReturnsTheReasonOrNothing) {
    auto w = Open();
    window::TVoidReasonDialog ask(w->bsSkinData1(), "202611020001", w.get());
    const QString shot = Shot("void-reason.png");
    QTimer::singleShot(50, [&ask, shot] {
        EXPECT_TRUE(ask.grab().toImage().save(shot));
        ask.reasonEdit()->SetText("  數量寫錯 ");
        ask.SetModalResult(platform::mrOk);
    });
    EXPECT_EQ(ask.Ask(), std::optional<QString>("數量寫錯"));
    QTimer::singleShot(50, [&ask] { ask.SetModalResult(platform::mrCancel); });
    EXPECT_EQ(ask.Ask(), std::nullopt);
}
