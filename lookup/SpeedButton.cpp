#include "lookup/SpeedButton.h"

#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

#include "lookup/Messages.h"
#include "skin/DeviceImage.h"
#include "skin/Glyphs.h"

namespace lookup {

using platform::ToQColor;

TSpeedButton::TSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    font_ = {QStringLiteral("新細明體"), 12, {}, platform::clBtnText};
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
    // An action that fails ends the click with the error shown, as the event loop's
    // error report does.
    connect(this, &QAbstractButton::clicked, this, [this] {
        try {
            Click();
        } catch (const std::exception& e) {
            ShowError(this, e);
        }
    });
}

void TSpeedButton::SetFlat(bool on) {
    flat_ = on;
    update();
}

void TSpeedButton::SetGlyph(const QImage& glyph) {
    glyph_ = glyph;
    update();
}

void TSpeedButton::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 4);
    update();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    update();
}

void TSpeedButton::SetButtonFont(const platform::TFont& f) {
    font_ = f;
    update();
}

void TSpeedButton::SetColor(platform::TColor c) {
    color_ = c;
    update();
}

QImage TSpeedButton::GlyphImage(bool enabled) const {
    if (glyph_.isNull()) return {};
    const int w = glyph_.width() / numGlyphs_;
    const int index = !enabled && numGlyphs_ >= 2 ? 1 : 0;
    QImage img = glyph_.copy(index * w, 0, w, glyph_.height());
    if (!enabled && numGlyphs_ < 2) {
        // No disabled image of its own: the picture in grey.
        img = img.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                const int g = 128 + qGray(p) / 2;
                img.setPixel(x, y, qRgba(g, g, g, qAlpha(p)));
            }
    }
    return img;
}

void TSpeedButton::Click() {
    if (OnClick) OnClick();
}

void TSpeedButton::enterEvent(QEnterEvent* e) {
    QAbstractButton::enterEvent(e);
    hot_ = true;
    update();
}

void TSpeedButton::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    hot_ = false;
    update();
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    // At the screen's pixel ratio, so the caption is drawn at the device's resolution.
    QImage buffer = skin::NewDeviceImage(size(), devicePixelRatioF(), ToQColor(color_));
    QPainter p(&buffer);
    const QRect r = rect();
    const bool enabled = isEnabled();
    const bool down = isDown() || isChecked();
    p.fillRect(r, ToQColor(color_));

    // The edge: sunken while pressed; raised when not flat, or flat under the mouse.
    if (down && enabled)
        skin::Draw3DBorder(p, r, ToQColor(platform::clBtnShadow), ToQColor(platform::clBtnHighlight));
    else if (!flat_ || (hot_ && enabled)) {
        skin::Draw3DBorder(p, r, ToQColor(platform::clBtnHighlight), ToQColor(platform::cl3DDkShadow));
        if (!flat_) {
            p.setPen(ToQColor(platform::clBtnShadow));
            p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
            p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
        }
    }

    const QFont font = font_.ToQFont();
    p.setFont(font);
    QString caption = text();
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));  // the accelerator is underlined below
    const int accel = text().indexOf(u'&');
    const QImage glyph = GlyphImage(enabled);
    const int tw = platform::TextWidth(font, caption);
    const int th = platform::TextHeight(font);
    const int spacing = glyph.isNull() || caption.isEmpty() ? 0 : 4;
    const int shift = down && enabled ? 1 : 0;
    QPoint glyphAt, textAt;
    if (layout_ == blGlyphTop) {
        const int total = glyph.height() + spacing + th;
        const int top = (r.height() - total) / 2;
        glyphAt = {(r.width() - glyph.width()) / 2, top};
        textAt = {(r.width() - tw) / 2, top + glyph.height() + spacing};
    } else {
        const int total = glyph.width() + spacing + tw;
        const int left = (r.width() - total) / 2;
        glyphAt = {left, (r.height() - glyph.height()) / 2};
        textAt = {left + glyph.width() + spacing, (r.height() - th) / 2};
    }
    glyphAt += QPoint(shift, shift);
    textAt += QPoint(shift, shift);
    if (!glyph.isNull()) p.drawImage(glyphAt, glyph);
    auto drawCaption = [&](QPoint at, platform::TColor c) {
        p.setPen(ToQColor(c));
        platform::TextOut(p, at.x(), at.y(), caption);
        if (accel >= 0 && accel < caption.size()) {
            const int x0 = at.x() + platform::TextWidth(font, caption.left(accel));
            const int x1 = at.x() + platform::TextWidth(font, caption.left(accel + 1));
            p.drawLine(x0, at.y() + th - 1, x1 - 1, at.y() + th - 1);
        }
    };
    if (enabled) {
        drawCaption(textAt, font_.color);
    } else {
        drawCaption(textAt + QPoint(1, 1), platform::clBtnHighlight);
        drawCaption(textAt, platform::clBtnShadow);
    }
    p.end();
    QPainter(this).drawImage(0, 0, buffer);
}

}  // namespace lookup
