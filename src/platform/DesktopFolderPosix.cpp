#include "platform/DesktopFolder.h"

#include <QDir>
#include <QStandardPaths>

QString DesktopFolder() {
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}
