#pragma once

#include <QSettings>
#include <QString>

// Where one application's settings live: an INI file, or on Windows a registry key.
struct SettingsLocation {
    QString path;
    QSettings::Format format = QSettings::IniFormat;
};

// The application's store among the user's own settings. POSIX (SettingsLocationPosix.cpp):
// <config>/<application>/Corvanel.ini. Windows (SettingsLocationWin32.cpp): the registry key
// HKEY_CURRENT_USER\Software\<application>. Either way the section is the next level down.
SettingsLocation NativeSettingsLocation(const QString& application);
