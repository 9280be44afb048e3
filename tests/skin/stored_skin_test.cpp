// The stored and compressed skin containers: the picture block byte for byte, building
// both containers from a skin directory, and loading them into TbsSkinData with the
// skin-change messages in their order.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "skin/skin_test_print.h"

#include "skin/Bmp.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"

namespace {

using namespace skin;

QImage Indexed(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table << qRgb(i, (i * 7 + seed) % 256, 255 - i);
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, uint((x * 3 + y * 5 + seed) % 256));
    return img;
}

QImage Rgb(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 9 % 256, y * 11 % 256, 77));
    return img;
}

const char* kIni =
    "[VERSION]\r\nskinname=Test skin\r\n"
    "[PICTURES]\r\npicture=form.bmp\r\ninactivepicture=\r\nmask=\r\nactivepicturescount=2\r\n0=a0.bmp\r\n1=a1.bmp\r\n"
    "[FORMINFO]\r\nclientrect=3,20,17,26\r\n"
    "[SKINOBJECTS]\r\ncount=2\r\n0=caption:caption\r\n1=flash:animate\r\n"
    "[SKINCONTROLS]\r\ncount=1\r\n0=panel:panel\r\n"
    "[caption]\r\nactivepictureindex=1\r\n"
    "[panel]\r\npictureindex=0\r\nskinrect=0,0,5,5\r\n";

class SkinDir : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Write("skin.ini", kIni);
        Write("form.bmp", WriteBmp8(Indexed(21, 30, 1)));
        Write("a0.bmp", WriteBmp24(Rgb(7, 5)));
        Write("a1.bmp", WriteBmp8(Indexed(9, 4, 2)));
    }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString Ini() const { return dir.filePath("skin.ini"); }
    QTemporaryDir dir;
};

TEST(PictureBlock, LayoutByteForByte) {
    const QImage pic = Indexed(5, 3, 0);
    const QImage a0 = Rgb(3, 2);
    const QImage a1 = Indexed(2, 2, 9);
    const QByteArray block = WritePictureBlock(pic, QImage(), QImage(), {a0, a1});

    const QByteArray picBmp = WriteBmp8(pic);
    QByteArray expected;
    expected.append('\0').append(picBmp).append('\1').append('\1');
    expected.append(QByteArray::fromHex("02000000"));
    expected.append(WriteBmp24(a0)).append(WriteBmp8(a1));
    ASSERT_EQ(block, expected);

    qsizetype used = 0;
    const PictureBlock read = ReadPictureBlock(block + "definition text follows", &used);
    EXPECT_EQ(used, block.size());
    EXPECT_EQ(read.picture.bmp, picBmp);
    EXPECT_EQ(read.picture.image.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(read.inactivePicture.image.isNull());
    EXPECT_TRUE(read.mask.image.isNull());
    ASSERT_EQ(read.active.size(), 2);
    EXPECT_EQ(read.active[0].image, a0);
    EXPECT_EQ(read.active[1].image.pixelIndex(1, 1), a1.pixelIndex(1, 1));
    // What was read writes back to the same bytes.
    EXPECT_EQ(WritePictureBlock(read.picture.image, read.inactivePicture.image, read.mask.image,
                                {read.active[0].image, read.active[1].image}),
              block);
}

TEST(PictureBlock, CountsOfZeroOrLessAndAnyNonZeroFlagMeanNone) {
    for (const char* count : {"00000000", "FFFFFFFF", "00000080"}) {
        const QByteArray block = QByteArray("\x01\x07\xFF", 3) + QByteArray::fromHex(count);
        qsizetype used = 0;
        const PictureBlock b = ReadPictureBlock(block, &used);
        EXPECT_EQ(used, 7) << count;
        EXPECT_TRUE(b.picture.image.isNull());
        EXPECT_TRUE(b.active.isEmpty()) << count;
    }
}

TEST(PictureBlock, EveryTruncationAndAHostileCountAreRefused) {
    const QByteArray block = WritePictureBlock(Indexed(3, 2, 0), QImage(), Rgb(2, 2), {Rgb(1, 1), Indexed(1, 1, 0)});
    EXPECT_NO_THROW(ReadPictureBlock(block));
    for (qsizetype n = 0; n < block.size(); ++n) EXPECT_THROW(ReadPictureBlock(block.first(n)), SkinError) << n;

    QByteArray hostile = QByteArray("\x01\x01\x01", 3) + QByteArray::fromHex("FFFFFF7F") + WriteBmp24(Rgb(1, 1));
    try {
        ReadPictureBlock(hostile);
        ADD_FAILURE() << "accepted";
    } catch (const SkinError& e) {
        EXPECT_NE(std::string(e.what()).find("active picture 1 of 2147483647"), std::string::npos) << e.what();
    }
}

TEST_F(SkinDir, StoredSkinFromFilesAndItsPicturesData) {
    TbsStoredSkin stored;
    stored.LoadFromSkinFile(Ini());
    EXPECT_EQ(stored.IniStrings.size(), QString(kIni).count("\r\n"));
    EXPECT_EQ(stored.IniStrings.first(), QString("[VERSION]"));
    EXPECT_EQ(stored.Picture.size(), QSize(21, 30));
    EXPECT_EQ(stored.Picture.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(stored.InactivePicture.isNull());
    EXPECT_TRUE(stored.Mask.isNull());
    ASSERT_EQ(stored.ActivePictures.size(), 2);
    EXPECT_EQ(stored.ActivePictures[0].format(), QImage::Format_RGB32);

    const QByteArray pictures = stored.WritePictures();
    EXPECT_EQ(pictures[0], '\0');
    TbsStoredSkin copy;
    copy.ReadPictures(pictures);
    EXPECT_EQ(copy.WritePictures(), pictures);
    EXPECT_THROW(copy.ReadPictures(pictures.first(pictures.size() - 1)), SkinError);
    EXPECT_EQ(copy.WritePictures(), pictures) << "a failed read changes nothing";
}

TEST_F(SkinDir, MissingOrUnnamedBitmapIsAClearErrorAndChangesNothing) {
    TbsStoredSkin stored;
    stored.LoadFromSkinFile(Ini());
    const QStringList before = stored.IniStrings;

    QFile::remove(dir.filePath("a1.bmp"));
    try {
        stored.LoadFromSkinFile(Ini());
        ADD_FAILURE() << "accepted";
    } catch (const SkinError& e) {
        EXPECT_NE(std::string(e.what()).find("a1.bmp"), std::string::npos) << e.what();
    }
    EXPECT_EQ(stored.IniStrings, before);
    EXPECT_EQ(stored.ActivePictures.size(), 2);

    Write("skin.ini", QByteArray(kIni).replace("1=a1.bmp", "1="));
    EXPECT_THROW(stored.LoadFromSkinFile(Ini()), SkinError);
    TbsCompressedStoredSkin compressed;
    EXPECT_THROW(compressed.LoadFromSkinFile(Ini()), SkinError);
    EXPECT_TRUE(compressed.IsEmpty());
    EXPECT_THROW(stored.LoadFromSkinFile(dir.filePath("absent.ini")), SkinError);
}

TEST_F(SkinDir, CompressedSkinIsOneLevelNineStreamOfVersionPicturesAndText) {
    TbsStoredSkin stored;
    stored.LoadFromSkinFile(Ini());
    TbsCompressedStoredSkin compressed;
    ASSERT_TRUE(compressed.LoadFromSkinFile(Ini()));
    const QByteArray data = compressed.CompressedData();
    ASSERT_GE(data.size(), 2);
    EXPECT_EQ(quint8(data[0]), 0x78);  // zlib header: deflate, 32K window ...
    EXPECT_EQ(quint8(data[1]), 0xDA);  // ... best compression

    const QByteArray inflated = compressed.Inflate();
    EXPECT_EQ(qFromLittleEndian<qint32>(inflated.constData()), 1);
    const QByteArray pictures = stored.WritePictures();
    EXPECT_EQ(inflated.mid(4, pictures.size()), pictures);
    EXPECT_EQ(inflated.mid(4 + pictures.size()), QByteArray(kIni));
    EXPECT_EQ(DeflateSkin(inflated), data);

    // A file with LF line ends is stored with CR LF.
    Write("skin.ini", QByteArray(kIni).replace("\r\n", "\n"));
    ASSERT_TRUE(compressed.LoadFromSkinFile(Ini()));
    EXPECT_EQ(compressed.Inflate().mid(4 + pictures.size()), QByteArray(kIni));

    // A definition without one of the five sections leaves the component as it was.
    Write("skin.ini", QByteArray(kIni).replace("[FORMINFO]", "[FORM]"));
    const QByteArray before = compressed.CompressedData();
    EXPECT_FALSE(compressed.LoadFromSkinFile(Ini()));
    EXPECT_EQ(compressed.CompressedData(), before);
}

struct Log : SkinMessageReceiver {
    void SkinMessage(skin::SkinChange message, TbsSkinData* data) override {
        events.push_back(std::to_string(static_cast<int>(message)) + (data->IsEmpty() ? " empty" : " loaded"));
    }
    std::vector<std::string> events;
};

const std::vector<std::string> kLoaded = {"1225 empty", "1226 loaded", "1227 loaded"};
const std::vector<std::string> kStopped = {"1225 empty", "1226 empty", "1227 empty"};

void ExpectLoaded(const TbsSkinData& data) {
    EXPECT_FALSE(data.IsEmpty());
    EXPECT_EQ(data.skinname, QString("Test skin"));
    EXPECT_EQ(data.Picture.size(), QSize(21, 30));
    EXPECT_EQ(data.ActivePictures.size(), 2);
    EXPECT_EQ(data.FormInfo.clientrect, (Rect{3, 20, 17, 26}));
    ASSERT_EQ(data.SkinObjects.size(), 1u);
    ASSERT_EQ(data.SkinControls.size(), 1u);
    EXPECT_EQ(data.SkinControls[0]->skinrect, (Rect{0, 0, 5, 5}));
}

TEST_F(SkinDir, BothContainersLoadInOrderAndTheSkinOutlivesThem) {
    auto stored = std::make_unique<TbsStoredSkin>();
    stored->LoadFromSkinFile(Ini());
    auto compressed = std::make_unique<TbsCompressedStoredSkin>();
    ASSERT_TRUE(compressed->LoadFromSkinFile(Ini()));

    Log owner;
    TbsSkinData data;
    data.SetOwnerReceiver(&owner);
    data.SetStoredSkin(stored.get());
    EXPECT_EQ(owner.events, kLoaded);
    ExpectLoaded(data);

    owner.events.clear();
    data.SetCompressedStoredSkin(compressed.get());
    EXPECT_EQ(owner.events, kLoaded);
    ExpectLoaded(data);

    stored.reset();
    compressed.reset();
    EXPECT_EQ(data.StoredSkin(), nullptr);
    EXPECT_EQ(data.CompressedStoredSkin(), nullptr);
    ExpectLoaded(data);
}

TEST_F(SkinDir, LoadsThatStopLeaveAnEmptySkinAfterTheClosingMessages) {
    Log owner;
    TbsSkinData data;
    data.SetOwnerReceiver(&owner);

    TbsStoredSkin invalid;
    invalid.LoadFromSkinFile(Ini());
    invalid.IniStrings.removeAll("[SKINCONTROLS]");
    data.LoadFromStoredSkin(invalid);
    EXPECT_EQ(owner.events, kStopped);
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_TRUE(data.Picture.isNull());

    // An empty compressed container is ignored without a message.
    owner.events.clear();
    TbsCompressedStoredSkin compressed;
    data.LoadFromCompressedStoredSkin(compressed);
    EXPECT_TRUE(owner.events.empty());

    // Another version marker: nothing is read.
    ASSERT_TRUE(compressed.LoadFromSkinFile(Ini()));
    QByteArray inflated = compressed.Inflate();
    qToLittleEndian<qint32>(2, inflated.data());
    compressed.SetCompressedData(DeflateSkin(inflated));
    data.LoadFromCompressedStoredSkin(compressed);
    EXPECT_EQ(owner.events, kStopped);
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_TRUE(data.SkinControls.empty());

    // A definition without sections in a compressed skin still loads: no validity test.
    compressed.SetCompressedData(DeflateSkin(QByteArray::fromHex("01000000" "010101" "00000000") + "junk\r\n"));
    owner.events.clear();
    data.LoadFromCompressedStoredSkin(compressed);
    EXPECT_EQ(owner.events, kLoaded);
    EXPECT_EQ(data.FormInfo.bgpictureindex, -1);
}

TEST_F(SkinDir, MalformedCompressedDataIsReportedAfterTheClosingMessages) {
    TbsCompressedStoredSkin good;
    ASSERT_TRUE(good.LoadFromSkinFile(Ini()));
    const QByteArray data = good.CompressedData();
    QByteArray flipped = data;
    flipped[data.size() / 2] = char(flipped[data.size() / 2] ^ 0x55);

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"not zlib", QByteArray("plain text, not a zlib stream"), "corrupt"},
        {"damaged", flipped, "corrupt"},
        {"cut short", data.first(data.size() / 2), "cut short"},
        {"broken pictures", DeflateSkin(QByteArray::fromHex("01000000" "00") + "BM"), "picture"},
        {"no marker", DeflateSkin(QByteArray("\x01\x00", 2)), "version marker"},
    };
    for (const auto& c : cases) {
        Log owner;
        TbsSkinData skin;
        skin.SetOwnerReceiver(&owner);
        TbsCompressedStoredSkin compressed;
        compressed.SetCompressedData(c.bytes);
        try {
            skin.LoadFromCompressedStoredSkin(compressed);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const SkinError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
        EXPECT_EQ(owner.events, kStopped) << c.name;
        EXPECT_TRUE(skin.IsEmpty());
    }
}

TEST(CompressedSkin, InflationStopsAtItsLimit) {
    TbsCompressedStoredSkin bomb;
    bomb.SetCompressedData(DeflateSkin(QByteArray(kMaxInflatedSkinSize + 1, '\0')));
    EXPECT_LT(bomb.CompressedData().size(), 200 * 1024);
    EXPECT_THROW(bomb.Inflate(), SkinError);
}

}  // namespace
