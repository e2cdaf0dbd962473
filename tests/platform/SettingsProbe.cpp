// settings_probe <ini file> get <key>          prints "present:<value>" or "absent"
// settings_probe <ini file> set <key> <value>  stores the value; exit code 2 when refused
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        return 64;
    }
    SettingsStore store(QString::fromUtf8(argv[1]));
    const QString command = QString::fromUtf8(argv[2]);
    const QString key = QString::fromUtf8(argv[3]);
    if (command == QStringLiteral("get")) {
        const QString absent = QStringLiteral("\x01absent");
        const QString value =
            store.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key, absent);
        const QString line = value == absent ? QStringLiteral("absent") : "present:" + value;
        std::fputs(line.toUtf8().constData(), stdout);
        return 0;
    }
    if (command == QStringLiteral("set") && argc == 5) {
        try {
            store.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key,
                              QString::fromUtf8(argv[4]));
        } catch (const RuntimeError& error) {
            std::fputs(error.what(), stderr);
            return 2;
        }
        return 0;
    }
    return 64;
}
