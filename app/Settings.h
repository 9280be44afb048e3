#pragma once
// The settings file "Dovanta.ini" beside the executable: section "privite" (spelled so),
// keys "userid" and "storeid", read as the Windows profile reader reads them
// (db::IniFile). A missing file, section or key gives empty text; a missing file or user
// id is also a warning for the clerk, since every requisition is stamped with the user.
// The program never writes the file (init-db --demo writes a first one for the demo
// database, in the user's config folder: an installed program's folder is not the user's
// to write).

#include <QString>

namespace app {

inline constexpr const char* kSettingsFileName = "Dovanta.ini";
inline constexpr const char* kSettingsSection = "privite";
// Environment variable that names the settings file instead (tests, read-only installs).
inline constexpr const char* kSettingsEnv = "MARLITH_SETTINGS";

struct Settings {
    enum class Problem {
        None,
        FileMissing,  // the file is not there or cannot be read (then `unreadable` says why)
        UserMissing,  // no user id (no section, no key, or an empty value)
    };

    QString path;  // the file read
    QString userId;
    QString storeId;
    Problem problem = Problem::None;
    // FileMissing for a file that is there: why it cannot be read (a FIFO or a device in
    // its place, over 1 MiB, not permitted).
    QString unreadable;

    // The warning for the clerk, in the program's language with the file's path; empty
    // when there is no problem.
    QString Warning() const;

    static Settings Load(const QString& path);
    // Where the settings file is looked for, in order: $MARLITH_SETTINGS, the executable's
    // directory, $XDG_CONFIG_HOME/marlith (~/.config/marlith, beside connections.ini).
    // Returns the first file that exists, or the one beside the executable when none does.
    static QString DefaultPath(bool* found = nullptr);
    static QString PathInConfigDir();
};

}  // namespace app
