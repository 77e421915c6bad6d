#include "fakeservices.h"
#include "formscript.h"
#include "keyboard.h"
#include "ui/program.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QString AlreadyEntered = QStringLiteral("Das haben Sie schon eingegeben!");

// A program in a folder of its own with the contract of the examples:
// 10 kWh per day, 87,50 base price, 25 cent, 1000,00 per year.
struct Run {
    QTemporaryDir dir;
    TestApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;

    Run()
    {
        f.Edit2.setText("10,00");
        f.Edit3.setText("87,50");
        f.Edit5.setText("25,00");
        f.Edit6.setText("1000,00");
        t.services.clear();
    }

    // "01.02.2026=1155,5" enters a reading; "Ab=01.02.2026" sets the
    // contract start; "del=2" removes row 2.
    void play(const QStringList &steps)
    {
        for (const QString &s : steps) {
            const QString key = s.section('=', 0, 0), value = s.section('=', 1);
            if (key == "Ab") {
                f.dtp_Ab.setDate(QDate::fromString(value, "dd.MM.yyyy"));
            } else if (key == "del") {
                f.StringGrid1.userSelected(value.toInt());
                f.Delete1.click();
            } else {
                f.dtp_Ablese.setDate(QDate::fromString(key, "dd.MM.yyyy"));
                f.Memo_Stand.setText(value);
                f.btn_Save2.click();
            }
        }
    }

    QStringList rows() const
    {
        QStringList out;
        const TStringGrid &g = f.StringGrid1;
        for (int r = 1; r < g.rowCount(); ++r)
            out << QStringList { g.cell(0, r), g.cell(1, r), g.cell(2, r), g.cell(3, r) }.join('|');
        return out;
    }

    // The rows as a new run of the program reads them from the file.
    QStringList fileRows() const
    {
        TestApp t2;
        TProgram p2(t2.app, dir.path());
        QStringList out;
        const TStringGrid &g = p2.Form1->StringGrid1;
        for (int r = 1; r < g.rowCount(); ++r)
            out << QStringList { g.cell(0, r), g.cell(1, r), g.cell(2, r), g.cell(3, r) }.join('|');
        return out;
    }

    // "Gut 454,78", "Nach 29,44", or "" while the estimate is hidden.
    QString estimate() const
    {
        if (!f.lbl_Zahlung.visible())
            return QString();
        // The average grows to its text and keeps its right edge.
        const TLabel &avg = f.lbl_vSrednem;
        if (avg.left() + avg.width() != 78 || avg.width() != int(avg.text().size()) * 8)
            return "average misplaced";
        return (f.lbl_Gut.visible() ? "Gut " : "") + QString(f.lbl_Nach.visible() ? "Nach " : "")
            + f.lbl_Zahlung.text();
    }
};

const QString A = "01.01.2026|1000,00|0|0";
const QString B = "01.02.2026|1155,50|31|5,02";
const QString C = "01.03.2026|1300,00|28|5,16";

// Records what a cell painting writes.
struct RecordingCanvas : TCanvas {
    int charWidth = 10;
    TRect rect;
    int x = 0, y = 0;
    QString text;
    int textWidth(const QString &t) override { return int(t.size()) * charWidth; }
    void textRect(const TRect &r, int px, int py, const QString &t) override
    {
        rect = r;
        x = px;
        y = py;
        text = t;
    }
};

} // namespace

class TestMeterLog : public QObject {
    Q_OBJECT
private slots:
    void entries_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("estimate");
        QTest::addColumn<bool>("refused");
        const QStringList first { "01.01.2026=1000,0" };
        // The first reading of an empty log is saved, with no estimate.
        QTest::newRow("first of an empty log") << first << QStringList { A } << ""
                                               << "" << false;
        QTest::newRow("credit") << first + QStringList { "01.02.2026=1155,5" }
                                << QStringList { A, B } << "5,02"
                                << "Gut 454,78" << false;
        QTest::newRow("back payment") << first + QStringList { "01.02.2026=1372,0" }
                                      << QStringList { A, "01.02.2026|1372,00|31|12,00" } << "12,00"
                                      << "Nach 182,50" << false;
        // The label follows the sign of the amount, not the contract's kWh.
        QTest::newRow("back payment below the contract's use")
            << first + QStringList { "01.02.2026=1320,0" }
            << QStringList { A, "01.02.2026|1320,00|31|10,32" } << "10,32"
            << "Nach 29,44" << false;
        QTest::newRow("lower reading") << first + QStringList { "01.02.2026=907,0" }
                                       << QStringList { A, "01.02.2026|907,00|31|-3,00" } << "-3,00"
                                       << "Gut 1186,25" << false;
        // A reading on the contract start day is appended like any other.
        QTest::newRow("contract start day")
            << QStringList { "Ab=01.02.2026" } + first + QStringList { "01.02.2026=1155,5" }
            << QStringList { A, B } << "5,02"
            << "Gut 454,78" << false;
        QTest::newRow("the last row's day")
            << first + QStringList { "01.01.2026=1100,0" } << QStringList { A } << ""
            << "" << true;
        QTest::newRow("an earlier day")
            << first + QStringList { "31.12.2025=900,0" } << QStringList { A } << ""
            << "" << true;
        QTest::newRow("three, the average from row 1")
            << first + QStringList { "01.02.2026=1155,5", "01.03.2026=1300,0" }
            << QStringList { A, B, C } << "5,08"
            << "Gut 448,52" << false;
    }
    void entries()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, rows);
        QFETCH(QString, average);
        QFETCH(QString, estimate);
        QFETCH(bool, refused);
        Run r;
        r.play(steps);
        QCOMPARE(r.rows(), rows);
        QCOMPARE(r.fileRows(), rows);
        QCOMPARE(r.estimate(), estimate);
        QCOMPARE(int(r.t.services.boxes.size()), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(r.t.services.boxes[0].text, AlreadyEntered);
            QCOMPARE(r.t.services.boxes[0].icon, MsgIcon::None);
            QCOMPARE(r.t.services.boxes[0].caption, QString("Voltaris 1.3"));
        }
        TForm1 &f = r.f;
        QCOMPARE(f.StringGrid1.row(), f.StringGrid1.rowCount() - 1);
        if (estimate.isEmpty()) {
            QVERIFY(!f.lbl_vSrednem.visible() && !f.LabelEUR.visible());
            QVERIFY(f.activeControl() != &f.dtp_Ablese);
            return;
        }
        QCOMPARE(f.lbl_vSrednem.text(), average);
        QVERIFY(f.lbl_Durch.visible() && f.lbl_kWTag.visible() && f.lbl_vSrednem.visible());
        // Right edge kept at 78, "€" 3 pixels after the amount, in its colour.
        QCOMPARE(f.lbl_vSrednem.left() + f.lbl_vSrednem.width(), 78);
        QCOMPARE(f.lbl_Zahlung.left(), 152);
        QCOMPARE(f.LabelEUR.left(), 152 + f.lbl_Zahlung.width() + 3);
        QVERIFY(f.lbl_Zahlung.width() > 9 && f.LabelEUR.visible());
        const TColor colour = f.lbl_Gut.visible() ? clr::Green : clr::Red;
        QCOMPARE(f.lbl_Zahlung.font().color, colour);
        QCOMPARE(f.LabelEUR.font().color, colour);
        QCOMPARE(f.activeControl(), &f.dtp_Ablese);
    }

    // A contract field that is no number ends the entry after the row was
    // saved: the error is shown, the labels stay as they were.
    void entryWithBadContract_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("Edit6 empty") << "Edit6"
                                     << ""
                                     << "'' is not a valid floating point value.";
        QTest::newRow("Edit2 and Edit6 bad") << "Edit2"
                                             << "x"
                                             << "'x' is not a valid floating point value.";
    }
    void entryWithBadContract()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Run r;
        r.play({ "01.01.2026=1000,0", "01.02.2026=1155,5" });
        static_cast<TEdit *>(findControl(r.f, field))->setText(text);
        r.f.Edit6.setText("");
        focus(r.f.Memo_Stand);
        r.play({ "01.03.2026=1300,0" });
        QCOMPARE(r.rows(), (QStringList { A, B, C }));
        QCOMPARE(r.fileRows(), (QStringList { A, B, C }));
        QCOMPARE(int(r.t.services.boxes.size()), 1);
        QCOMPARE(r.t.services.boxes[0].text, message);
        QCOMPARE(r.t.services.boxes[0].icon, MsgIcon::Error);
        QCOMPARE(r.estimate(), QString("Gut 454,78"));
        QCOMPARE(r.f.activeControl(), &r.f.Memo_Stand);
    }

    // Cells outside the table read empty and take no text.
    void cellsOutsideTheTable()
    {
        Run r;
        r.play({ "01.01.2026=1000,0" });
        TStringGrid &g = r.f.StringGrid1;
        const QStringList before = r.rows();
        for (const QPoint p : { QPoint(4, 0), QPoint(-1, 1), QPoint(0, 2), QPoint(0, -1) }) {
            QCOMPARE(g.cell(p.x(), p.y()), QString());
            g.setCell(p.x(), p.y(), "x");
        }
        QCOMPARE(r.rows(), before);
        QCOMPARE(g.cell(0, 0), QString("   Datum"));
    }

    void removal_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("rows");
        const QStringList three { "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0" };
        QTest::newRow("only row") << QStringList { "01.01.2026=1000,0", "del=1" }
                                  << QStringList { "|||" };
        QTest::newRow("only row, then a new first reading") << QStringList { "01.01.2026=1000,0",
            "del=1", "01.02.2026=1155,5" } << QStringList { "01.02.2026|1155,50|0|0" };
        // The row that moves up counts from its new predecessor.
        QTest::newRow("middle of three")
            << three + QStringList { "del=2" } << QStringList { A, "01.03.2026|1300,00|59|5,08" };
        QTest::newRow("first of three")
            << three + QStringList { "del=1" } << QStringList { "01.02.2026|1155,50|0|0", C };
        QTest::newRow("last of three") << three + QStringList { "del=3" } << QStringList { A, B };
    }
    void removal()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, rows);
        Run r;
        const qsizetype cut = steps.indexOf(steps.filter("del=").value(0));
        r.play(steps.mid(0, cut));
        const QString before = r.estimate();
        r.play(steps.mid(cut));
        QCOMPARE(r.rows(), rows);
        QCOMPARE(r.fileRows(), rows);
        if (!steps.last().startsWith("del"))
            return;
        QCOMPARE(r.estimate(), before); // a removal leaves the estimate alone
        const TStringGrid &g = r.f.StringGrid1;
        QVERIFY(
            g.topRow() <= g.rowCount() - 1 && g.rowCount() - 1 < g.topRow() + g.visibleRowCount());
        // The mark stays on a row there is (the last one after removing it).
        QVERIFY(g.row() >= g.fixedRows() && g.row() < g.rowCount());
    }

    void closeUp_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<bool>("refused");
        const QStringList two { "01.01.2026=1000,0", "01.02.2026=1155,5" };
        QTest::newRow("the last day") << two << QDate(2026, 2, 1) << true;
        QTest::newRow("before") << two << QDate(2026, 1, 15) << true;
        QTest::newRow("after") << two << QDate(2026, 2, 2) << false;
        QTest::newRow("empty log") << QStringList {} << QDate(2000, 1, 1) << false;
    }
    void closeUp()
    {
        QFETCH(QStringList, steps);
        QFETCH(QDate, picked);
        QFETCH(bool, refused);
        Run r;
        r.play(steps);
        r.f.dtp_Ablese.userPicked(picked);
        r.f.dtp_Ablese.closeUp();
        QCOMPARE(int(r.t.services.boxes.size()), refused ? 1 : 0);
        QCOMPARE(r.f.dtp_Ablese.date(), refused ? r.t.services.todayDate : picked);
        if (refused)
            QCOMPARE(r.t.services.boxes[0].text, AlreadyEntered);
    }

    // Enter in the reading input enters it; its focus selects the text.
    void enterInMemoStand()
    {
        Run r;
        focus(r.f.Memo_Stand);
        QCOMPARE(r.f.Memo_Stand.selLength(), int(r.f.Memo_Stand.text().size()));
        r.f.dtp_Ablese.setDate(QDate(2026, 1, 1));
        typeText(r.f, "1000\r");
        QCOMPARE(r.rows(), QStringList { A });
    }

    // Columns 0 left, 1 and 3 right, 2 centred, truncating toward zero.
    void drawCell_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("x");
        const TRect r { 10, 20, 57, 44 }; // 47 wide
        QTest::newRow("date, left") << 0 << "01.01.2026" << r.left + 2;
        QTest::newRow("reading, right") << 1 << "1000,00" << r.right - 70 - 2;
        QTest::newRow("days, centred") << 2 << "31" << 10 + (47 - 20 - 2) / 2;
        QTest::newRow("days wider than the cell") << 2 << "12345" << 10 - 2; // -5 / 2 is -2
        QTest::newRow("kWh, right") << 3 << "5,02" << r.right - 40 - 2;
    }
    void drawCell()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(int, x);
        Run r;
        r.f.StringGrid1.setCell(col, 1, text);
        RecordingCanvas canvas;
        const TRect rect { 10, 20, 57, 44 };
        r.f.StringGrid1.drawCell(canvas, col, 1, rect, {});
        QCOMPARE(canvas.x, x);
        QCOMPARE(canvas.y, 22);
        QCOMPARE(canvas.text, text);
        QVERIFY(canvas.rect == rect);
    }

    void captionNumbering()
    {
        Run r;
        r.f.Image_Schetchik.click();
        QCOMPARE(r.f.text(), QString(15, ' ') + "1");
        const QStringList names { "GroupBox1", "lbl_Name", "lbl_Tarif", "lbl_01", "lbl_02",
            "lbl_03", "lbl_04", "lbl_05", "lbl_06", "lbl_07", "lbl_Ab", "lbl_kW1", "lbl_kW2",
            "lbl_EUR1", "lbl_EUR2", "lbl_Cent", "lbl_EUR3", "lbl_EUR4", "GroupBox2", "lbl_Leistung",
            "lbl_Watt", "lbl_Stopp", "lbl_Zeit", "lbl_Kosten", "btn_Berechnen", "lbl_EUR5",
            "lbl_EUR6", "GroupBox3", "lbl_Date", "lbl_Stand", "btn_Save2", "lbl_Nach", "lbl_Gut",
            "lbl_Durch", "lbl_kWTag" };
        for (int i = 0; i < names.size(); ++i) {
            const int n = i + 2 < 35 ? i + 2 : i + 3; // 35 is not used
            QCOMPARE(
                findControl(r.f, names[i])->text(), n == 2 ? QString(" 2") : QString::number(n));
        }
        r.play({ "01.01.2026=1000,0", "01.02.2026=1155,5" });
        QCOMPARE(r.rows(), (QStringList { A, B }));
    }
};

QTEST_GUILESS_MAIN(TestMeterLog)
#include "tst_meterlog.moc"
