#include "platform/QtDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

QString FolderWithoutTrailingSeparator(const QString& folder) {
    if (folder.isEmpty()) {
        return folder;
    }
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
}

QString MessageTextForDisplay(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

MessageAnswer QtDialogs::ShowMessage(QWidget* owner, const MessageRequest& request) {
    const bool isQuestion = request.buttons == MessageButtons::YesNo;
    QMessageBox box(
        request.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
        request.caption, MessageTextForDisplay(request.text),
        isQuestion ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    // File names may hold "<" or "&": the text is shown exactly, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (!isQuestion) {
        return MessageAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString QtDialogs::InputBox(QWidget* owner, const InputRequest& request) {
    bool accepted = false;
    const QString text = QInputDialog::getText(owner, request.title, request.prompt,
                                               QLineEdit::Normal, request.initialText, &accepted);
    return accepted ? text : QString();
}

QStringList QtDialogs::OpenFiles(QWidget* owner, const OpenFilesRequest& request) {
    QStringList files =
        QFileDialog::getOpenFileNames(owner, request.title, QString(), request.filter);
    for (QString& file : files) {
        file = QDir::toNativeSeparators(file);
    }
    return files;
}

QString QtDialogs::PickFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    return FolderWithoutTrailingSeparator(
        QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly));
}

void QtDialogs::OpenFolderInFileManager(QWidget* /*owner*/, const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
