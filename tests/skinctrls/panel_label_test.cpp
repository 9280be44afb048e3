// Panels, the group box and the label on real widgets: caption band, check box, roll-up,
// tiling, client area for aligned children, and the label's fonts and disabled look.

#include <gtest/gtest.h>

#include "platform/Form.h"
#include "platform/SkinDispatch.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

TEST(PanelDefaultLook, CaptionBandCheckBoxAndMarker) {
    Host host;
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 200, 80);
    const QImage bare = panel->Render();
    EXPECT_EQ(Px(bare, 0, 0), Sys(platform::clBtnHighlight)) << "raised border";
    EXPECT_EQ(Px(bare, 199, 79), Sys(platform::clBtnShadow));
    panel->SetCaption("Caption");
    EXPECT_EQ(panel->Render(), bare) << "no caption band without CaptionMode";

    panel->SetCaptionMode(true);
    const QImage band = panel->Render();
    EXPECT_EQ(Px(band, 1, 1), Sys(platform::clBtnShadow)) << "sunken outer frame of the band";
    EXPECT_EQ(Px(band, 2, 2), Sys(platform::clBtnHighlight)) << "raised inner frame";
    EXPECT_EQ(Px(band, 197, 20), Sys(platform::clBtnShadow));
    const QRect text = BoundsOfColor(band, Sys(platform::clWindowText), QRect(3, 3, 194, 18));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 5) << "left-justified 2 pixels into the text area";
    EXPECT_LE(text.left(), 7);

    panel->SetCheckedMode(true);
    const QImage unchecked = panel->Render();
    EXPECT_EQ(Px(unchecked, 5, 4), Sys(platform::clBtnShadow)) << "check box frame at x 5";
    EXPECT_EQ(Px(unchecked, 18, 17), Sys(platform::clBtnShadow));
    EXPECT_GE(BoundsOfColor(unchecked, Sys(platform::clWindowText), QRect(20, 3, 170, 18)).left(), 25)
        << "the text makes room for the box";
    panel->SetChecked(true);
    EXPECT_GT(CountColor(panel->Render(), Sys(platform::clBtnText), QRect(6, 5, 12, 12)), 8) << "check mark";

    panel->SetRollUpMode(true);
    EXPECT_GT(CountColor(panel->Render(), Sys(platform::clBtnText), QRect(187, 3, 10, 18)), 5) << "roll-up marker";
}

TEST(PanelCheckAndRollUp, CaptionClicksToggleAndChildrenFollow) {
    Host host;
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 200, 100);
    panel->show();
    auto* child = new TbsSkinButton(panel);
    child->move(10, 40);
    child->show();
    int checkedEvents = 0;
    panel->OnChecked = [&](QObject*) { ++checkedEvents; };

    panel->SetRollUpState(true);
    EXPECT_FALSE(panel->RollUpState()) << "ignored without RollUpMode";
    EXPECT_EQ(panel->height(), 100);

    panel->SetCaptionMode(true);
    panel->SetCheckedMode(true);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_TRUE(panel->Checked());
    EXPECT_EQ(checkedEvents, 1);
    EXPECT_TRUE(child->isEnabled());
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_FALSE(panel->Checked());
    EXPECT_FALSE(child->isEnabled()) << "AutoEnabledControls: the check enables the children";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 60));
    EXPECT_FALSE(panel->Checked()) << "a click below the caption does nothing";
    panel->SetChecked(true);

    panel->SetCheckedMode(false);
    panel->SetRollUpMode(true);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_TRUE(panel->RollUpState());
    EXPECT_EQ(panel->height(), 23) << "caption height + 1";
    EXPECT_FALSE(child->isVisible());
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_FALSE(panel->RollUpState());
    EXPECT_EQ(panel->height(), 100);
    EXPECT_TRUE(child->isVisible());
}

TEST(PanelCheckAndRollUp, SavedHeightSurvivesASkinChange) {
    auto skin = LoadCarried();
    Host host;
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 200, 100);
    panel->SetSkinData(skin.get());
    panel->show();
    auto* child = new TbsSkinButton(panel);
    child->show();
    panel->SetCaptionMode(true);
    panel->SetRollUpMode(true);
    const int clientHeight = panel->NewGeometry().C.Height();
    panel->SetRollUpState(true);
    const int rolled = panel->height();
    EXPECT_EQ(rolled, 100 - clientHeight) << "height less the client part";
    EXPECT_EQ(panel->SavedHeight(), 100);

    platform::ForwardSkinMessage(&host.window, skin::SkinChange::Changing, skin.get());
    platform::ForwardSkinMessage(&host.window, skin::SkinChange::Changed, skin.get());
    EXPECT_TRUE(panel->RollUpState());
    EXPECT_EQ(panel->height(), rolled);
    EXPECT_EQ(panel->SavedHeight(), 100);
    EXPECT_FALSE(child->isVisible());
    panel->SetRollUpState(false);
    EXPECT_EQ(panel->height(), 100);
    EXPECT_TRUE(child->isVisible());
}

TEST(PanelSkinned, GroupBoxCaptionCentredInWhite) {
    auto skin = LoadCarried();
    Host host(400, 200);
    auto* box = new TbsSkinGroupBox(&host.window);
    box->SetBounds(0, 0, 300, 128);
    box->SetSkinData(skin.get());
    box->SetCaption("Order totals");
    const QImage img = box->Render();
    EXPECT_EQ(box->LastCaptionRect(), (skin::Rect{1, 1, 299, 14}));
    const QRect text = BoundsOfColor(img, 0xFFFFFF, QRect(1, 1, 298, 13), 60);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 150, 3);
    EXPECT_TRUE(QRect(1, 1, 298, 13).contains(text));
}

TEST(PanelSkinned, CaptionOnlyWithACaptionRectAndTilingLooks) {
    auto skin = LoadCarried();
    const auto* e = skin->FindControl<skin::TbsDataSkinPanelControl>("panel");
    ASSERT_TRUE(e->captionrect.IsEmpty());
    const QImage& pic = skin->ActivePictures[e->pictureindex];
    Host host;
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 120, 60);
    panel->SetSkinData(skin.get());
    const QImage plain = panel->Render();
    panel->SetCaption("Never shown");
    EXPECT_EQ(panel->Render(), plain);
    EXPECT_EQ(panel->AlignArea(), QRect(1, 1, 118, 58)) << "the new client rectangle";

    // bvNone: the client part of the skin tiled over the whole panel.
    panel->SetBorderStyle(bvNone);
    const QImage tiled = panel->Render();
    const skin::Rect& c = e->clientrect;
    const int tw = c.Width(), th = c.Height();
    for (QPoint p : {QPoint(0, 0), QPoint(37, 5), QPoint(119, 59), QPoint(40, 41)})
        EXPECT_EQ(QColor(tiled.pixel(p)),
                  QColor(pic.pixel(e->skinrect.left + c.left + p.x() % tw, e->skinrect.top + c.top + p.y() % th)))
            << p.x() << "," << p.y();
    EXPECT_EQ(panel->AlignArea(), QRect(0, 0, 120, 60));

    // A background picture is tiled from the corner and takes the whole panel.
    skin::TbsSkinData data;
    LoadSkin(data, {"bg:panel"},
             {"[bg]", "pictureindex=0", "skinrect=0,0,20,20", "lefttoppoint=2,2", "righttoppoint=18,2",
              "leftbottompoint=2,18", "rightbottompoint=18,18", "clientrect=2,2,18,18", "bgpictureindex=1"},
             {PositionPicture(20, 20), PositionPicture(7, 5)});
    auto* bg = new TbsSkinPanel(&host.window);
    bg->SetSkinDataName("bg");
    bg->SetBounds(0, 0, 50, 30);
    bg->SetSkinData(&data);
    const QImage bgImg = bg->Render();
    EXPECT_EQ(QColor(bgImg.pixel(15, 12)), QColor(15 % 7, 12 % 5, 77));
    EXPECT_EQ(bg->AlignArea(), QRect(0, 0, 50, 30));
}

TEST(PanelLayout, AlignedChildrenFillTheClientArea) {
    auto skin = LoadCarried();
    Host host;
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 200, 100);
    panel->show();
    auto* client = new platform::Control(panel);
    client->SetAlign(platform::alClient);
    client->show();
    EXPECT_EQ(client->geometry(), QRect(1, 1, 198, 98));
    panel->SetCaptionMode(true);
    EXPECT_EQ(client->geometry(), QRect(1, 23, 198, 76)) << "below the caption band";
    panel->SetBorderStyle(bvNone);
    EXPECT_EQ(client->geometry(), QRect(0, 22, 200, 78));
    panel->SetSkinData(skin.get());
    EXPECT_EQ(client->geometry(), QRect(1, 1, 198, 98)) << "the skin's client rectangle";
    panel->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(client->geometry(), QRect(1, 1, 298, 148));
}

TEST(Label, SkinFontAutoSizeAndDisabledLook) {
    auto skin = LoadCarried();
    const auto* e = skin->FindControl<skin::TbsDataSkinStdLabelControl>("stdlabel");
    ASSERT_NE(e, nullptr);
    Host host;
    host.window.setStyleSheet("background: white");
    auto* label = new TbsSkinStdLabel(&host.window);
    label->SetCaption("專案代號");
    const QSize plainSize = label->size();
    label->SetSkinData(skin.get());
    EXPECT_EQ(label->DrawFont().height, e->fontheight);
    EXPECT_EQ(label->DrawFont().color, e->fontcolor);
    EXPECT_EQ(label->size(), label->TextSize()) << "auto-sized to the text in the skin font";
    EXPECT_NE(label->size(), plainSize);
    label->SetCaption("Hill");
    EXPECT_GT(CountText(Grab(label), e->fontcolor), 5);

    // Its own font with UseSkinFont off, the skin's colour still.
    platform::TFont own;
    own.name = "Arial";
    own.height = 20;
    label->SetFont(own);
    label->SetUseSkinFont(false);
    EXPECT_EQ(label->DrawFont().height, 20);
    EXPECT_EQ(label->DrawFont().color, e->fontcolor);

    // Disabled: a highlight copy one pixel down-right under the text in button shadow.
    label->SetCaption("I");
    label->setEnabled(false);
    const QImage img = Grab(label);
    const QRect shadow = BoundsOfColor(img, Sys(platform::clBtnShadow), {}, 30);
    ASSERT_FALSE(shadow.isEmpty());
    EXPECT_EQ(CountText(img, e->fontcolor), 0);
    label->setEnabled(true);
    label->SetSkinData(nullptr);
    EXPECT_EQ(label->SkinData(), nullptr);
}

// A line is one line of the label's font whatever script it is written in: characters the
// font lacks are drawn with a fallback font whose glyphs may stand taller, which must not
// make a one-line Chinese caption two lines high.
TEST(Label, AutoSizeCountsLinesInTheLabelsFont) {
    struct Text {
        const char* what;
        QString caption;
        int lines;
    } texts[] = {
        {"Latin", "Project", 1},
        {"Chinese", "專案代號", 1},
        {"mixed", "專案 Project 01", 1},
        {"outcome", "資料寫入成功..!", 1},
        {"accelerator", "&Code", 1},
        {"two lines", "專案代號\nProject", 2},
        {"three lines", "A\n專案\nB", 3},
    };
    Host host;
    auto* label = new TbsSkinStdLabel(&host.window);
    label->SetUseSkinFont(false);
    for (const char* name : {"Arial", "新細明體", "MS Sans Serif"}) {
        for (int height : {-11, 8, 10, 12, 14, 16, 19, 21, 24}) {
            platform::TFont font;
            font.name = QString::fromUtf8(name);
            font.height = height;
            label->SetFont(font);
            const int cell = platform::TextHeight(font.ToQFont());
            for (const Text& t : texts) {
                label->SetCaption(t.caption);
                EXPECT_EQ(label->height(), t.lines * cell)
                    << name << " " << height << " " << t.what << ": " << t.lines << " line(s) of " << cell;
                EXPECT_EQ(label->width(), QFontMetrics(font.ToQFont())
                                              .boundingRect(QRect(0, 0, 100000, 100000), Qt::TextShowMnemonic,
                                                            t.caption)
                                              .width())
                    << name << " " << height << " " << t.what;
            }
        }
    }

    // Drawn so: the same line twice gives the same ink one cell apart, also where the
    // fallback font stands taller than the label's font.
    host.window.setStyleSheet("background: white");
    for (int height : {14, 21}) {
        platform::TFont font;
        font.height = height;
        font.color = platform::clBlack;
        label->SetFont(font);
        label->SetCaption("專案 Pj\n專案 Pj");
        const int cell = platform::TextHeight(font.ToQFont());
        ASSERT_EQ(label->height(), 2 * cell);
        const QImage img = Grab(label);
        const QRect first = BoundsOfColor(img, platform::clBlack, QRect(0, 0, img.width(), cell));
        const QRect second = BoundsOfColor(img, platform::clBlack, QRect(0, cell, img.width(), cell));
        ASSERT_FALSE(first.isEmpty()) << height;
        EXPECT_EQ(second, first.translated(0, cell)) << height;
    }

    // Word-wrapped: as many lines as the words need at the label's width.
    platform::TFont arial;
    arial.height = 14;
    label->SetFont(arial);
    label->SetCaption("Project Project");
    label->SetAutoSize(false);
    label->resize(platform::TextWidth(arial.ToQFont(), "Project") + 4, 10);
    label->SetWordWrap(true);
    EXPECT_EQ(label->TextSize().height(), 2 * platform::TextHeight(arial.ToQFont()));
}

// A line is one line whatever its script: the Chinese fallback font is taller than the
// label's own font at many sizes, and that must not make a one-line caption two lines.
TEST(Label, ALineIsOneLineWhateverItsScript) {
    Host host;
    auto* label = new TbsSkinStdLabel(&host.window);
    for (const char* name : {"Arial", "MS Sans Serif", "新細明體"}) {
        for (int height = -8; height >= -24; --height) {
            platform::TFont f;
            f.name = QString::fromUtf8(name);
            f.height = height;
            label->SetFont(f);
            const int line = platform::TextHeight(label->DrawFont().ToQFont());
            struct Case {
                const char* caption;
                int lines;
            } cases[] = {{"Project", 1}, {"專案代號", 1}, {"專案 Project 代號", 1}, {"資料寫入成功..!\n請購單號：20261210", 2}};
            for (const Case& c : cases) {
                label->SetCaption(QString::fromUtf8(c.caption));
                EXPECT_EQ(label->TextSize().height(), c.lines * line)
                    << name << " " << height << " '" << c.caption << "'";
            }
        }
    }
}

TEST(Label, AcceleratorFocusesItsControl) {
    platform::Form form;
    form.resize(300, 100);
    auto* label = new TbsSkinStdLabel(form.Client());
    label->SetCaption("&Code");
    auto* edit = new TbsSkinEdit(form.Client());
    edit->move(80, 0);
    auto* other = new TbsSkinButton(form.Client());
    other->move(0, 40);
    label->SetFocusControl(edit);
    ASSERT_TRUE(ShowActive(&form));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(edit->LineEdit()->hasFocus());
}

}  // namespace
}  // namespace skinctrls
