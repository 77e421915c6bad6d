// Replays fuzz inputs without libFuzzer: every file named, or found in a
// folder named, goes through the target once. The test suite runs each
// target over its seed corpus and the inputs that once failed.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int count = 0;
    auto run = [&](const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return false;
        }
        const QByteArray bytes = f.readAll();
        LLVMFuzzerTestOneInput(
            reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        ++count;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            const QDir dir(arg);
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
                if (!run(dir.filePath(name)))
                    return 1;
        } else if (QFileInfo::exists(arg)) {
            if (!run(arg))
                return 1;
        }
    }
    std::printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
