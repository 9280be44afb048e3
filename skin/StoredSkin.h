#pragma once
// The two containers a skin travels in inside the program, and the picture block they
// share. All integers little-endian.
//
// Picture block:
//   picture empty flag (1 byte: non-zero = empty) [+ BMP file image when 0]
//   inactive picture empty flag                   [+ BMP file image when 0]
//   mask empty flag                               [+ BMP file image when 0]
//   active picture count (int32; 0 or less = none)
//   that many BMP file images, back to back, no flags
// BMP images carry no length of their own here: each one's extent comes from its
// headers (see Bmp.h).
//
// TbsStoredSkin keeps the definition lines and the pictures apart; its `Pictures` data is
// one picture block. TbsCompressedStoredSkin keeps one zlib stream (level 9) that
// inflates to: version marker (int32, always 1), picture block, then the definition
// lines each ended by CR LF, to the end of the stream.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "skin/SkinError.h"

namespace skin {

// Version marker at the start of an inflated compressed skin.
inline constexpr qint32 kCompressedSkinVersion = 1;
// Largest inflated compressed skin accepted; the program's own inflates to about 270 KB.
inline constexpr qsizetype kMaxInflatedSkinSize = qsizetype(64) * 1024 * 1024;

// One picture of a block: the image and the BMP file image exactly as it lay in the
// block (both empty for an empty picture).
struct BlockPicture {
    QImage image;
    QByteArray bmp;
};

struct PictureBlock {
    BlockPicture picture, inactivePicture, mask;
    QList<BlockPicture> active;
};

// Reads a picture block from the start of data; *consumed receives its length.
// Throws SkinError when the block or one of its bitmaps is malformed or cut short.
PictureBlock ReadPictureBlock(QByteArrayView data, qsizetype* consumed = nullptr);
// Writes a picture block: null images as a flag only, others as BMP file images
// (indexed pictures at 8 bits, the rest at 24 bits).
QByteArray WritePictureBlock(const QImage& picture, const QImage& inactivePicture, const QImage& mask,
                             const QList<QImage>& active);

// A skin kept as definition lines plus pictures.
class TbsStoredSkin : public QObject {
    Q_OBJECT

public:
    explicit TbsStoredSkin(QObject* owner = nullptr);

    QString FileName;        // name of the skin file it was built from, without directory
    QStringList IniStrings;  // the definition
    QImage Picture, InactivePicture, Mask;  // each may be null
    QList<QImage> ActivePictures;

    // Builds the skin from a definition file and the bitmaps named in its [PICTURES]
    // section, which lie in the same directory. Throws SkinError naming the file when
    // the definition or a bitmap cannot be read, or when an active picture key is empty
    // or missing; the component is then unchanged. No validity test is made.
    void LoadFromSkinFile(const QString& path);

    // The `Pictures` data: one picture block. ReadPictures replaces every picture, or
    // throws SkinError and changes nothing.
    QByteArray WritePictures() const;
    void ReadPictures(QByteArrayView data);
};

// A skin kept as one zlib stream.
class TbsCompressedStoredSkin : public QObject {
    Q_OBJECT

public:
    explicit TbsCompressedStoredSkin(QObject* owner = nullptr);

    QString FileName;

    // An empty component (no compressed data) is ignored by the loader.
    bool IsEmpty() const { return compressed_.isEmpty(); }
    // The `CompressedData`: kept and given back unchanged, nothing inflated.
    const QByteArray& CompressedData() const { return compressed_; }
    void SetCompressedData(const QByteArray& data) { compressed_ = data; }

    // The inflated stream, read in blocks of 4,096 bytes. Throws SkinError when the
    // stream is corrupt, cut short or inflates beyond kMaxInflatedSkinSize.
    QByteArray Inflate() const;

    // Builds the compressed data from a definition file and its bitmaps. Returns false
    // and leaves the component unchanged when the definition lacks one of the five
    // required sections. Throws SkinError (component unchanged) when a file cannot be
    // read or an active picture key is empty or missing.
    bool LoadFromSkinFile(const QString& path);

private:
    QByteArray compressed_;
};

// The parts of an inflated compressed skin. Throws SkinError when the stream is shorter
// than its version marker or the picture block is malformed; a version other than 1 is
// reported in `version` with nothing else read.
struct InflatedSkin {
    qint32 version = 0;
    PictureBlock pictures;
    QByteArray text;  // the definition lines as stored, CR LF ended
};
InflatedSkin ParseInflatedSkin(QByteArrayView inflated);

// zlib at best compression (level 9), as one stream with header and Adler-32 trailer.
QByteArray DeflateSkin(QByteArrayView data);

}  // namespace skin
