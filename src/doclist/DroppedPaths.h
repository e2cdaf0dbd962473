#pragma once

#include "doclist/FolderFiles.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace AddFolder {
struct FolderWalk;
}

namespace DroppedPaths {

// What became of one dropped path.
enum class DropOutcome { kFileListed, kFolderWalked, kSkipped };

// Adds the dropped paths in their order: a file is handed over exactly as dropped; a folder is
// walked with every folder beneath it and each of its files is listed under the folder rules
// (any extension, no "~" names, no attribute word 34). A path whose attributes cannot be read
// (it vanished between drag and drop) is skipped; failures inside a dropped tree skip the folder
// or file concerned. Nothing is reported. Returns the outcome of each path, in order.
std::vector<DropOutcome> AddDroppedPaths(const QStringList& paths,
                                         const AddFolder::FolderWalk& walk,
                                         const AddFolder::AppendRows& append);

}  // namespace DroppedPaths
