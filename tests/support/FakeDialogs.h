#pragma once

#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

// A scripted stand-in for every dialog: tests queue the answers, then read back exactly what was
// shown (text, caption, buttons, icon). An unexpected dialog fails the test loudly.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        enum class Kind { kMessage, kInput, kOpenFiles, kPickFolder, kOpenFolder } kind;
        MessageRequest message;
        InputRequest input;
        OpenFilesRequest openFiles;
        QString title;   // folder picker
        QString folder;  // folder picker start folder, or the folder opened in the file manager
    };

    // Answers, consumed in order. Messages with OK only need no answer.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QStringList> openFilesAnswers;
    std::deque<QString> folderAnswers;

    // Runs while a message is shown (e.g. to act while a report is on screen).
    std::function<void(const MessageRequest&)> onMessage;

    std::vector<Shown> shown;

    std::vector<MessageRequest> Messages() const {
        std::vector<MessageRequest> result;
        for (const Shown& s : shown) {
            if (s.kind == Shown::Kind::kMessage) {
                result.push_back(s.message);
            }
        }
        return result;
    }

    MessageAnswer ShowMessage(QWidget*, const MessageRequest& request) override {
        shown.push_back(Shown{Shown::Kind::kMessage, request, {}, {}, {}, {}});
        if (onMessage) {
            onMessage(request);
        }
        if (request.buttons == MessageButtons::Ok) {
            return MessageAnswer::Ok;
        }
        if (messageAnswers.empty()) {
            throw std::logic_error("FakeDialogs: unexpected question: " +
                                   request.text.toStdString());
        }
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    QString InputBox(QWidget*, const InputRequest& request) override {
        shown.push_back(Shown{Shown::Kind::kInput, {}, request, {}, {}, {}});
        return Take(inputAnswers, "input box");
    }

    QStringList OpenFiles(QWidget*, const OpenFilesRequest& request) override {
        shown.push_back(Shown{Shown::Kind::kOpenFiles, {}, {}, request, {}, {}});
        return Take(openFilesAnswers, "open-file dialog");
    }

    QString PickFolder(QWidget*, const QString& title, const QString& startFolder) override {
        shown.push_back(Shown{Shown::Kind::kPickFolder, {}, {}, {}, title, startFolder});
        return Take(folderAnswers, "folder picker");
    }

    void OpenFolderInFileManager(QWidget*, const QString& folder) override {
        shown.push_back(Shown{Shown::Kind::kOpenFolder, {}, {}, {}, {}, folder});
    }

private:
    template <typename T>
    static T Take(std::deque<T>& answers, const char* what) {
        if (answers.empty()) {
            throw std::logic_error(std::string("FakeDialogs: no answer queued for the ") + what);
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
