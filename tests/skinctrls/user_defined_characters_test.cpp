// User-defined characters of the Big5 data (FA40 reads as U+E000) in the project edit and
// in a grid cell: never the Ming face's own glyph for that code point, but the placeholder
// box, or the site's glyph once a site font is configured; the text keeps its bytes.

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QLineEdit>
#include <QTemporaryDir>

#include "data/MemTable.h"
#include "db/CodePage.h"
#include "preview/ControlPreview.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/control_fixture.h"
#include "support/SiteFont.h"
#include "userchars/UserChars.h"

namespace skinctrls {
namespace {

using namespace skinctrls::test;

const QString kFA40 = QString(QChar(0xE000));

// The inked pixels (close to colour c) inside r, cropped to their bounds.
struct Ink {
    QRect box;
    QImage mask;  // box's size, 1 where inked

    int Count(QRect r) const {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += mask.pixelIndex(x, y);
        return n;
    }
    double Fill() const { return box.isEmpty() ? 0 : Count(mask.rect()) / double(box.width() * box.height()); }
    // The placeholder's box: every side of the bounds inked nearly all along.
    bool Framed() const {
        if (box.width() < 5 || box.height() < 5) return false;
        const QRect m = mask.rect();
        const double w = m.width(), h = m.height();
        return Count({m.left(), m.top(), m.width(), 1}) > 0.8 * w && Count({m.left(), m.bottom(), m.width(), 1}) > 0.8 * w &&
               Count({m.left(), m.top(), 1, m.height()}) > 0.8 * h && Count({m.right(), m.top(), 1, m.height()}) > 0.8 * h;
    }
};

Ink InkOf(const QImage& img, QRect r, platform::TColor c) {
    Ink ink;
    ink.box = BoundsOfColor(img, c, r, 100);
    ink.mask = QImage(ink.box.size(), QImage::Format_Mono);
    ink.mask.fill(0);
    for (int y = 0; y < ink.box.height(); ++y)
        for (int x = 0; x < ink.box.width(); ++x)
            if (Near(Px(img, ink.box.left() + x, ink.box.top() + y), c, 100)) ink.mask.setPixel(x, y, 1);
    return ink;
}

// The Ming face's own glyph for the code point at pixelSize, black on white, as a
// drawing that leaves the code point to the face shows it.
Ink MingGlyph(char32_t codePoint, int pixelSize) {
    QFont ming(QStringLiteral("AR PL UMing TW"));
    ming.setPixelSize(pixelSize);
    QImage canvas(pixelSize * 2, pixelSize * 2, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setFont(ming);
    p.setPen(Qt::black);
    p.drawText(pixelSize / 2, pixelSize * 3 / 2, QString(QChar(char16_t(codePoint))));
    p.end();
    return InkOf(canvas, canvas.rect(), platform::clBlack);
}

// The site's font for the life of a test, none again after it.
struct SiteFont {
    QTemporaryDir dir;
    QString error;
    SiteFont() { error = userchars::UseSiteFont(testsupport::WriteSiteFont(dir.path())); }
    ~SiteFont() { userchars::UseSiteFont(QString()); }
};

TEST(UserDefinedCharacters, TheProjectEditDrawsThemAsAPlaceholderOrTheSitesGlyphWithTheSameBytes) {
    Host host(360, 80);
    auto* edit = new TbsSkinEdit(&host.window);
    edit->SetBounds(0, 0, 340, 64);
    const platform::TFont font{QStringLiteral("新細明體"), -40, {}, platform::clWindowText};
    edit->SetFont(font);
    edit->show();
    edit->LineEdit()->setReadOnly(true);  // no caret to blink in the pictures
    // Where "P" ends in the text box: the user-defined character is drawn right of it.
    const QRect box = edit->LineEdit()->geometry();
    edit->SetText(QStringLiteral("P"));
    const int pRight = InkOf(Grab(edit), box, platform::clBlack).box.right();
    const QRect after(pRight + 2, box.top(), box.right() - pRight - 1, box.height());

    edit->SetText(QStringLiteral("P") + kFA40);
    EXPECT_EQ(db::CodePage().Encode(edit->Text()), QByteArray("P\xFA\x40"));
    const Ink drawn = InkOf(Grab(edit), after, platform::clBlack);
    EXPECT_TRUE(drawn.Framed()) << "the placeholder's box, " << drawn.box.width() << "x" << drawn.box.height();
    const Ink ming = MingGlyph(0xE000, 40);
    ASSERT_GT(ming.Count(ming.mask.rect()), 20) << "the Ming face draws U+E000";
    EXPECT_FALSE(ming.Framed());
    EXPECT_NE(drawn.mask, ming.mask);

    // The site's glyph, the rest of the text in the edit's own font: the same pixels as the
    // edit drawn with a font holding only the site's glyph in front of its own.
    SiteFont site;
    ASSERT_EQ(site.error, QString());
    edit->SetText(QString());
    edit->SetText(QStringLiteral("P") + kFA40);
    const QImage withSite = Grab(edit);
    EXPECT_GT(InkOf(withSite, after, platform::clBlack).Fill(), 0.9);
    EXPECT_EQ(db::CodePage().Encode(edit->Text()), QByteArray("P\xFA\x40"));
    ASSERT_GE(QFontDatabase::addApplicationFontFromData(
                  testsupport::SiteFontData(QStringLiteral("Test Site Reference"), false)),
              0);
    QFont reference = font.ToQFont();
    reference.setFamilies(QStringList{QStringLiteral("Test Site Reference")} + reference.families());
    edit->LineEdit()->setFont(reference);
    EXPECT_EQ(withSite, Grab(edit)) << "the site's glyph for FA40 and the edit's own P";
}

TEST(UserDefinedCharacters, AGridCellDrawsThemAsAPlaceholderOrTheSitesGlyph) {
    data::MemTable table;
    data::DataSource source{&table};
    preview::FillSampleOrderLines(table, 2);
    TbsSkinPanel window;
    window.SetBorderStyle(bvNone);
    window.SetBounds(0, 0, 520, 200);
    const TbsGridWithBars parts = CreateGridWithBars(&window, nullptr, &source);
    TbsSkinDBGrid* grid = parts.grid;
    constexpr int pixelSize = 32;  // a negative height is the em in pixels
    grid->SetFont({QStringLiteral("新細明體"), -pixelSize, {}, platform::clWindowText});
    grid->SetDefaultCellHeight(44);
    ASSERT_TRUE(ShowActive(&window));
    table.First();
    table.Edit();
    table.FieldByName(QStringLiteral("NAME"))->SetAsString(kFA40);
    table.Post();
    table.Next();  // the cell drawn as any other, not as the current one
    QCoreApplication::processEvents();
    const QRect cell = grid->CellRect(2, 1).adjusted(1, 1, -1, -1);

    const Ink drawn = InkOf(grid->Render(), cell, platform::clWindowText);
    EXPECT_TRUE(drawn.Framed()) << "the placeholder's box, " << drawn.box.width() << "x" << drawn.box.height();
    EXPECT_NE(drawn.mask, MingGlyph(0xE000, pixelSize).mask);

    SiteFont site;
    ASSERT_EQ(site.error, QString());
    grid->update();
    EXPECT_GT(InkOf(grid->Render(), cell, platform::clWindowText).Fill(), 0.85) << "the site's block";
    table.First();
    EXPECT_EQ(table.FieldByName(QStringLiteral("NAME"))->AsString(), kFA40);
}

}  // namespace
}  // namespace skinctrls
