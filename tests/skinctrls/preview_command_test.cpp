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
