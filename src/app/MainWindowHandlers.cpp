// The handlers of the buttons, the output folder box and removal from the list.
#include "app/ApplicationTitle.h"
#include "app/MainWindow.h"
#include "doclist/DocumentListModel.h"
#include "platform/Dialogs.h"
#include "platform/Globals.h"
#include "platform/HandlerTrap.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kOutputFolderKey = QStringLiteral("Output Folder");
const QString kLastFolderDotKey = QStringLiteral("LastFolderDot");

namespace AddFilesStep {
constexpr int kSetTitle = 108;
constexpr int kSetFilter = 110;
constexpr int kAskFiles = 112;
constexpr int kCheckNone = 114;
constexpr int kCheckOne = 118;
constexpr int kAddOne = 122;
constexpr int kNormalizeEach = 136;
constexpr int kAddAll = 140;
}  // namespace AddFilesStep

namespace BrowseStep {
constexpr int kAskFolder = 100;
constexpr int kCheckCancelled = 102;
constexpr int kRememberFolder = 104;
constexpr int kCheckSeparator = 104;
constexpr int kShowWithSeparator = 106;
constexpr int kShowAsPicked = 108;
}  // namespace BrowseStep

namespace ClearStep {
constexpr int kCheckBusy = 100;
constexpr int kClear = 102;
}  // namespace ClearStep

}  // namespace

// Qt's dialog hands back a list of full paths and has no name buffer to overflow, so there is no
// "too many files" case to handle.
void MainWindow::AddFilesFromDialog() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kAddFilesFromDialog);
    OpenFilesRequest request;
    trap.Step(AddFilesStep::kSetTitle, [&] {
        request.title = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
    });
    trap.Step(AddFilesStep::kSetFilter,
              [&] { request.filter = QStringLiteral("Word Documents (*.do*);;All Files (*.*)"); });
    QStringList chosen;
    trap.Step(AddFilesStep::kAskFiles,
              [&] { chosen = services_.dialogs.OpenFiles(this, request); });
    if (trap.Condition(AddFilesStep::kCheckNone, [&] { return chosen.isEmpty(); })) {
        return;
    }
    if (trap.Condition(AddFilesStep::kCheckOne, [&] { return chosen.size() == 1; })) {
        trap.Step(AddFilesStep::kAddOne, [&] { documents_->Append(chosen.first()); });
        return;
    }
    QStringList rows;
    for (const QString& path : chosen) {
        trap.Step(AddFilesStep::kNormalizeEach, [&] {
            const QFileInfo file(path);
            const QString joined =
                QDir::toNativeSeparators(file.path()) + PathSeparator() + file.fileName();
            rows.append(Globals::NormalizePath(joined));
        });
    }
    trap.Step(AddFilesStep::kAddAll, [&] { documents_->AppendMany(rows); });
}

void MainWindow::StartExport() {
    exportRun_.Run();
}

// The pick gets exactly one trailing separator in the box.
void MainWindow::BrowseOutputFolder() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kBrowseOutputFolder);
    QString lastOutputFolder;
    QString picked;
    trap.Step(BrowseStep::kAskFolder, [&] {
        lastOutputFolder = services_.settings.GetSetting(
            SettingsAddress::kApplication, SettingsAddress::kSection, kLastFolderDotKey, QString());
    });
    trap.Step(BrowseStep::kAskFolder, [&] {
        picked = services_.dialogs.PickFolder(this, QStringLiteral("Please select folder:"),
                                              lastOutputFolder);
    });
    if (trap.Condition(BrowseStep::kCheckCancelled, [&] { return picked.isEmpty(); })) {
        return;
    }
    trap.Step(BrowseStep::kRememberFolder, [&] {
        lastOutputFolder = picked;
        services_.settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection,
                                       kLastFolderDotKey, lastOutputFolder);
    });
    if (trap.Condition(BrowseStep::kCheckSeparator,
                       [&] { return !picked.endsWith(PathSeparator()); })) {
        trap.Step(BrowseStep::kShowWithSeparator,
                  [&] { outputFolderBox_->setText(picked + PathSeparator()); });
    } else {
        trap.Step(BrowseStep::kShowAsPicked, [&] { outputFolderBox_->setText(picked); });
    }
}

void MainWindow::ClearList() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kClearList);
    if (trap.Condition(ClearStep::kCheckBusy, [&] { return pointer_.Busy(); })) {
        return;
    }
    trap.Step(ClearStep::kClear, [&] { documents_->Clear(); });
}

// Every change of the box, typed or set, is stored at once. A store that refuses the write is
// reported once (not at every keystroke) until a write succeeds again.
void MainWindow::StoreOutputFolder() {
    try {
        services_.settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection,
                                       kOutputFolderKey, outputFolderBox_->text());
        settingFailureShown_ = false;
    } catch (const RuntimeError& error) {
        if (settingFailureShown_) {
            return;
        }
        settingFailureShown_ = true;
        MessageRequest message;
        message.text = error.Description();
        message.caption = ApplicationTitle();
        message.icon = MessageIcon::Exclamation;
        services_.dialogs.ShowMessage(this, message);
    }
}

// No removal while busy: an export reads the list by position.
void MainWindow::RemoveRow(int position) {
    if (pointer_.Busy() || position < 1 || position > documents_->Count()) {
        return;
    }
    documents_->RemoveAt(position);
}
