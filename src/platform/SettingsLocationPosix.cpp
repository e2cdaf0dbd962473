#include "platform/SettingsLocation.h"

#include <QStandardPaths>

SettingsLocation NativeSettingsLocation(const QString& application) {
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                application + QStringLiteral("/Corvanel.ini"),
            QSettings::IniFormat};
}
