#pragma once

#include "export/ExportRun.h"
#include "platform/RuntimeError.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The window as the export run sees it, logging every change in order ("value 50",
// "text Processing: a.doc", "busy", "yield").
class FakeExportView : public ExportView {
public:
    QStringList list;
    QString folder;
    QStringList log;
    bool ended = false;
    // Runs at each yield, with the number of the yield (1 for the first).
    std::function<void(int)> onYield;

    int yields = 0;
    int progressValue = 0;
    QString progressText = QStringLiteral("Progress Bar");
    bool busy = false;

    int DocumentCount() const override { return static_cast<int>(list.size()); }
    QString DocumentText(int position) const override {
        if (position < 1 || position > list.size()) {
            throw RuntimeError(9, QStringLiteral("Subscript out of range"));
        }
        return list.at(position - 1);
    }
    QString OutputFolderText() const override { return folder; }
    void SetProgressValue(int value) override {
        progressValue = value;
        log.append(QStringLiteral("value %1").arg(value));
    }
    void SetProgressText(const QString& text) override {
        progressText = text;
        log.append(QStringLiteral("text ") + text);
    }
    void ShowBusyPointer(bool value) override {
        busy = value;
        log.append(value ? QStringLiteral("busy") : QStringLiteral("idle"));
    }
    void YieldToEvents() override {
        ++yields;
        log.append(QStringLiteral("yield"));
        if (onYield) {
            onYield(yields);
        }
    }
    bool ProgramEnded() const override { return ended; }
};
