#pragma once

#include "platform/SettingsLocation.h"

#include <QString>

// Per-user text settings addressed by application, section and key (QSettings in an INI file,
// or the registry on Windows).
// An absent key reads as the caller's default; a key holding the empty text reads empty.
// Every write is synced before it returns; a refused write raises RuntimeError.
class SettingsStore {
public:
    // The program's own store (NativeSettingsLocation): an INI file in the user's configuration
    // folder, the registry on Windows.
    SettingsStore();
    // A store in an explicit file (tests point it at a temporary folder).
    explicit SettingsStore(QString iniFilePath);
    explicit SettingsStore(SettingsLocation location);

    // The INI file or the registry key.
    const QString& FilePath() const { return location_.path; }
    bool InRegistry() const { return location_.format != QSettings::IniFormat; }

    QString GetSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue) const;
    void SaveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value);

private:
    SettingsLocation location_;
};

// The one address every setting of the program uses.
namespace SettingsAddress {
inline const QString kApplication = QStringLiteral("Brindlewood");
inline const QString kSection = QStringLiteral("Corvanel");
}  // namespace SettingsAddress
