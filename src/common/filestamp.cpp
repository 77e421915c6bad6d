#include "common/filestamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace voltaris {

FileStamp FileStamp::of(const QString &path)
{
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return s;
    s.exists = true;
    s.size = info.size();
    s.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return s;
}

} // namespace voltaris
