#include "platform/SettingsStore.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace {

QString ReasonForStatus(QSettings::Status status, const SettingsLocation& location) {
    if (location.format != QSettings::IniFormat) {
        return QStringLiteral("the registry refused the write; check that you may change the key");
    }
    const QString& filePath = location.path;
    if (status == QSettings::FormatError) {
        return QStringLiteral("the file is not a valid settings file; repair or remove it");
    }
    if (QFileInfo(filePath).isDir()) {
        return QStringLiteral("a folder of that name is in the way");
    }
    return QStringLiteral(
        "the file or its folder cannot be written; check that the disk is not "
        "full and that you may write there");
}

}  // namespace

SettingsStore::SettingsStore()
    : SettingsStore(NativeSettingsLocation(SettingsAddress::kApplication)) {}

SettingsStore::SettingsStore(QString iniFilePath)
    : location_{std::move(iniFilePath), QSettings::IniFormat} {}

SettingsStore::SettingsStore(SettingsLocation location) : location_(std::move(location)) {}

// The file or key belongs to one application (the default one is named after it), so the
// application name adds no level of its own; the section is the INI group or the subkey.
QString SettingsStore::GetSetting(const QString& /*application*/, const QString& section,
                                  const QString& key, const QString& defaultValue) const {
    QSettings settings(location_.path, location_.format);
    settings.beginGroup(section);
    if (!settings.contains(key)) {
        return defaultValue;
    }
    const QVariant value = settings.value(key);
    // An unquoted comma in a hand-edited file makes QSettings read a list; the user meant text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

void SettingsStore::SaveSetting(const QString& /*application*/, const QString& section,
                                const QString& key, const QString& value) {
    QSettings settings(location_.path, location_.format);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw RuntimeError(ErrorNumbers::kPathFileAccess,
                           QStringLiteral("The setting \"%1\" could not be saved to %2: %3.")
                               .arg(key, QDir::toNativeSeparators(location_.path),
                                    ReasonForStatus(settings.status(), location_)));
    }
}
