#include "doclist/AddFolder.h"

#include "doclist/FileAttributes.h"
#include "doclist/FileSystemView.h"
#include "platform/Dialogs.h"
#include "platform/FileTests.h"
#include "platform/HandlerTrap.h"
#include "platform/PathStyle.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace AddFolder {
namespace {

constexpr qsizetype kMaxPathLength = 260;

// Step numbers quoted by the walk's error report.
constexpr int kLineInspectFolder = 112;
constexpr int kLineKeepFolder = 158;

struct WalkEntry {
    QString path;
    bool dropped = false;
    std::optional<FolderInfo> info;  // set once the first pass has looked at it
};

using Level = std::vector<WalkEntry>;

bool IsHiddenSystemFolder(int attributes) {
    return attributes == kHiddenSystemFolder || attributes == kHiddenSystemAliasFolder;
}

bool IsSilentFailure(const RuntimeError& error) {
    return error.Number() == ErrorNumbers::kPermissionDenied ||
           error.Number() == ErrorNumbers::kPathNotFound;
}

bool IsAcceptableSubfolderName(const QString& name) {
    return name.size() < kMaxPathLength && !FileTests::HasUnsafeCharacters(name) &&
           !name.contains(u'?') && name != u"." && name != u"..";
}

class LevelWalker {
public:
    LevelWalker(const FolderWalk& walk, FileSystemView& fileSystem)
        : walk_(walk),
          fileSystem_(fileSystem),
          trap_(walk.dialogs, walk.owner, HandlerTags::kExpandSubfolders) {}

    // The first pass over one level: decides which entries to descend and returns the
    // subfolders found, in order. Entries that must go are marked dropped.
    Level Descend(Level& level, bool dropRevisited) {
        Level found;
        for (WalkEntry& entry : level) {
            if (!fileSystem_.IsExistingFolder(entry.path) || entry.path.size() >= kMaxPathLength) {
                continue;
            }
            if (!Inspect(entry)) {
                continue;
            }
            walk_.yield();
            const FolderInfo& info = *entry.info;
            if (!info.isRoot && IsHiddenSystemFolder(info.attributes)) {
                continue;
            }
            if (!visited_.insert({info.device, info.inode}).second) {
                // Reached again through a link: listing it again would only repeat rows.
                entry.dropped = dropRevisited;
                continue;
            }
            Enumerate(entry, found);
        }
        return found;
    }

    // The second pass for the levels below the caller's own entries.
    bool Keeps(WalkEntry& entry) {
        if (entry.dropped || !fileSystem_.IsExistingFolder(entry.path)) {
            return false;
        }
        return trap_.Condition(kLineKeepFolder, [&] {
            const int attributes =
                entry.info ? entry.info->attributes : fileSystem_.AttributeWord(entry.path);
            const bool isRoot = entry.info && entry.info->isRoot;
            return isRoot || !IsHiddenSystemFolder(attributes);
        });
    }

private:
    bool Inspect(WalkEntry& entry) {
        try {
            entry.info = fileSystem_.InspectFolder(entry.path);
            return true;
        } catch (const RuntimeError& error) {
            if (IsSilentFailure(error)) {
                entry.dropped = true;
            } else {
                ReportHandlerError(walk_.dialogs, walk_.owner, error.Description(), trap_.Tag(),
                                   kLineInspectFolder);
            }
            return false;
        }
    }

    // Appends the acceptable subfolders of the entry. A permission or not-found failure removes
    // the entry; any other failure just ends its enumeration, keeping what was found.
    void Enumerate(WalkEntry& entry, Level& found) {
        QStringList names;
        try {
            names = fileSystem_.SubFolderNames(entry.path);
        } catch (const RuntimeError& error) {
            entry.dropped = IsSilentFailure(error);
            return;
        }
        const QChar separator = PathSeparator();
        for (const QString& name : names) {
            if (IsAcceptableSubfolderName(name)) {
                found.push_back(WalkEntry{entry.path + name + separator, false, std::nullopt});
            }
        }
    }

    const FolderWalk& walk_;
    FileSystemView& fileSystem_;
    HandlerTrap trap_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited_;
};

Level ToLevel(const QStringList& folders) {
    Level level;
    level.reserve(static_cast<size_t>(folders.size()));
    for (const QString& folder : folders) {
        level.push_back(WalkEntry{folder, false, std::nullopt});
    }
    return level;
}

}  // namespace

QString PickFolder(Dialogs& dialogs, QWidget* owner, const QString& title,
                   const QString& startFolder) {
    return dialogs.PickFolder(owner, title, startFolder);
}

void YieldToEvents() {
    QCoreApplication::processEvents();
}

void ExpandSubfolders(QStringList& folders, bool recursive, const FolderWalk& walk) {
    FileSystemView& fileSystem = walk.fileSystem ? *walk.fileSystem : NativeFileSystem();
    LevelWalker walker(walk, fileSystem);

    // One level at a time, so the depth of the tree never deepens the call stack.
    std::vector<Level> levels;
    levels.push_back(ToLevel(folders));
    for (size_t depth = 0; depth < levels.size(); ++depth) {
        Level found = walker.Descend(levels[depth], depth > 0);
        if (found.empty()) {
            break;
        }
        levels.push_back(std::move(found));
        if (!recursive) {
            break;
        }
    }

    QStringList result;
    for (const WalkEntry& entry : levels.front()) {
        if (!entry.dropped) {
            result.append(entry.path);
        }
    }
    for (size_t depth = 1; depth < levels.size(); ++depth) {
        for (WalkEntry& entry : levels[depth]) {
            if (walker.Keeps(entry)) {
                result.append(entry.path);
            }
        }
    }
    folders = std::move(result);
}

QStringList ListFilesInFolder(const QString& folder, const QString& pattern,
                              FileSystemView* fileSystem) {
    FileSystemView& files = fileSystem ? *fileSystem : NativeFileSystem();
    QString directory = folder;
    if (!directory.endsWith(PathSeparator())) {
        directory.append(PathSeparator());
    }
    QStringList names;
    try {
        names = files.MatchingFileNames(directory, pattern);
    } catch (const RuntimeError& error) {
        if (error.Number() == ErrorNumbers::kPathNotFound) {
            return {};
        }
        throw;
    }
    QStringList matching;
    for (const QString& name : names) {
        if (files.IsExistingFile(directory + name)) {
            matching.append(name);
        }
    }
    return matching;
}

}  // namespace AddFolder
