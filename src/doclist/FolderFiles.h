#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class FileSystemView;
class StepGuard;

namespace AddFolder {

// Receives the rows found in one folder, already normalised, in listing order.
using AppendRows = std::function<void(const QStringList& rows)>;

// The file phase of a folder scan or a folder drop: for each folder of the set (each ending
// with a separator), in order, the files matching `pattern` become rows, except names that begin
// with "~" and files whose attribute word is exactly 34 (hidden + archive). Rows are handed over
// folder by folder. Step numbers 118 to 132 go to the guard; a folder whose listing fails
// contributes no rows and the phase goes on with the next one.
void AppendFolderSetFiles(const QStringList& folders, const QString& pattern,
                          FileSystemView* fileSystem, StepGuard& guard, const AppendRows& append);

// "*." followed by the extension exactly as typed, so "*" gives "*.*" and "doc" gives "*.doc".
QString PatternForExtension(const QString& extension);

}  // namespace AddFolder
