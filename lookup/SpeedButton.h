#pragma once
// The plain speed button of the lookup dialog: a caption (with an "&" accelerator), a
// glyph of one or more images side by side (normal, disabled, ...), a flat look that
// shows a raised edge only under the mouse, a sunken look while pressed, and the hand
// cursor. Clicking runs Click(), which calls OnClick; derived buttons add their action.

#include <QAbstractButton>
#include <QImage>
#include <functional>

#include "platform/Colors.h"
#include "platform/Fonts.h"

namespace lookup {

enum TButtonLayout { blGlyphLeft, blGlyphTop };

class TSpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent = nullptr);

    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    const QImage& Glyph() const { return glyph_; }
    virtual void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    void SetButtonFont(const platform::TFont& f);
    const platform::TFont& ButtonFont() const { return font_; }
    // Background colour behind a flat button (its parent's colour).
    void SetColor(platform::TColor c);

    // The image of the glyph for the state: the second image when disabled and there is
    // one, else the first.
    QImage GlyphImage(bool enabled) const;

    // The click: OnClick, then whatever a derived button adds.
    virtual void Click();
    std::function<void()> OnClick;

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool flat_ = false;
    QImage glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    platform::TFont font_;
    platform::TColor color_ = platform::clBtnFace;
    bool hot_ = false;
};

}  // namespace lookup
