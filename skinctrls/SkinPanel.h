#pragma once
// TbsSkinPanel: the container of the skinned windows, drawn from a "panel" entry, with
// an optional caption band that can carry a glyph, a check box (enabling or disabling
// the panel's children) and a roll-up marker (folding the panel to its caption).
// TbsSkinGroupBox: a panel with a caption, drawn from the "groupbox" entry.
//
// Children placed with an alignment are laid out inside the panel's client area: the
// part the skin leaves free of border and caption (AlignArea).

#include <QImage>
#include <QList>
#include <QPointer>

#include <optional>

#include "skinctrls/SkinControl.h"

namespace skinctrls {

enum TbsSkinBorderStyle { bvRaised, bvLowered, bvNone, bvFrame };

class TbsSkinPanel : public TbsSkinCustomControl {
    Q_OBJECT

public:
    explicit TbsSkinPanel(QWidget* parent = nullptr);
    ~TbsSkinPanel() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);

    bool AutoEnabledControls() const { return autoEnabledControls_; }
    void SetAutoEnabledControls(bool v) { autoEnabledControls_ = v; }
    bool CheckedMode() const { return checkedMode_; }
    void SetCheckedMode(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    skin::Alignment DefaultAlignment() const { return defaultAlignment_; }
    void SetDefaultAlignment(skin::Alignment a);
    int DefaultCaptionHeight() const { return defaultCaptionHeight_; }
    TbsSkinBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TbsSkinBorderStyle s);
    bool CaptionMode() const { return captionMode_; }
    bool RollUpMode() const { return rollUpMode_; }
    void SetRollUpMode(bool v);
    bool RollUpState() const { return rollUpState_; }
    void SetRollUpState(bool v);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& g);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);  // 1 or 2
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);

    TNotifyEvent OnChecked;

    // --- virtual operations added after those of the custom control, in this order -----
    virtual void SetDefaultCaptionHeight(int v);
    virtual void SetCaptionMode(bool v);

    // Height before rolling up, -1 when never rolled up.
    int SavedHeight() const { return savedHeight_; }
    // Caption and marker rectangles where the skinned look draws them (mouse hits),
    // laid out for the present size and entry.
    skin::Rect LastCaptionRect() const { return captionRect_; }
    skin::Rect LastMarkerRect() const { return markerRect_; }

    QImage Render() override;
    void LoadSkinEntry() override;
    void DrawDefault(QImage& bmp) override;
    void DrawSkinned(QImage& bmp) override;
    void ApplySkin() override;
    void Relayout() override;
    void SetBounds(int left, int top, int width, int height) override;
    QRect AlignArea() const override;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // The panel values of the entry (defaults when the entry is not a panel entry).
    struct PanelSkin {
        QImage background;  // the bgpictureindex picture, null for none
        skin::Rect captionrect, rollupmarkerrect, restoremarkerrect;
        skin::Alignment alignment = skin::taCenter;
        platform::TFont font;
        skin::Rect checkimagerect, uncheckimagerect;
    };

    void RollUp(bool state);
    // The background picture the entry tiles, or nullptr.
    const QImage* BackgroundPicture() const;
    // The bvNone look that tiles the client part of the skin over the whole panel.
    bool TilesClient() const;
    void DrawCaptionContent(QPainter& p, const QRect& area, int textLeft, const QFont& font, platform::TColor color);
    void DrawSkinnedCaption(QPainter& p, skin::Rect caption);

    QString caption_;
    bool autoEnabledControls_ = true;
    bool checkedMode_ = false;
    bool checked_ = false;
    skin::Alignment defaultAlignment_ = skin::taLeftJustify;
    int defaultCaptionHeight_ = 22;
    TbsSkinBorderStyle borderStyle_ = bvRaised;
    bool captionMode_ = false;
    bool rollUpMode_ = false;
    bool rollUpState_ = false;
    QImage glyph_;
    int numGlyphs_ = 1;
    int spacing_ = 2;

    PanelSkin panelSkin_;
    int savedHeight_ = -1;
    std::optional<QList<QPointer<QWidget>>> hiddenChildren_;
    skin::Rect captionRect_, markerRect_;
};

class TbsSkinGroupBox : public TbsSkinPanel {
    Q_OBJECT

public:
    explicit TbsSkinGroupBox(QWidget* parent = nullptr);
};

}  // namespace skinctrls
