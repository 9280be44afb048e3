// "請購單查詢" over a fresh embedded database: the main window opens it on the project in
// its code edit (button, Ctrl+H), it lists the requisitions with their state, prints,
// exports and summarizes the selected one through the window, and voids it after asking
// the reason; its "採購計畫" plans the open requisitions it shows. Pictures of the dialog and of the reason form are real pixels, offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <algorithm>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "mrp/Fixture.h"
#include "mrp/Rules.h"
#include "mrp/VoidRequisition.h"
#include "platform/Form.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"
#include "window/HistoryDialog.h"
#include "window/MainWindow.h"
#include "window/PlanDialog.h"

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

// The lines of a CSV file the window exported, after its byte-order mark.
QStringList ExportedLines(const QString& path) {
    QFile csv(path);
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = csv.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    return QString::fromUtf8(bytes.mid(3)).split('\n', Qt::SkipEmptyParts);
}

// The plan's rows as the grid shows them, every column, "|" between them.
QStringList PlanRows(data::DataSet& table) {
    QStringList out;
    for (int rec = 1; rec <= table.RecordCount(); ++rec) {
        table.SetRecNo(rec);
        QStringList cells;
        for (int i = 0; i < table.FieldCount(); ++i) cells << table.Fields(i)->AsString();
        out << cells.join('|');
    }
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
    const QStringList lines = ExportedLines(exportAnswer);
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

// "採購計畫" of the list, driven by real clicks: the plan over the open requisitions the
// filter shows, read when the button is pressed (a requisition voided after the list was
// shown drops out), each supplier's subtotal and the grand total in the grid, printed and
// exported through the window; the buttons of the list keep their places.
TEST_F(HistoryDialogTest, PlansTheOpenRequisitionsPerSupplierNetOfStock) {
    auto w = Open();
    const QString p1 = WriteThroughTheWindow(*w, "P1");  // M1: 2 x 3 = 6
    ASSERT_FALSE(p1.isEmpty());
    // Another clerk's, for P2: M1 1 x 3 = 3.
    const QString p2 = "202611020002";
    db::Connection reading, writing;
    reading.SetParams(database.params());
    writing.SetParams(database.params());
    mrptest::WriteThroughWriter(reading, writing, {p2, "2026/11/02", "A002", "S01", "P2"}, {mrptest::Row("M1", 3, "B2")},
                                {"B2"});
    // M1 is now bought from V01, 4 on the shelf; an old requisition asks 10 of M2, a
    // product gone, from the supplier it was written with.
    database.Run("UPDATE PRODUCT SET PROVIDER_ID = 'V01', PROVIDER_NAME = '五金行', NOW_QTY = 4 WHERE PROD_ID = 'M1';\n"
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) VALUES "
                 "('202001010001', '2020/01/01', 'P3', 'N');\n"
                 "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, PROD_NAME, UNITNAME, QTY, STD_COST, PROVIDER_ID, "
                 "PROVIDER_NAME, CLOSED) VALUES ('202001010001', 'M2', '墊圈', '個', 10, 5, 'V02', '鋼鐵廠', 'N');");
    shown.clear();
    window::THistoryDialog* dialog = w->NewHistory();
    dialog->SetFilter("");
    dialog->Search();
    ShowOffscreen(dialog);
    ASSERT_EQ(Rows(dialog->list()).size(), 3);
    // Voided by that clerk while the list is on the screen.
    mrp::VoidRequisition(writing, p2, "重複", "A002", "S01");

    // The list's buttons where they were; the new one after them.
    QStringList places;
    for (auto* b : dialog->findChildren<skinctrls::TbsSkinButton*>())
        places << QString("%1@%2").arg(b->Caption()).arg(b->geometry().left());
    QStringList expected{"列印@8", "匯出 CSV@91", "彙總@174", "作廢@257", "採購計畫@340", "查詢@428", "關閉@675"};
    std::sort(places.begin(), places.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(places, expected);

    QTemporaryDir dir;
    printFile = dir.filePath("plan.pdf");
    exportAnswer = dir.filePath("plan.csv");
    QStringList planRows;
    QString heading;
    bool seen = false;
    const QString shot = Shot("plan-dialog.png");
    // The plan is modal: looked at and used from inside its own event loop.
    QTimer::singleShot(100, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* plan = qobject_cast<window::TPlanDialog*>(top); plan && plan->isVisible()) {
                seen = true;
                planRows = PlanRows(plan->table());
                heading = plan->findChild<skinctrls::TbsSkinStdLabel*>("PlanHeading")->Caption();
                EXPECT_TRUE(plan->grab().toImage().save(shot));
                for (const char* name : {"PlanPrint", "PlanExport", "PlanClose"}) {
                    auto* b = plan->findChild<skinctrls::TbsSkinButton*>(name);
                    if (b) QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
                    else ADD_FAILURE() << name;
                }
            }
    });
    auto* planButton = dialog->findChild<skinctrls::TbsSkinButton*>("HistoryPlan");
    ASSERT_TRUE(planButton);
    QTest::mouseClick(planButton, Qt::LeftButton, {}, planButton->rect().center());
    ASSERT_TRUE(seen) << shown.join('\n').toStdString();

    // M1: 6 asked (P2's 3 voided), 4 on hand: 2 to buy x 12 = 24. M2: 10 x 5 = 50.
    EXPECT_EQ(planRows, (QStringList{"V01|五金行|M1|Material 1|pcs|6|4|2|12|24|" + p1, "V01|五金行|小計|||||||24|",
                                     "V02|鋼鐵廠|M2|墊圈|個|10|0|10|5|50|202001010001", "V02|鋼鐵廠|小計|||||||50|",
                                     "||總計|||||||74|"}));
    EXPECT_TRUE(heading.startsWith("請購期間：全部未結案")) << heading.toStdString();
    EXPECT_EQ(printed, QStringList{"列印採購計畫 全部未結案 2"});
    QFile pdf(printFile);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].endsWith("採購計畫.csv")) << offered[0].toStdString();
    const QStringList lines = ExportedLines(exportAnswer);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "供應商,供應商名稱,品號,品名,單位,需求量,庫存,建議量,成本,金額,請購單");
    EXPECT_EQ(lines[5], ",,總計,,,,,,,74,");
    EXPECT_TRUE(shown.empty()) << shown.join('\n').toStdString();

    // A range without open requisitions: said, and no dialog.
    dialog->SetFilter("", "2000/01/01", "2000/01/31");
    QTest::mouseClick(planButton, Qt::LeftButton, {}, planButton->rect().center());
    EXPECT_EQ(shown, QStringList{"請購期間 2000/01/01 至 2000/01/31 沒有未結案的請購明細。"});
    // Nothing was written: the requisitions are as they were.
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER WHERE CLOSED = 'N'"), "2");
}

// Without a project the list opens on the last 31 days, shown in the date fields: twenty
// years of requisitions are not read to show a screenful. Widened, it lists the rest.
TEST_F(HistoryDialogTest, WithoutAProjectItOpensOnTheLast31Days) {
    auto w = Open();
    const QString recent = WriteThroughTheWindow(*w, "P1");
    ASSERT_FALSE(recent.isEmpty());
    database.Run("INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) VALUES "
                 "('202001010001', '2020/01/01', 'P2', 'Y');");
    w->bsSkinEdit1()->SetText("");

    window::THistoryDialog* dialog = w->NewHistory();
    ShowOffscreen(dialog);
    const QDate today = QDate::currentDate();
    auto* from = dialog->findChild<skinctrls::TbsSkinEdit*>("HistoryFrom");
    auto* to = dialog->findChild<skinctrls::TbsSkinEdit*>("HistoryTo");
    ASSERT_TRUE(from && to);
    EXPECT_EQ(from->Text(), mrp::DateText(today.addDays(-30)));
    EXPECT_EQ(to->Text(), mrp::DateText(today));
    EXPECT_EQ(Rows(dialog->list()), QStringList{recent + " P1 未結案"});

    dialog->SetFilter("", "2020/01/01", "");
    dialog->Search();
    EXPECT_EQ(Rows(dialog->list()), (QStringList{recent + " P1 未結案", "202001010001 P2 已結案"}));
}
