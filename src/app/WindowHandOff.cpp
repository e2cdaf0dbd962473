#include "app/WindowHandOff.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <utility>

namespace WindowHandOff {
namespace {

// The window's answer once it has read a whole list.
constexpr char kTaken = 'k';
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

bool AnotherWindowAnswers(const QString& channel) {
    QLocalSocket probe;
    probe.connectToServer(channel);
    return probe.waitForConnected(1000);
}

}  // namespace

QString ChannelName() {
    const QString chosen = qEnvironmentVariable("CORVANEL_WINDOW_CHANNEL");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    // USERNAME on Windows, USER elsewhere.
    QString user = qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
    if (user.isEmpty()) {
        user = QStringLiteral("user");
    }
    return QStringLiteral("corvanel-window-") + user;
}

QStringList DocumentArguments(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments) {
        if (!argument.isEmpty()) {
            paths.append(
                QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(argument).absoluteFilePath())));
        }
    }
    return paths;
}

bool HandToOpenWindow(const QString& channel, const QStringList& paths, int timeoutMilliseconds) {
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(timeoutMilliseconds)) {
        return false;
    }
    QDataStream out(&socket);
    out.setVersion(kStreamVersion);
    out << paths;
    socket.flush();
    char answer = 0;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(timeoutMilliseconds)) {
            return false;
        }
    }
    return socket.getChar(&answer) && answer == kTaken;
}

Receiver::Receiver(const QString& channel, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    // Asked first: a second server on a Windows pipe name would be let in beside the first.
    if (AnotherWindowAnswers(channel)) {
        return;
    }
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(channel) && server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(channel);
        server_->listen(channel);
    }
    connect(server_, &QLocalServer::newConnection, this, &Receiver::Accept);
}

bool Receiver::Listening() const {
    return server_->isListening();
}

void Receiver::DeliverTo(std::function<void(const QStringList&)> receive) {
    receive_ = std::move(receive);
    if (!kept_.isEmpty()) {
        Deliver(std::exchange(kept_, {}));
    }
}

void Receiver::Deliver(const QStringList& paths) {
    if (receive_) {
        receive_(paths);
    } else {
        kept_.append(paths);
    }
}

// A sender writes one list; it may arrive in pieces, so it is read in a transaction that starts
// again until the list is whole. The window adds it after answering, from the event loop, so
// that a long folder walk keeps no sender waiting.
void Receiver::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.setVersion(kStreamVersion);
            in.startTransaction();
            QStringList paths;
            in >> paths;
            if (!in.commitTransaction()) {
                return;
            }
            socket->putChar(kTaken);
            socket->flush();
            QTimer::singleShot(0, this, [this, paths] { Deliver(paths); });
        });
    }
}

}  // namespace WindowHandOff
