// The skinned popup menu on real popup windows offscreen: hot tracking, sub-levels, the
// keyboard, closing, choosing, scrolling, and the pixels of both looks.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <functional>
#include <map>
#include <memory>

#include "frame/PopupMenu.h"
#include "platform/Colors.h"
#include "skin/SkinData.h"
#include "skins/Carried.h"
#include "support/QtTestApp.h"
#include "TestSkin.h"

namespace frame {
namespace {

using namespace skin;

using platform::ToQRgb;

// Mouse input as the window system hands it to the popup that has the grab: the position
// relative to that popup, wherever the cursor is.
void MouseAt(TbsSkinPopupWindow* grab, QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(grab->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(grab, &e);
}

void Key(TbsSkinPopupWindow* w, int key, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &e);
}

QPoint CentreOf(TbsSkinPopupWindow* level, int item) {
    return level->mapToGlobal(level->Items()[size_t(item)].rect.ToQRect().center());
}

// A menu whose actions count how often they ran.
struct Menu {
    TbsSkinMenu chain;
    TbsMenuItem root;
    std::map<QString, int> ran;

    TbsMenuItem Item(const QString& caption, bool enabled = true) {
        TbsMenuItem it;
        it.Caption = caption;
        it.Enabled = enabled;
        it.OnClick = [this, caption] { ++ran[caption]; };
        return it;
    }
    // "&Alpha" (disabled), "&File" with "&Open" and "&Save", a separator, "&Quit".
    Menu() {
        TbsMenuItem file = Item("&File");
        file.Items = {Item("&Open"), Item("&Save")};
        TbsMenuItem sep;
        sep.Caption = "-";
        root.Items = {Item("&Alpha", false), file, sep, Item("&Quit")};
    }
    // Levels closed by their own events go when the event loop next runs; the test has none.
    ~Menu() {
        chain.CloseMenuChain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Open(TbsSkinData* data = nullptr, QPoint at = {100, 100}) {
        chain.OpenMenuChain(data, 0, root, Rect{at.x(), at.y(), at.x(), at.y()}, false);
    }
    TbsSkinPopupWindow* Last() { return chain.Level(chain.LevelCount() - 1); }
};

TEST(PopupMenu, OpensWithTheFirstEnabledItemHotInThePlainLook) {
    Menu m;
    m.Open();
    ASSERT_EQ(m.chain.LevelCount(), 1);
    TbsSkinPopupWindow* level = m.chain.Level(0);
    EXPECT_TRUE(level->isVisible());
    EXPECT_EQ(level->pos(), QPoint(100, 100));
    EXPECT_EQ(level->HotItem(), 1);
    EXPECT_FALSE(m.chain.OpenTimerActive());  // made hot as by the keyboard: no sub-level pending
    EXPECT_FALSE(level->SkinnedWindow());
    const QImage img = level->LevelImage();
    const Rect hot = level->Items()[1].rect;
    const Rect plain = level->Items()[3].rect;
    EXPECT_EQ(img.pixel(0, 0), ToQRgb(platform::clBtnShadow));                  // outer outline
    EXPECT_EQ(img.pixel(1, 1), ToQRgb(platform::clWindow));                      // inner outline
    EXPECT_EQ(img.pixel(hot.left, hot.top), qRgb(0, 0, 128));                    // navy frame of the hot item
    EXPECT_EQ(img.pixel(hot.right - 20, hot.top + 3), qRgb(0xB6, 0xBD, 0xD2));   // its fill
    EXPECT_EQ(img.pixel(plain.left + 3, plain.top + 3), ToQRgb(platform::clBtnFace));  // glyph column
    EXPECT_EQ(img.pixel(plain.right - 3, plain.top + 3), ToQRgb(platform::clWindow));
    // The separator's line at half its height.
    const Rect sep = level->Items()[2].rect;
    EXPECT_EQ(img.pixel(sep.left + 40, sep.top + sep.Height() / 2), ToQRgb(platform::clBtnShadow));
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, HotTrackingFollowsTheMouse) {
    Menu m;
    m.Open();
    TbsSkinPopupWindow* level = m.chain.Level(0);
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 3));
    EXPECT_EQ(level->HotItem(), 3);
    EXPECT_TRUE(level->Items()[3].hot);
    EXPECT_FALSE(level->Items()[1].hot);
    // Separators and disabled items never light up; the one before loses its look.
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 2));
    EXPECT_FALSE(level->Items()[2].hot);
    EXPECT_FALSE(level->Items()[3].hot);
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 0));
    EXPECT_FALSE(level->Items()[0].hot);
    // Off every item the hot item stays.
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 3));
    MouseAt(level, QEvent::MouseMove, level->mapToGlobal(QPoint(1, 1)));
    EXPECT_EQ(level->HotItem(), 3);
    const QImage img = level->LevelImage();
    const Rect quit = level->Items()[3].rect;
    EXPECT_EQ(img.pixel(quit.right - 20, quit.top + 3), qRgb(0xB6, 0xBD, 0xD2));
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, SubLevelOpensOnHoverOrClickAndCloses) {
    Menu m;
    m.Open();
    TbsSkinPopupWindow* level = m.chain.Level(0);
    // Hovering an item with children opens its sub-level when the open timer fires.
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 3));
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 1));
    EXPECT_TRUE(m.chain.OpenTimerActive());
    EXPECT_EQ(m.chain.LevelCount(), 1);
    m.chain.OpenTimerTick();
    ASSERT_EQ(m.chain.LevelCount(), 2);
    TbsSkinPopupWindow* sub = m.chain.Level(1);
    EXPECT_TRUE(level->Items()[1].open);
    EXPECT_EQ(m.ran["&File"], 1);  // the parent's own action runs as on a click
    // Beside the parent item, its first item level with it.
    EXPECT_EQ(sub->pos().x(), level->mapToGlobal(QPoint(level->Items()[1].rect.right, 0)).x() + 1);
    EXPECT_EQ(sub->mapToGlobal(QPoint(0, sub->Items()[0].rect.top)).y(),
              level->mapToGlobal(QPoint(0, level->Items()[1].rect.top)).y());
    EXPECT_EQ(sub->HotItem(), 0);
    // The mouse going over to another item of the first level closes the sub-level.
    MouseAt(sub, QEvent::MouseMove, CentreOf(level, 3));
    EXPECT_EQ(m.chain.LevelCount(), 1);
    EXPECT_FALSE(level->Items()[1].open);
    // A click opens it at once.
    MouseAt(level, QEvent::MouseMove, CentreOf(level, 1));
    MouseAt(level, QEvent::MouseButtonPress, CentreOf(level, 1), Qt::LeftButton);
    MouseAt(level, QEvent::MouseButtonRelease, CentreOf(level, 1), Qt::LeftButton);
    EXPECT_EQ(m.chain.LevelCount(), 2);
    EXPECT_FALSE(m.chain.OpenTimerActive());
    EXPECT_EQ(m.ran["&File"], 2);
    // Escape closes one level, the open item is no longer marked open; Escape again ends it.
    Key(m.Last(), Qt::Key_Escape);
    EXPECT_EQ(m.chain.LevelCount(), 1);
    EXPECT_FALSE(level->Items()[1].open);
    EXPECT_TRUE(m.chain.ChainOpen());
    // Right opens it by the keyboard, Left closes it again.
    Key(level, Qt::Key_Right);
    EXPECT_EQ(m.chain.LevelCount(), 2);
    Key(m.Last(), Qt::Key_Left);
    EXPECT_EQ(m.chain.LevelCount(), 1);
    Key(level, Qt::Key_Left);  // the first level stays
    EXPECT_EQ(m.chain.LevelCount(), 1);
    Key(level, Qt::Key_Escape);
    EXPECT_FALSE(m.chain.ChainOpen());
    EXPECT_EQ(m.chain.LevelCount(), 0);
    EXPECT_EQ(m.ran["&Open"] + m.ran["&Save"] + m.ran["&Quit"], 0);
}

TEST(PopupMenu, ClickOutsideClosesTheWholeChain) {
    Menu m;
    int closed = 0;
    m.chain.OnClose = [&] { ++closed; };
    m.Open();
    TbsSkinPopupWindow* level = m.chain.Level(0);
    Key(level, Qt::Key_Right);
    ASSERT_EQ(m.chain.LevelCount(), 2);
    // A press on the first level keeps the chain; one outside both ends it, running nothing.
    MouseAt(m.Last(), QEvent::MouseButtonPress, CentreOf(level, 3), Qt::LeftButton);
    EXPECT_EQ(m.chain.LevelCount(), 2);
    MouseAt(m.Last(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    EXPECT_FALSE(m.chain.ChainOpen());
    EXPECT_EQ(m.chain.LevelCount(), 0);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(m.ran.empty() || m.ran["&Quit"] == 0);
}

TEST(PopupMenu, ChoosingAnItemRunsItsActionOnce) {
    struct Way {
        const char* what;
        std::function<void(Menu&)> choose;
        const char* ran;
    } ways[] = {
        {"click", [](Menu& m) {
             TbsSkinPopupWindow* l = m.Last();
             MouseAt(l, QEvent::MouseMove, CentreOf(l, 3));
             MouseAt(l, QEvent::MouseButtonPress, CentreOf(l, 3), Qt::LeftButton);
             MouseAt(l, QEvent::MouseButtonRelease, CentreOf(l, 3), Qt::LeftButton);
         }, "&Quit"},
        {"Enter", [](Menu& m) {
             Key(m.Last(), Qt::Key_Down);
             Key(m.Last(), Qt::Key_Return);
         }, "&Quit"},
        {"accelerator", [](Menu& m) { Key(m.Last(), Qt::Key_Q, "q"); }, "&Quit"},
        {"accelerator in a sub-level", [](Menu& m) {
             Key(m.Last(), Qt::Key_F, "f");
             Key(m.Last(), Qt::Key_S, "S");
         }, "&Save"},
    };
    for (const Way& w : ways) {
        Menu m;
        m.Open();
        w.choose(m);
        EXPECT_EQ(m.ran[w.ran], 1) << w.what;
        EXPECT_FALSE(m.chain.ChainOpen()) << w.what;
    }
    // No choice: a right-button release, a release on a separator, a disabled item's key.
    Menu m;
    m.Open();
    TbsSkinPopupWindow* l = m.Last();
    MouseAt(l, QEvent::MouseButtonRelease, CentreOf(l, 3), Qt::RightButton);
    MouseAt(l, QEvent::MouseButtonRelease, CentreOf(l, 2), Qt::LeftButton);
    Key(l, Qt::Key_A, "a");
    Key(l, Qt::Key_Return);  // the separator the mouse left as the hot index
    EXPECT_TRUE(m.chain.ChainOpen());
    EXPECT_EQ(m.ran["&Quit"] + m.ran["&Alpha"], 0);
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, AnActionMayEndTheMenusOwner) {
    // The window that showed the menu may go away in the action (its Close item does).
    for (bool withChildren : {false, true}) {
        auto* chain = new TbsSkinMenu;
        TbsMenuItem root, item;
        item.Caption = "&Close";
        item.OnClick = [&chain] {
            delete chain;
            chain = nullptr;
        };
        if (withChildren) item.Items.resize(1, root);
        root.Items = {item};
        chain->OpenMenuChain(nullptr, 0, root, Rect{100, 100, 100, 100}, false);
        TbsSkinPopupWindow* level = chain->Level(0);
        MouseAt(level, QEvent::MouseButtonRelease, CentreOf(level, 0), Qt::LeftButton);
        EXPECT_EQ(chain, nullptr) << withChildren;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(PopupMenu, ArrowKeysSkipSeparatorsAndDisabledItems) {
    Menu m;
    m.Open();
    TbsSkinPopupWindow* l = m.Last();
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        Key(l, Qt::Key_Down);
        seen.push_back(l->HotItem());
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 1, 3}));
    EXPECT_TRUE(l->Items()[3].hot);
    EXPECT_FALSE(l->Items()[1].hot);
    Key(l, Qt::Key_Up);
    EXPECT_EQ(l->HotItem(), 1);
    // Up searches down to the first item, which is disabled: nothing to move to. (Up wraps
    // only from the first item; the rule tables show it.)
    Key(l, Qt::Key_Up);
    EXPECT_EQ(l->HotItem(), 1);
    EXPECT_EQ(m.chain.LevelCount(), 1);  // a keyboard-hot item with children opens nothing
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, LevelTallerThanTheWorkAreaScrolls) {
    Menu m;
    m.root.Items.clear();
    for (int i = 0; i < 60; ++i) m.root.Items.push_back(m.Item(QStringLiteral("Item %1").arg(i)));
    m.Open();
    TbsSkinPopupWindow* l = m.Last();
    const QRect area = m.chain.WorkArea();
    ASSERT_TRUE(l->Scrolling());
    EXPECT_EQ(l->height(), area.height());
    EXPECT_EQ(l->y(), area.top());
    EXPECT_EQ(l->Items()[0].rect.top, 2 + 10);  // below the top marker
    const int inView = l->VisibleCount();
    EXPECT_FALSE(l->Items()[size_t(inView)].inView);
    // Up from the first item wraps to the last and scrolls the end into view; Down wraps
    // back to the top.
    ASSERT_EQ(l->HotItem(), 0);
    Key(l, Qt::Key_Up);
    EXPECT_EQ(l->HotItem(), 59);
    EXPECT_TRUE(l->Items()[59].inView);
    EXPECT_TRUE(l->Items()[59].hot);
    EXPECT_EQ(l->FirstVisible(), 60 - inView);
    Key(l, Qt::Key_Down);
    EXPECT_EQ(l->HotItem(), 0);
    EXPECT_EQ(l->FirstVisible(), 0);
    // Resting on the bottom marker scrolls one item per tick; leaving it stops.
    MouseAt(l, QEvent::MouseMove, l->mapToGlobal(QPoint(l->width() / 2, l->height() - 6)));
    EXPECT_TRUE(l->ScrollTimerActive());
    l->ScrollTick();
    l->ScrollTick();
    EXPECT_EQ(l->FirstVisible(), 2);
    EXPECT_FALSE(l->Items()[0].inView);
    EXPECT_TRUE(l->Items()[size_t(inView + 1)].inView);
    MouseAt(l, QEvent::MouseMove, l->mapToGlobal(QPoint(l->width() / 2, l->height() / 2)));
    EXPECT_FALSE(l->ScrollTimerActive());
    EXPECT_EQ(l->FirstVisible(), 2);
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, SkinnedLevelComposesThePopupWindowPicture) {
    TbsSkinData data;
    skins::LoadCarriedSkin(data);
    Menu m;
    m.Open(&data);
    TbsSkinPopupWindow* l = m.Last();
    ASSERT_TRUE(l->SkinnedWindow());
    ASSERT_TRUE(l->SkinnedItems());
    const QImage picture = data.ActivePictures[data.PopupWindowData.windowpictureindex].convertToFormat(QImage::Format_RGB32);
    const QImage img = l->LevelImage();
    EXPECT_EQ(img.pixel(0, 0), picture.pixel(0, 0));
    EXPECT_EQ(img.pixel(img.width() - 1, img.height() - 1), picture.pixel(picture.width() - 1, picture.height() - 1));
    // Items take the menu item's height; the level its text plus the skin's margins.
    EXPECT_EQ(l->Items()[0].rect.Height(), 20);
    EXPECT_EQ(l->Items()[2].rect.Height(), 5);
    // The hot item shows the menu item's active look, the others its normal look.
    const QImage items = data.ActivePictures[2].convertToFormat(QImage::Format_RGB32);
    const Rect hot = l->Items()[1].rect, plain = l->Items()[3].rect;
    EXPECT_EQ(img.pixel(hot.left + 1, hot.top + 1), items.pixel(1, 21 + 1));
    EXPECT_EQ(img.pixel(plain.left + 1, plain.top + 1), items.pixel(1, 1));
}

TEST(PopupMenu, ChainEndsWhenItsSkinGoes) {
    auto data = std::make_unique<TbsSkinData>();
    skins::LoadCarriedSkin(*data);
    Menu m;
    m.Open(data.get());
    ASSERT_TRUE(m.chain.ChainOpen());
    data.reset();
    EXPECT_FALSE(m.chain.ChainOpen());
    EXPECT_EQ(m.chain.LevelCount(), 0);
}

// A menu item entry on active picture 0: normal look red (rows 0..24), hot look green
// (rows 24..48), divider blue (rows 48..50); active picture 1 a 20 x 20 window picture.
frametest::TestSkin MenuItemSkin(bool morphing) {
    frametest::TestSkin s;
    QImage items(40, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 40; ++x) items.setPixel(x, y, y < 24 ? qRgb(200, 0, 0) : y < 48 ? qRgb(0, 200, 0) : qRgb(0, 0, 200));
    s.active = {items, frametest::Solid(20, 20, qRgb(250, 250, 0))};
    s.objects = {{"menuitem", "menuitem",
                  {"activepictureindex=0", "skinrectinapicture=1", "skinrect=0,0,40,24", "activeskinrect=0,24,40,48",
                   "dividerrect=0,48,40,50", "itemleftoffset=2", "itemrightoffset=2", "textrect=2,0,38,24",
                   QStringLiteral("morphing=%1").arg(morphing ? 1 : 0), "fontcolor=0", "activefontcolor=0"}}};
    return s;
}

TEST(PopupMenu, MenuItemEntryWithoutWindowPictureAndMorphing) {
    frametest::TestSkin skin = MenuItemSkin(true);
    TbsSkinData data;
    skin.LoadInto(data);
    Menu m;
    m.Open(&data);
    TbsSkinPopupWindow* l = m.Last();
    EXPECT_TRUE(l->SkinnedItems());
    EXPECT_FALSE(l->SkinnedWindow());
    // Items take the entry's heights, and the level is as tall as they are: nothing cut.
    EXPECT_EQ(l->Items()[0].rect.Height(), 24);
    EXPECT_EQ(l->Items()[2].rect.Height(), 2);
    EXPECT_EQ(l->height(), 3 * 24 + 2 + 4);
    EXPECT_TRUE(l->Items()[3].inView);
    // The hot item changes its look by 0.1 per morph tick, from the normal to the hot look.
    const Rect hot = l->Items()[1].rect;
    auto look = [&] { return QColor(l->LevelImage().pixel(hot.left + 1, hot.top + 1)); };
    EXPECT_EQ(look(), QColor(200, 0, 0));
    for (int i = 0; i < 5; ++i) l->MorphTick();
    EXPECT_DOUBLE_EQ(l->Items()[1].k, 0.5);
    const QColor half = look();
    EXPECT_NE(half, QColor(200, 0, 0));
    EXPECT_NE(half, QColor(0, 200, 0));
    for (int i = 0; i < 5; ++i) l->MorphTick();
    EXPECT_EQ(look(), QColor(0, 200, 0));
    // The divider comes from its own rectangle.
    const Rect sep = l->Items()[2].rect;
    EXPECT_EQ(QColor(l->LevelImage().pixel(sep.left + 10, sep.top)), QColor(0, 0, 200));
    m.chain.CloseMenuChain();
}

TEST(PopupMenu, WindowPictureWithoutMenuItemEntryFallsBackToThePlainLook) {
    frametest::TestSkin skin = MenuItemSkin(false);
    skin.popupWindow = {"windowpictureindex=1", "lefttoppoint=2,2", "righttoppoint=18,2", "leftbottompoint=2,18",
                        "rightbottompoint=18,18", "itemsrect=2,2,18,18"};
    TbsSkinData with;
    skin.LoadInto(with);
    Menu m;
    m.Open(&with);
    EXPECT_TRUE(m.Last()->SkinnedWindow());
    EXPECT_EQ(m.Last()->LevelImage().pixel(0, 0), qRgb(250, 250, 0));
    m.chain.CloseMenuChain();
    skin.objects.clear();
    TbsSkinData without;
    skin.LoadInto(without);
    m.Open(&without);
    EXPECT_FALSE(m.Last()->SkinnedWindow());
    EXPECT_FALSE(m.Last()->SkinnedItems());
    EXPECT_EQ(m.Last()->LevelImage().pixel(0, 0), ToQRgb(platform::clBtnShadow));
    m.chain.CloseMenuChain();
}

}  // namespace
}  // namespace frame
