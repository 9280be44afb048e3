#include "skinctrls/SkinLabel.h"

#include <QEvent>
#include <QPainter>

#include "skin/SkinEntries.h"
#include "skinctrls/Paint.h"
#include "userchars/UserChars.h"

namespace skinctrls {

namespace {

// The desktop's default font for controls that are given none.
platform::TFont PlatformDefaultFont() {
    platform::TFont f;
    f.name = QStringLiteral("MS Sans Serif");
    f.height = -11;
    f.color = platform::clWindowText;
    return f;
}

}  // namespace

TbsSkinStdLabel::TbsSkinStdLabel(QWidget* parent)
    : QWidget(parent),
      font_(PlatformDefaultFont()),
      binding_(this, QStringLiteral("stdlabel"), PlatformDefaultFont(), [this] { SkinChanging(); }) {
    resize(65, 17);
    EnsureDialogKeyFilter();
}

bool TbsSkinStdLabel::DialogChar(QChar ch) {
    if (!showAccelChar_ || !focusControl_ || !IsAccel(ch, caption_)) return false;
    if (!focusControl_->isEnabled() || !focusControl_->isVisible() || focusControl_->focusPolicy() == Qt::NoFocus)
        return false;
    focusControl_->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TbsSkinStdLabel::SetCaption(const QString& c) {
    if (caption_ == c) return;
    caption_ = c;
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetAlignment(skin::Alignment a) {
    alignment_ = a;
    update();
}

void TbsSkinStdLabel::SetAutoSize(bool v) {
    autoSize_ = v;
    AdjustBounds();
}

void TbsSkinStdLabel::SetLayout(TTextLayout l) {
    layout_ = l;
    update();
}

void TbsSkinStdLabel::SetWordWrap(bool v) {
    wordWrap_ = v;
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetShowAccelChar(bool v) {
    showAccelChar_ = v;
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetFont(const platform::TFont& f) {
    font_ = f;
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetDefaultFont(const platform::TFont& f) {
    binding_.SetDefaultFont(f);
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetUseSkinFont(bool v) {
    binding_.SetUseSkinFont(v);
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SetSkinData(skin::TbsSkinData* d) {
    binding_.SetData(d);
    LoadEntry();
    if (d) {
        AdjustBounds();
        update();
    }
}

void TbsSkinStdLabel::SetSkinDataName(const QString& n) {
    binding_.SetName(n);
    LoadEntry();
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::SkinChanged() {
    LoadEntry();
    AdjustBounds();
    update();
}

void TbsSkinStdLabel::LoadEntry() {
    // Any entry of the name counts as found; only a label entry gives a font.
    const skin::TbsDataSkinControl* entry = binding_.Lookup();
    entryFont_ = false;
    if (const auto* e = dynamic_cast<const skin::TbsDataSkinStdLabelControl*>(entry)) {
        skinFont_ = EntryFont(*e);
        entryFont_ = true;
    }
}

platform::TFont TbsSkinStdLabel::DrawFont() const {
    // Without an entry, UseSkinFont picks the default font over the label's own.
    if (!binding_.HasEntry()) return binding_.UseSkinFont() ? binding_.DefaultFont() : font_;
    platform::TFont f = font_;
    if (binding_.UseSkinFont() && entryFont_) {
        f.name = skinFont_.name;
        f.height = skinFont_.height;
        f.style = skinFont_.style;
    }
    // The entry's colour applies with the skin font and with the label's own alike.
    if (entryFont_) f.color = skinFont_.color;
    return f;
}

int TbsSkinStdLabel::TextFlags() const {
    int flags = Qt::TextExpandTabs;
    if (wordWrap_) flags |= Qt::TextWordWrap;
    if (showAccelChar_) flags |= Qt::TextShowMnemonic;
    switch (alignment_) {
    case skin::taLeftJustify: flags |= Qt::AlignLeft; break;
    case skin::taRightJustify: flags |= Qt::AlignRight; break;
    case skin::taCenter: flags |= Qt::AlignHCenter; break;
    }
    return flags;
}

QString TbsSkinStdLabel::TextToDraw(bool measuring) const {
    QString text = caption_;
    if (measuring && (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&")))) text += QLatin1Char(' ');
    return text;
}

QSize TbsSkinStdLabel::TextSize() const {
    const QFont f = DrawFont().ToQFont();
    const int flags = TextFlags() & ~(Qt::AlignHCenter | Qt::AlignRight);
    const int wrapWidth = wordWrap_ ? std::max(1, width()) : 100000;
    const QString text = TextToDraw(true);
    const QFontMetrics m(userchars::FontFor(f, text));
    const QRect r = m.boundingRect(QRect(0, 0, wrapWidth, 100000), flags | Qt::AlignLeft | Qt::AlignTop, text);
    // Lines stand one cell of the label's font apart, as the desktop lays out label text;
    // they are counted, since a line of characters the font lacks is drawn with a taller
    // fallback font and its glyphs' height says nothing about the number of lines.
    const int lines = int(platform::TextLines(f, text, flags, wrapWidth).size());
    return QSize(r.width(), lines * platform::TextHeight(f));
}

void TbsSkinStdLabel::AdjustBounds() {
    if (!autoSize_) return;
    const QSize s = TextSize();
    int x = this->x();
    if (alignment_ == skin::taRightJustify) x += width() - s.width();
    setGeometry(x, y(), s.width(), s.height());
}

void TbsSkinStdLabel::paintEvent(QPaintEvent*) {
    const platform::TFont tf = DrawFont();
    const QFont f = tf.ToQFont();
    QPainter p(this);
    p.setFont(f);
    QRect r = rect();
    if (layout_ != tlTop) {
        const int h = TextSize().height();
        if (layout_ == tlCenter)
            r.moveTop((height() - h) / 2);
        else
            r.moveTop(height() - h);
        r.setHeight(h);
    }
    const int flags = TextFlags();
    const int cell = platform::TextHeight(f);
    const QStringList lines =
        platform::TextLines(f, TextToDraw(false), flags, wordWrap_ ? std::max(1, width()) : 100000);
    // Each line drawn at its own cell's top, one cell of the label's font below the last,
    // as the desktop places label text (a line drawn in a taller fallback font does not
    // push the next one down).
    auto draw = [&](const QRect& at, platform::TColor c) {
        p.setPen(platform::ToQColor(c));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const userchars::TextFont udc(p, lines[i]);
            p.drawText(QRect(at.left(), at.top() + int(i) * cell, at.width(), cell),
                       (flags & ~Qt::TextWordWrap) | Qt::AlignTop, lines[i]);
        }
    };
    if (isEnabled()) {
        draw(r, tf.color);
    } else {
        draw(r.translated(1, 1), platform::clBtnHighlight);
        draw(r, platform::clBtnShadow);
    }
}

void TbsSkinStdLabel::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) update();
}

void TbsSkinStdLabel::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    Fire(OnMouseEnter, this);
}

void TbsSkinStdLabel::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    Fire(OnMouseLeave, this);
}

}  // namespace skinctrls
