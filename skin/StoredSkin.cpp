#include "skin/StoredSkin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <zlib.h>

#include "skin/Bmp.h"
#include "skin/SkinIni.h"
#include "skin/SkinValues.h"

namespace skin {

namespace {

constexpr int kInflateBlock = 4096;

void PutInt32(QByteArray& out, qint32 v) {
    uchar b[4];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char*>(b), 4);
}

// One form picture of a block: its flag, then the image when the flag is 0.
BlockPicture ReadFlaggedPicture(QByteArrayView data, qsizetype& pos, const char* what) {
    if (pos >= data.size()) throw SkinError(QStringLiteral("picture block ends before the %1 flag").arg(what));
    if (data[pos++] != 0) return {};
    BlockPicture p;
    qsizetype used = 0;
    try {
        p.image = ReadBmp(data.sliced(pos), &used);
    } catch (const SkinError& e) {
        throw SkinError(QStringLiteral("%1: %2").arg(QLatin1StringView(what), QString::fromStdString(e.what())));
    }
    p.bmp = data.sliced(pos, used).toByteArray();
    pos += used;
    return p;
}

void AppendPicture(QByteArray& out, const QImage& image) {
    if (image.isNull()) {
        out.append('\1');
        return;
    }
    out.append('\0');
    out.append(WriteBmp(image));
}

QByteArray ReadWholeFile(const QString& path, const char* what) {
    QFile f(path);
    if (!f.exists()) throw SkinError(QStringLiteral("missing %1 file: %2").arg(what, path));
    if (!f.open(QIODevice::ReadOnly)) throw SkinError(QStringLiteral("cannot read %1 file %2: %3").arg(what, path, f.errorString()));
    return f.readAll();
}

QImage LoadBitmapFile(const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    const QByteArray bytes = ReadWholeFile(path, "bitmap");
    try {
        return ReadBmp(bytes);
    } catch (const SkinError& e) {
        throw SkinError(QStringLiteral("%1: %2").arg(path, QString::fromStdString(e.what())));
    }
}

struct FilePictures {
    QImage picture, inactivePicture, mask;
    QList<QImage> active;
};

// The bitmaps a definition's [PICTURES] section names, read from dir. An empty name for
// a form picture means no picture; an active picture must name a file.
FilePictures LoadPictureFiles(const SkinIni& ini, const QDir& dir) {
    const QString section = QStringLiteral("PICTURES");
    auto form = [&](const char* key) {
        const QString name = ini.ReadString(section, QString::fromLatin1(key), QString());
        return name.isEmpty() ? QImage() : LoadBitmapFile(dir, name);
    };
    FilePictures p;
    p.picture = form("picture");
    p.inactivePicture = form("inactivepicture");
    p.mask = form("mask");
    const int count = ParseInteger(ini.ReadString(section, QStringLiteral("activepicturescount"), QString()), 0);
    for (int i = 0; i < count; ++i) {
        const QString name = ini.ReadString(section, QString::number(i), QString());
        if (name.isEmpty())
            throw SkinError(QStringLiteral("[PICTURES] names no file for active picture %1 of %2").arg(i).arg(count));
        p.active << LoadBitmapFile(dir, name);
    }
    return p;
}

// Frees the zlib stream however the inflation ends.
struct InflateGuard {
    z_stream* zs;
    ~InflateGuard() { inflateEnd(zs); }
};

}  // namespace

PictureBlock ReadPictureBlock(QByteArrayView data, qsizetype* consumed) {
    PictureBlock block;
    qsizetype pos = 0;
    block.picture = ReadFlaggedPicture(data, pos, "picture");
    block.inactivePicture = ReadFlaggedPicture(data, pos, "inactive picture");
    block.mask = ReadFlaggedPicture(data, pos, "mask");
    if (data.size() - pos < 4) throw SkinError(QStringLiteral("picture block ends before the active picture count"));
    const qint32 count = qFromLittleEndian<qint32>(data.data() + pos);
    pos += 4;
    // No room is reserved from the count: it may be hostile, the data is the limit.
    for (qint32 i = 0; i < count; ++i) {
        qsizetype used = 0;
        BlockPicture p;
        try {
            p.image = ReadBmp(data.sliced(pos), &used);
        } catch (const SkinError& e) {
            throw SkinError(QStringLiteral("active picture %1 of %2: %3").arg(i).arg(count).arg(QString::fromStdString(e.what())));
        }
        p.bmp = data.sliced(pos, used).toByteArray();
        pos += used;
        block.active << std::move(p);
    }
    if (consumed) *consumed = pos;
    return block;
}

QByteArray WritePictureBlock(const QImage& picture, const QImage& inactivePicture, const QImage& mask,
                             const QList<QImage>& active) {
    QByteArray out;
    AppendPicture(out, picture);
    AppendPicture(out, inactivePicture);
    AppendPicture(out, mask);
    PutInt32(out, qint32(active.size()));
    for (const QImage& image : active) out.append(WriteBmp(image));
    return out;
}

// ----- TbsStoredSkin ----------------------------------------------------------------------

TbsStoredSkin::TbsStoredSkin(QObject* owner) : QObject(owner) {}

void TbsStoredSkin::LoadFromSkinFile(const QString& path) {
    const QByteArray text = ReadWholeFile(path, "skin definition");
    const QStringList lines = SplitSkinLines(DecodeSkinText(text));
    FilePictures p = LoadPictureFiles(SkinIni(lines), QFileInfo(path).dir());
    IniStrings = lines;
    Picture = p.picture;
    InactivePicture = p.inactivePicture;
    Mask = p.mask;
    ActivePictures = std::move(p.active);
}

QByteArray TbsStoredSkin::WritePictures() const {
    return WritePictureBlock(Picture, InactivePicture, Mask, ActivePictures);
}

void TbsStoredSkin::ReadPictures(QByteArrayView data) {
    PictureBlock block = ReadPictureBlock(data);
    Picture = block.picture.image;
    InactivePicture = block.inactivePicture.image;
    Mask = block.mask.image;
    ActivePictures.clear();
    for (const BlockPicture& p : block.active) ActivePictures << p.image;
}

// ----- TbsCompressedStoredSkin ------------------------------------------------------------

TbsCompressedStoredSkin::TbsCompressedStoredSkin(QObject* owner) : QObject(owner) {}

QByteArray TbsCompressedStoredSkin::Inflate() const {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw SkinError(QStringLiteral("cannot start inflating the compressed skin"));
    InflateGuard guard{&zs};
    if (compressed_.size() > qsizetype(UINT_MAX)) throw SkinError(QStringLiteral("compressed skin is too large"));
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed_.constData()));
    zs.avail_in = uInt(compressed_.size());

    QByteArray out;
    char block[kInflateBlock];
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef*>(block);
        zs.avail_out = kInflateBlock;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const qsizetype got = kInflateBlock - qsizetype(zs.avail_out);
        if (out.size() + got > kMaxInflatedSkinSize)
            throw SkinError(QStringLiteral("compressed skin inflates beyond %1 bytes").arg(kMaxInflatedSkinSize));
        out.append(block, got);
        if (rc == Z_STREAM_END) return out;
        if (rc == Z_OK) continue;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0)
            throw SkinError(QStringLiteral("compressed skin is cut short after %1 inflated bytes").arg(out.size()));
        throw SkinError(QStringLiteral("compressed skin is corrupt: %1").arg(zs.msg ? zs.msg : "inflate failed"));
    }
}

bool TbsCompressedStoredSkin::LoadFromSkinFile(const QString& path) {
    const QByteArray text = ReadWholeFile(path, "skin definition");
    const QList<QByteArray> lines = SplitSkinLines(QByteArrayView(text));
    const SkinIni ini = SkinIni::FromText(text);
    if (!ini.IsValidDefinition()) return false;

    const FilePictures p = LoadPictureFiles(ini, QFileInfo(path).dir());
    QByteArray stream;
    PutInt32(stream, kCompressedSkinVersion);
    stream.append(WritePictureBlock(p.picture, p.inactivePicture, p.mask, p.active));
    for (const QByteArray& line : lines) {
        stream.append(line);
        stream.append("\r\n", 2);
    }
    compressed_ = DeflateSkin(stream);
    return true;
}

InflatedSkin ParseInflatedSkin(QByteArrayView inflated) {
    InflatedSkin s;
    if (inflated.size() < 4) throw SkinError(QStringLiteral("compressed skin ends before its version marker"));
    s.version = qFromLittleEndian<qint32>(inflated.data());
    if (s.version != kCompressedSkinVersion) return s;
    qsizetype used = 0;
    s.pictures = ReadPictureBlock(inflated.sliced(4), &used);
    s.text = inflated.sliced(4 + used).toByteArray();
    return s;
}

QByteArray DeflateSkin(QByteArrayView data) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                             reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK) throw SkinError(QStringLiteral("cannot compress the skin (zlib error %1)").arg(rc));
    out.resize(qsizetype(size));
    return out;
}

}  // namespace skin
