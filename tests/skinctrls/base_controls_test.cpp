// The control bases on real widgets: entries found by name, sizes fitted to the skin,
// default sizes and looks without one, regions from masks and the skin-change protocol.

#include <gtest/gtest.h>

#include "platform/Form.h"
#include "platform/SkinDispatch.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

TEST(FittedSize, CarriedSkinSizesAndPlainSizes) {
    auto skin = LoadCarried();
    ASSERT_FALSE(skin->IsEmpty());
    Host host;
    auto* button = new TbsSkinButton(&host.window);
    auto* edit = new TbsSkinEdit(&host.window);
    auto* buttonEdit = new TbsSkinEdit(&host.window);
    buttonEdit->SetSkinDataName("buttonedit");
    buttonEdit->SetButtonMode(true);
    auto* hbar = new TbsSkinScrollBar(&host.window);
    auto* vbar = new TbsSkinScrollBar(&host.window);
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    vbar->SetBounds(0, 0, 20, 200);
    auto* panel = new TbsSkinPanel(&host.window);
    panel->SetBounds(0, 0, 300, 32);

    struct Case {
        QWidget* w;
        QSize plain, skinned;
        const char* what;
    } cases[] = {
        {button, {75, 25}, {75, 28}, "button: skin height 28"},
        {edit, {121, 20}, {121, 18}, "edit: skin height 18"},
        {buttonEdit, {121, 20}, {121, 18}, "button edit: skin height 18"},
        {hbar, {200, 20}, {200, 17}, "horizontal bar: 17 high"},
        {vbar, {20, 200}, {17, 200}, "vertical bar: 17 wide"},
        {panel, {300, 32}, {300, 32}, "panel stretches both ways"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.w->size(), c.plain) << c.what;
    button->SetSkinData(skin.get());
    edit->SetSkinData(skin.get());
    buttonEdit->SetSkinData(skin.get());
    hbar->SetSkinData(skin.get());
    vbar->SetSkinData(skin.get());
    panel->SetSkinData(skin.get());
    for (const Case& c : cases) EXPECT_EQ(c.w->size(), c.skinned) << c.what;

    // Later bounds are fitted too; the free direction stays free.
    button->SetBounds(10, 10, 90, 25);
    EXPECT_EQ(button->geometry(), QRect(10, 10, 90, 28));
    hbar->SetBounds(0, 50, 333, 40);
    EXPECT_EQ(hbar->size(), QSize(333, 17));
    edit->SetBounds(0, 0, 200, 30);
    EXPECT_EQ(edit->size(), QSize(200, 18));
}

TEST(FittedSize, MissingEntryTakesDefaultSizeAndFixedEntryTheSkinSize) {
    skin::TbsSkinData data;
    LoadSkin(data, {"stamp:button"},
             {"[stamp]", "pictureindex=0", "skinrect=2,3,42,23", "clientrect=2,2,38,18"}, {PositionPicture(64, 32)});
    Host host;
    auto* missing = new TbsSkinButton(&host.window);
    missing->SetSkinDataName("Stamp");  // names are case-sensitive
    missing->SetDefaultWidth(90);
    missing->SetDefaultHeight(30);
    missing->SetSkinData(&data);
    EXPECT_EQ(missing->EntryIndex(), -1);
    EXPECT_EQ(missing->size(), QSize(90, 30));

    auto* fixed = new TbsSkinButton(&host.window);
    fixed->SetSkinDataName("stamp");
    fixed->SetSkinData(&data);
    EXPECT_EQ(fixed->GetStretchKind(), StretchKind::Fixed);
    EXPECT_EQ(fixed->size(), QSize(40, 20));
    fixed->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(fixed->size(), QSize(40, 20));
    // Drawn 1:1 from the skin rectangle.
    const QImage img = fixed->Render();
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(2, 3, 77));
    EXPECT_EQ(QColor(img.pixel(39, 19)), QColor(41, 22, 77));

    // An entry of a class the control cannot draw from counts as missing.
    auto* panelAsButton = new TbsSkinButton(&host.window);
    LoadSkin(data, {"p:panel"}, {"[p]", "pictureindex=0", "skinrect=0,0,40,20"}, {PositionPicture(64, 32)});
    panelAsButton->SetSkinDataName("p");
    panelAsButton->SetSkinData(&data);
    EXPECT_EQ(panelAsButton->EntryIndex(), -1);
    EXPECT_EQ(panelAsButton->size(), QSize(75, 25));
}

TEST(Region, CutFromTheMaskPicture) {
    // A 20 x 10 button whose mask leaves out its four corner pixels.
    QImage mask(20, 10, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (QPoint p : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 9), QPoint(19, 9)}) mask.setPixel(p, qRgb(255, 255, 255));
    skin::TbsSkinData data;
    LoadSkin(data, {"round:button"},
             {"[round]", "pictureindex=0", "maskpictureindex=1", "skinrect=0,0,20,10", "lefttoppoint=5,0",
              "righttoppoint=15,0", "clientrect=5,0,15,10"},
             {PositionPicture(20, 10), mask});
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    b->SetSkinDataName("round");
    b->SetSkinData(&data);
    ASSERT_EQ(b->size(), QSize(75, 10));
    ASSERT_TRUE(b->Region().has_value());
    const QRegion r = *b->Region();
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(74, 0)));
    EXPECT_FALSE(r.contains(QPoint(74, 9)));
    EXPECT_TRUE(r.contains(QPoint(1, 0)));
    EXPECT_TRUE(r.contains(QPoint(40, 5)));
    EXPECT_TRUE(r.contains(QPoint(73, 9)));
    EXPECT_EQ(b->mask(), r);
    // A skin without a mask gives the window back its rectangle.
    auto carried = LoadCarried();
    b->SetSkinDataName("button");
    b->SetSkinData(carried.get());
    EXPECT_FALSE(b->Region().has_value());
    EXPECT_TRUE(b->mask().isEmpty());
}

TEST(SkinChange, FormsForgetAndReReadDepthFirst) {
    auto skin = std::make_unique<skin::TbsSkinData>();
    platform::AttachSkinData(skin.get());
    platform::Form form;
    form.resize(400, 300);
    ShowOffscreen(&form);
    auto* panel = new TbsSkinPanel(form.Client());
    auto* button = new TbsSkinButton(panel);
    auto* edit = new TbsSkinEdit(panel);
    panel->SetSkinData(skin.get());
    button->SetSkinData(skin.get());
    edit->SetSkinData(skin.get());
    EXPECT_EQ(button->size(), QSize(75, 25));  // the skin data is still empty

    // Loading a skin reaches the controls through their form.
    auto carried = LoadCarried();
    skin::TbsStoredSkin stored;
    stored.LoadFromSkinFile(QStringLiteral(MARLITH_CARRIED_SKIN_DIR "/skin.ini"));
    skin->LoadFromStoredSkin(stored);
    EXPECT_GE(button->EntryIndex(), 0);
    EXPECT_EQ(button->size(), QSize(75, 28));
    EXPECT_EQ(edit->size(), QSize(121, 18));

    // SkinChange::Changing makes them forget; another skin data's message is not theirs.
    platform::ForwardSkinMessage(&form, skin::SkinChange::Changing, carried.get());
    EXPECT_GE(button->EntryIndex(), 0);
    platform::ForwardSkinMessage(&form, skin::SkinChange::Changing, skin.get());
    EXPECT_EQ(button->EntryIndex(), -1);
    EXPECT_EQ(panel->EntryIndex(), -1);

    // A failed load leaves them on their plain look and default sizes.
    button->SetDefaultHeight(25);
    skin::TbsStoredSkin broken;
    broken.IniStrings = QStringList{"[VERSION]"};
    skin->LoadFromStoredSkin(broken);
    EXPECT_EQ(button->EntryIndex(), -1);
    EXPECT_EQ(button->size(), QSize(75, 25));

    // A destroyed skin data clears the reference.
    skin.reset();
    EXPECT_EQ(button->SkinData(), nullptr);
    EXPECT_FALSE(button->Render().isNull());
}

}  // namespace
}  // namespace skinctrls
