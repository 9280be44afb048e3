// The data grid as a window holds it: a grid over order lines with its two external bars
// in a frame, painted offscreen with the carried skin and without one, following the
// data set and moving it, editing, inserting and deleting rows, and driving its bars.

#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <QTimer>

#include <functional>

#include "data/MemTable.h"
#include "preview/ControlPreview.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace skinctrls::test;

// A frame holding a grid (alClient) and its bars (alBottom, alRight) over `rows` order
// lines (ITEM, NAME text; QTY, PRICE float; UNIT text).
struct GridRig {
    data::MemTable table;
    data::DataSource source{&table};
    TbsSkinPanel window;
    TbsSkinScrollBar* hbar;
    TbsSkinScrollBar* vbar;
    TbsSkinDBGrid* grid;

    GridRig(skin::TbsSkinData* skin, int rows, QSize size = {420, 200}) {
        preview::FillSampleOrderLines(table, rows);
        window.SetBorderStyle(bvNone);
        window.SetBounds(0, 0, size.width(), size.height());
        window.SetSkinData(skin);
        const TbsGridWithBars parts = CreateGridWithBars(&window, skin, &source);
        grid = parts.grid;
        hbar = parts.hbar;
        vbar = parts.vbar;
        EXPECT_TRUE(ShowActive(&window));
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    QImage Image() { return grid->Render(); }
    QLineEdit* Editor() { return grid->InplaceEditor(); }
    QString Text(const char* field) { return table.FieldByName(QString::fromLatin1(field))->AsString(); }
    int VisibleRows() { return grid->VisibleDataRowCount(); }
};

// Answers the next modal dialog with the button of that kind once it is up (a message
// the grid shows after a focus change comes a moment later).
// Looks again every 10 ms, up to half a second, while no dialog is up.
void AnswerNextDialog(TMsgDlgBtn answer, QString* text = nullptr, int retries = 50, int delayMs = 0) {
    QTimer::singleShot(delayMs, [answer, text, retries] {
        auto* form = qobject_cast<TbsMessageForm*>(QApplication::activeModalWidget());
        if (!form && !QApplication::activeModalWidget() && retries > 0) {
            AnswerNextDialog(answer, text, retries - 1, 10);
            return;
        }
        if (!form) {
            ADD_FAILURE() << "no skinned dialog";
            if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
            return;
        }
        if (text) *text = form->Message()->Caption();
        QTest::mouseClick(form->Button(answer), Qt::LeftButton, {}, QPoint(5, 5));
    });
}

// --- looks -----------------------------------------------------------------------------

TEST(DBGridLook, CarriedSkinRowsTitleAndIndicator) {
    auto skin = LoadCarried();
    GridRig rig(skin.get(), 5);
    TbsSkinDBGrid* g = rig.grid;
    EXPECT_EQ(g->DefaultRowHeight(), 22);
    // One pixel of border; indicator 11 wide; every row, the title row too, 22 high.
    EXPECT_EQ(g->CellRect(0, 0), QRect(1, 1, 11, 22));
    EXPECT_EQ(g->CellRect(1, 0).height(), 22);
    EXPECT_EQ(g->CellRect(1, 1), QRect(13, 24, g->Columns().Items(0)->Width(), 22));
    EXPECT_EQ(g->CellRect(1, 2).top(), 47);

    const QImage img = rig.Image();
    // Title captions in the fixed font's colour (12632256) over the fixed image.
    const QRect title = g->CellRect(1, 0);
    EXPECT_GT(CountText(img, 12632256, title), 10);
    EXPECT_EQ(Px(img, title.left() + title.width() / 2, title.top()),
              PixelColor(skin->ActivePictures[4], 84 + 20, 267));
    // The current row's indicator shows its arrow (in the fixed font's colour); others none.
    EXPECT_GT(CountText(img, 12632256, g->CellRect(0, 1)), 8);
    EXPECT_EQ(CountText(img, 12632256, g->CellRect(0, 2)), 0);
    // Unselected data cells on the entry's bgcolor, lines in its linescolor.
    const QRect cell = g->CellRect(2, 2);
    EXPECT_EQ(Px(img, cell.right() - 1, cell.top() + 1), 16777215);
    EXPECT_EQ(Px(img, cell.right() + 1, cell.top() + 5), 14406089);
    // A float column is right-justified: its text ends 3 pixels before the cell's edge.
    const QRect qty = g->CellRect(3, 2);
    const QRect ink = BoundsOfColor(img, 3812126, qty);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.right(), qty.right() - 5);
    EXPECT_LE(ink.right(), qty.right() - 3);
    // The focused current cell is drawn from focuscellrect with its white text.
    g->SetSelectedIndex(1);
    const QImage focused = rig.Image();
    const QRect cur = g->CellRect(2, 1);
    EXPECT_EQ(Px(focused, cur.left() + 20, cur.top() + 1), PixelColor(skin->ActivePictures[4], 293 + 20, 274));
    EXPECT_GT(CountText(focused, platform::clWhite, cur), 10);
}

TEST(DBGridLook, PlainLookWithoutSkin) {
    GridRig rig(nullptr, 5);
    TbsSkinDBGrid* g = rig.grid;
    g->SetGridLineColor(platform::clWindowText);
    EXPECT_EQ(g->DefaultRowHeight(), 20);
    const int rows20 = g->VisibleDataRowCount();
    g->SetDefaultCellHeight(30);  // without an entry the rows follow at once
    EXPECT_EQ(g->CellRect(1, 2).height(), 30);
    EXPECT_LT(g->VisibleDataRowCount(), rows20);
    g->SetDefaultCellHeight(20);
    EXPECT_EQ(g->CellRect(1, 1), QRect(13, 22, g->Columns().Items(0)->Width(), 20));
    const QImage img = rig.Image();
    // Title row on the fixed colour with a raised edge; data cells on the window colour;
    // grid lines in the window-text colour.
    const QRect title = g->CellRect(1, 0);
    EXPECT_EQ(Px(img, title.left() + 30, title.top()), Sys(platform::clBtnHighlight));
    EXPECT_EQ(Px(img, title.left() + 30, title.bottom()), Sys(platform::clBtnShadow));
    EXPECT_EQ(Px(img, title.right() - 2, title.top() + 3), Sys(platform::clBtnFace));
    const QRect cell = g->CellRect(2, 2);
    EXPECT_EQ(Px(img, cell.right() - 1, cell.top() + 1), Sys(platform::clWindow));
    EXPECT_EQ(Px(img, cell.right() + 1, cell.top() + 5), Sys(platform::clWindowText));
    // Black indicator arrow on the current row, highlighted current cell (focused grid).
    EXPECT_GT(CountColor(img, platform::clBlack, g->CellRect(0, 1).adjusted(1, 1, -1, -1)), 10);
    EXPECT_EQ(CountColor(img, platform::clBlack, g->CellRect(0, 2).adjusted(1, 1, -1, -1)), 0);
    const QRect cur = g->CellRect(1, 1);
    EXPECT_EQ(Px(img, cur.right() - 1, cur.top() + 1), Sys(platform::clHighlight));
    // Titles are the fields' display labels.
    EXPECT_EQ(g->Columns().Count(), 5);
    EXPECT_EQ(g->Columns().Items(1)->Title().Caption(), QStringLiteral("品名規格"));
}

// --- data link ---------------------------------------------------------------------------

TEST(DBGridData, CurrentRowFollowsTheDataSetAndMovesIt) {
    GridRig rig(nullptr, 30);
    TbsSkinDBGrid* g = rig.grid;
    const int visible = rig.VisibleRows();
    ASSERT_GT(visible, 3);
    rig.table.SetRecNo(3);
    EXPECT_EQ(g->Row(), 3);  // title row + third record
    rig.table.SetRecNo(25);  // the window scrolls: the record is the last visible row
    EXPECT_EQ(g->Row(), visible);
    EXPECT_EQ(g->DataLink().FirstRecord(), 25 - visible);

    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(rig.table.RecNo(), 26);
    QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(rig.table.RecNo(), 1);
    QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_EQ(rig.table.RecNo(), 1 + visible);
    // A click on a row makes its record current (the indicator column too).
    QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(2, 3).center());
    EXPECT_EQ(rig.table.RecNo(), g->DataLink().FirstRecord() + 3);
    EXPECT_EQ(g->SelectedIndex(), 1);
    QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(0, 1).center());
    EXPECT_EQ(rig.table.RecNo(), g->DataLink().FirstRecord() + 1);
    EXPECT_EQ(g->SelectedIndex(), 1);
    // The wheel moves the data set a record a notch (toward the user: the next).
    const int before = rig.table.RecNo();
    QWheelEvent wheel(QPointF(50, 50), g->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(g, &wheel);
    EXPECT_EQ(rig.table.RecNo(), before + 1);
    // Columns move with Right and Tab (which stays in the grid), the record stays.
    QLineEdit next(&rig.window);
    next.show();
    const int rec = rig.table.RecNo();
    QTest::keyClick(g, Qt::Key_Right);
    QTest::keyClick(g, Qt::Key_Tab);
    EXPECT_EQ(g->SelectedIndex(), 3);
    EXPECT_EQ(rig.table.RecNo(), rec);
    EXPECT_TRUE(g->hasFocus());
}

TEST(DBGridData, EditingACellAndPostingWritesTheField) {
    GridRig rig(nullptr, 5);
    TbsSkinDBGrid* g = rig.grid;
    rig.table.SetRecNo(2);
    g->SetSelectedIndex(1);
    // Typing starts the editor with the key; Enter posts.
    QTest::keyClick(g, Qt::Key_X);
    ASSERT_TRUE(g->EditorMode());
    EXPECT_EQ(g->InplaceEditor()->geometry(), g->CellRect(2, 2));
    EXPECT_EQ(rig.table.State(), data::DataSetState::Edit);
    QTest::keyClicks(rig.Editor(), "YZ");
    QTest::keyClick(rig.Editor(), Qt::Key_Return);
    EXPECT_FALSE(g->EditorMode());
    EXPECT_EQ(rig.table.State(), data::DataSetState::Browse);
    EXPECT_EQ(rig.Text("NAME"), "xYZ");
    EXPECT_EQ(rig.table.RecNo(), 2);

    // Chinese through an input method: the grid hands the commit to its line edit.
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("螺絲"));
    QCoreApplication::sendEvent(g, &ime);
    ASSERT_TRUE(g->EditorMode());
    EXPECT_EQ(rig.Editor()->text(), QStringLiteral("螺絲"));
    // Leaving the row posts the typed text too.
    QTest::keyClick(rig.Editor(), Qt::Key_Down);
    EXPECT_EQ(rig.table.RecNo(), 3);
    rig.table.SetRecNo(2);
    EXPECT_EQ(rig.Text("NAME"), QStringLiteral("螺絲"));

    // F2 opens the editor on the field's text; Escape restores it, a second one cancels.
    g->SetSelectedIndex(2);
    QTest::keyClick(g, Qt::Key_F2);
    ASSERT_TRUE(g->EditorMode());
    EXPECT_EQ(rig.Editor()->text(), "1200");
    rig.Editor()->selectAll();
    QTest::keyClicks(rig.Editor(), "7");
    QTest::keyClick(rig.Editor(), Qt::Key_Escape);
    EXPECT_EQ(rig.Editor()->text(), "1200");
    QTest::keyClick(rig.Editor(), Qt::Key_Escape);
    EXPECT_FALSE(g->EditorMode());
    EXPECT_EQ(rig.table.State(), data::DataSetState::Browse);
    EXPECT_EQ(rig.Text("QTY"), "1200");
    // Text a float field cannot hold is refused with a message; the value stays.
    TbsSkinMessage message;
    g->SetSkinMessage(&message);
    QTest::keyClick(g, Qt::Key_A);
    QString shown;
    AnswerNextDialog(mbOK, &shown);
    QTest::keyClick(rig.Editor(), Qt::Key_Return);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_TRUE(g->EditorMode());
    QTest::keyClick(rig.Editor(), Qt::Key_Escape);
    QTest::keyClick(rig.Editor(), Qt::Key_Escape);
    EXPECT_EQ(rig.Text("QTY"), "1200");
    EXPECT_EQ(rig.table.State(), data::DataSetState::Browse);
}

// A value typed into a cell reaches its record however the clerk goes on: by a key that
// leaves the cell, the row or the editor, or by the program posting the record.
TEST(DBGridData, TypedTextReachesTheRecordWhateverEndsTheEdit) {
    struct Case {
        const char* how;
        std::function<void(GridRig&)> leave;
    };
    const Case cases[] = {
        {"posted by the program", [](GridRig&) {}},
        {"Tab", [](GridRig& r) { QTest::keyClick(r.Editor(), Qt::Key_Tab); }},
        {"F2", [](GridRig& r) { QTest::keyClick(r.Editor(), Qt::Key_F2); }},
        {"Page Down", [](GridRig& r) { QTest::keyClick(r.Editor(), Qt::Key_PageDown); }},
        {"a click on another row",
         [](GridRig& r) { QTest::mouseClick(r.grid, Qt::LeftButton, {}, r.grid->CellRect(2, 3).center()); }},
        // Insert posts the edited record before the new row starts; Up then drops the
        // untouched new row.
        {"Insert",
         [](GridRig& r) {
             QTest::keyClick(r.Editor(), Qt::Key_Insert);
             EXPECT_EQ(r.table.State(), data::DataSetState::Insert);
             QTest::keyClick(r.grid, Qt::Key_Up);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        GridRig rig(nullptr, 3);
        rig.table.SetRecNo(1);
        rig.grid->SetSelectedIndex(2);
        QTest::keyClicks(rig.grid, "9");
        ASSERT_TRUE(rig.grid->EditorMode());
        c.leave(rig);
        rig.table.CheckBrowseMode();
        EXPECT_EQ(rig.table.RecordCount(), 3);
        rig.table.First();
        EXPECT_EQ(rig.Text("QTY"), "9");
    }
}

// Text the field cannot hold is refused with the field's message whichever way the clerk
// tries to leave it: the editor keeps it and the focus, a button clicked meanwhile is not
// pressed, and the record keeps its value until the clerk corrects or cancels the edit.
TEST(DBGridData, RefusedTextKeepsTheEditorAndTheFocus) {
    GridRig rig(nullptr, 3);
    TbsSkinDBGrid* g = rig.grid;
    TbsSkinMessage message;
    g->SetSkinMessage(&message);
    TbsSkinButton button(&rig.window);
    button.SetBounds(300, 170, 75, 25);
    button.show();
    int clicks = 0;
    button.OnClick = [&](QObject*) { ++clicks; };
    g->SetSelectedIndex(2);
    QTest::keyClicks(g, "abc");

    QString shown;
    AnswerNextDialog(mbOK, &shown);
    QTest::keyClick(rig.Editor(), Qt::Key_F2);
    EXPECT_EQ(shown, "'abc' is not a valid floating point value");
    EXPECT_TRUE(g->EditorMode());

    // The window is active again once the message is gone, as on a desktop.
    ASSERT_TRUE(ShowActive(&rig.window));
    ASSERT_EQ(QApplication::focusWidget(), rig.Editor());
    shown.clear();
    AnswerNextDialog(mbOK, &shown);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    for (int i = 0; i < 200 && shown.isEmpty(); ++i) QTest::qWait(10);
    EXPECT_EQ(shown, "'abc' is not a valid floating point value");
    ASSERT_TRUE(ShowActive(&rig.window));
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(g->EditorMode());
    EXPECT_EQ(QApplication::focusWidget(), rig.Editor());
    EXPECT_EQ(rig.Editor()->text(), "abc");
    EXPECT_EQ(rig.Text("QTY"), "1200");

    // Corrected, the same click goes through and the value is in the record.
    rig.Editor()->selectAll();
    QTest::keyClicks(rig.Editor(), "7");
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    rig.table.CheckBrowseMode();
    EXPECT_EQ(rig.Text("QTY"), "7");
}

TEST(DBGridData, UntouchedNewRowsAreDroppedTypedOnesKept) {
    GridRig rig(nullptr, 3);
    TbsSkinDBGrid* g = rig.grid;
    // Insert then Up: the untouched row goes and the current record stays.
    rig.table.SetRecNo(2);
    QTest::keyClick(g, Qt::Key_Insert);
    EXPECT_EQ(rig.table.State(), data::DataSetState::Insert);
    EXPECT_EQ(g->RowCount(), 1 + 4);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(rig.table.State(), data::DataSetState::Browse);
    EXPECT_EQ(rig.table.RecordCount(), 3);
    EXPECT_EQ(rig.table.RecNo(), 2);
    EXPECT_EQ(g->RowCount(), 1 + 3);

    // Down past the last row appends; Down again stays on it; typing then leaving keeps it.
    rig.table.Last();
    QTest::keyClick(g, Qt::Key_Down);
    ASSERT_EQ(rig.table.State(), data::DataSetState::Insert);
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(rig.table.State(), data::DataSetState::Insert);
    g->SetSelectedIndex(0);
    QTest::keyClicks(g, "N1");
    QTest::keyClick(rig.Editor(), Qt::Key_Up);
    EXPECT_EQ(rig.table.RecordCount(), 4);
    rig.table.Last();
    EXPECT_EQ(rig.Text("ITEM"), "N1");

    // Leaving the grid with an untouched new row drops it.
    QLineEdit other(&rig.window);
    other.show();
    QTest::keyClick(g, Qt::Key_Insert);
    ASSERT_EQ(rig.table.State(), data::DataSetState::Insert);
    other.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.table.State(), data::DataSetState::Browse);
    EXPECT_EQ(rig.table.RecordCount(), 4);
}

TEST(DBGridData, DeleteAsksThroughTheSkinnedDialog) {
    auto skin = LoadCarried();
    GridRig rig(skin.get(), 4);
    TbsSkinMessage message;
    message.SetSkinData(skin.get());
    message.SetCtrlSkinData(skin.get());
    rig.grid->SetSkinMessage(&message);
    rig.table.SetRecNo(2);
    const QString second = rig.Text("ITEM");

    QString asked;
    AnswerNextDialog(mbCancel, &asked);
    QTest::keyClick(rig.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(asked, "Delete record?");
    EXPECT_EQ(rig.table.RecordCount(), 4);

    AnswerNextDialog(mbOK);
    QTest::keyClick(rig.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rig.table.RecordCount(), 3);
    EXPECT_NE(rig.Text("ITEM"), second);
    EXPECT_EQ(rig.grid->RowCount(), 1 + 3);

    // From the in-place editor Ctrl+Delete deletes the row too, not a word of the cell.
    QTest::keyClick(rig.grid, Qt::Key_F2);
    ASSERT_TRUE(rig.grid->EditorMode());
    AnswerNextDialog(mbOK, &asked);
    QTest::keyClick(rig.Editor(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rig.table.RecordCount(), 2);
    EXPECT_FALSE(rig.grid->EditorMode());

    // A read-only grid asks nothing and deletes nothing.
    rig.grid->SetReadOnly(true);
    QTest::keyClick(rig.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rig.table.RecordCount(), 2);
}

// --- scroll bars -------------------------------------------------------------------------

// Tab moves between the grid's cells; Ctrl+Tab and Ctrl+Shift+Tab take the keyboard to
// the next and the previous control of the window, from the grid and from its editor.
TEST(DBGridKeys, CtrlTabLeavesTheGridTabStaysInIt) {
    auto skin = LoadCarried();
    GridRig rig(skin.get(), 3);
    auto* before = new QLineEdit(&rig.window);
    auto* after = new QLineEdit(&rig.window);
    before->show();
    after->show();
    QWidget::setTabOrder(before, rig.grid);
    QWidget::setTabOrder(rig.grid, after);
    struct Case {
        const char* what;
        bool editor;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* to;
    };
    const Case cases[] = {
        {"Tab", false, Qt::Key_Tab, Qt::NoModifier, rig.grid},
        {"Ctrl+Tab", false, Qt::Key_Tab, Qt::ControlModifier, after},
        {"Ctrl+Shift+Tab", false, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, before},
        {"Ctrl+Backtab", false, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, before},
        {"Ctrl+Tab in the editor", true, Qt::Key_Tab, Qt::ControlModifier, after},
        {"Ctrl+Shift+Tab in the editor", true, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.grid->setFocus();
        rig.grid->SetSelectedIndex(1);
        if (c.editor) {
            QTest::keyClick(rig.grid, Qt::Key_F2);
            ASSERT_TRUE(rig.grid->EditorMode());
        }
        QTest::keyClick(kFocus, c.key, c.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), c.to);
        if (c.to == rig.grid) {
            EXPECT_EQ(rig.grid->SelectedIndex(), 2) << "Tab went to the next cell";
        }
        rig.grid->SetEditorMode(false);
    }
}

TEST(DBGridBars, ShownWhenNeededAndFollowingTheRecords) {
    auto skin = LoadCarried();
    GridRig rig(skin.get(), 3);
    TbsSkinDBGrid* g = rig.grid;
    const int visible = rig.VisibleRows();
    EXPECT_TRUE(rig.vbar->isHidden());
    EXPECT_EQ(g->width(), rig.window.width());

    // More records than rows: the bar shows on the right, the grid narrows to make room
    // and the horizontal bar takes its shared-corner entry.
    rig.table.DisableControls();
    for (int i = 0; i < 20; ++i) {
        rig.table.Append();
        rig.table.FieldByName("ITEM")->SetAsString(QStringLiteral("X%1").arg(i));
        rig.table.Post();
    }
    rig.table.EnableControls();
    ASSERT_FALSE(rig.vbar->isHidden());
    EXPECT_EQ(g->width(), rig.window.width() - rig.vbar->width());
    EXPECT_EQ(rig.vbar->x(), g->width());
    EXPECT_EQ(rig.vbar->Min(), 1);
    EXPECT_EQ(rig.vbar->Max(), 23 + visible - 1);
    EXPECT_EQ(rig.vbar->PageSize(), visible);
    EXPECT_EQ(rig.vbar->Position(), rig.table.RecNo());
    if (!rig.hbar->isHidden()) {
        EXPECT_TRUE(rig.hbar->Both());
    }

    // Releasing the bar moves the data set to the bar's record; its buttons step a line.
    rig.vbar->SetPosition(15);
    EXPECT_NE(rig.table.RecNo(), 15);  // a drag alone does not move the data
    rig.vbar->OnLastChange(rig.vbar);
    EXPECT_EQ(rig.table.RecNo(), 15);
    rig.table.SetRecNo(1);
    rig.vbar->OnUpButtonClick(rig.vbar);  // one line down: the row below the window
    EXPECT_EQ(rig.table.RecNo(), 1 + visible);
    EXPECT_EQ(g->DataLink().FirstRecord(), 1);

    // Fewer records again: the bar goes, the grid widens.
    rig.table.EmptyDataSet();
    EXPECT_TRUE(rig.vbar->isHidden());
    EXPECT_EQ(g->width(), rig.window.width());

    // Hiding the grid hides its bars.
    rig.table.Close();
    preview::FillSampleOrderLines(rig.table, 30);
    ASSERT_FALSE(rig.vbar->isHidden());
    g->hide();
    EXPECT_TRUE(rig.vbar->isHidden());
    g->show();
    EXPECT_FALSE(rig.vbar->isHidden());
}

TEST(DBGridBars, HorizontalBarScrollsTheColumns) {
    GridRig rig(nullptr, 3, {200, 150});
    TbsSkinDBGrid* g = rig.grid;
    ASSERT_FALSE(rig.hbar->isHidden());
    EXPECT_EQ(rig.hbar->Max(), kGridBarScale);
    EXPECT_EQ(rig.hbar->PageSize(), 0);
    EXPECT_EQ(g->height(), rig.window.height() - rig.hbar->height());
    EXPECT_EQ(g->LeftCol(), 1);
    rig.hbar->OnUpButtonClick(rig.hbar);
    EXPECT_GT(g->LeftCol(), 1);
    EXPECT_GT(rig.hbar->Position(), 0);
    rig.hbar->SetPosition(kGridBarScale);
    rig.hbar->OnLastChange(rig.hbar);
    EXPECT_EQ(g->LeftCol(), MaxFirst(g->Geometry().cols));
    // Moving to the first column brings it back into view.
    QTest::keyClick(g, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(g->LeftCol(), 1);
    EXPECT_EQ(rig.hbar->Position(), 0);
    // Sizing a column by its title border.
    const QRect t = g->CellRect(1, 0);
    const int before = g->Columns().Items(0)->Width();
    QTest::mousePress(g, Qt::LeftButton, {}, QPoint(t.right() + 1, t.center().y()));
    QTest::mouseMove(g, QPoint(t.right() + 21, t.center().y()));
    QTest::mouseRelease(g, Qt::LeftButton, {}, QPoint(t.right() + 21, t.center().y()));
    EXPECT_EQ(g->Columns().Items(0)->Width(), before + 20);
    EXPECT_EQ(g->ColWidths(1), before + 20);
}

// --- column widths -------------------------------------------------------------------

// Columns fitted to what they show: as wide as their titles and values (never cut), at
// most as wide as their fields allow; measured again when the rows change, and a width
// the user set is kept.
TEST(DBGridColumns, FittedToTheirTitlesAndValues) {
    auto carried = LoadCarried();
    for (skin::TbsSkinData* skin : {static_cast<skin::TbsSkinData*>(nullptr), carried.get()}) {
        SCOPED_TRACE(skin ? "carried skin" : "plain look");
        GridRig rig(skin, 5, {700, 200});
        TbsSkinDBGrid* g = rig.grid;
        TbsDBGridColumns& cols = g->Columns();
        std::vector<int> defaults;
        for (int i = 0; i < cols.Count(); ++i) defaults.push_back(cols.Items(i)->Width());
        g->SetFitColumnsToContent(true);
        for (int i = 0; i < cols.Count(); ++i) {
            const TbsColumn* c = cols.Items(i);
            EXPECT_GE(c->Width(), platform::TextWidth(c->Title().Font().ToQFont(), c->Title().Caption()) + 4) << i;
            EXPECT_EQ(g->ColWidths(i + 1), c->Width()) << i;
        }
        TbsColumn* name = cols.Items(1);
        EXPECT_LT(name->Width(), defaults[1]) << "the names are shorter than the field allows";
        if (!skin) {
            // No value is cut: the ink of every unselected name (whatever is not the
            // cell's white) ends inside its cell.
            const QImage img = rig.Image();
            for (int row = 2; row <= 5; ++row) {
                const QRect cell = g->CellRect(2, row);
                int right = -1;
                for (int y = cell.top(); y <= cell.bottom(); ++y)
                    for (int x = cell.left(); x <= cell.right(); ++x)
                        if (Px(img, x, y) != Sys(platform::clWindow)) right = std::max(right, x);
                ASSERT_GT(right, cell.left()) << row;
                EXPECT_LT(right, cell.right() - 1) << row;
            }
        }
        // A longer name widens the column; one longer than the field's width stops there.
        const int before = name->Width();
        rig.table.Append();
        rig.table.FieldByName("NAME")->SetAsString(QStringLiteral("不鏽鋼六角螺絲 M4x10 (長)"));
        rig.table.Post();
        EXPECT_GT(name->Width(), before);
        EXPECT_LE(name->Width(), defaults[1]);
        rig.table.Edit();
        rig.table.FieldByName("NAME")->SetAsString(QString(20, QChar(0x92C1)));
        rig.table.Post();
        EXPECT_EQ(name->Width(), defaults[1]);
        // A width set by the user stays whatever the rows hold.
        name->SetWidth(60);
        rig.table.Edit();
        rig.table.FieldByName("NAME")->SetAsString(QStringLiteral("短"));
        rig.table.Post();
        EXPECT_EQ(name->Width(), 60);
        EXPECT_EQ(g->ColWidths(2), 60);
    }
}

}  // namespace
}  // namespace skinctrls
