#include "qt/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace voltaris {

namespace {

const QString LockName = QStringLiteral(".voltaris.lock");
const QByteArray Raise = "raise\n";
const QByteArray Done = "ok\n";
constexpr int RetryMs = 50;

} // namespace

QString SingleInstance::serverName(const QString &folder)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    const QString path = dir.canonicalPath().isEmpty() ? dir.absolutePath() : dir.canonicalPath();
    const QByteArray hash
        = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString user;
#ifdef Q_OS_UNIX
    user = QString::number(::getuid());
#endif
    return QStringLiteral("voltaris-%1-%2").arg(user, QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    lock_ = std::make_unique<QLockFile>(dir.filePath(LockName));
    // Only a dead owner makes the lock stale, never the age of a long run.
    lock_->setStaleLockTime(0);
    name_ = serverName(folder);
    if (lock_->tryLock(0)) {
        outcome_ = Outcome::Primary;
        return;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        outcome_ = Outcome::NoLock; // a folder that takes no file
        return;
    }
    outcome_ = forward(name_) ? Outcome::Forwarded : Outcome::Unreachable;
}

bool SingleInstance::forward(const QString &name)
{
    QLocalSocket socket;
    const QDeadlineTimer deadline(AnswerMs);
    // The running program may not listen yet: it starts to once its window
    // is on the screen.
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.remainingTime() < RetryMs)
            return false;
        QThread::msleep(RetryMs);
    }
    socket.write(Raise);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    QByteArray answer;
    while (!answer.contains('\n') && deadline.remainingTime() > 0
        && socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.readAll();
    return answer == Done;
}

void SingleInstance::listen()
{
    if (outcome_ != Outcome::Primary || server_.isListening())
        return;
    const QString &name = name_;
    // The lock is ours, so a socket of that name was left by a program
    // that is gone.
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name))
        return; // still the folder's program; later starts then cannot reach it
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == Raise) {
                    socket->write(Done);
                    socket->flush();
                    Q_EMIT activationRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

} // namespace voltaris
