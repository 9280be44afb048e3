// "marlith lookup preview" run as a user runs it, without a display.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#ifdef MARLITH_PROGRAM
TEST(LookupPreviewCommand, WritesTheDialogAsAPicture) {
    QTemporaryDir dir;
    const QString out = dir.filePath("lookup.png");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MARLITH_PROGRAM), {"lookup", "preview", "--rows", "5", "--current", "2", "-o", out});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QImage img(out);
    EXPECT_EQ(img.size(), QSize(735, 415));
    EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);  // the white top band

    p.start(QStringLiteral(MARLITH_PROGRAM), {"lookup", "preview", "--rows", "x", "-o", out});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
}
#endif
