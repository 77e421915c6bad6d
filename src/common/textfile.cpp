#include "common/textfile.h"

#include "common/errors.h"
#include "common/safefile.h"

namespace voltaris {

namespace {

constexpr char CtrlZ = 26;
constexpr qint64 BlockSize = 64 * 1024;

} // namespace

TextLineReader::TextLineReader(const QString &path)
    : file_(path)
{ }

bool TextLineReader::open()
{
    return file_.open(QIODevice::ReadOnly);
}

// Brings the next block into the buffer; false at the end of the file.
bool TextLineReader::fill()
{
    if (eof_)
        return false;
    buffer_.resize(BlockSize);
    const qint64 n = file_.read(buffer_.data(), BlockSize);
    if (n < 0) {
        buffer_.clear();
        throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                              .arg(displayPath(file_.fileName()), file_.errorString()));
    }
    buffer_.resize(n);
    pos_ = 0;
    if (n == 0) {
        eof_ = true;
        return false;
    }
    return true;
}

bool TextLineReader::atEnd()
{
    if (pos_ >= buffer_.size() && !fill())
        return true;
    return buffer_.at(pos_) == CtrlZ;
}

bool TextLineReader::readLine(QByteArray &line)
{
    line.clear();
    bool any = false; // bytes of a line not yet ended by LF
    for (;;) {
        if (pos_ >= buffer_.size() && !fill())
            return any;
        const char *data = buffer_.constData();
        const qsizetype size = buffer_.size();
        qsizetype i = pos_;
        while (i < size && data[i] != '\n' && data[i] != '\r' && data[i] != CtrlZ)
            ++i;
        if (i > pos_) {
            line.append(data + pos_, i - pos_);
            any = true;
        }
        pos_ = i;
        if (i == size)
            continue;
        const char c = data[i];
        if (c == CtrlZ) {
            eof_ = true; // nothing after Ctrl+Z counts
            buffer_.clear();
            pos_ = 0;
            return any;
        }
        ++pos_;
        if (c == '\n')
            return true;
        any = true; // a CR is dropped, but it opens a line
    }
}

} // namespace voltaris
