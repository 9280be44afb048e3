// The frame's window states: maximized, minimized and normal, rolled up, what a double
// click on the caption does, and the system menu that offers them.

#include "frame/SkinFrame.h"

#include "frame/FrameObjects.h"
#include "frame/PopupMenu.h"

namespace frame {

using skin::Rect;

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

}  // namespace frame
