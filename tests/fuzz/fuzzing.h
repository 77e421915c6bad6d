// Shared pieces of the fuzz targets: reading a fuzzer's bytes as choices,
// breaking off on a broken invariant, a folder for files.
#pragma once

#include <QDate>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace voltaris::fuzz {

// The input as a stream of choices; an exhausted stream answers zeros, so
// every input is a valid one.
class Input {
public:
    Input(const uint8_t *data, size_t size)
        : data_(data)
        , size_(size)
    { }

    bool empty() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t word() { return uint16_t(byte() | byte() << 8); }
    uint64_t u64()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= uint64_t(byte()) << (8 * i);
        return v;
    }
    // 0 .. n - 1.
    int below(int n) { return n <= 1 ? 0 : int(word() % unsigned(n)); }
    // The next `n` bytes at most, as UTF-8 text.
    QString text(int n)
    {
        const size_t take = std::min(size_ - std::min(pos_, size_), size_t(n));
        const QString s
            = QString::fromUtf8(reinterpret_cast<const char *>(data_ + pos_), qsizetype(take));
        pos_ += take;
        return s;
    }
    QString rest() { return text(int(size_)); }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

// A broken invariant: says which and aborts, so that the fuzzer keeps the
// input.
[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

// One folder for the files of all runs of this process.
inline QString scratchDir()
{
    // In memory where there is such a folder: every save syncs its file.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/voltaris-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/voltaris-fuzz-XXXXXX"));
    if (!dir.isValid())
        fail("no scratch folder");
    return dir.path();
}

} // namespace voltaris::fuzz
