// The demo panel of the "skin demo" window, on a skinned form: every control takes the
// skin, and taking the skin away and back reaches every control through the form.

#include <gtest/gtest.h>

#include "frame/SkinFrame.h"
#include "platform/Form.h"
#include "preview/ControlsDemo.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

TbsSkinButton* ButtonCaptioned(QWidget* root, const QString& caption) {
    for (TbsSkinButton* b : root->findChildren<TbsSkinButton*>())
        if (b->Caption() == caption) return b;
    return nullptr;
}

TEST(ControlsDemo, SkinGoesAndComesBackThroughTheForm) {
    platform::Form form;
    form.resize(900, 800);
    auto* data = new skin::TbsSkinData(&form);
    auto* frame = new frame::TbsSkinFrame(&form);
    skin::TbsStoredSkin stored;
    stored.LoadFromSkinFile(QStringLiteral(MARLITH_CARRIED_SKIN_DIR "/skin.ini"));
    data->LoadFromStoredSkin(stored);
    frame->SetSkinData(data);
    preview::ControlsDemoOptions options;
    options.skinData = data;
    options.reloadSkin = [&] { data->LoadFromStoredSkin(stored); };
    TbsSkinPanel* root = preview::CreateControlsDemo(form.Client(), options);
    ShowOffscreen(&form);

    const auto buttons = root->findChildren<TbsSkinButton*>();
    const auto edits = root->findChildren<TbsSkinEdit*>();
    const auto bars = root->findChildren<TbsSkinScrollBar*>();
    ASSERT_GT(buttons.size(), 15);
    for (TbsSkinButton* b : buttons) {
        EXPECT_GE(b->EntryIndex(), 0) << b->Caption().toStdString();
        EXPECT_EQ(b->height(), 28) << b->Caption().toStdString();
    }
    for (TbsSkinEdit* e : edits) EXPECT_EQ(e->height(), 18);
    for (TbsSkinScrollBar* s : bars) EXPECT_EQ(s->Kind() == sbHorizontal ? s->height() : s->width(), 17);
    auto* grid = root->findChild<TbsSkinDBGrid*>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->DefaultRowHeight(), 22);
    EXPECT_FALSE(grid->VScrollBar()->isHidden()) << "more sample rows than fit";

    QTest::mouseClick(ButtonCaptioned(root, QStringLiteral("無外觀")), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(frame->IsSkinned());
    for (TbsSkinButton* b : buttons) EXPECT_EQ(b->EntryIndex(), -1);
    for (TbsSkinEdit* e : edits) EXPECT_EQ(e->EntryIndex(), -1);
    EXPECT_EQ(edits.first()->Margins().left(), 2) << "plain margins";
    EXPECT_EQ(grid->DefaultRowHeight(), 20);

    QTest::mouseClick(ButtonCaptioned(root, QStringLiteral("重新載入外觀")), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(frame->IsSkinned());
    for (TbsSkinButton* b : buttons) EXPECT_GE(b->EntryIndex(), 0);
    for (TbsSkinEdit* e : edits) EXPECT_GE(e->EntryIndex(), 0);
    EXPECT_EQ(grid->DefaultRowHeight(), 22);
}

}  // namespace
}  // namespace skinctrls
