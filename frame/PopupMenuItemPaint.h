#pragma once
// How one item of a popup level is painted: from the skin's "menuitem" entry (its normal
// and lit pictures, morphed between them when the entry asks for it) or in the plain
// look, with the caption and its accelerator, the shortcut at the right, the arrow of an
// item with children, and the frame glyph or the check mark at the left.

#include <QFont>
#include <QImage>

#include "skin/SkinEntries.h"

namespace frame {

struct TbsSkinMenuItem;

// The item at its rectangle's size and the level's pixel ratio, lit while it is hot or
// its sub-level is open. `entry` and its `picture` draw the skinned look; without an
// entry (nullptr) the item takes the plain look in `plainFont`.
QImage PopupMenuItemImage(const TbsSkinMenuItem& it, const skin::TbsDataSkinMenuItem* entry, const QImage& picture,
                          const QFont& plainFont, qreal ratio);

}  // namespace frame
