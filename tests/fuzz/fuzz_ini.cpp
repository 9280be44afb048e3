// The settings and connection file reader on arbitrary bytes: every section and key it
// reports is found again by name, with the value it reported, and names and values are
// single trimmed lines.

#include <cstdint>
#include <cstdlib>

#include "db/IniFile.h"

namespace {

bool Blank(QChar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool Trimmed(const QString& s) { return s.isEmpty() || (!Blank(s.front()) && !Blank(s.back())); }

// The names the program asks for are ASCII; their case is what must not matter.
QString AsciiCase(QString s, bool upper) {
    for (QChar& c : s)
        if (upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z')) c = QChar(c.unicode() ^ 0x20);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const db::IniFile ini = db::IniFile::Parse(bytes);
    for (const QString& section : ini.Sections()) {
        if (!ini.HasSection(section) || !ini.HasSection(AsciiCase(section, true))) std::abort();
        if (!Trimmed(section) || section.contains('\n')) std::abort();
        const QMap<QString, QString> keys = ini.Section(section);
        for (auto k = keys.cbegin(); k != keys.cend(); ++k) {
            if (!Trimmed(k.key()) || k.key().contains('=') || k.key().contains('\n')) std::abort();
            if (k.value().contains('\n')) std::abort();
            // Found by name, whatever the default: the value is the file's, not the default.
            if (ini.Value(section, k.key(), "a") != k.value() || ini.Value(section, k.key(), "b") != k.value())
                std::abort();
            if (ini.Value(AsciiCase(section, false), AsciiCase(k.key(), true), "a") != k.value()) std::abort();
        }
    }
    return 0;
}
