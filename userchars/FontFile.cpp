#include "userchars/FontFile.h"

#include <QRect>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace userchars {

namespace {

// ----- big-endian bytes ---------------------------------------------------------------

void Put16(QByteArray& out, int v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}
void Put32(QByteArray& out, uint32_t v) {
    Put16(out, int(v >> 16));
    Put16(out, int(v & 0xFFFF));
}
void Set32(QByteArray& out, qsizetype at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

// Reading past the end gives 0: a damaged file reads as one without the missing parts.
struct Reader {
    const QByteArray& data;
    uint32_t U8(qsizetype at) const { return at >= 0 && at < data.size() ? uint8_t(data[at]) : 0; }
    uint32_t U16(qsizetype at) const { return U8(at) << 8 | U8(at + 1); }
    uint32_t U32(qsizetype at) const { return U16(at) << 16 | U16(at + 2); }
    bool Has(qsizetype at, qsizetype size) const { return at >= 0 && size >= 0 && at + size <= data.size(); }
};

uint32_t Tag(const char* t) { return uint32_t(uint8_t(t[0])) << 24 | uint8_t(t[1]) << 16 | uint8_t(t[2]) << 8 | uint8_t(t[3]); }

uint32_t Checksum(const QByteArray& table) {
    uint32_t sum = 0;
    for (qsizetype i = 0; i < table.size(); i += 4) {
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k) word = word << 8 | (i + k < table.size() ? uint8_t(table[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// The file of the tables: the directory, each table on a four-byte boundary, and the
// head table's whole-file checksum adjustment.
QByteArray AssembleFont(uint32_t sfntVersion, std::map<uint32_t, QByteArray> tables) {
    const int n = int(tables.size());
    const int power = std::bit_floor(unsigned(n));
    QByteArray out;
    Put32(out, sfntVersion);
    Put16(out, n);
    Put16(out, power * 16);
    Put16(out, std::countr_zero(unsigned(power)));
    Put16(out, n * 16 - power * 16);
    if (auto head = tables.find(Tag("head")); head != tables.end() && head->second.size() >= 12)
        Set32(head->second, 8, 0);
    qsizetype offset = 12 + 16 * n;
    for (const auto& [tag, table] : tables) {
        Put32(out, tag);
        Put32(out, Checksum(table));
        Put32(out, uint32_t(offset));
        Put32(out, uint32_t(table.size()));
        offset += (table.size() + 3) & ~qsizetype(3);
    }
    qsizetype headAt = -1;
    for (const auto& [tag, table] : tables) {
        if (tag == Tag("head")) headAt = out.size();
        out.append(table);
        while (out.size() % 4) out.append('\0');
    }
    if (headAt >= 0 && tables[Tag("head")].size() >= 12) Set32(out, headAt + 8, 0xB1B0AFBAu - Checksum(out));
    return out;
}

// A format 4 character map (Windows, Unicode BMP): runs of code points whose glyphs
// follow one another share a segment.
QByteArray CharacterMap(const std::map<char32_t, int>& map) {
    struct Segment {
        uint32_t start, end;
        int delta;
    };
    std::vector<Segment> segments;
    for (const auto& [c, glyph] : map) {
        if (c > 0xFFFE || glyph <= 0) continue;
        const int delta = (glyph - int(c)) & 0xFFFF;
        if (!segments.empty() && segments.back().end + 1 == c && segments.back().delta == delta)
            segments.back().end = c;
        else
            segments.push_back({c, c, delta});
    }
    segments.push_back({0xFFFF, 0xFFFF, 1});
    const int n = int(segments.size());
    const int power = std::bit_floor(unsigned(n));
    QByteArray sub;
    Put16(sub, 4);
    Put16(sub, 16 + 8 * n);
    Put16(sub, 0);
    Put16(sub, 2 * n);
    Put16(sub, 2 * power);
    Put16(sub, std::countr_zero(unsigned(power)));
    Put16(sub, 2 * n - 2 * power);
    for (const Segment& s : segments) Put16(sub, int(s.end));
    Put16(sub, 0);
    for (const Segment& s : segments) Put16(sub, int(s.start));
    for (const Segment& s : segments) Put16(sub, s.delta);
    for (int i = 0; i < n; ++i) Put16(sub, 0);
    QByteArray cmap;
    Put16(cmap, 0);
    Put16(cmap, 1);
    Put16(cmap, 3);
    Put16(cmap, 1);
    Put32(cmap, 12);
    cmap.append(sub);
    return cmap;
}

// The naming table: family, style, unique, full and PostScript names, for Windows.
QByteArray NameTable(const QString& family) {
    QString postscript;
    for (QChar c : family)
        if (c.unicode() > 0x20 && c.unicode() < 0x7F) postscript.append(c);
    const std::pair<int, QString> names[] = {
        {1, family}, {2, QStringLiteral("Regular")}, {3, family}, {4, family}, {6, postscript}};
    QByteArray strings;
    QByteArray out;
    Put16(out, 0);
    Put16(out, int(std::size(names)));
    Put16(out, 6 + 12 * int(std::size(names)));
    for (const auto& [id, text] : names) {
        QByteArray utf16;
        for (QChar c : text) Put16(utf16, c.unicode());
        Put16(out, 3);
        Put16(out, 1);
        Put16(out, 0x409);
        Put16(out, id);
        Put16(out, int(utf16.size()));
        Put16(out, int(strings.size()));
        strings.append(utf16);
    }
    out.append(strings);
    return out;
}

QRect Bounds(const std::vector<std::vector<QPoint>>& contours) {
    QRect r;
    for (const auto& contour : contours)
        for (const QPoint& p : contour) r |= QRect(p, QSize(1, 1));
    return r;  // y grows upwards here: top() is the lowest point
}

}  // namespace

QByteArray BuildFont(const QString& family, const FontMetrics& metrics, const std::vector<OutlineGlyph>& glyphs,
                     const std::map<char32_t, int>& characterMap) {
    // Outlines: every glyph's box first, a composite glyph's from its parts'.
    std::vector<QRect> bounds(glyphs.size());
    for (size_t g = 0; g < glyphs.size(); ++g)
        if (glyphs[g].parts.empty()) bounds[g] = Bounds(glyphs[g].contours);
    for (size_t g = 0; g < glyphs.size(); ++g)
        for (const auto& [part, offset] : glyphs[g].parts)
            if (!bounds[size_t(part)].isNull()) bounds[g] |= bounds[size_t(part)].translated(offset);

    QByteArray glyf, loca, hmtx;
    int maxPoints = 0, maxContours = 0, maxCompositePoints = 0, maxCompositeContours = 0, maxParts = 0;
    QRect all;
    for (size_t g = 0; g < glyphs.size(); ++g) {
        const OutlineGlyph& glyph = glyphs[g];
        const QRect& box = bounds[g];
        Put32(loca, uint32_t(glyf.size()));
        Put16(hmtx, glyph.advance);
        Put16(hmtx, box.isNull() ? 0 : box.left());
        if (box.isNull()) continue;
        all |= box;
        Put16(glyf, glyph.parts.empty() ? int(glyph.contours.size()) : -1);
        Put16(glyf, box.left());
        Put16(glyf, box.top());
        Put16(glyf, box.right());
        Put16(glyf, box.bottom());
        if (glyph.parts.empty()) {
            int points = 0;
            for (const auto& contour : glyph.contours) Put16(glyf, (points += int(contour.size())) - 1);
            Put16(glyf, 0);  // no instructions
            for (int i = 0; i < points; ++i) glyf.append(char(0x01));  // on the curve, two-byte x and y
            // Coordinates as steps from the point before, all x then all y.
            int lastX = 0, lastY = 0;
            for (const auto& contour : glyph.contours)
                for (const QPoint& p : contour) Put16(glyf, p.x() - std::exchange(lastX, p.x()));
            for (const auto& contour : glyph.contours)
                for (const QPoint& p : contour) Put16(glyf, p.y() - std::exchange(lastY, p.y()));
            maxPoints = std::max(maxPoints, points);
            maxContours = std::max(maxContours, int(glyph.contours.size()));
        } else {
            int points = 0, contours = 0;
            for (size_t i = 0; i < glyph.parts.size(); ++i) {
                const auto& [part, offset] = glyph.parts[i];
                const bool more = i + 1 < glyph.parts.size();
                Put16(glyf, 0x0001 | 0x0002 | 0x0004 | (more ? 0x0020 : 0));  // words, x/y offsets, on the grid
                Put16(glyf, part);
                Put16(glyf, offset.x());
                Put16(glyf, offset.y());
                for (const auto& contour : glyphs[size_t(part)].contours) points += int(contour.size());
                contours += int(glyphs[size_t(part)].contours.size());
            }
            maxCompositePoints = std::max(maxCompositePoints, points);
            maxCompositeContours = std::max(maxCompositeContours, contours);
            maxParts = std::max(maxParts, int(glyph.parts.size()));
        }
        while (glyf.size() % 4) glyf.append('\0');
    }
    Put32(loca, uint32_t(glyf.size()));
    const int count = int(glyphs.size());
    int maxAdvance = 0;
    for (const OutlineGlyph& g : glyphs) maxAdvance = std::max(maxAdvance, g.advance);

    QByteArray head;
    Put32(head, 0x00010000);
    Put32(head, 0x00010000);
    Put32(head, 0);
    Put32(head, 0x5F0F3CF5);
    Put16(head, 0x000B);  // baseline at 0, left side bearing at 0, whole pixel sizes
    Put16(head, metrics.unitsPerEm);
    for (int i = 0; i < 8; ++i) Put16(head, 0);  // created, modified
    Put16(head, all.left());
    Put16(head, all.top());
    Put16(head, all.right());
    Put16(head, all.bottom());
    Put16(head, 0);
    Put16(head, 8);
    Put16(head, 2);
    Put16(head, 1);  // long offsets in loca
    Put16(head, 0);

    QByteArray hhea;
    Put32(hhea, 0x00010000);
    Put16(hhea, metrics.ascent);
    Put16(hhea, -metrics.descent);
    Put16(hhea, 0);
    Put16(hhea, maxAdvance);
    Put16(hhea, all.left());
    Put16(hhea, maxAdvance - all.right());
    Put16(hhea, all.right());
    Put16(hhea, 1);
    for (int i = 0; i < 6; ++i) Put16(hhea, 0);  // caret run and offset, reserved
    Put16(hhea, 0);
    Put16(hhea, count);

    QByteArray maxp;
    Put32(maxp, 0x00010000);
    Put16(maxp, count);
    Put16(maxp, maxPoints);
    Put16(maxp, maxContours);
    Put16(maxp, maxCompositePoints);
    Put16(maxp, maxCompositeContours);
    Put16(maxp, 2);
    for (int i = 0; i < 6; ++i) Put16(maxp, 0);  // no hinting program
    Put16(maxp, maxParts);
    Put16(maxp, maxParts > 0 ? 1 : 0);

    const char32_t first = characterMap.empty() ? 0 : characterMap.begin()->first;
    const char32_t last = characterMap.empty() ? 0 : characterMap.rbegin()->first;
    QByteArray os2;
    Put16(os2, 4);
    Put16(os2, maxAdvance);
    Put16(os2, 400);
    Put16(os2, 5);
    Put16(os2, 0);  // embedding allowed: documents carry the glyphs they use
    for (int i = 0; i < 8; ++i) Put16(os2, metrics.unitsPerEm / 2);  // sub- and superscript
    Put16(os2, metrics.unitsPerEm / 20);
    Put16(os2, metrics.unitsPerEm / 4);
    Put16(os2, 0);
    for (int i = 0; i < 10; ++i) os2.append('\0');  // panose
    Put32(os2, 0);
    Put32(os2, 1u << 28);  // private use area
    Put32(os2, 0);
    Put32(os2, 0);
    os2.append("    ", 4);
    Put16(os2, 0x40);  // regular
    Put16(os2, int(std::min<char32_t>(first, 0xFFFF)));
    Put16(os2, int(std::min<char32_t>(last, 0xFFFF)));
    Put16(os2, metrics.ascent);
    Put16(os2, -metrics.descent);
    Put16(os2, 0);
    Put16(os2, metrics.ascent);
    Put16(os2, metrics.descent);
    Put32(os2, 0);
    Put32(os2, 0);
    Put16(os2, metrics.unitsPerEm / 2);
    Put16(os2, metrics.ascent);
    Put16(os2, 0);
    Put16(os2, 0x20);
    Put16(os2, 0);

    QByteArray post;
    Put32(post, 0x00030000);
    Put32(post, 0);
    Put16(post, -metrics.unitsPerEm / 10);
    Put16(post, metrics.unitsPerEm / 20);
    for (int i = 0; i < 5; ++i) Put32(post, 0);

    return AssembleFont(0x00010000, {{Tag("head"), head},
                                     {Tag("hhea"), hhea},
                                     {Tag("maxp"), maxp},
                                     {Tag("OS/2"), os2},
                                     {Tag("hmtx"), hmtx},
                                     {Tag("cmap"), CharacterMap(characterMap)},
                                     {Tag("loca"), loca},
                                     {Tag("glyf"), glyf},
                                     {Tag("name"), NameTable(family)},
                                     {Tag("post"), post}});
}

QByteArray RestrictFont(const QByteArray& data, const QString& family, const std::function<bool(char32_t)>& keep,
                        QString* error) {
    const Reader r{data};
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return QByteArray();
    };
    qsizetype at = 0;
    if (r.U32(0) == Tag("ttcf")) at = r.U32(12);  // a collection: its first font
    const uint32_t version = r.U32(at);
    if (version != 0x00010000 && version != Tag("OTTO") && version != Tag("true"))
        return fail(QStringLiteral("不是 TrueType 或 OpenType 字型檔"));
    const int n = int(r.U16(at + 4));
    if (!r.Has(at + 12, 16 * qsizetype(n))) return fail(QStringLiteral("字型檔不完整"));
    std::map<uint32_t, QByteArray> tables;
    for (int i = 0; i < n; ++i) {
        const qsizetype rec = at + 12 + 16 * qsizetype(i);
        const qsizetype offset = r.U32(rec + 8), length = r.U32(rec + 12);
        if (!r.Has(offset, length)) return fail(QStringLiteral("字型檔不完整"));
        tables[r.U32(rec)] = data.mid(offset, length);
    }
    if (!tables.count(Tag("cmap")) || !tables.count(Tag("maxp")) || !tables.count(Tag("head")))
        return fail(QStringLiteral("字型檔缺少字元對照表"));
    const int glyphCount = int(Reader{tables[Tag("maxp")]}.U16(4));

    // The Unicode map the font answers with: full repertoire first, then the BMP one.
    const QByteArray& cmap = tables[Tag("cmap")];
    const Reader c{cmap};
    qsizetype best = -1;
    int bestRank = 0;
    for (int i = 0, count = int(c.U16(2)); i < count; ++i) {
        const int platform = int(c.U16(4 + 8 * i)), encoding = int(c.U16(6 + 8 * i));
        const qsizetype offset = c.U32(8 + 8 * i);
        const int format = int(c.U16(offset));
        int rank = 0;
        if (format == 12 && ((platform == 3 && encoding == 10) || platform == 0)) rank = 2;
        if (format == 4 && ((platform == 3 && encoding == 1) || platform == 0)) rank = 1;
        if (rank > bestRank) best = offset, bestRank = rank;
    }
    if (best < 0) return fail(QStringLiteral("字型檔沒有 Unicode 字元對照表"));

    std::map<char32_t, int> kept;
    auto take = [&](char32_t ch, uint32_t glyph) {
        if (ch <= 0xFFFF && glyph > 0 && int(glyph) < glyphCount && keep(ch)) kept[ch] = int(glyph);
    };
    if (bestRank == 2) {
        const uint32_t groups = c.U32(best + 12);
        for (uint32_t g = 0; g < groups && c.Has(best + 16 + 12 * qsizetype(g), 12); ++g) {
            const qsizetype rec = best + 16 + 12 * qsizetype(g);
            const uint32_t first = c.U32(rec), last = std::min<uint32_t>(c.U32(rec + 4), 0xFFFF);
            for (uint32_t ch = first; ch <= last; ++ch) take(ch, c.U32(rec + 8) + (ch - first));
        }
    } else {
        const int segments = int(c.U16(best + 6)) / 2;
        const qsizetype ends = best + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                        ranges = deltas + 2 * segments;
        for (int s = 0; s < segments; ++s) {
            const uint32_t first = c.U16(starts + 2 * s), last = c.U16(ends + 2 * s);
            const uint32_t delta = c.U16(deltas + 2 * s), rangeOffset = c.U16(ranges + 2 * s);
            for (uint32_t ch = first; ch <= last && ch < 0xFFFF; ++ch) {
                if (!keep(ch)) continue;
                uint32_t glyph = ch;
                if (rangeOffset != 0) {
                    glyph = c.U16(ranges + 2 * s + rangeOffset + 2 * (ch - first));
                    if (glyph == 0) continue;
                }
                take(ch, (glyph + delta) & 0xFFFF);
            }
        }
    }
    if (kept.empty()) return fail(QStringLiteral("字型檔沒有造字的字形"));

    tables[Tag("cmap")] = CharacterMap(kept);
    tables[Tag("name")] = NameTable(family);
    tables.erase(Tag("DSIG"));  // a signature of the file it no longer is
    return AssembleFont(version == Tag("OTTO") ? version : 0x00010000, std::move(tables));
}

}  // namespace userchars
