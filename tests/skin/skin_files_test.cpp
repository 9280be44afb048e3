// The workshop operations: the definition dump's JSON shapes, and packing a skin
// directory, unpacking it and packing again giving the same container.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include "skin/skin_test_print.h"

#include "skin/Bmp.h"
#include "skin/SkinFiles.h"
#include "skin/SkinIni.h"
#include "skin/StoredSkin.h"

namespace {

using namespace skin;

TEST(SkinDump, EveryValueKindHasItsJsonShape) {
    const SkinIni ini = SkinIni::FromText(
        "[VERSION]\nskinname=Slate\n[PICTURES]\n"
        "[FORMINFO]\nclientrect=1,2,3,4\ninactiveeffect=ieinvert\nbuttonsinleft=1\n"
        "[SKINOBJECTS]\ncount=2\n0=close:stdbutton\n1=x:animate\n"
        "[SKINCONTROLS]\ncount=1\n0=button:button\n"
        "[close]\ncommand=cmclose\n"
        "[button]\nfontstyle=fsstrikeout fsbold\nlefttoppoint=3,4\nmorphkind=mkpush\nactivefontcolor=16777215\n");
    const QJsonObject d = DumpSkinDefinition(ini);
    EXPECT_TRUE(d["valid"].toBool());
    EXPECT_EQ(d["version"]["skinname"].toString(), QString("Slate"));
    EXPECT_EQ(d["version"]["skincomments"].toString(), QString(""));
    EXPECT_EQ(d["forminfo"]["clientrect"].toArray(), (QJsonArray{1, 2, 3, 4}));
    EXPECT_EQ(d["forminfo"]["inactiveeffect"].toInt(), 5);
    EXPECT_EQ(d["forminfo"]["buttonsinleft"], QJsonValue(true));
    EXPECT_EQ(d["popupwindow"]["windowpictureindex"].toInt(), -1);
    EXPECT_EQ(d["hintwindow"]["fontname"].toString(), QString("Arial"));

    const QJsonArray objects = d["objects"].toArray();
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects[0]["name"].toString(), QString("close"));
    EXPECT_EQ(objects[0]["type"].toString(), QString("stdbutton"));
    EXPECT_EQ(objects[0]["class"].toString(), QString("TbsDataSkinStdButton"));
    EXPECT_EQ(objects[0]["fields"]["command"].toInt(), 0);
    EXPECT_EQ(objects[0]["fields"]["hint"].toString(), QString(""));  // inherited, defaulted
    EXPECT_EQ(objects[0]["fields"].toObject().size(), 14);

    const QJsonObject button = d["controls"][0]["fields"].toObject();
    EXPECT_EQ(button.size(), 20);
    EXPECT_EQ(button["fontstyle"].toArray(), (QJsonArray{"fsbold", "fsstrikeout"}));  // fixed order
    EXPECT_EQ(button["lefttoppoint"].toArray(), (QJsonArray{3, 4}));
    EXPECT_EQ(button["morphkind"].toInt(), 6);
    EXPECT_EQ(button["morphing"], QJsonValue(false));
    EXPECT_EQ(button["activefontcolor"].toInt(), 16777215);
    EXPECT_EQ(button["pictureindex"].toInt(), -1);

    EXPECT_FALSE(DumpSkinDefinition(SkinIni::FromText("[VERSION]\n"))["valid"].toBool());
}

class Workshop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(src.isValid() && out.isValid());
        QImage form(6, 4, QImage::Format_Indexed8);
        form.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
        form.fill(1);
        QImage active(3, 3, QImage::Format_RGB32);
        active.fill(qRgb(1, 2, 3));
        Write(src.filePath("pics/form.bmp"), WriteBmp8(form));
        Write(src.filePath("a.bmp"), WriteBmp24(active));
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Pack(const QString& ini) {
        TbsCompressedStoredSkin c;
        EXPECT_TRUE(c.LoadFromSkinFile(ini));
        return c.CompressedData();
    }
    QTemporaryDir src, out;
};

TEST_F(Workshop, PackUnpackPackGivesTheSameContainer) {
    Write(src.filePath("skin.ini"),
          "[VERSION]\n[PICTURES]\npicture=pics/form.bmp\nmask=\nactivepicturescount=2\n0=a.bmp\n1=a.bmp\n"
          "[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n");
    const QByteArray packed = Pack(src.filePath("skin.ini"));
    const UnpackResult r = UnpackCompressedSkin(packed, out.path());
    EXPECT_EQ(r.written, QStringList({"skin.ini", "pics/form.bmp", "a.bmp"}));
    EXPECT_TRUE(r.warnings.isEmpty());
    EXPECT_EQ(Pack(out.filePath("skin.ini")), packed);
}

TEST_F(Workshop, UnnamedPicturesGetMadeUpNamesAndUnsafeNamesAreRefused) {
    Write(src.filePath("skin.ini"),
          "[VERSION]\n[PICTURES]\npicture=pics/form.bmp\nactivepicturescount=1\n0=a.bmp\n"
          "[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n");
    const QByteArray packed = Pack(src.filePath("skin.ini"));
    TbsCompressedStoredSkin c;
    c.SetCompressedData(packed);
    const InflatedSkin inflated = ParseInflatedSkin(c.Inflate());

    auto repack = [&](const QByteArray& text) {
        QByteArray stream = QByteArray::fromHex("01000000");
        stream.append(WritePictureBlock(inflated.pictures.picture.image, QImage(), QImage(),
                                        {inflated.pictures.active[0].image}));
        stream.append(text);
        return DeflateSkin(stream);
    };

    const UnpackResult r = UnpackCompressedSkin(repack("[PICTURES]\r\n"), out.filePath("made-up"));
    EXPECT_EQ(r.written, QStringList({"skin.ini", "picture.bmp", "active0.bmp"}));
    EXPECT_EQ(r.warnings.size(), 2);

    for (const char* bad : {"../escape.bmp", "/tmp/abs.bmp", "pics/../../x.bmp", "SKIN.INI"}) {
        const QByteArray text = QByteArray("[PICTURES]\r\npicture=") + bad + "\r\n0=a.bmp\r\n";
        EXPECT_THROW(UnpackCompressedSkin(repack(text), out.filePath("bad")), SkinError) << bad;
        EXPECT_FALSE(QFileInfo::exists(out.filePath("bad/skin.ini"))) << "nothing is written";
    }
}

}  // namespace
