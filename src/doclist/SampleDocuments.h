#pragma once

#include <QString>

class Dialogs;
class DocumentListModel;
class FileSystemView;
class QWidget;

// The sample documents kept beside the program.
namespace SampleDocuments {

inline const QString kSamplesFolderName = QStringLiteral("Samples");
inline const QString kOpenSamplesQuestion = QStringLiteral(
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?");

// Appends every file of the samples folder (any extension, no subfolders, in listing order) that
// exists and is not listed yet, exactly as formed from the folder and the name; then asks,
// every time, whether to open the folder in the file manager. A missing folder adds nothing.
// Failures propagate to the caller's trap; rows appended before a failure stay.
void Load(DocumentListModel& list, Dialogs& dialogs, QWidget* owner, const QString& samplesFolder,
          const QString& applicationTitle, FileSystemView* fileSystem = nullptr);

}  // namespace SampleDocuments
