#pragma once

#include "platform/Dialogs.h"

#include <QString>

#include <functional>

class QWidget;

// Support address quoted at the end of every failure report.
inline const QString kSupportEmailAddress = QStringLiteral("support@brindlewood.example");

// The report text: description, CR LF, tag, "at line ", number, CR CR, support sentence.
QString BuildHandlerErrorReport(const QString& description, const QString& tag, int line);

// Shows the "Application Error" report (OK only, exclamation icon) and returns when closed.
void ReportHandlerError(Dialogs& dialogs, QWidget* owner, const QString& description,
                        const QString& tag, int line);

// The error trap of a handler: runs its numbered steps; a step that fails is reported with the
// handler's tag and the step's number, and the handler goes on with the next step.
class HandlerTrap {
public:
    HandlerTrap(Dialogs& dialogs, QWidget* owner, QString tag);

    // Runs one statement. Returns true when it completed, false when it failed and was reported.
    bool Step(int line, const std::function<void()>& statement);

    // Evaluates a condition. A failure is reported and counts as true, so the statements the
    // condition guards run, as the trap resumes with the statement after the test.
    bool Condition(int line, const std::function<bool()>& test);

    const QString& Tag() const { return tag_; }

private:
    void Report(int line, const QString& description);

    Dialogs& dialogs_;
    QWidget* owner_;
    QString tag_;
};

// Tags that name each trapped routine in its report. The texts are what support reads in a
// report, so they stay as they are even where the routine has been renamed.
namespace HandlerTags {
inline const QString kStartUp = QStringLiteral("in Quirelle2021/08/31.Form1.Form_Load ");
inline const QString kAddFilesFromDialog =
    QStringLiteral("in Quirelle2021/08/31.Form1.PushButton1_Click ");
inline const QString kStartExport =
    QStringLiteral("in Quirelle2021/08/31.Form1.PushButton2_Click ");
inline const QString kBrowseOutputFolder =
    QStringLiteral("in Quirelle2021/08/31.Form1.PushButton3_Click ");
inline const QString kAddFolderTree =
    QStringLiteral("in Quirelle2021/08/31.Form1.PushButton4_Click ");
inline const QString kClearList = QStringLiteral("in Quirelle2021/08/31.Form1.PushButton6_Click ");
inline const QString kLoadSamples =
    QStringLiteral("in Quirelle2021/08/31.Form1.PushButton7_Click ");
inline const QString kExpandSubfolders =
    QStringLiteral("in Marrowfen2021/08/31.AddFolder.GetSubDirectories2016 ");
}  // namespace HandlerTags
