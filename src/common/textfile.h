#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace voltaris {

// A file of the data folder; the empty folder is the working directory, and
// the path then stays relative, so that messages name the file as the user
// knows it.
QString inFolder(const QString &folder, const QString &name);

// Reads a single-byte text file line by line, as the program's text files are
// read: a line ends at LF, every CR is dropped (the one before LF and a lone
// one alike), Ctrl+Z ends the file, and text after the last LF is a line of
// its own. Reads in blocks, so a file is never held whole.
class TextLineReader {
public:
    explicit TextLineReader(const QString &path);

    // False when the file cannot be opened; errorString() tells why.
    bool open();
    QString errorString() const;

    // The next line without its end. False at the end of the file; a read
    // error throws EInOutError naming the file.
    bool readLine(QByteArray &line);
    // The same as a view, valid until the next call of readLine or atEnd:
    // most lines are then read without copying them.
    bool readLine(QByteArrayView &line);
    // The size of the file in bytes, -1 when it is not open.
    qint64 size() const { return file_.isOpen() ? file_.size() : -1; }
    // Whether nothing but the end of the file follows.
    bool atEnd();

private:
    bool fill();
    bool nextInBuffer(QByteArrayView &line);
    bool gather(QByteArray &line);

    QFile file_;
    QByteArray buffer_;
    QByteArray carry_; // a line that spans blocks or holds a CR of its own
    qsizetype pos_ = 0;
    bool eof_ = false;
};

} // namespace voltaris
