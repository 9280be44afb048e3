#include "db/IniFile.h"

#include <QStringDecoder>

#include "db/CodePage.h"
#include "db/SmallFile.h"

namespace db {

namespace {

// The blanks the profile reader drops around names and values ('\r' is the end of a
// CR LF line).
bool IsBlank(QChar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Only those blanks: a full-width space (U+3000) or a no-break space belongs to the value.
QString TrimBlanks(const QString& s) {
    qsizetype begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.mid(begin, end - begin);
}

// Names match letter by letter without regard to case, one UTF-16 unit at a time as the
// profile reader compares them (QString::toLower would also repair a stray surrogate in
// some names and not in others, so the same name could be stored and sought differently).
QString Folded(QString name) {
    for (QChar& c : name) c = c.toLower();
    return name;
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The file's lines as text (see the header for how the encoding is chosen).
QStringList DecodeLines(QByteArray bytes) {
    const bool utf16le = bytes.startsWith("\xFF\xFE");
    if (utf16le || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(utf16le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return QString(utf16.decode(bytes.mid(2))).split('\n');
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringList lines;
    std::optional<CodePage> big5;
    for (const QByteArray& line : bytes.split('\n')) {
        // A mark inside the file is a character of its line, not one to skip.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8.decode(line);
        if (utf8.hasError()) {
            if (!big5) big5.emplace();
            text = big5->Decode(line);
        }
        lines << text;
    }
    return lines;
}

}  // namespace

std::optional<IniFile> IniFile::Load(const QString& path, QString* reason) {
    // A read that fails part way is no file: half of one would give values it does not hold.
    const std::optional<QByteArray> text = ReadSmallFile(path, reason);
    if (!text) return std::nullopt;
    return Parse(*text);
}

IniFile IniFile::Parse(const QByteArray& text) {
    IniFile ini;
    SectionEntries* current = nullptr;
    bool repeated = false;
    for (const QString& raw : DecodeLines(text)) {
        const QString line = TrimBlanks(raw);
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        // A section name runs to the line's last ']'; anything after it is ignored. A
        // '[' line without one is read as a key line.
        const qsizetype close = line.startsWith('[') ? line.lastIndexOf(']') : -1;
        if (close > 0) {
            const QString name = TrimBlanks(line.mid(1, close - 1));
            repeated = ini.sections_.contains(Folded(name));
            current = &ini.sections_[Folded(name)];
            if (!repeated) current->name = name;
            continue;
        }
        if (!current || repeated) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QString key = TrimBlanks(line.left(eq));
        if (!current->keys.contains(Folded(key)))
            current->keys.insert(Folded(key), {key, Unquoted(TrimBlanks(line.mid(eq + 1)))});
    }
    return ini;
}

bool IniFile::HasSection(const QString& section) const { return sections_.contains(Folded(section)); }

QString IniFile::Value(const QString& section, const QString& key, const QString& def) const {
    const auto s = sections_.constFind(Folded(section));
    if (s == sections_.constEnd()) return def;
    const auto k = s->keys.constFind(Folded(key));
    return k == s->keys.constEnd() ? def : k->value;
}

QStringList IniFile::Sections() const {
    QStringList names;
    for (const SectionEntries& s : sections_) names << s.name;
    return names;
}

QMap<QString, QString> IniFile::Section(const QString& section) const {
    QMap<QString, QString> out;
    const auto s = sections_.constFind(Folded(section));
    if (s != sections_.constEnd())
        for (const Entry& e : s->keys) out.insert(e.key, e.value);
    return out;
}

}  // namespace db
