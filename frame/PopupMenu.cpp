#include "frame/PopupMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "frame/Accessible.h"
#include "frame/PopupMenuItemPaint.h"
#include "frame/SkinFrame.h"
#include "platform/Colors.h"
#include "platform/Form.h"
#include "platform/Timers.h"
#include "skin/DeviceImage.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"

namespace frame {

using skin::Rect;

namespace {

QColor Color(skin::TColor c) { return platform::ToQColor(c); }

QImage PictureAt(const skin::TbsSkinData& data, int index) {
    const QImage* p = data.ActivePicture(index);
    return p ? skin::ToRGB32(*p) : QImage();
}

QString ItemText(const TbsMenuItem& item) {
    QString t = CaptionText(item.Caption);
    if (!item.ShortCut.isEmpty()) t += QStringLiteral("  ") + item.ShortCut;
    return t;
}

}  // namespace

TbsMenuItem MenuItemFromActions(const QList<QAction*>& actions) {
    TbsMenuItem root;
    for (QAction* a : actions) {
        TbsMenuItem it;
        it.Name = a->objectName();
        it.Visible = a->isVisible();
        if (a->isSeparator()) {
            it.Caption = QStringLiteral("-");
        } else {
            it.Caption = a->text();
            it.ShortCut = a->shortcut().toString(QKeySequence::NativeText);
            it.Enabled = a->isEnabled();
            it.Checked = a->isChecked();
            it.RadioItem = a->actionGroup() && a->actionGroup()->isExclusive();
            if (QMenu* sub = a->menu<QMenu*>()) it.Items = MenuItemFromActions(sub->actions()).Items;
            QPointer<QAction> action(a);
            it.OnClick = [action] {
                if (action) action->trigger();
            };
        }
        root.Items.push_back(std::move(it));
    }
    return root;
}

// ===== one level ===========================================================================

TbsSkinPopupWindow::TbsSkinPopupWindow(TbsSkinMenu* chain, std::shared_ptr<const TbsMenuItem> root,
                                       const TbsMenuItem* menuItem, int startIndex, bool subLevel)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      chain_(chain),
      root_(std::move(root)),
      menuItem_(menuItem),
      start_(startIndex),
      subLevel_(subLevel) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setObjectName(QStringLiteral("SkinPopupLevel"));
    scrollTimer_.setInterval(platform::kMenuScrollInterval);
    morphTimer_.setInterval(platform::kMenuMorphInterval);
    connect(&scrollTimer_, &QTimer::timeout, this, &TbsSkinPopupWindow::ScrollTick);
    connect(&morphTimer_, &QTimer::timeout, this, &TbsSkinPopupWindow::MorphTick);

    const skin::TbsSkinData* data = chain->SkinData();
    if (!data || data->IsEmpty()) return;
    for (const auto& e : data->SkinObjects) {
        if (auto* m = dynamic_cast<const skin::TbsDataSkinMenuItem*>(e.get())) {
            itemEntry_ = m;
            break;
        }
    }
    // A menu item entry without its picture has nothing to draw: the plain items serve.
    if (itemEntry_) {
        itemPicture_ = PictureAt(*data, itemEntry_->activepictureindex);
        if (itemPicture_.isNull()) itemEntry_ = nullptr;
    }
    const skin::TbsDataSkinPopupWindow& pw = data->PopupWindowData;
    if (pw.windowpictureindex != -1) windowPicture_ = PictureAt(*data, pw.windowpictureindex);
    // The window picture is sized around the menu item's rectangles; without a menu item
    // entry the level takes the plain look altogether.
    if (!windowPicture_.isNull() && itemEntry_) {
        windowEntry_ = &pw;
        maskPicture_ = PictureAt(*data, pw.maskpictureindex);
    }
}

TbsSkinPopupWindow::~TbsSkinPopupWindow() = default;

int TbsSkinPopupWindow::Index() const { return chain_ ? chain_->IndexOf(this) : -1; }

std::vector<int> TbsSkinPopupWindow::Heights() const {
    std::vector<int> h;
    h.reserve(items_.size());
    for (const TbsSkinMenuItem& it : items_) h.push_back(PopupItemHeight(geo_, it.item->IsSeparator(), chain_->ItemHeight()));
    return h;
}

std::vector<bool> TbsSkinPopupWindow::Selectable() const {
    std::vector<bool> s;
    s.reserve(items_.size());
    for (const TbsSkinMenuItem& it : items_) s.push_back(it.selectable());
    return s;
}

void TbsSkinPopupWindow::BuildItems() {
    geo_ = {};
    if (itemEntry_) {
        geo_.item = true;
        geo_.skinrect = itemEntry_->skinrect;
        geo_.textrect = itemEntry_->textrect;
        geo_.dividerrect = itemEntry_->dividerrect;
    }
    if (windowEntry_) {
        geo_.window = true;
        geo_.picture = windowPicture_.size();
        geo_.anchors = {windowEntry_->lefttoppoint, windowEntry_->righttoppoint, windowEntry_->leftbottompoint,
                        windowEntry_->rightbottompoint, windowEntry_->itemsrect};
    }
    font_ = windowEntry_ && itemEntry_
                ? platform::MakeFont(itemEntry_->fontname, itemEntry_->fontheight, itemEntry_->fontstyle)
                : chain_->Font().ToQFont();

    items_.clear();
    const std::vector<TbsMenuItem>& children = menuItem_->Items;
    for (size_t i = size_t(std::max(start_, 0)); i < children.size(); ++i)
        if (children[i].Visible) {
            TbsSkinMenuItem it;
            it.item = &children[i];
            items_.push_back(it);
        }

    std::vector<int> textWidths;
    for (const TbsSkinMenuItem& it : items_) {
        QFont f = font_;
        if (it.item->Default) f.setBold(true);
        textWidths.push_back(platform::TextWidth(f, ItemText(*it.item)) + 2);
    }
    const PopupLevelSize size =
        PopupLevelSizeFor(geo_, textWidths, Heights(), kPlainGlyphColumn, chain_->WorkArea().height());
    scrolling_ = size.scrolling;
    resize(size.size);
    itemsRect_ = PopupItemsRect(geo_, size.size);
    // The window image depends only on the size: every paint starts from this one.
    background_ = WindowImage();
    first_ = 0;
    LayOut();
    if (!maskPicture_.isNull()) {
        const skin::AnchorGeometry& g = geo_.anchors;
        const skin::AnchorGeometry n = skin::NewGeometry(g, geo_.picture, width(), height());
        if (std::optional<QRegion> r = skin::ComposeMaskRegion(maskPicture_, g, n, width(), height())) setMask(*r);
    }
}

void TbsSkinPopupWindow::LayOut() {
    layout_ = LayOutPopupItems(Heights(), itemsRect_, scrolling_, first_);
    for (size_t i = 0; i < items_.size(); ++i) {
        TbsSkinMenuItem& it = items_[i];
        it.rect = layout_.rects[i];
        it.inView = layout_.inView[i];
        if (!it.inView) {
            // Out of view: no look to keep up.
            it.hot = it.open = false;
            it.k = 0;
        }
    }
}

void TbsSkinPopupWindow::Open(const Rect& anchor, bool upward, bool alphaFirst) {
    BuildItems();
    const PopupPlacement place = PlacePopupLevel(anchor, Rect::FromQRect(chain_->WorkArea()), size(), itemsRect_.top,
                                                 subLevel_, upward, scrolling_);
    flipped_ = place.flipped;
    move(place.pos);
    const bool layered = chain_->AlphaBlend && skin::LayeredWindowsAvailable();
    const bool animate = layered && alphaFirst && chain_->AlphaBlendAnimation;
    show();
    if (layered) {
        skin::SetWindowAlpha(windowHandle(), animate ? 0 : chain_->AlphaBlendValue);
        if (animate) {
            for (int a = 0; a < chain_->AlphaBlendValue;) {
                a = std::min(a + 2, chain_->AlphaBlendValue);
                skin::SetWindowAlpha(windowHandle(), a);
            }
        }
    }
    const int first = NextItemDown(Selectable(), -1);
    if (first >= 0) {
        hot_ = first;
        ItemBecomesHot(first, true);
    }
}

// ----- drawing -----------------------------------------------------------------------------

QImage TbsSkinPopupWindow::WindowImage() const {
    // At the screen's pixel ratio: the window picture is scaled smoothly onto it, and the
    // items' text is drawn at the device's resolution.
    const int W = width(), H = height();
    const qreal ratio = devicePixelRatioF();
    if (geo_.window) {
        const skin::AnchorGeometry& g = geo_.anchors;
        return skin::AtRatio(skin::ComposeSkinImage(windowPicture_, RectAt({0, 0}, geo_.picture), g,
                                                    skin::NewGeometry(g, geo_.picture, W, H), W, H, scrolling_),
                             ratio);
    }
    QImage img = skin::NewDeviceImage(QSize(std::max(W, 1), std::max(H, 1)), ratio, Color(platform::clWindow));
    QPainter p(&img);
    const int c = kPlainGlyphColumn + 2;
    p.fillRect(0, 0, c, H, Color(platform::clBtnFace));
    p.fillRect(c, 0, W - c, H, Color(platform::clWindow));
    const QRect all = skin::LogicalRect(img);
    skin::Draw3DBorder(p, all, Color(platform::clBtnShadow), Color(platform::clBtnShadow));
    skin::Draw3DBorder(p, all.adjusted(1, 1, -1, -1), Color(platform::clWindow), Color(platform::clWindow));
    return img;
}

QImage TbsSkinPopupWindow::LevelImage() const {
    QImage img = background_.copy();
    if (img.isNull()) return img;
    QPainter p(&img);
    for (const TbsSkinMenuItem& it : items_)
        if (it.inView && !it.rect.IsEmpty())
            p.drawImage(it.rect.left, it.rect.top,
                        PopupMenuItemImage(it, itemEntry_, itemPicture_, font_, devicePixelRatioF()));
    if (scrolling_) DrawScrollMarkers(p);
    return img;
}

void TbsSkinPopupWindow::DrawScrollMarkers(QPainter& p) const {
    const bool w = geo_.window;
    const QColor idle = w ? Color(windowEntry_->scrollmarkercolor) : Color(platform::clBtnShadow);
    const QColor active = w ? Color(windowEntry_->scrollmarkeractivecolor) : Color(platform::clBtnText);
    skin::DrawArrowGlyph(p, PopupTopMarker(w, itemsRect_, size()).ToQRect(), 3, scroll_ == Scroll::Up ? active : idle);
    skin::DrawArrowGlyph(p, PopupBottomMarker(w, itemsRect_, size()).ToQRect(), 4,
                         scroll_ == Scroll::Down ? active : idle);
}

bool TbsSkinPopupWindow::event(QEvent* e) {
    if (e->type() == QEvent::DeferredDelete) return QWidget::event(e);  // the level's last event
    ++busy_;
    const bool done = QWidget::event(e);
    --busy_;
    return done;
}

void TbsSkinPopupWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, LevelImage());
}

void TbsSkinPopupWindow::RedrawItem(int index) {
    if (index >= 0 && index < int(items_.size())) update(items_[size_t(index)].rect.ToQRect());
}

void TbsSkinPopupWindow::StartItemChange(int index) {
    if (itemEntry_ && itemEntry_->morphing) {
        if (!morphTimer_.isActive()) morphTimer_.start();
    } else {
        RedrawItem(index);
    }
}

void TbsSkinPopupWindow::MorphTick() {
    bool any = false;
    for (size_t i = 0; i < items_.size(); ++i) {
        TbsSkinMenuItem& it = items_[i];
        const double target = it.hot || it.open ? 1 : 0;
        if (it.k == target) continue;
        it.k = std::clamp(std::round((it.k + (target > it.k ? 0.1 : -0.1)) * 10) / 10, 0.0, 1.0);
        RedrawItem(int(i));
        any = true;
    }
    if (!any) morphTimer_.stop();
}

// ----- hot item, sub-levels, choosing ------------------------------------------------------

void TbsSkinPopupWindow::ItemBecomesHot(int p, bool keyboard) {
    if (p < 0 || p >= int(items_.size())) return;
    TbsSkinMenuItem& it = items_[size_t(p)];
    it.hot = true;
    AccessibleMenuItemHot(this, p);
    for (size_t q = 0; q < items_.size(); ++q)
        if (int(q) != p && items_[q].open) {
            items_[q].open = false;
            RedrawItem(int(q));
        }
    const int level = Index();
    if (it.open) {
        // Back on the item whose sub-level shows: only the levels beyond that one close.
        if (chain_->LevelCount() > level + 2) {
            chain_->CloseMenuLevels(level + 2);
            chain_->Level(level + 1)->CloseAllItems();
        }
        return;
    }
    StartItemChange(p);
    if (it.item->Items.empty()) {
        chain_->CloseMenuLevels(level + 1);
    } else if (!keyboard) {
        chain_->CloseMenuLevels(level + 1);
        chain_->StartOpenTimer(this, p);
    }
}

void TbsSkinPopupWindow::ItemLosesHot(int p) {
    if (p < 0 || p >= int(items_.size())) return;
    TbsSkinMenuItem& it = items_[size_t(p)];
    it.hot = false;
    if (!it.open) StartItemChange(p);
    if (chain_->IsPending(this, p)) chain_->StopOpenTimer();
}

void TbsSkinPopupWindow::CloseAllItems() {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].open) {
            items_[i].open = false;
            RedrawItem(int(i));
        }
}

void TbsSkinPopupWindow::SetItemOpen(int index, bool open, bool redraw) {
    if (index < 0 || index >= int(items_.size())) return;
    items_[size_t(index)].open = open;
    if (redraw) RedrawItem(index);
}

void TbsSkinPopupWindow::ChooseItem(int p) {
    if (p < 0 || p >= int(items_.size())) return;
    TbsSkinMenuItem& it = items_[size_t(p)];
    // Separators are never chosen, whatever the hot index says.
    if (it.open || !it.item->Enabled || it.item->IsSeparator()) return;
    const std::function<void()> action = it.item->OnClick;
    if (it.item->Items.empty()) {
        chain_->StopOpenTimer();
        // The chain closes first: the action may close the window that showed it.
        chain_->CloseMenuChain();
        if (action) action();
        return;
    }
    QPointer<TbsSkinPopupWindow> self(this);
    if (action) action();
    if (!self || Index() < 0) return;
    chain_->StopOpenTimer();
    it.open = true;
    RedrawItem(p);
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    chain_->OpenMenuLevel(OffsetRect(it.rect, topLeft.x(), topLeft.y()), it.item, 0, true, false);
}

void TbsSkinPopupWindow::SetHot(int index, bool keyboard) {
    const int old = hot_;
    hot_ = index;
    ItemBecomesHot(index, keyboard);
    if (old >= 0 && old != index) ItemLosesHot(old);
}

// ----- mouse ---------------------------------------------------------------------------------

void TbsSkinPopupWindow::TrackHover(QPoint p) {
    if (scrolling_) {
        const bool onTop = PtInRect(PopupTopMarker(geo_.window, itemsRect_, size()), p);
        const bool onBottom = !onTop && PtInRect(PopupBottomMarker(geo_.window, itemsRect_, size()), p);
        if (!onTop && !onBottom) {
            StopScrolling();
        } else if (scroll_ == Scroll::None && (onTop ? first_ > 0 : !layout_.LastInView())) {
            scroll_ = onTop ? Scroll::Up : Scroll::Down;
            update();
            chain_->CloseMenuLevels(Index() + 1);
            scrollTimer_.start();
        }
    }
    const int found = PopupItemAt(layout_, p);
    if (found < 0 || found == hot_) return;
    const int old = hot_;
    hot_ = found;
    if (old >= 0 && old < int(items_.size()) && items_[size_t(old)].selectable()) ItemLosesHot(old);
    if (items_[size_t(found)].selectable()) ItemBecomesHot(found, false);
}

void TbsSkinPopupWindow::StopScrolling() {
    if (scroll_ == Scroll::None) return;
    scroll_ = Scroll::None;
    scrollTimer_.stop();
    update();
}

void TbsSkinPopupWindow::ScrollTick() {
    if (scroll_ == Scroll::Up && first_ > 0) {
        --first_;
    } else if (scroll_ == Scroll::Down && !layout_.LastInView()) {
        ++first_;
    } else {
        StopScrolling();
        return;
    }
    LayOut();
    update();
}

void TbsSkinPopupWindow::MouseUp(QPoint p, Qt::MouseButton button) {
    TrackHover(p);
    if (button != Qt::LeftButton || hot_ < 0 || hot_ >= int(items_.size())) return;
    if (PopupItemAt(layout_, p) >= 0 && !items_[size_t(hot_)].item->IsSeparator()) ChooseItem(hot_);
}

void TbsSkinPopupWindow::mouseMoveEvent(QMouseEvent* e) {
    if (chain_) chain_->RouteMouseMove(e->globalPosition().toPoint());
}

void TbsSkinPopupWindow::mousePressEvent(QMouseEvent* e) {
    if (chain_) chain_->RoutePress(e->globalPosition().toPoint());
}

void TbsSkinPopupWindow::mouseReleaseEvent(QMouseEvent* e) {
    if (chain_) chain_->RouteRelease(e->globalPosition().toPoint(), e->button());
}

// ----- keyboard ------------------------------------------------------------------------------

void TbsSkinPopupWindow::KeyDown(int key, const QString& text) {
    const int n = int(items_.size());
    auto closeLast = [this] {
        chain_->CloseMenuLevels(chain_->LevelCount() - 1);
        if (chain_->LevelCount() > 0) {
            TbsSkinPopupWindow* last = chain_->Level(chain_->LevelCount() - 1);
            last->SetItemOpen(last->HotItem(), false, false);
        }
    };
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (hot_ >= 0) ChooseItem(hot_);
        return;
    case Qt::Key_Escape: closeLast(); return;
    case Qt::Key_Left:
        if (chain_->LevelCount() > 1) closeLast();
        return;
    case Qt::Key_Right:
        if (hot_ >= 0 && hot_ < n && !items_[size_t(hot_)].item->Items.empty()) ChooseItem(hot_);
        return;
    case Qt::Key_Down:
    case Qt::Key_Up: {
        const bool down = key == Qt::Key_Down;
        const std::vector<bool> selectable = Selectable();
        const int next = down ? NextItemDown(selectable, hot_) : NextItemUp(selectable, hot_);
        if (scrolling_ && scroll_ == Scroll::None) {
            const int first = KeyboardScrollFirst(Heights(), itemsRect_, first_, next, down);
            if (first != first_) {
                first_ = first;
                LayOut();
                update();
            }
        }
        if (next != hot_) SetHot(next, true);
        return;
    }
    default: break;
    }
    if (text.isEmpty()) return;
    std::vector<QString> captions;
    for (const TbsSkinMenuItem& it : items_) captions.push_back(it.item->Caption);
    const int i = MatchAccelerator(captions, text.front());
    if (i < 0 || !items_[size_t(i)].selectable()) return;
    SetHot(i, false);
    ChooseItem(i);
}

void TbsSkinPopupWindow::keyPressEvent(QKeyEvent* e) {
    if (!chain_ || !chain_->ChainOpen() || chain_->LevelCount() == 0) return;
    // The last level of the chain answers the keyboard, whichever level has the grab.
    chain_->Level(chain_->LevelCount() - 1)->KeyDown(e->key(), e->text());
}

void TbsSkinPopupWindow::hideEvent(QHideEvent*) {
    scrollTimer_.stop();
    morphTimer_.stop();
    // Hidden by the window system (the application lost the screen): this level and
    // those after it are gone.
    const int i = Index();
    if (i >= 0) chain_->CloseMenuLevels(i);
}

// ===== the chain ===========================================================================

TbsSkinMenu::TbsSkinMenu(QObject* owner) : QObject(owner) {
    openTimer_.setInterval(platform::kMenuOpenDelay);
    connect(&openTimer_, &QTimer::timeout, this, &TbsSkinMenu::OpenTimerTick);
}

TbsSkinMenu::~TbsSkinMenu() {
    // An item's action may end the chain's owner while a level is handling the event that
    // chose it: such a level goes later, and forgets the chain now.
    std::vector<TbsSkinPopupWindow*> levels;
    levels.swap(levels_);
    for (TbsSkinPopupWindow* l : levels) closing_.push_back(l);
    std::vector<QPointer<TbsSkinPopupWindow>> closing;
    closing.swap(closing_);
    for (const QPointer<TbsSkinPopupWindow>& l : closing) {
        if (!l) continue;
        l->chain_ = nullptr;
        Dispose(l);
    }
}

void TbsSkinMenu::Dispose(TbsSkinPopupWindow* level) {
    level->hide();
    // A level in the middle of handling an event (the one that closes it) goes when that
    // is over.
    if (level->busy_ > 0) {
        level->deleteLater();
        closing_.push_back(level);
    } else {
        delete level;
    }
}

int TbsSkinMenu::IndexOf(const TbsSkinPopupWindow* level) const {
    for (size_t i = 0; i < levels_.size(); ++i)
        if (levels_[i] == level) return int(i);
    return -1;
}

void TbsSkinMenu::OpenMenuChain(skin::TbsSkinData* skinData, int startIndex, TbsMenuItem root, const Rect& anchor,
                                bool upward) {
    firstLevel_ = !chainOpen_;
    if (!levels_.empty()) CloseMenuLevels(0);
    const QPoint at(anchor.left, anchor.top);
    QScreen* screen = QGuiApplication::screenAt(at);
    workArea_ = screen ? screen->availableGeometry() : platform::WorkArea(nullptr);
    skinData_ = skinData;
    // Levels draw from the skin's entries: a skin data that goes away ends the chain.
    disconnect(skinGone_);
    if (skinData) skinGone_ = connect(skinData, &QObject::destroyed, this, &TbsSkinMenu::CloseMenuChain);
    root_ = std::make_shared<const TbsMenuItem>(std::move(root));
    if (root_->Items.empty()) return;
    chainOpen_ = true;
    if (OnOpen) OnOpen();
    OpenMenuLevel(anchor, root_.get(), startIndex, false, upward);
    firstLevel_ = false;
}

void TbsSkinMenu::OpenMenuLevel(const Rect& anchor, const TbsMenuItem* item, int startIndex, bool subLevel,
                                bool upward) {
    auto* level = new TbsSkinPopupWindow(this, root_, item, startIndex, subLevel);
    levels_.push_back(level);
    level->Open(anchor, upward, firstLevel_);
}

void TbsSkinMenu::CloseMenuLevels(int k) {
    k = std::max(k, 0);
    while (int(levels_.size()) > k) {
        TbsSkinPopupWindow* level = levels_.back();
        levels_.pop_back();
        if (pendingLevel_ == level) StopOpenTimer();
        Dispose(level);
    }
    std::erase_if(closing_, [](const QPointer<TbsSkinPopupWindow>& l) { return l.isNull(); });
    if (k == 0 && chainOpen_) {
        chainOpen_ = false;
        StopOpenTimer();
        if (OnClose) OnClose();
    }
}

void TbsSkinMenu::CloseMenuChain() {
    CloseMenuLevels(0);
    StopOpenTimer();
}

void TbsSkinMenu::StartOpenTimer(TbsSkinPopupWindow* level, int index) {
    pendingLevel_ = level;
    pendingIndex_ = index;
    openTimer_.start();
}

void TbsSkinMenu::StopOpenTimer() {
    openTimer_.stop();
    pendingLevel_ = nullptr;
    pendingIndex_ = -1;
}

void TbsSkinMenu::OpenTimerTick() {
    QPointer<TbsSkinPopupWindow> level = pendingLevel_;
    const int index = pendingIndex_;
    StopOpenTimer();
    if (level && IndexOf(level) >= 0) level->ChooseItem(index);
}

TbsSkinPopupWindow* TbsSkinMenu::LevelAt(QPoint global) const {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
        if ((*it)->isVisible() && (*it)->geometry().contains(global)) return *it;
    return nullptr;
}

void TbsSkinMenu::RouteMouseMove(QPoint global) {
    TbsSkinPopupWindow* under = LevelAt(global);
    for (size_t i = 0; i < levels_.size(); ++i)
        if (levels_[i] != under) levels_[i]->StopScrolling();
    if (under) under->TrackHover(under->mapFromGlobal(global));
}

void TbsSkinMenu::RoutePress(QPoint global) {
    if (!LevelAt(global)) CloseMenuChain();
}

void TbsSkinMenu::RouteRelease(QPoint global, Qt::MouseButton button) {
    if (TbsSkinPopupWindow* under = LevelAt(global)) under->MouseUp(under->mapFromGlobal(global), button);
}

// ===== the popup menu component ============================================================

void TbsSkinPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup();
    // Only a form can carry a window frame.
    platform::Form* form = qobject_cast<platform::Form*>(form_.data());
    if (!form_) {
        QObject* owner = parent();
        form = qobject_cast<platform::Form*>(owner);
        if (!form && owner) form = qobject_cast<platform::Form*>(owner->parent());
    }
    if (auto* frame = form ? dynamic_cast<TbsSkinFrame*>(form->Frame()) : nullptr)
        frame->ShowSkinMenu(Items, QPoint(x, y), skinData_);
}

}  // namespace frame
