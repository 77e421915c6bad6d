#include "common/errors.h"
#include "common/safefile.h"
#include "common/textfile.h"

#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

using namespace voltaris;

namespace {

constexpr qsizetype Block = 64 * 1024; // the reader's block

// The lines as the reader's rules give them: LF ends a line, every CR is
// dropped but starts a line, Ctrl+Z ends the file.
QList<QByteArray> expectedLines(QByteArray bytes)
{
    if (const qsizetype z = bytes.indexOf('\x1A'); z >= 0)
        bytes.truncate(z);
    QList<QByteArray> lines;
    QByteArray line;
    bool open = false;
    for (const char c : bytes) {
        if (c == '\n') {
            lines << line;
            line.clear();
            open = false;
        } else {
            if (c != '\r')
                line += c;
            open = true;
        }
    }
    if (open)
        lines << line;
    return lines;
}

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // `at` bytes of filler lines, so that what follows meets the end of
        // the first block.
        const auto filler = [](qsizetype at) {
            QByteArray b;
            while (b.size() + 41 <= at)
                b += QByteArray(39, 'x') + "\r\n";
            return b + QByteArray(at - b.size(), 'y');
        };
        QTest::newRow("CR LF, LF, last line open") << QByteArray("ab\r\ncd\nef");
        QTest::newRow("lone CR inside a line") << QByteArray("x\r\nab\rcd\r\nef\n");
        QTest::newRow("CR at the very end") << QByteArray("ab\r\n\r");
        QTest::newRow("Ctrl+Z ends it") << QByteArray("ab\r\ncd\x1A"
                                                      "ef\r\n");
        QTest::newRow("empty lines") << QByteArray("\r\n\n\r\nx\r\n");
        QTest::newRow("CR LF across the block end") << filler(Block - 1) + "\r\nnext\r\n";
        QTest::newRow("LF right after the block end") << filler(Block) + "\nnext\r\n";
        QTest::newRow("line across the block end")
            << filler(Block - 20) + QByteArray(50, 'z') + "\r\nnext";
        QTest::newRow("Ctrl+Z after the block end") << filler(Block + 3) + "\x1A" + "gone\r\n";
    }
    void failures_data();
    void failures();
    void systemReasons_data();
    void systemReasons();
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("t.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();

        // The view and the copying reads, taken in turns, give the same lines.
        TextLineReader reader(path);
        QVERIFY(reader.open());
        QList<QByteArray> read;
        for (;;) {
            QByteArrayView view;
            QByteArray copy;
            const bool more = read.size() % 2 ? reader.readLine(copy) : reader.readLine(view);
            if (!more)
                break;
            read << (read.size() % 2 ? copy : view.toByteArray());
        }
        QCOMPARE(read, expectedLines(bytes));
        QVERIFY(reader.atEnd());
    }
};

// What the user reads when a file fails: the reason in German.
void TestTextFile::failures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "/nonexistent/x.txt" << false << "No such file or directory";
    QTest::newRow("a folder") << "/" << false << "An ihrer Stelle steht ein Ordner";
    // Opens, but reading at address 0 of one's own memory fails with EIO.
    QTest::newRow("read error") << "/proc/self/mem" << true
                                << "Ein- oder Ausgabefehler des Datenträgers";
}

void TestTextFile::failures()
{
    QFETCH(QString, path);
    QFETCH(bool, opens);
    QFETCH(QString, reason);
    TextLineReader reader(path);
    QCOMPARE(reader.open(), opens);
    if (opens) {
        QByteArray line;
        try {
            reader.readLine(line);
            QFAIL("no read error");
        } catch (const EInOutError &e) {
            QVERIFY2(e.message().endsWith(reason), qPrintable(e.message()));
        }
    }
    QCOMPARE(reader.errorString(), reason);
}

void TestTextFile::systemReasons_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no space") << ENOSPC << "Der Datenträger ist voll";
    QTest::newRow("quota") << EDQUOT << "Der Datenträger ist voll";
    QTest::newRow("too big") << EFBIG << "Die Datei ist zu groß";
    QTest::newRow("read-only disk") << EROFS << "Der Datenträger ist schreibgeschützt";
    QTest::newRow("not permitted") << EPERM << "Zugriff verweigert";
    QTest::newRow("no folder") << ENOTDIR << "Der Ordner ist nicht vorhanden";
}

void TestTextFile::systemReasons()
{
    QFETCH(int, code);
    QFETCH(QString, reason);
    QCOMPARE(systemErrorText(code), reason);
}

QTEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
