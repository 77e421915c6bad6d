// The consumption file as a start-up finds it: any bytes. Oracles: the
// start-up shows nothing; every date in the table is one; the first save
// keeps a file it could not read whole as the backup, byte for byte; and a
// new start reads the saved table back as it stood (a blank row at the end
// is written as the empty log's line, which stops a load as designed).
#include "common/dates.h"
#include "fakeservices.h"
#include "fuzzing.h"
#include "meterlog/meterlogfile.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

// The table's rows; a date keeps no blanks (the file pads it to its field)
// and what the code page lacks comes back as "?". Empty rows at the end are
// dropped: the file writes them as lines of blanks, which reading skips.
QStringList rows(const TStringGrid &g)
{
    QStringList out;
    for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c) {
            QString t = g.cell(c, r);
            for (QChar &ch : t)
                if (ch.unicode() == 0x81 || ch.unicode() == 0x8D || ch.unicode() == 0x8F
                    || ch.unicode() == 0x90 || ch.unicode() == 0x9D)
                    ch = QLatin1Char('?');
            if (c == 0)
                while (t.startsWith(QLatin1Char(' ')))
                    t.remove(0, 1);
            cells << t;
        }
        out << cells.join(QLatin1Char('|'));
    }
    while (out.size() > 1 && out.last() == QLatin1String("|||"))
        out.removeLast();
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDir dir(scratchDir());
    const QString path = dir.filePath(test::LogName);
    // The first backup of the fake services' day.
    const QString backup = dir.filePath(QStringLiteral("Mein_Verbrauch-2026-12-08-1.bak"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fail("cannot write the input file");
    }
    for (const QString &old : dir.entryList({ QStringLiteral("*.bak") }, QDir::Files))
        QFile::remove(dir.filePath(old));

    test::TestApp t;
    TApplication &app = t.app;
    auto &services = t.services;
    QStringList first;
    {
        TProgram p(app, dir.path());
        TForm1 &f = *p.Form1;
        if (!services.boxes.empty())
            fail("start-up showed", services.boxes[0].text);
        const TStringGrid &g = f.StringGrid1;
        if (g.rowCount() <= g.fixedRows())
            fail("table without a data row");
        for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
            QDate d;
            if (!g.cell(0, r).isEmpty() && !tryStrToDate(g.cell(0, r), app.settings(), d))
                fail("a date cell that is no date", g.cell(0, r));
        }
        const bool unread = f.shownLogFile().unreadLines;
        first = rows(g);
        if (!app.handle([&] { f.SaveVerbrauch(); }))
            fail("save failed in a writable folder", services.boxes.at(0).text);
        if (unread && readAll(backup) != bytes)
            fail("the backup is not the file that was not read whole");
        if (!unread && QFile::exists(backup))
            fail("a backup of a file read whole");
        services.clear(); // the notice of the backup
    }
    TProgram again(app, dir.path());
    if (!services.boxes.empty())
        fail("own file shows an error", services.boxes[0].text);
    const QStringList second = rows(again.Form1->StringGrid1);
    if (first != second)
        fail("table changed by save and load",
            first.join(QLatin1Char('/')) + QStringLiteral(" -> ") + second.join(QLatin1Char('/')));
    return 0;
}
