#include "frame/SkinFrame.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QWindow>

#include <typeinfo>

#include "frame/FrameObjects.h"
#include "frame/PopupMenu.h"
#include "platform/SkinDispatch.h"
#include "platform/Timers.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"

namespace frame {

using skin::Rect;

namespace {

bool IsEdge(int hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }

Qt::Edges EdgesOf(int hit) {
    switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

QColor Color(skin::TColor c) { return platform::ToQColor(c); }

}  // namespace

// ===== construction ========================================================================

TbsSkinFrame::TbsSkinFrame(QObject* owner) : QObject(owner) {
    form_ = qobject_cast<platform::Form*>(owner);
    if (!form_) throw std::bad_cast();
    trackTimer_.setInterval(platform::kFrameTrackingInterval);
    morphTimer_.setInterval(platform::kFrameMorphInterval);
    fadeTimer_.setInterval(platform::kFadeInDelay);
    connect(&trackTimer_, &QTimer::timeout, this, &TbsSkinFrame::TrackingTimerTick);
    connect(&morphTimer_, &QTimer::timeout, this, &TbsSkinFrame::MorphTimerTick);
    connect(&fadeTimer_, &QTimer::timeout, this, &TbsSkinFrame::FadeStep);
    skinMenu_ = new TbsSkinMenu(this);
    skinMenu_->OnOpen = [this] {
        if (OnSkinMenuOpen) OnSkinMenuOpen();
    };
    skinMenu_->OnClose = [this] {
        if (OnSkinMenuClose) OnSkinMenuClose();
    };

    // The platform draws no caption or border any more; a window that was already shown
    // is shown again after the flag change (which hides it).
    const bool wasVisible = form_->isVisible();
    form_->setWindowFlag(Qt::FramelessWindowHint, true);
    if (wasVisible) form_->show();
    form_->setMouseTracking(true);
    form_->Client()->setCursor(Qt::ArrowCursor);
    form_->installEventFilter(this);
    form_->SetFrame(this);
    size_ = form_->size();
    lastActive_ = FormActive();
    UpdateTrackSizes();
}

TbsSkinFrame::~TbsSkinFrame() { Detach(); }

void TbsSkinFrame::FormDestroying() {
    StopTimers();
    form_ = nullptr;
}

void TbsSkinFrame::Detach() {
    StopTimers();
    fadeTimer_.stop();
    objects_.clear();
    if (!form_) return;
    form_->removeEventFilter(this);
    form_->SetFrame(nullptr);
    form_->clearMask();
    form_->setMinimumSize(0, 0);
    form_->update();
    form_ = nullptr;
}

// ===== properties ==========================================================================

void TbsSkinFrame::SetSkinData(skin::TbsSkinData* data) {
    if (skinData_) disconnect(skinData_, &QObject::destroyed, this, nullptr);
    skinData_ = data;
    if (data) {
        platform::AttachSkinData(data);
        // A skin data that goes away leaves the frame in its plain look.
        connect(data, &QObject::destroyed, this, [this] {
            skinData_ = nullptr;
            ApplyFrameSkin();
        });
    }
    ApplyFrameSkin();
}

void TbsSkinFrame::SetBorderIcons(TbsBorderIcons icons) {
    if (borderIcons_ == icons) return;
    borderIcons_ = icons;
    if (!skinned_) {
        FreeObjects();
        CreateDefaultButtons();
    } else {
        // Buttons an earlier set disabled or hid come back before the new set applies.
        for (auto& o : objects_) {
            o->Enabled = true;
            o->Visible = true;
        }
        ApplyBorderIcons();
        ArrangeFrameObjects();
    }
    if (form_) form_->update();
}

void TbsSkinFrame::SetShowIcon(bool v) {
    if (showIcon_ == v) return;
    showIcon_ = v;
    if (!form_) return;
    ArrangeFrameObjects();
    form_->update();
}

void TbsSkinFrame::SetAlphaBlend(bool v) {
    alphaBlend_ = v;
    if (!form_ || !skin::LayeredWindowsAvailable()) return;
    form_->setWindowOpacity(v ? alphaBlendValue_ / 255.0 : 1.0);
}

void TbsSkinFrame::SetAlphaBlendValue(int v) {
    alphaBlendValue_ = std::clamp(v, 0, 255);
    if (alphaBlend_ && form_ && skin::LayeredWindowsAvailable()) form_->setWindowOpacity(alphaBlendValue_ / 255.0);
}

void TbsSkinFrame::SetMinWidth(int v) {
    minWidth_ = v;
    UpdateTrackSizes();
}

void TbsSkinFrame::SetMinHeight(int v) {
    minHeight_ = v;
    UpdateTrackSizes();
}

void TbsSkinFrame::SetDefCaptionFont(const platform::TFont& f) {
    defCaptionFont_ = f;
    if (form_ && !skinned_) form_->update();
}

void TbsSkinFrame::SetDefInActiveCaptionFont(const platform::TFont& f) {
    defInActiveCaptionFont_ = f;
    if (form_ && !skinned_) form_->update();
}

// ===== skin ================================================================================

const skin::TbsDataSkinFormInfo* TbsSkinFrame::FormInfo() const {
    return skinned_ && skinData_ ? &skinData_->FormInfo : nullptr;
}

QImage TbsSkinFrame::ActivePictureAt(int index) const {
    if (!skinData_ || index < 0 || index >= skinData_->ActivePictures.size()) return {};
    if (activePictures_.size() != size_t(skinData_->ActivePictures.size()))
        activePictures_.assign(size_t(skinData_->ActivePictures.size()), QImage());
    QImage& img = activePictures_[size_t(index)];
    if (img.isNull()) img = skin::ToRGB32(skinData_->ActivePictures[index]);
    return img;
}

void TbsSkinFrame::ApplyFrameSkin() {
    if (!form_) return;
    hover_ = prevHover_ = captured_ = -1;
    // A skin without a form picture has no frame to draw: it gets the plain frame.
    skinned_ = skinData_ && !skinData_->IsEmpty() && !skinData_->Picture.isNull();
    activePictures_.clear();
    if (skinned_) {
        picture_ = skin::ToRGB32(skinData_->Picture);
        inactivePicture_ = skin::ToRGB32(skinData_->InactivePicture);
        mask_ = skin::ToRGB32(skinData_->MaskImage);
        CreateSkinObjects();
    } else {
        picture_ = inactivePicture_ = mask_ = QImage();
        FreeObjects();
        shape_.reset();
        form_->clearMask();
    }
    // The size rules of the new frame; a rolled-up or minimized window keeps only its
    // caption.
    UpdateTrackSizes();
    const QSize minSize = MinimumTrackSize();
    if (rolledUp_ || frameState_ == wsMinimized) {
        const int w = frameState_ == wsMinimized ? minSize.width() : form_->width();
        form_->resize(w, minSize.height());
    }
    Relayout();
    ActivationUpdate(true);
    trackTimer_.start();
    if (OnChangeSkinData) OnChangeSkinData();
}

void TbsSkinFrame::CreateSkinObjects() {
    FreeObjects();
    for (const auto& entry : skinData_->SkinObjects) {
        const skin::TbsDataSkinObject* e = entry.get();
        // Menu items and menu-bar buttons serve the menus, not the frame.
        if (dynamic_cast<const skin::TbsDataSkinMenuItem*>(e) ||
            dynamic_cast<const skin::TbsDataSkinMainMenuItem*>(e) ||
            dynamic_cast<const skin::TbsDataSkinMainMenuBarButton*>(e))
            continue;
        if (auto* sb = dynamic_cast<const skin::TbsDataSkinStdButton*>(e))
            objects_.push_back(std::make_unique<TbsSkinStdButtonObject>(this, sb));
        else if (auto* b = dynamic_cast<const skin::TbsDataSkinButton*>(e))
            objects_.push_back(std::make_unique<TbsSkinButtonObject>(this, b));
        else if (auto* c = dynamic_cast<const skin::TbsDataSkinCaption*>(e))
            objects_.push_back(std::make_unique<TbsSkinCaptionObject>(this, c));
        else if (auto* u = dynamic_cast<const skin::TbsDataUserObject*>(e))
            objects_.push_back(std::make_unique<TbsUserObject>(this, u));
    }
    ApplyBorderIcons();
}

void TbsSkinFrame::CreateDefaultButtons() {
    FreeObjects();
    const struct {
        const char* name;
        skin::StdCommand command;
    } buttons[] = {{"closebutton", skin::cmClose},
                   {"maxbutton", skin::cmMaximize},
                   {"minbutton", skin::cmMinimize},
                   {"rollupbutton", skin::cmRollUp},
                   {"sysmenubutton", skin::cmSysMenu}};
    for (const auto& b : buttons)
        objects_.push_back(std::make_unique<TbsSkinStdButtonObject>(this, QString::fromLatin1(b.name), b.command));
    ApplyBorderIcons();
    ArrangeDefaultButtons();
}

void TbsSkinFrame::ApplyBorderIcons() {
    for (auto& o : objects_) {
        auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
        if (!b) continue;
        bool off = false;
        switch (b->Command) {
        case skin::cmRollUp: off = !borderIcons_.testFlag(biRollUp); break;
        case skin::cmMaximize: off = !borderIcons_.testFlag(biMaximize); break;
        case skin::cmMinimize: off = !borderIcons_.testFlag(biMinimize); break;
        case skin::cmSysMenu: off = !borderIcons_.testFlag(biSystemMenu); break;
        default: break;  // the close button is never disabled
        }
        if (!off) continue;
        b->Enabled = false;
        // An image painted into the frame stays (and no longer reacts); one of its own goes.
        const bool partOfFrame = b->HasEntry && !b->NormalFromActivePicture;
        if (!partOfFrame) b->Visible = false;
    }
}

void TbsSkinFrame::FreeObjects() {
    objects_.clear();
    hover_ = prevHover_ = captured_ = -1;
}

TbsActiveSkinObject* TbsSkinFrame::FindObject(const QString& idName) const {
    for (const auto& o : objects_)
        if (o->IDName == idName) return o.get();
    return nullptr;
}

void TbsSkinFrame::FormSkinMessage(int message, skin::TbsSkinData* data) {
    if (!form_) return;
    // An open menu draws from the entries that are about to go.
    if (message == skin::WM_SKINCHANGING && data && data == skinMenu_->SkinData()) CloseSkinMenus();
    if (message == skin::WM_SKINCHANGING && data && data == skinData_) {
        skinned_ = false;
        StopTimers();
        FreeObjects();
    } else if (message == skin::WM_SKINCHANGED && data && data == skinData_) {
        ApplyFrameSkin();
    }
    platform::ForwardSkinMessage(form_->Client(), message, data);
}

// ===== geometry ============================================================================

int TbsSkinFrame::DefaultCaptionHeightNow() const {
    return DefaultCaptionHeight(form_ && form_->IsToolWindow());
}

Rect TbsSkinFrame::ClientRectOf(QSize s) const {
    if (!form_ || !form_->HasBorder()) return Rect{0, 0, s.width(), s.height()};
    if (skinned_) return SkinnedClientRect(s, skinData_->FormInfo.clientrect, picture_.size());
    return DefaultClientRect(s, DefaultCaptionHeightNow());
}

QSize TbsSkinFrame::MinimumTrackSize() const {
    MinTrackInput in;
    in.skinned = skinned_;
    if (skinned_) {
        in.picture = picture_.size();
        in.clientrect = skinData_->FormInfo.clientrect;
    }
    in.captionHeight = DefaultCaptionHeightNow();
    in.minWidth = minWidth_;
    in.minHeight = minHeight_;
    in.minimized = frameState_ == wsMinimized;
    in.rolledUp = rolledUp_;
    return frame::MinimumTrackSize(in);
}

void TbsSkinFrame::UpdateTrackSizes() {
    if (form_) form_->setMinimumSize(MinimumTrackSize());
}

void TbsSkinFrame::UpdateFrameGeometry() {
    if (!form_ || !skinned_) return;
    size_ = form_->size();
    geo_ = ComputeFrameGeometry(skinData_->FormInfo, picture_.size(), size_);
}

void TbsSkinFrame::Relayout() {
    if (!form_) return;
    size_ = form_->size();
    if (skinned_) {
        UpdateFrameGeometry();
        ArrangeFrameObjects();
        UpdateFrameRegion();
    } else {
        ArrangeDefaultButtons();
    }
    form_->UpdateClientGeometry();
    form_->update();
    form_->Client()->update();
}

void TbsSkinFrame::OnSizeChanged() {
    size_ = form_->size();
    if (!skinned_) {
        ArrangeDefaultButtons();
        form_->update();
        return;
    }
    const QSize min = MinimumTrackSize();
    if (size_.width() >= min.width() && size_.height() >= min.height()) {
        UpdateFrameGeometry();
        ArrangeFrameObjects();
        UpdateFrameRegion();
        form_->update();
    }
}

void TbsSkinFrame::ArrangeFrameObjects() {
    if (!form_) return;
    if (!skinned_) {
        ArrangeDefaultButtons();
        return;
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    for (auto& o : objects_)
        if (!o->NormalFromActivePicture) o->ObjectRect = frame::MapFrameRect(o->SkinRect, geo_);

    const Rect area = !geo_.buttons.IsEmpty() ? geo_.buttons : geo_.caption;
    if (area.IsEmpty()) return;

    auto firstButton = [&](skin::StdCommand c) -> TbsSkinStdButtonObject* {
        for (auto& o : objects_)
            if (auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get()); b && b->Command == c) return b;
        return nullptr;
    };
    TbsSkinCaptionObject* caption = nullptr;
    for (auto& o : objects_)
        if ((caption = dynamic_cast<TbsSkinCaptionObject*>(o.get()))) break;
    auto sizeOf = [&](TbsSkinStdButtonObject* b) {
        if (b->Command == skin::cmSysMenu && showIcon_) {
            const int s = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
            return QSize(s, s);
        }
        return SizeOf(b->SkinRect);
    };
    const int gap = fi.buttonsoffset;
    const skin::StdCommand order[] = {skin::cmClose, skin::cmMaximize, skin::cmMinimize, skin::cmRollUp};
    TbsSkinStdButtonObject* sys = firstButton(skin::cmSysMenu);
    const bool sysFromActive = sys && sys->NormalFromActivePicture;

    if (!fi.buttonsinleft) {
        int x = area.right;
        for (skin::StdCommand c : order) {
            TbsSkinStdButtonObject* b = firstButton(c);
            if (!b || !b->Visible || !b->NormalFromActivePicture) continue;
            const QSize s = sizeOf(b);
            b->ObjectRect = RectAt(QPoint(x - s.width(), area.top), s);
            x -= s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && caption) caption->ObjectRect.right = x + gap;
        if (sysFromActive && sys->Visible) {
            const QSize s = sizeOf(sys);
            const Rect& cr = geo_.caption;
            sys->ObjectRect = RectAt(QPoint(cr.left, cr.top + cr.Height() / 2 - s.height() / 2), s);
            if (caption) caption->ObjectRect.left = sys->ObjectRect.right;  // the x after it, less the gap
        }
    } else {
        int x = area.left;
        for (skin::StdCommand c : order) {
            TbsSkinStdButtonObject* b = firstButton(c);
            if (!b || !b->Visible || !b->NormalFromActivePicture) continue;
            const QSize s = sizeOf(b);
            b->ObjectRect = RectAt(QPoint(x, area.top), s);
            x += s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && sysFromActive && sys->Visible) {
            const QSize s = sizeOf(sys);
            sys->ObjectRect = RectAt(QPoint(x, area.top), s);
            x += s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && caption) caption->ObjectRect.left = x + gap;
    }
}

void TbsSkinFrame::ArrangeDefaultButtons() {
    if (!form_ || skinned_) return;
    const int size = DefaultButtonSize(form_->IsToolWindow());
    int x = form_->width() - 3;
    for (skin::StdCommand c : {skin::cmClose, skin::cmMaximize, skin::cmMinimize, skin::cmRollUp}) {
        for (auto& o : objects_) {
            auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
            if (!b || b->Command != c || !b->Visible) continue;
            b->ObjectRect = Rect{x - size, 4, x, 4 + size};
            x -= size;
        }
    }
    for (auto& o : objects_) {
        auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
        if (!b || b->Command != skin::cmSysMenu || !b->Visible) continue;
        const int s = showIcon_ ? QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize) : size;
        b->ObjectRect = Rect{3, 4, 3 + s, 4 + s};
    }
}

Rect TbsSkinFrame::DefaultCaptionArea() const {
    if (!form_) return {};
    int left = 3, right = form_->width() - 3;
    for (const auto& o : objects_) {
        auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
        if (!b || !b->Visible) continue;
        if (b->Command == skin::cmSysMenu)
            left = std::max(left, b->ObjectRect.right);
        else
            right = std::min(right, b->ObjectRect.left);
    }
    return Rect{left, 3, std::max(left, right), 3 + DefaultCaptionHeightNow()};
}

void TbsSkinFrame::UpdateFrameRegion() {
    if (!form_ || !form_->HasBorder()) return;
    if (!skinned_ || mask_.isNull()) {
        if (shape_) {
            form_->clearMask();
            shape_.reset();
        }
        return;
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    skin::AnchorGeometry g = geo_.g;
    g.C = fi.maskrectarea;
    skin::AnchorGeometry n = geo_.n;
    n.C = geo_.maskArea;
    FrameShape shape;
    shape.maskArea = geo_.maskArea;
    shape.masks = skin::ComposeMaskBorders(mask_, g, n, size_.width());
    QRegion region(geo_.maskArea.ToQRect());
    auto add = [&](const QImage& m, int x, int y) {
        if (auto r = skin::MaskToRegion(m, x, y)) region += *r;
    };
    add(shape.masks.top, 0, 0);
    add(shape.masks.bottom, 0, geo_.maskArea.bottom);
    add(shape.masks.left, 0, geo_.maskArea.top);
    add(shape.masks.right, geo_.maskArea.right, geo_.maskArea.top);
    form_->setMask(region);
    shape_ = std::move(shape);
}

int TbsSkinFrame::HitTest(QPoint p) const {
    if (!form_) return HTNOWHERE;
    HitTestInput in;
    in.window = form_->size();
    in.skinned = skinned_;
    in.sizeable = form_->IsSizeable();
    in.maximized = frameState_ == wsMaximized;
    in.minimized = frameState_ == wsMinimized;
    in.rolledUp = rolledUp_;
    in.hoverObject = hover_ >= 0;
    for (const auto& o : objects_)
        if (dynamic_cast<const TbsSkinCaptionObject*>(o.get())) in.captionObjects.push_back(o->ObjectRect);
    if (skinned_) {
        const FrameGeometry geo = ComputeFrameGeometry(skinData_->FormInfo, picture_.size(), in.window);
        in.newC = geo.n.C;
        in.borderWidth = skinData_->FormInfo.borderwidth;
        in.hitLT = geo.hitLT;
        in.hitRT = geo.hitRT;
        in.hitLB = geo.hitLB;
        in.hitRB = geo.hitRB;
        in.shape = shape_ ? &*shape_ : nullptr;
    } else {
        in.captionHeight = DefaultCaptionHeightNow();
        in.captionArea = DefaultCaptionArea();
    }
    return FrameHitTest(in, p);
}

// ===== painting ============================================================================

void TbsSkinFrame::Paint(QPainter& p) {
    if (!form_->HasBorder()) return;
    if (skinned_)
        PaintSkinFrame(p);
    else
        PaintDefaultFrame(p);
}

void TbsSkinFrame::PaintSkinFrame(QPainter& p) {
    const QSize min = MinimumTrackSize();
    const int W = form_->width(), H = form_->height();
    if (W < min.width() || H < min.height()) return;
    UpdateFrameGeometry();
    ArrangeFrameObjects();
    const bool active = FormActive();
    const QImage& source = active || inactivePicture_.isNull() ? picture_ : inactivePicture_;
    skin::BorderImages b =
        skin::ComposeFrameBorders(source, Rect{0, 0, source.width(), source.height()}, geo_.g, geo_.n, W, H);
    const Rect& C = geo_.n.C;
    for (auto& o : objects_) {
        if (!o->Visible) continue;
        if (o->ObjectRect.bottom <= C.top) {
            if (b.top.isNull()) continue;
            QPainter ip(&b.top);
            o->DrawObject(ip, false);
        } else {
            if (b.bottom.isNull()) continue;
            QPainter ip(&b.bottom);
            ip.translate(0, -C.bottom);
            o->DrawObject(ip, false);
        }
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    if (!active && fi.autorenderinginactiveimage) {
        for (QImage* img : {&b.top, &b.bottom, &b.left, &b.right}) {
            if (img->isNull()) continue;
            skin::TbsEffectBmp e(*img);
            skin::ApplyInactiveEffect(e, fi.inactiveeffect);
            *img = e.toImage();
        }
    }
    p.save();
    p.setClipRegion(QRegion(0, 0, W, H) - QRegion(C.ToQRect()), Qt::IntersectClip);
    const int topH = b.top.isNull() ? 0 : b.top.height();
    if (!b.top.isNull()) p.drawImage(0, 0, b.top);
    if (!b.left.isNull()) p.drawImage(0, topH, b.left);
    if (!b.right.isNull()) p.drawImage(W - b.right.width(), topH, b.right);
    if (!b.bottom.isNull()) p.drawImage(0, H - b.bottom.height(), b.bottom);
    p.restore();
}

void TbsSkinFrame::PaintDefaultFrame(QPainter& p) {
    const int W = form_->width(), H = form_->height();
    const int ch = DefaultCaptionHeightNow();
    if (objects_.empty()) CreateDefaultButtons();
    ArrangeDefaultButtons();
    if (W - 6 >= 1 && ch >= 1) {
        QImage bar(W - 6, ch, QImage::Format_RGB32);
        bar.fill(Color(platform::clBtnFace));
        QPainter bp(&bar);
        bp.translate(-3, -3);  // window coordinates
        const Rect area = DefaultCaptionArea();
        if (ch - 4 > 1) {
            for (int row = 2; row <= ch - 4; ++row) {
                const QColor c = Color((row - 2) % 2 == 0 ? platform::clBtnHighlight : platform::clBtnShadow);
                skin::DrawPenLine(bp, QPoint(area.left, row + 3), QPoint(area.right, row + 3), c);
            }
        }
        const platform::TFont& tf = FormActive() ? defCaptionFont_ : defInActiveCaptionFont_;
        const QFont font = tf.ToQFont();
        const QString title = platform::ShortenWithEllipsis(font, form_->windowTitle(), std::max(0, area.Width() - 5));
        if (!title.isEmpty()) {
            const int tw = platform::TextWidth(font, title), th = platform::TextHeight(font);
            const int bgW = tw + 5;
            const int bgLeft = area.left + area.Width() / 2 - bgW / 2;
            bp.fillRect(QRect(bgLeft, 3, bgW, ch), Color(platform::clBtnFace));
            bp.setFont(font);
            bp.setPen(Color(tf.color));
            platform::TextOut(bp, bgLeft + 3, 3 + ch / 2 - th / 2, title);
        }
        for (auto& o : objects_)
            if (o->Visible) o->DrawObject(bp, true);
        bp.end();
        p.save();
        p.setClipRegion(QRegion(0, 0, W, H) - QRegion(ClientRectFor(form_->size())), Qt::IntersectClip);
        p.drawImage(3, 3, bar);
        p.restore();
    }
    QRect r(0, 0, W, H);
    skin::Draw3DBorder(p, r, Color(platform::cl3DLight), Color(platform::cl3DDkShadow));
    r.adjust(1, 1, -1, -1);
    skin::Draw3DBorder(p, r, Color(platform::clBtnHighlight), Color(platform::clBtnShadow));
    r.adjust(1, 1, -1, -1);
    skin::Draw3DBorder(p, r, Color(platform::clBtnFace), Color(platform::clBtnFace));
}

void TbsSkinFrame::PaintClientBackground(QPainter& painter, QSize clientSize) {
    const QRect area(QPoint(0, 0), clientSize);
    const QColor face = Color(platform::clBtnFace);
    if (!skinned_) {
        painter.fillRect(area, face);
        return;
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    if (fi.bgpictureindex != -1) {
        const QImage bg = ActivePictureAt(fi.bgpictureindex);
        // An index outside the active pictures falls back to the plain fill.
        if (bg.isNull() || bg.width() < 1 || bg.height() < 1) {
            painter.fillRect(area, face);
            return;
        }
        for (int y = 0; y < clientSize.height(); y += bg.height())
            for (int x = 0; x < clientSize.width(); x += bg.width()) painter.drawImage(x, y, bg);
        return;
    }
    const QRect c = fi.clientrect.ToQRect();
    if (fi.clientrect.IsEmpty() || picture_.isNull()) {
        painter.fillRect(area, face);
        return;
    }
    // The client part of the form picture, tiled through an off-screen image.
    QImage tiles(clientSize, QImage::Format_RGB32);
    if (tiles.isNull()) return;
    tiles.fill(face);
    const QImage tile = picture_.copy(c);
    {
        QPainter tp(&tiles);
        for (int y = 0; y < clientSize.height(); y += c.height())
            for (int x = 0; x < clientSize.width(); x += c.width()) tp.drawImage(x, y, tile);
    }
    painter.drawImage(0, 0, tiles);
}

// ===== activation ==========================================================================

bool TbsSkinFrame::FormActive() const {
    if (activeOverride_) return *activeOverride_;
    return form_ && form_->isActiveWindow();
}

void TbsSkinFrame::SetActiveOverride(std::optional<bool> active) {
    activeOverride_ = active;
    OnFormActivationChanged();
}

void TbsSkinFrame::OnFormActivationChanged() {
    if (!form_) return;
    const bool active = FormActive();
    if (active == lastActive_) return;
    lastActive_ = active;
    form_->update();
    // A button held down by the click that activated the window keeps its state.
    for (size_t i = 0; i < objects_.size(); ++i) {
        TbsActiveSkinObject* o = objects_[i].get();
        if (dynamic_cast<TbsSkinCaptionObject*>(o) || int(i) == captured_) continue;
        o->ResetActive();
        o->MouseIn = false;
    }
    if (hover_ != captured_) hover_ = -1;
    prevHover_ = -1;
    ActivationUpdate(true);
}

void TbsSkinFrame::ActivationUpdate(bool repaint) {
    if (!form_) return;
    const bool active = FormActive();
    lastActive_ = active;
    for (auto& o : objects_) {
        auto* c = dynamic_cast<TbsSkinCaptionObject*>(o.get());
        if (!c || c->Active == active) continue;
        c->Active = active;
        if (repaint) {
            form_->update();
            if (c->IsMorphing()) StartMorphTimer();
        } else {
            c->MorphKf = active ? 1 : 0;
        }
        break;
    }
    if (active && OnActivate) OnActivate();
    if (!active && OnDeActivate) OnDeActivate();
}

// ===== timers ==============================================================================

void TbsSkinFrame::StopTimers() {
    trackTimer_.stop();
    morphTimer_.stop();
}

void TbsSkinFrame::StartMorphTimer() {
    if (!morphTimer_.isActive()) morphTimer_.start();
}

void TbsSkinFrame::MorphTimerTick() {
    bool any = false;
    for (auto& o : objects_)
        if (o->IsMorphing()) any = o->MorphStep() || any;
    if (!any) morphTimer_.stop();
}

void TbsSkinFrame::TrackingTimerTick() {
    if (!form_ || !FormActive()) {
        trackTimer_.stop();
        return;
    }
    const QPoint p = form_->mapFromGlobal(QCursor::pos());
    const bool over = form_->rect().contains(p) && (form_->mask().isEmpty() || form_->mask().contains(p));
    if (over) {
        if (inSizeMove_) return;
        if (!PtInRect(ClientRectOf(form_->size()), p))
            TrackFrameObjects(p, true);
        else if (hover_ >= 0)
            TrackFrameObjects(p, false);
    } else {
        TrackFrameObjects(p, false);
        trackTimer_.stop();
    }
}

void TbsSkinFrame::RedrawObject(TbsActiveSkinObject* obj) {
    if (form_ && obj) form_->update(obj->ObjectRect.ToQRect());
}

// ===== objects under the mouse =============================================================

void TbsSkinFrame::TrackFrameObjects(QPoint p, bool inside) {
    if ((!FormActive() && !activatingPress_) || objects_.empty()) return;
    prevHover_ = hover_;
    int found = -1;
    if (inside) {
        for (size_t i = 0; i < objects_.size(); ++i) {
            const auto& o = objects_[i];
            if (o->Enabled && o->Visible && PtInRect(o->ObjectRect, p)) {
                found = int(i);
                break;
            }
        }
    }
    if (captured_ >= 0 && found != captured_) found = -1;
    hover_ = found;
    if (hover_ == prevHover_) return;
    if (prevHover_ >= 0 && prevHover_ < int(objects_.size())) {
        TbsActiveSkinObject* o = objects_[size_t(prevHover_)].get();
        if (o->Enabled && o->Visible) o->ObjectMouseLeave();
        HideObjectHint();
    }
    if (hover_ >= 0) {
        TbsActiveSkinObject* o = objects_[size_t(hover_)].get();
        o->ObjectMouseEnter();
        if (showObjectHint_ && skinHint_ && !o->Hint.isEmpty()) skinHint_->ActivateHint(o->Hint);
    }
}

void TbsSkinFrame::HideObjectHint() {
    if (skinHint_) skinHint_->HideHint();
}

// ===== mouse ===============================================================================

bool TbsSkinFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_ || !form_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ActivationChange:
    case QEvent::Hide:
    case QEvent::MouseButtonPress:
        // A menu does not outlive a change of the window it belongs to.
        CloseSkinMenus();
        break;
    default: break;
    }
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(form_);
        Paint(p);
        return true;
    }
    case QEvent::Resize:
        OnSizeChanged();
        return false;
    case QEvent::ActivationChange:
        HideObjectHint();
        OnFormActivationChanged();
        return false;
    case QEvent::WindowTitleChange: form_->update(); return false;
    case QEvent::Show:
        UpdateTrackSizes();
        StartFade();
        return false;
    case QEvent::Hide:
        StopTimers();
        if (alphaBlend_ && skin::LayeredWindowsAvailable()) form_->setWindowOpacity(1.0);
        return false;
    case QEvent::Move: HideObjectHint(); return false;
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (PtInRect(ClientRectOf(form_->size()), e->position().toPoint())) return false;
        HideObjectHint();
        MousePress(e);
        return true;
    }
    case QEvent::MouseButtonRelease: MouseRelease(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseMove: MouseMove(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (PtInRect(ClientRectOf(form_->size()), e->position().toPoint())) return false;
        MouseDoubleClick(e);
        return true;
    }
    case QEvent::Leave:
        if (drag_ == Drag::None && captured_ < 0) TrackFrameObjects(QPoint(-1, -1), false);
        return false;
    default: return false;
    }
}

void TbsSkinFrame::MousePress(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    const bool inside = !PtInRect(ClientRectOf(form_->size()), p);
    // A click on an inactive window activates it and acts at once, as on any desktop;
    // the window system reports the activation only afterwards.
    activatingPress_ = !FormActive();
    if (activatingPress_ && !activeOverride_) form_->activateWindow();
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{activatingPress_};
    if (e->button() == Qt::LeftButton) {
        const int hit = HitTest(p);
        // The window system's part comes first: caption drags and border resizing.
        if (hit == HTCAPTION && frameState_ != wsMaximized) {
            drag_ = Drag::PendingMove;
            dragStartGlobal_ = global;
            dragStartGeometry_ = form_->geometry();
        } else if (IsEdge(hit)) {
            BeginDrag(hit, global);
        }
        TrackFrameObjects(p, inside);
        captured_ = hover_;
        if (captured_ >= 0) objects_[size_t(captured_)]->ObjectMouseDown(p.x(), p.y(), Qt::LeftButton);
    } else if (e->button() == Qt::RightButton) {
        TrackFrameObjects(p, inside);
        captured_ = hover_;
        if (captured_ >= 0) objects_[size_t(captured_)]->ObjectMouseDown(p.x(), p.y(), Qt::RightButton);
        if (HitTest(p) == HTCAPTION) {
            // The menu takes the mouse from here on; the object hears no button-up.
            captured_ = -1;
            ShowSystemMenu(global);
        }
    }
}

void TbsSkinFrame::MouseRelease(QMouseEvent* e) {
    if (drag_ != Drag::None) EndDrag();
    if (captured_ < 0 || captured_ >= int(objects_.size())) {
        captured_ = -1;
        return;
    }
    TbsActiveSkinObject* o = objects_[size_t(captured_)].get();
    captured_ = -1;
    const QPoint p = e->position().toPoint();
    // Hover tracking pauses while the window is inactive; where the button comes up decides.
    if (!PtInRect(o->ObjectRect, p)) o->MouseIn = false;
    QPointer<TbsSkinFrame> self(this);
    o->ObjectMouseUp(p.x(), p.y(), e->button());
    if (!self || !form_) return;
    // The hover may have changed while the object was held.
    TrackFrameObjects(p, !PtInRect(ClientRectOf(form_->size()), p));
}

void TbsSkinFrame::MouseMove(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    if (drag_ == Drag::PendingMove && (e->buttons() & Qt::LeftButton) && global != dragStartGlobal_) {
        // A caption object hears no button-up once the drag has begun.
        if (captured_ >= 0 && dynamic_cast<TbsSkinCaptionObject*>(objects_[size_t(captured_)].get())) captured_ = -1;
        BeginDrag(HTCAPTION, global);
    }
    if (drag_ == Drag::Move) {
        QRect r = dragStartGeometry_.translated(global - dragStartGlobal_);
        if (magnetic_ && frameState_ != wsMaximized)
            r = MagneticSnap(r, Rect::FromQRect(platform::WorkArea(form_)), magneticSize_);
        form_->move(r.topLeft());
        return;
    }
    if (drag_ == Drag::Resize) {
        const QRect max = maximizeOnFullScreen_ ? platform::ScreenRect(form_) : platform::WorkArea(form_);
        form_->setGeometry(
            ResizeByHitCode(dragStartGeometry_, dragHit_, global - dragStartGlobal_, MinimumTrackSize(), max.size()));
        return;
    }
    TrackFrameObjects(p, !PtInRect(ClientRectOf(form_->size()), p));
    const int hit = HitTest(p);
    UpdateCursorShape(hit);
    if (hover_ >= 0 && !trackTimer_.isActive() && FormActive()) trackTimer_.start();
    const int target = captured_ >= 0 ? captured_ : hover_;
    if (target >= 0 && target < int(objects_.size())) objects_[size_t(target)]->ObjectMouseMove(p.x(), p.y());
}

void TbsSkinFrame::MouseDoubleClick(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    const int hit = HitTest(p);
    const int hover = hover_;
    QPointer<TbsSkinFrame> self(this);
    if (hit == HTCAPTION) CaptionDoubleClick();
    if (!self || !form_) return;
    if (hover >= 0 && hover == hover_ && hover < int(objects_.size())) objects_[size_t(hover)]->ObjectDblClick();
}

void TbsSkinFrame::UpdateCursorShape(int hit) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (hit) {
    case HTLEFT:
    case HTRIGHT: shape = Qt::SizeHorCursor; break;
    case HTTOP:
    case HTBOTTOM: shape = Qt::SizeVerCursor; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: shape = Qt::SizeFDiagCursor; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: shape = Qt::SizeBDiagCursor; break;
    default: break;
    }
    if (form_->cursor().shape() != shape) form_->setCursor(shape);
}

bool TbsSkinFrame::BeginDrag(int hit, QPoint globalPos) {
    if (drag_ != Drag::PendingMove) {
        dragStartGlobal_ = globalPos;
        dragStartGeometry_ = form_->geometry();
    }
    dragHit_ = hit;
    inSizeMove_ = true;
    QWindow* w = form_->windowHandle();
    if (hit == HTCAPTION) {
        // Magnetic snapping needs every step of the move, so the frame moves the window.
        if (!magnetic_ && w && w->startSystemMove()) {
            drag_ = Drag::None;
            inSizeMove_ = false;
            return true;
        }
        drag_ = Drag::Move;
        return false;
    }
    if (w && w->startSystemResize(EdgesOf(hit))) {
        drag_ = Drag::None;
        inSizeMove_ = false;
        return true;
    }
    drag_ = Drag::Resize;
    return false;
}

void TbsSkinFrame::EndDrag() {
    const bool moved = drag_ == Drag::Move || drag_ == Drag::Resize;
    drag_ = Drag::None;
    inSizeMove_ = false;
    if (moved && skinned_) form_->update();
}

// ===== frame state =========================================================================

void TbsSkinFrame::SetFrameState(TWindowState state) {
    if (!form_ || state == frameState_) return;
    switch (state) {
    case wsMaximized: {
        if (restoreBounds_.isEmpty()) restoreBounds_ = form_->geometry();
        frameState_ = wsMaximized;
        UpdateTrackSizes();
        form_->setGeometry(maximizeOnFullScreen_ ? platform::ScreenRect(form_) : platform::WorkArea(form_));
        break;
    }
    case wsMinimized: {
        if (form_ == platform::Form::MainForm()) {
            // The main window takes the whole application down; its frame state stays.
            form_->showMinimized();
            return;
        }
        if (restoreBounds_.isEmpty()) restoreBounds_ = form_->geometry();
        frameState_ = wsMinimized;
        UpdateTrackSizes();
        const QSize s = MinimumTrackSize();
        const QRect area = platform::WorkArea(form_);
        int x = area.left(), y = area.bottom() + 1 - s.height();
        // Past every other minimized skinned window already in that place.
        for (bool moved = true; moved;) {
            moved = false;
            for (platform::Form* f : platform::Form::OpenForms()) {
                if (f == form_ || !f->isVisible()) continue;
                auto* other = dynamic_cast<TbsSkinFrame*>(f->Frame());
                if (!other || other->FrameState() != wsMinimized || f->pos() != QPoint(x, y)) continue;
                x += s.width();
                if (x + s.width() > area.right() + 1) {
                    x = area.left();
                    y -= s.height();
                    if (y < area.top()) y = area.bottom() + 1 - s.height();
                }
                moved = true;
            }
        }
        form_->setGeometry(x, y, s.width(), s.height());
        break;
    }
    case wsNormal: {
        rolledUpWhileMaximized_ = false;
        frameState_ = wsNormal;
        UpdateTrackSizes();
        const QSize before = form_->size();
        if (!restoreBounds_.isEmpty()) form_->setGeometry(restoreBounds_);
        trackTimer_.start();
        if (form_->size() == before) Relayout();
        form_->update();
        restoreBounds_ = QRect();
        break;
    }
    }
    form_->update();
}

void TbsSkinFrame::SetRolledUp(bool value) {
    if (!form_ || !borderIcons_.testFlag(biRollUp) || frameState_ == wsMinimized) return;
    if (rolledUp_ && frameState_ == wsMaximized && !rolledUpWhileMaximized_) return;
    if (value == rolledUp_) return;
    if (frameState_ == wsMaximized) rolledUpWhileMaximized_ = value;
    if (value) {
        rollUpHeight_ = form_->height();
        rolledUp_ = true;
        UpdateTrackSizes();
        form_->resize(form_->width(), MinimumTrackSize().height());
    } else {
        rolledUp_ = false;
        UpdateTrackSizes();
        form_->resize(form_->width(), rollUpHeight_);
    }
    form_->update();
    if (OnChangeRollUpState) OnChangeRollUpState();
}

void TbsSkinFrame::CaptionDoubleClick() {
    const bool sizeable = form_->IsSizeable();
    if (sizeable && frameState_ == wsMinimized)
        SetFrameState(wsNormal);
    else if (sizeable && frameState_ != wsMaximized && !rolledUp_ && borderIcons_.testFlag(biMaximize))
        SetFrameState(wsMaximized);
    else if (sizeable && frameState_ == wsMaximized && !rolledUpWhileMaximized_)
        SetFrameState(wsNormal);
    else
        SetRolledUp(!rolledUp_);
}

void TbsSkinFrame::CloseForm() {
    if (form_) form_->close();
}

// ===== system menu =========================================================================

std::vector<SystemMenuItem> TbsSkinFrame::SystemMenuItemsNow() const {
    return SystemMenuItems(borderIcons_, frameState_, rolledUp_);
}

TbsMenuItem TbsSkinFrame::SystemMenuNow() {
    if (systemMenu_) return MenuItemFromActions(systemMenu_->actions());
    // Rebuilt each time, so the items follow the window's state.
    TbsMenuItem root;
    for (const SystemMenuItem& item : SystemMenuItemsNow()) {
        TbsMenuItem it;
        it.Name = item.name;
        it.Caption = item.caption;
        it.ShortCut = item.shortcut;
        if (item.action != SystemMenuAction::None) {
            QPointer<TbsSkinFrame> self(this);
            const SystemMenuAction action = item.action;
            it.OnClick = [self, action] {
                if (self) self->RunSystemMenuAction(action);
            };
        }
        root.Items.push_back(std::move(it));
    }
    return root;
}

void TbsSkinFrame::ShowSystemMenu(QPoint globalPos) {
    ShowSkinMenu(SystemMenuNow(), globalPos);
}

void TbsSkinFrame::ShowSkinMenu(TbsMenuItem root, QPoint globalPos, skin::TbsSkinData* data) {
    if (!form_) return;
    if (!data) data = menusSkinData_ ? menusSkinData_.data() : skinData_.data();
    HideObjectHint();
    skinMenu_->SetItemHeight(defMenuItemHeight_);
    skinMenu_->SetFont(defMenuItemFont_);
    skinMenu_->AlphaBlend = menusAlphaBlend_;
    skinMenu_->AlphaBlendAnimation = menusAlphaBlendAnimation_;
    skinMenu_->AlphaBlendValue = menusAlphaBlendValue_;
    const Rect at{globalPos.x(), globalPos.y(), globalPos.x(), globalPos.y()};
    skinMenu_->OpenMenuChain(data, 0, std::move(root), at, false);
}

void TbsSkinFrame::CloseSkinMenus() {
    if (skinMenu_ && skinMenu_->ChainOpen()) skinMenu_->CloseMenuChain();
}

void TbsSkinFrame::RunSystemMenuAction(SystemMenuAction action) {
    switch (action) {
    case SystemMenuAction::Minimize: SetFrameState(wsMinimized); break;
    case SystemMenuAction::Maximize: SetFrameState(wsMaximized); break;
    case SystemMenuAction::Restore:
        if (rolledUp_ && (frameState_ == wsNormal || (frameState_ == wsMaximized && rolledUpWhileMaximized_)))
            SetRolledUp(false);
        else
            SetFrameState(wsNormal);
        break;
    case SystemMenuAction::RollUp: SetRolledUp(true); break;
    case SystemMenuAction::MinimizeToTray:
        if (OnMinimizeToTray) OnMinimizeToTray();
        break;
    case SystemMenuAction::Close: CloseForm(); break;
    case SystemMenuAction::None: break;
    }
}

// ===== fade-in =============================================================================

void TbsSkinFrame::StartFade() {
    if (!skin::LayeredWindowsAvailable() || !(alphaBlend_ || alphaBlendAnimation_)) return;
    fadeTarget_ = alphaBlend_ || !alphaBlendAnimation_ ? alphaBlendValue_ : 255;
    if (!alphaBlendAnimation_) {
        form_->setWindowOpacity(fadeTarget_ / 255.0);
        return;
    }
    form_->setWindowOpacity(0);
    fadeAlpha_ = 0;
    fadeTimer_.start();
}

void TbsSkinFrame::FadeStep() {
    if (!form_) {
        fadeTimer_.stop();
        return;
    }
    // Steps of 3, one per timer tick, the last one capped at the target.
    fadeAlpha_ = std::min(fadeAlpha_ + 3, fadeTarget_);
    form_->setWindowOpacity(fadeAlpha_ / 255.0);
    if (fadeAlpha_ >= fadeTarget_) fadeTimer_.stop();
}

}  // namespace frame
