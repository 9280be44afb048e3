#include "mrp/QueryDump.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "db/PrivateFiles.h"

namespace mrp {

QString DefaultQueryDumpPath() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::home().filePath(".cache");
    return QDir(base).filePath("marlith/query.txt");
}

void WriteQueryDump(const QString& path, const QStringList& lines, const db::CodePage& codePage) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += codePage.Encode(line) + "\r\n";

    const auto fail = [&](const QString& reason) {
        throw QueryDumpError(QString("cannot write the query file %1: %2").arg(path, reason).toStdString());
    };
    const QString dir = QFileInfo(path).absolutePath();
    if (!db::MakePrivatePath(dir)) fail("cannot create the folder " + dir);
    // Written beside and renamed over the old file: a failed write leaves the previous
    // query whole rather than half of the new one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
    // The statements name the clerk's projects: the user's alone, whatever the file it
    // replaces allowed.
    if (!file.setPermissions(db::kPrivateFile)) fail(file.errorString());
    if (file.write(bytes) != bytes.size()) fail(file.errorString());
    if (!file.commit()) fail(file.errorString());
}

}  // namespace mrp
