#pragma once

// Documents handed to an open window by a later start of the program, as Explorer's "Send to",
// "Open with" and drops on the program's icon start it once per file or selection: the later
// start sends its documents over a local socket (Qt's QLocalSocket: a named pipe on Windows, a
// socket file in the temporary folder elsewhere) whose name is the user's own, and ends; the
// window adds them as a drop adds them, so they land in one list.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

namespace WindowHandOff {

// "corvanel-window-<user name>"; CORVANEL_WINDOW_CHANNEL names another (tests, or a second
// window of one's own that takes no documents from the first).
QString ChannelName();

// The documents among a start's arguments (the program's name left out): each made absolute
// and clean, in the system's separators, as a drop gives paths.
QStringList DocumentArguments(const QStringList& arguments);

// Gives `paths` to the window listening on `channel`: true once it has taken them, false when
// none answers within `timeoutMilliseconds`.
bool HandToOpenWindow(const QString& channel, const QStringList& paths,
                      int timeoutMilliseconds = 10000);

// Takes the documents later starts hand over, while it lasts. Where another window already
// answers on the channel, that one keeps taking them and this receiver does not listen; a
// channel left behind by a program that ended without closing it is taken over. Listening
// begins before the window is made, so that starts close together find it; what arrives until
// DeliverTo is kept for it.
class Receiver : public QObject {
    Q_OBJECT

public:
    explicit Receiver(const QString& channel, QObject* parent = nullptr);

    bool Listening() const;
    void DeliverTo(std::function<void(const QStringList&)> receive);

private:
    void Accept();
    void Deliver(const QStringList& paths);

    QLocalServer* server_ = nullptr;
    std::function<void(const QStringList&)> receive_;
    QStringList kept_;
};

}  // namespace WindowHandOff
