#pragma once

#include <QString>

// Per-user text settings addressed by application, section and key (QSettings in an INI file).
// An absent key reads as the caller's default; a key holding the empty text reads empty.
// Every write is synced before it returns; a refused write raises RuntimeError.
class SettingsStore {
public:
    // The store in the user's configuration folder: <config>/Brindlewood/Corvanel.ini.
    SettingsStore();
    // A store in an explicit file (tests point it at a temporary folder).
    explicit SettingsStore(QString iniFilePath);

    const QString& FilePath() const { return filePath_; }

    QString GetSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue) const;
    void SaveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value);

private:
    QString filePath_;
};

// The one address every setting of the program uses.
namespace SettingsAddress {
inline const QString kApplication = QStringLiteral("Brindlewood");
inline const QString kSection = QStringLiteral("Corvanel");
}  // namespace SettingsAddress
