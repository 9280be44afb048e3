#pragma once
// TbsSkinFrame: the component that gives a form its skinned window frame.
//
// Installed on a form, it makes the form a frameless top-level window and takes over
// everything outside the client area: the border and caption are composed from the
// skin's form picture ([FORMINFO]), the caption text and buttons are frame objects built
// from the skin's object entries, and the frame answers hit tests itself, so that the
// window can still be moved (caption) and resized (borders), maximized, minimized and
// rolled up to its caption. It can cut the window to the skin's mask, fade it in, snap
// it to the work-area edges, and passes skin changes on to the form's skinned controls.
// Without a skin (no skin data, or an empty one) it draws a plain default frame.
//
// Qt mapping: the frame watches the form through an event filter (in place of a replaced
// window procedure); the non-client area is the part of the form outside its client
// widget; moves and resizes go through QWindow::startSystemMove/startSystemResize, with
// the frame's own dragging where the window system declines (no window manager) or where
// the frame must see every step (magnetic snapping).
//
// Ownership: the frame is owned by its form (QObject child) and owns its frame objects,
// timers and menu. The skin data is not owned; the reference clears itself when the skin
// data is destroyed.

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <QRegion>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "frame/FrameGeometry.h"
#include "platform/Fonts.h"
#include "platform/Form.h"
#include "skin/SkinData.h"

class QMouseEvent;
class QPainter;

namespace frame {

class TbsActiveSkinObject;
class TbsSkinMenu;
struct TbsMenuItem;

class TbsSkinFrame : public QObject, public platform::FormFrame {
    Q_OBJECT

public:
    // owner must be a platform::Form; anything else throws std::bad_cast.
    explicit TbsSkinFrame(QObject* owner);
    ~TbsSkinFrame() override;

    platform::Form* Form() const { return form_; }

    // ----- published properties (defaults as set on creation) --------------------------
    skin::TbsSkinData* SkinData() const { return skinData_; }
    void SetSkinData(skin::TbsSkinData* data);  // runs ApplyFrameSkin
    skin::TbsSkinData* MenusSkinData() const { return menusSkinData_; }
    void SetMenusSkinData(skin::TbsSkinData* data) { menusSkinData_ = data; }

    TbsBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TbsBorderIcons icons);  // rebuilds the default buttons, applies the set

    bool ShowIcon() const { return showIcon_; }
    void SetShowIcon(bool v);
    bool MaximizeOnFullScreen() const { return maximizeOnFullScreen_; }
    void SetMaximizeOnFullScreen(bool v) { maximizeOnFullScreen_ = v; }

    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool v);
    bool AlphaBlendAnimation() const { return alphaBlendAnimation_; }
    void SetAlphaBlendAnimation(bool v) { alphaBlendAnimation_ = v; }
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int v);

    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v);
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int v);

    bool Magnetic() const { return magnetic_; }
    void SetMagnetic(bool v) { magnetic_ = v; }
    int MagneticSize() const { return magneticSize_; }
    void SetMagneticSize(int v) { magneticSize_ = std::clamp(v, 0, 255); }

    const platform::TFont& DefCaptionFont() const { return defCaptionFont_; }
    void SetDefCaptionFont(const platform::TFont& f);
    const platform::TFont& DefInActiveCaptionFont() const { return defInActiveCaptionFont_; }
    void SetDefInActiveCaptionFont(const platform::TFont& f);

    // A menu that replaces the built-in system menu (not owned), or none.
    QMenu* SystemMenu() const { return systemMenu_; }
    void SetSystemMenu(QMenu* m) { systemMenu_ = m; }

    // Passed on to the skinned menus the frame shows.
    int DefMenuItemHeight() const { return defMenuItemHeight_; }
    void SetDefMenuItemHeight(int v) { defMenuItemHeight_ = v; }
    const platform::TFont& DefMenuItemFont() const { return defMenuItemFont_; }
    void SetDefMenuItemFont(const platform::TFont& f) { defMenuItemFont_ = f; }
    bool MenusAlphaBlend() const { return menusAlphaBlend_; }
    void SetMenusAlphaBlend(bool v) { menusAlphaBlend_ = v; }
    bool MenusAlphaBlendAnimation() const { return menusAlphaBlendAnimation_; }
    void SetMenusAlphaBlendAnimation(bool v) { menusAlphaBlendAnimation_ = v; }
    int MenusAlphaBlendValue() const { return menusAlphaBlendValue_; }
    void SetMenusAlphaBlendValue(int v) { menusAlphaBlendValue_ = std::clamp(v, 0, 255); }

    // ----- events ---------------------------------------------------------------------
    std::function<void()> OnChangeSkinData, OnActivate, OnDeActivate, OnChangeRollUpState;
    std::function<void()> OnSkinMenuOpen, OnSkinMenuClose, OnMinimizeToTray;
    std::function<void(const QString& idName)> OnMouseEnterEvent, OnMouseLeaveEvent;
    std::function<void(const QString& idName, int x, int y, const skin::Rect& objectRect, Qt::MouseButton button)>
        OnMouseDownEvent, OnMouseUpEvent;
    std::function<void(const QString& idName, int x, int y, const skin::Rect& objectRect)> OnMouseMoveEvent;
    std::function<void(const QString& idName, QPainter& canvas, const skin::Rect& objectRect)> OnPaintEvent;

    // ----- operations -----------------------------------------------------------------
    // Builds the frame from the skin data (or the default frame without one).
    void ApplyFrameSkin();
    TWindowState FrameState() const { return frameState_; }
    void SetFrameState(TWindowState state);
    bool RolledUp() const { return rolledUp_; }
    void SetRolledUp(bool value);
    // Shows the system menu as a skinned popup at a global position (the cursor's).
    void ShowSystemMenu(QPoint globalPos);
    // The items the built-in system menu has now.
    std::vector<SystemMenuItem> SystemMenuItemsNow() const;
    // The system menu as it would be shown now (SystemMenu when set, else the built-in
    // one), its items acting on this frame.
    TbsMenuItem SystemMenuNow();
    // Shows a menu's items as a skinned popup at a global position with the given skin
    // (none: MenusSkinData, else SkinData).
    void ShowSkinMenu(TbsMenuItem root, QPoint globalPos, skin::TbsSkinData* data = nullptr);
    // The chain the frame shows its menus with.
    TbsSkinMenu* SkinMenu() const { return skinMenu_; }
    // Closes any skinned menu the frame shows.
    void CloseSkinMenus();

    // The frame lays itself out when the window size, the skin, the window state or a
    // property that places objects changes: the form picture's geometry (skinned), where
    // the objects lie and the window shape. Painting and the hit test read that layout.
    skin::Rect MapFrameRect(const skin::Rect& r) const { return frame::MapFrameRect(r, geo_); }
    const FrameGeometry& Geometry() const { return geo_; }

    // True while a non-empty skin is applied.
    bool IsSkinned() const { return skinned_; }
    QSize MinimumTrackSize() const;
    // The hit code of a point in window coordinates.
    int HitTest(QPoint p) const;
    // The client area for a window of the given size (the non-client size rule).
    skin::Rect ClientRectOf(QSize windowSize) const;
    QRect ClientRectFor(QSize windowSize) const override { return ClientRectOf(windowSize).ToQRect(); }
    // Caption height of the default frame.
    int DefaultCaptionHeightNow() const;

    // Frame objects in their order; hover, previous hover and captured object (-1: none).
    const std::vector<std::unique_ptr<TbsActiveSkinObject>>& Objects() const { return objects_; }
    TbsActiveSkinObject* FindObject(const QString& idName) const;
    int HoverIndex() const { return hover_; }
    int CapturedIndex() const { return captured_; }
    void TrackFrameObjects(QPoint p, bool inside);

    // Whether the form counts as active. An override fixes the answer (for rendering a
    // preview of either look without a window system).
    bool FormActive() const;
    void SetActiveOverride(std::optional<bool> active);

    // Timers, exposed so that their steps can be driven one at a time.
    bool TrackingTimerActive() const { return trackTimer_.isActive(); }
    bool MorphTimerActive() const { return morphTimer_.isActive(); }
    void TrackingTimerTick();
    void MorphTimerTick();

    // ----- services for the frame objects ---------------------------------------------
    // The skin's pictures converted for drawing (null when absent).
    QImage FramePicture() const { return picture_; }
    QImage ActivePictureAt(int index) const;
    const skin::TbsDataSkinFormInfo* FormInfo() const;
    void RedrawObject(TbsActiveSkinObject* obj);
    void StartMorphTimer();
    void CloseForm();

    // FormFrame
    void PaintClientBackground(QPainter& painter, QSize clientSize) override;
    void FormSkinMessage(skin::SkinChange message, skin::TbsSkinData* data) override;
    void FormDestroying() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Detach();
    void Paint(QPainter& p);
    void PaintSkinFrame(QPainter& p);
    void PaintDefaultFrame(QPainter& p);
    void CreateSkinObjects();
    void CreateDefaultButtons();
    void ApplyBorderIcons();
    void FreeObjects();
    void ActivationUpdate(bool repaint);
    void OnFormActivationChanged();
    void StopTimers();
    void CaptionDoubleClick();
    void RunSystemMenuAction(SystemMenuAction action);
    void StartFade();
    void FadeStep();

    // layout: LayOut computes all of it for the present window size; Relayout also places
    // the client area and repaints (the skin or the size rule changed)
    void LayOut();
    void Relayout();
    void OnSizeChanged();
    void UpdateFrameGeometry();
    void ArrangeFrameObjects();
    void ArrangeDefaultButtons();
    void UpdateFrameRegion();
    void UpdateTrackSizes();
    bool FitsMinimumTrackSize() const;

    // mouse on the non-client area
    void MousePress(QMouseEvent* e);
    void MouseRelease(QMouseEvent* e);
    void MouseMove(QMouseEvent* e);
    void MouseDoubleClick(QMouseEvent* e);
    void UpdateCursorShape(int hit);
    bool BeginDrag(int hit, QPoint globalPos);
    void EndDrag();

    platform::Form* form_ = nullptr;

    // properties
    QPointer<skin::TbsSkinData> skinData_, menusSkinData_;
    TbsBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize | biRollUp;
    bool showIcon_ = false, maximizeOnFullScreen_ = false;
    bool alphaBlend_ = false, alphaBlendAnimation_ = false;
    int alphaBlendValue_ = 200;
    int minWidth_ = 0, minHeight_ = 0;
    bool magnetic_ = false;
    int magneticSize_ = 5;
    platform::TFont defCaptionFont_{QStringLiteral("Arial"), 14, skin::FontStyle::fsBold, platform::clCaptionText};
    platform::TFont defInActiveCaptionFont_{QStringLiteral("Arial"), 14, skin::FontStyle::fsBold,
                                            platform::clBtnShadow};
    QPointer<QMenu> systemMenu_;
    QPointer<QShortcut> closeShortcut_;  // Alt+F4 on the form
    int defMenuItemHeight_ = 20;
    platform::TFont defMenuItemFont_{QStringLiteral("Arial"), 14, {}, platform::clMenuText};
    bool menusAlphaBlend_ = false, menusAlphaBlendAnimation_ = false;
    int menusAlphaBlendValue_ = 200;

    // the skin applied
    bool skinned_ = false;
    QImage picture_, inactivePicture_, mask_, bgPicture_;  // converted copies of the skin's pictures
    mutable std::vector<QImage> activePictures_;           // converted lazily
    std::vector<std::unique_ptr<TbsActiveSkinObject>> objects_;  // their rectangles are layout

    // layout for the window size last seen
    QSize size_;
    FrameGeometry geo_;               // skinned
    skin::Rect captionArea_;          // default frame: between the system-menu button and the others
    std::optional<FrameShape> shape_;  // skinned with a mask

    // run-time state
    int hover_ = -1, prevHover_ = -1, captured_ = -1;
    TWindowState frameState_ = wsNormal;
    bool rolledUp_ = false, rolledUpWhileMaximized_ = false;
    int rollUpHeight_ = 0;
    QRect restoreBounds_;
    std::optional<bool> activeOverride_;
    bool lastActive_ = false;
    QTimer trackTimer_, morphTimer_, fadeTimer_;
    int fadeAlpha_ = 0, fadeTarget_ = 255;
    TbsSkinMenu* skinMenu_ = nullptr;  // owned (QObject child)

    // dragging by the frame itself
    enum class Drag { None, PendingMove, Move, Resize };
    Drag drag_ = Drag::None;
    int dragHit_ = HTNOWHERE;
    QPoint dragStartGlobal_;
    QRect dragStartGeometry_;
    bool inSizeMove_ = false;
    bool activatingPress_ = false;  // a button press on the window while it is inactive
};

}  // namespace frame
