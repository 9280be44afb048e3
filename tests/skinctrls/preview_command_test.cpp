// The control and message modes of "skin preview", run as a user runs the program.

#include <gtest/gtest.h>

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
