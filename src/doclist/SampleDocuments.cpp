#include "doclist/SampleDocuments.h"

#include "doclist/AddFolder.h"
#include "doclist/DocumentListModel.h"
#include "platform/Dialogs.h"
#include "platform/FileTests.h"
#include "platform/PathStyle.h"

namespace SampleDocuments {

void Load(DocumentListModel& list, Dialogs& dialogs, QWidget* owner, const QString& samplesFolder,
          const QString& applicationTitle, FileSystemView* fileSystem) {
    QString folder = samplesFolder;
    if (!folder.endsWith(PathSeparator())) {
        folder.append(PathSeparator());
    }
    const QStringList names =
        AddFolder::ListFilesInFolder(folder, QStringLiteral("*.*"), fileSystem);
    for (const QString& name : names) {
        const QString samplePath = folder + name;
        if (FileTests::IsExistingPath(samplePath) && !list.ListContainsPath(samplePath)) {
            list.Append(samplePath);
        }
    }

    MessageRequest question;
    question.text = kOpenSamplesQuestion;
    question.caption = applicationTitle;
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::None;
    if (dialogs.ShowMessage(owner, question) == MessageAnswer::Yes) {
        dialogs.OpenFolderInFileManager(owner, folder);
    }
}

}  // namespace SampleDocuments
