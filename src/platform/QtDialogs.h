#pragma once

#include "platform/Dialogs.h"

// The dialogs of the running program: Qt's message box, input box, file and folder dialogs, and
// the desktop's file manager. All are modal and return when the user closes them.
class QtDialogs : public Dialogs {
public:
    MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) override;
    QString InputBox(QWidget* owner, const InputRequest& request) override;
    QStringList OpenFiles(QWidget* owner, const OpenFilesRequest& request) override;
    QString PickFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    void OpenFolderInFileManager(QWidget* owner, const QString& folder) override;
};

// A folder as the dialogs hand it on: native separators and no trailing separator, except that
// a root keeps its own ("/", "C:\"). The empty text stays empty.
QString FolderWithoutTrailingSeparator(const QString& folder);

// Message text as a label shows it: every CR LF or lone CR becomes a line feed, so a report's
// line breaks show as they would in a Windows message box.
QString MessageTextForDisplay(const QString& text);
