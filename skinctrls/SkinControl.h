#pragma once
// The two bases of the skinned windowed controls.
//
// TbsSkinControl binds a control to a control entry of a TbsSkinData by name, paints
// through an off-screen image of its size (copied in one step, no background erase),
// drawing its default look when no entry is available, and follows skin changes:
// SkinChange::Changing makes it forget its entry, SkinChange::Changed re-read it (platform's
// SkinnedControl interface, which the form's frame walks depth-first).
//
// The entry is looked up when the skin data, the entry name or the skin changes; what
// the control draws and hit-tests is laid out then and whenever its size or values
// change (Relayout). Painting only reads what was stored.
//
// TbsSkinCustomControl adds the geometry of a custom-control entry (image rectangle,
// anchor points, client rectangle), fits the control's size to what the entry allows
// whenever its bounds are set, cuts the window to the entry's mask, and keeps a default
// font and default size for the plain look.
//
// The tie to the skin (skin data, entry name, lookup, plain font and size) is a
// SkinBinding; the skin data is not owned, and when it is destroyed the control draws
// its default look.

#include <QImage>
#include <QRegion>

#include <optional>

#include "platform/Align.h"
#include "platform/Fonts.h"
#include "platform/SkinDispatch.h"
#include "skin/SkinData.h"
#include "skinctrls/Events.h"
#include "skinctrls/SkinBinding.h"
#include "skinctrls/SkinGeometry.h"

namespace skinctrls {

class TbsSkinControl : public platform::Control, public platform::SkinnedControl {
    Q_OBJECT

public:
    explicit TbsSkinControl(QWidget* parent = nullptr);
    ~TbsSkinControl() override;

    skin::TbsSkinData* SkinData() const { return binding_.Data(); }
    void SetSkinData(skin::TbsSkinData* value) { AssignSkinData(value); }
    QString SkinDataName() const { return binding_.Name(); }
    // Stores the name; a control with a usable skin data applies the new entry at once.
    void SetSkinDataName(const QString& name);

    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // Index of the entry in the skin data as last looked up, -1 for none.
    int EntryIndex() const { return binding_.Index(); }
    // True when a skin data is set and holds a skin.
    bool SkinUsable() const { return binding_.Usable(); }

    // The control's look as it paints it now: the off-screen image before it is
    // copied to the screen (may be larger than the control for a Fixed entry).
    virtual QImage Render();

    // --- virtual operations, in slot order -------------------------------------------
    // Looks the entry up and keeps what the control draws from (runs when the skin
    // data, the entry name or the skin changes, never while painting).
    virtual void LoadSkinEntry();
    // The SkinData setter: stores the reference and applies a usable skin.
    virtual void AssignSkinData(skin::TbsSkinData* value);
    // Draw without skin / from the skin into the off-screen image.
    virtual void DrawDefault(QImage& bmp);
    virtual void DrawSkinned(QImage& bmp);
    // A new or changed skin: look the entry up again and repaint.
    virtual void ApplySkin();
    // The skin data is about to change: keep nothing of it.
    virtual void ForgetSkin();
    // Lays out what the control draws and hit-tests for its present size, values and
    // entry; runs after every lookup and size change. Nothing to lay out here.
    virtual void Relayout() {}

    // platform::SkinnedControl
    skin::TbsSkinData* ControlSkinData() const override { return binding_.Data(); }
    void SkinChanging() override { ForgetSkin(); }
    void SkinChanged() override { ApplySkin(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

    SkinBinding binding_;
};

class TbsSkinCustomControl : public TbsSkinControl {
    Q_OBJECT

public:
    explicit TbsSkinCustomControl(QWidget* parent = nullptr);
    ~TbsSkinCustomControl() override;

    platform::TFont DefaultFont() const { return binding_.DefaultFont(); }
    void SetDefaultFont(const platform::TFont& f);
    int DefaultWidth() const { return binding_.DefaultWidth(); }
    void SetDefaultWidth(int v);
    int DefaultHeight() const { return binding_.DefaultHeight(); }
    void SetDefaultHeight(int v);
    bool UseSkinFont() const { return binding_.UseSkinFont(); }
    void SetUseSkinFont(bool v);

    // The entry's geometry as last loaded and the new geometry for the present size.
    StretchKind GetStretchKind() const { return stretchKind_; }
    const SkinAnchors& Anchors() const { return anchors_; }
    const skin::AnchorGeometry& NewGeometry() const { return newGeometry_; }
    const QImage& Picture() const { return picture_; }
    const QImage& MaskPicture() const { return maskPicture_; }
    // The present window region cut from the mask, if any.
    std::optional<QRegion> Region() const { return region_; }

    // A rectangle in skin coordinates mapped into the control at its present size.
    skin::Rect MapSkinRect(const skin::Rect& r) const;

    // Bounds pass through here: with an entry the size is fitted to it first.
    void SetBounds(int left, int top, int width, int height) override;

    void LoadSkinEntry() override;
    void DrawDefault(QImage& bmp) override;
    void DrawSkinned(QImage& bmp) override;
    void ApplySkin() override;
    void ForgetSkin() override;

    // --- virtual operations added here, in slot order ---------------------------------
    virtual void DefaultFontChanged() {}
    virtual void FitSize(int& w, int& h);
    virtual void UpdateRegion();

protected:
    // Whether the control can draw from this entry; the others count as missing. The
    // base takes any custom-control entry.
    virtual bool AcceptsEntry(const skin::TbsDataSkinControl& entry) const;
    // Draws the picture's source rectangle (the skin rectangle or a state rectangle of
    // the same size) into bmp by the stretch kind.
    void DrawSkinImage(QImage& bmp, const skin::Rect& source) const;
    void resizeEvent(QResizeEvent* e) override;

    SkinAnchors anchors_;
    skin::AnchorGeometry newGeometry_;
    QImage picture_, maskPicture_;
    StretchKind stretchKind_ = StretchKind::NoImage;
    std::optional<QRegion> region_;
};

}  // namespace skinctrls
