#pragma once
// Skin workshop operations over files, for skin authors and for checking the reader from
// outside: a definition as JSON, and a compressed container taken apart into a skin
// directory again.

#include <QByteArrayView>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace skin {

class SkinIni;
class SkinEntry;

// Every field of an entry, inherited ones included, by lower-case key: integers and
// colours as numbers, rects as [l,t,r,b], points as [x,y], booleans, font styles as the
// array of the words present (fsbold, fsitalic, fsunderline, fsstrikeout in that
// order), enumerations as their numbers, strings as strings.
QJsonObject DumpFields(SkinEntry& entry);

// The definition as read: {"valid", "version", "forminfo", "popupwindow", "hintwindow",
// "objects", "controls"}, each entry {"name", "type", "class", "fields"}. Entries of
// unknown types are left out, exactly as a load leaves them out.
QJsonObject DumpSkinDefinition(const SkinIni& ini);

struct UnpackResult {
    QStringList written;   // files written, relative to the directory
    QStringList warnings;  // pictures the definition does not name (written under made-up names)
};

// Writes the definition of a compressed container to dir/skin.ini (as stored) and each
// of its pictures, byte for byte, under the file name its definition gives in
// [PICTURES]. Throws SkinError for a malformed container, another version marker, a
// picture name that would leave dir, or a file that cannot be written.
UnpackResult UnpackCompressedSkin(QByteArrayView compressed, const QString& dir);

}  // namespace skin
