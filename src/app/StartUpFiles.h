#pragma once

#include <QCursor>
#include <QString>

#include <optional>

// Companion files and folders the window reads at start-up.
namespace StartUpFiles {

// File names beside the program.
inline const QString kSkinFile = QStringLiteral("x/o.cjs");
inline const QString kHandCursorFile = QStringLiteral("HAND-M.CUR");

// program folder + separator + relative name, separators native; a root folder adds none.
QString BesideProgram(const QString& programFolder, const QString& relativeName);

// The skin as a style sheet, or nothing when no regular file of that name exists. A skin that
// exists but cannot be read throws RuntimeError.
std::optional<QString> ReadSkin(const QString& skinPath);

// A cursor file as a pointer, its hot spot taken from the file. Throws RuntimeError when the
// file cannot be read as a picture.
QCursor LoadCursorFile(const QString& path);

// The Desktop folder followed by a separator; empty when the desktop cannot tell.
QString DefaultOutputFolder();

}  // namespace StartUpFiles
