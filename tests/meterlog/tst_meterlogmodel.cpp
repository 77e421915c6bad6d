#include "core/logfile.h"
#include "meterlog/meterlogfile.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const FormatSettings S = FormatSettings::german();
const QDate Today(2026, 3, 1);

// The file of these rows ("01.01.2026|1000,00|0|0"), as the program writes it.
QByteArray fileOf(const QStringList &rows)
{
    std::vector<QStringList> cells;
    for (const QString &r : rows)
        cells.push_back(r.split('|'));
    return consumptionFileBytes(int(cells.size()),
        [&cells](int c, int r) -> const QString & { return cells[size_t(r)][c]; });
}

QStringList rowsOf(const MeterLog &log)
{
    QStringList out;
    for (const QStringList &r : log.rows())
        out << r.join('|');
    return out;
}

// Two meters' logs in one folder: the main meter's and a heat pump's, each
// with its own file and its own replacements' file.
struct Household {
    QTemporaryDir dir;
    const QStringList names { LogName, "Waermepumpe.txt" };
    const QStringList changeNames { MeterChangesName, "Waermepumpe_Zaehlerwechsel.txt" };
    const QList<QStringList> rows { { "01.01.2026|1000,00|0|0", "01.02.2026|1155,50|31|5,02" },
        { "01.01.2026|50,00|0|0", "01.02.2026|80,00|31|0,97" } };
    MeterLog logs[2];
    std::unique_ptr<MeterLogFile> files[2];

    Household()
    {
        for (int i = 0; i < 2; ++i) {
            writeFile(path(i), fileOf(rows[i]));
            files[i]
                = std::make_unique<MeterLogFile>(logs[i], path(i), dir.filePath(changeNames[i]));
        }
    }
    QString path(int i) const { return dir.filePath(names[i]); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

} // namespace

class TestMeterLogModel : public QObject {
    Q_OBJECT
private slots:
    // Each log reads, saves, keeps and undoes on its own files; the other
    // log's files stay as they were.
    void twoLogsInOneFolder_data()
    {
        QTest::addColumn<int>("acting");
        QTest::newRow("the main meter") << 0;
        QTest::newRow("the heat pump") << 1;
    }
    void twoLogsInOneFolder()
    {
        QFETCH(int, acting);
        Household h;
        const int other = 1 - acting;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(h.files[i]->read(S));
            QCOMPARE(rowsOf(h.logs[i]), h.rows[i]);
        }
        const QByteArray untouched = readAll(h.path(other));

        // A row taken out is one step of this log's undo. Another program
        // added a row meanwhile: the save keeps the file it replaces.
        MeterLog &log = h.logs[acting];
        MeterLogFile &file = *h.files[acting];
        file.undoSteps.push_back({ "Rückgängig", {}, { log.removedRow(1) }, {}, {} });
        QVERIFY(log.takeOutRows({ log.row(1) }, S, ','));
        const QByteArray original = fileOf(h.rows[acting] + QStringList { "01.03.2026|1,00|28|0" });
        writeFile(h.path(acting), original);
        QVERIFY(file.save(Today).contains("Ein anderes Programm"));
        const QString backup = QFileInfo(h.names[acting]).completeBaseName() + "-2026-03-01-1.bak";
        QCOMPARE(readAll(h.dir.filePath(backup)), original);
        QCOMPARE(readAll(h.path(acting)), fileOf(h.rows[acting].mid(0, 1)));
        // Saved again: no second backup.
        QVERIFY(file.save(Today).isEmpty());

        // Its replacement goes to its own file.
        const MeterChange change { QDate(2026, 1, 15), 1100, 0, "Z-1" };
        file.saveChanges({ change });
        QCOMPARE(readAll(h.dir.filePath(h.changeNames[acting])), meterChangeFileBytes({ change }));
        QCOMPARE(log.changes().size(), size_t(1));
        file.saveChanges({});

        // The undo puts the row back in this log alone.
        QVERIFY(!h.files[other]->undo(S, ','));
        const std::optional<UndoOutcome> undone = file.undo(S, ',');
        QVERIFY(undone && undone->clashes.isEmpty());
        QVERIFY(file.undoSteps.empty());
        QVERIFY(file.save(Today).isEmpty());
        QCOMPARE(readAll(h.path(acting)), fileOf(h.rows[acting]));

        // Another program replaces this log's file: this log follows it, the
        // other has nothing to follow.
        const QStringList replaced { "01.12.2025|10,00|0|0", "01.01.2026|20,00|31|0,32" };
        writeFile(h.path(acting), fileOf(replaced));
        QVERIFY(!h.files[other]->follow(S));
        QVERIFY(file.follow(S));
        QVERIFY(!file.follow(S));
        QCOMPARE(rowsOf(log), replaced);
        QCOMPARE(rowsOf(h.logs[other]), h.rows[other]);

        QCOMPARE(readAll(h.path(other)), untouched);
        QVERIFY(!QFile::exists(h.dir.filePath(h.changeNames[other])));
        QStringList expected { h.names[0], h.names[1], h.changeNames[acting], backup };
        expected.sort();
        QCOMPARE(h.entries(), expected);
    }
};

QTEST_GUILESS_MAIN(TestMeterLogModel)
#include "tst_meterlogmodel.moc"
