#pragma once
// The INI document of a skin definition. The stored skins hold the definition as plain
// lines, so the reading rules are fixed and must not drift:
//   - every line is trimmed (blanks and control characters at both ends); empty lines
//     and lines starting with ";" are skipped;
//   - "[name]" (after trimming) opens a section, the name trimmed; lines before the
//     first section are ignored;
//   - any other line is key=value split at the first "=", both trimmed; a line without
//     "=" stays in its section but is never found as a key;
//   - section and key names match without regard to case; a later line of the same key
//     wins; of several sections with one name only the first is used;
//   - a key present with an empty value reads as the empty string, not the default.

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace skin {

// The definition text's bytes as text: UTF-8 when the bytes are valid UTF-8 (a leading
// byte-order mark is dropped), otherwise the Big5 code page the program's own skins were
// written in. Plain ASCII reads the same either way.
QString DecodeSkinText(QByteArrayView bytes);
// Lines of a text, split at CR LF, CR or LF; a final line end does not add an empty line.
QStringList SplitSkinLines(const QString& text);
QList<QByteArray> SplitSkinLines(QByteArrayView bytes);

class SkinIni {
public:
    SkinIni() = default;
    explicit SkinIni(const QStringList& lines);
    static SkinIni FromText(QByteArrayView bytes) { return SkinIni(SplitSkinLines(DecodeSkinText(bytes))); }

    bool HasSection(const QString& section) const;
    // The value of key in section, or nullopt when the section or key is missing.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The distinct keys of a section in the order they first appear.
    QStringList Keys(const QString& section) const;

    // Editing, as the entries' SaveToIni uses it.
    void EraseSection(const QString& section);  // every section of that name
    void WriteString(const QString& section, const QString& key, const QString& value);
    // The document as lines ("[name]", "key=value", and kept lines without "=").
    QStringList ToLines() const;

    // A definition is valid when it has the five sections a skin cannot do without.
    bool IsValidDefinition() const;

private:
    struct Line {
        QString key;  // empty with hasKey false for a line without "="
        QString value;
        bool hasKey = false;
    };
    struct Section {
        QString name;
        std::vector<Line> lines;
        QHash<QString, qsizetype> lastByKey;  // folded key -> index of its last line
    };
    const Section* Find(const QString& section) const;
    Section& Ensure(const QString& section);
    void Reindex();

    std::vector<Section> sections_;
    QHash<QString, qsizetype> firstByName_;  // folded name -> index of the first section
};

}  // namespace skin
