// The data-aware navigation buttons: enabled states from the data set's state, the
// enabling rule handed over to code that disables a button, type changes, the action
// and the before-action hook.

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "lookup/DBSpeedButton.h"
#include "support/QtTestApp.h"

using namespace lookup;

namespace {

void FillRows(data::MemTable& t, int rows) {
    t.fieldDefs().Clear();
    t.fieldDefs().Add("ID", data::FieldType::Text, 10);
    t.CreateDataSet();
    for (int i = 0; i < rows; ++i) {
        t.Append();
        t.FieldByName("ID")->SetAsString("R" + QString::number(i));
        t.Post();
    }
    t.First();
}

struct Buttons {
    TDBSpeedButton first, prior, next, last, post, refresh;
    explicit Buttons(data::DataSource* source) {
        first.SetDataButtonType(nbFirst);
        prior.SetDataButtonType(nbPrior);
        next.SetDataButtonType(nbNext);
        last.SetDataButtonType(nbLast);
        post.SetDataButtonType(nbPost);
        refresh.SetDataButtonType(nbRefresh);
        for (TDBSpeedButton* b : {&first, &prior, &next, &last, &post, &refresh}) b->SetDataSource(source);
    }
    // "FPNL/Post/Refresh" as 1 (enabled) and 0.
    std::string States() const {
        std::string s;
        for (const TDBSpeedButton* b : {&first, &prior, &next, &last}) s += b->isEnabled() ? '1' : '0';
        s += '/';
        s += post.isEnabled() ? '1' : '0';
        s += '/';
        s += refresh.isEnabled() ? '1' : '0';
        return s;
    }
};

}  // namespace

TEST(NavigationButtons, EnabledStatesFollowTheDataSet) {
    data::MemTable t;
    data::DataSource source;
    Buttons b(&source);

    struct Case {
        const char* what;
        std::function<void()> step;
        std::string states;
    } cases[] = {
        {"no data set", [] {}, "0000/0/1"},
        {"closed set", [&] { source.SetDataSet(&t); }, "0000/0/1"},
        {"empty open set", [&] { FillRows(t, 0); }, "0000/0/1"},
        {"several rows, just opened", [&] { FillRows(t, 3); }, "0011/0/1"},
        {"next: in the middle", [&] { t.Next(); }, "1111/0/1"},
        {"last", [&] { t.Last(); }, "1100/0/1"},
        {"prior to the first row keeps the beginning flag clear", [&] { t.Prior(), t.Prior(); }, "1111/0/1"},
        {"a further prior finds no row", [&] { t.Prior(); }, "0011/0/1"},
        {"editing", [&] { t.Edit(); }, "0000/1/0"},
        {"posted", [&] { t.Post(); }, "1111/0/1"},
        {"source disabled", [&] { source.SetEnabled(false); }, "0000/0/1"},
        {"source enabled", [&] { source.SetEnabled(true); }, "1111/0/1"},
        {"set closed", [&] { t.Close(); }, "0000/0/1"},
    };
    for (const Case& c : cases) {
        c.step();
        EXPECT_EQ(b.States(), c.states) << c.what;
    }
}

TEST(NavigationButtons, CodeThatDisablesAButtonKeepsItDisabled) {
    data::MemTable t;
    FillRows(t, 3);
    data::DataSource source(&t);
    TDBSpeedButton next;
    next.SetDataButtonType(nbNext);
    next.SetDataSource(&source);
    int changes = 0;
    next.OnEnabledChanged = [&](TDBSpeedButton*) { ++changes; };
    QAction item("next");
    next.SetMenuItem(&item);
    ASSERT_TRUE(next.isEnabled());

    next.setEnabled(false);
    EXPECT_FALSE(next.RuntimeEnabled());
    t.Last();
    t.First();
    EXPECT_FALSE(next.isEnabled());
    next.setEnabled(true);  // handed back to the rule
    EXPECT_TRUE(next.RuntimeEnabled());
    EXPECT_TRUE(next.isEnabled());

    changes = 0;
    t.Last();
    EXPECT_FALSE(next.isEnabled());
    EXPECT_FALSE(item.isEnabled());  // the menu item follows
    EXPECT_EQ(changes, 1);
    t.First();
    item.trigger();  // the menu item performs the action
    EXPECT_EQ(t.RecNo(), 2);
}

TEST(NavigationButtons, ClickActsAndTheHookMayVeto) {
    data::MemTable t;
    FillRows(t, 4);
    data::DataSource source(&t);
    TDBSpeedButton next, last, custom;
    next.SetDataButtonType(nbNext);
    last.SetDataButtonType(nbLast);
    for (TDBSpeedButton* b : {&next, &last, &custom}) b->SetDataSource(&source);

    int clicks = 0;
    next.OnClick = [&] { ++clicks; };
    next.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t.RecNo(), 2);

    std::vector<bool> seen;
    auto veto = [&](TDBSpeedButton*, bool& done) {
        seen.push_back(done);
        done = true;
    };
    last.OnBeforeAction = veto;
    custom.OnBeforeAction = veto;
    last.click();
    custom.click();
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));  // starts true only for the custom type
    EXPECT_EQ(t.RecNo(), 2);
    last.OnBeforeAction = nullptr;
    last.click();
    EXPECT_EQ(t.RecNo(), 4);

    // Without an open set a refresh button stays enabled; its click runs OnClick and
    // nothing else.
    TDBSpeedButton refresh;
    refresh.SetDataButtonType(nbRefresh);
    refresh.SetDataSource(&source);
    refresh.OnClick = [&] { ++clicks; };
    t.Close();
    EXPECT_TRUE(refresh.isEnabled());
    EXPECT_FALSE(next.isEnabled());
    refresh.click();
    EXPECT_EQ(clicks, 2);
}

TEST(NavigationButtons, TypeChangeCaptionsGlyphsAndReasons) {
    TDBSpeedButton b;
    EXPECT_EQ(b.DataButtonType(), nbCustom);
    b.SetDataButtonType(nbNext);
    EXPECT_EQ(b.text(), "Next");
    EXPECT_EQ(b.DisableReasons(), (TDBSBDisableReasons{drEOF, drEditing, drEmpty}));
    EXPECT_EQ(b.Glyph().size(), QSize(20, 13));  // two 10 x 13 images
    EXPECT_FALSE(b.CustomGlyph());
    b.SetDataButtonType(nbLast);
    EXPECT_EQ(b.text(), "Last");
    EXPECT_EQ(b.Glyph().size(), QSize(28, 13));
    b.setText(QStringLiteral("末筆"));
    b.SetDataButtonType(nbFirst);
    EXPECT_EQ(b.text(), QStringLiteral("末筆"));  // a caption of one's own stays
    b.SetGlyph(QImage(8, 8, QImage::Format_ARGB32));
    EXPECT_TRUE(b.CustomGlyph());
    EXPECT_TRUE(RepeatsWhileHeld(nbPrior));
    EXPECT_FALSE(RepeatsWhileHeld(nbFirst));
}

TEST(NavigationButtons, PriorAndNextRepeatWhileHeld) {
    data::MemTable t;
    FillRows(t, 5);
    data::DataSource source(&t);
    TDBSpeedButton next, first;
    next.SetDataButtonType(nbNext);
    first.SetDataButtonType(nbFirst);
    for (TDBSpeedButton* b : {&next, &first}) {
        b->SetDataSource(&source);
        b->resize(45, 38);
    }

    QTest::mousePress(&next, Qt::LeftButton);
    ASSERT_TRUE(next.Repeating());
    QTimer* hold = next.findChild<QTimer*>();
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(hold->interval(), 400);
    QMetaObject::invokeMethod(hold, "timeout");  // each tick is a click
    EXPECT_EQ(hold->interval(), 100);
    QMetaObject::invokeMethod(hold, "timeout");
    EXPECT_EQ(t.RecNo(), 3);
    QTest::mouseRelease(&next, Qt::LeftButton);  // the release is the ordinary click
    EXPECT_FALSE(next.Repeating());
    EXPECT_EQ(t.RecNo(), 4);

    QTest::mousePress(&first, Qt::LeftButton);
    EXPECT_FALSE(first.Repeating());
    QTest::mouseRelease(&first, Qt::LeftButton);
    EXPECT_EQ(t.RecNo(), 1);
}
