#include "skin/SkinIni.h"

#include <QStringDecoder>

namespace skin {

namespace {

// Blanks here are the space and every control character, as the definition files of
// the program's era were trimmed.
QString Trim(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= ' ') ++b;
    while (e > b && s[e - 1].unicode() <= ' ') --e;
    return s.sliced(b, e - b).toString();
}

QString Fold(const QString& s) { return s.toCaseFolded(); }

}  // namespace

QString DecodeSkinText(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder big5("Big5");
    if (!big5.isValid()) return QString::fromLatin1(bytes);
    return big5(bytes);
}

QStringList SplitSkinLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines << text.sliced(start, i - start);
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << text.sliced(start);
    return lines;
}

QList<QByteArray> SplitSkinLines(QByteArrayView bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines << bytes.sliced(start, i - start).toByteArray();
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << bytes.sliced(start).toByteArray();
    return lines;
}

SkinIni::SkinIni(const QStringList& lines) {
    Section* current = nullptr;
    for (const QString& raw : lines) {
        const QString line = Trim(raw);
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.size() >= 2 && line.startsWith('[') && line.endsWith(']')) {
            sections_.push_back(Section{Trim(QStringView(line).sliced(1, line.size() - 2)), {}, {}});
            current = &sections_.back();
            continue;
        }
        if (!current) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            current->lines.push_back(Line{line, {}, false});
        else
            current->lines.push_back(Line{Trim(QStringView(line).first(eq)), Trim(QStringView(line).sliced(eq + 1)), true});
    }
    Reindex();
}

void SkinIni::Reindex() {
    firstByName_.clear();
    for (qsizetype s = 0; s < qsizetype(sections_.size()); ++s) {
        Section& sec = sections_[size_t(s)];
        sec.lastByKey.clear();
        for (qsizetype i = 0; i < qsizetype(sec.lines.size()); ++i)
            if (sec.lines[size_t(i)].hasKey) sec.lastByKey.insert(Fold(sec.lines[size_t(i)].key), i);
    }
    // QHash::insert replaces, so walk from the back to end with the first section.
    for (qsizetype s = qsizetype(sections_.size()) - 1; s >= 0; --s) firstByName_.insert(Fold(sections_[size_t(s)].name), s);
}

const SkinIni::Section* SkinIni::Find(const QString& section) const {
    const auto it = firstByName_.constFind(Fold(section));
    return it == firstByName_.cend() ? nullptr : &sections_[size_t(*it)];
}

bool SkinIni::HasSection(const QString& section) const { return Find(section) != nullptr; }

std::optional<QString> SkinIni::Value(const QString& section, const QString& key) const {
    const Section* sec = Find(section);
    if (!sec) return std::nullopt;
    const auto it = sec->lastByKey.constFind(Fold(key));
    if (it == sec->lastByKey.cend()) return std::nullopt;
    return sec->lines[size_t(*it)].value;
}

QString SkinIni::ReadString(const QString& section, const QString& key, const QString& def) const {
    return Value(section, key).value_or(def);
}

QStringList SkinIni::Keys(const QString& section) const {
    QStringList keys;
    const Section* sec = Find(section);
    if (!sec) return keys;
    QHash<QString, bool> seen;
    for (const Line& l : sec->lines) {
        if (!l.hasKey) continue;
        const QString f = Fold(l.key);
        if (seen.contains(f)) continue;
        seen.insert(f, true);
        keys << l.key;
    }
    return keys;
}

void SkinIni::EraseSection(const QString& section) {
    const QString f = Fold(section);
    std::erase_if(sections_, [&](const Section& s) { return Fold(s.name) == f; });
    Reindex();
}

SkinIni::Section& SkinIni::Ensure(const QString& section) {
    const auto it = firstByName_.constFind(Fold(section));
    if (it != firstByName_.cend()) return sections_[size_t(*it)];
    sections_.push_back(Section{section, {}, {}});
    firstByName_.insert(Fold(section), qsizetype(sections_.size()) - 1);
    return sections_.back();
}

void SkinIni::WriteString(const QString& section, const QString& key, const QString& value) {
    Section& sec = Ensure(section);
    const QString f = Fold(key);
    const auto it = sec.lastByKey.constFind(f);
    if (it != sec.lastByKey.cend()) {
        sec.lines[size_t(*it)].value = value;
        return;
    }
    sec.lines.push_back(Line{key, value, true});
    sec.lastByKey.insert(f, qsizetype(sec.lines.size()) - 1);
}

QStringList SkinIni::ToLines() const {
    QStringList out;
    for (const Section& s : sections_) {
        out << QLatin1Char('[') + s.name + QLatin1Char(']');
        for (const Line& l : s.lines) out << (l.hasKey ? l.key + QLatin1Char('=') + l.value : l.key);
    }
    return out;
}

bool SkinIni::IsValidDefinition() const {
    for (const char* name : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
        if (!HasSection(QLatin1StringView(name))) return false;
    return true;
}

}  // namespace skin
