#include "fakeservices.h"
#include "modal.h"
#include "qt/formview.h"
#include "qt/historywindow.h"
#include "qt/logdialogs.h"
#include "qt/logviews.h"
#include "qt/settlementwindow.h"
#include "qt/stringgridwidget.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// The recording services, with the real windows and dialogs of the log.
struct ViewServices : FakeServices {
    std::function<void(LogView)> show;
    void showLogView(TForm &, LogView view) override { show(view); }
    QWidget *window = nullptr;
    bool askReading(TForm *, ReadingInput &input) override
    {
        return voltaris::askReading(window, input);
    }
    bool askMeterChange(TForm *, MeterChangeInput &input) override
    {
        return voltaris::askMeterChange(window, input);
    }
    bool confirmImport(TForm *, const ImportPreview &preview) override
    {
        return askImport(window, preview);
    }
};

struct Window {
    QTemporaryDir dir;
    ViewServices services;
    TApplication app { services, FormatSettings::german() };
    TProgram p { app, dir.path() };
    TForm1 &f = *p.Form1;
    FormView view { f };
    LogViews views; // closed before the form goes

    Window()
    {
        services.show = [this](LogView v) { views.show(f, &view, v); };
        services.window = &view;
        app.handle([&] { f.show(); });
        view.show();
    }
    void enter(const QString &date, const QString &reading)
    {
        f.dtp_Ablese.setDate(QDate::fromString(date, "dd.MM.yyyy"));
        f.Memo_Stand.setText(reading);
        f.btn_Save2.click();
    }
    // Opens the grid's popup menu as the right mouse button does and picks
    // the item; returns whether it was enabled.
    bool pick(const QString &item)
    {
        auto *grid = static_cast<StringGridWidget *>(view.widgetFor(f.StringGrid1));
        bool enabled = false, found = false;
        ModalAnswer menu("QMenu", [&](QWidget *m) {
            // A click closes the menu, then triggers the item.
            QPointer<QAction> a = m->findChild<QAction *>(item);
            m->close();
            if (a) {
                found = true;
                enabled = a->isEnabled();
                if (enabled)
                    a->trigger();
            }
        });
        const QPoint at(20, 40);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &e);
        return menu.wait() && found && enabled;
    }
};

} // namespace

class TestLogViews : public QObject {
    Q_OBJECT
private slots:
    void fromThePopupMenu()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter("01.01.2026", "1000,0");

        // The chart: a hint while there is one reading, then the steps.
        QVERIFY(w.pick("Verlauf1"));
        HistoryWindow *history = w.views.history();
        QVERIFY(history && history->isVisible());
        QVERIFY(!history->showsChart());
        QVERIFY(history->hint()->text().contains("mindestens zwei"));
        w.enter("01.02.2026", "1155,5");
        w.enter("01.03.2026", "1300,0");
        QTRY_VERIFY(history->showsChart());
        QCOMPARE(int(history->history().steps.size()), 2);
        QCOMPARE(history->tipAt(QDate(2026, 1, 20)),
            QString("01.02.2026\nZählerstand: 1155,50 kWh\n5,02 kWh pro Tag seit 01.01.2026 (31 "
                    "Tage)"));
        QVERIFY(w.pick("Verlauf1"));
        QCOMPARE(w.views.history(), history); // one at a time

        // The preview follows the contract; no error box for a bad field.
        QVERIFY(w.pick("Abrechnung1"));
        SettlementWindow *settlement = w.views.settlement();
        QVERIFY(settlement && settlement->isVisible());
        QVERIFY(settlement->settlement().complete());
        QVERIFY(settlement->plainText().contains(settlementVerdict(settlement->settlement(), ',')));
        w.f.dtp_Ab.setDate(QDate(2017, 2, 1));
        QTRY_VERIFY(settlement->plainText().contains("Vertragsjahr 01.02.2026 bis 31.01.2027"));
        w.f.Edit7.setText("8x");
        QTRY_VERIFY(
            settlement->plainText().contains("„monatlich“ im Vertrag ist keine Zahl: „8x“."));
        QVERIFY(w.services.boxes.empty());

        // Export, then remove and restore a row, from the same menu.
        w.services.savePath = w.dir.filePath("log.csv");
        QVERIFY(w.pick("CsvExport1"));
        QFile csv(w.services.savePath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().startsWith("\xEF\xBB\xBF"
                                         "Datum;"));
        // Ctrl+E also where the reading is typed; the edit keeps its text.
        auto *memo = w.view.widgetFor(w.f.Memo_Stand)->findChild<QLineEdit *>();
        const QString reading = w.f.Memo_Stand.text();
        QTest::mouseClick(memo, Qt::LeftButton);
        QTest::keyClick(memo, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(w.services.saveDialogs.size(), 2);
        QCOMPARE(memo->text(), reading);
        QVERIFY(!w.pick("Undo1"));
        w.f.StringGrid1.userSelected(3);
        QVERIFY(w.pick("Delete1"));
        QTRY_COMPARE(int(history->history().steps.size()), 1);
        QVERIFY(w.pick("Undo1"));
        QCOMPARE(w.f.StringGrid1.cell(0, 3), QString("01.03.2026"));
        QTRY_COMPARE(int(history->history().steps.size()), 2);

        history->close();
        QTRY_VERIFY(!w.views.history());
    }

    // The views of the household follow every meter: a wallbox another
    // program adds, then a reading entered on it.
    void householdViewsFollowEveryMeter()
    {
        Window w;
        w.enter("01.01.2026", "1000,0");
        QVERIFY(w.pick("Abrechnung1") && w.pick("Verlauf1"));
        w.views.history()->findChild<QPushButton *>("YearToggle")->click();
        auto *choice = w.views.history()->findChild<QComboBox *>("YearMeterChoice");
        Meter wallbox;
        wallbox.name = wallbox.fileKey = "Wallbox";
        wallbox.kind = MeterKind::SubMeter;
        writeFile(w.dir.filePath("Meine_Zaehler.txt"), metersFileBytes({ { wallbox } }));
        w.f.FilesChangedOnDisk();
        QTRY_VERIFY(w.views.settlement()->plainText().contains("Wallbox") && !choice->isHidden());
        w.f.ShowMeter(1);
        w.enter("01.01.2026", "100,0");
        w.enter("01.03.2026", "160,0");
        // 60 kWh in 59 days and 306 more at that pace, at 24 ct.
        QTRY_VERIFY(w.views.settlement()->plainText().contains(
            "(60,00 + 311,19) kWh × 24,00 ct ÷ 100\n89,08 €"));
    }

    // Escape closes the chart and the preview, as it does a dialog, from
    // wherever their focus is.
    void escapeCloses_data()
    {
        QTest::addColumn<QString>("item"); // of the popup menu
        QTest::addColumn<QString>("focus"); // the class of the child with the focus
        QTest::newRow("chart") << "Verlauf1"
                               << "QChartView";
        QTest::newRow("preview's list") << "Abrechnung1"
                                        << "QListWidget";
    }
    void escapeCloses()
    {
        QFETCH(QString, item);
        QFETCH(QString, focus);
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter("01.01.2026", "1000,0");
        w.enter("01.03.2026", "1300,0");
        QVERIFY(w.pick(item));
        const bool chart = item == "Verlauf1";
        QPointer<QWidget> view = chart ? static_cast<QWidget *>(w.views.history())
                                       : static_cast<QWidget *>(w.views.settlement());
        QVERIFY(view && view->isVisible());
        QWidget *child = nullptr;
        for (QWidget *c : view->findChildren<QWidget *>())
            if (!child && c->inherits(qPrintable(focus)) && c->isVisible())
                child = c;
        QVERIFY(child);
        child->setFocus();
        QTest::keyClick(child, Qt::Key_Escape);
        QTRY_VERIFY(!view);
        QVERIFY(chart ? !w.views.history() : !w.views.settlement());
    }

    // The log's edits open their dialogs from the menu; what is typed there
    // reaches the table.
    void logEditsFromThePopupMenu()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        w.enter("01.01.2026", "1000,0");
        w.enter("01.03.2026", "1300,0");
        TStringGrid &g = w.f.StringGrid1;

        g.userSelected(2);
        ModalAnswer correction("ReadingDialog", [](QWidget *d) {
            QCOMPARE(d->windowTitle(), QString("Ablesung korrigieren"));
            typeInto(d, "ReadingValue", "1290,5");
        });
        QVERIFY(w.pick("Korrektur1"));
        VERIFY_ANSWERED(correction);
        QCOMPARE(g.cell(1, 2), QString("1290,50"));

        ModalAnswer addition("ReadingDialog", [](QWidget *d) {
            d->findChild<QDateEdit *>("ReadingDate")->setDate(QDate(2026, 2, 1));
            typeInto(d, "ReadingValue", "1150");
        });
        QVERIFY(w.pick("Nachtrag1"));
        VERIFY_ANSWERED(addition);
        QCOMPARE(g.cell(0, 2) + "|" + g.cell(1, 2), QString("01.02.2026|1150,00"));

        ModalAnswer replacement("MeterChangeDialog", [](QWidget *d) {
            d->findChild<QDateEdit *>("ChangeDate")->setDate(QDate(2026, 3, 10));
            typeInto(d, "ChangeOldFinal", "1340");
            typeInto(d, "ChangeNewFirst", "2");
        });
        QVERIFY(w.pick("Zaehlerwechsel1"));
        VERIFY_ANSWERED(replacement);
        QCOMPARE(g.cell(1, 4) + "|" + g.cell(3, 4), QString("2,00|5,50"));

        const QString file = w.dir.filePath("alt.csv");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("Datum;Stand\r\n15.01.2026;1070\r\n");
        out.close();
        w.services.openPath = file;
        ModalAnswer import("ImportDialog", [](QWidget *d) {
            QCOMPARE(d->findChild<QTreeWidget *>("ImportPreview")->topLevelItemCount(), 1);
        });
        QVERIFY(w.pick("Import1"));
        VERIFY_ANSWERED(import);
        QCOMPARE(g.cell(0, 2) + "|" + g.cell(1, 2), QString("15.01.2026|1070,00"));
        QCOMPARE(g.rowCount(), 6);
        QVERIFY(w.services.boxes.empty());
    }
};

QTEST_MAIN(TestLogViews)
#include "tst_logviews.moc"
