#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace voltaris {

// Reads a single-byte text file line by line, as the program's text files are
// read: a line ends at LF, every CR is dropped (the one before LF and a lone
// one alike), Ctrl+Z ends the file, and text after the last LF is a line of
// its own. Reads in blocks, so a file is never held whole.
class TextLineReader {
public:
    explicit TextLineReader(const QString &path);

    // False when the file cannot be opened; errorString() tells why.
    bool open();
    QString errorString() const { return file_.errorString(); }

    // The next line without its end. False at the end of the file; a read
    // error throws EInOutError naming the file.
    bool readLine(QByteArray &line);
    // Whether nothing but the end of the file follows.
    bool atEnd();

private:
    bool fill();

    QFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool eof_ = false;
};

} // namespace voltaris
