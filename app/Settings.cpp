#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "db/ConnectionParams.h"
#include "db/IniFile.h"

namespace app {

Settings Settings::Load(const QString& path) {
    Settings s;
    s.path = path;
    const auto ini = db::IniFile::Load(path);
    if (!ini) {
        s.problem = Problem::FileMissing;
        return s;
    }
    s.userId = ini->Value(kSettingsSection, "userid");
    s.storeId = ini->Value(kSettingsSection, "storeid");
    if (s.userId.isEmpty()) s.problem = Problem::UserMissing;
    return s;
}

QString Settings::Warning() const {
    const QString shown = QDir::toNativeSeparators(path);
    switch (problem) {
    case Problem::None: break;
    case Problem::FileMissing:
        return QStringLiteral("找不到設定檔 %1，無法取得使用者代號與門市代號。").arg(shown);
    case Problem::UserMissing:
        return QStringLiteral("設定檔 %1 沒有使用者代號（[%2] 區段的 userid）。").arg(shown, kSettingsSection);
    }
    return {};
}

QString Settings::DefaultPath(bool* found) { return db::FindProgramFile(kSettingsFileName, kSettingsEnv, found); }

QString Settings::PathInConfigDir() {
    return QFileInfo(db::ConnectionsFileInConfigDir()).dir().filePath(kSettingsFileName);
}

}  // namespace app
