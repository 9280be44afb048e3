#pragma once
// Reading of the small INI files the program is configured by (the settings file and
// the connection entries), as the Windows profile reader reads them, so that a file
// written for the old system gives the same values here:
// - section and key names match without regard to case;
// - blanks (spaces, tabs) around section names, keys and values are dropped;
// - a value wrapped in one pair of matching quotes ("..." or '...') loses them, and
//   nothing inside the quotes is trimmed;
// - the first occurrence of a section or of a key within it wins (the keys of a repeated
//   section are never seen);
// - lines without '=', lines before the first section and comment lines (';' or '#'
//   first) are ignored; lines end with LF or CR LF.
// Text: a file that starts with a UTF-16 byte-order mark is UTF-16; otherwise each line
// is UTF-8 (a leading UTF-8 mark is skipped) when its bytes are valid UTF-8, else the
// Big5 page Notepad wrote on the old system. Deciding line by line reads a Big5 file a
// UTF-8 editor has since added a line to. The program never writes these files.

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {

class IniFile {
public:
    // An empty object: every lookup gives the default.
    IniFile() = default;
    // Reads the file; nullopt when it cannot be read (missing, unreadable, no regular
    // file, over 1 MiB: db/SmallFile.h), and then the reason in *reason when given.
    static std::optional<IniFile> Load(const QString& path, QString* reason = nullptr);
    static IniFile Parse(const QByteArray& text);

    bool HasSection(const QString& section) const;
    QString Value(const QString& section, const QString& key, const QString& def = {}) const;
    // The sections' names as first written in the file (sorted without regard to case).
    QStringList Sections() const;
    // Every key of a section with its value (key names as written in the file).
    QMap<QString, QString> Section(const QString& section) const;

private:
    struct Entry {
        QString key;  // as written
        QString value;
    };
    struct SectionEntries {
        QString name;  // as written
        QMap<QString, Entry> keys;  // by lower-case key
    };
    QMap<QString, SectionEntries> sections_;  // by lower-case name
};

}  // namespace db
