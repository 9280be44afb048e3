// The frame's construction, its properties, the skin it applies and the events it watches
// on its form, activation, timers and the fade-in. The layout, the painting, the mouse and
// the window states have files of their own (SkinFrameLayout, SkinFramePaint,
// SkinFrameMouse, SkinFrameStates).

#include "frame/SkinFrame.h"

#include <QMouseEvent>
#include <QPainter>

#include <typeinfo>

#include "frame/FrameObjects.h"
#include "frame/PopupMenu.h"
#include "platform/SkinDispatch.h"
#include "platform/Timers.h"
#include "skin/Compose.h"
#include "skin/Effects.h"

namespace frame {

using skin::Rect;

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
    // Close's shortcut, as the system menu shows it: the frame takes it itself, since
    // without a window manager nobody else turns Alt+F4 into a close.
    closeShortcut_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), form_, this, &TbsSkinFrame::CloseForm,
                                   Qt::WindowShortcut);
    size_ = form_->size();
    // Unskinned until a skin is applied: the plain frame and its buttons.
    CreateDefaultButtons();
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
    delete closeShortcut_;
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
        bgPicture_ = ActivePictureAt(skinData_->FormInfo.bgpictureindex);
        CreateSkinObjects();
    } else {
        picture_ = inactivePicture_ = mask_ = bgPicture_ = QImage();
        CreateDefaultButtons();
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

void TbsSkinFrame::FormSkinMessage(skin::SkinChange message, skin::TbsSkinData* data) {
    if (!form_) return;
    // An open menu draws from the entries that are about to go.
    if (message == skin::SkinChange::Changing && data && data == skinMenu_->SkinData()) CloseSkinMenus();
    if (message == skin::SkinChange::Changing && data && data == skinData_) {
        skinned_ = false;
        StopTimers();
        FreeObjects();
    } else if (message == skin::SkinChange::Changed && data && data == skinData_) {
        ApplyFrameSkin();
    }
    platform::ForwardSkinMessage(form_->Client(), message, data);
}

// ===== events from the form ==============================================================

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
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (PtInRect(ClientRectOf(form_->size()), e->position().toPoint())) return false;
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

void TbsSkinFrame::RedrawObject(TbsActiveSkinObject* obj) {
    if (form_ && obj) form_->update(obj->ObjectRect.ToQRect());
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
