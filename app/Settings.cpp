#include "app/Settings.h"

#include <QDir>

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

QString Settings::DefaultPath() {
    const QString env = qEnvironmentVariable(kSettingsEnv);
    if (!env.isEmpty()) return env;
    return QDir(db::ExecutableDir()).filePath(kSettingsFileName);
}

}  // namespace app
