// The control and message modes of "skin preview", run as a user runs the program.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "support/HeadlessRun.h"

#include "skinctrls/control_fixture.h"

#ifdef MARLITH_PROGRAM
namespace {

using testsupport::HeadlessOutcome;

HeadlessOutcome Preview(const QStringList& args) {
    return testsupport::RunHeadless(QStringLiteral(MARLITH_PROGRAM), QStringList{"skin", "preview"} + args);
}

TEST(SkinPreviewControls, PicturesAtTheFittedSize) {
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        QSize size;
    } cases[] = {
        {{"--control", "button", "--size", "75x25", "--caption", QStringLiteral("確定")}, {75, 28}},
        {{"--control", "button", "--size", "75x25", "--no-skin", "--state", "down"}, {75, 25}},
        {{"--control", "edit", "--size", "121x20", "--button-mode", "--state", "hot"}, {121, 18}},
        {{"--control", "hscrollbar", "--size", "200x20", "--state", "disabled"}, {200, 17}},
        {{"--control", "vscrollbar", "--size", "20x150"}, {17, 150}},
        {{"--control", "hscrollbar", "--entry", "bothhscrollbar", "--size", "150x20"}, {150, 17}},
        {{"--control", "groupbox", "--size", "200x90", "--caption", "Orders"}, {200, 90}},
        {{"--control", "button", "--state", "focused"}, {75, 28}},
        {{"--control", "grid", "--size", "300x160", "--state", "down"}, {300, 160}},
        {{"--control", "grid", "--no-skin"}, {420, 180}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString out = dir.filePath(QStringLiteral("c%1.png").arg(n++));
        const HeadlessOutcome r = Preview(c.args + QStringList{"-o", out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QImage img(out);
        EXPECT_EQ(img.size(), c.size) << c.args.join(' ').toStdString();
    }
    // The plain pressed button: navy frame, pressed fill.
    const QImage down(dir.filePath("c1.png"));
    EXPECT_EQ(skinctrls::PixelColor(down, 0, 0), 0x800000);
    EXPECT_EQ(skinctrls::PixelColor(down, 3, 3), 0xB59385);

    const QString msg = dir.filePath("m.png");
    const HeadlessOutcome r = Preview({"--message", QStringLiteral("資料寫入成功..!"), "--kind", "2", "--buttons", "OK", "-o", msg});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_GT(QImage(msg).width(), 100);
}

// On a screen with twice the logical pixels (QT_SCALE_FACTOR=2) a picture holds the
// device's pixels, the text drawn at that resolution rather than drawn at 1x and blown
// up: where the text changes the picture, some 2x2 cell is changed only in part. The
// skin pictures under it are scaled smoothly, not pixel by pixel.
TEST(SkinPreviewControls, TextAtTheDevicesResolutionOnAFinerScreen) {
    QTemporaryDir dir;
    auto render = [&](const QStringList& args, const char* scale, const QString& name) {
        qputenv("QT_SCALE_FACTOR", scale);
        const QString out = dir.filePath(name + ".png");
        const HeadlessOutcome r = Preview(args + QStringList{"-o", out});
        qunsetenv("QT_SCALE_FACTOR");
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };
    // Each aligned 2x2 cell: whether its four pixels are the same (pixels doubled).
    auto doubled = [](const QImage& img, int x, int y) {
        const QRgb p = img.pixel(x, y);
        return img.pixel(x + 1, y) == p && img.pixel(x, y + 1) == p && img.pixel(x + 1, y + 1) == p;
    };
    struct Case {
        QStringList args;
        QString option, text;  // the text, and what stands for no text
    } cases[] = {
        {{"--control", "button"}, "--caption", QStringLiteral("確定")},
        {{"--control", "button", "--no-skin"}, "--caption", QStringLiteral("確定")},
        {{"--control", "groupbox", "--size", "200x90"}, "--caption", QStringLiteral("訂購商品統計")},
        {{"--frame", "--size", "300x120"}, "--title", QStringLiteral("物料需求計算")},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QString tag = QString::number(n++);
        const QImage one = render(c.args + QStringList{c.option, c.text}, "1", tag + "-1");
        const QImage two = render(c.args + QStringList{c.option, c.text}, "2", tag + "-2");
        const QImage bare = render(c.args + QStringList{c.option, " "}, "2", tag + "-bare");
        ASSERT_FALSE(one.isNull());
        ASSERT_EQ(two.size(), one.size() * 2);
        ASSERT_EQ(bare.size(), two.size());
        int textCells = 0, partCells = 0;
        for (int y = 0; y + 1 < two.height(); y += 2)
            for (int x = 0; x + 1 < two.width(); x += 2) {
                int changed = 0;
                for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                    changed += two.pixel(x + d.x(), y + d.y()) != bare.pixel(x + d.x(), y + d.y());
                textCells += changed > 0;
                partCells += changed > 0 && (changed < 4 || !doubled(two, x, y));
            }
        EXPECT_GT(textCells, 10) << "the text shows";
        EXPECT_GT(partCells, textCells / 4) << "the text's pixels are not 2x2 blocks";
        if (c.args.contains("button") && !c.args.contains("--no-skin")) {
            int smooth = 0;
            for (int y = 0; y + 1 < bare.height(); y += 2)
                for (int x = 0; x + 1 < bare.width(); x += 2) smooth += !doubled(bare, x, y);
            EXPECT_GT(smooth, 0) << "the skin's picture is scaled smoothly";
        }
    }
}

// A skin is data from outside: rectangles far beyond any picture cannot size a control
// to millions of pixels, and one that leaves a control no area is named.
TEST(SkinPreviewControls, SkinRectanglesAreBoundedAndAnEmptyElementIsNamed) {
    QTemporaryDir dir;
    const QDir carried(QStringLiteral(MARLITH_CARRIED_SKIN_DIR));
    for (const QString& f : carried.entryList(QDir::Files)) QFile::copy(carried.filePath(f), dir.filePath(f));
    QFile ini(carried.filePath("skin.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString original = QString::fromLatin1(ini.readAll());
    // The skinrect of the first section named, replaced by the given one.
    auto skinWith = [&](const QString& section, const QString& rect) {
        QString text = original;
        const qsizetype at = text.indexOf(QStringLiteral("skinrect="), text.indexOf("[" + section + "]"));
        text.replace(at, text.indexOf('\n', at) - at, "skinrect=" + rect);
        const QString path = dir.filePath(section + ".ini");
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text.toLatin1());
        return path;
    };
    struct Case {
        const char* section;
        const char* rect;
        int code;
        const char* says;
    } cases[] = {
        {"edit", "329,162,369,2000000000", 0, ""},
        {"hscrollbar", "39,226,2000000000,243", 0, ""},
        {"edit", "329,162,329,162", 1, "the edit collapsed to nothing"},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath("out.png");
        QFile::remove(out);
        const HeadlessOutcome r = Preview({"--control", c.section, "--skin", skinWith(c.section, c.rect), "-o", out});
        EXPECT_EQ(r.code, c.code) << c.section << " " << c.rect << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        if (c.code == 0) {
            const QImage img(out);
            EXPECT_LE(img.width(), 2 * 16384) << c.rect;
            EXPECT_LE(img.height(), 2 * 16384) << c.rect;
        }
    }
}

TEST(SkinPreviewControls, RejectsBadCommandLines) {
    QTemporaryDir dir;
    const QString out = dir.filePath("x.png");
    struct Case {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"-o", out, "--control"}, "needs a value"},
        {{"--control", "knob", "-o", out}, "unknown control"},
        {{"--control", "button", "--state", "sleepy", "-o", out}, "unknown state"},
        {{"--message", "Hi", "--buttons", "OK,Maybe", "-o", out}, "Maybe"},
        {{"--message", "Hi", "--kind", "9", "-o", out}, "kind"},
        {{"--control", "button", "--frame", "--size", "300x200", "-o", out}, "one mode"},
    };
    for (const Case& c : cases) {
        const HeadlessOutcome r = Preview(c.args);
        EXPECT_EQ(r.code, 2) << c.says << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
#endif
