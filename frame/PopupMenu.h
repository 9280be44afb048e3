#pragma once
// The skinned popup menu: a chain of popup levels drawn from the skin's [POPUPWINDOW]
// section and "menuitem" entry (or in a plain look without them).
//
// TbsSkinMenu is the chain: the first level holds the children of the root item, and each
// level the clerk opens on an item with children adds one more popup beside that item.
// TbsSkinPopupWindow is one level: a frameless top-level popup that composes its image off
// screen and copies it in one step. The mouse moves the hot item and opens sub-levels
// (at once on a click, after a pause on hover); the keyboard moves, opens, closes and
// chooses; choosing an item closes the chain and runs the item's action; a click outside
// every level closes the chain.
//
// Qt mapping: a level is a Qt::Popup window, so the window system hands it every mouse
// event and key press while it is the last one open; the chain routes each mouse event to
// the level under the cursor (which takes the place of polling the cursor), and key
// presses go to the last level.
//
// Ownership: the chain is owned by whoever shows menus (the window frame) and owns its
// levels and a copy of the root item, so items stay valid while levels show them.

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "frame/PopupLayout.h"
#include "platform/Fonts.h"
#include "skin/SkinData.h"

class QAction;

namespace frame {

// One menu item: a caption with its "&" accelerator ("-" makes a separator), an optional
// shortcut text shown at the right, flags, sub-items and the action run when it is chosen.
struct TbsMenuItem {
    QString Caption;
    QString ShortCut;  // shown as given, e.g. "Alt+F4"
    QString Name;      // "BSF_CLOSE" and the like pick the frame glyph shown at the left
    bool Enabled = true;
    bool Checked = false;
    bool RadioItem = false;
    bool Default = false;  // drawn in bold
    bool Visible = true;
    std::vector<TbsMenuItem> Items;
    std::function<void()> OnClick;

    bool IsSeparator() const { return Caption == QLatin1String("-"); }
};

// A menu built from Qt actions (separators, sub-menus, check marks, shortcuts); choosing an
// item triggers its action.
TbsMenuItem MenuItemFromActions(const QList<QAction*>& actions);

class TbsSkinMenu;

// One item of a level.
struct TbsSkinMenuItem {
    const TbsMenuItem* item = nullptr;
    bool hot = false;
    bool open = false;  // its sub-level is shown
    double k = 0;       // morph factor
    skin::Rect rect;    // in the level's coordinates
    bool inView = false;
    bool selectable() const { return item->Enabled && !item->IsSeparator(); }
};

class TbsSkinPopupWindow : public QWidget {
    Q_OBJECT

public:
    // root keeps the menu the item belongs to alive as long as the level shows it.
    TbsSkinPopupWindow(TbsSkinMenu* chain, std::shared_ptr<const TbsMenuItem> root, const TbsMenuItem* menuItem,
                       int startIndex, bool subLevel);
    ~TbsSkinPopupWindow() override;

    const std::vector<TbsSkinMenuItem>& Items() const { return items_; }
    int HotItem() const { return hot_; }
    bool Scrolling() const { return scrolling_; }
    int FirstVisible() const { return first_; }
    int VisibleCount() const { return layout_.visibleCount; }
    bool Flipped() const { return flipped_; }
    skin::Rect ItemsRect() const { return itemsRect_; }
    // Whether the skin's window picture and menu item draw this level.
    bool SkinnedWindow() const { return geo_.window; }
    bool SkinnedItems() const { return itemEntry_ != nullptr; }
    bool ScrollTimerActive() const { return scrollTimer_.isActive(); }

    // The whole level as it is painted.
    QImage LevelImage() const;

    // Builds the items, sizes and places the level at the anchor and shows it with its
    // first selectable item hot.
    void Open(const skin::Rect& anchor, bool upward, bool alphaFirst);

    // Mouse and keyboard operations, as the chain hands them down.
    void TrackHover(QPoint p);
    void MouseUp(QPoint p, Qt::MouseButton button);
    void KeyDown(int key, const QString& text);
    void StopScrolling();
    void ScrollTick();
    void MorphTick();

    void ItemBecomesHot(int index, bool keyboard);
    void ItemLosesHot(int index);
    void ChooseItem(int index);
    void SetItemOpen(int index, bool open, bool redraw);
    void CloseAllItems();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    friend class TbsSkinMenu;
    void BuildItems();
    void LayOut();
    void RedrawItem(int index);
    void StartItemChange(int index);
    void SetHot(int index, bool keyboard);
    QImage WindowImage() const;
    void DrawScrollMarkers(QPainter& p) const;
    std::vector<int> Heights() const;
    std::vector<bool> Selectable() const;
    int Index() const;

    TbsSkinMenu* chain_;
    std::shared_ptr<const TbsMenuItem> root_;
    const TbsMenuItem* menuItem_;
    int start_;
    bool subLevel_;
    const skin::TbsDataSkinPopupWindow* windowEntry_ = nullptr;
    const skin::TbsDataSkinMenuItem* itemEntry_ = nullptr;
    QImage windowPicture_, maskPicture_, itemPicture_;
    QImage background_;  // the window image at the level's size, composed once it is sized
    PopupSkinGeometry geo_;
    QFont font_;
    std::vector<TbsSkinMenuItem> items_;
    skin::Rect itemsRect_;
    PopupLayout layout_;  // of the items from first_ on
    bool scrolling_ = false, flipped_ = false;
    int first_ = 0;
    int hot_ = -1;
    enum class Scroll { None, Up, Down } scroll_ = Scroll::None;
    QTimer scrollTimer_, morphTimer_;
    int busy_ = 0;  // depth of the events the level is handling
};

class TbsSkinMenu : public QObject {
    Q_OBJECT

public:
    explicit TbsSkinMenu(QObject* owner = nullptr);
    ~TbsSkinMenu() override;

    // Item height and font of the plain look (only heights above 0 are taken).
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h) {
        if (h > 0) itemHeight_ = h;
    }
    const platform::TFont& Font() const { return font_; }
    void SetFont(const platform::TFont& f) { font_ = f; }
    bool AlphaBlend = false, AlphaBlendAnimation = false;
    int AlphaBlendValue = 150;

    skin::TbsSkinData* SkinData() const { return skinData_; }
    // Opens a new chain for the root item's children (closing any open one) at the anchor
    // rectangle (screen coordinates); upward opens the first level above it.
    void OpenMenuChain(skin::TbsSkinData* skinData, int startIndex, TbsMenuItem root, const skin::Rect& anchor,
                       bool upward);
    // Adds a level for the item's children at the anchor.
    void OpenMenuLevel(const skin::Rect& anchor, const TbsMenuItem* item, int startIndex, bool subLevel, bool upward);
    // Closes the levels from index k on (the last first); k = 0 ends the chain.
    void CloseMenuLevels(int k);
    // Ends the chain as choosing an item does.
    void CloseMenuChain();

    bool ChainOpen() const { return chainOpen_; }
    int LevelCount() const { return int(levels_.size()); }
    TbsSkinPopupWindow* Level(int i) const { return levels_[size_t(i)]; }
    int IndexOf(const TbsSkinPopupWindow* level) const;
    QRect WorkArea() const { return workArea_; }

    // The pending item whose sub-level opens when the open timer fires.
    bool OpenTimerActive() const { return openTimer_.isActive(); }
    void StartOpenTimer(TbsSkinPopupWindow* level, int index);
    void StopOpenTimer();
    bool IsPending(const TbsSkinPopupWindow* level, int index) const {
        return pendingLevel_ == level && pendingIndex_ == index;
    }
    void OpenTimerTick();

    // Mouse events from any level (screen coordinates): handed to the level under the point.
    void RouteMouseMove(QPoint global);
    void RoutePress(QPoint global);
    void RouteRelease(QPoint global, Qt::MouseButton button);

    // The chain opened and closed (every way it closes).
    std::function<void()> OnOpen, OnClose;

private:
    friend class TbsSkinPopupWindow;
    TbsSkinPopupWindow* LevelAt(QPoint global) const;
    void Dispose(TbsSkinPopupWindow* level);

    int itemHeight_ = 20;
    platform::TFont font_{QStringLiteral("Arial"), 14, {}, platform::clMenuText};
    QPointer<skin::TbsSkinData> skinData_;
    QMetaObject::Connection skinGone_;
    bool chainOpen_ = false;
    bool firstLevel_ = false;
    QRect workArea_;
    std::shared_ptr<const TbsMenuItem> root_;
    std::vector<TbsSkinPopupWindow*> levels_;
    std::vector<QPointer<TbsSkinPopupWindow>> closing_;  // closed while busy, deleted later
    QPointer<TbsSkinPopupWindow> pendingLevel_;
    int pendingIndex_ = -1;
    QTimer openTimer_;
};

// A menu placed on a form that shows its items as a skinned popup through the form's
// window frame (without a frame on the form nothing is shown).
class TbsSkinPopupMenu : public QObject {
    Q_OBJECT

public:
    explicit TbsSkinPopupMenu(QObject* owner = nullptr) : QObject(owner) {}

    TbsMenuItem Items;  // the root: its children are the menu
    std::function<void()> OnPopup;

    // The skin; when none, the frame's menu skin, else its skin.
    skin::TbsSkinData* SkinData() const { return skinData_; }
    void SetSkinData(skin::TbsSkinData* data) { skinData_ = data; }
    // The form whose frame shows the menu; when unset, the owner when it is a form, else
    // the owner's owner when that is one.
    QWidget* Form() const { return form_; }
    void SetForm(QWidget* form) { form_ = form; }

    // Shows the menu at a global position.
    void Popup(int x, int y);

private:
    QPointer<skin::TbsSkinData> skinData_;
    QPointer<QWidget> form_;
};

}  // namespace frame
