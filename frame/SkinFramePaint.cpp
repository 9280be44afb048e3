// Painting the frame from its layout: the skinned border and caption with their objects,
// the plain default frame, and the client area's background.

#include "frame/SkinFrame.h"

#include <QPainter>

#include "frame/FrameObjects.h"
#include "platform/Fonts.h"
#include "skin/Compose.h"
#include "skin/DeviceImage.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"

namespace frame {

using skin::Rect;

namespace {

QColor Color(skin::TColor c) { return platform::ToQColor(c); }

}  // namespace

// ===== painting ============================================================================

void TbsSkinFrame::Paint(QPainter& p) {
    if (!form_->HasBorder()) return;
    if (skinned_)
        PaintSkinFrame(p);
    else
        PaintDefaultFrame(p);
}

void TbsSkinFrame::PaintSkinFrame(QPainter& p) {
    if (!FitsMinimumTrackSize()) return;
    const int W = size_.width(), H = size_.height();
    const bool active = FormActive();
    const QImage& source = active || inactivePicture_.isNull() ? picture_ : inactivePicture_;
    skin::BorderImages b =
        skin::ComposeFrameBorders(source, Rect{0, 0, source.width(), source.height()}, geo_.g, geo_.n, W, H);
    // The borders are composed in the skin's pixels; on a finer screen they are scaled
    // smoothly to its pixel ratio before the caption and the objects are drawn into them.
    const qreal ratio = form_->devicePixelRatioF();
    for (QImage* img : {&b.top, &b.bottom, &b.left, &b.right}) *img = skin::AtRatio(*img, ratio);
    const Rect& C = geo_.n.C;
    for (auto& o : objects_) {
        if (!o->Visible) continue;
        if (o->ObjectRect.bottom <= C.top) {
            if (b.top.isNull()) continue;
            QPainter ip(&b.top);
            const skin::SmoothOnFinerDevice smooth(ip);
            o->DrawObject(ip, false);
        } else {
            if (b.bottom.isNull()) continue;
            QPainter ip(&b.bottom);
            const skin::SmoothOnFinerDevice smooth(ip);
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
            *img = skin::WithRatio(e.toImage(), ratio);
        }
    }
    p.save();
    p.setClipRegion(QRegion(0, 0, W, H) - QRegion(C.ToQRect()), Qt::IntersectClip);
    const int topH = b.top.isNull() ? 0 : skin::LogicalSize(b.top).height();
    if (!b.top.isNull()) p.drawImage(0, 0, b.top);
    if (!b.left.isNull()) p.drawImage(0, topH, b.left);
    if (!b.right.isNull()) p.drawImage(W - skin::LogicalSize(b.right).width(), topH, b.right);
    if (!b.bottom.isNull()) p.drawImage(0, H - skin::LogicalSize(b.bottom).height(), b.bottom);
    p.restore();
}

void TbsSkinFrame::PaintDefaultFrame(QPainter& p) {
    const int W = size_.width(), H = size_.height();
    const int ch = DefaultCaptionHeightNow();
    if (W - 6 >= 1 && ch >= 1) {
        // At the screen's pixel ratio, so the title is drawn at the device's resolution.
        QImage bar = skin::NewDeviceImage(QSize(W - 6, ch), form_->devicePixelRatioF(), Color(platform::clBtnFace));
        QPainter bp(&bar);
        bp.translate(-3, -3);  // window coordinates
        const Rect& area = captionArea_;
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
        p.setClipRegion(QRegion(0, 0, W, H) - QRegion(ClientRectFor(size_)), Qt::IntersectClip);
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
        const QImage& bg = bgPicture_;
        // An index outside the active pictures falls back to the plain fill.
        if (bg.isNull() || bg.width() < 1 || bg.height() < 1) {
            painter.fillRect(area, face);
            return;
        }
        const skin::SmoothOnFinerDevice smooth(painter);
        for (int y = 0; y < clientSize.height(); y += bg.height())
            for (int x = 0; x < clientSize.width(); x += bg.width()) painter.drawImage(x, y, bg);
        return;
    }
    const QRect c = fi.clientrect.ToQRect();
    if (fi.clientrect.IsEmpty() || picture_.isNull()) {
        painter.fillRect(area, face);
        return;
    }
    // The client part of the form picture, tiled through an off-screen image (scaled
    // smoothly as a whole onto a finer screen).
    QImage tiles(clientSize, QImage::Format_RGB32);
    if (tiles.isNull()) return;
    tiles.fill(face);
    const QImage tile = picture_.copy(c);
    {
        QPainter tp(&tiles);
        for (int y = 0; y < clientSize.height(); y += c.height())
            for (int x = 0; x < clientSize.width(); x += c.width()) tp.drawImage(x, y, tile);
    }
    const skin::SmoothOnFinerDevice smooth(painter);
    painter.drawImage(0, 0, tiles);
}

}  // namespace frame
