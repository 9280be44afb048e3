// Skin workshop commands over files: print a definition as JSON, pack a skin directory
// into the compressed container the program carries, and unpack one again.

#include <QFile>
#include <QJsonDocument>

#include <cstdio>

#include "app/Command.h"
#include "skin/SkinFiles.h"
#include "skin/SkinIni.h"
#include "skin/StoredSkin.h"

namespace {

QStringList Positional(const QStringList& args, int count) {
    app::RejectUnknownOptions(args);
    if (args.size() != count)
        throw app::UsageError(args.size() < count ? "missing argument" : "too many arguments");
    return args;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()).toStdString());
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()).toStdString());
}

int Dump(const QStringList& args) {
    const QStringList a = Positional(args, 1);
    const skin::SkinIni ini = skin::SkinIni::FromText(ReadFile(a[0]));
    const QByteArray json = QJsonDocument(skin::DumpSkinDefinition(ini)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

int Pack(const QStringList& args) {
    const QStringList a = Positional(args, 2);
    skin::TbsCompressedStoredSkin skin;
    if (!skin.LoadFromSkinFile(a[0]))
        throw std::runtime_error(QStringLiteral("%1 is not a skin definition: it needs the sections VERSION, "
                                                "PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS")
                                     .arg(a[0])
                                     .toStdString());
    WriteFile(a[1], skin.CompressedData());
    return 0;
}

int Unpack(const QStringList& args) {
    const QStringList a = Positional(args, 2);
    const skin::UnpackResult r = skin::UnpackCompressedSkin(ReadFile(a[0]), a[1]);
    for (const QString& w : r.warnings) std::fprintf(stderr, "marlith skin unpack: %s\n", qPrintable(w));
    for (const QString& f : r.written) std::printf("%s\n", qPrintable(f));
    return 0;
}

const app::CommandRegistrar kDump({
    "skin dump",
    "FILE.ini",
    "print a skin definition as JSON: sections and every entry with all its fields",
    app::Needs::Core,
    &Dump,
});

const app::CommandRegistrar kPack({
    "skin pack",
    "FILE.ini OUT",
    "pack a skin definition and its bitmaps into a compressed skin container (one zlib stream)",
    app::Needs::Core,
    &Pack,
});

const app::CommandRegistrar kUnpack({
    "skin unpack",
    "IN DIR",
    "write a compressed skin container back as DIR/skin.ini and its bitmaps",
    app::Needs::Core,
    &Unpack,
});

}  // namespace
