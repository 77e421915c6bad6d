#include "common/textfile.h"

#include "common/errors.h"
#include "common/safefile.h"

#include <QDir>
#include <cstring>

namespace voltaris {

QString inFolder(const QString &folder, const QString &name)
{
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

namespace {

constexpr char CtrlZ = 26;
constexpr qint64 BlockSize = 64 * 1024;

} // namespace

TextLineReader::TextLineReader(const QString &path)
    : file_(path)
{ }

QString TextLineReader::errorString() const
{
    return fileErrorText(file_);
}

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
                              .arg(displayPath(file_.fileName()), errorString()));
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
    QByteArrayView view;
    if (nextInBuffer(view)) {
        line = view.toByteArray();
        return true;
    }
    return gather(line);
}

bool TextLineReader::readLine(QByteArrayView &line)
{
    if (nextInBuffer(line))
        return true;
    const bool any = gather(carry_);
    line = carry_;
    return any;
}

// The common line: whole in the buffer and ended by LF or CR LF, with no
// other CR and no Ctrl+Z in it.
bool TextLineReader::nextInBuffer(QByteArrayView &line)
{
    const char *begin = buffer_.constData() + pos_;
    const qsizetype left = buffer_.size() - pos_;
    if (left <= 0)
        return false;
    const auto *lf = static_cast<const char *>(std::memchr(begin, '\n', size_t(left)));
    if (!lf)
        return false;
    const char *end = lf > begin && lf[-1] == '\r' ? lf - 1 : lf;
    const auto length = size_t(end - begin);
    if (std::memchr(begin, '\r', length) || std::memchr(begin, CtrlZ, length))
        return false;
    line = QByteArrayView(begin, end - begin);
    pos_ += lf + 1 - begin;
    return true;
}

// Any other line, gathered across blocks, every CR dropped, up to Ctrl+Z.
bool TextLineReader::gather(QByteArray &line)
{
    line.resize(0);
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
