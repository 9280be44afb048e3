#pragma once
// Frame objects: the caption, the caption buttons and other buttons, and user-painted
// areas of a skinned window frame. Each is built from one object entry of the skin (the
// default frame's buttons from none); the frame owns them, lays them out, finds the one
// under the mouse, feeds it mouse input and has it draw itself into the frame's images.
//
// Objects copy what they need from their entry and keep their pictures as implicitly
// shared images, so nothing in them points into the skin data: they stay valid until the
// frame frees them, whatever happens to the skin meanwhile.

#include <QImage>
#include <QString>

#include "frame/FrameGeometry.h"
#include "skin/SkinEntries.h"

class QPainter;

namespace frame {

class TbsSkinFrame;

class TbsActiveSkinObject {
public:
    // entry may be null (the default frame's buttons).
    TbsActiveSkinObject(TbsSkinFrame* frame, const skin::TbsDataSkinObject* entry);
    virtual ~TbsActiveSkinObject() = default;
    TbsActiveSkinObject(const TbsActiveSkinObject&) = delete;
    TbsActiveSkinObject& operator=(const TbsActiveSkinObject&) = delete;

    QString IDName;
    skin::Rect SkinRect, ActiveSkinRect;  // in their pictures
    bool SkinRectInAPicture = false;
    bool Morphing = false;
    int MorphKind = 0;
    QImage Picture;        // what SkinRect is cut from
    QImage ActivePicture;  // what ActiveSkinRect is cut from; null: no active look
    bool NormalFromActivePicture = false;  // SkinRect lies in an active picture
    skin::Rect ObjectRect;                 // window coordinates
    bool Visible = true, Enabled = true, MouseIn = false, Active = false;
    double MorphKf = 0;  // morph progress, 0 (normal) to 1 (active)
    bool HasEntry = true;  // false for the default frame's buttons

    virtual bool IsMorphing() const;
    // Draws the object with the painter in window coordinates; force also draws images
    // that are part of the form picture.
    virtual void DrawObject(QPainter& surface, bool force);
    virtual void ObjectDblClick() {}
    virtual void ObjectMouseDown(int x, int y, Qt::MouseButton button);
    virtual void ObjectMouseUp(int x, int y, Qt::MouseButton button);
    virtual void ObjectMouseMove(int x, int y);
    virtual void ObjectMouseEnter();
    virtual void ObjectMouseLeave();

    // Becomes active or inactive: morphs there or redraws at once.
    void SetActive(bool active);
    // One morph-timer tick: progress 0.1 towards the target; true while still morphing.
    bool MorphStep();
    // Back to inactive and progress 0 without drawing (window activation).
    void ResetActive() { Active = false, MorphKf = 0; }

protected:
    // The normal image (SkinRect) and the active image (ActiveSkinRect).
    QImage NormalImage() const;
    QImage ActiveImage() const;
    // Normal, active or morphed look (see the class comment of the frame objects).
    void DrawNormalActiveMorph(QPainter& surface, bool force);
    void Redraw();

    TbsSkinFrame* frame_;
};

// "userobject": painted by the frame's OnPaintEvent.
class TbsUserObject : public TbsActiveSkinObject {
public:
    using TbsActiveSkinObject::TbsActiveSkinObject;
    void DrawObject(QPainter& surface, bool force) override;
};

// "button": goes down while pressed.
class TbsSkinButtonObject : public TbsActiveSkinObject {
public:
    TbsSkinButtonObject(TbsSkinFrame* frame, const skin::TbsDataSkinButton* entry);
    skin::Rect DownRect, DisableSkinRect;
    bool Down = false;

    void DrawObject(QPainter& surface, bool force) override;
    void ObjectMouseDown(int x, int y, Qt::MouseButton button) override;
    void ObjectMouseUp(int x, int y, Qt::MouseButton button) override;
    void ObjectMouseEnter() override;
    void ObjectMouseLeave() override;

protected:
    // Disabled and down looks; false when neither applies.
    bool DrawDisabledOrDown(QPainter& surface);
    void SetDown(bool down);
};

// "stdbutton" and the default frame's buttons: close, maximize, minimize, roll-up,
// system menu.
class TbsSkinStdButtonObject : public TbsSkinButtonObject {
public:
    TbsSkinStdButtonObject(TbsSkinFrame* frame, const skin::TbsDataSkinStdButton* entry);
    // A default-frame button without entry.
    TbsSkinStdButtonObject(TbsSkinFrame* frame, const QString& name, skin::StdCommand command);

    skin::StdCommand Command = skin::cmDefault;
    skin::Rect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInactiveRect;

    // The button shows its alternate (restore) state: maximize while maximized, minimize
    // while minimized, roll-up while rolled up.
    bool InAlternateState() const;
    // What a click does, for a press that comes without the mouse (a screen reader's).
    void Press();

    void DrawObject(QPainter& surface, bool force) override;
    void ObjectDblClick() override;
    void ObjectMouseDown(int x, int y, Qt::MouseButton button) override;
    void ObjectMouseUp(int x, int y, Qt::MouseButton button) override;

private:
    void DrawDefaultButton(QPainter& surface);
    void DrawRestoreLook(QPainter& surface);
    void DrawIcon(QPainter& surface);
    void Act();
};

// "caption": the window title on its plate.
class TbsSkinCaptionObject : public TbsActiveSkinObject {
public:
    TbsSkinCaptionObject(TbsSkinFrame* frame, const skin::TbsDataSkinCaption* entry);

    skin::Rect TextRect;
    QString FontName;
    int FontHeight = 14;
    skin::FontStyles Style;
    skin::TColor FontColor = 0, ActiveFontColor = 0;
    skin::Alignment TextAlignment = skin::taCenter;
    bool Shadow = false;
    skin::TColor ShadowColor = 0, ActiveShadowColor = 0;
    skin::Rect FrameRect, ActiveFrameRect, FrameTextRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;

    void DrawObject(QPainter& surface, bool force) override;

    // Where the title goes for the present object size and activation: the text rectangle
    // (window coordinates), the text as shown (shortened with "..."), its top-left
    // corner, and the plate's rectangle (empty without framerect).
    struct TextLayout {
        skin::Rect textRect;
        QString text;
        QPoint pos;
        skin::Rect plate;
    };
    TextLayout LayoutText(bool active) const;

private:
    void DrawText(QPainter& surface, bool active) const;
    QImage ComposeCaptionImage(const QImage& picture, const skin::Rect& source) const;
};

}  // namespace frame
