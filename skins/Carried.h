#pragma once
// The skin the program carries: the main window's plain stored skin and compressed
// stored skin, both filled with the same skin (skins/carried, packed at build time).
// Nothing is read from disk at run time.

#include <QByteArray>
#include <QStringList>

#include "skin/SkinData.h"
#include "skin/StoredSkin.h"

namespace skins {

// The plain container's data: its `Pictures` data (one picture block) and its
// definition lines.
QByteArray CarriedStoredSkin();
QStringList CarriedStoredSkinLines();
// The compressed container's `CompressedData`: one zlib stream.
QByteArray CarriedCompressedSkin();

// Fill a container as the main window's own are filled (FileName "skin.ini").
void FillCarriedStoredSkin(skin::TbsStoredSkin& stored);
void FillCarriedCompressedSkin(skin::TbsCompressedStoredSkin& compressed);

// Loads the carried skin into skinData in the start-up order: the plain container, then
// the compressed one, which replaces it. Each load sends the skin-change messages.
void LoadCarriedSkin(skin::TbsSkinData& skinData);

// The skin a workshop command asks for: the carried one when skinFile is empty, else the
// definition and bitmaps at skinFile (LoadFromSkinFile). Throws a clear error when the
// file is not a complete skin definition.
void LoadCarriedOrFileSkin(skin::TbsSkinData& skinData, const QString& skinFile);

}  // namespace skins
