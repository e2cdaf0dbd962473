#include "platform/FileTests.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileTests {

bool IsExistingFile(const QString& path) {
    if (CannotBeNamed(path)) {
        return false;
    }
    // Only regular files count: opening a device can have effects of its own (a watchdog, a tape
    // drive), and a FIFO or socket holds no document. The open never blocks and never adopts a
    // terminal; the type is checked again on the open descriptor in case the entry was replaced.
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    const bool isRegular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return isRegular;
}

bool IsExistingPath(const QString& path) {
    if (CannotBeNamed(path)) {
        return false;
    }
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

}  // namespace FileTests
