// The main window on a fresh embedded database: its skinned build, the road from a
// typed project code to a stored requisition through its buttons, errors shown in its
// message dialog, and the work table dropped however the window is left.

#include <gtest/gtest.h>

#include <QFile>

#include <QContextMenuEvent>

#include <QTemporaryDir>

#include <QTest>
#include <QTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QScreen>
#include <QComboBox>
#include <QLineEdit>
#include <QButtonGroup>
#include <QAbstractButton>
#include <QMessageBox>
#include <QClipboard>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTranslator>
#include <QAction>
#include <QLibraryInfo>

#include "app/DemoData.h"
#include "data/DataSet.h"
#include "mrp/Fixture.h"
#include "lookup/DBGrid.h"
#include "lookup/Getdata.h"
#include "lookup/SpeedButton.h"
#include "window/FirstStart.h"
#include "window/MainWindow.h"
#include "window/Translations.h"
#include "report/Requisition.h"
#include "report/RequisitionPdf.h"
#include "skin/SkinData.h"
#include "frame/SkinFrame.h"
#include "platform/Form.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"

namespace {

struct Shown {
    QString text;
    int kind;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        catalogue.SetParams(database.params());
        database.Run(mrptest::Product("A", "Assembly") + mrptest::Product("M1", "Material 1", "pcs", "12") +
                     mrptest::Bom("A", "M1", "3", "1") + mrptest::Order("B1", "P1") + mrptest::Line("B1", "A", "2") +
                     mrptest::Line("B1", "A", "5") +
                     "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '台北專案');");
    }

    std::unique_ptr<window::TFormMarlith> Build(bool skin = true) {
        window::MainWindowOptions o;
        o.connection = database.params();
        o.carriedSkin = skin;
        o.engine.queryDumpPath = QDir(database.dir()).filePath("query.txt");
        o.readIdentifiers = [this] { return identifiers; };
        if (!realMessages)
            o.showMessage = [this](const QString& text, int kind) {
                // The question before a write is answered as a clerk pressing Enter does
                // (its default Yes) unless a test says otherwise, and kept apart.
                if (kind == skinctrls::mtConfirmation) {
                    confirmations << text;
                    return confirmAnswer;
                }
                shown.push_back({text, kind});
                return messageAnswer;
            };
        if (!realFileDialog)
            o.chooseExportFile = [this](const QString& suggested) {
                offered << suggested;
                return exportAnswer;
            };
        // Nobody is there to answer a print dialog that a test does not look at.
        o.runPrintDialog = [this](QPrintPreviewDialog& dialog) {
            return printDialog ? printDialog(dialog) : int(QDialog::Rejected);
        };
        return std::make_unique<window::TFormMarlith>(catalogue, o);
    }

    std::unique_ptr<window::TFormMarlith> Open(bool skin = true, bool active = false) {
        auto w = Build(skin);
        if (active)
            EXPECT_TRUE(ShowActive(w.get()));
        else
            ShowOffscreen(w.get());
        return w;
    }

    bool TableExists(const QString& name) {
        return database.Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '" + name + "'") == "1";
    }

    testsupport::TestDatabase database;
    db::Connection catalogue;
    window::RunIdentifiers identifiers{"A001", "S01"};
    std::vector<Shown> shown;
    QStringList offered;   // the file names the export offered
    QString exportAnswer;  // the file the export is told to write
    int messageAnswer = 1;  // the modal result every message is answered with (OK)
    QStringList confirmations;                // the questions asked before a write
    int confirmAnswer = platform::mrYes;      // and their answer
    std::function<int(QPrintPreviewDialog&)> printDialog;  // runs the print dialog
    bool realMessages = false;  // the window's own skinned dialog instead of the answers above
    bool realFileDialog = false;  // the platform's file dialog instead of exportAnswer
};

// The pages of a PDF file as pdfinfo counts them; -1 when it cannot.
int PdfPages(const QString& path) {
    QProcess p;
    p.start("pdfinfo", {path});
    if (!p.waitForFinished(60000)) return -1;
    const QRegularExpressionMatch m =
        QRegularExpression("^Pages:\\s+(\\d+)$", QRegularExpression::MultilineOption).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST_F(MainWindowTest, BuildsTheSkinnedWindowWithItsFittedControls) {
    struct Case {
        bool skin;
        int buttonHeight, editHeight;
    };
    for (const Case c : {Case{true, 28, 18}, Case{false, 25, 20}}) {
        SCOPED_TRACE(c.skin);
        auto w = Open(c.skin);
        EXPECT_EQ(w->windowTitle(), QString("物料需求計算"));
        EXPECT_EQ(w->Client()->size(), QSize(734, 480));
        EXPECT_EQ(w->bsSkinData1()->IsEmpty(), !c.skin);
        for (auto* b : {w->bsSkinButton1(), w->bsSkinButton2(), w->bsSkinButton3(), w->bsSkinButton4()})
            EXPECT_EQ(b->height(), c.buttonHeight) << b->objectName().toStdString();
        EXPECT_EQ(w->bsSkinEdit1()->height(), c.editHeight);
        EXPECT_EQ(w->bsSkinEdit2()->height(), c.editHeight);
        for (const char* name : {"bsSkinDBGrid1", "bsSkinDBGrid2"}) {
            auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>(name);
            ASSERT_TRUE(grid) << name;
            // A row's delete confirmation asks through the platform's message box.
            EXPECT_EQ(grid->SkinMessage(), nullptr) << name;
        }
        EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
        EXPECT_TRUE(TableExists(w->engine().workTableName()));
        EXPECT_EQ(w->engine().userId(), QString("A001"));
    }
}

// A settings file without a user: the window opens as before, and warns once the clerk
// can see it, once.
TEST_F(MainWindowTest, TheSettingsWarningComesOnceOverTheShownWindow) {
    identifiers = {"", "S01", "設定檔 Dovanta.ini 沒有使用者代號"};
    auto w = Build();
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.empty()) << "not before the window is shown";
    ShowOffscreen(w.get());
    for (int i = 0; i < 100 && shown.empty(); ++i) QTest::qWait(10);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, identifiers.warning);
    EXPECT_EQ(shown[0].kind, 0);
    w->hide();
    ShowOffscreen(w.get());
    QTest::qWait(20);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(w->engine().userId(), QString());
    EXPECT_EQ(w->engine().storeId(), QString("S01"));
    EXPECT_TRUE(TableExists(w->engine().workTableName()));
}

TEST_F(MainWindowTest, FromProjectCodeToStoredRequisitionThroughTheButtons) {
    auto w = Open(true, true);
    w->bsSkinEdit1()->setFocus();
    w->bsSkinEdit1()->SetText("P1");
    // Leaving the code edit looks the name up.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString("台北專案"));

    QTest::mouseClick(w->bsSkinButton1(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(w->engine().orderList().RecordCount(), 2);
    EXPECT_TRUE(w->bsSkinButton2()->isEnabled());
    QTest::mouseClick(w->bsSkinButton2(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(w->bsSkinButton2()->isEnabled());
    EXPECT_EQ(w->engine().materialList().RecordCount(), 2);
    QTest::mouseClick(w->bsSkinButton3(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString(mrp::kWriteSucceeded) + "\n請購單號：" +
                                 database.Scalar("SELECT MASTERBILLID FROM PETITION_MASTER"));
    EXPECT_EQ(shown[0].kind, 2);
    for (auto* b : {w->bsSkinButton1(), w->bsSkinButton2(), w->bsSkinButton3()}) EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(w->bsSkinButton4()->isEnabled());
    EXPECT_EQ(database.Scalar("SELECT SUM(QTY) FROM PETITION_SUB"), "21");
    EXPECT_EQ(database.Scalar("SELECT TS FROM ORDER_MASTER WHERE MASTERBILLID = 'B1'"), "Y");
}

// What the clerk leaves in the material grid is what "轉請購單" writes: a quantity typed
// without Enter, a row appended and only half filled. Text the quantity cannot hold is
// refused when the button is clicked, and nothing is written or used up.
TEST_F(MainWindowTest, MaterialGridEditsAreWrittenAsTheyStand) {
    auto w = Open(true, true);
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    data::DataSet& acds = w->engine().materialList();
    grid->setFocus();
    acds.First();
    grid->SetSelectedIndex(2);
    QTest::keyClicks(grid, "x");
    auto clickWrite = [&] { QTest::mouseClick(w->bsSkinButton3(), Qt::LeftButton, {}, QPoint(10, 10)); };

    // The grid's message comes once the click is over; it is answered when it is up.
    QString refusal;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refusal = box->text();
            box->accept();
        }
    });
    answer.start(10);
    clickWrite();
    for (int i = 0; i < 200 && refusal.isEmpty(); ++i) QTest::qWait(10);
    answer.stop();
    EXPECT_EQ(refusal, "'x' is not a valid floating point value");
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(w->bsSkinButton3()->isEnabled());
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    ASSERT_TRUE(ShowActive(w.get()));

    grid->InplaceEditor()->selectAll();
    QTest::keyClicks(grid->InplaceEditor(), "9");
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    ASSERT_EQ(acds.State(), data::DataSetState::Insert);
    grid->SetSelectedIndex(0);
    QTest::keyClicks(grid, "M9");
    clickWrite();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString(mrp::kWriteSucceeded) + "\n請購單號：" +
                                 database.Scalar("SELECT MASTERBILLID FROM PETITION_MASTER"));
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "3");
    EXPECT_EQ(database.Scalar("SELECT SUM(QTY) FROM PETITION_SUB WHERE PROD_ID = 'M1'"), "24");
    EXPECT_EQ(database.Scalar("SELECT QTY FROM PETITION_SUB WHERE PROD_ID = 'M9'"), "0");
}

// A command button disables itself while it runs: the keyboard then goes to the code
// edit, never into the editable material grid, so letters typed after a click on
// "物料展開" change no material. What the clerk types into the grid after clicking a
// cell is written, and after "轉請購單" the keyboard is back in the code edit.
TEST_F(MainWindowTest, ACommandThatDisablesItselfLeavesTheKeyboardWithTheCodeEdit) {
    auto w = Open(true, true);
    auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    data::DataSet& acds = w->engine().materialList();
    auto click = [](QWidget* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10)); };
    auto materials = [&] {
        QStringList rows;
        data::ForEachRecord(acds, [&] { rows << acds.FieldByName("PROD_ID")->AsString() + "/" + acds.FieldByName("QTY")->AsString(); });
        return rows;
    };
    w->bsSkinEdit1()->setFocus();
    QTest::keyClicks(kFocus, "P1");
    click(w->bsSkinButton1());
    click(w->bsSkinButton2());
    ASSERT_FALSE(w->bsSkinButton2()->isEnabled());
    const QStringList expanded = materials();
    ASSERT_EQ(expanded.size(), 2);

    QTest::keyClicks(kFocus, "zz");  // to wherever the keyboard is
    EXPECT_EQ(QApplication::focusWidget(), w->bsSkinEdit1()->LineEdit());
    EXPECT_EQ(w->bsSkinEdit1()->Text(), QString("P1zz"));
    EXPECT_EQ(acds.State(), data::DataSetState::Browse);
    EXPECT_EQ(materials(), expanded);

    // On purpose: a click on the first row's product cell, then typing.
    w->bsSkinEdit1()->SetText("P1");
    acds.First();
    const QRect cell = grid->CellRect(1, 1);
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(QApplication::focusWidget() == grid || QApplication::focusWidget() == grid->InplaceEditor());
    QTest::keyClicks(kFocus, "M7");
    QTest::keyClick(kFocus, Qt::Key_Return);
    // M7 has no product row: the write asks first; No writes nothing and takes no number.
    confirmAnswer = platform::mrNo;
    click(w->bsSkinButton3());
    ASSERT_EQ(confirmations.size(), 1);
    EXPECT_TRUE(confirmations[0].contains("M7")) << confirmations[0].toStdString();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    confirmAnswer = platform::mrYes;
    click(w->bsSkinButton3());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE PROD_ID = 'M7'"), "1");
    EXPECT_EQ(QApplication::focusWidget(), w->bsSkinEdit1()->LineEdit());
}

// The lines nobody would buy from are named in the window's skinned confirmation before
// a write: Enter takes the default Yes, Escape answers No. A long list shows its first
// twenty lines and how many more there are, and the dialog stays within the screen.
TEST_F(MainWindowTest, OddLinesAreConfirmedInTheSkinnedDialog) {
    realMessages = true;
    auto w = Open(true, true);
    QStringList many;
    for (int i = 1; i <= 45; ++i) many << QStringLiteral("M%1 材料%1：數量 0.2，請購量為 0").arg(i);
    struct Case {
        QStringList lines;
        Qt::Key key;
        bool yes;
    };
    for (const Case& c : {Case{many.mid(0, 2), Qt::Key_Return, true}, Case{many.mid(0, 2), Qt::Key_Escape, false},
                          Case{many, Qt::Key_Return, true}}) {
        SCOPED_TRACE(c.lines.size());
        QString text;
        QRect dialog;
        QStringList buttons;
        QTimer::singleShot(0, w.get(), [&] {
            QWidget* dlg = QApplication::activeModalWidget();
            ASSERT_TRUE(dlg);
            text = dlg->findChild<skinctrls::TbsSkinStdLabel*>("Message")->Caption();
            dialog = dlg->frameGeometry();
            for (auto* b : dlg->findChildren<skinctrls::TbsSkinButton*>()) buttons << b->Caption();
            QTest::keyClick(dlg, c.key);
        });
        EXPECT_EQ(w->ConfirmOddLines(c.lines), c.yes);
        EXPECT_EQ(buttons, (QStringList{"&Yes", "&No"}));
        const QStringList shownLines = text.split('\n');
        ASSERT_GE(shownLines.size(), 3);
        EXPECT_EQ(shownLines.front(), QString("下列物料明細可能有誤："));
        EXPECT_EQ(shownLines.back(), QString("仍要轉請購單嗎?"));
        EXPECT_EQ(shownLines[1], c.lines[0]);
        if (c.lines.size() > 20) {
            EXPECT_EQ(shownLines.size(), 23);
            EXPECT_EQ(shownLines[20], c.lines[19]);
            EXPECT_EQ(shownLines[21], QString("…另有 25 筆"));
        } else {
            EXPECT_EQ(shownLines.size(), c.lines.size() + 2);
        }
        EXPECT_TRUE(w->screen()->availableGeometry().contains(dialog)) << dialog.height();
    }
}

// The code edit is changed to another project after its orders were listed and
// expanded: "轉請購單" refuses and says so, writes and marks nothing, takes no number.
TEST_F(MainWindowTest, AProjectCodeChangedAfterListingIsRefusedAtTheWrite) {
    database.Run(mrptest::Order("B2", "P2") + mrptest::Line("B2", "A", "1") +
                 "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P2', '新竹專案');");
    auto w = Open(true, true);
    auto click = [](QWidget* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10)); };
    w->bsSkinEdit1()->setFocus();
    QTest::keyClicks(kFocus, "P1");
    click(w->bsSkinButton1());
    click(w->bsSkinButton2());
    ASSERT_EQ(w->engine().materialList().RecordCount(), 2);
    w->bsSkinEdit1()->setFocus();
    w->bsSkinEdit1()->LineEdit()->selectAll();
    QTest::keyClicks(kFocus, "P2");
    click(w->bsSkinButton3());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString(mrp::kProjectChangedRefused));
    for (const char* table : {"PETITION_MASTER", "PETITION_SUB", "TEMP_PETITIONID"})
        EXPECT_EQ(database.Scalar(QString("SELECT COUNT(*) FROM %1").arg(table)), "0") << table;
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE TS = 'Y'"), "0");
}

// A number that cannot be reserved is said as the database's failure (not as a write that
// failed), once the commands are disabled.
TEST_F(MainWindowTest, ANumberThatCannotBeReservedIsShownAsTheDatabasesError) {
    database.Run("ALTER TABLE TEMP_PETITIONID ADD CONSTRAINT NO_NUMBER CHECK (LAST_ID < 0);");
    auto w = Open();
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    w->bsSkinButton3Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("資料庫錯誤，請稍後再試或通知系統管理員。\n")) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.contains("NO_NUMBER")) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].kind, 1);
    for (auto* b : {w->bsSkinButton1(), w->bsSkinButton2(), w->bsSkinButton3()}) EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
}

// A day's counter row that cannot give a number is said as what it is, with the row and
// how to mend it; nothing is taken or written.
TEST_F(MainWindowTest, ACounterRowThatCannotCountIsShownWithHowToMendIt) {
    const QString today = mrp::DateText(QDate::currentDate());
    database.Run("INSERT INTO TEMP_PETITIONID VALUES ('" + today + "', NULL);");
    auto w = Open();
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    w->bsSkinButton3Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("無法取得請購單號，請通知系統管理員修正計數資料。\n請購單號的計數資料有誤："
                                         "TEMP_PETITIONID 表中 BILL_DATE 為 " + today + " 的 LAST_ID 是 空值 (NULL)。"))
        << shown[0].text.toStdString();
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(database.Scalar("SELECT COALESCE(LAST_ID, -1) FROM TEMP_PETITIONID"), "-1");
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE TS = 'Y'"), "0");
}

// The keyboard reaches every control: Tab walks them in reading order (the project row,
// the order grid, "物料展開", the material grid, "請購單查詢", "轉請購單") and Shift+Tab
// back, Ctrl+Tab and Ctrl+Shift+Tab leave a grid (where Tab moves between cells);
// Enter in the code edit runs "確定" while it is enabled; F4 and Alt+Down open the
// lookup, where Escape cancels wherever the focus is.
TEST_F(MainWindowTest, TheKeyboardReachesEveryControl) {
    auto w = Open(true, true);
    auto* orders = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid1");
    auto* materials = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    auto* history = w->findChild<skinctrls::TbsSkinButton*>("HistoryButton");
    auto owner = [] {
        QWidget* f = QApplication::focusWidget();
        return f && qobject_cast<skinctrls::TbsSkinEdit*>(f->parentWidget()) ? f->parentWidget() : f;
    };
    struct Step {
        Qt::KeyboardModifiers modifiers;
        QWidget* to;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const std::vector<Step> forwards{
        {{}, w->bsSkinEdit2()},  {{}, w->bsSkinButton1()}, {{}, w->bsSkinButton4()},   {{}, orders},
        {ctrl, w->bsSkinButton2()}, {{}, materials},       {ctrl, history},            {{}, w->bsSkinButton3()},
        {{}, w->bsSkinEdit1()},
    };
    const std::vector<Step> backwards{
        {shift, w->bsSkinButton3()}, {shift, history}, {shift, materials}, {ctrl | shift, w->bsSkinButton2()},
        {shift, orders},
        {ctrl | shift, w->bsSkinButton4()}, {shift, w->bsSkinButton1()}, {shift, w->bsSkinEdit2()},
        {shift, w->bsSkinEdit1()},
    };
    for (const auto* walk : {&forwards, &backwards}) {
        w->bsSkinEdit1()->setFocus();
        for (const Step& s : *walk) {
            QTest::keyClick(kFocus, Qt::Key_Tab, s.modifiers);
            ASSERT_EQ(owner(), s.to) << (walk == &forwards ? "forwards to " : "backwards to ")
                                     << s.to->objectName().toStdString();
        }
    }

    // Enter in the code edit: the name and the order list, as "確定" gives them.
    w->bsSkinEdit1()->setFocus();
    QTest::keyClicks(kFocus, "P1");
    QTest::keyClick(kFocus, Qt::Key_Return);
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString("台北專案"));
    EXPECT_EQ(w->engine().orderList().RecordCount(), 2);
    EXPECT_EQ(owner(), w->bsSkinEdit1());
    // With "確定" disabled, Enter runs nothing.
    w->bsSkinButton1()->setEnabled(false);
    w->bsSkinEdit1()->setFocus();
    w->bsSkinEdit1()->SetText("NOPE");
    QTest::keyClick(kFocus, Qt::Key_Return);
    EXPECT_EQ(w->engine().orderList().RecordCount(), 2);
    w->bsSkinButton1()->setEnabled(true);

    // F4 and Alt+Down open the lookup; Escape in its grid or its value edit cancels it.
    struct Open {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* escapeIn;
    };
    for (const Open o : {Open{Qt::Key_F4, {}, "grid"}, Open{Qt::Key_Down, Qt::AltModifier, "value edit"}}) {
        SCOPED_TRACE(o.escapeIn);
        bool opened = false;
        QTimer answer;  // once the lookup is up
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<lookup::TFrmgetdata*>(QApplication::activeModalWidget());
            if (!dlg) return;
            answer.stop();
            opened = true;
            QWidget* in = QLatin1String(o.escapeIn) == "grid" ? static_cast<QWidget*>(dlg->controls().DBGrid1)
                                                               : dlg->controls().Edit1;
            in->setFocus();
            QTest::keyClick(in, Qt::Key_Escape);
            EXPECT_FALSE(dlg->isVisible()) << "Escape closes the lookup";
            if (dlg->isVisible()) dlg->close();
        });
        answer.start(10);
        w->bsSkinEdit1()->setFocus();
        w->bsSkinEdit1()->SetText("P1");
        QTest::keyClick(kFocus, o.key, o.modifiers);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(opened);
        EXPECT_EQ(w->bsSkinEdit1()->Text(), QString("P1")) << "cancelled: nothing taken";
        EXPECT_FALSE(lookup::LookupAccepted);
        EXPECT_EQ(owner(), w->bsSkinEdit1());
    }
    EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
}

// After each dialog (the window's own message, the lookup, the platform's file dialog)
// the keyboard is back in the window, on the control that had it; MainWindowXvfb runs
// this under an X server without a window manager too.
TEST_F(MainWindowTest, FocusReturnsAfterEachDialog) {
    realMessages = true;
    realFileDialog = true;
    auto w = Open(true, true);
    auto* orders = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid1");
    auto* materials = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    // Answers the dialog up next with Escape once it is the active window.
    auto escapeNextDialog = [&](bool* seen) {
        auto* timer = new QTimer(w.get());
        QObject::connect(timer, &QTimer::timeout, [timer, seen] {
            QWidget* dlg = QApplication::activeModalWidget();
            if (!dlg || !dlg->isActiveWindow()) return;
            *seen = true;
            timer->deleteLater();
            QWidget* in = dlg->focusWidget() ? dlg->focusWidget() : dlg;
            QTest::keyClick(in, Qt::Key_Escape);
        });
        timer->start(20);
    };
    auto backIn = [&](QWidget* control) {
        return QTest::qWaitFor([&] {
            return QGuiApplication::focusWindow() == w->windowHandle() && QApplication::activeWindow() == w.get() &&
                   QApplication::focusWidget() == control;
        }, 5000);
    };
    struct Case {
        const char* dialog;
        QWidget* focused;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"message", materials, [&] { w->ConfirmOddLines({"M1"}); }},
        {"lookup", w->bsSkinEdit1()->LineEdit(), [&] { QTest::keyClick(kFocus, Qt::Key_F4); }},
        {"file", orders, [&] { EXPECT_FALSE(w->ExportGridCsv(orders)); }},
        {"file again", w->bsSkinEdit1()->LineEdit(), [&] { EXPECT_FALSE(w->ExportGridCsv(materials)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        c.focused->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(backIn(c.focused));
        bool seen = false;
        escapeNextDialog(&seen);
        c.open();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(seen);
        EXPECT_TRUE(backIn(c.focused)) << "focus window " << (QGuiApplication::focusWindow() ? "another" : "none");
    }
}

// The test above under an X server without a window manager (xvfb-run), where nothing
// but the program puts the keyboard back after a dialog.
TEST(MainWindowXvfb, FocusReturnsAfterEachDialogWithoutAWindowManager) {
    const QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
    if (xvfbRun.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(xvfbRun, {"-a", "-s", "-screen 0 1024x768x24", QCoreApplication::applicationFilePath(),
                      "--gtest_filter=MainWindowTest.FocusReturnsAfterEachDialog"});
    ASSERT_TRUE(p.waitForFinished(120000)) << p.errorString().toStdString();
    const QString out = QString::fromLocal8Bit(p.readAll());
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

TEST_F(MainWindowTest, AnUnknownProjectGivesNoNameAndDisablesTheCommands) {
    auto w = Open();
    w->bsSkinEdit1()->SetText("NOPE'");
    w->bsSkinEdit1Exit();
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString());
    w->bsSkinButton1Click();
    EXPECT_FALSE(w->bsSkinButton2()->isEnabled());
    EXPECT_FALSE(w->bsSkinButton3()->isEnabled());
    EXPECT_TRUE(w->bsSkinButton1()->isEnabled());
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainWindowTest, AHandlerErrorIsShownAndTheWindowStays) {
    auto w = Open();
    // Expanding before any "確定" meets the closed order list.
    w->bsSkinButton2Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, 1);
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_TRUE(w->isVisible());
    // The window still works afterwards.
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    EXPECT_EQ(w->engine().orderList().RecordCount(), 2);
}

// The grids place their bars after every size change, whatever its source: after the
// window is maximized and restored through its frame, a material list that does not fit
// shows both bars again, inside the material area.
TEST_F(MainWindowTest, TheGridsBarsComeBackAfterMaximizeAndRestore) {
    QString more;
    for (int i = 2; i <= 40; ++i) {
        const QString m = QStringLiteral("M%1").arg(i);
        // Names long enough that the list is wider than the window even with its columns
        // fitted to their values.
        more += mrptest::Product(m, "Material " + m + " (stainless, 40 x 40 mm, boxed)", "pcs", "1") +
                mrptest::Bom("A", m, "1", "1");
    }
    database.Run(more);
    auto w = Open(true, true);
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    ASSERT_TRUE(grid);
    auto barsShown = [&] {
        QCoreApplication::processEvents();
        const QRect area = grid->parentWidget()->rect();
        for (QWidget* bar : {static_cast<QWidget*>(grid->HScrollBar()), static_cast<QWidget*>(grid->VScrollBar())}) {
            if (!bar->isVisible() || !area.contains(bar->geometry())) return false;
        }
        return true;
    };
    ASSERT_TRUE(barsShown()) << "40 materials and their columns do not fit the restored window";
    auto* frame = w->findChild<frame::TbsSkinFrame*>();
    ASSERT_TRUE(frame);
    const QSize restored = w->size();
    // Maximized and restored through the frame (on a screen where the maximized window
    // fits every column and row), and made large and small again by a resize.
    for (const char* way : {"frame", "resize", "frame"}) {
        if (QLatin1String(way) == "frame") {
            frame->SetFrameState(frame::wsMaximized);
            QCoreApplication::processEvents();
            frame->SetFrameState(frame::wsNormal);
        } else {
            w->resize(1900, 1400);
            QCoreApplication::processEvents();
            EXPECT_FALSE(grid->HScrollBar()->isVisible()) << "every column fits the large window";
            w->resize(restored);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(w->size(), restored) << way;
        EXPECT_TRUE(barsShown()) << way;
    }
}

// At the window's default size the demo project's lists read without scrolling: the
// material list up to the quantity that is written (R_QTY), the order list up to its
// fourth column (the order number); the columns are as wide as their titles and values.
TEST_F(MainWindowTest, AtTheDefaultSizeTheListsReadWithoutScrolling) {
    database.Run(app::DemoDataScript());
    auto w = Open();
    w->bsSkinEdit1()->SetText("P2026-001");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    QCoreApplication::processEvents();
    ASSERT_GT(w->engine().orderList().RecordCount(), 0);
    ASSERT_GT(w->engine().materialList().RecordCount(), 0);
    struct Case {
        const char* grid;
        const char* field;  // the last column that must show, by field
        int shown;          // or by place among the shown columns
    } cases[] = {{"bsSkinDBGrid1", nullptr, 3}, {"bsSkinDBGrid2", "R_QTY", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid);
        auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>(c.grid);
        ASSERT_TRUE(grid);
        int col = c.shown < 0 ? -1 : grid->FixedCols() + c.shown;
        for (int gc = grid->FixedCols(); c.field && gc < grid->ColCount(); ++gc)
            if (grid->ColumnAt(gc) && grid->ColumnAt(gc)->FieldName() == QLatin1String(c.field)) col = gc;
        ASSERT_GE(col, grid->FixedCols());
        ASSERT_LT(col, grid->ColCount());
        EXPECT_EQ(grid->LeftCol(), grid->FixedCols());
        const QRect cell = grid->CellRect(col, grid->FixedRows());
        ASSERT_FALSE(cell.isNull());
        EXPECT_LE(cell.right(), grid->ClientRect().right());
    }
}

// "匯出 CSV…" in a grid's context menu (the skinned popup menu) writes the grid's columns
// and rows as a spreadsheet opens them: a byte-order mark, UTF-8, the titles as the
// header, quotes and commas in a name quoted, the Chinese text read from the database.
TEST_F(MainWindowTest, AGridsContextMenuExportsItsRowsAsCsv) {
    database.Run(mrptest::Product("M2", QStringLiteral("螺絲, \"大\"號"), QStringLiteral("個"), "2") +
                 mrptest::Bom("A", "M2", "1", "1"));
    QTemporaryDir dir;
    exportAnswer = dir.filePath("materials.csv");
    auto w = Build();
    ASSERT_TRUE(ShowActive(w.get()));
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid2");
    const int current = w->engine().materialList().RecNo();

    // A right click opens the menu; Enter chooses its one item.
    const QPoint at(60, 40);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
    QApplication::sendEvent(grid, &menu);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup) << "the context menu is open";
    QTest::keyClick(popup, Qt::Key_Return);
    QCoreApplication::processEvents();

    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].endsWith(QStringLiteral("P1-物料需求.csv"))) << offered[0].toStdString();
    QFile file(exportAnswer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "a byte-order mark for the spreadsheet";
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("PROD_ID,PROD_NAME,")) << lines[0].toStdString();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith(QStringLiteral("M2,\"螺絲, \"\"大\"\"號\",")); }))
        << bytes.toStdString();
    EXPECT_EQ(w->engine().materialList().RecNo(), current) << "the grid's current row stays";
    EXPECT_TRUE(shown.empty());

    // A file that cannot be written is an error naming it, and nothing is written.
    exportAnswer = dir.filePath("no-such-folder/m.csv");
    EXPECT_THROW(w->ExportGridCsv(grid), std::runtime_error);
    EXPECT_FALSE(QFile::exists(exportAnswer));
    // No answer from the dialog: nothing written.
    exportAnswer.clear();
    EXPECT_FALSE(w->ExportGridCsv(grid));
}

// The outcome of a write offers "列印": the requisition just written in the print
// preview, laid out page for page as `marlith print` lays out its PDF (300 lines, 150
// materials on each of the two order lines, take several pages), and printed from there (to a PDF file: the printer of a machine
// without one). A cancelled print prints nothing and leaves everything as it was.
TEST_F(MainWindowTest, TheOutcomeOfAWriteOffersToPrintTheRequisition) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    QString more;
    for (int i = 2; i <= 150; ++i) {
        const QString m = QStringLiteral("M%1").arg(i);
        more += mrptest::Product(m, QStringLiteral("封邊條%1號").arg(i), QStringLiteral("捲"), "2") +
                mrptest::Bom("A", m, "1", "1");
    }
    database.Run(more);
    QTemporaryDir dir;
    const QString printed = dir.filePath("printed.pdf");
    struct Seen {
        int pages = -1;
        QString title;
    };
    std::vector<Seen> seen;
    bool print = true;
    printDialog = [&](QPrintPreviewDialog& dialog) {
        ShowOffscreen(&dialog);
        QCoreApplication::processEvents();
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        seen.push_back({preview ? preview->pageCount() : -1, dialog.windowTitle()});
        if (!print || !preview) return int(QDialog::Rejected);
        dialog.printer()->setOutputFileName(printed);
        preview->print();
        return int(QDialog::Accepted);
    };
    messageAnswer = platform::mrAll;  // the outcome's print button
    auto w = Open();
    w->bsSkinEdit1()->SetText("P1");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    w->bsSkinButton3Click();
    const QString number = database.Scalar("SELECT MASTERBILLID FROM PETITION_MASTER");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString(mrp::kWriteSucceeded) + "\n請購單號：" + number);
    EXPECT_TRUE(offered.isEmpty()) << "no file is asked for";
    ASSERT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "300");

    // The PDF of the command line, from the same requisition.
    db::Connection reading;
    reading.SetParams(database.params());
    reading.Open();
    const QString pdf = dir.filePath("requisition.pdf");
    report::SaveRequisitionPdf(report::LoadRequisition(reading, number), pdf);
    const int pages = PdfPages(pdf);
    ASSERT_GT(pages, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].pages, pages);
    EXPECT_EQ(seen[0].title, "列印請購單 " + number);
    EXPECT_EQ(PdfPages(printed), pages);
    EXPECT_EQ(shown.size(), 1u) << "printed without a further message";

    // Cancelled: nothing printed, nothing changed.
    print = false;
    QFile::remove(printed);
    EXPECT_FALSE(w->PrintRequisition(number));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].pages, pages);
    EXPECT_FALSE(QFile::exists(printed));
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "300");
    EXPECT_EQ(shown.size(), 1u);
}

// The code edit takes what the project code column holds: at most its 20 characters,
// and only characters of the database's Big5 page, whether typed or pasted. What it
// refuses is said in the hint line at once (instead of a database error after "確定"),
// and the next change clears it.
TEST_F(MainWindowTest, TheProjectCodeTakesOnlyWhatTheColumnHolds) {
    auto w = Open(true, true);
    QLineEdit* edit = w->bsSkinEdit1()->LineEdit();
    edit->setFocus();
    auto type = [&](const QString& text) { QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text, {}); };
    auto paste = [&](const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    };
    const QString tooLong(500, QLatin1Char('P'));
    const QString full(20, QLatin1Char('P'));
    struct Case {
        const char* what;
        std::function<void()> input;
        QString text, hint;
    } cases[] = {
        {"typed", [&] { type("P"), type("1"); }, "P1", ""},
        {"a character Big5 has not", [&] { type("专"); }, "P1", "「专」無法存入資料庫 (Big5)，請改用其他字。"},
        {"pasted with one", [&] { paste("台北😀"); }, "P1", "「😀」無法存入資料庫 (Big5)，請改用其他字。"},
        {"pasted Big5 text", [&] { paste("台北"); }, "P1台北", ""},
        {"500 characters pasted",
         [&] {
             edit->selectAll();
             paste(tooLong);
         },
         full, "專案代號最多 20 個字，多的字沒有放進去。"},
        {"one more typed", [&] { type("Q"); }, full, "專案代號最多 20 個字，多的字沒有放進去。"},
        {"retyped",
         [&] {
             edit->selectAll();
             type("P"), type("1");
         },
         "P1", ""},
    };
    for (const Case& c : cases) {
        c.input();
        EXPECT_EQ(w->bsSkinEdit1()->Text(), c.text) << c.what;
        EXPECT_EQ(w->HintLabel()->Caption(), c.hint) << c.what;
    }
    EXPECT_EQ(w->bsSkinEdit1()->MaxLength(), 20);
    QTest::mouseClick(w->bsSkinButton1(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(w->engine().orderList().RecordCount(), 2);
    EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
}

// A failure is said in Traditional Chinese on the first line, with what to do, and the
// error's own text beneath it for whoever looks after the system.
TEST_F(MainWindowTest, AFailureSaysWhatToDoAboveTheErrorsOwnText) {
    database.Run(mrptest::Product("Z", "Zero") + mrptest::Bom("Z", "M1", "1", "0") + mrptest::Order("B2", "P0") +
                 mrptest::Line("B2", "Z", "1"));
    auto w = Open();
    struct Case {
        const char* what;
        std::function<void()> act;
        QString headline, detail;
    } cases[] = {
        {"expanding before any order list", [&] { w->bsSkinButton2Click(); },
         "資料無法處理，請檢查輸入的內容，或重新按「確定」後再試。", "CDS_OrderItem"},
        // Text the program itself puts into the code edit is not checked there.
        {"a code the database cannot store",
         [&] {
             w->bsSkinEdit1()->SetText("P专");
             w->bsSkinButton1Click();
         },
         "輸入的代號無法使用，請修改後再試。", "专"},
        {"a bill with a divisor of 0",
         [&] {
             w->bsSkinEdit1()->SetText("P0");
             w->bsSkinButton1Click();
             w->bsSkinButton2Click();
         },
         "產品或物料結構的資料有誤，請通知系統管理員修正。", "DIV_C"},
    };
    for (const Case& c : cases) {
        shown.clear();
        c.act();
        ASSERT_EQ(shown.size(), 1u) << c.what;
        const qsizetype end = shown[0].text.indexOf('\n');
        ASSERT_GT(end, 0) << c.what << ": " << shown[0].text.toStdString();
        EXPECT_EQ(shown[0].text.left(end), c.headline) << c.what;
        EXPECT_TRUE(shown[0].text.mid(end + 1).contains(c.detail)) << c.what << ": " << shown[0].text.toStdString();
        EXPECT_EQ(shown[0].kind, 1) << c.what;
    }
}

// Qt's own dialogs (the print preview here, the file dialog) speak Traditional Chinese
// once the program has loaded Qt's translations, as it does at the start.
TEST(QtDialogs, SpeakTraditionalChineseWithTheTranslationsLoaded) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_TW.qm"))
        GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
    auto actionTexts = [] {
        QPrinter printer;
        QPrintPreviewDialog dialog(&printer);
        QStringList texts;
        for (QAction* a : dialog.findChildren<QAction*>()) texts << a->text();
        return texts;
    };
    EXPECT_TRUE(actionTexts().contains("Print"));
    QTranslator* translator = window::InstallQtTranslations();
    ASSERT_TRUE(translator);
    const QStringList texts = actionTexts();
    EXPECT_FALSE(texts.contains("Print")) << texts.join(", ").toStdString();
    EXPECT_TRUE(texts.contains(QCoreApplication::translate("QPrintPreviewDialog", "Print")));
    for (const auto& [context, text] : {std::pair{"QPrintPreviewDialog", "Print"}, std::pair{"QFileDialog", "Save As"}}) {
        const QString translated = QCoreApplication::translate(context, text);
        EXPECT_TRUE(translated.contains(QRegularExpression("\\p{Han}"))) << context << " " << translated.toStdString();
    }
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST_F(MainWindowTest, ClosingOrLeavingDropsTheWorkTable) {
    // Closed by the program, by "離開", and by Alt+F4 typed in the code edit (the frame
    // takes the shortcut itself: without a window manager nobody else would).
    for (const char* way : {"close", "leave", "Alt+F4"}) {
        SCOPED_TRACE(way);
        auto w = Open(true, true);
        const QString table = w->engine().workTableName();
        ASSERT_TRUE(TableExists(table));
        bool closed = false;
        QObject::connect(w.get(), &window::TFormMarlith::FormClosed, [&] { closed = true; });
        if (QLatin1String(way) == "leave") {
            QTest::mouseClick(w->bsSkinButton4(), Qt::LeftButton, {}, QPoint(10, 10));
        } else if (QLatin1String(way) == "Alt+F4") {
            w->bsSkinEdit1()->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::AltModifier);
        } else {
            w->close();
        }
        EXPECT_TRUE(closed);
        EXPECT_FALSE(TableExists(table));
    }
}

// The database goes away under the window (its attachments are ended, as a server
// restart or a lost network would): closing cannot drop the work table. The clerk is
// told once and the window closes all the same; the next run removes the table, whose
// maker is no longer attached.
TEST_F(MainWindowTest, AFailedDropIsShownOnceAndTheWindowClosesAnyway) {
    auto w = Open();
    const QString table = w->engine().workTableName();
    ASSERT_TRUE(TableExists(table));
    database.Run("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0;");
    int closed = 0;
    QObject::connect(w.get(), &window::TFormMarlith::FormClosed, [&] { ++closed; });
    QTest::mouseClick(w->bsSkinButton4(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, 1);
    EXPECT_TRUE(shown[0].text.contains("shutdown")) << shown[0].text.toStdString();
    // Asked again, the window does not try (and report) again.
    w->close();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(TableExists(table));

    w.reset();
    catalogue.Close();  // the program's data module starts afresh with the next run
    auto next = Open();
    EXPECT_FALSE(TableExists(table));
    EXPECT_TRUE(TableExists(next->engine().workTableName()));
    EXPECT_EQ(shown.size(), 1u);
}

// The code edit's button opens the project lookup; accepting a row fills the code and
// shows the name at once; cancelling changes nothing. The unfiltered list is the one read
// at the first lookup, a search reads the table afresh.
TEST_F(MainWindowTest, ProjectLookupFillsCodeAndNameOrChangesNothing) {
    auto w = Open();
    auto lookupWith = [&](const std::function<void(lookup::TFrmgetdata*)>& whileShown) {
        QTimer::singleShot(0, w.get(), [&] {
            ASSERT_TRUE(lookup::Frmgetdata);
            whileShown(lookup::Frmgetdata);
            if (lookup::Frmgetdata && lookup::Frmgetdata->isVisible()) lookup::Frmgetdata->close();
        });
        w->bsSkinEdit1()->OnButtonClick(w->bsSkinEdit1());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    lookupWith([](lookup::TFrmgetdata* dlg) { dlg->controls().BTCMDOK->click(); });
    EXPECT_EQ(w->bsSkinEdit1()->Text(), QString("P1"));
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString("台北專案"));

    database.Run("INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P2', '新竹專案');");
    lookupWith([](lookup::TFrmgetdata* dlg) { dlg->controls().BDCMDNOT->click(); });
    EXPECT_EQ(w->bsSkinEdit1()->Text(), QString("P1"));
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString("台北專案"));
    EXPECT_EQ(w->CDS_Proj().RecordCount(), 1) << "the list read at the first lookup";

    lookupWith([](lookup::TFrmgetdata* dlg) {
        dlg->controls().ComboBox1->setCurrentIndex(0);
        dlg->controls().RadioGroup1->button(0)->setChecked(true);
        dlg->controls().Edit1->setText("P2");
        dlg->controls().SpeedButton1->click();
        dlg->controls().BTCMDOK->click();
    });
    EXPECT_EQ(w->bsSkinEdit1()->Text(), QString("P2"));
    EXPECT_EQ(w->bsSkinEdit2()->Text(), QString("新竹專案"));
    EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
}

}  // namespace

namespace {

// The first start's question, answered as a clerk would: Enter takes the default Yes,
// Escape answers No.
TEST(FirstStartDialog, EnterAnswersYesEscapeAnswersNo) {
    for (const auto& [key, yes] : {std::pair{Qt::Key_Return, true}, std::pair{Qt::Key_Escape, false}}) {
        QSize seen;
        QTimer::singleShot(0, [&seen, key = key] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_TRUE(dialog);
            seen = dialog->size();
            QTest::keyClick(dialog, key);
        });
        EXPECT_EQ(window::AskFirstStart(QStringLiteral("要建立示範資料庫，先看看程式嗎？\n第二行")), yes);
        EXPECT_GT(seen.width(), 200);
        EXPECT_GT(seen.height(), 100);
    }
}

}  // namespace
