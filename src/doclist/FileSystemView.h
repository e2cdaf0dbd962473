#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What the folder walk and the file listing ask of the file system. NativeFileSystem answers
// from the real one; tests derive from it to stage failures that a real tree cannot show (a
// permission failure under root, attribute words POSIX never produces).
struct FolderInfo {
    bool isRoot = false;
    int attributes = 0;
    // Identity of the directory itself (links followed): a walk never descends one twice.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

class FileSystemView {
public:
    virtual ~FileSystemView() = default;

    virtual bool IsExistingFolder(const QString& path);
    virtual bool IsExistingFile(const QString& path);
    // Raises RuntimeError when the entry cannot be read.
    virtual int AttributeWord(const QString& path);
    // False when the name alone rules out the hidden attribute (FolderListing::NameCanBeHidden).
    virtual bool CanBeHidden(const QString& name);
    // Raises RuntimeError (70 permission denied, 76 path not found, other numbers otherwise).
    virtual FolderInfo InspectFolder(const QString& folder);

    // Names of the immediate subfolders (links to folders included), in name order. Names the
    // platform cannot represent as text come back with a "?" in them. Raises RuntimeError as
    // InspectFolder does when the folder cannot be enumerated.
    virtual QStringList SubFolderNames(const QString& folder);
    // Names of the entries that are not folders, hidden ones included, matching the wildcard
    // pattern by the platform's own rules, in name order (FolderListing::MatchingFileNames).
    virtual QStringList MatchingFileNames(const QString& folder, const QString& pattern);
};

// The real file system.
FileSystemView& NativeFileSystem();
