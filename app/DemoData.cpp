#include "app/DemoData.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <stdexcept>

#include "app/Settings.h"
#include "db/Connection.h"
#include "db/PrivateFiles.h"

namespace app {

QString DemoDataScript() {
    return QString::fromUtf8(R"demo(
INSERT INTO PROJ_ITEM VALUES ('P2026-001', '台北信義辦公室裝修', '十二樓全層', '2026/11/02', 'A001');
INSERT INTO PROJ_ITEM VALUES ('P2026-002', '新竹廠房擴建', '二期工程', '2026/11/15', 'A002');
INSERT INTO PROJ_ITEM VALUES ('P2026-003', '高雄門市展示櫃', NULL, '2026/11/20', 'A001');
INSERT INTO PROJ_ITEM VALUES ('P2026-004', '台中倉儲貨架', '尚未接單', '2026/12/01', 'A002');

INSERT INTO EMPLOYEE VALUES ('A001', '陳志明');
INSERT INTO EMPLOYEE VALUES ('A002', '林美玲');
INSERT INTO EMPLOYEE VALUES ('A003', '王大同');

INSERT INTO PRODUCT VALUES ('F001', '辦公桌組', '組', '160x80x75cm', 5200, 8800, 6, 'V001', '永豐家具', 'FG', '4710001000011');
INSERT INTO PRODUCT VALUES ('F002', '會議桌', '張', '240x120x75cm', 9800, 15800, 2, 'V001', '永豐家具', 'FG', '4710001000028');
INSERT INTO PRODUCT VALUES ('F003', '玻璃展示櫃', '座', '90x45x180cm', 7600, 12500, 1, 'V004', '光華玻璃', 'FG', '4710001000035');
INSERT INTO PRODUCT VALUES ('S001', '桌面板組', '片', '木心板貼美耐板', 1800, 0, 0, NULL, NULL, 'SA', NULL);
INSERT INTO PRODUCT VALUES ('S002', '桌腳組', '組', '鋼管烤漆', 1200, 0, 0, NULL, NULL, 'SA', NULL);
INSERT INTO PRODUCT VALUES ('S003', '玻璃門組', '組', '5mm強化玻璃', 2100, 0, 0, NULL, NULL, 'SA', NULL);
INSERT INTO PRODUCT VALUES ('S004', '櫃體', '座', '18mm木心板', 2600, 0, 0, NULL, NULL, 'SA', NULL);
INSERT INTO PRODUCT VALUES ('S005', '鋼管腳架', '支', '40x40mm', 450, 0, 0, NULL, NULL, 'SA', NULL);
INSERT INTO PRODUCT VALUES ('M001', '木心板', '片', '4x8尺 18mm', 980, 0, 35, 'V002', '大興木業', 'RM', '4710002000010');
INSERT INTO PRODUCT VALUES ('M002', '美耐板', '片', '4x8尺 1mm', 650, 0, 48, 'V002', '大興木業', 'RM', '4710002000027');
INSERT INTO PRODUCT VALUES ('M003', '方鋼管', '支', '40x40x6000mm', 720, 0, 60, 'V003', '中鋼五金', 'RM', '4710003000016');
INSERT INTO PRODUCT VALUES ('M004', '烤漆', '公升', '黑色粉體', 320, 0, 22.5, 'V003', '中鋼五金', 'RM', NULL);
INSERT INTO PRODUCT VALUES ('M005', '強化玻璃', '片', '5mm 85x170cm', 1450, 0, 12, 'V004', '光華玻璃', 'RM', NULL);
INSERT INTO PRODUCT VALUES ('M006', '鉸鏈', '個', '不鏽鋼', 45, 0, 400, 'V003', '中鋼五金', 'HW', NULL);
INSERT INTO PRODUCT VALUES ('M007', '層板', '片', '18mm 85x40cm', 260, 0, 80, 'V002', '大興木業', 'RM', NULL);
INSERT INTO PRODUCT VALUES ('M010', '螺絲包', '包', 'M6 五十入', 85, 120, 150, 'V003', '中鋼五金', 'HW', '4710003000108');
INSERT INTO PRODUCT VALUES ('M011', '封邊條', '捲', '22mm 50米', 380, 0, 30, 'V002', '大興木業', 'RM', NULL);
INSERT INTO PRODUCT VALUES ('M012', 'LED燈條', '條', '24V 1米', 210, 0, 75, 'V005', '明亮照明', 'EL', NULL);

INSERT INTO PD_BOM VALUES ('F001', 'S001', 1, NULL);
INSERT INTO PD_BOM VALUES ('F001', 'S002', 1, NULL);
INSERT INTO PD_BOM VALUES ('F001', 'M010', 1, NULL);
INSERT INTO PD_BOM VALUES ('F002', 'S001', 2, NULL);
INSERT INTO PD_BOM VALUES ('F002', 'S002', 2, NULL);
INSERT INTO PD_BOM VALUES ('F002', 'M011', 6.5, 2.5);
INSERT INTO PD_BOM VALUES ('F003', 'S003', 2, NULL);
INSERT INTO PD_BOM VALUES ('F003', 'S004', 1, NULL);
INSERT INTO PD_BOM VALUES ('F003', 'M012', 3, NULL);
INSERT INTO PD_BOM VALUES ('S001', 'M001', 1, 1);
INSERT INTO PD_BOM VALUES ('S001', 'M002', 2, 4);
INSERT INTO PD_BOM VALUES ('S001', 'M011', 4, 50);
INSERT INTO PD_BOM VALUES ('S002', 'S005', 2, NULL);
INSERT INTO PD_BOM VALUES ('S002', 'M010', 1, NULL);
INSERT INTO PD_BOM VALUES ('S003', 'M005', 1, 1);
INSERT INTO PD_BOM VALUES ('S003', 'M006', 2, NULL);
INSERT INTO PD_BOM VALUES ('S004', 'M001', 2, 1);
INSERT INTO PD_BOM VALUES ('S004', 'M007', 3, 3);
INSERT INTO PD_BOM VALUES ('S005', 'M003', 1.2, 6);
INSERT INTO PD_BOM VALUES ('S005', 'M004', 0.3, NULL);
INSERT INTO PD_BOM VALUES ('S005', 'M099', 4, NULL);

INSERT INTO ORDER_MASTER VALUES ('SO2026110201', '2026/11/02', 'C001', '信義建設股份有限公司', 'P2026-001', 'False', '2026/12/20', 'N');
INSERT INTO ORDER_MASTER VALUES ('SO2026110202', '2026/11/02', 'C001', '信義建設股份有限公司', 'P2026-001', 'False', '2026/12/28', NULL);
INSERT INTO ORDER_MASTER VALUES ('SO2026110501', '2026/11/05', 'C002', '遠東商務中心', 'P2026-001', 'True', '2026/12/15', 'N');
INSERT INTO ORDER_MASTER VALUES ('SO2026103001', '2026/10/30', 'C001', '信義建設股份有限公司', 'P2026-001', 'False', '2026/11/30', 'Y');
INSERT INTO ORDER_MASTER VALUES ('SO2026110601', '2026/11/06', 'C003', '晶華電子股份有限公司', 'P2026-001', 'False', '2027/01/10', 'N');
INSERT INTO ORDER_MASTER VALUES ('SO2026111501', '2026/11/15', 'C003', '晶華電子股份有限公司', 'P2026-002', 'False', '2027/01/15', 'N');
INSERT INTO ORDER_MASTER VALUES ('SO2026111601', '2026/11/16', 'C004', '竹科精密工業', 'P2026-002', 'false', '2027/01/20', 'N');
INSERT INTO ORDER_MASTER VALUES ('SO2026112001', '2026/11/20', 'C005', '港都百貨', 'P2026-003', 'False', '2026/12/24', 'N');

INSERT INTO ORDER_SUB VALUES ('SO2026110201', 'F001', '辦公桌組', 10);
INSERT INTO ORDER_SUB VALUES ('SO2026110201', 'F002', '會議桌', 2);
INSERT INTO ORDER_SUB VALUES ('SO2026110201', 'M010', '螺絲包', 5);
INSERT INTO ORDER_SUB VALUES ('SO2026110202', 'F001', '辦公桌組', 4);
INSERT INTO ORDER_SUB VALUES ('SO2026110501', 'F002', '會議桌', 1);
INSERT INTO ORDER_SUB VALUES ('SO2026103001', 'F001', '辦公桌組', 8);
INSERT INTO ORDER_SUB VALUES ('SO2026110601', 'F003', '玻璃展示櫃', 3);
INSERT INTO ORDER_SUB VALUES ('SO2026110601', 'F001', '辦公桌組', 2.5);
INSERT INTO ORDER_SUB VALUES ('SO2026111501', 'F003', '玻璃展示櫃', 4);
INSERT INTO ORDER_SUB VALUES ('SO2026111501', 'F001', '辦公桌組', 3);
INSERT INTO ORDER_SUB VALUES ('SO2026111601', 'F002', '會議桌', 1);
INSERT INTO ORDER_SUB VALUES ('SO2026112001', 'F003', '玻璃展示櫃', 2);
INSERT INTO ORDER_SUB VALUES ('SO2026112001', 'M012', 'LED燈條', 12);
)demo");
}

namespace {

void RunScript(db::Connection& c, const QString& script) {
    for (const QString& stmt : db::SplitScript(script)) {
        db::Query q(c);
        q.SetSQL(stmt.split('\n'));
        q.Execute();
    }
}

}  // namespace

void CreateProgramDatabase(const QString& path, bool demo) {
    db::ConnectionParams params;
    params.database = path;
    CreateProgramDatabase(params, demo);
}

void CreateProgramDatabase(db::ConnectionParams params, bool demo) {
    const bool embedded = params.isEmbedded();
    if (embedded) {
        const QString path = params.database;
        if (QFileInfo::exists(path))
            throw std::runtime_error("'" + path.toStdString() + "' exists already; init-db never replaces a database");
        // The folders it makes and the database are the user's alone, whatever the umask:
        // anyone who could write the folder could replace the database.
        const QString dir = QFileInfo(path).absolutePath();
        if (!db::MakePrivatePath(dir)) throw std::runtime_error("cannot create the folder '" + dir.toStdString() + "'");
        params.database = QFileInfo(path).absoluteFilePath();
    }
    // On a server the server itself refuses a file that exists.
    db::Connection::CreateDatabase(params);
    try {
        // The engine makes the file readable by its group; the clerk's data is the clerk's.
        if (embedded && !QFile::setPermissions(params.database, db::kPrivateFile))
            throw std::runtime_error("cannot make '" + params.database.toStdString() + "' the user's alone");
        db::Connection c;
        c.SetParams(params);
        // Tables first (DDL is seen only once committed), then the data, each all or nothing.
        c.StartTransaction();
        RunScript(c, db::SchemaScript());
        c.Commit();
        if (demo) {
            c.StartTransaction();
            RunScript(c, DemoDataScript());
            c.Commit();
        }
    } catch (...) {
        // A half-made database is of no use to anyone. A server's file is the server's
        // to remove (the error says why it is incomplete; nothing of it was committed
        // beyond the empty database).
        if (embedded) QFile::remove(params.database);
        throw;
    }
}

namespace {

// Writes text to path unless a file is there; creates the folder. The file is the user's
// alone from the start (a server's entry holds its password), whatever the umask.
bool WriteIfAbsent(const QString& path, const QByteArray& text) {
    if (QFileInfo::exists(path)) return false;
    db::MakePrivatePath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, db::kPrivateFile))
        throw std::runtime_error("cannot write '" + path.toStdString() + "': " + f.errorString().toStdString());
    if (f.write(text) != text.size() || !f.flush())
        throw std::runtime_error("cannot write '" + path.toStdString() + "': " + f.errorString().toStdString());
    return true;
}

}  // namespace

QStringList WriteDemoConfiguration(const QString& databasePath) {
    db::ConnectionParams params;
    params.database = databasePath;
    return WriteDemoConfiguration(params);
}

QStringList WriteDemoConfiguration(const db::ConnectionParams& params) {
    // A server's location is written as given; a local file by its whole path.
    const QString location =
        params.isEmbedded() ? QFileInfo(params.database).absoluteFilePath() : params.database;
    QStringList report;
    bool found = false;
    QString connections = db::FindConnectionsFile(&found);
    if (!found && qEnvironmentVariable(db::kConnectionsEnv).isEmpty())
        connections = db::ConnectionsFileInConfigDir();
    const QByteArray entry = QStringLiteral(
        "; Written by marlith init-db --demo.\n"
        "[%1]\n"
        "DriverName=Interbase\n"
        "Database=%2\n"
        "RoleName=\n"
        "User_Name=%3\n"
        "Password=%4\n"
        "ServerCharSet=\n"
        "CodePage=Big5\n"
        "SQLDialect=3\n"
        "WaitOnLocks=True\n"
        "LockTimeout=0\n")
                                 .arg(db::kConnectionName, location, params.userName, params.password)
                                 .toUtf8();
    if (WriteIfAbsent(connections, entry))
        report << "wrote the connection entry " + connections;
    else
        report << "kept the existing connection file " + connections;

    // Like the connection entry, a new settings file goes to the user's config folder: the
    // executable's folder may be the system's (/usr/bin), and a file left there would be
    // read by every user and outlive the program's removal.
    QString settings = Settings::DefaultPath(&found);
    if (!found && qEnvironmentVariable(kSettingsEnv).isEmpty()) settings = Settings::PathInConfigDir();
    if (WriteIfAbsent(settings, "; Written by marlith init-db --demo.\n[privite]\nuserid=A001\nstoreid=S01\n"))
        report << "wrote the settings file " + settings;
    else
        report << "kept the existing settings file " + settings;
    return report;
}

}  // namespace app
