#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Dialogs;
class FileSystemView;
class QWidget;

// Module AddFolder: the folder chooser, the subfolder walk and the folder file listing.
namespace AddFolder {

inline const QString kPickFolderTitle = QStringLiteral("Please select folder:");

// Shows the folder chooser; the confirmed folder, or an empty text when cancelled.
QString PickFolder(Dialogs& dialogs, QWidget* owner, const QString& title,
                   const QString& startFolder);

// Lets pending window events run; the walk calls it once per folder it reaches.
using YieldFunction = std::function<void()>;
void YieldToEvents();

// What a walk needs besides the folder set: where its own error report goes, how it yields,
// and the file system it looks at.
struct FolderWalk {
    Dialogs& dialogs;
    QWidget* owner = nullptr;
    YieldFunction yield = YieldToEvents;
    FileSystemView* fileSystem = nullptr;  // the real one when null
};

// Extends the folder set (every entry ends with a separator) with all folders beneath its
// entries, level by level: the entries themselves first, then every folder one level down
// grouped by parent, then two levels down, and so on. Skipped: hidden system folders (attribute
// words 22 and 1046, drive roots excepted), names of 260 characters or more, unsafe names, and
// every directory the walk has already reached (a symbolic-link loop ends). A folder that cannot
// be enumerated for lack of permission, or that vanished, is removed without a message; other
// failures are reported with the walk's own tag and the walk goes on.
void ExpandSubfolders(QStringList& folders, bool recursive, const FolderWalk& walk);

// Names (no folder part) of the files in `folder` that match the wildcard `pattern`, hidden
// files included, folders excluded, each one passing IsExistingFile. A folder that does not
// exist gives no names; other listing failures raise RuntimeError to the caller.
QStringList ListFilesInFolder(const QString& folder, const QString& pattern,
                              FileSystemView* fileSystem = nullptr);

}  // namespace AddFolder
