// The lookup dialog over a real embedded database: searches read the table afresh, the
// value is data whatever it holds, unknown fields are refused, and the caller reads the
// accepted row from the data set the grid shows. The modal dialog is driven from a
// timer while it runs.

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "data/DataSource.h"
#include "data/QueryTable.h"
#include "db/Connection.h"
#include "lookup/DBGrid.h"
#include "lookup/DBSpeedButton.h"
#include "lookup/Getdata.h"
#include "lookup/Messages.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"
#include "support/TestDatabase.h"

using namespace lookup;
using testsupport::TestDatabase;

namespace {

class LookupDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = new TestDatabase();
        database_->Run(QString::fromUtf8(
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P01', '台北門市');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P02', '50%折扣');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P03', '500折扣');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('O''Neil', '許可證');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P05', '乙方');\n"));
    }
    static void TearDownTestSuite() { delete database_; }

    void SetUp() override {
        connection_.SetParams(database_->params());
        proj_.SetConnection(&connection_);
        proj_.SetName("CDS_Proj");
        proj_.SetCommandText(QStringLiteral("SELECT * FROM PROJ_ITEM ORDER BY PROJ_ID"));
        proj_.Open();
        const char16_t* titles[] = {u"專案代號", u"專案名稱", u"備註", u"異動日期", u"異動人員"};
        for (int i = 0; i < 5; ++i) proj_.Fields(i)->SetDisplayLabel(QString::fromUtf16(titles[i]));
        previous_ = SetMessageFunction([this](QWidget*, const QString& text) { messages_ << text; });
    }
    void TearDown() override {
        SetMessageFunction(previous_);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Shows a new dialog over the project list, runs whileShown once it is up, and
    // returns what ShowLookup returned. A dialog still open after that is cancelled.
    bool RunLookup(const std::function<void(TFrmgetdata*)>& whileShown) {
        TFrmgetdata* dlg = NewLookup(&connection_);
        dlg->SearchSource = &source_;
        dlg->SearchTable = "PROJ_ITEM";
        dlg->SearchDataSet = &proj_;
        QTimer::singleShot(0, dlg, [dlg, whileShown] {
            whileShown(dlg);
            if (dlg->isVisible()) dlg->close();
        });
        return dlg->ShowLookup();
    }

    // Chooses the field at position field (0 PROJ_ID, 1 PROJ_NAME), the mode and the
    // value, and searches.
    static void Search(TFrmgetdata* dlg, int field, int mode, const QString& value) {
        dlg->controls().ComboBox1->setCurrentIndex(field);
        dlg->controls().RadioGroup1->button(mode)->setChecked(true);
        dlg->controls().Edit1->setText(value);
        dlg->controls().SpeedButton1->click();
    }

    static QStringList Ids(data::DataSet* ds) {
        QStringList ids;
        if (!ds || !ds->Active()) return ids;
        const int keep = ds->RecNo();
        for (ds->First(); !ds->Eof(); ds->Next()) ids << ds->FieldByName("PROJ_ID")->AsString();
        if (keep > 0) ds->SetRecNo(keep);
        return ids;
    }

    static TestDatabase* database_;
    db::Connection connection_;
    data::QueryTable proj_;
    data::DataSource source_;
    QStringList messages_;
    MessageFunction previous_;
};

TestDatabase* LookupDialogTest::database_ = nullptr;

}  // namespace

TEST_F(LookupDialogTest, SearchFindsAProjectAddedAfterTheListWasReadAndAcceptReturnsItsRow) {
    database_->Run(QString::fromUtf8("INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P99', '新竹倉儲');"));
    QStringList shownFirst;
    QStringList fieldList;
    const bool accepted = RunLookup([&](TFrmgetdata* dlg) {
        shownFirst = Ids(source_.dataSet());
        for (int i = 0; i < dlg->controls().ComboBox1->count(); ++i) fieldList << dlg->controls().ComboBox1->itemText(i);
        EXPECT_TRUE(dlg->controls().ComboBox1->currentText().isEmpty());  // no field chosen yet
        EXPECT_EQ(dlg->controls().RadioGroup1->checkedId(), 0);
        Search(dlg, 1, 2, QStringLiteral("倉"));
        dlg->controls().BTCMDOK->click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(LookupAccepted);
    EXPECT_FALSE(shownFirst.contains("P99"));  // the list read before the project was added
    EXPECT_EQ(fieldList, (QStringList{QStringLiteral("專案代號"), QStringLiteral("專案名稱"), QStringLiteral("備註"), QStringLiteral("異動日期"), QStringLiteral("異動人員")}));
    ASSERT_TRUE(Frmgetdata);
    EXPECT_EQ(source_.dataSet(), Frmgetdata->searchResult());
    EXPECT_EQ(source_.dataSet()->FieldByName("PROJ_ID")->AsString(), "P99");
    // The result's columns carry the field list's titles.
    EXPECT_EQ(Frmgetdata->controls().DBGrid1->Fields(1)->displayName(), QStringLiteral("專案名稱"));
    Frmgetdata->CloseSearchResult();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('|').toStdString();

    // Freed once control is back in the event loop; the source then has no data set.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Frmgetdata);
    EXPECT_EQ(source_.dataSet(), nullptr);
    database_->Run("DELETE FROM PROJ_ITEM WHERE PROJ_ID = 'P99';");
}

TEST_F(LookupDialogTest, TheValueIsDataWhateverItHolds) {
    struct Case {
        int field, mode;
        QString value;
        QStringList found;  // empty: "找不到該條件資料!"
    } cases[] = {
        {0, 0, "O'Neil", {"O'Neil"}},
        {0, 2, "'", {"O'Neil"}},
        {0, 2, "' OR '1'='1", {}},
        {1, 2, "50%", {"P02"}},      // not 500折扣
        {1, 0, "%", {}},
        {0, 1, "P0_", {}},           // "_" is no wildcard
        {0, 1, "P0", {"P01", "P02", "P03", "P05"}},
        {1, 2, QStringLiteral("許"), {"O'Neil"}},  // Big5 0xB3 0x5C
        {1, 2, "A", {}},             // 乙 is 0xA4 0x41 in Big5: the byte "A" is no match
        {1, 0, "", {}},
    };
    for (const Case& c : cases) {
        messages_.clear();
        QStringList found;
        QStringList lines;
        RunLookup([&](TFrmgetdata* dlg) {
            Search(dlg, c.field, c.mode, c.value);
            if (source_.dataSet() == dlg->searchResult()) found = Ids(dlg->searchResult());
            lines = dlg->lastSearchStatement();
        });
        const std::string what = c.value.toStdString();
        EXPECT_EQ(found, c.found) << what;
        EXPECT_EQ(messages_, c.found.isEmpty() ? QStringList{QStringLiteral("找不到該條件資料!")} : QStringList{}) << what;
        ASSERT_EQ(lines.size(), 6) << what;
        EXPECT_EQ(lines[4], "like :VALUE escape '!'") << what;  // the value is never in the text
    }
}

TEST_F(LookupDialogTest, UnknownFieldsAndMissingChoicesAreRefused) {
    RunLookup([&](TFrmgetdata* dlg) {
        dlg->controls().SpeedButton1->click();  // no field chosen
        EXPECT_EQ(messages_, QStringList{QStringLiteral("請選擇查詢條件!")});

        messages_.clear();
        dlg->controls().ComboBox2->setItemText(0, "PROJ_ID = PROJ_ID OR 1");
        Search(dlg, 0, 0, "x");
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains("PROJ_ID = PROJ_ID OR 1")) << messages_[0].toStdString();
        EXPECT_FALSE(dlg->searchResult()->Active());
        EXPECT_TRUE(dlg->lastSearchStatement().isEmpty());  // no statement was composed

        messages_.clear();
        dlg->controls().ComboBox2->setItemText(0, "NOT_A_FIELD");
        Search(dlg, 0, 0, "x");
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains("NOT_A_FIELD"));

        messages_.clear();
        dlg->SearchTable = "PROJ_ITEM; DROP TABLE PROJ_ITEM";
        Search(dlg, 1, 0, "x");
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].startsWith("Invalid table name")) << messages_[0].toStdString();

        messages_.clear();
        dlg->controls().ComboBox1->setEditText("typed");  // text that is no entry of the list
        dlg->controls().SpeedButton1->click();
        EXPECT_EQ(messages_, QStringList{"List index out of bounds (-1)"});
    });
    EXPECT_EQ(database_->Scalar("SELECT COUNT(*) FROM PROJ_ITEM"), "5");
}

TEST_F(LookupDialogTest, AcceptKeepsTheChosenRowCancelDoesNot) {
    // Moving with the navigation buttons, then accepting by Enter in the grid.
    const bool accepted = RunLookup([&](TFrmgetdata* dlg) {
        EXPECT_FALSE(dlg->controls().dbSBtnFirst->isEnabled());
        dlg->controls().dbSBtnNext->click();
        dlg->controls().dbSBtnNext->click();
        EXPECT_TRUE(dlg->controls().dbSBtnFirst->isEnabled());
        dlg->controls().dbSBtnLast->click();
        EXPECT_FALSE(dlg->controls().dbSBtnNext->isEnabled());
        dlg->controls().dbSBtnPrior->click();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg->controls().DBGrid1, &enter);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(source_.dataSet(), &proj_);  // no search: the caller's own list
    EXPECT_EQ(proj_.FieldByName("PROJ_ID")->AsString(), "P03");  // O'Neil P01 P02 P03 P05, one before the last

    // Cancelling answers false, also right after an accepted lookup; a close by the
    // window's close box or Escape in the field list likewise.
    proj_.First();
    EXPECT_FALSE(RunLookup([&](TFrmgetdata* dlg) {
        dlg->controls().dbSBtnNext->click();
        dlg->controls().BDCMDNOT->click();
    }));
    EXPECT_FALSE(LookupAccepted);
    EXPECT_TRUE(RunLookup([&](TFrmgetdata* dlg) { dlg->controls().BTCMDOK->click(); }));
    EXPECT_FALSE(RunLookup([&](TFrmgetdata* dlg) { dlg->close(); }));
    EXPECT_FALSE(RunLookup([&](TFrmgetdata* dlg) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg->controls().ComboBox1->lineEdit(), &esc);
        EXPECT_FALSE(dlg->isVisible());
    }));

    // After a search that found rows and one that found none, the grid shows the empty
    // result until the reset points it back at the caller's list.
    RunLookup([&](TFrmgetdata* dlg) {
        Search(dlg, 0, 1, "P0");
        EXPECT_EQ(source_.dataSet(), dlg->searchResult());
        Search(dlg, 0, 0, "none");
        EXPECT_EQ(source_.dataSet(), dlg->searchResult());
        EXPECT_TRUE(dlg->searchResult()->IsEmpty());
        EXPECT_FALSE(dlg->controls().dbSBtnNext->isEnabled());
        dlg->controls().SpeedButton2->click();
        EXPECT_EQ(source_.dataSet(), &proj_);
        EXPECT_TRUE(dlg->controls().Edit1->text().isEmpty());
        // Enter in the value edit searches only when it holds a value.
        messages_.clear();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg->controls().Edit1, &enter);
        EXPECT_TRUE(messages_.isEmpty());
        EXPECT_EQ(source_.dataSet(), &proj_);
    });
}

// A double click on a row accepts that row, as Enter in the grid does; one on the column
// titles chooses nothing. Closing the dialog gives the focus back to the caller's edit.
TEST_F(LookupDialogTest, DoubleClickOnARowAcceptsIt) {
    QWidget caller;
    auto* code = new QLineEdit(&caller);
    caller.resize(200, 60);
    ASSERT_TRUE(ShowActive(&caller));
    code->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(code->hasFocus());

    proj_.First();
    const bool accepted = RunLookup([&](TFrmgetdata* dlg) {
        TwwDBGrid* grid = dlg->controls().DBGrid1;
        const GridGeometry g = grid->Geometry();
        const int x = g.indicatorWidth + 10;
        QTest::mouseDClick(grid, Qt::LeftButton, {}, QPoint(x, g.titleHeight / 2));
        EXPECT_TRUE(dlg->isVisible()) << "a double click on the titles accepts nothing";
        QTest::mouseDClick(grid, Qt::LeftButton, {}, QPoint(x, g.titleHeight + 2 * g.rowHeight + g.rowHeight / 2));
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(LookupAccepted);
    EXPECT_EQ(source_.dataSet(), &proj_);
    EXPECT_EQ(proj_.FieldByName("PROJ_ID")->AsString(), "P02");  // O'Neil P01 P02: the third row

    EXPECT_TRUE(QTest::qWaitForWindowActive(&caller, 2000));
    EXPECT_EQ(QApplication::focusWidget(), code);
}
