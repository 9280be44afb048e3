#pragma once
// The skinned frame's geometry as plain functions of the skin, the window size and the
// frame's state: where the client area, caption and hit-test zones lie, how a picture
// rectangle maps into the window, the minimum size, which hit code a point gets, the
// snapping to the work area, resizing by a border, and the system menu's items.
//
// Rectangles are the skin's Rect (left, top, right, bottom; right and bottom excluded).

#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

#include "skin/Compose.h"
#include "skin/SkinEntries.h"

namespace frame {

// Small helpers on the skin's rectangles.
inline bool PtInRect(const skin::Rect& r, QPoint p) {
    return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}
inline skin::Rect OffsetRect(const skin::Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
inline skin::Rect RectAt(QPoint topLeft, QSize size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}
inline QPoint TopLeft(const skin::Rect& r) { return QPoint(r.left, r.top); }
inline QSize SizeOf(const skin::Rect& r) { return QSize(r.Width(), r.Height()); }

// Hit codes of the window system that the frame answers with.
enum HitCode : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTOBJECT = 19,
};

// The caption buttons that work; a set stored as a bit mask, bit n for value n.
enum TbsBorderIcon : unsigned {
    biSystemMenu = 1u << 0,
    biMinimize = 1u << 1,
    biMaximize = 1u << 2,
    biRollUp = 1u << 3,
    biMinimizeToTray = 1u << 4,
};
Q_DECLARE_FLAGS(TbsBorderIcons, TbsBorderIcon)

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// The default frame's caption height and button size (tool windows are smaller).
inline int DefaultCaptionHeight(bool toolWindow) { return toolWindow ? 15 : 19; }
inline int DefaultButtonSize(bool toolWindow) { return toolWindow ? 13 : 17; }

// The geometry of the form picture ([FORMINFO]) resized to a window of W by H.
struct FrameGeometry {
    QSize picture;     // PW, PH: the form picture's size
    skin::AnchorGeometry g;  // the anchor points and clientrect as the skin gives them
    skin::AnchorGeometry n;  // NewLT, NewRT, NewLB, NewRB, NewC for W by H
    int dx = 0, dy = 0;
    skin::Rect caption;   // captionrect, its right edge moved by dx (empty stays empty)
    skin::Rect buttons;   // buttonsrect, moved right by dx when it lies on the right half
    skin::Rect maskArea;  // maskrectarea grown by dx and dy
    QPoint hitLT, hitRT, hitLB, hitRB;
};
FrameGeometry ComputeFrameGeometry(const skin::TbsDataSkinFormInfo& info, QSize picture, QSize window);

// A rectangle of the form picture in window coordinates: kept, moved or stretched by the
// corner zones it lies in.
skin::Rect MapFrameRect(const skin::Rect& r, const FrameGeometry& geo);

// The client rectangle of a window of the given size: inside the skin's border widths,
// or inside the default frame (3 pixels and the caption). Never of negative size.
skin::Rect SkinnedClientRect(QSize window, const skin::Rect& clientrect, QSize picture);
skin::Rect DefaultClientRect(QSize window, int captionHeight);

struct MinTrackInput {
    bool skinned = false;
    QSize picture;      // skinned: the form picture's size
    skin::Rect clientrect;   // skinned: [FORMINFO] clientrect
    int captionHeight = 19;  // default frame
    int minWidth = 0, minHeight = 0;
    bool minimized = false, rolledUp = false;
};
// The smallest window size the frame can be dragged to.
QSize MinimumTrackSize(const MinTrackInput& in);

// A window shape from the skin mask: the new mask area plus the four border masks, placed
// as UpdateFrameRegion places them.
struct FrameShape {
    skin::Rect maskArea;
    skin::BorderImages masks;
    // Inside the shape: in the mask area, or on a black pixel of the border mask there.
    bool Contains(QPoint p) const;
};

struct HitTestInput {
    QSize window;
    bool skinned = false;
    bool sizeable = true;
    bool maximized = false, minimized = false, rolledUp = false;
    bool hoverObject = false;           // the frame has a hover object
    std::vector<skin::Rect> captionObjects;  // rectangles of the caption objects
    // Skinned frame.
    skin::Rect newC;
    int borderWidth = 0;
    QPoint hitLT, hitRT, hitLB, hitRB;
    const FrameShape* shape = nullptr;  // set when the skin has a mask
    // Default frame.
    int captionHeight = 19;
    skin::Rect captionArea;  // between the system-menu button and the other buttons
};
// The hit code of point p (window coordinates).
int FrameHitTest(const HitTestInput& in, QPoint p);

// The proposed window rectangle snapped to the work area's edges when one lies closer
// than size pixels (strictly).
QRect MagneticSnap(const QRect& proposed, const skin::Rect& area, int size);

// The window rectangle after dragging the border or corner of hit code `code` by delta
// from start; the opposite edges stay, the size is kept within min and max (a max of 0
// does not limit). Window rectangles are QRects, as the window system gives them.
QRect ResizeByHitCode(const QRect& start, int code, QPoint delta, QSize min, QSize max);

// The built-in system menu.
enum class SystemMenuAction { Minimize, Maximize, Restore, RollUp, MinimizeToTray, Close, None };
struct SystemMenuItem {
    QString name;      // "BSF_MINITEM", ...; "-" for the separator
    QString caption;   // with its "&" accelerator; "-" for the separator
    QString shortcut;  // "Alt+F4" for Close, else empty
    SystemMenuAction action = SystemMenuAction::None;
};
std::vector<SystemMenuItem> SystemMenuItems(TbsBorderIcons icons, TWindowState state, bool rolledUp);

}  // namespace frame

Q_DECLARE_OPERATORS_FOR_FLAGS(frame::TbsBorderIcons)
