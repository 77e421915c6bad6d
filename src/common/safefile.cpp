#include "common/safefile.h"

#include "common/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace voltaris {

#ifdef Q_OS_UNIX

namespace {

// The temporary file of a save: hidden beside the file and named after it
// and the saving process, so that a save can tell the leftovers of a killed
// one from a user's own files and from a save under way in another process.
QString tempPrefix(const QString &name)
{
    return QLatin1Char('.') + name + QStringLiteral(".saving-");
}

bool fail(QString *error, int code)
{
    if (error)
        *error = systemErrorText(code);
    return false;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// Writes all of `bytes` to the open file, puts them on disk and closes it:
// 0, or the number of the first error. Every writer below goes through here,
// so that none of them takes a cut-off file for a whole one.
int writeSyncClose(int fd, const QByteArray &bytes)
{
    int code = 0;
    if (!writeAll(fd, bytes) || ::fdatasync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return code;
}

// Removes what saves of processes that no longer run left in `folder`.
void removeLeftovers(const QString &folder, const QString &name)
{
    const QString prefix = tempPrefix(name);
    const QDir dir(folder);
    for (const QString &entry :
        dir.entryList({ prefix + QLatin1Char('*') }, QDir::Files | QDir::Hidden | QDir::System)) {
        bool number = false;
        const pid_t pid = pid_t(entry.mid(prefix.size()).toLongLong(&number));
        if (number && pid > 0 && (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH)))
            ::unlink(QFile::encodeName(dir.filePath(entry)).constData());
    }
}

} // namespace

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    // A link is followed, so that the file it names gets the new content.
    QFileInfo info(path);
    if (info.isSymLink())
        info = QFileInfo(info.symLinkTarget());
    const QString folder = info.absolutePath();
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray temp = QFile::encodeName(
        QDir(folder).filePath(tempPrefix(info.fileName()) + QString::number(::getpid())));

    // A read-only file stays as it is, although the folder would let the
    // new one take its place; the new file keeps the old one's permissions.
    mode_t mode = 0666;
    struct stat old { };
    const bool existed = ::stat(target.constData(), &old) == 0;
    if (existed) {
        if (::access(target.constData(), W_OK) != 0)
            return fail(error, errno);
        mode = old.st_mode & 07777;
    }
    ::unlink(temp.constData()); // this process's own, from a save that failed to clean up
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(error, errno);
    if (existed)
        ::fchmod(fd, mode); // past the umask, as the old file had them
    int code = writeSyncClose(fd, bytes);
    if (code == 0 && ::rename(temp.constData(), target.constData()) != 0)
        code = errno;
    if (code != 0) {
        ::unlink(temp.constData());
        return fail(error, code);
    }
    // The new name survives a power cut only once the folder is on disk.
    if (const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
        dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    removeLeftovers(folder, info.fileName());
    return true;
}

bool writeNewFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray temp = QFile::encodeName(
        QDir(folder).filePath(tempPrefix(info.fileName()) + QString::number(::getpid())));
    if (::access(target.constData(), F_OK) == 0)
        return fail(error, EEXIST);
    ::unlink(temp.constData());
    int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, errno);
    int code = writeSyncClose(fd, bytes);
    // A hard link takes the name only where none is: unlike a rename, it
    // never replaces an earlier file.
    if (code == 0 && ::link(temp.constData(), target.constData()) != 0) {
        code = errno;
        if (code == EPERM || code == EOPNOTSUPP || code == EXDEV || code == EMLINK) {
            // A file system without links: the file is made under its own
            // name, exclusively, and written there.
            code = 0;
            fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0)
                code = errno;
            else if ((code = writeSyncClose(fd, bytes)) != 0)
                ::unlink(target.constData());
        }
    }
    ::unlink(temp.constData());
    if (code != 0)
        return fail(error, code);
    if (const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
        dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

#else

bool writeNewFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = fileErrorText(file);
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = fileErrorText(file);
        file.close();
        file.remove();
        return false;
    }
    return true;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in the count here:
    // a buffered flush would pass it over and commit a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = fileErrorText(file);
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = fileErrorText(file);
        return false; // the destructor throws the temporary file away
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

#endif

QString keepBackup(const QString &path, const QByteArray &bytes, const QDate &today, QString *error)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QString stem = info.completeBaseName() + QLatin1Char('-')
        + today.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('-');
    // Counting up past every name taken; an existing backup is never touched.
    for (int n = 1; n < 10000; ++n) {
        const QString backup = folder.filePath(stem + QString::number(n) + QStringLiteral(".bak"));
        if (QFileInfo::exists(backup))
            continue;
        QString reason;
        if (writeNewFileSafely(backup, bytes, &reason))
            return backup;
        if (QFileInfo::exists(backup))
            continue; // taken meanwhile by another program
        if (error)
            *error = reason;
        return QString();
    }
    if (error)
        *error = systemErrorText(EEXIST);
    return QString();
}

QString systemErrorText(int code)
{
    switch (code) {
#ifdef Q_OS_UNIX
    case EACCES:
    case EPERM:
        return QStringLiteral("Zugriff verweigert");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Der Datenträger ist voll");
    case EFBIG:
        return QStringLiteral("Die Datei ist zu groß");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Der Ordner ist nicht vorhanden");
    case EISDIR:
        return QStringLiteral("An ihrer Stelle steht ein Ordner");
    case EIO:
        return QStringLiteral("Ein- oder Ausgabefehler des Datenträgers");
    case EEXIST:
        return QStringLiteral("Eine Datei dieses Namens ist schon vorhanden");
#endif
    default:
        return qt_error_string(code);
    }
}

QString fileErrorText(const QFile &file)
{
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return systemErrorText(EISDIR);
    if (info.exists() && !info.isReadable())
        return systemErrorText(EACCES);
    if (file.error() == QFileDevice::ReadError)
        return systemErrorText(EIO);
    return file.errorString();
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

void writeFileOrThrow(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (!writeFileSafely(path, bytes, &reason))
        throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                              .arg(displayPath(path), reason));
}

} // namespace voltaris
