#include "fakeservices.h"
#include "ui/program.h"

#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// Counts what a window asks of the window system.
struct Recorder : ControlObserver {
    int raised = 0;
    void changed(TControl &, Prop what) override { raised += what == Prop::Raise; }
};

} // namespace

class TestNotice : public QObject {
    Q_OBJECT
private slots:
    // The timer is driven here: each tick stands for 3000 ms passed.
    void noticeClosesItself()
    {
        TestApp t;
        TForm2 notice(t.app);
        QVERIFY(!notice.Timer1.enabled());
        t.app.Title = "Voltaris Test";
        notice.ShowNotice();
        QCOMPARE(notice.text(), QString("Voltaris Test"));
        QCOMPARE(notice.Label1.text(), QString("Erfolgreich in \"Mein_Vertrag\" gespeichert!"));
        QVERIFY(notice.Label1.font().bold);
        QCOMPARE(QRect(notice.Label1.left(), notice.Label1.top(), notice.Label1.width(),
                     notice.Label1.height()),
            QRect(0, 6, 378, 20));
        QCOMPARE(QSize(notice.clientWidth(), notice.clientHeight()), QSize(378, 32));
        QCOMPARE(notice.borderStyle, TBorderStyle::Dialog);
        QVERIFY(notice.visible());
        QVERIFY(notice.Timer1.enabled());
        QCOMPARE(notice.Timer1.interval(), 3000);

        // A second showing restarts the count, so it too stays up 3000 ms.
        const quint64 count = notice.Timer1.generation();
        notice.ShowNotice();
        QVERIFY(notice.Timer1.generation() != count);
        QVERIFY(notice.Timer1.enabled());

        // A tick that was under way when the timer stopped changes nothing.
        notice.Timer1.setEnabled(false);
        notice.Timer1.tick();
        QVERIFY(notice.visible());
        notice.Timer1.setEnabled(true);
        notice.Timer1.tick();
        QVERIFY(!notice.visible());
        QVERIFY(!notice.Timer1.enabled()); // no stray tick closes a later notice
        notice.ShowNotice();
        QVERIFY(notice.visible() && notice.Timer1.enabled());
    }

    // The error display ends a message with a period unless it ends in a
    // mark of its own.
    void errorText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("word") << "Invalid floating point operation"
                              << "Invalid floating point operation.";
        QTest::newRow("digit") << "Fehler 5"
                               << "Fehler 5.";
        QTest::newRow("quote") << "'x'"
                               << "'x'";
        QTest::newRow("period") << "Zugriff verweigert."
                                << "Zugriff verweigert.";
        QTest::newRow("exclamation") << "Achtung!"
                                     << "Achtung!";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(TApplication::errorText(message), shown);
    }

    // An exception from outside the program shows its own text.
    void foreignException()
    {
        TestApp t;
        t.app.showException(std::runtime_error("Fehler 5"));
        QCOMPARE(int(t.services.boxes.size()), 1);
        QCOMPARE(t.services.boxes[0].text, QString("Fehler 5."));
        QCOMPARE(t.services.boxes[0].icon, MsgIcon::Error);
    }

    void warningWindow()
    {
        QTemporaryDir dir;
        TestApp t;
        TProgram p(t.app, dir.path());
        TForm_Achtung &w = *p.Form_Achtung;
        QVERIFY(!p.Form2->visible() && !w.visible()); // created hidden
        QCOMPARE(w.text(), QString("Achtung!"));
        QCOMPARE(w.Memo1.lines(),
            QStringList({ "Einige Betruger verstecken hier die Kosten!", "",
                "Z.B. unter 0,20 \u20AC können 20,444 Cent sein", "(mathematisch abgerundet!).",
                "D.h. bei 3400 kW/Jahr-Verbrauch", "bezahlen Sie am Ende 15 \u20AC mehr!" }));
        QVERIFY(w.Memo1.readOnly && w.Memo1.wordWrap && !w.Memo1.scrollBars);
        QCOMPARE(w.Memo1.font(), (TFont { "MS Sans Serif", 17, true, clr::Yellow }));
        QCOMPARE(QRect(w.Memo1.left(), w.Memo1.top(), w.Memo1.width(), w.Memo1.height()),
            QRect(8, 8, 361, 137));
        QVERIFY(w.borderIcons.systemMenu && !w.borderIcons.minimize && !w.borderIcons.maximize);
        QCOMPARE(QPoint(w.screenLeft(), w.screenTop()), QPoint(220, 92));

        Recorder rec;
        w.setObserver(&rec);
        p.Form1->btn_Info.click();
        QVERIFY(w.visible());
        QCOMPARE(w.activeControl(), &w.Memo1);
        QCOMPARE(rec.raised, 0);
        p.Form1->btn_Info.click(); // the one window comes to the front
        QVERIFY(w.visible());
        QCOMPARE(rec.raised, 1);
        w.setObserver(nullptr);
        QVERIFY(t.services.boxes.empty());
    }
};

QTEST_GUILESS_MAIN(TestNotice)
#include "tst_notice.moc"
