#include "doclist/DroppedPaths.h"

#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "doclist/FileSystemView.h"
#include "doclist/StepGuard.h"
#include "platform/PathStyle.h"

#include <QFileInfo>

#include <exception>
#include <optional>

namespace DroppedPaths {
namespace {

// A folder needs both an entry that a lookup including folders finds and the directory bit.
std::optional<bool> IsFolder(const QString& path, FileSystemView& fileSystem) {
    try {
        const bool found = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        const int attributes = fileSystem.AttributeWord(path);
        return found && (attributes & AddFolder::Attribute::kDirectory) != 0;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void AddFolderTree(const QString& folder, const AddFolder::FolderWalk& walk,
                   const AddFolder::AppendRows& append) {
    QStringList folders{folder + PathSeparator()};
    AddFolder::ExpandSubfolders(folders, true, walk);
    SilentStepGuard guard;
    AddFolder::AppendFolderSetFiles(folders, QStringLiteral("*.*"), walk.fileSystem, guard, append);
}

}  // namespace

std::vector<DropOutcome> AddDroppedPaths(const QStringList& paths,
                                         const AddFolder::FolderWalk& walk,
                                         const AddFolder::AppendRows& append) {
    FileSystemView& fileSystem = walk.fileSystem ? *walk.fileSystem : NativeFileSystem();
    std::vector<DropOutcome> outcomes;
    outcomes.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : paths) {
        const std::optional<bool> folder = IsFolder(path, fileSystem);
        if (!folder) {
            outcomes.push_back(DropOutcome::kSkipped);
        } else if (*folder) {
            AddFolderTree(path, walk, append);
            outcomes.push_back(DropOutcome::kFolderWalked);
        } else {
            append(QStringList{path});
            outcomes.push_back(DropOutcome::kFileListed);
        }
    }
    return outcomes;
}

}  // namespace DroppedPaths
