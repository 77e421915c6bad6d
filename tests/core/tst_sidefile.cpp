#include "common/cp1252.h"
#include "core/datafolder.h"
#include "core/sidefile.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;

namespace {

const QString Header = QStringLiteral("Kopf");

// A side file of lines; one starting with '!' cannot be read.
int parses = 0;
SideFileRead<QStringList> parseLines(const QByteArray &bytes)
{
    ++parses;
    SideFileRead<QStringList> read;
    read.badLine = readSideFileLines(bytes, Header, [&read](const QString &line) {
        if (line.startsWith(QLatin1Char('!')))
            return false;
        read.value << line;
        return true;
    });
    return read;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Sets the file's time, to the millisecond: another program's write that
// leaves it (a copy that keeps it, a clock that did not move on).
void setTime(const QString &path, const QDateTime &time)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class TestSideFile : public QObject {
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("value");
        QTest::addColumn<int>("badLine");
        QTest::newRow("header, CR LF, blank lines")
            << QByteArray("Kopf\r\na\r\n\r\n  \r\nb\r\n") << QStringList { "a", "b" } << 0;
        QTest::newRow("no header, last line open")
            << QByteArray("a\nb") << QStringList { "a", "b" } << 0;
        QTest::newRow("header further down is a line")
            << QByteArray("a\r\nKopf\r\n") << QStringList { "a", "Kopf" } << 0;
        QTest::newRow("bad line counted with the blank ones")
            << QByteArray("Kopf\r\n\r\na\r\n!x\r\nb\r\n") << QStringList { "a" } << 4;
        QTest::newRow("bad first line") << QByteArray("!Kopf\r\na\r\n") << QStringList {} << 1;
        QTest::newRow("Windows-1252, lone CR dropped")
            << QByteArray("Z\xE4hler \x80\r\nc\rd\n") << QStringList { "Zähler €", "cd" } << 0;
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, value);
        QFETCH(int, badLine);
        const SideFileRead<QStringList> read = parseLines(bytes);
        QCOMPARE(read.value, value);
        QCOMPARE(read.badLine, badLine);
    }

    // The file is parsed again only when its stamp changed; a read always
    // tells the value and the bad line of the file as it is.
    void follows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("parsed"); // parses after the first read
        QTest::addColumn<QStringList>("value");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<bool>("followed");
        QTest::newRow("untouched") << "" << 0 << QStringList { "a" } << 3 << false;
        QTest::newRow("rewritten at its size")
            << "rewrite" << 1 << QStringList { "bb", "c" } << 0 << true;
        QTest::newRow("replaced, same size and time")
            << "replace" << 1 << QStringList { "bb", "c" } << 0 << true;
        QTest::newRow("vanished") << "remove" << 0 << QStringList {} << 0 << true;
        QTest::newRow("a folder in its place") << "folder" << 0 << QStringList {} << 0 << true;
        QTest::newRow("saved by the caller") << "save" << 0 << QStringList { "s" } << 0 << false;
    }
    void follows()
    {
        QFETCH(QString, change);
        QFETCH(int, parsed);
        QFETCH(QStringList, value);
        QFETCH(int, badLine);
        QFETCH(bool, followed);
        QTemporaryDir dir;
        const QString path = dir.filePath("Liste.txt");
        const QByteArray first = "Kopf\r\na\r\n!b\r\n", second = "Kopf\r\nbb\r\nc\r\n";
        QCOMPARE(first.size(), second.size());
        write(path, first);
        const QDateTime time = QDateTime::currentDateTimeUtc().addSecs(-60);
        setTime(path, time);
        SideFile<QStringList> file(path, &parseLines);
        QCOMPARE(file.read().badLine, 3);

        parses = 0;
        if (change == "rewrite") {
            write(path, second);
            setTime(path, time.addSecs(1));
        } else if (change == "replace") {
            write(path + ".new", second);
            setTime(path + ".new", time);
            QCOMPARE(FileStamp::of(path + ".new").size, FileStamp::of(path).size);
            QCOMPARE(FileStamp::of(path + ".new").modified, FileStamp::of(path).modified);
            QVERIFY(::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)) == 0);
        } else if (change == "remove") {
            QVERIFY(QFile::remove(path));
        } else if (change == "folder") {
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir(dir.path()).mkdir("Liste.txt"));
        } else if (change == "save") {
            write(path, "Kopf\r\ns\r\n");
            file.saved({ "s" });
        }
        QCOMPARE(file.changedOnDisk(), followed);
        QCOMPARE(file.follow(), followed);
        QCOMPARE(file.read().value, value);
        QCOMPARE(file.read().badLine, badLine);
        QCOMPARE(parses, parsed);
        QVERIFY(!file.follow());
    }

    // Each file of the folder has a name of its own; the notices name it
    // without its extension.
    void dataFolder()
    {
        const DataFile all[] = { DataFile::Contract, DataFile::Log, DataFile::PriceChanges,
            DataFile::MeterChanges, DataFile::CsvExport, DataFile::SettlementPdf,
            DataFile::HistoryChart, DataFile::YearChart, DataFile::Lock, DataFile::TariffCheck,
            DataFile::Calendar, DataFile::Meters, DataFile::ReadHead };
        QSet<QString> names;
        for (DataFile f : all)
            names << DataFolder::name(f);
        QCOMPARE(names.size(), int(std::size(all)));
        QCOMPARE(DataFolder::title(DataFile::Log), "Mein_Verbrauch");
    }
};

QTEST_GUILESS_MAIN(TestSideFile)
#include "tst_sidefile.moc"
