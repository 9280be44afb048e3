// User-defined characters on the printed requisition: drawn with the placeholder's font,
// or the site's once configured, never with the Ming face's own private-use glyphs; the
// PDF's text reads back with the same code points.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "report/RequisitionPdf.h"
#include "support/SiteFont.h"
#include "userchars/UserChars.h"

namespace {

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF of a requisition whose project, name and first line hold FA40, 8E40 and 8140.
QString WritePdf(const QString& path) {
    static int argc = 1;
    static char name[] = "report-tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    const QString udc = QString(QChar(0xE000)) + QChar(0xE311) + QChar(0xEEB8);
    report::Requisition r;
    r.number = QStringLiteral("P202605010001");
    r.date = QStringLiteral("2026/05/01");
    r.project = QStringLiteral("P") + udc;
    r.projectName = QStringLiteral("造字") + udc;
    r.lines.push_back({QStringLiteral("M") + udc, QStringLiteral("螺絲") + udc, QStringLiteral("包"), 3, 12.5, 38, {}, {}});
    report::SaveRequisitionPdf(r, path);
    return Output(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

TEST(UserDefinedCharactersPdf, DrawnWithThePlaceholderOrTheSitesFontAndReadBackAsWritten) {
    if (QStandardPaths::findExecutable("pdffonts").isEmpty()) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString udc = QString(QChar(0xE000)) + QChar(0xE311) + QChar(0xEEB8);
    const QString pdf = dir.filePath(QStringLiteral("placeholder.pdf"));
    const QString text = WritePdf(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("P") + udc)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("螺絲") + udc)) << text.toStdString();
    // The Ming face draws the rest; the user-defined characters come from the placeholder.
    const QString fonts = Output(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("UMing"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("MarlithUser-DefinedCharacterPlaceholder"))) << fonts.toStdString();

    ASSERT_EQ(userchars::UseSiteFont(testsupport::WriteSiteFont(dir.path())), QString());
    const QString site = dir.filePath(QStringLiteral("site.pdf"));
    EXPECT_TRUE(WritePdf(site).contains(QStringLiteral("P") + udc));
    const QString siteFonts = Output(QStringLiteral("pdffonts"), {site});
    // FA40 is the site's; 8E40 and 8140, which it lacks, stay placeholders.
    EXPECT_TRUE(siteFonts.contains(QStringLiteral("MarlithSiteUser-DefinedCharacters"))) << siteFonts.toStdString();
    EXPECT_TRUE(siteFonts.contains(QStringLiteral("MarlithUser-DefinedCharacterPlaceholder")));
    userchars::UseSiteFont(QString());

    // A file that is no font is refused with the reason; the placeholder stays.
    QFile junk(dir.filePath(QStringLiteral("junk.ttf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a font");
    junk.close();
    EXPECT_TRUE(userchars::UseSiteFont(junk.fileName()).contains(QStringLiteral("不是 TrueType")));
    EXPECT_EQ(userchars::Families(), QStringList{QStringLiteral("Marlith User-Defined Character Placeholder")});
}

}  // namespace
