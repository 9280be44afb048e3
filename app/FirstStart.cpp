#include "app/FirstStart.h"

#include <QDir>
#include <QFileInfo>

#include "app/DemoData.h"
#include "db/ConnectionParams.h"
#include "db/IniFile.h"

namespace app {

bool ConnectionEntryMissing() {
    bool found = false;
    const QString path = db::FindConnectionsFile(&found);
    if (!found) return true;
    // A file that is there but cannot be read is no first start: the window shows why.
    const auto ini = db::IniFile::Load(path);
    return ini && !ini->HasSection(QString::fromLatin1(db::kConnectionName));
}

QStringList ConnectionFileCandidates() {
    const QString chosen = qEnvironmentVariable(db::kConnectionsEnv);
    if (!chosen.isEmpty()) return {chosen};
    return {db::ConnectionsFileBesideExecutable(), db::ConnectionsFileInConfigDir()};
}

QString DemoDatabasePath() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty()) data = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(data).filePath(QStringLiteral("marlith/demo/POSDATA.FDB"));
}

QString FirstStartQuestion() {
    QStringList places;
    for (const QString& p : ConnectionFileCandidates()) places << QStringLiteral("    ") + QDir::toNativeSeparators(p);
    return QStringLiteral("找不到資料庫的連線設定（[%1] 項目）。\n程式在下列位置尋找連線設定檔：\n%2\n\n"
                          "要建立示範資料庫，先看看程式嗎？\n示範資料庫將建立在 %3")
        .arg(QString::fromLatin1(db::kConnectionName), places.join(QLatin1Char('\n')),
             QDir::toNativeSeparators(DemoDatabasePath()));
}

QStringList CreateDemoForFirstStart() {
    const QString path = DemoDatabasePath();
    QStringList lines;
    if (!QFileInfo::exists(path)) {
        CreateProgramDatabase(path, true);  // with its folders, the user's alone
        lines << QStringLiteral("created %1 with the demo data").arg(path);
    }
    return lines + WriteDemoConfiguration(path);
}

}  // namespace app
