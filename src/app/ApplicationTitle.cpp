#include "app/ApplicationTitle.h"

namespace {

constexpr qsizetype kMaximumTitleLength = 40;

QString& StoredTitle() {
    static QString title;
    return title;
}

}  // namespace

QString ApplicationTitleFor(const QString& productName) {
    QString title = productName;
    do {
        const qsizetype lastSpace = title.lastIndexOf(u' ');
        if (lastSpace < 0) {
            return title.left(kMaximumTitleLength);
        }
        title.truncate(lastSpace);
    } while (title.size() > kMaximumTitleLength);
    return title;
}

QString ApplicationTitle() {
    return StoredTitle();
}

void SetApplicationTitle(const QString& productName) {
    StoredTitle() = ApplicationTitleFor(productName);
}
