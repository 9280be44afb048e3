#include "db/IniFile.h"

#include <QFile>
#include <QStringDecoder>

#include "db/CodePage.h"

namespace db {

std::optional<IniFile> IniFile::Load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return Parse(f.readAll());
}

IniFile IniFile::Parse(const QByteArray& text) {
    IniFile ini;
    // Keys are ASCII. Values are UTF-8, or the Big5 page of files written by the desktop
    // tools of the back office when the bytes are not valid UTF-8. A BOM is skipped.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString all = utf8.decode(text);
    if (utf8.hasError()) all = CodePage().Decode(text);
    if (all.startsWith(QChar(0xFEFF))) all.remove(0, 1);
    QMap<QString, QPair<QString, QString>>* current = nullptr;
    bool skipSection = false;
    for (QString line : all.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed().toLower();
            skipSection = ini.sections_.contains(name);  // the first section of a name wins
            current = &ini.sections_[name];
            continue;
        }
        if (!current || skipSection) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        if (!current->contains(key.toLower()))  // the first key of a name wins
            current->insert(key.toLower(), {key, line.mid(eq + 1).trimmed()});
    }
    return ini;
}

bool IniFile::HasSection(const QString& section) const { return sections_.contains(section.toLower()); }

QString IniFile::Value(const QString& section, const QString& key, const QString& def) const {
    const auto s = sections_.constFind(section.toLower());
    if (s == sections_.constEnd()) return def;
    const auto k = s->constFind(key.toLower());
    return k == s->constEnd() ? def : k->second;
}

QMap<QString, QString> IniFile::Section(const QString& section) const {
    QMap<QString, QString> out;
    for (const auto& kv : sections_.value(section.toLower())) out.insert(kv.first, kv.second);
    return out;
}

}  // namespace db
