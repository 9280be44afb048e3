#pragma once
// BMP file images as the skin containers hold them: a 14-byte file header, an info
// header (the 40-byte BITMAPINFOHEADER or the 12-byte BITMAPCOREHEADER), the colour
// table and the pixel rows, with nothing between colour table and pixels.
//
// The containers put bitmaps back to back with no length in between, so a reader must
// take each image's extent from its own headers, exactly:
//   14 + info header size
//   + colour table: the used-colour count of the header, or every colour of the bit
//     depth (2, 16, 256) when that count is 0 and the depth is 8 or less
//   + pixel data: the header's image size, or, when it is 0, the rows padded to 4 bytes
//     times the number of rows.
// The file header's size and pixel-offset fields are not used for the extent.
//
// In memory a picture is a QImage:
//   - 1, 4 and 8 bits per pixel read into Format_Indexed8 whose colour table holds the
//     file's colours (padded with black to cover every index the depth can address, so
//     any pixel value has a colour);
//   - 24 and 32 bits per pixel read into Format_RGB32.
// Writing keeps that split: an indexed picture is written at 8 bits with a 256-colour
// table, anything else at 24 bits. So an 8-bit picture of the skin travels through
// read -> write unchanged in depth.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include "skin/SkinError.h"

namespace skin {

// Largest width or height accepted from a file. Skin pictures are a few hundred pixels;
// the cap keeps a hostile header from asking for gigabytes.
inline constexpr int kMaxBmpDimension = 16384;

// Reads one BMP file image from the start of data. On success *consumed (when given)
// receives the image's extent as defined above; the bytes after it are not looked at.
// Throws SkinError on: a type other than "BM", planes other than 1, an unknown header
// size, a bit depth other than 1, 4, 8, 24, 32, compression other than none, a zero or
// oversized dimension, a colour count beyond the bit depth, or an image (headers,
// colour table, pixel rows) that does not fit in data.
QImage ReadBmp(QByteArrayView data, qsizetype* consumed = nullptr);

// Writes image at 24 bits per pixel, bottom-up, 40-byte info header, no colour table.
// The file header's size field holds the total length of the result.
QByteArray WriteBmp24(const QImage& image);

// Writes an indexed image at 8 bits per pixel with a full 256-entry colour table (the
// image's colours, then black). A non-indexed image is first reduced to 256 colours.
QByteArray WriteBmp8(const QImage& indexed8);

// Writes an indexed image at 8 bits, anything else at 24 bits (see above).
// Throws SkinError for a null image: containers write empty pictures as a flag only.
QByteArray WriteBmp(const QImage& image);

}  // namespace skin
