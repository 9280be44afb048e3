// The "skin preview" command from outside: the program run as a user runs it.

#include <QImage>
#include <QTemporaryDir>

#include "support/HeadlessRun.h"

#include "support/QtTestApp.h"
#include "TestSkin.h"

namespace {

QString Program() { return QStringLiteral(MARLITH_PROGRAM); }

using testsupport::HeadlessOutcome;

HeadlessOutcome Preview(const QStringList& args) {
    return testsupport::RunHeadless(Program(), QStringList{"skin", "preview"} + args);
}

TEST(SkinPreviewCommand, WritesTheWholeWindowAtTheAskedSize) {
    QTemporaryDir dir;
    frametest::TestSkin skin = frametest::StandardSkin();
    const QString ini = skin.Write();
    struct Case {
        QStringList args;
        QSize size;
    } cases[] = {
        {{"--frame", "--size", "333x222", "--title", QStringLiteral("物料需求計算")}, {333, 222}},
        {{"--frame", "--size", "250x90", "--no-skin", "--inactive"}, {250, 90}},
        {{"--frame", "--size", "301x77", "--skin", ini, "--title", "Test"}, {301, 77}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString out = dir.filePath(QStringLiteral("p%1.png").arg(n++));
        const HeadlessOutcome r = Preview(c.args + QStringList{"-o", out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QImage img(out);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), c.size);
    }
    // With the test skin, the top-left pixel is the form picture's (0, 0): red 0, green 0.
    const QImage skinned(dir.filePath("p2.png"));
    EXPECT_EQ(QColor(skinned.pixel(0, 0)), QColor(0, 0, 128));
}

TEST(SkinPreviewCommand, RendersTheSystemMenu) {
    QTemporaryDir dir;
    frametest::TestSkin skin = frametest::StandardSkin();
    const QString ini = skin.Write();
    const QStringList looks[] = {{}, {"--no-skin"}, {"--skin", ini}};
    QList<QImage> shots;
    for (const QStringList& look : looks) {
        const QString out = dir.filePath(QStringLiteral("m%1.png").arg(shots.size()));
        const HeadlessOutcome r = Preview(QStringList{"--menu"} + look + QStringList{"-o", out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        shots << QImage(out);
        ASSERT_FALSE(shots.back().isNull());
    }
    // Without the skin (and with a skin that has no menu pictures) the plain look: a
    // button-shadow outline and the first item hot in its light fill.
    for (int i : {1, 2}) {
        const QImage& img = shots[i];
        EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(128, 128, 128)) << i;
        EXPECT_EQ(QColor(img.pixel(img.width() - 10, 6)), QColor(0xB6, 0xBD, 0xD2)) << i;
        // Minimize, Maximize, Roll up of 20, a separator of 4, Close, the border.
        EXPECT_EQ(img.height(), 4 * 20 + 4 + 4) << i;
    }
    // The carried skin draws its own window picture: another look.
    EXPECT_NE(shots[0].pixel(shots[0].width() - 10, 6), shots[1].pixel(shots[1].width() - 10, 6));
}

TEST(SkinPreviewCommand, RejectsBadCommandLines) {
    QTemporaryDir dir;
    const QString out = dir.filePath("x.png");
    struct Case {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--size", "300x200", "-o", out}, "mode"},
        {{"--frame", "--size", "300x", "-o", out}, "bad size"},
        {{"--frame", "--size", "300x200"}, "-o"},
        {{"--frame", "--size", "60x20", "-o", out}, "smaller"},
        {{"--frame", "--size", "300x200", "--no-skin", "--skin", "a.ini", "-o", out}, "exclude"},
        {{"--frame", "--size", "300x200", "--bogus", "-o", out}, "--bogus"},
        {{"--menu", "--frame", "-o", out}, "one mode"},
    };
    for (const Case& c : cases) {
        const HeadlessOutcome r = Preview(c.args);
        EXPECT_EQ(r.code, 2) << c.says;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
    const HeadlessOutcome missing = Preview({"--frame", "--size", "300x200", "--skin", dir.filePath("none.ini"), "-o", out});
    EXPECT_EQ(missing.code, 1);
}

}  // namespace
