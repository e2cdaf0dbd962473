#include "doclist/FolderFiles.h"

#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "doclist/FileSystemView.h"
#include "doclist/StepGuard.h"
#include "platform/Globals.h"
#include "platform/PathStyle.h"

namespace AddFolder {
namespace {

// The file phase's steps, as the folder scan's reports quote them.
constexpr int kListFolderStep = 122;
constexpr int kAdmitFileStep = 132;

QStringList RowsOfFolder(const QString& folder, const QStringList& names,
                         FileSystemView& fileSystem, StepGuard& guard) {
    const QChar separator = PathSeparator();
    QStringList rows;
    for (const QString& name : names) {
        if (name.startsWith(u'~')) {  // 126: lock and backup files of word processors
            continue;
        }
        const QString path = folder + separator + name;  // 128
        const bool admitted = guard.Condition(kAdmitFileStep, [&] {
            // The word 34 needs the hidden bit.
            return fileSystem.IsExistingFile(path) &&
                   (!fileSystem.CanBeHidden(name) ||
                    fileSystem.AttributeWord(path) != kHiddenArchiveFile);
        });
        if (admitted) {
            guard.Step(kAdmitFileStep, [&] { rows.append(Globals::NormalizePath(path)); });
        }
    }
    return rows;
}

}  // namespace

void AppendFolderSetFiles(const QStringList& folders, const QString& pattern,
                          FileSystemView* fileSystem, StepGuard& guard, const AppendRows& append) {
    FileSystemView& files = fileSystem ? *fileSystem : NativeFileSystem();
    for (const QString& entry : folders) {
        const QString folder = entry.chopped(entry.isEmpty() ? 0 : 1);  // 120
        QStringList names;
        if (!guard.Step(kListFolderStep,
                        [&] { names = ListFilesInFolder(folder, pattern, &files); })) {
            continue;
        }
        const QStringList rows = RowsOfFolder(folder, names, files, guard);
        if (!rows.isEmpty()) {
            append(rows);
        }
    }
}

QString PatternForExtension(const QString& extension) {
    return QStringLiteral("*.") + extension;
}

}  // namespace AddFolder
