#pragma once

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <functional>

// The window's progress bar. It shows its text exactly as set (QProgressBar would replace "%p",
// "%v" and "%m" inside it, and a file name may contain them), and it paints at most every
// kPaintInterval: an export of many small documents changes value and text once per document,
// and painting each state would cost more than converting the document. The value and text are
// always current; only the painting is deferred, and the last state is always shown.
class LiteralTextProgressBar : public QProgressBar {
    Q_OBJECT

public:
    static constexpr int kPaintInterval = 40;  // ms

    explicit LiteralTextProgressBar(QWidget* parent = nullptr);

    QString text() const override { return format(); }

    void SetValueSoon(int value);
    void SetTextSoon(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Change(const std::function<void()>& change);

    QElapsedTimer sincePaint_;
    QTimer resumePainting_;
};
