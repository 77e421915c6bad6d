#pragma once

#include <QString>
#include <QtGlobal>

namespace voltaris {

// What tells one state of a file from another without reading it: another
// program that writes the file changes its time and size, one that puts a
// new file in its place (as editors and sync tools do, keeping the old time)
// changes its identity. A change of permissions alone is no change. Only a
// regular file counts as there: a folder in its place holds no table.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds
    quint64 device = 0, inode = 0;

    static FileStamp of(const QString &path);

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

} // namespace voltaris
