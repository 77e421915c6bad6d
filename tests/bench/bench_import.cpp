// Prints what the import of a smart meter's large export costs: a file of
// 15-minute readings (1.75 million rows, about 50 MB) made here, then read
// through "Ablesungen importieren…" into an empty log, the preview answered
// at once: the time from the click to the saved log, the process's peak
// memory (VmHWM) and its memory afterwards (VmRSS), beside what it held
// before; and the reading of the file alone. One import per process, so that
// the peak is the import's.
//
//   bench_import [--utf16] [ROWS]          (default 1750000)
//   bench_import [--utf16] --write FILE [ROWS]   only writes the file
#include "core/logimport.h"
#include "fakeservices.h"
#include "figureline.h"
#include "ui/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace voltaris;

namespace {

// A 15-minute reading a row from 1 January 1975, "01.01.1975 00:15;1000,025"
// and on, as a German smart meter's portal exports them: about 29 bytes a row.
// In UTF-16 (little-endian, with its byte-order mark) when `utf16`, as some
// portals export: twice the bytes.
bool writeExport(const std::string &path, long long rows, bool utf16)
{
    using namespace std::chrono;
    std::ofstream file(path, std::ios::binary);
    if (!file)
        return false;
    const auto write = [&file, utf16](const std::string &text) {
        if (!utf16) {
            file << text;
            return;
        }
        const QString wide = QString::fromLatin1(text.data(), qsizetype(text.size()));
        file.write(reinterpret_cast<const char *>(wide.utf16()), std::streamsize(wide.size() * 2));
    };
    if (utf16)
        file.write("\xFF\xFE", 2);
    write("Zeitpunkt;Z\xE4hlerstand (kWh)\r\n");
    const sys_days first = year(1975) / January / 1;
    std::string block;
    long long thousandths = 1000000;
    char line[64];
    for (long long i = 1; i <= rows; ++i) {
        const long long minutes = i * 15;
        const year_month_day d(first + days(minutes / 1440));
        thousandths += 50 + (i * 37) % 100;
        std::snprintf(line, sizeof line, "%02u.%02u.%04d %02lld:%02lld;%lld,%03lld\r\n",
            unsigned(d.day()), unsigned(d.month()), int(d.year()), minutes % 1440 / 60,
            minutes % 60, thousandths / 1000, thousandths % 1000);
        block += line;
        if (block.size() > (1 << 20)) {
            write(block);
            block.clear();
        }
    }
    write(block);
    return bool(file);
}

// A figure of /proc/self/status in bytes ("VmHWM", "VmRSS").
double status(const char *name)
{
    std::ifstream in("/proc/self/status");
    std::string key;
    while (in >> key) {
        if (key == std::string(name) + ":") {
            double kib = 0;
            in >> kib;
            return kib * 1024;
        }
        std::getline(in, key);
    }
    return NAN;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool utf16 = std::erase(args, "--utf16") > 0;
    if (args.size() >= 2 && args[0] == "--write")
        return writeExport(args[1], args.size() >= 3 ? std::atoll(args[2].c_str()) : 1750000, utf16)
            ? 0
            : 1;
    const long long rows = !args.empty() ? std::atoll(args[0].c_str()) : 1750000;

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zaehler_15min.csv"));
    if (!writeExport(QFile::encodeName(file).toStdString(), rows, utf16)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    const double size = double(QFile(file).size());

    QDir(dir.path()).mkdir(QStringLiteral("log"));
    test::TestApp t;
    TProgram program(t.app, dir.filePath(QStringLiteral("log")));
    TForm1 &f = *program.Form1;
    t.services.openPath = file;
    const double rssBefore = status("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    f.Import1->click();
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double peak = status("VmHWM"), rssAfter = status("VmRSS");
    const int added = f.StringGrid1.rowCount() - f.StringGrid1.fixedRows();
    if (t.services.importPreviews.size() != 1 || added < 2) {
        std::fprintf(stderr, "the import did not run: %zu previews, %d rows\n",
            t.services.importPreviews.size(), added);
        return 1;
    }

    // Reading alone, the rows planned and shown aside; after the import, so
    // that it does not count in the import's memory.
    double reading = 0;
    {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return 1;
        const auto start = std::chrono::steady_clock::now();
        const ImportParse parse = parseImport(in);
        reading = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!parse.error.isEmpty() || parse.rows.empty())
            return 1;
    }

    std::printf("a smart meter's export: %lld rows of 15-minute readings, %s%s, into an empty "
                "log (%d days)\n",
        rows, bench::mebibytes(size).c_str(), utf16 ? " in UTF-16" : "", added);
    bench::printHeading();
    bench::printFigure("reading the file (parseImport)", bench::seconds(reading), "", NAN, 0);
    bench::printFigure("import, click to saved log", bench::seconds(seconds), "", NAN, 0);
    bench::printFigure("peak memory (VmHWM)", bench::mebibytes(peak), "limit 300.0 MiB",
        peak / (300.0 * 1024 * 1024), 1);
    bench::printFigure("memory before the import (VmRSS)", bench::mebibytes(rssBefore), "", NAN, 0);
    bench::printFigure("memory after the import (VmRSS)", bench::mebibytes(rssAfter),
        "before + 50 MiB", rssAfter / (rssBefore + 50.0 * 1024 * 1024), 1);
    return 0;
}
