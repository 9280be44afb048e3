#include "db/ConnectionParams.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "db/Error.h"
#include "db/IniFile.h"

namespace db {

bool ConnectionParams::isEmbedded() const {
    // A server is named before the path: "host:/path", "host/port:/path". A path that
    // starts at the root or the current directory is a local file whatever it contains.
    if (database.startsWith('/') || database.startsWith("./") || database.startsWith("../"))
        return true;
    return !database.contains(':');
}

namespace {

bool ParseBool(const QString& v, bool def) {
    const QString s = v.trimmed().toLower();
    if (s == "true" || s == "1" || s == "yes") return true;
    if (s == "false" || s == "0" || s == "no") return false;
    return def;
}

}  // namespace

ConnectionParams ConnectionParams::FromEntry(const IniFile& ini, const QString& section) {
    ConnectionParams p;
    p.database = ini.Value(section, "Database");
    p.userName = ini.Value(section, "User_Name", p.userName);
    p.password = ini.Value(section, "Password");
    p.roleName = ini.Value(section, "RoleName");
    bool ok = false;
    const int dialect = ini.Value(section, "SQLDialect", "3").toInt(&ok);
    if (ok) p.sqlDialect = dialect;
    p.serverCharSet = ini.Value(section, "ServerCharSet");
    p.codePage = ini.Value(section, "CodePage");
    p.waitOnLocks = ParseBool(ini.Value(section, "WaitOnLocks"), true);
    const int timeout = ini.Value(section, "LockTimeout", "0").toInt(&ok);
    if (ok && timeout >= 0) p.lockTimeout = timeout;
    return p;
}

QString ExecutableDir() {
    // Works without a QCoreApplication (tests, early start-up).
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath();
}

QString ConnectionsFileBesideExecutable() {
    return QDir(ExecutableDir()).filePath(kConnectionsFileName);
}

QString ConnectionsFileInConfigDir() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::home().filePath(".config");
    return QDir(base).filePath(QStringLiteral("marlith/") + kConnectionsFileName);
}

QString FindConnectionsFile(bool* found) { return FindProgramFile(kConnectionsFileName, kConnectionsEnv, found); }

QString FindProgramFile(const QString& fileName, const char* envVariable, bool* found) {
    const QString explicitPath = qEnvironmentVariable(envVariable);
    if (!explicitPath.isEmpty()) {
        // An explicit choice is never replaced by a file found elsewhere.
        if (found) *found = QFileInfo::exists(explicitPath);
        return explicitPath;
    }
    const QStringList candidates = {QDir(ExecutableDir()).filePath(fileName),
                                    QFileInfo(ConnectionsFileInConfigDir()).dir().filePath(fileName)};
    for (const QString& c : candidates) {
        if (QFileInfo::exists(c)) {
            if (found) *found = true;
            return c;
        }
    }
    if (found) *found = false;
    return candidates.first();
}

ConnectionParams LoadNamedConnection(const QString& name) {
    bool found = false;
    const QString path = FindConnectionsFile(&found);
    if (!found) throw DbError(QString("Driver/Connection Registry File '%1' not found").arg(path).toStdString());
    QString reason;
    const auto ini = IniFile::Load(path, &reason);
    if (!ini)
        throw DbError(
            QString("Driver/Connection Registry File '%1' cannot be read: %2").arg(path, reason).toStdString());
    if (!ini->HasSection(name))
        throw DbError(QString("Connection '%1' not found in '%2'").arg(name, path).toStdString());
    ConnectionParams p = ConnectionParams::FromEntry(*ini, name);
    if (p.database.isEmpty())
        throw DbError(QString("Connection '%1' in '%2' has no Database").arg(name, path).toStdString());
    return p;
}

}  // namespace db
