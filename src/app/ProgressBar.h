#pragma once

#include <QProgressBar>

// A progress bar that shows its text exactly as set: QProgressBar would replace "%p", "%v" and
// "%m" inside it, and a document's file name may contain them.
class LiteralTextProgressBar : public QProgressBar {
    Q_OBJECT

public:
    using QProgressBar::QProgressBar;

    QString text() const override { return format(); }
};
