// Files the program did not write: binary garbage, NUL bytes, thousands of
// lines of any length, a line of 100 MB. The start-up reads them without a
// crash, takes each value from its own line, uses memory in proportion to
// the file, and the window works on.
#include "fakeservices.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SANITIZED 1
#endif
#endif

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr qint64 MB = 1024 * 1024;

const QByteArray LogHead = "           Mein Verbrauch\r\n"
                           "________________________________________\r\n"
                           "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                           "===========|=============|======|=======\r\n";
const QByteArray ReadingLine = "01.01.2026 |     1000,00 |    0 |      0\r\n";

// A file described by pieces, each written `repeat` times in blocks, so
// that the test itself never holds a large file.
struct Piece {
    QByteArray bytes;
    qint64 repeat = 1;
};
using Layout = QList<Piece>;

qint64 writeLayout(const QString &path, const Layout &layout)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return -1;
    qint64 total = 0;
    for (const Piece &p : layout) {
        if (p.repeat == 1) {
            total += f.write(p.bytes);
            continue;
        }
        const QByteArray block = p.bytes.repeated(qsizetype(std::min<qint64>(p.repeat, 1 << 16)));
        for (qint64 left = p.repeat; left > 0;) {
            const qint64 n = std::min<qint64>(left, 1 << 16);
            total += f.write(block.constData(), n * p.bytes.size());
            left -= n;
        }
    }
    return total;
}

// A literal with the NUL bytes inside it.
template <size_t N> QByteArray withNul(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray garbage(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char &c : out)
        c = char(random());
    return out;
}

// Lines of random length (up to 3000 bytes) of random bytes, none of them
// a line break or Ctrl+Z, with a date in front of every other one.
QByteArray manyLines(int count, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        if (i % 2)
            out += "0" + QByteArray::number(1 + i % 9) + ".01.2026 |";
        const int length = int(random() % 3000);
        for (int k = 0; k < length; ++k) {
            char c = char(random());
            if (c == '\n' || c == '\r' || c == 26)
                c = 'x';
            out += c;
        }
        out += "\r\n";
    }
    return out;
}

struct Run {
    explicit Run(const QString &dir)
        : p(t.app, dir)
    { }
    TestApp t;
    TProgram p;
    TForm1 &f = *p.Form1;
};

} // namespace

class TestForeignFiles : public QObject {
    Q_OBJECT
private slots:
    void readWithoutHarm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Layout>("layout");
        const QByteArray nul(1, '\0');
        for (const QString &name : { ContractName, LogName }) {
            const char *n = name == ContractName ? "contract" : "log";
            QTest::addRow("%s: binary garbage", n) << name << Layout { { garbage(1 << 16, 1) } };
            QTest::addRow("%s: garbage after a good head", n)
                << name << Layout { { LogHead + ReadingLine }, { garbage(1 << 16, 2) } };
            QTest::addRow("%s: NUL bytes only", n) << name << Layout { { nul, 100000 } };
            QTest::addRow("%s: thousands of lines", n) << name << Layout { { manyLines(6000, 3) } };
            QTest::addRow("%s: thousands of empty lines", n)
                << name << Layout { { "\r\n", 100000 } };
            QTest::addRow("%s: lone CRs", n) << name << Layout { { "\r", 1 << 20 } };
        }
        QTest::addRow("contract: NUL inside the values")
            << ContractName
            << Layout { { withNul("\r\n\0\r\n\r\n        Ab 01.01.2017: A\0B (C\0D)\r\n"
                                  "      Jahresverbrauch: 36\00050 kW\r\n"
                                  "       Tagesverbrauch: \00010,00 kW\r\n") } };
        QTest::addRow("log: NUL inside the readings")
            << LogName
            << Layout { { LogHead
                   + withNul("01.01.2026 |  10\0\0,00 |    0 |    \0 0\r\n\0\r\n") } };
    }
    // Read at start-up, then saved again: no crash, at most the start-up's
    // one error for the contract, none for the log, and both saves work.
    void readWithoutHarm()
    {
        QFETCH(QString, name);
        QFETCH(Layout, layout);
        QTemporaryDir dir;
        QVERIFY(writeLayout(dir.filePath(name), layout) > 0);
        Run r(dir.path());
        const auto &boxes = r.t.services.boxes;
        if (name == ContractName) {
            QVERIFY(boxes.size() <= 1);
            for (const TEdit *e : { &r.f.Edit1, &r.f.Edit2, &r.f.Edit3, &r.f.Edit4, &r.f.Edit5 })
                QVERIFY(e->text().size() < 1 << 16);
        } else {
            QVERIFY(boxes.empty());
        }
        // A log entry converts the contract's values; those of the file may
        // be no numbers, which is another part's error.
        r.t.services.clear();
        r.f.Edit1.setText(QStringLiteral("4321"));
        for (TEdit *e : { &r.f.Edit2, &r.f.Edit3, &r.f.Edit5, &r.f.Edit6 })
            e->setText(QStringLiteral("10"));
        QVERIFY(r.f.WriteContract());
        r.f.dtp_Ablese.setDate(QDate(2027, 1, 1));
        r.f.Memo_Stand.setText(QStringLiteral("2000,0"));
        r.f.btn_Save2.click();
        // Nothing but where the file that was not read whole is kept.
        for (const auto &box : boxes)
            QVERIFY2(box.icon == MsgIcon::Warning && box.text.contains("gesichert unter"),
                qPrintable(box.text));
        Run again(dir.path());
        QCOMPARE(again.f.Edit1.text(), QStringLiteral("4321"));
        const TStringGrid &g = again.f.StringGrid1;
        QCOMPARE(g.cell(0, g.rowCount() - 1), QStringLiteral("01.01.2027"));
    }

#ifdef Q_OS_UNIX
    // A 100 MB line where each reader looks, and 20 MB of short lines: the
    // start-up reads them in a child whose peak memory is measured against
    // the file's size. The figures print; the bound has a wide margin.
    void memoryBounded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<int>("factor"); // bound: factor x file size + 64 MB
        const QByteArray contractHead = contractLines(1, 3);
        QTest::newRow("contract: 100 MB first line") << ContractName
                                                     << Layout { { "x", 100 * MB },
                                                            { "\r\n" } }
                                                     << 8;
        QTest::newRow("contract: 100 MB supplier")
            << ContractName
            << Layout { { contractHead + "        Ab 01.01.2017: " }, { "N", 100 * MB },
                   { " (Tarif)\r\n      Jahresverbrauch: 3650 kW\r\n" } }
            << 10;
        QTest::newRow("contract: 100 MB value")
            << ContractName
            << Layout { { contractHead
                            + "        Ab 01.01.2017: A (B)\r\n      Jahresverbrauch: " },
                   { "7", 100 * MB },
                   { " kW\r\n" } }
            << 10;
        QTest::newRow("log: 100 MB header line") << LogName
                                                 << Layout { { "=", 100 * MB },
                                                        { "\r\n" + LogHead + ReadingLine } }
                                                 << 4;
        QTest::newRow("log: 100 MB reading line")
            << LogName
            << Layout { { LogHead + ReadingLine }, { "9", 100 * MB },
                   { "\r\n" } }
            << 6;
        QTest::newRow("log: 20 MB of short readings") << LogName
                                                      << Layout { { LogHead },
                                                             { "01.01.2026\r\n",
                                                                 20 * MB / 12 } }
                                                      << 40;
    }
    void memoryBounded()
    {
        QFETCH(QString, name);
        QFETCH(Layout, layout);
        QFETCH(int, factor);
        QTemporaryDir dir;
        const qint64 size = writeLayout(dir.filePath(name), layout);
        QVERIFY(size > 20 * MB);
        int report[2];
        QCOMPARE(pipe(report), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(report[0]);
            rusage before {}, after {};
            getrusage(RUSAGE_SELF, &before);
            qint64 grown = -1;
            {
                Run r(dir.path());
                getrusage(RUSAGE_SELF, &after);
                grown = qint64(after.ru_maxrss - before.ru_maxrss) * 1024;
            }
            _exit(write(report[1], &grown, sizeof grown) == sizeof grown ? 0 : 1);
        }
        close(report[1]);
        qint64 grown = -1;
        const bool got = read(report[0], &grown, sizeof grown) == sizeof grown;
        close(report[0]);
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(got && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        qInfo("%s: file %lld MB, start-up grew by %lld MB (%.1f times the file)",
            QTest::currentDataTag(), size / MB, grown / MB, double(grown) / double(size));
#ifdef SANITIZED
        QSKIP("the sanitizer's allocator measures differently");
#endif
        QVERIFY2(grown < factor * size + 64 * MB, qPrintable(QString::number(grown / MB)));
    }
#endif
};

QTEST_GUILESS_MAIN(TestForeignFiles)
#include "tst_foreignfiles.moc"
