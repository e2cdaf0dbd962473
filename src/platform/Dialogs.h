#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every modal dialog the program shows goes through this interface: the Qt implementation
// (QtDialogs) in the program, a scripted fake in the tests. Each request carries the exact
// text, caption, buttons and icon so tests can check them.
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Exclamation };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

struct InputRequest {
    QString prompt;
    QString title;
    QString initialText;
};

struct OpenFilesRequest {
    QString title;
    // Qt name-filter form, e.g. "Word Documents (*.do*);;All Files (*.*)".
    QString filter;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) = 0;
    // The entered text; an empty text when the user cancels or enters nothing.
    virtual QString InputBox(QWidget* owner, const InputRequest& request) = 0;
    // The chosen files in the dialog's order; empty when cancelled.
    virtual QStringList OpenFiles(QWidget* owner, const OpenFilesRequest& request) = 0;
    // The confirmed folder without a trailing separator (a root keeps its own), or an empty text.
    virtual QString PickFolder(QWidget* owner, const QString& title,
                               const QString& startFolder) = 0;
    // Asks the desktop to show the folder in its file manager; the outcome is not reported.
    virtual void OpenFolderInFileManager(QWidget* owner, const QString& folder) = 0;
};
