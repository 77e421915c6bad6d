#include "fakeservices.h"
#include "qt/filewatch.h"
#include "testfiles.h"
#include "ui/Unit2.h"
#include "ui/program.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray &Head = LogHeader;
const QByteArray LineA = "01.01.2026 |     1000,00 |    0 |      0\r\n";
const QByteArray LineB = "01.02.2026 |     1155,50 |   31 |   5,02\r\n";
const QByteArray LineC = "01.03.2026 |     1300,00 |   28 |   5,16\r\n";

// What a sync tool does: the new copy is written beside and renamed over.
void replace(const QString &path, const QByteArray &bytes)
{
    const QString copy = path + QStringLiteral(".sync-tmp");
    writeFile(copy, bytes);
    QVERIFY(QFile::remove(path) || !QFile::exists(path));
    QVERIFY(QFile::rename(copy, path));
}

} // namespace

// The window follows the files while it runs: a watch of the files and
// their folder, not a check that a handler makes.
class TestFileWatch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacedTwiceThenEntry()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(LogName);
        writeFile(path, Head + LineA);
        TestApp t;
        TProgram p(t.app, dir.path());
        TForm1 &f = *p.Form1;
        FileWatch watch(t.app, f);
        const auto rows = [&f] { return gridRows(f.StringGrid1).size(); };

        replace(path, Head + LineA + LineB);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 2, 20000);
        QVERIFY(p.Form2->visible());
        QCOMPARE(f.StringGrid1.row(), 2);
        // The watch of the replaced file went with it; the folder's sees the next.
        replace(path, Head + LineA + LineB + LineC);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 3, 20000);

        // The window's own save reads nothing again.
        p.Form2->Timer1Timer(p.Form2->Timer1);
        f.dtp_Ablese.setDate(QDate(2026, 4, 1));
        f.Memo_Stand.setText(QStringLiteral("1400,0"));
        f.btn_Save2.click();
        QTest::qWait(FileWatch::SettleMs * 3);
        QVERIFY(!p.Form2->visible());
        QCOMPARE(readAll(path),
            Head + LineA + LineB + LineC + "01.04.2026 |     1400,00 |   31 |   3,23\r\n");
        QVERIFY(t.services.boxes.empty());
    }
};

QTEST_MAIN(TestFileWatch)
#include "tst_filewatch.moc"
