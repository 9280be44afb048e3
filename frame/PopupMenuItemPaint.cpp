#include "frame/PopupMenuItemPaint.h"

#include <QPainter>

#include <algorithm>

#include "frame/PopupMenu.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "skin/Compose.h"
#include "skin/DeviceImage.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"
#include "userchars/UserChars.h"

namespace frame {

using skin::Rect;

namespace {

QColor Color(skin::TColor c) { return platform::ToQColor(c); }

// The plain look's hot item: a navy frame round a light fill.
constexpr skin::TColor kPlainHotFrame = 0x800000;
constexpr skin::TColor kPlainHotFill = 0xD2BDB6;

// The glyph the frame's system menu items show at the left.
bool FrameGlyphOf(const QString& name, skin::DefaultGlyph& glyph) {
    if (name == QLatin1String("BSF_CLOSE") || name == QLatin1String("TRAY_BSF_CLOSE"))
        glyph = skin::DefaultGlyph::Close;
    else if (name == QLatin1String("BSF_MINITEM"))
        glyph = skin::DefaultGlyph::Minimize;
    else if (name == QLatin1String("BSF_MAXITEM"))
        glyph = skin::DefaultGlyph::Maximize;
    else if (name == QLatin1String("BSF_RESTORE") || name == QLatin1String("TRAY_BSF_RESTORE"))
        glyph = skin::DefaultGlyph::Restore;
    else if (name == QLatin1String("BSF_ROLLUP"))
        glyph = skin::DefaultGlyph::RollDown;
    else if (name == QLatin1String("BSF_MINTOTRAY"))
        glyph = skin::DefaultGlyph::Bullet;
    else
        return false;
    return true;
}

// The caption, shortcut, sub-menu arrow and glyph in the text rectangle T: the caption
// from g past its left, the shortcut ending `reserve` before its right.
void DrawItemForeground(QPainter& p, const TbsSkinMenuItem& it, const Rect& T, int g, int reserve, const QColor& text,
                        bool skinned) {
    const TbsMenuItem& item = *it.item;
    QFont font = p.font();
    if (item.Default) font.setBold(true);
    p.setFont(font);
    p.setPen(text);
    const int cy = (T.top + T.bottom) / 2;
    const int th = platform::TextHeight(font);
    const int ty = cy - th / 2;
    const int textLeft = T.left + g;
    const userchars::TextFont udc(p, item.Caption);
    p.drawText(QRect(textLeft, ty, std::max(T.right - reserve - textLeft, 0), th),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic, item.Caption);
    if (!item.ShortCut.isEmpty())
        platform::TextOut(p, T.right - reserve - platform::TextWidth(font, item.ShortCut), ty, item.ShortCut);
    if (!item.Items.empty()) {
        const int y = cy - 4;
        for (int i = 0; i <= 3; ++i) skin::DrawPenLine(p, {T.right - 7 + i, y + i}, {T.right - 7 + i, y + 7 - i}, text);
    }
    skin::DefaultGlyph glyph{};
    if (FrameGlyphOf(item.Name, glyph)) {
        skin::DrawDefaultGlyph(p, glyph, T.left + 2, cy - 4, text);
    } else if (item.Checked) {
        const int x = T.left + (skinned ? 2 : 3);
        if (item.RadioItem) {
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(text);
            p.drawEllipse(QRect(x, cy - 3, 6, 6));
            p.restore();
        } else {
            skin::DrawDefaultGlyph(p, skin::DefaultGlyph::Check, x, cy - 4, text);
        }
    }
}

}  // namespace

QImage PopupMenuItemImage(const TbsSkinMenuItem& it, const skin::TbsDataSkinMenuItem* entry, const QImage& picture,
                          const QFont& plainFont, qreal ratio) {
    const int w = it.rect.Width(), h = it.rect.Height();
    const bool lit = it.hot || it.open;
    const TbsMenuItem& item = *it.item;
    if (entry) {
        const skin::TbsDataSkinMenuItem& e = *entry;
        if (item.IsSeparator())
            return skin::AtRatio(skin::ComposeHorizontalImage(picture, e.dividerrect, e.dividerleftoffset,
                                                              e.dividerrightoffset, w),
                                 ratio);
        auto compose = [&](const Rect& r) {
            return skin::ComposeHorizontalImage(picture, r, e.itemleftoffset, e.itemrightoffset, w);
        };
        QImage img;
        if (e.morphing && ((lit && it.k < 1) || (!lit && it.k > 0))) {
            skin::TbsEffectBmp shown(compose(e.skinrect));
            skin::ApplyMorph(shown, skin::TbsEffectBmp(compose(e.activeskinrect)), e.morphkind, it.k);
            img = skin::AtRatio(skin::ToRGB32(shown.toImage()), ratio);
        } else {
            img = skin::AtRatio(compose(lit ? e.activeskinrect : e.skinrect), ratio);
        }
        if (img.isNull()) return img;
        QPainter p(&img);
        Rect T = e.textrect;
        T.right += w - e.skinrect.Width();
        const skin::TColor c = lit ? e.activefontcolor : item.Enabled ? e.fontcolor : e.unenabledfontcolor;
        p.setFont(platform::MakeFont(e.fontname, e.fontheight, e.fontstyle));
        DrawItemForeground(p, it, T, 16, 16, Color(c), true);
        return img;
    }

    const int g = kPlainGlyphColumn;
    QImage img = skin::NewDeviceImage(QSize(std::max(w, 1), std::max(h, 1)), ratio, Color(platform::clWindow));
    QPainter p(&img);
    if (lit) {
        img.fill(Color(kPlainHotFill));
        skin::Draw3DBorder(p, skin::LogicalRect(img), Color(kPlainHotFrame), Color(kPlainHotFrame));
    } else {
        p.fillRect(0, 0, g, h, Color(platform::clBtnFace));
        p.fillRect(g, 0, w - g, h, Color(platform::clWindow));
    }
    if (item.IsSeparator()) {
        skin::DrawPenLine(p, {g, h / 2}, {w, h / 2}, Color(platform::clBtnShadow));
        return img;
    }
    p.setFont(plainFont);
    const skin::TColor c = lit || item.Enabled ? platform::clWindowText : platform::clBtnShadow;
    DrawItemForeground(p, it, Rect{2, 2, w - 2, h - 2}, g, g, Color(c), false);
    return img;
}

}  // namespace frame
