#include "qt/singleinstance.h"

#include "core/datafolder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace voltaris {

namespace {

const QString LockName = DataFolder::name(DataFile::Lock);
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

#ifdef Q_OS_UNIX

namespace {

// The socket beside the other programs' in the temporary folder, named
// after the data folder.
bool addressOf(const QString &name, sockaddr_un &address)
{
    const QByteArray path = QFile::encodeName(QDir(QDir::tempPath()).filePath(name));
    address = sockaddr_un {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Waits for `fd` to be readable, at most `ms`.
bool readable(int fd, qint64 ms)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll(&p, 1, int(std::max<qint64>(ms, 0))) == 1;
}

} // namespace

bool SingleInstance::forward(const QString &name)
{
    sockaddr_un address;
    if (!addressOf(name, address))
        return false;
    const QDeadlineTimer deadline(AnswerMs);
    // The running program may not listen yet: it starts to once its window
    // is on the screen.
    int fd = -1;
    for (;;) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            break;
        ::close(fd);
        if (deadline.remainingTime() < RetryMs)
            return false;
        QThread::msleep(RetryMs);
    }
    QByteArray answer;
    if (::send(fd, Raise.constData(), size_t(Raise.size()), MSG_NOSIGNAL) == Raise.size()) {
        char buffer[16];
        while (!answer.contains('\n') && readable(fd, deadline.remainingTime())) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            answer.append(buffer, n);
        }
    }
    ::close(fd);
    return answer == Done;
}

void SingleInstance::listen()
{
    if (outcome_ != Outcome::Primary || listener_ >= 0)
        return;
    sockaddr_un address;
    if (!addressOf(name_, address))
        return;
    // The lock is ours, so a socket of that name was left by a program
    // that is gone.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    const mode_t mask = ::umask(0077); // the user's own programs only
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(fd, 4) != 0) {
        ::close(fd);
        return; // still the folder's program; later starts then cannot reach it
    }
    listener_ = fd;
    socketPath_ = QByteArray(address.sun_path);
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        // A later start writes its line at once; one that does not is not
        // waited for long.
        QByteArray line;
        char buffer[16];
        while (!line.contains('\n') && line.size() < 64 && readable(client, 200)) {
            const ssize_t n = ::read(client, buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, n);
        }
        const bool raise = line == Raise;
        if (raise)
            ::send(client, Done.constData(), size_t(Done.size()), MSG_NOSIGNAL);
        ::close(client);
        if (raise)
            Q_EMIT activationRequested();
    });
}

SingleInstance::~SingleInstance()
{
    if (listener_ < 0)
        return;
    notifier_.reset();
    ::close(listener_);
    ::unlink(socketPath_.constData());
}

#else

bool SingleInstance::forward(const QString &)
{
    return false;
}

void SingleInstance::listen() { }

SingleInstance::~SingleInstance() = default;

#endif

} // namespace voltaris
