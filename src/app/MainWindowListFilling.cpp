// Filling the list: the folder scan, the samples, drops onto the list and documents handed over.
#include "app/ApplicationTitle.h"
#include "app/MainWindow.h"
#include "app/StartUpFiles.h"
#include "doclist/AddFolder.h"
#include "doclist/DocumentListModel.h"
#include "doclist/DroppedPaths.h"
#include "doclist/FolderFiles.h"
#include "doclist/SampleDocuments.h"
#include "doclist/StepGuard.h"
#include "platform/Dialogs.h"
#include "platform/HandlerTrap.h"
#include "platform/PathStyle.h"
#include "platform/SettingsStore.h"

namespace {

const QString kExtensionKey = QStringLiteral("Extension");
const QString kLastFolderKey = QStringLiteral("LastFolder");
const QString kDefaultExtension = QStringLiteral("doc");
const QString kExtensionPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, "
    "doc for all doc files, etc.)");

// The folder scan's steps; the file phase numbers its own (AppendFolderSetFiles).
namespace ScanStep {
constexpr int kAskExtension = 100;
constexpr int kPickFolder = 104;
constexpr int kRememberFolder = 333;
constexpr int kStoreFolder = 334;
constexpr int kShowBusy = 112;
constexpr int kStartFolderSet = 114;
constexpr int kExpandSubfolders = 116;
constexpr int kListFiles = 118;
constexpr int kShowIdle = 136;
}  // namespace ScanStep

constexpr int kLoadSamplesStep = 100;

}  // namespace

void MainWindow::AddFolderTree() {
    Dialogs& dialogs = services_.dialogs;
    SettingsStore& settings = services_.settings;
    HandlerTrap trap(dialogs, this, HandlerTags::kAddFolderTree);
    const auto setting = [&](const QString& key, const QString& fallback) {
        return settings.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key,
                                   fallback);
    };
    const auto store = [&](const QString& key, const QString& value) {
        settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key, value);
    };

    QString extension;
    trap.Step(ScanStep::kAskExtension, [&] {
        extension = dialogs.InputBox(this, InputRequest{kExtensionPrompt, ApplicationTitle(),
                                                        setting(kExtensionKey, kDefaultExtension)});
        if (!extension.isEmpty()) {
            store(kExtensionKey, extension);
        }
    });
    if (extension.isEmpty()) {
        return;
    }
    QString picked;
    trap.Step(ScanStep::kPickFolder, [&] {
        lastScanFolder_ = setting(kLastFolderKey, QString());
        picked = AddFolder::PickFolder(dialogs, this, AddFolder::kPickFolderTitle, lastScanFolder_);
    });
    if (picked.isEmpty()) {
        return;
    }
    trap.Step(ScanStep::kRememberFolder, [&] { lastScanFolder_ = picked; });
    trap.Step(ScanStep::kStoreFolder, [&] { store(kLastFolderKey, picked); });
    trap.Step(ScanStep::kShowBusy, [&] { ShowBusyPointer(true); });

    QStringList folders;
    trap.Step(ScanStep::kStartFolderSet, [&] { folders = QStringList{picked + PathSeparator()}; });
    trap.Step(ScanStep::kExpandSubfolders, [&] {
        const AddFolder::FolderWalk walk{dialogs, this, [this] { YieldToEvents(); }, nullptr};
        AddFolder::ExpandSubfolders(folders, true, walk);
    });
    if (ProgramEnded()) {
        return;
    }
    ReportingStepGuard guard(trap);
    trap.Step(ScanStep::kListFiles, [&] {
        AddFolder::AppendFolderSetFiles(
            folders, AddFolder::PatternForExtension(extension), nullptr, guard,
            [this](const QStringList& rows) { documents_->AppendMany(rows); });
    });
    trap.Step(ScanStep::kShowIdle, [&] { ShowBusyPointer(false); });
}

void MainWindow::LoadSamples() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kLoadSamples);
    trap.Step(kLoadSamplesStep, [&] {
        SampleDocuments::Load(*documents_, services_.dialogs, this,
                              StartUpFiles::BesideProgram(services_.programFolder,
                                                          SampleDocuments::kSamplesFolderName),
                              ApplicationTitle());
    });
}

// Drops are taken also while an export runs: the rows join the list, not that export.
void MainWindow::AddDroppedPaths(const QStringList& paths) {
    const AddFolder::FolderWalk walk{services_.dialogs, this, [this] { YieldToEvents(); }, nullptr};
    DroppedPaths::AddDroppedPaths(paths, walk, [this](const QStringList& rows) {
        if (!ProgramEnded()) {
            documents_->AppendMany(rows);
        }
    });
}

void MainWindow::AddHandedDocuments(const QStringList& paths) {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    AddDroppedPaths(paths);
}
