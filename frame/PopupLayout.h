#pragma once
// The skinned popup menu's geometry and rules as plain functions: how big one level of a
// menu is, where its items lie (and which are in view while it scrolls), where the level
// opens beside its anchor within the work area, which item the arrow keys move to and how
// the view follows, and which item an accelerator key picks.
//
// Rectangles are the skin's Rect (left, top, right, bottom; right and bottom excluded).

#include <QChar>
#include <QPoint>
#include <QSize>
#include <QString>

#include <vector>

#include "frame/FrameGeometry.h"
#include "skin/Compose.h"
#include "skin/SkinValues.h"

namespace frame {

inline constexpr int kPlainSeparatorHeight = 4;  // a separator without the skin's menu item
inline constexpr int kPlainGlyphColumn = 19;     // glyph column of a level without image list
inline constexpr int kScrollMarkerHeight = 10;   // each scroll marker of a scrolling level

// What a level's geometry takes from the skin.
struct PopupSkinGeometry {
    // [POPUPWINDOW] with a window picture: its size and the anchor geometry (the four
    // points, C = itemsrect).
    bool window = false;
    QSize picture;
    skin::AnchorGeometry anchors;
    // The "menuitem" entry: its skinrect, textrect and dividerrect.
    bool item = false;
    skin::Rect skinrect, textrect, dividerrect;
};

// The height of one item: separators 4 (or the divider's height), other items the
// chain's item height (or the menu item's skinrect height).
int PopupItemHeight(const PopupSkinGeometry& s, bool separator, int chainItemHeight);

struct PopupLevelSize {
    QSize size;
    bool scrolling = false;  // taller than the work area: cut to it
};
// The size of a level holding the items: one text width (caption, two blanks and the
// shortcut, measured, + 2) and one height per item.
PopupLevelSize PopupLevelSizeFor(const PopupSkinGeometry& s, const std::vector<int>& textWidths,
                                 const std::vector<int>& heights, int glyphColumn, int workAreaHeight);

// The area items are laid out in, for a level of the given size.
skin::Rect PopupItemsRect(const PopupSkinGeometry& s, QSize window);

struct PopupLayout {
    std::vector<skin::Rect> rects;  // per item; empty for items not laid out
    std::vector<bool> inView;       // per item
    int visibleCount = 0;
    bool LastInView() const { return !inView.empty() && inView.back(); }
};
// The items from `first` on placed one below the other in the items rectangle, below the
// top scroll marker while scrolling; an item that would reach past the bottom (or past the
// bottom marker) and every item after it is out of view, as is every item before first.
PopupLayout LayOutPopupItems(const std::vector<int>& heights, const skin::Rect& itemsRect, bool scrolling, int first);

// The first item in view whose rectangle holds p, or -1.
int PopupItemAt(const PopupLayout& layout, QPoint p);

// The two scroll markers of a scrolling level.
skin::Rect PopupTopMarker(bool window, const skin::Rect& itemsRect, QSize size);
skin::Rect PopupBottomMarker(bool window, const skin::Rect& itemsRect, QSize size);

struct PopupPlacement {
    QPoint pos;
    bool flipped = false;  // opened on the other side of its anchor than asked
};
// Where a level of `size` opens for the anchor rectangle (screen coordinates) within the
// work area: below (or, upward, above) a first level's anchor, beside a sub-level's parent
// item with the first item level with it, at the work area's top when scrolling; pushed
// back into the work area when it would leave it.
PopupPlacement PlacePopupLevel(const skin::Rect& anchor, const skin::Rect& area, QSize size, int itemsTop,
                               bool subLevel, bool upward, bool scrolling);

// Keyboard moves over the items; selectable means enabled and not a separator. Down starts
// after the hot item (at the first item when there is none or the hot item is the last)
// and takes the first selectable item up to the last; Up the same backwards from before
// the hot item (from the last item when there is none or the hot item is the first). The
// hot item stays when nothing is found.
int NextItemDown(const std::vector<bool>& selectable, int hot);
int NextItemUp(const std::vector<bool>& selectable, int hot);

// The first visible item once the keyboard has made `index` hot: the view moves one item
// at a time until the item is in view, or back to the top (Down) or to the last start
// position at which the last items fill the view (Up) when the move wrapped around.
int KeyboardScrollFirst(const std::vector<int>& heights, const skin::Rect& itemsRect, int first, int index, bool down);
// The smallest first item at which the last item is in view.
int LastStartPosition(const std::vector<int>& heights, const skin::Rect& itemsRect);

// The accelerator of a caption: the character after a single "&" ("&&" is a plain "&"),
// or a null character.
QChar AcceleratorOf(const QString& caption);
// The caption as shown: "&" markers removed, "&&" as "&".
QString CaptionText(const QString& caption);
// The first caption whose accelerator is key (letters without regard to case), or -1.
int MatchAccelerator(const std::vector<QString>& captions, QChar key);

}  // namespace frame
