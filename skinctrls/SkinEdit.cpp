#include "skinctrls/SkinEdit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QCoreApplication>
#include <QProxyStyle>
#include <QValidator>

#include <utility>

#include "skin/Compose.h"
#include "skin/DeviceImage.h"
#include "skinctrls/Paint.h"

namespace skinctrls {

using skin::Rect;

namespace {

// Shows every character of a password box as the chosen character.
class PasswordCharStyle final : public QProxyStyle {
public:
    QChar ch;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter && !ch.isNull()) return ch.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Upper- or lower-cases what is typed (and what input methods commit), then asks the
// text check, unless the program is setting the text; a refusal keeps its reason for the
// box's report.
class EditValidator final : public QValidator {
public:
    EditValidator(TEditCharCase c, TbsCustomEdit::TTextCheck check, QString* refusal, const bool* settingText,
                  QObject* parent)
        : QValidator(parent), case_(c), check_(std::move(check)), refusal_(refusal), settingText_(settingText) {}
    State validate(QString& input, int&) const override {
        if (case_ == ecUpperCase) input = input.toUpper();
        if (case_ == ecLowerCase) input = input.toLower();
        if (!check_ || *settingText_) return Acceptable;
        const QString reason = check_(input);
        if (reason.isEmpty()) return Acceptable;
        *refusal_ = reason;
        return Invalid;
    }

private:
    TEditCharCase case_;
    TbsCustomEdit::TTextCheck check_;
    QString* refusal_;
    const bool* settingText_;
};

}  // namespace

// ===== TbsCustomEdit ========================================================================

TbsCustomEdit::TbsCustomEdit(QWidget* parent) : platform::Control(parent) {
    // Assigned in the body: making the child already sends this control events, and
    // edit_ must read as null until the child exists.
    edit_ = new QLineEdit(this);
    // The text box is transparent: the control's own painting is its background.
    edit_->setFrame(false);
    edit_->setAutoFillBackground(false);
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    setFocusPolicy(Qt::StrongFocus);
    SetFont(font_);
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        update();
        Fire(OnChange, this);
    });
    // A refusal of the validator, or text cut off at the maximum length (no reason).
    connect(edit_, &QLineEdit::inputRejected, this, [this] {
        const QString reason = std::exchange(refusal_, QString());
        if (!settingText_ && OnRefused) OnRefused(this, reason);
    });
}

TbsCustomEdit::~TbsCustomEdit() {
    // A focused box loses its focus as it goes: that is no OnExit of a living control.
    edit_->removeEventFilter(this);
    disconnect(edit_, nullptr, this, nullptr);
    // The text box goes before its style.
    delete edit_;
    edit_ = nullptr;
}

void TbsCustomEdit::SetText(const QString& t) {
    settingText_ = true;
    edit_->setText(t);
    settingText_ = false;
    refusal_.clear();
}

void TbsCustomEdit::SetTextCheck(TTextCheck check) {
    textCheck_ = std::move(check);
    InstallValidator();
}

void TbsCustomEdit::InstallValidator() {
    const QValidator* old = edit_->validator();
    edit_->setValidator(charCase_ == ecNormal && !textCheck_
                            ? nullptr
                            : new EditValidator(charCase_, textCheck_, &refusal_, &settingText_, edit_));
    delete old;
}

void TbsCustomEdit::SetCharCase(TEditCharCase c) {
    charCase_ = c;
    InstallValidator();
    if (c != ecNormal) {
        const QString t = edit_->text();
        SetText(c == ecUpperCase ? t.toUpper() : t.toLower());
    }
}

void TbsCustomEdit::SetEditPasswordChar(QChar c) {
    passwordChar_ = c;
    if (c.isNull()) {
        edit_->setEchoMode(QLineEdit::Normal);
        return;
    }
    if (!editStyle_) {
        auto* style = new PasswordCharStyle;
        style->setParent(this);
        editStyle_ = style;
    }
    static_cast<PasswordCharStyle*>(editStyle_)->ch = c;
    // The box reads its password character from its style when the style changes.
    edit_->setStyle(editStyle_);
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(edit_, &styleChange);
    edit_->setEchoMode(QLineEdit::Password);
    update();
}

void TbsCustomEdit::SetAlignment(skin::Alignment a) {
    if (alignment_ == a) return;
    alignment_ = a;
    const Qt::Alignment h = a == skin::taRightJustify ? Qt::AlignRight
                            : a == skin::taCenter     ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    edit_->setAlignment(h | Qt::AlignVCenter);
    update();
}

void TbsCustomEdit::SetFont(const platform::TFont& f) {
    font_ = f;
    platform::SetTextBoxFont(edit_, f.ToQFont());
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Window, Qt::transparent);
    pal.setColor(QPalette::Text, platform::ToQColor(f.color));
    pal.setColor(QPalette::Highlight, platform::ToQColor(platform::clHighlight));
    pal.setColor(QPalette::HighlightedText, platform::ToQColor(platform::clHighlightText));
    edit_->setPalette(pal);
    update();
}

void TbsCustomEdit::EditFocusChanged(bool) {}

bool TbsCustomEdit::eventFilter(QObject* watched, QEvent* e) {
    if (watched == edit_) {
        switch (e->type()) {
        case QEvent::FocusIn:
            EditFocusChanged(true);
            Fire(OnEnter, this);
            break;
        case QEvent::FocusOut: {
            EditFocusChanged(false);
            // Leaving the window or opening the box's menu is not leaving the control.
            const Qt::FocusReason r = static_cast<QFocusEvent*>(e)->reason();
            if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) Fire(OnExit, this);
            break;
        }
        case QEvent::MouseMove: EditMouseMoved(); break;
        case QEvent::InputMethod:
            // A read-only box takes no composed text either (the line edit would).
            if (edit_->isReadOnly()) {
                e->accept();
                return true;
            }
            break;
        default: break;
        }
    }
    return platform::Control::eventFilter(watched, e);
}

// ===== TbsSkinCustomEdit =====================================================================

TbsSkinCustomEdit::TbsSkinCustomEdit(QWidget* parent)
    : TbsCustomEdit(parent), binding_(this, QStringLiteral("edit"), font_, [this] { SkinChanging(); }) {
    binding_.SetDefaultHeight(20);
    Relayout();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    edit_->setMouseTracking(true);
}

TbsSkinCustomEdit::~TbsSkinCustomEdit() = default;

void TbsSkinCustomEdit::SetSkinDataName(const QString& n) {
    if (!binding_.SetName(n)) return;
    if (binding_.Usable()) {
        ApplySkin();
    } else {
        LoadSkinEntry();
        update();
    }
}

void TbsSkinCustomEdit::SetButtonMode(bool v) {
    buttonMode_ = v;
    PlaceTextBox();
    update();
}

void TbsSkinCustomEdit::SetDefaultFont(const platform::TFont& f) {
    binding_.SetDefaultFont(f);
    if (!HasEntry()) SetFont(f);
}

void TbsSkinCustomEdit::SetDefaultWidth(int v) {
    binding_.SetDefaultWidth(v);
    if (!HasEntry() && v > 0) SetWidth(v);
}

void TbsSkinCustomEdit::SetDefaultHeight(int v) {
    binding_.SetDefaultHeight(v);
    if (!HasEntry() && v > 0) SetHeight(v);
}

void TbsSkinCustomEdit::AssignSkinData(skin::TbsSkinData* d) {
    binding_.SetData(d);
    if (d && !d->IsEmpty())
        ApplySkin();
    else
        LoadSkinEntry();  // the plain look from the next paint on
}

void TbsSkinCustomEdit::LoadSkinEntry() {
    // Not an edit entry: draw the plain look.
    const auto* e = static_cast<const skin::TbsDataSkinEditControl*>(
        binding_.Lookup([](const skin::TbsDataSkinControl& entry) {
            return dynamic_cast<const skin::TbsDataSkinEditControl*>(&entry) != nullptr;
        }));
    if (e) CopyEntry(*e);
    Relayout();
}

void TbsSkinCustomEdit::CopyEntry(const skin::TbsDataSkinEditControl& e) {
    EditSkin& s = editSkin_;
    const QImage* pic = binding_.Picture(e.pictureindex);
    s.picture = pic ? *pic : QImage();
    s.normalRect = e.skinrect;
    s.hotRect = e.activeskinrect.IsEmpty() ? e.skinrect : e.activeskinrect;
    s.leftWidth = e.lefttoppoint.x();
    s.rightWidth = e.skinrect.Width() - e.righttoppoint.x();
    s.geometry = EditSkinGeometry{e.skinrect, s.rightWidth, e.clientrect, e.buttonrect};
    s.font = EntryFont(e);
    s.disabledfontcolor = e.disabledfontcolor;
    s.activefontcolor = e.activefontcolor;
    s.activeButton = e.activebuttonrect;
    s.downButton = e.downbuttonrect.IsEmpty() ? e.activebuttonrect : e.downbuttonrect;
    s.unenabledButton = e.unenabledbuttonrect;
}

void TbsSkinCustomEdit::Relayout() {
    const EditSkinGeometry* g = HasEntry() ? &editSkin_.geometry : nullptr;
    rects_ = EditGeometry(g, buttonMode_, size());
    margins_ = EditMargins(g, buttonMode_);
}

void TbsSkinCustomEdit::PlaceTextBox() {
    Relayout();
    const QRect box = rect().marginsRemoved(margins_);
    edit_->setGeometry(box.isValid() ? box : QRect());
}

void TbsSkinCustomEdit::SetFontColor(platform::TColor c) {
    if (font_.color == c) return;
    platform::TFont f = font_;
    f.color = c;
    SetFont(f);
}

void TbsSkinCustomEdit::ApplySkin() {
    LoadSkinEntry();
    if (!HasEntry()) {
        SetFont(binding_.DefaultFont());
        if (binding_.DefaultWidth() > 0) SetWidth(binding_.DefaultWidth());
        if (binding_.DefaultHeight() > 0) SetHeight(binding_.DefaultHeight());
    } else {
        platform::TFont f = binding_.FontFor(editSkin_.font);
        f.color = edit_->hasFocus() ? editSkin_.activefontcolor : editSkin_.font.color;
        SetFont(f);
        const int skinHeight = editSkin_.normalRect.Height();
        if (height() != skinHeight) platform::Control::SetBounds(x(), y(), width(), skinHeight);
    }
    PlaceTextBox();
    update();
}

void TbsSkinCustomEdit::SetBounds(int left, int top, int w, int h) {
    if (HasEntry() && QSize(w, h) != size()) h = editSkin_.normalRect.Height();
    platform::Control::SetBounds(left, top, w, h);
    PlaceTextBox();
    update();
}

void TbsSkinCustomEdit::resizeEvent(QResizeEvent* e) {
    TbsCustomEdit::resizeEvent(e);
    PlaceTextBox();
}

void TbsSkinCustomEdit::ShowState(bool hot, bool buttonHot, bool buttonPressed) {
    hot_ = hot;
    buttonHot_ = buttonHot;
    buttonPressed_ = buttonPressed;
    if (HasEntry() && !edit_->hasFocus()) SetFontColor(hot ? editSkin_.activefontcolor : editSkin_.font.color);
    update();
}

// --- painting --------------------------------------------------------------------------

QImage TbsSkinCustomEdit::RenderFrame() const {
    if (width() <= 0 || height() <= 0) return {};
    const EditRects& r = rects_;
    const QMargins& m = margins_;
    // Made at the screen's pixel ratio, like the text box over it.
    QImage bmp = skin::NewDeviceImage(size(), devicePixelRatioF(), platform::ToQColor(platform::clBtnFace));
    QPainter p(&bmp);
    const bool lit = hot_ || edit_->hasFocus();
    if (HasEntry()) {
        const EditSkin& s = editSkin_;
        const QImage img = skin::ComposeHorizontalImage(s.picture, lit ? s.hotRect : s.normalRect, s.leftWidth,
                                                        s.rightWidth, width());
        DrawPicture(p, QPoint(0, 0), img);
        if (buttonMode_) {
            Rect src;
            if (!isEnabled() && !s.unenabledButton.IsEmpty())
                src = s.unenabledButton;
            else if (buttonPressed_ && buttonHot_)
                src = s.downButton;
            else if (buttonHot_)
                src = s.activeButton;
            CopyPicture(p, r.button.ToQRect(), s.picture, src);
        }
    } else {
        p.fillRect(rect(), platform::ToQColor(platform::clWindow));
        const int b = buttonMode_ ? width() - r.button.left : 0;
        const QRect frame(0, 0, width() - b, height());
        FrameRect(p, frame, lit ? platform::clBtnShadow : platform::clBtnFace);
        FrameRect(p, frame.adjusted(1, 1, -1, -1), lit ? platform::clBtnFace : platform::clBtnShadow);
        if (buttonMode_) {
            if (buttonPressed_ && buttonHot_)
                FramedFill(p, r.button.ToQRect(), kDefaultFrameColor, kDefaultDownFill);
            else if (buttonHot_)
                FramedFill(p, r.button.ToQRect(), kDefaultFrameColor, kDefaultHotFill);
            else
                FramedFill(p, r.button.ToQRect(), platform::clBtnShadow, platform::clBtnFace);
        }
    }
    if (!isEnabled()) DrawDisabledText(p, r, m);
    return bmp;
}

void TbsSkinCustomEdit::DrawDisabledText(QPainter& p, const EditRects& r, const QMargins& m) const {
    QString text = Text();
    if (!passwordChar_.isNull()) text = QString(text.size(), passwordChar_);
    if (text.isEmpty()) return;
    platform::TFont f;
    if (HasEntry() && binding_.UseSkinFont()) {
        f = editSkin_.font;
        f.color = editSkin_.disabledfontcolor;
    } else {
        f = binding_.DefaultFont();
        f.color = platform::clGrayText;
    }
    const QFont font = f.ToQFont();
    const int tw = platform::TextWidth(font, text);
    // Placed on the client area's canvas, as the text box would place it there.
    const Rect& t = r.text;
    int left = t.left;
    if (alignment_ == skin::taRightJustify)
        left = t.right - 3 - tw;
    else if (alignment_ == skin::taCenter)
        left = t.left + t.Width() / 2 - tw / 2 - 1;
    const QPoint origin(m.left(), m.top());
    const QRect client = rect().marginsRemoved(m);
    p.save();
    p.setClipRect(client);
    p.setFont(font);
    p.setPen(platform::ToQColor(f.color));
    platform::TextRectOut(p, t.ToQRect().translated(origin), origin.x() + left, origin.y() + t.top - 2, text);
    p.restore();
}

void TbsSkinCustomEdit::paintEvent(QPaintEvent*) {
    const QImage img = RenderFrame();
    if (img.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, img);
}

// --- mouse, focus and state ------------------------------------------------------------------

bool TbsSkinCustomEdit::OnButton(QPoint pt) const {
    if (!buttonMode_) return false;
    const Rect& b = rects_.button;
    return pt.x() >= b.left && pt.x() < b.right && pt.y() >= b.top && pt.y() < b.bottom;
}

void TbsSkinCustomEdit::enterEvent(QEnterEvent* e) {
    TbsCustomEdit::enterEvent(e);
    hot_ = true;
    const bool focused = edit_->hasFocus();
    if (HasEntry() && !focused) SetFontColor(editSkin_.activefontcolor);
    if (!focused) update();
    Fire(OnMouseEnter, this);
}

void TbsSkinCustomEdit::leaveEvent(QEvent* e) {
    TbsCustomEdit::leaveEvent(e);
    hot_ = false;
    const bool focused = edit_->hasFocus();
    if (HasEntry() && !focused) SetFontColor(editSkin_.font.color);
    if (!focused) update();
    if (buttonHot_ || buttonPressed_) {
        buttonHot_ = buttonPressed_ = false;
        update();
    }
    Fire(OnMouseLeave, this);
}

void TbsSkinCustomEdit::EditFocusChanged(bool focused) {
    if (HasEntry() && !hot_) SetFontColor(focused ? editSkin_.activefontcolor : editSkin_.font.color);
    update();
}

void TbsSkinCustomEdit::EditMouseMoved() {
    if (buttonHot_) {
        buttonHot_ = false;
        update();
    }
}

void TbsSkinCustomEdit::mouseMoveEvent(QMouseEvent* e) {
    TbsCustomEdit::mouseMoveEvent(e);
    const bool on = OnButton(e->position().toPoint());
    if (on != buttonHot_) {
        buttonHot_ = on;
        update();
    }
}

void TbsSkinCustomEdit::mousePressEvent(QMouseEvent* e) {
    TbsCustomEdit::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && OnButton(e->position().toPoint())) {
        buttonPressed_ = true;
        buttonHot_ = true;
        update();
    }
}

void TbsSkinCustomEdit::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

bool TbsSkinCustomEdit::eventFilter(QObject* watched, QEvent* e) {
    if (watched == edit_ && e->type() == QEvent::KeyPress && buttonMode_ && isEnabled()) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        if ((k->key() == Qt::Key_F4 && mods == Qt::NoModifier) || (k->key() == Qt::Key_Down && mods == Qt::AltModifier)) {
            Fire(OnButtonClick, this);
            return true;
        }
    }
    return TbsCustomEdit::eventFilter(watched, e);
}

void TbsSkinCustomEdit::mouseReleaseEvent(QMouseEvent* e) {
    TbsCustomEdit::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton) return;
    const bool on = OnButton(e->position().toPoint());
    if (buttonPressed_ || buttonHot_ != on) {
        buttonPressed_ = false;
        buttonHot_ = on;
        update();
    }
    if (!on) return;
    if (!edit_->hasFocus()) edit_->setFocus(Qt::MouseFocusReason);
    Fire(OnButtonClick, this);
}

void TbsSkinCustomEdit::changeEvent(QEvent* e) {
    TbsCustomEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        // A disabled edit draws its text itself (in the entry's disabled colour).
        edit_->setVisible(isEnabled());
        update();
    }
}

// ===== TbsSkinEdit ==========================================================================

TbsSkinEdit::TbsSkinEdit(QWidget* parent) : TbsSkinCustomEdit(parent) {
    resize(121, 20);
    PlaceTextBox();
}

}  // namespace skinctrls
