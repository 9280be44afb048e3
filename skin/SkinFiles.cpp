#include "skin/SkinFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "skin/SkinData.h"
#include "skin/SkinIni.h"
#include "skin/StoredSkin.h"

namespace skin {

namespace {


QJsonValue FieldJson(const FieldPtr& field) {
    return std::visit(Overloaded{
                          [](int* p) { return QJsonValue(*p); },
                          [](Rect* p) { return QJsonValue(QJsonArray{p->left, p->top, p->right, p->bottom}); },
                          [](QPoint* p) { return QJsonValue(QJsonArray{p->x(), p->y()}); },
                          [](bool* p) { return QJsonValue(*p); },
                          [](FontStyles* p) { return QJsonValue(QJsonArray::fromStringList(FontStyleWords(*p))); },
                          [](Alignment* p) { return QJsonValue(int(*p)); },
                          [](MorphKind* p) { return QJsonValue(int(*p)); },
                          [](InactiveEffect* p) { return QJsonValue(int(*p)); },
                          [](StdCommand* p) { return QJsonValue(int(*p)); },
                          [](QString* p) { return QJsonValue(*p); },
                      },
                      field);
}

template <class Entry>
QJsonArray DumpEntries(const std::vector<std::unique_ptr<Entry>>& entries) {
    QJsonArray out;
    for (const auto& e : entries)
        out.append(QJsonObject{{"name", e->IDName},
                               {"type", QString::fromLatin1(e->TypeName())},
                               {"class", QString::fromLatin1(e->ClassName())},
                               {"fields", DumpFields(*e)}});
    return out;
}

// A picture name from a definition, made safe to write under dir: relative, inside it,
// and not the definition itself.
QString SafePictureName(const QString& name) {
    const QString clean = QDir::cleanPath(name);
    if (clean.isEmpty() || clean == "." || clean == ".." || clean.startsWith("../") || QDir::isAbsolutePath(clean) ||
        clean.compare("skin.ini", Qt::CaseInsensitive) == 0)
        throw SkinError(QStringLiteral("picture file name \"%1\" would be written outside the skin directory").arg(name));
    return clean;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw SkinError(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
}

}  // namespace

QJsonObject DumpFields(SkinEntry& entry) {
    QJsonObject fields;
    for (const FieldRef& f : entry.Fields()) fields.insert(QString::fromLatin1(f.key), FieldJson(f.field));
    return fields;
}

QJsonObject DumpSkinDefinition(const SkinIni& ini) {
    TbsSkinData data;
    data.ReadDefinition(ini);
    return QJsonObject{
        {"valid", ini.IsValidDefinition()},
        {"version", QJsonObject{{"skinname", data.skinname},
                                {"skinauthor", data.skinauthor},
                                {"authoremail", data.authoremail},
                                {"authorurl", data.authorurl},
                                {"skincomments", data.skincomments}}},
        {"forminfo", DumpFields(data.FormInfo)},
        {"popupwindow", DumpFields(data.PopupWindowData)},
        {"hintwindow", DumpFields(data.HintWindowData)},
        {"objects", DumpEntries(data.SkinObjects)},
        {"controls", DumpEntries(data.SkinControls)},
    };
}

UnpackResult UnpackCompressedSkin(QByteArrayView compressed, const QString& dir) {
    TbsCompressedStoredSkin container;
    container.SetCompressedData(compressed.toByteArray());
    const InflatedSkin skin = ParseInflatedSkin(container.Inflate());
    if (skin.version != kCompressedSkinVersion)
        throw SkinError(QStringLiteral("compressed skin has version marker %1, not %2").arg(skin.version).arg(kCompressedSkinVersion));

    const SkinIni ini = SkinIni::FromText(skin.text);
    const QString section = QStringLiteral("PICTURES");
    UnpackResult result;
    // Names first, so that a bad one stops the unpacking before anything is written.
    std::vector<std::pair<QString, QByteArray>> files;
    auto add = [&](const QString& key, const QString& fallback, const BlockPicture& picture) {
        if (picture.bmp.isEmpty()) return;
        QString name = ini.ReadString(section, key, QString());
        if (name.isEmpty()) {
            result.warnings << QStringLiteral("[PICTURES] %1 names no file; written as %2").arg(key, fallback);
            name = fallback;
        }
        files.emplace_back(SafePictureName(name), picture.bmp);
    };
    add("picture", "picture.bmp", skin.pictures.picture);
    add("inactivepicture", "inactivepicture.bmp", skin.pictures.inactivePicture);
    add("mask", "mask.bmp", skin.pictures.mask);
    for (qsizetype i = 0; i < skin.pictures.active.size(); ++i)
        add(QString::number(i), QStringLiteral("active%1.bmp").arg(i), skin.pictures.active[i]);

    const QDir target(dir);
    WriteFile(target.filePath("skin.ini"), skin.text);
    result.written << "skin.ini";
    for (const auto& [name, bytes] : files) {
        WriteFile(target.filePath(name), bytes);
        if (!result.written.contains(name)) result.written << name;
    }
    return result;
}

}  // namespace skin
