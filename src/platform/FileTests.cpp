#include "platform/FileTests.h"

#include <QFile>
#include <QFileInfo>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool IsUnsafeCode(char32_t code) {
    return code < 32 || code == U'?' || (code >= 127 && code <= 159);
}

// Windows-1252 keeps Latin-1's codes from 160 up and puts its 27 extra characters (euro sign,
// curly quotes, dashes...) at 128..159, which are unsafe codes anyway. Everything above 255 is
// either one of those or not in the code page at all (and becomes "?"): unsafe either way.
bool IsUnsafeInWindows1252(char16_t unit) {
    return unit > 255 || IsUnsafeCode(unit);
}

// Every code point has a UTF-8 form, so only the code points themselves decide; a lone surrogate
// has no UTF-8 form and would become "?".
bool HasUnsafeUtf8Character(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (unit.isSurrogate() || IsUnsafeCode(unit.unicode())) {
            return true;
        }
    }
    return false;
}

// A path the system call would read differently: it stops at an embedded NUL.
bool CannotBeNamed(const QString& path) {
    return path.isEmpty() || path.contains(QChar(u'\0'));
}

}  // namespace

namespace FileTests {

bool HasUnsafeCharacters(const QString& text, EightBitCodePage codePage) {
    if (codePage == EightBitCodePage::kLocaleUtf8) {
        return HasUnsafeUtf8Character(text);
    }
    for (const QChar unit : text) {
        if (IsUnsafeInWindows1252(unit.unicode())) {
            return true;
        }
    }
    return false;
}

bool IsExistingFile(const QString& path) {
    if (CannotBeNamed(path)) {
        return false;
    }
#ifdef _WIN32
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
#else
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
#endif
}

bool IsExistingPath(const QString& path) {
    if (CannotBeNamed(path)) {
        return false;
    }
#ifdef _WIN32
    return QFileInfo(path).lastModified().isValid();
#else
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
#endif
}

}  // namespace FileTests
