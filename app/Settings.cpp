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
    QString reason;
    const auto ini = db::IniFile::Load(path, &reason);
    if (!ini) {
        s.problem = Problem::FileMissing;
        if (QFileInfo::exists(path)) s.unreadable = reason;
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
        if (!unreadable.isEmpty())
            return QStringLiteral("無法讀取設定檔 %1（%2），無法取得使用者代號與門市代號。").arg(shown, unreadable);
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
