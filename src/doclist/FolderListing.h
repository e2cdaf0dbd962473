#pragma once

#include <QString>
#include <QStringList>

// Listing one folder, as the platform does it: FolderListingPosix.cpp (readdir, with our own
// wildcard matcher) and FolderListingWin32.cpp (FindFirstFileExW, whose pattern matching is
// Windows' own). Both raise RuntimeError (70 permission denied, 76 path not found, 75 otherwise)
// when the folder cannot be listed.
namespace FolderListing {

// Names of the immediate subfolders (links and junctions to folders included), in name order.
// Names the platform cannot represent as text come back with a "?" in them.
QStringList SubFolderNames(const QString& folder);

// Names of the entries that are not folders, hidden and system ones included, that match the
// wildcard pattern by the platform's rules ("*" any run, "?" one character, case-insensitive,
// "*.*" every name), in name order. A folder without a match gives an empty list.
QStringList MatchingFileNames(const QString& folder, const QString& pattern);

// False when the name alone rules out the hidden attribute (POSIX: no leading "."), which spares
// reading the attribute word of every ordinary file of a large scan.
bool NameCanBeHidden(const QString& name);

// Shared by both: case-insensitive name order, exact order between names equal but for case.
void SortNames(QStringList& names);
[[noreturn]] void RaiseCannotList(const QString& folder, int number);
// The error number for an errno value of a failed listing: 70, 76 or 75.
int ErrorNumberOfErrno(int error);

}  // namespace FolderListing
