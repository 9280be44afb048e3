// "marlith lookup preview" run as a user runs it, without a display.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "support/HeadlessRun.h"

#ifdef MARLITH_PROGRAM
TEST(LookupPreviewCommand, WritesTheDialogAsAPicture) {
    QTemporaryDir dir;
    const QString out = dir.filePath("lookup.png");
    const auto run = [](const QStringList& args) {
        return testsupport::RunHeadless(QStringLiteral(MARLITH_PROGRAM), QStringList{"lookup", "preview"} + args);
    };
    const testsupport::HeadlessOutcome made = run({"--rows", "5", "--current", "2", "-o", out});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QImage img(out);
    EXPECT_EQ(img.size(), QSize(735, 415));
    EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);  // the white top band

    EXPECT_EQ(run({"--rows", "x", "-o", out}).code, 2);
}
#endif
