#include "platform/SettingsLocation.h"

SettingsLocation NativeSettingsLocation(const QString& application) {
    return {QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application, QSettings::NativeFormat};
}
