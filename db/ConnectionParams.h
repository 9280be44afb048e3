#pragma once
// The named-connection entry: where the database is and how to attach to it. All three
// attachments of a run load the same entry ("Kelmor") from connections.ini.

#include <QString>

namespace db {

inline constexpr const char* kConnectionName = "Kelmor";
inline constexpr const char* kConnectionsFileName = "connections.ini";
// Environment variable naming the connections file explicitly.
inline constexpr const char* kConnectionsEnv = "MARLITH_CONNECTIONS";

struct ConnectionParams {
    // "/path/db.fdb" opens the file with the embedded engine in this process;
    // "host:/path" or "host/port:/path" attaches to a Firebird server.
    QString database;
    QString userName = "SYSDBA";
    QString password;
    QString roleName;       // handed to the server when not empty
    int sqlDialect = 3;
    QString serverCharSet;  // empty: no character set (the bytes of the code page travel)
    QString codePage;       // code page of the text columns; empty: the Windows Big5 page
    bool waitOnLocks = true;
    int lockTimeout = 0;    // seconds a locked row is waited for; 0 waits as long as it takes

    bool isEmbedded() const;
    // The keys of one INI section (Database, User_Name, Password, RoleName, SQLDialect,
    // ServerCharSet, CodePage, WaitOnLocks, LockTimeout; others are ignored).
    static ConnectionParams FromEntry(const class IniFile& ini, const QString& section);
};

// Where connections.ini is looked for, in order: $MARLITH_CONNECTIONS, the directory of
// the executable, $XDG_CONFIG_HOME/marlith (~/.config/marlith). Returns the first file
// that exists, or the first candidate when none does (for the error message).
QString FindConnectionsFile(bool* found = nullptr);
// The same search for any of the program's files: the path in the environment variable,
// then fileName beside the executable, then in the program's config directory.
QString FindProgramFile(const QString& fileName, const char* envVariable, bool* found = nullptr);
// The candidate beside the executable and the one in the user's config directory.
QString ConnectionsFileBesideExecutable();
QString ConnectionsFileInConfigDir();

// Loads the named entry. Throws DbError "Driver/Connection Registry File '<path>' not
// found" without the file, "... cannot be read: <reason>" when it is there but cannot be
// read (a folder in its place, an I/O error), and a clear error when the file has no such
// entry.
ConnectionParams LoadNamedConnection(const QString& name = kConnectionName);

}  // namespace db

namespace db {
// Directory of the running executable (without a trailing separator).
QString ExecutableDir();
}  // namespace db
