#include "skin/Bmp.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace skin {

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kCoreHeaderSize = 12;
constexpr quint32 kInfoHeaderSize = 40;
constexpr quint32 kBiRgb = 0;  // the only compression we read: none

quint16 U16(const uchar* p) { return qFromLittleEndian<quint16>(p); }
quint32 U32(const uchar* p) { return qFromLittleEndian<quint32>(p); }
qint32 I32(const uchar* p) { return qFromLittleEndian<qint32>(p); }

void Put16(QByteArray& out, quint16 v) {
    uchar b[2];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char*>(b), 2);
}
void Put32(QByteArray& out, quint32 v) {
    uchar b[4];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char*>(b), 4);
}

[[noreturn]] void Fail(const QString& what) { throw SkinError(QStringLiteral("invalid bitmap: ") + what); }

// What the headers say, normalised over the two header kinds.
struct BmpHeader {
    quint32 headerSize = 0;
    qint64 width = 0;
    qint64 rows = 0;
    bool topDown = false;
    int bitCount = 0;
    qint64 colourCount = 0;  // entries in the colour table as stored
    int colourEntrySize = 4;  // 3 for the core header's RGBTRIPLE
    qint64 stride = 0;       // bytes per row, padded to 4
    qint64 pixelBytes = 0;   // bytes of pixel data the image occupies in the stream
};

BmpHeader ParseHeaders(QByteArrayView data) {
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    const qsizetype n = data.size();
    if (n < kFileHeaderSize + 4) Fail(QStringLiteral("truncated file header"));
    if (p[0] != 'B' || p[1] != 'M') Fail(QStringLiteral("type is not \"BM\""));

    BmpHeader h;
    h.headerSize = U32(p + kFileHeaderSize);
    const bool core = h.headerSize == kCoreHeaderSize;
    // Later Windows headers begin with the 40-byte layout; their extra fields (colour
    // masks, colour space) are meaningless for uncompressed images and are skipped.
    const bool info = h.headerSize == kInfoHeaderSize || h.headerSize == 52 || h.headerSize == 56 ||
                      h.headerSize == 108 || h.headerSize == 124;
    if (!core && !info) Fail(QStringLiteral("unknown info header size %1").arg(h.headerSize));
    if (n < kFileHeaderSize + qint64(h.headerSize)) Fail(QStringLiteral("truncated info header"));

    const uchar* ih = p + kFileHeaderSize;
    quint16 planes = 0;
    quint32 compression = kBiRgb;
    quint32 sizeImage = 0;
    quint32 clrUsed = 0;
    if (core) {
        h.width = U16(ih + 4);
        h.rows = U16(ih + 6);
        planes = U16(ih + 8);
        h.bitCount = U16(ih + 10);
        h.colourEntrySize = 3;
    } else {
        h.width = I32(ih + 4);
        const qint64 height = I32(ih + 8);
        h.topDown = height < 0;
        h.rows = height < 0 ? -height : height;
        planes = U16(ih + 12);
        h.bitCount = U16(ih + 14);
        compression = U32(ih + 16);
        sizeImage = U32(ih + 20);
        clrUsed = U32(ih + 32);
    }
    if (planes != 1) Fail(QStringLiteral("planes is %1, not 1").arg(planes));
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24 && h.bitCount != 32)
        Fail(QStringLiteral("unsupported bit depth %1").arg(h.bitCount));
    if (compression != kBiRgb) Fail(QStringLiteral("compressed bitmaps are not supported"));
    if (h.width <= 0 || h.rows <= 0) Fail(QStringLiteral("empty image %1 x %2").arg(h.width).arg(h.rows));
    if (h.width > kMaxBmpDimension || h.rows > kMaxBmpDimension)
        Fail(QStringLiteral("image %1 x %2 is larger than %3 x %3").arg(h.width).arg(h.rows).arg(kMaxBmpDimension));

    if (h.bitCount <= 8) {
        const qint64 depthColours = qint64(1) << h.bitCount;
        if (clrUsed > depthColours)
            Fail(QStringLiteral("%1 colours for a depth of %2 bits").arg(clrUsed).arg(h.bitCount));
        h.colourCount = clrUsed != 0 ? clrUsed : depthColours;
    } else {
        h.colourCount = clrUsed;  // an optional palette hint; stored, then skipped
    }

    h.stride = (h.width * h.bitCount + 31) / 32 * 4;
    const qint64 rowBytes = h.stride * h.rows;
    if (sizeImage != 0 && qint64(sizeImage) < rowBytes)
        Fail(QStringLiteral("image size %1 is shorter than its %2 bytes of rows").arg(sizeImage).arg(rowBytes));
    h.pixelBytes = sizeImage != 0 ? qint64(sizeImage) : rowBytes;
    return h;
}

}  // namespace

QImage ReadBmp(QByteArrayView data, qsizetype* consumed) {
    const BmpHeader h = ParseHeaders(data);
    const qint64 tableOffset = kFileHeaderSize + h.headerSize;
    const qint64 pixelOffset = tableOffset + h.colourCount * h.colourEntrySize;
    const qint64 extent = pixelOffset + h.pixelBytes;
    if (extent > data.size())
        Fail(QStringLiteral("image needs %1 bytes, only %2 are there").arg(extent).arg(data.size()));

    const auto* p = reinterpret_cast<const uchar*>(data.data());
    const int width = int(h.width);
    const int rows = int(h.rows);
    QImage image;
    if (h.bitCount <= 8) {
        image = QImage(width, rows, QImage::Format_Indexed8);
        if (image.isNull()) Fail(QStringLiteral("out of memory for %1 x %2").arg(width).arg(rows));
        QList<QRgb> table(qsizetype(1) << h.bitCount, qRgb(0, 0, 0));
        for (qint64 i = 0; i < h.colourCount; ++i) {
            const uchar* e = p + tableOffset + i * h.colourEntrySize;
            table[i] = qRgb(e[2], e[1], e[0]);
        }
        image.setColorTable(table);
        const int perByte = 8 / h.bitCount;
        const int mask = (1 << h.bitCount) - 1;
        for (int y = 0; y < rows; ++y) {
            const uchar* src = p + pixelOffset + qint64(y) * h.stride;
            uchar* dst = image.scanLine(h.topDown ? y : rows - 1 - y);
            if (h.bitCount == 8) {
                std::memcpy(dst, src, size_t(width));
                continue;
            }
            for (int x = 0; x < width; ++x) {
                const int shift = (perByte - 1 - x % perByte) * h.bitCount;
                dst[x] = uchar((src[x / perByte] >> shift) & mask);
            }
        }
    } else {
        image = QImage(width, rows, QImage::Format_RGB32);
        if (image.isNull()) Fail(QStringLiteral("out of memory for %1 x %2").arg(width).arg(rows));
        const int bytesPerPixel = h.bitCount / 8;
        for (int y = 0; y < rows; ++y) {
            const uchar* src = p + pixelOffset + qint64(y) * h.stride;
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(h.topDown ? y : rows - 1 - y));
            for (int x = 0; x < width; ++x, src += bytesPerPixel) dst[x] = qRgb(src[2], src[1], src[0]);
        }
    }
    if (consumed) *consumed = qsizetype(extent);
    return image;
}

namespace {

QByteArray WriteHeaders(int width, int height, int bitCount, int tableEntries, qint64 pixelBytes) {
    const qint64 offBits = kFileHeaderSize + kInfoHeaderSize + qint64(tableEntries) * 4;
    const qint64 total = offBits + pixelBytes;
    QByteArray out;
    out.reserve(qsizetype(total));
    out.append("BM", 2);
    Put32(out, quint32(total));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, quint32(offBits));
    Put32(out, kInfoHeaderSize);
    Put32(out, quint32(width));
    Put32(out, quint32(height));  // positive: rows stored bottom-up
    Put16(out, 1);
    Put16(out, quint16(bitCount));
    Put32(out, kBiRgb);
    Put32(out, quint32(pixelBytes));
    Put32(out, 0);  // horizontal resolution: not given
    Put32(out, 0);  // vertical resolution: not given
    Put32(out, 0);  // colours used: all of the depth
    Put32(out, 0);  // important colours: all
    return out;
}

void RequireImage(const QImage& image) {
    if (image.isNull()) throw SkinError(QStringLiteral("cannot write an empty picture as a bitmap"));
}

}  // namespace

QByteArray WriteBmp24(const QImage& image) {
    RequireImage(image);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const qint64 stride = (qint64(w) * 24 + 31) / 32 * 4;
    QByteArray out = WriteHeaders(w, h, 24, 0, stride * h);
    QByteArray row(qsizetype(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        auto* dst = reinterpret_cast<uchar*>(row.data());
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = uchar(qBlue(src[x]));
            dst[3 * x + 1] = uchar(qGreen(src[x]));
            dst[3 * x + 2] = uchar(qRed(src[x]));
        }
        out.append(row);
    }
    return out;
}

QByteArray WriteBmp8(const QImage& indexed8) {
    RequireImage(indexed8);
    const QImage img = indexed8.format() == QImage::Format_Indexed8
                           ? indexed8
                           : indexed8.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const int w = img.width();
    const int h = img.height();
    const qint64 stride = (qint64(w) + 3) / 4 * 4;
    QByteArray out = WriteHeaders(w, h, 8, 256, stride * h);
    const QList<QRgb> table = img.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        const char entry[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
        out.append(entry, 4);
    }
    QByteArray row(qsizetype(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        std::memcpy(row.data(), img.constScanLine(y), size_t(w));
        out.append(row);
    }
    return out;
}

QByteArray WriteBmp(const QImage& image) {
    return image.format() == QImage::Format_Indexed8 ? WriteBmp8(image) : WriteBmp24(image);
}

}  // namespace skin
