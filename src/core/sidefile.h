// The small files beside the log and the contract (the meter replacements,
// the changes of price): a header line, then one line an entry. Each is read
// again only when another program changed it, and its first unreadable line
// keeps it from being written over.
#pragma once

#include "common/filestamp.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <utility>

namespace voltaris {

// A side file as read: what could be read, and where that stopped.
template <typename T> struct SideFileRead {
    T value; // the lines that could be read
    // The first line that could not be read (from 1; 0 when none); a file
    // that is there but cannot be opened counts as unreadable from line 1.
    int badLine = 0;
    FileStamp stamp; // the file as it was read
};

// The one loop over a side file's bytes: Windows-1252, lines end at LF and
// every CR is dropped, blank lines are skipped and so is the first line when
// it is `header`. `take` gets every other line and says whether it could read
// it; the loop stops at the first it could not. Returns that line's number
// (from 1), 0 when every line was taken.
int readSideFileLines(const QByteArray &bytes, const QString &header,
    const std::function<bool(const QString &)> &take);

// Why a side file is not written over, for a message that then tells what
// was not done: "Die Datei "…" kann ab Zeile 3 nicht gelesen werden; sie wird
// nicht überschrieben."
QString notWrittenOver(const QString &path, int badLine);

// One side file, read when it is asked for and its stamp changed since. The
// caller writes it (through the safe writer) and tells it what it saved.
template <typename T> class SideFile {
public:
    using Parse = SideFileRead<T> (*)(const QByteArray &);

    SideFile(QString path, Parse parse)
        : path_(std::move(path))
        , parse_(parse)
    { }

    const QString &path() const { return path_; }
    // Another file: the next read reads it.
    void setPath(QString path)
    {
        path_ = std::move(path);
        read_ = false;
    }

    // The file as it is now: read again when its stamp changed.
    const SideFileRead<T> &read() const
    {
        const FileStamp now = FileStamp::of(path_);
        if (read_ && now == last_.stamp)
            return last_;
        read_ = true;
        last_ = SideFileRead<T> { {}, 0, now };
        if (!now.exists)
            return last_;
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly)) {
            last_.badLine = 1;
            return last_;
        }
        SideFileRead<T> parse = parse_(file.readAll());
        last_.value = std::move(parse.value);
        last_.badLine = parse.badLine;
        return last_;
    }
    const T &value() const { return read().value; }
    // Reads the file when its stamp changed; true when it did (a file that
    // is there for the first time counts).
    bool follow() const
    {
        const FileStamp before = last_.stamp;
        read();
        return last_.stamp != before;
    }

    // What was read last, without a look at the disk (read once, the first
    // time): for painting, which asks for every cell.
    const T &cached() const { return read_ ? last_.value : value(); }
    // The stamp of the last read or save (an empty one before the first).
    const FileStamp &stamp() const { return last_.stamp; }
    // Whether another program changed the file since it was last read.
    bool changedOnDisk() const { return read_ && FileStamp::of(path_) != last_.stamp; }

    // A change under way: `value` stands for the file's content until the
    // file changes on disk or is saved. The handler that made it restores
    // the old one when it fails before the save.
    void assume(T value) { last_.value = std::move(value); }
    const T &assumed() const { return last_.value; }
    // The caller has just written `value` to the file.
    void saved(T value)
    {
        read_ = true;
        last_ = SideFileRead<T> { std::move(value), 0, FileStamp::of(path_) };
    }

private:
    QString path_;
    Parse parse_;
    // The cache of a const read: not part of what the reader shows.
    mutable SideFileRead<T> last_;
    mutable bool read_ = false;
};

} // namespace voltaris
