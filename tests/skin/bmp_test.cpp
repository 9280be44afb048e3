// The BMP codec: reading every depth the skins use, the exact extent of an image inside a
// longer stream (the containers hold bitmaps back to back), refusals of malformed input,
// and round trips through the writers.

#include <gtest/gtest.h>

#include <QtEndian>

#include "skin/Bmp.h"

namespace {

using skin::ReadBmp;
using skin::SkinError;

void Put16(QByteArray& b, quint16 v) {
    uchar x[2];
    qToLittleEndian(v, x);
    b.append(reinterpret_cast<char*>(x), 2);
}
void Put32(QByteArray& b, quint32 v) {
    uchar x[4];
    qToLittleEndian(v, x);
    b.append(reinterpret_cast<char*>(x), 4);
}

// A hand-made BMP file image with a 40-byte info header. The file header's size and
// offset fields are deliberately filled with junk: readers must not rely on them.
struct BmpFields {
    qint32 width = 1;
    qint32 height = 1;
    quint16 planes = 1;
    quint16 bits = 24;
    quint32 compression = 0;
    quint32 sizeImage = 0;
    quint32 clrUsed = 0;
    QList<QRgb> table;  // written as B,G,R,0
    QByteArray pixels;  // written as is
};

QByteArray Build(const BmpFields& s) {
    QByteArray b("BM");
    Put32(b, 0xDEADBEEF);
    Put32(b, 0);
    Put32(b, 0xFFFF);
    Put32(b, 40);
    Put32(b, quint32(s.width));
    Put32(b, quint32(s.height));
    Put16(b, s.planes);
    Put16(b, s.bits);
    Put32(b, s.compression);
    Put32(b, s.sizeImage);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, s.clrUsed);
    Put32(b, 0);
    for (QRgb c : s.table) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append('\0');
    }
    b.append(s.pixels);
    return b;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

TEST(BmpRead, OneBitRowsBottomUpMostSignificantBitFirst) {
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.bits = 1;
    s.table = {kRed, kBlue};
    // bottom row first: 1,0,1 ; top row: 0,1,1 ; each row padded to 4 bytes
    s.pixels = QByteArray::fromHex("A0000000" "60000000");
    const QByteArray bytes = Build(s) + "trailing";
    qsizetype used = 0;
    const QImage img = ReadBmp(bytes, &used);
    EXPECT_EQ(used, bytes.size() - 8);
    ASSERT_EQ(img.format(), QImage::Format_Indexed8);
    EXPECT_EQ(img.pixel(0, 0), kRed);
    EXPECT_EQ(img.pixel(1, 0), kBlue);
    EXPECT_EQ(img.pixel(2, 0), kBlue);
    EXPECT_EQ(img.pixel(0, 1), kBlue);
    EXPECT_EQ(img.pixel(1, 1), kRed);
    EXPECT_EQ(img.pixel(2, 1), kBlue);
}

TEST(BmpRead, FourBitWithUsedColoursOnlyTable) {
    BmpFields s;
    s.width = 3;
    s.height = 1;
    s.bits = 4;
    s.clrUsed = 3;
    s.table = {kRed, kGreen, kBlue};
    s.pixels = QByteArray::fromHex("12000000");  // 1,2,0 (high nibble first)
    const QByteArray bytes = Build(s);
    qsizetype used = 0;
    const QImage img = ReadBmp(bytes + QByteArray(100, 'x'), &used);
    EXPECT_EQ(used, bytes.size());
    EXPECT_EQ(img.pixel(0, 0), kGreen);
    EXPECT_EQ(img.pixel(1, 0), kBlue);
    EXPECT_EQ(img.pixel(2, 0), kRed);
    // Indexes the file did not give a colour for still have one.
    EXPECT_EQ(img.colorTable().size(), 16);
}

TEST(BmpRead, EightBitFullTableWhenCountIsZero) {
    BmpFields s;
    s.width = 2;
    s.height = 2;
    s.bits = 8;
    for (int i = 0; i < 256; ++i) s.table << qRgb(i, 255 - i, i / 2);
    s.pixels = QByteArray::fromHex("05060000" "FF000000");
    const QByteArray bytes = Build(s);
    qsizetype used = 0;
    const QImage img = ReadBmp(bytes + "more", &used);
    EXPECT_EQ(used, 54 + 1024 + 8);
    EXPECT_EQ(img.pixelIndex(0, 0), 0xFF);
    EXPECT_EQ(img.pixelIndex(0, 1), 5);
    EXPECT_EQ(img.pixelIndex(1, 1), 6);
    EXPECT_EQ(img.pixel(0, 1), qRgb(5, 250, 2));
}

TEST(BmpRead, TwentyFourBitTopDownAndImageSizeExtent) {
    BmpFields s;
    s.width = 2;
    s.height = -2;  // top-down
    s.sizeImage = 20;  // larger than the 16 bytes of rows: the extent follows the header
    s.pixels = QByteArray::fromHex("0000FF00FF00" "0000" "FF0000FFFFFF" "0000" "ABCDABCD");
    const QByteArray bytes = Build(s);
    qsizetype used = 0;
    const QImage img = ReadBmp(bytes + "zz", &used);
    EXPECT_EQ(used, bytes.size());
    ASSERT_EQ(img.format(), QImage::Format_RGB32);
    EXPECT_EQ(img.pixel(0, 0), kRed);
    EXPECT_EQ(img.pixel(1, 0), kGreen);
    EXPECT_EQ(img.pixel(0, 1), kBlue);
    EXPECT_EQ(img.pixel(1, 1), kWhite);
}

TEST(BmpRead, CoreHeaderWithThreeByteColourEntries) {
    QByteArray b("BM");
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 12);
    Put16(b, 2);  // width
    Put16(b, 1);  // height
    Put16(b, 1);  // planes
    Put16(b, 1);  // bits
    b.append(QByteArray::fromHex("0000FF" "FF0000"));  // red, blue as B,G,R
    b.append(QByteArray::fromHex("40000000"));         // pixels 0,1
    qsizetype used = 0;
    const QImage img = ReadBmp(b + "tail", &used);
    EXPECT_EQ(used, b.size());
    EXPECT_EQ(img.pixel(0, 0), kRed);
    EXPECT_EQ(img.pixel(1, 0), kBlue);
}

TEST(BmpRead, RefusesMalformedImagesWithAClearMessage) {
    BmpFields good;
    good.width = 2;
    good.height = 2;
    good.pixels = QByteArray(16, '\0');

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    };
    std::vector<Case> cases;
    {
        QByteArray b = Build(good);
        b[0] = 'X';
        cases.push_back({"type", b, "\"BM\""});
    }
    auto with = [&](auto change) {
        BmpFields s = good;
        change(s);
        return Build(s);
    };
    cases.push_back({"planes", with([](BmpFields& s) { s.planes = 2; }), "planes"});
    cases.push_back({"depth 16", with([](BmpFields& s) { s.bits = 16; }), "bit depth"});
    cases.push_back({"rle", with([](BmpFields& s) { s.compression = 1; }), "compressed"});
    cases.push_back({"zero width", with([](BmpFields& s) { s.width = 0; }), "empty"});
    cases.push_back({"huge", with([](BmpFields& s) { s.width = 20000; }), "larger"});
    cases.push_back({"huge top-down", with([](BmpFields& s) { s.height = -20000; }), "larger"});
    cases.push_back({"too many colours", with([](BmpFields& s) { s.bits = 8; s.clrUsed = 257; }), "colours"});
    cases.push_back({"short image size", with([](BmpFields& s) { s.sizeImage = 15; }), "shorter"});
    cases.push_back({"pixels missing", with([](BmpFields& s) { s.pixels.chop(1); }), "needs"});
    cases.push_back({"hostile colour count", with([](BmpFields& s) { s.clrUsed = 0xFFFFFFFF; }), "needs"});
    {
        QByteArray b = Build(good);
        qToLittleEndian<quint32>(64, b.data() + 14);
        cases.push_back({"header size", b, "header size"});
    }
    for (const auto& c : cases) {
        try {
            ReadBmp(c.bytes);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const SkinError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

TEST(BmpRead, EveryTruncationIsRefused) {
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.bits = 8;
    s.clrUsed = 2;
    s.table = {kRed, kBlue};
    s.pixels = QByteArray(8, '\1');
    const QByteArray bytes = Build(s);
    EXPECT_NO_THROW(ReadBmp(bytes));
    for (qsizetype n = 0; n < bytes.size(); ++n) EXPECT_THROW(ReadBmp(bytes.first(n)), SkinError) << n;
}

QImage Sample24(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 40 % 256, y * 70 % 256, (x + y) * 13 % 256));
    return img;
}

TEST(BmpWrite, TwentyFourBitRoundTripWithTotalLengthInHeader) {
    for (int w : {1, 2, 3, 4, 5, 67}) {
        const QImage img = Sample24(w, 3);
        const QByteArray bytes = skin::WriteBmp24(img);
        const qint64 stride = (w * 3 + 3) / 4 * 4;
        ASSERT_EQ(bytes.size(), 54 + stride * 3) << w;
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 10), 54u);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
        qsizetype used = 0;
        const QImage back = ReadBmp(bytes, &used);
        EXPECT_EQ(used, bytes.size());
        EXPECT_EQ(back, img) << w;
        EXPECT_EQ(skin::WriteBmp(back), bytes) << "write(read(x)) must give x";
    }
}

TEST(BmpWrite, EightBitRoundTripKeepsIndexesAndFullTable) {
    QImage img(5, 2, QImage::Format_Indexed8);
    img.setColorTable({kRed, kGreen, kBlue});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) img.setPixel(x, y, uint((x + y) % 3));
    const QByteArray bytes = skin::WriteBmp8(img);
    EXPECT_EQ(bytes.size(), 54 + 1024 + 8 * 2);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 8);
    const QImage back = ReadBmp(bytes);
    ASSERT_EQ(back.format(), QImage::Format_Indexed8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(back.pixelIndex(x, y), img.pixelIndex(x, y));
            EXPECT_EQ(back.pixel(x, y), img.pixel(x, y));
        }
    EXPECT_EQ(skin::WriteBmp(back), bytes);
}

TEST(BmpWrite, ReducesAColourImageForEightBitsAndRefusesNull) {
    const QImage img = Sample24(4, 4);
    const QImage back = ReadBmp(skin::WriteBmp8(img));
    EXPECT_EQ(back.format(), QImage::Format_Indexed8);
    EXPECT_EQ(back.size(), img.size());
    EXPECT_THROW(skin::WriteBmp24(QImage()), SkinError);
    EXPECT_THROW(skin::WriteBmp8(QImage()), SkinError);
}

}  // namespace
