#pragma once
// The skinned frame's geometry as plain functions of the skin, the window size and the
// frame's state: where the client area, caption and hit-test zones lie, how a picture
// rectangle maps into the window, the minimum size, which hit code a point gets, the
// snapping to the work area, resizing by a border, and the system menu's items.
//
// Rectangles are QRect(left, top, width, height) with the right and bottom edges excluded
// (RightEdge / BottomEdge of skin/Compose.h), as the skin writes them.

#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

#include "skin/Compose.h"
#include "skin/SkinEntries.h"

namespace skin {

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
    AnchorGeometry g;  // the anchor points and clientrect as the skin gives them
    AnchorGeometry n;  // NewLT, NewRT, NewLB, NewRB, NewC for W by H
    int dx = 0, dy = 0;
    QRect caption;   // captionrect, its right edge moved by dx (empty stays empty)
    QRect buttons;   // buttonsrect, moved right by dx when it lies on the right half
    QRect maskArea;  // maskrectarea grown by dx and dy
    QPoint hitLT, hitRT, hitLB, hitRB;
};
FrameGeometry ComputeFrameGeometry(const TbsDataSkinFormInfo& info, QSize picture, QSize window);

// A rectangle of the form picture in window coordinates: kept, moved or stretched by the
// corner zones it lies in.
QRect MapFrameRect(const QRect& r, const FrameGeometry& geo);

// The client rectangle of a window of the given size: inside the skin's border widths,
// or inside the default frame (3 pixels and the caption). Never of negative size.
QRect SkinnedClientRect(QSize window, const QRect& clientrect, QSize picture);
QRect DefaultClientRect(QSize window, int captionHeight);

struct MinTrackInput {
    bool skinned = false;
    QSize picture;      // skinned: the form picture's size
    QRect clientrect;   // skinned: [FORMINFO] clientrect
    int captionHeight = 19;  // default frame
    int minWidth = 0, minHeight = 0;
    bool minimized = false, rolledUp = false;
};
// The smallest window size the frame can be dragged to.
QSize MinimumTrackSize(const MinTrackInput& in);

// A window shape from the skin mask: the new mask area plus the four border masks, placed
// as UpdateFrameRegion places them.
struct FrameShape {
    QRect maskArea;
    BorderImages masks;
    // Inside the shape: in the mask area, or on a black pixel of the border mask there.
    bool Contains(QPoint p) const;
};

struct HitTestInput {
    QSize window;
    bool skinned = false;
    bool sizeable = true;
    bool maximized = false, minimized = false, rolledUp = false;
    bool hoverObject = false;           // the frame has a hover object
    std::vector<QRect> captionObjects;  // rectangles of the caption objects
    // Skinned frame.
    QRect newC;
    int borderWidth = 0;
    QPoint hitLT, hitRT, hitLB, hitRB;
    const FrameShape* shape = nullptr;  // set when the skin has a mask
    // Default frame.
    int captionHeight = 19;
    QRect captionArea;  // between the system-menu button and the other buttons
};
// The hit code of point p (window coordinates).
int FrameHitTest(const HitTestInput& in, QPoint p);

// The proposed window rectangle snapped to the work area's edges when one lies closer
// than size pixels (strictly).
QRect MagneticSnap(const QRect& proposed, const QRect& area, int size);

// The window rectangle after dragging the border or corner of hit code `code` by delta
// from start; the opposite edges stay, the size is kept within min and max.
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

}  // namespace skin

Q_DECLARE_OPERATORS_FOR_FLAGS(skin::TbsBorderIcons)
