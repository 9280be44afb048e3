#pragma once
// Reading of the small INI files the program is configured by (the settings file and
// the connection entries), with the desktop profile rules: section and key names match
// without regard to case, the first occurrence of a section or key wins, values are
// trimmed. The program never writes these files.

#include <QMap>
#include <QString>
#include <optional>

namespace db {

class IniFile {
public:
    // An empty object: every lookup gives the default.
    IniFile() = default;
    // Reads the file; nullopt when it cannot be read (missing, unreadable).
    static std::optional<IniFile> Load(const QString& path);
    static IniFile Parse(const QByteArray& text);

    bool HasSection(const QString& section) const;
    QString Value(const QString& section, const QString& key, const QString& def = {}) const;
    // Every key of a section with its value (key names as written in the file).
    QMap<QString, QString> Section(const QString& section) const;

private:
    // section (lower case) -> key (lower case) -> {key as written, value}
    QMap<QString, QMap<QString, QPair<QString, QString>>> sections_;
};

}  // namespace db
