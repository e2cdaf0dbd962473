#include "app/ProgressBar.h"

LiteralTextProgressBar::LiteralTextProgressBar(QWidget* parent) : QProgressBar(parent) {
    resumePainting_.setSingleShot(true);
    connect(&resumePainting_, &QTimer::timeout, this, [this] { setUpdatesEnabled(true); });
}

void LiteralTextProgressBar::SetValueSoon(int value) {
    Change([&] { setValue(value); });
}

void LiteralTextProgressBar::SetTextSoon(const QString& text) {
    Change([&] { setFormat(text); });
}

void LiteralTextProgressBar::Change(const std::function<void()>& change) {
    if (resumePainting_.isActive()) {  // painting already deferred: the timer shows this too
        change();
        return;
    }
    const qint64 elapsed = sincePaint_.isValid() ? sincePaint_.elapsed() : kPaintInterval;
    if (elapsed >= kPaintInterval) {
        change();
        return;
    }
    // Re-enabling updates repaints the whole bar with whatever it holds by then.
    setUpdatesEnabled(false);
    change();
    resumePainting_.start(static_cast<int>(kPaintInterval - elapsed));
}

void LiteralTextProgressBar::paintEvent(QPaintEvent* event) {
    QProgressBar::paintEvent(event);
    sincePaint_.restart();
}
