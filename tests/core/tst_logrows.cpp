#include "common/numtext.h"
#include "core/meterlogmodel.h"

#include <QtTest>

using namespace voltaris;

namespace {

const FormatSettings S = FormatSettings::german();
const QChar Sep = ',';

// "01.02.2026|1155,50|31|5,02" is a row of the log.
void fill(MeterLog &log, const QStringList &rows)
{
    std::vector<QString> texts;
    for (const QString &r : rows)
        for (const QString &t : r.split('|'))
            texts.push_back(t);
    log.table().setRowsFrom(0, std::move(texts));
}

QStringList rowsOf(const MeterLog &log)
{
    QStringList out;
    for (const QStringList &r : log.rows())
        out << r.join('|');
    return out;
}

const QStringList Log { "01.01.2026|1000,00|0|0", "01.02.2026|1155,50|31|5,02",
    "01.03.2026|1300,00|28|5,16", "01.04.2026|1462,00|31|5,23" };

} // namespace

class TestLogRows : public QObject {
    Q_OBJECT
private slots:
    // A row taken out and put back where it stood leaves the log as it was;
    // in between, the row after it counts from its new neighbour.
    void takeOutAndPutBack_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("without");
        QTest::newRow("the first")
            << 0
            << QStringList { "01.02.2026|1155,50|0|0", "01.03.2026|1300,00|28|5,16",
                   "01.04.2026|1462,00|31|5,23" };
        QTest::newRow("a middle one")
            << 1
            << QStringList { "01.01.2026|1000,00|0|0", "01.03.2026|1300,00|59|5,08",
                   "01.04.2026|1462,00|31|5,23" };
        QTest::newRow("the last") << 3
                                  << QStringList { "01.01.2026|1000,00|0|0",
                                         "01.02.2026|1155,50|31|5,02",
                                         "01.03.2026|1300,00|28|5,16" };
    }
    void takeOutAndPutBack()
    {
        QFETCH(int, row);
        QFETCH(QStringList, without);
        MeterLog log;
        fill(log, Log);
        const QStringList cells = log.row(row);
        QVERIFY(log.takeOutRows({ cells }, S, Sep));
        QCOMPARE(rowsOf(log), without);
        QCOMPARE(log.putRowAt(row, cells, false, S, Sep), row);
        QCOMPARE(rowsOf(log), Log);
        // Its day is there now: not twice.
        QCOMPARE(log.putRowAt(row, cells, false, S, Sep), -1);
        QVERIFY(!log.takeOutRows({ cells, { "02.01.2026", "1" } }, S, Sep));
    }

    // A row is put back after the row it followed, whatever came in above
    // it meanwhile; when that row is gone, where its day belongs, counted
    // from its new neighbour.
    void putBackAfterItsRow_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("a row without a date")
            << QStringList { "01.01.2026|1000,00|0|0", "Sommer|x||", "01.03.2026|1300,00|59|5,08" }
            << 1
            << QStringList { "01.12.2025|900,00|0|0", "01.01.2026|1000,00|31|3,23", "Sommer|x||",
                   "01.03.2026|1300,00|59|5,08" };
        QTest::newRow("its row gone")
            << Log << 2
            << QStringList { "01.12.2025|900,00|0|0", "01.01.2026|1000,00|31|3,23",
                   "01.03.2026|1300,00|59|5,08", "01.04.2026|1462,00|31|5,23" };
    }
    void putBackAfterItsRow()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, taken);
        QFETCH(QStringList, after);
        MeterLog log;
        fill(log, rows);
        const RemovedRow removed = log.removedRow(taken);
        QVERIFY(log.takeOutRows({ removed.cells }, S, Sep));
        if (taken == 2) // the row it followed goes too
            QVERIFY(log.takeOutRows({ removed.after }, S, Sep));
        log.putRowAt(0, { "01.12.2025", "900,00" }, true, S, Sep);
        QVERIFY(log.putBack(removed, S, Sep) >= 0);
        QCOMPARE(rowsOf(log), after);
    }

    // A row whose day no longer fits where it stood goes where its day
    // belongs; the last row taken out leaves the one blank row.
    void putBackElsewhere()
    {
        MeterLog log;
        fill(log, Log);
        QCOMPARE(log.putRowAt(0, { "15.02.2026", "1200,00" }, true, S, Sep), 2);
        QCOMPARE(rowsOf(log).mid(2, 2),
            (QStringList { "15.02.2026|1200,00|14|3,18", "01.03.2026|1300,00|14|7,14" }));
        QVERIFY(log.takeOutRows(log.rows(), S, Sep));
        QCOMPARE(rowsOf(log), QStringList { "|||" });
        QCOMPARE(log.lastFilledRow(), -1);
    }

    // New rows merge by date; a row without a date keeps its place, a blank
    // row goes, and each new row and the one after it count again (not from
    // a row without a date).
    void merge()
    {
        MeterLog log;
        fill(log, { "01.01.2026|1000,00|0|0", "Sommer|x||", "|||", "01.03.2026|1300,00|59|5,08" });
        const std::vector<int> placed
            = log.mergeRows({ { QDate(2025, 12, 1), { "01.12.2025", "900,00", "", "" } },
                                { QDate(2026, 2, 1), { "01.02.2026", "1155,50", "", "" } } },
                S, Sep);
        QCOMPARE(placed, (std::vector<int> { 0, 3 }));
        QCOMPARE(rowsOf(log),
            (QStringList { "01.12.2025|900,00|0|0", "01.01.2026|1000,00|31|3,23", "Sommer|x||",
                "01.02.2026|1155,50||", "01.03.2026|1300,00|28|5,16" }));
    }

    // Across a replacement the row counts what the old meter counted on top;
    // the average counts as one meter would.
    void acrossAReplacement()
    {
        MeterLog log;
        fill(
            log, { "01.01.2026|1000,00|0|0", "01.02.2026|1155,50|31|5,02", "10.02.2026|0,00|9|0" });
        int told = 0;
        const int id = log.addObserver([&told] { ++told; });
        log.setChanges({ { QDate(2026, 2, 10), 1200.0L, 0.0L, {} } });
        QCOMPARE(told, 1);
        log.setChanges(log.changes()); // the same: no change to tell
        QCOMPARE(told, 1);
        log.recountRow(2, S, Sep);
        QCOMPARE(log.cell(logcol::PerDay, 2), QString("4,94"));
        QCOMPARE(told, 2);
        QCOMPARE(
            formatValue(*log.averageUpTo(QDate(2026, 3, 1), 100, S, Sep), Sep), QString("5,08"));
        QVERIFY(!log.averageUpTo(QDate(2026, 1, 1), 1000, S, Sep));
        log.removeObserver(id);
        log.table().setCell(logcol::Reading, 2, "1,00");
        QCOMPARE(told, 2);
    }
};

QTEST_GUILESS_MAIN(TestLogRows)
#include "tst_logrows.moc"
