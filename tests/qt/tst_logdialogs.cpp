#include "modal.h"
#include "qt/logdialogs.h"
#include "qt/qtservices.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// Acts on the modal dialog once it is shown; what is still open after is
// cancelled, so that a dialog that ignored the act cannot hang the test.
std::unique_ptr<ModalAnswer> whileOpen(std::function<void(QDialog &)> act,
    std::source_location where = std::source_location::current())
{
    return std::make_unique<ModalAnswer>(
        QStringLiteral("QDialog"), [act](QWidget *d) { act(*qobject_cast<QDialog *>(d)); },
        ModalAnswer::Then::Reject, ModalAnswer::DeadlineMs, where);
}

void type(QAbstractSpinBox *spin, const QString &text)
{
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

// Closes the dialog by a key on `focus` or by the button of that text.
void press(QDialog &d, QWidget *focus, const QString &how)
{
    if (how == "Enter" || how == "Escape")
        return QTest::keyClick(focus, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    for (QPushButton *button : d.findChildren<QPushButton *>())
        if (button->text() == how)
            return button->click();
    QFAIL("no such button");
}

ImportPreview preview(const QList<bool> &added)
{
    ImportPreview p { "ablesungen.csv", { "Zeile", "Datum", "Zählerstand", "Ergebnis" }, {}, added,
        "Zusammenfassung" };
    for (int i = 0; i < added.size(); ++i)
        p.rows.append({ QString::number(i + 2), "01.03.2026", "1234,5",
            added[i] ? "übernommen" : "übersprungen: Datum doppelt" });
    return p;
}

} // namespace

class TestLogDialogs : public QObject {
    Q_OBJECT
private slots:
    // Without a date the dialog proposes today; large readings stay one word.
    void readingStarts()
    {
        ReadingDialog dialog({ "Ablesung korrigieren", QDate(), 999999 });
        QCOMPARE(dialog.windowTitle(), "Ablesung korrigieren");
        QCOMPARE(dialog.findChild<QDateEdit *>("ReadingDate")->date(), QDate::currentDate());
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("ReadingValue")->text(), "999999,0");
    }

    // Typed German; OK is clicked without leaving the spin box.
    void reading_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<long double>("reading");
        QTest::newRow("comma, Enter") << "1234,5"
                                      << "Enter" << true << 1234.5L;
        QTest::newRow("comma, OK") << "1234,5"
                                   << "OK" << true << 1234.5L;
        QTest::newRow("a tenth as the text reads") << "0,1"
                                                   << "OK" << true << 0.1L;
        QTest::newRow("whole") << "77"
                               << "Enter" << true << 77.0L;
        QTest::newRow("Abbrechen") << "1234,5"
                                   << "Abbrechen" << false << 10.0L;
        QTest::newRow("Escape") << "1234,5"
                                << "Escape" << false << 10.0L;
    }
    void reading()
    {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(bool, accepted);
        QFETCH(long double, reading);
        ReadingInput input { "Ablesung nachtragen", QDate(2026, 3, 1), 10 };
        const auto open = whileOpen([&](QDialog &d) {
            auto *spin = d.findChild<QDoubleSpinBox *>("ReadingValue");
            type(spin, typed);
            d.findChild<QDateEdit *>("ReadingDate")->setDate(QDate(2026, 3, 5));
            press(d, spin, how);
        });
        QCOMPARE(askReading(nullptr, input), accepted);
        VERIFY_ANSWERED(*open);
        QCOMPARE(input.reading, reading);
        QCOMPARE(input.date, accepted ? QDate(2026, 3, 5) : QDate(2026, 3, 1));
        QCOMPARE(input.caption, "Ablesung nachtragen");
    }

    void meterChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << "OK";
        QTest::newRow("Abbrechen") << "Abbrechen";
    }
    void meterChange()
    {
        QFETCH(QString, how);
        MeterChangeInput input { QDate(2026, 4, 30), 8123.4L, 0, "" };
        QString title, shown;
        const auto open = whileOpen([&](QDialog &d) {
            title = d.windowTitle();
            shown = d.findChild<QDoubleSpinBox *>("ChangeOldFinal")->text();
            type(d.findChild<QDoubleSpinBox *>("ChangeOldFinal"), "8200,7");
            type(d.findChild<QDoubleSpinBox *>("ChangeNewFirst"), "3,2");
            auto *number = d.findChild<QLineEdit *>("ChangeNumber");
            QTest::keyClicks(number, "1ESY 4711");
            press(d, number, how);
        });
        const bool ok = how == "OK";
        QCOMPARE(askMeterChange(nullptr, input), ok);
        VERIFY_ANSWERED(*open);
        QCOMPARE(title, "Zählerwechsel");
        QCOMPARE(shown, "8123,4");
        QCOMPARE(input.date, QDate(2026, 4, 30));
        QCOMPARE(input.oldFinal, ok ? 8200.7L : 8123.4L);
        QCOMPARE(input.newFirst, ok ? 3.2L : 0.0L);
        QCOMPARE(input.number, ok ? "1ESY 4711" : "");
    }

    // Enter in the table imports, unless no row would be added.
    void import_data()
    {
        QTest::addColumn<QList<bool>>("added");
        QTest::newRow("mixed") << QList<bool> { true, false, true };
        QTest::newRow("all skipped") << QList<bool> { false, false };
        QTest::newRow("empty") << QList<bool> {};
    }
    void import()
    {
        QFETCH(QList<bool>, added);
        const ImportPreview p = preview(added);
        ImportDialog shown(p);
        auto *table = shown.findChild<QTreeWidget *>("ImportPreview");
        QCOMPARE(shown.findChild<QPushButton *>("ImportAccept")->isEnabled(), added.contains(true));
        QCOMPARE(table->headerItem()->text(3), "Ergebnis");
        QCOMPARE(table->topLevelItemCount(), added.size());
        for (int i = 0; i < added.size(); ++i) {
            QCOMPARE(table->topLevelItem(i)->text(3), p.rows[i][3]);
            const bool muted = table->topLevelItem(i)->foreground(0) != QBrush();
            QCOMPARE(muted, !added[i]);
        }

        auto open = whileOpen([](QDialog &d) {
            auto *t = d.findChild<QTreeWidget *>("ImportPreview");
            t->setFocus();
            press(d, t, "Enter");
        });
        QCOMPARE(askImport(nullptr, p), added.contains(true));
        VERIFY_ANSWERED(*open);
        open = whileOpen([](QDialog &d) { press(d, nullptr, "Abbrechen"); });
        QVERIFY(!askImport(nullptr, p));
        VERIFY_ANSWERED(*open);
    }

    // OK runs the input's check: its refusal is shown over the dialog, which
    // stays open with the values as typed, as after Nein to its question.
    void readingCheck_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("refused") << false << QMessageBox::Ok;
        QTest::newRow("asked, Nein") << true << QMessageBox::No;
        QTest::newRow("asked, Ja") << true << QMessageBox::Yes;
    }
    void readingCheck()
    {
        QFETCH(bool, question);
        QFETCH(QMessageBox::StandardButton, answer);
        const QDate doubtful(2026, 3, 5);
        ReadingInput input { "Ablesung korrigieren", QDate(2026, 3, 1), 10 };
        input.check = [&](const ReadingInput &a) {
            ReadingCheck c;
            if (a.date == doubtful)
                (question ? c.question : c.refusal) = "Nicht der 05.03.2026";
            return c;
        };
        ReadingDialog dialog(input);
        dialog.show();
        auto *spin = dialog.findChild<QDoubleSpinBox *>("ReadingValue");
        auto *date = dialog.findChild<QDateEdit *>("ReadingDate");
        type(spin, "1234,5");
        date->setDate(doubtful);
        // A box over the dialog is answered once it is there; one without
        // that button is closed, so that the test cannot hang on it.
        QStringList shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->button(answer) ? box->button(answer)->click() : void(box->close());
            }
        });
        poll.start(10);
        press(dialog, spin, "OK");
        poll.stop();
        QCOMPARE(shown, QStringList { "Nicht der 05.03.2026" });
        QCOMPARE(dialog.isVisible(), answer != QMessageBox::Yes);
        QCOMPARE(spin->text(), "1234,5");
        QCOMPARE(date->date(), doubtful);
        if (answer != QMessageBox::Yes) {
            date->setDate(doubtful.addDays(-1));
            press(dialog, spin, "OK");
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The line numbers fit their column, the widest being the last of
    // thousands; an offered replacement shows what either choice does.
    void importWidthsAndOffer()
    {
        ImportPreview p = preview(QList<bool>(3000, false));
        p.rows.last()[0] = "1750000";
        p.offer = "Zählerwechsel eintragen: am 10.04.2026 (Zeile 2)";
        p.added.last() = true;
        p.rowsWithout = { { "2", "10.04.2026", "3", "übersprungen" } };
        p.addedWithout = { false };
        p.summaryWithout = "ohne";
        const auto open = whileOpen([](QDialog &d) {
            auto *t = d.findChild<QTreeWidget *>("ImportPreview");
            const int needed = t->fontMetrics().horizontalAdvance("1750000");
            QVERIFY2(t->columnWidth(0) >= needed,
                qPrintable(QString("%1 < %2").arg(t->columnWidth(0)).arg(needed)));
            QVERIFY(d.findChild<QPushButton *>("ImportAccept")->isEnabled());
            d.findChild<QCheckBox *>("ImportOffer")->setChecked(false);
            QCOMPARE(t->topLevelItemCount(), 1);
            QCOMPARE(d.findChild<QLabel *>("ImportSummary")->text(), "ohne");
            QVERIFY(!d.findChild<QPushButton *>("ImportAccept")->isEnabled());
            d.findChild<QCheckBox *>("ImportOffer")->setChecked(true);
            QCOMPARE(t->topLevelItemCount(), 3000);
            press(d, t, "Enter");
        });
        bool take = false;
        QVERIFY(askImport(nullptr, p, &take));
        VERIFY_ANSWERED(*open);
        QVERIFY(take);
    }

    // The bar of a long reading: German, modal, with the program's title;
    // "Abbrechen" answers the next step.
    void progress()
    {
        QtServices services;
        services.beginProgress(nullptr, "Voltaris 1.3", "\"a.csv\" wird gelesen …");
        QProgressDialog *bar = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "ProgressDialog")
                bar = qobject_cast<QProgressDialog *>(w);
        QVERIFY(bar);
        QCOMPARE(bar->windowTitle(), "Voltaris 1.3");
        QCOMPARE(bar->labelText(), "\"a.csv\" wird gelesen …");
        QCOMPARE(bar->findChild<QPushButton *>()->text(), "Abbrechen");
        QCOMPARE(bar->windowModality(), Qt::ApplicationModal);
        QVERIFY(services.stepProgress(1, 10));
        bar->cancel();
        QVERIFY(!services.stepProgress(2, 10));
        const QPointer<QProgressDialog> gone = bar;
        services.endProgress();
        QVERIFY(!gone);
    }
};

QTEST_MAIN(TestLogDialogs)
#include "tst_logdialogs.moc"
