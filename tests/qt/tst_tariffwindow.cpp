#include "common/cp1252.h"
#include "fakeservices.h"
#include "modal.h"
#include "qt/formview.h"
#include "qt/logviews.h"
#include "qt/stringgridwidget.h"
#include "qt/tariffwindow.h"
#include "ui/Unit2.h"
#include "ui/program.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

struct ViewServices : FakeServices {
    std::function<void(LogView)> show;
    void showLogView(TForm &, LogView view) override { show(view); }
};

const QString Header = "Art;Anbieter;Tarif;Grundpreis (€);je;Arbeitspreis (Cent/kWh);"
                       "Neukundenbonus (€);Sofortbonus (€);Preisgarantie (Monate);"
                       "Mindestlaufzeit (Monate);Kündigungsfrist;Notiz";

struct Window {
    QTemporaryDir dir;
    ViewServices services;
    TApplication app { services, FormatSettings::german() };
    std::unique_ptr<TProgram> p;
    TForm1 *f = nullptr;
    std::unique_ptr<FormView> view;
    LogViews views; // closed before the form goes

    // `file`: the lines of the comparison's file, written before the start.
    explicit Window(const QStringList &file = {})
    {
        if (!file.isEmpty())
            write(file);
        p = std::make_unique<TProgram>(app, dir.path());
        f = p->Form1.get();
        view = std::make_unique<FormView>(*f);
        offerTariffCheckOnContract(*view, *f);
        services.show = [this](LogView v) { views.show(*f, view.get(), v); };
        app.handle([&] { f->show(); });
        view->show();
    }
    QString path() const { return dir.filePath("Mein_Tarifvergleich.txt"); }
    void write(const QStringList &lines)
    {
        QFile out(path());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(toWindows1252((QStringList { Header } + lines).join("\r\n") + "\r\n"));
    }
    QByteArray file() const
    {
        QFile in(path());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void enter(const QString &date, const QString &reading)
    {
        f->dtp_Ablese.setDate(QDate::fromString(date, "dd.MM.yyyy"));
        f->Memo_Stand.setText(reading);
        f->btn_Save2.click();
    }
    TariffWindow *open()
    {
        f->Tarife1->click();
        return views.tariffs();
    }
};

void type(QTableWidget *table, int row, int col, const QString &text)
{
    if (QTableWidgetItem *item = table->item(row, col))
        item->setText(text);
    else
        table->setItem(row, col, new QTableWidgetItem(text));
}

QString cell(QTableWidget *table, int row, int col)
{
    return table->item(row, col) ? table->item(row, col)->text() : QString();
}

} // namespace

class TestTariffWindow : public QObject {
    Q_OBJECT
private slots:
    // From the grid's menu and from the contract group's: one window.
    void opened()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(w.view.get()));
        TariffWindow *window = w.open();
        QVERIFY(window && window->isVisible());
        QWidget *group = w.view->widgetFor(w.f->GroupBox1);
        ModalAnswer menu("QMenu", [&](QWidget *m) {
            QPointer<QAction> a;
            for (QAction *action : m->actions())
                if (action->objectName() == "Tarife2")
                    a = action;
            m->close();
            QVERIFY(a);
            a->trigger();
        });
        const QPoint at(5, 5);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, group->mapToGlobal(at));
        QApplication::sendEvent(group, &e);
        VERIFY_ANSWERED(menu);
        QCOMPARE(w.views.tariffs(), window);
        // Only looking writes nothing into the folder.
        QVERIFY(!QFile::exists(w.path()));
    }

    // Three offers at the measured 3500 kWh against 120 € and 30 cent:
    // 1170 € in both years; saved as entered.
    void offers()
    {
        Window w;
        w.f->Edit1.setText("3650");
        w.f->Edit3.setText("120,00");
        w.f->Edit5.setText("30,00");
        TariffWindow *window = w.open();
        auto *source = window->findChild<QLabel *>("ConsumptionSource");
        QVERIFY(source->text().startsWith("Aus dem Vertrag"));
        for (const auto &[date, reading] :
            { std::pair { "20.11.2025", "10000,0" }, { "10.12.2025", "10100,0" },
                { "01.06.2026", "11800,0" }, { "30.11.2026", "13550,0" } })
            w.enter(date, reading);
        QTRY_VERIFY(source->text().startsWith("Gemessen"));
        QCOMPARE(window->findChild<QLineEdit *>("ConsumptionEdit")->text(), "3500,00");

        auto *table = window->findChild<QTableWidget *>("OfferTable");
        const QStringList offers[] = { { "Blitz", "Bonus", "15", "Monat", "38", "250", "100" },
            { "Stadtwerke", "Basis", "100", "Jahr", "35", "", "" },
            { "Öko", "Grün", "150", "Jahr", "34", "", "30" } };
        for (const QStringList &o : offers) {
            QTest::mouseClick(window->findChild<QPushButton *>("AddOfferButton"), Qt::LeftButton);
            const int row = table->rowCount() - 1;
            for (int c = 0; c < o.size(); ++c)
                type(table, row, c, o[c]);
        }
        const QStringList year { cell(table, 0, TariffWindow::YearOne),
            cell(table, 0, TariffWindow::YearTwo), cell(table, 0, TariffWindow::SavingTwo),
            cell(table, 0, TariffWindow::Rank) };
        QCOMPARE(year, QStringList({ "1160,00", "1510,00", "-340,00", "3" }));
        QVERIFY(cell(table, 0, TariffWindow::Remark).startsWith("Nur wegen des Bonus"));
        QVERIFY(cell(table, 1, TariffWindow::Remark).isEmpty());
        QCOMPARE(cell(table, 1, TariffWindow::Rank), "1");
        QVERIFY(window->findChild<QLabel *>("OwnContract")->text().contains("1170,00 €"));
        const SideFileRead<TariffCheck> saved = parseTariffCheck(w.file());
        QCOMPARE(saved.badLine, 0);
        QCOMPARE(int(saved.value.offers.size()), 3);
        QCOMPARE(saved.value.offers[0].supplier, "Blitz");
        QVERIFY(saved.value.offers[0].basePerMonth);

        // A figure of one's own; then removing an offer saves at once.
        QLineEdit *kwh = window->findChild<QLineEdit *>("ConsumptionEdit");
        kwh->selectAll();
        QTest::keyClicks(kwh, "1000");
        QCOMPARE(source->text(), "Ihre eigene Angabe.");
        QCOMPARE(cell(table, 1, TariffWindow::YearTwo), "450,00");
        table->selectRow(0);
        QTest::mouseClick(window->findChild<QPushButton *>("RemoveOfferButton"), Qt::LeftButton);
        QCOMPARE(int(parseTariffCheck(w.file()).value.offers.size()), 2);
    }

    // The deadline's line, and the calendar file where the user chooses,
    // opened by the desktop.
    void deadlines()
    {
        Window w({ "Vertrag;31.03.2027;1 Monat;;" });
        TariffWindow *window = w.open();
        QVERIFY(window->findChild<QLabel *>("NoticeLine")
                    ->text()
                    .startsWith("Kündigen spätestens am 28.02.2027"));
        QLineEdit *end = window->findChild<QLineEdit *>("MinimumEnd");
        end->setText("30.04.2027");
        emit end->editingFinished();
        QVERIFY(window->findChild<QLabel *>("NoticeLine")
                    ->text()
                    .startsWith("Kündigen spätestens am 31.03.2027"));
        QCOMPARE(parseTariffCheck(w.file()).value.deadlines.minimumEnd, QDate(2027, 4, 30));

        const QString ics = w.dir.filePath("Fristen.ics");
        ModalAnswer save("QFileDialog", [&](QWidget *d) {
            QCOMPARE(d->parentWidget(), window);
            auto *name = d->findChild<QLineEdit *>("fileNameEdit");
            name->selectAll();
            QTest::keyClicks(name, ics);
        });
        QTest::mouseClick(window->findChild<QPushButton *>("CalendarButton"), Qt::LeftButton);
        VERIFY_ANSWERED(save);
        QFile file(ics);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("DTSTART;VALUE=DATE:20270331\r\n"));
        QCOMPARE(w.services.urls, QStringList { QUrl::fromLocalFile(ics).toString() });
    }

    // The file is kept as it is when a line cannot be read, and read again
    // when another program changed it while the window was open.
    void fileKept_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("message");
        QTest::newRow("unreadable line") << "Angebot;Blitz;Basis;99.00;Jahr;33,00;0;0;0;0;;"
                                         << false << "ab Zeile 2 nicht gelesen werden";
        QTest::newRow("changed by another program")
            << "Angebot;Blitz;Basis;99,00;Jahr;33,00;0,00;0,00;0;0;;" << true
            << "von einem anderen Programm geändert";
    }
    void fileKept()
    {
        QFETCH(QString, line);
        QFETCH(bool, changed);
        QFETCH(QString, message);
        Window w({ line });
        TariffWindow *window = w.open();
        auto *table = window->findChild<QTableWidget *>("OfferTable");
        QTest::mouseClick(window->findChild<QPushButton *>("AddOfferButton"), Qt::LeftButton);
        if (changed)
            w.write({ line, "Angebot;Andere;Tarif;80,00;Jahr;36,00;0,00;0,00;0;0;;" });
        const QByteArray before = w.file();
        type(table, table->rowCount() - 1, TariffWindow::Supplier, "Neu");
        QCOMPARE(w.file(), before);
        QCOMPARE(int(w.services.boxes.size()), 1);
        QVERIFY(w.services.boxes[0].text.contains(message));
        if (!changed)
            return;
        QTRY_COMPARE(cell(table, 1, TariffWindow::Supplier), "Andere");
        type(table, 0, TariffWindow::Supplier, "Neu"); // on the newer file, saved
        QCOMPARE(parseTariffCheck(w.file()).value.offers[0].supplier, "Neu");
    }

    // At start, a deadline within six weeks is named by the notice, which
    // closes itself.
    void reminder_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("notice"); // empty: none
        // Today is 08.12.2026; six weeks on is 19.01.2027.
        QTest::newRow("notice deadline near") << "Vertrag;31.01.2027;1 Monat;;"
                                              << "Kündigen spätestens am 31.12.2026!";
        QTest::newRow("guarantee ends on the last day") << "Vertrag;;;19.01.2027;"
                                                        << "Preisgarantie endet am 19.01.2027!";
        QTest::newRow("too far") << "Vertrag;;;20.01.2027;"
                                 << "";
        QTest::newRow("passed") << "Vertrag;30.11.2026;1 Monat;;"
                                << "";
    }
    void reminder()
    {
        QFETCH(QString, line);
        QFETCH(QString, notice);
        Window w({ line });
        w.app.handle([&] { w.f->RemindDeadlines(); });
        TForm2 &form2 = *w.p->Form2;
        QCOMPARE(form2.visible(), !notice.isEmpty());
        if (notice.isEmpty())
            return;
        QCOMPARE(form2.Label1.text(), notice);
        QVERIFY(form2.Timer1.enabled());
        form2.Timer1Timer(form2.Timer1);
        QVERIFY(!form2.visible());
    }
};

QTEST_MAIN(TestTariffWindow)
#include "tst_tariffwindow.moc"
