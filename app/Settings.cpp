#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "db/ConnectionParams.h"
#include "db/IniFile.h"

namespace app {

Settings Settings::Load(const QString& path) {
    Settings s;
    const auto ini = db::IniFile::Load(path);
    if (!ini) return s;
    s.userId = ini->Value(kSettingsSection, "userid");
    s.storeId = ini->Value(kSettingsSection, "storeid");
    return s;
}

QString Settings::DefaultPath(bool* found) {
    const QString env = qEnvironmentVariable(kSettingsEnv);
    if (!env.isEmpty()) {
        // An explicit choice is never replaced by a file found elsewhere.
        if (found) *found = QFileInfo::exists(env);
        return env;
    }
    const QStringList candidates = {QDir(db::ExecutableDir()).filePath(kSettingsFileName), PathInConfigDir()};
    for (const QString& c : candidates) {
        if (QFileInfo::exists(c)) {
            if (found) *found = true;
            return c;
        }
    }
    if (found) *found = false;
    return candidates.first();
}

QString Settings::PathInConfigDir() {
    return QFileInfo(db::ConnectionsFileInConfigDir()).dir().filePath(kSettingsFileName);
}

}  // namespace app
