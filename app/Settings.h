#pragma once
// The settings file "Dovanta.ini" beside the executable: section "privite" (spelled so),
// keys "userid" and "storeid". A missing file, section or key gives empty text. The
// program never writes it (init-db --demo writes a first one for the demo database).

#include <QString>

namespace app {

inline constexpr const char* kSettingsFileName = "Dovanta.ini";
inline constexpr const char* kSettingsSection = "privite";
// Environment variable that names the settings file instead (tests, read-only installs).
inline constexpr const char* kSettingsEnv = "MARLITH_SETTINGS";

struct Settings {
    QString userId;
    QString storeId;

    static Settings Load(const QString& path);
    // $MARLITH_SETTINGS, else the executable's directory + "Dovanta.ini".
    static QString DefaultPath();
};

}  // namespace app
