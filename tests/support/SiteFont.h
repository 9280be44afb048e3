#pragma once
// A site's font of user-defined characters, as a test makes one: FA40 (U+E000) is a solid
// block, unlike the Ming face's glyph and the placeholder's box, and the file also maps
// "P" to a block, which must never reach a drawing (the site's font answers for the
// user-defined characters only). Written to a file in dir; needs the userchars library.

#include <QDir>
#include <QFile>

#include "userchars/FontFile.h"

namespace testsupport {

// The block: most of the em square, nearly all of its box inked.
inline userchars::OutlineGlyph SiteBlock() {
    userchars::OutlineGlyph g;
    g.contours = {{{100, -60}, {100, 760}, {900, 760}, {900, -60}}};
    return g;
}

// family's font: U+E000 the block, and "P" too when withLatin.
inline QByteArray SiteFontData(const QString& family, bool withLatin) {
    std::map<char32_t, int> map{{0xE000, 1}};
    if (withLatin) map['P'] = 1;
    return userchars::BuildFont(family, {}, {userchars::OutlineGlyph{}, SiteBlock()}, map);
}

inline QString WriteSiteFont(const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("EUDC.TTF"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(SiteFontData(QStringLiteral("Test Site EUDC"), true)) < 0) return {};
    return path;
}

}  // namespace testsupport
