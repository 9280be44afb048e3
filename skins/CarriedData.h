#pragma once
// The carried skin's containers as bytes, generated at build time by tools/skinpack from
// skins/carried (see CarriedData.cpp in the build tree). Used only by Carried.cpp.

#include <QtGlobal>

namespace skins::data {

extern const char kFileName[];  // "skin.ini"
// TbsStoredSkin: its `Pictures` data (one picture block) and its definition lines, each
// ended by CR LF.
extern const unsigned char kStoredPictures[];
extern const qsizetype kStoredPicturesSize;
extern const unsigned char kStoredText[];
extern const qsizetype kStoredTextSize;
// TbsCompressedStoredSkin: its `CompressedData` (one zlib stream).
extern const unsigned char kCompressed[];
extern const qsizetype kCompressedSize;

}  // namespace skins::data
