#include "common/numtext.h"
#include "fakeservices.h"
#include "meterlog/extras.h"
#include "modal.h"
#include "qt/historywindow.h"
#include "qt/logviews.h"
#include "qt/settlementprint.h"
#include "qt/settlementsheet.h"
#include "qt/settlementwindow.h"
#include "qt/yearchart.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

struct Form {
    QTemporaryDir dir;
    TestApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;

    // A contract from 01.01.2026 and `weeks` weekly readings up to it and
    // beyond, 50 kWh a week.
    explicit Form(int weeks)
    {
        t.app.handle([&] { f.show(); });
        f.Edit_Name.setText("Stadtwerke Nord");
        f.Edit_Tarif.setText("Klassik");
        f.Edit3.setText("120");
        f.Edit5.setText("30,5");
        f.Edit7.setText("80");
        f.dtp_Ab.setDate(QDate(2026, 1, 1));
        const QDate first = QDate(2026, 11, 30).addDays(-7 * (weeks - 1));
        for (int i = 0; i < weeks; ++i) {
            f.dtp_Ablese.setDate(first.addDays(7 * i));
            f.Memo_Stand.setText(QString::number(1000 + 50 * i));
            f.btn_Save2.click();
        }
    }
};

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished() ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

} // namespace

class TestSettlementPrint : public QObject {
    Q_OBJECT
private slots:
    void onePage_data()
    {
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("changes"); // of price, one a month from February
        QTest::newRow("a small log") << 3 << 0;
        QTest::newRow("a long log, the price changed often") << 100 << 8;
    }
    void onePage()
    {
        QFETCH(int, weeks);
        QFETCH(int, changes);
        Form w(weeks);
        for (int m = 0; m < changes; ++m)
            QVERIFY(w.f.AddTariffChange({ QDate(2026, 2 + m, 1), 31.0L + m, std::nullopt }));
        const QString path = w.dir.filePath("Abrechnung.pdf");
        QString error;
        QVERIFY2(writeSettlementPdf(settlementPageOf(w.f), path, &error), qPrintable(error));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(run(QStandardPaths::findExecutable("pdfinfo"), { path })
                    .contains(QRegularExpression("\nPages: +1\n")));
        const QString text = run(pdftotext, { path, "-" }).simplified();
        QVERIFY(text.contains("Abrechnungsvorschau"));
        QVERIFY(text.contains("Stadtwerke Nord"));
        QVERIFY2(text.contains(settlementVerdict(settlementOf(w.f), ',')), qPrintable(text));
    }

    // Further meters follow the log's sheet, which stays as it was; on paper
    // all of it on one page while it fits, else a page for the main
    // contract, each own contract and the feed-in with the summary.
    void household_data()
    {
        QTest::addColumn<bool>("registers"); // a night register and a sub-meter
        QTest::addColumn<int>("ownContracts");
        QTest::addColumn<int>("pages");
        QTest::newRow("feed-in alone") << false << 0 << 1;
        QTest::newRow("one own contract") << true << 1 << 3;
        QTest::newRow("four own contracts with changes") << true << 4 << 6;
    }
    void household()
    {
        QFETCH(bool, registers);
        QFETCH(int, ownContracts);
        QFETCH(int, pages);
        Form w(3);
        SettlementPage page = settlementPageOf(w.f);
        QCOMPARE(page.household.further.size(), size_t(0));
        const QString alone = settlementPageHtml(page);
        const std::vector<Reading> year { { QDate(2026, 1, 1), 100 },
            { QDate(2026, 11, 30), 900 } };
        const auto meter = [](const QString &name, MeterKind kind) {
            Meter m;
            m.name = name;
            m.kind = kind;
            m.fileKey = meterFileKey(name);
            m.price = 20;
            return m;
        };
        page.household.further = { { meter("Netz", MeterKind::FeedIn), year } };
        QStringList sections { "Einspeisung: „Netz“", "Haushalt: Zusammenfassung",
            "Ergebnis des Haushalts" };
        if (registers) {
            page.household.further.push_back({ meter("Nacht", MeterKind::LowTariff), year });
            page.household.further.push_back({ meter("Wallbox", MeterKind::SubMeter), year });
            sections << "Niedertarif (NT): „Nacht“"
                     << "Unterzähler: „Wallbox“";
        }
        for (int i = 0; i < ownContracts; ++i) {
            Meter own = meter(QString("Wärmepumpe %1").arg(i + 1), MeterKind::OwnContract);
            own.contract = { "Stadtwerke", "WP", QDate(2026, 1, 1), 60, 24, 40 };
            for (int m = 0; m < 2 * (ownContracts - 1); ++m)
                own.changes.tariff.push_back(
                    { QDate(2026, 2 + m / 2 * 2, 1 + m % 2 * 14), 25.0L + m, std::nullopt });
            page.household.further.push_back({ own, year });
        }
        const QString html = settlementPageHtml(page);
        // The log's page up to its last line, the day it was made.
        QVERIFY(html.startsWith(alone.left(alone.lastIndexOf("<p style="))));
        for (int i = 0; i < ownContracts; ++i)
            sections << QString("Eigener Vertrag: „Wärmepumpe %1“").arg(i + 1);
        for (const QString &section : sections)
            QVERIFY2(html.contains(section.toHtmlEscaped()), qPrintable(section));

        const QString path = w.dir.filePath("Abrechnung.pdf");
        QString error;
        QVERIFY2(writeSettlementPdf(page, path, &error), qPrintable(error));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(run(QStandardPaths::findExecutable("pdfinfo"), { path })
                    .contains(QRegularExpression(QString("\nPages: +%1\n").arg(pages))));
        // The summary on the last page.
        const QString last = QString::number(pages);
        QVERIFY(run(pdftotext, { "-f", last, "-l", last, path, "-" })
                    .simplified()
                    .contains("Ergebnis des Haushalts"));
    }

    // A solar system in the household's summary, its log as long as the
    // main meter's (20.07. to 30.11.2026, 1000 kWh at 30,50 ct): the year's
    // self-use and its savings, the household's net as without it.
    //   register: 1000 − 400 fed in = 600 kWh × 30,50 ct = 183,00 €
    //   share 25 %: 1000 − 250 = 750 kWh × 30,50 ct = 228,75 €
    void solarInTheSummary_data()
    {
        QTest::addColumn<bool>("measured"); // a feed-in register, else a stated share
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("savings");
        QTest::newRow("roof with a feed-in register") << true << "600,00 kWh × 30,50 ct ÷ 100"
                                                      << "183,00 €";
        QTest::newRow("plug-in, share stated") << false << "750,00 kWh × 30,50 ct ÷ 100"
                                               << "228,75 €";
    }
    void solarInTheSummary()
    {
        QFETCH(bool, measured);
        QFETCH(QString, how);
        QFETCH(QString, savings);
        Form w(20);
        SettlementPage page = settlementPageOf(w.f);
        const QDate from(2026, 7, 20), to(2026, 11, 30);
        Meter feed;
        feed.name = "Netz";
        feed.kind = MeterKind::FeedIn;
        feed.fileKey = "Netz";
        feed.price = 8;
        if (measured)
            page.household.further.push_back({ feed, { { from, 0 }, { to, 400 } } });
        const QString before = settlementPageHtml(page);
        const HouseholdYear without = householdYearOf(page.household, page.settings);

        Meter roof;
        roof.name = "Dach";
        roof.kind = MeterKind::Solar;
        roof.fileKey = "Dach";
        roof.solar.start = from;
        roof.solar.purchasePrice = 900;
        roof.solar.feedInShare = measured ? 0 : 25;
        page.household.further.push_back({ roof, { { from, 0 }, { to, 1000 } } });
        // On paper as on the screen.
        const QString html = settlementPageHtml(page);
        QTextDocument doc;
        doc.setHtml(html);
        const QString text = doc.toPlainText();
        const QString solar = text.mid(text.indexOf("Solar:"));
        QVERIFY2(solar.contains(QString("Ersparnis\n%1").arg(how)), qPrintable(solar));
        QVERIFY(solar.contains("vom 20.07.2026 bis 29.11.2026 (133 Tage)"));
        QVERIFY(solar.contains(savings));
        // The net is the household's money as without the panels.
        QVERIFY(text.contains("Ergebnis des Haushalts"));
        QVERIFY(solar.contains(formatValue(std::fabs(without.net.value), ',') + " €"));
        QCOMPARE(before.contains("Solar:"), false);
        if (measured)
            QVERIFY(text.contains("Vergütung"));
    }

    // A solar log beside the main log (20.07. to 30.11.2026, 1000 kWh): the
    // year comparison puts purchase + self-use beside what the household
    // bought, the year marked as not covered whole by the solar readings.
    //   alone: the main meter's years, 1000 kWh self-use
    //   with a register (400 kWh fed in): the household's total, 600 kWh
    void yearsWithoutSolar_data()
    {
        QTest::addColumn<bool>("measured");
        QTest::addColumn<int>("selfUse");
        QTest::newRow("solar alone") << false << 1000;
        QTest::newRow("with a feed-in register") << true << 600;
    }
    void yearsWithoutSolar()
    {
        QFETCH(bool, measured);
        QFETCH(int, selfUse);
        Form w(20);
        Meters meters;
        Meter roof;
        roof.name = "Dach";
        roof.kind = MeterKind::Solar;
        roof.fileKey = "Dach";
        roof.solar.start = QDate(2026, 7, 20);
        meters.further.push_back(roof);
        const QByteArray rows = LogHeader + "20.07.2026 |        0,00 |    0 |      0\r\n"
            + "30.11.2026 |     %1,00 |  133 |   %2\r\n";
        writeFile(w.dir.filePath("Mein_Verbrauch_Dach.txt"),
            QString::fromLatin1(rows).arg(1000).arg("7,52").toLatin1());
        if (measured) {
            Meter feed;
            feed.name = "Netz";
            feed.kind = MeterKind::FeedIn;
            feed.fileKey = "Netz";
            feed.price = 8;
            meters.further.push_back(feed);
            writeFile(w.dir.filePath("Mein_Verbrauch_Netz.txt"),
                QString::fromLatin1(rows).arg(" 400").arg("3,01").toLatin1());
        }
        writeFile(w.dir.filePath("Meine_Zaehler.txt"), metersFileBytes(meters));

        HistoryWindow history(w.f, shownLogOf(w.f));
        history.setShowsYears(true);
        QComboBox *choice = history.meterChoice();
        if (measured)
            choice->setCurrentIndex(choice->count() - 1); // the household
        const FormatSettings &s = w.f.app().settings();
        const std::vector<YearFigures> bought = measured
            ? history.householdYears().total
            : yearComparison(
                w.f.householdInput().main, w.f.contractValues().texts(), s, w.f.priceChanges());
        QCOMPARE(bought.size(), size_t(1));
        QTableWidget *table = history.yearView()->table();
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("Verbrauch ohne Solar (kWh)"));
        QCOMPARE(table->item(0, 1)->text(), formatValue(bought[0].kwh, ','));
        QCOMPARE(table->item(0, 2)->text(),
            formatValue(bought[0].kwh + selfUse, ',') + " (Solar nicht ganzjährig)");
    }

    // The meters' file and a night register's log put beside the main log
    // (a copy of it): the preview adds the household after the main sheet,
    // and the year comparison offers the register and the household.
    void householdWindows()
    {
        Form w(20);
        const QString alone = SettlementWindow(w.f).plainText();
        Meter night;
        night.name = "Nacht";
        night.kind = MeterKind::LowTariff;
        night.fileKey = "Nacht";
        night.price = 20;
        writeFile(w.dir.filePath("Meine_Zaehler.txt"), metersFileBytes({ { night } }));
        writeFile(w.dir.filePath("Mein_Verbrauch_Nacht.txt"),
            readAll(w.dir.filePath("Mein_Verbrauch.txt")));

        const QString text = SettlementWindow(w.f).plainText();
        const QString mainSheet = alone.left(alone.indexOf("Eine Schätzung"));
        QVERIFY2(text.startsWith(mainSheet), qPrintable(text));
        QVERIFY(text.contains("Niedertarif (NT): „Nacht“"));
        QVERIFY(text.contains("Ergebnis des Haushalts"));

        HistoryWindow history(w.f, shownLogOf(w.f));
        history.setShowsYears(true);
        QComboBox *choice = history.meterChoice();
        QVERIFY(choice->isVisibleTo(&history));
        QCOMPARE(choice->count(), 3);
        const HouseholdYears &years = history.householdYears();
        QCOMPARE(years.total.size(), size_t(1));
        // The household bought the main meter's kWh and its copy's.
        QCOMPARE(double(years.total[0].kwh), double(2 * years.meters[0].years[0].kwh));
        // Without solar the table is as it was.
        QCOMPARE(history.yearView()->table()->columnCount(), 5);
        choice->setCurrentIndex(2);
        QCOMPARE(
            history.yearView()->table()->item(0, 1)->text(), formatValue(years.total[0].kwh, ','));
    }

    // A further meter shown: the preview still settles the main meter at
    // the main contract, and follows the main log.
    void mainMeterWhateverShown_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("sub-meter shown") << int(MeterKind::SubMeter);
        QTest::newRow("feed-in shown") << int(MeterKind::FeedIn);
    }
    void mainMeterWhateverShown()
    {
        QFETCH(int, kind);
        Form w(20);
        const Settlement main = SettlementWindow(w.f).settlement();
        const QString alone = SettlementWindow(w.f).plainText();
        Meter further;
        further.name = "Wallbox";
        further.kind = MeterKind(kind);
        further.fileKey = "Wallbox";
        further.price = 8;
        writeFile(w.dir.filePath("Meine_Zaehler.txt"), metersFileBytes({ { further } }));
        writeFile(w.dir.filePath("Mein_Verbrauch_Wallbox.txt"),
            LogHeader + "01.01.2026 |      100,00 |    0 |      0\r\n");
        w.f.householdInput();
        w.f.ShowMeter(1);
        QCOMPARE(&w.f.shownLog(), w.f.Logs.at(1).get());
        w.f.dtp_Ablese.setDate(QDate(2026, 6, 1));
        w.f.Memo_Stand.setText("400");
        w.f.btn_Save2.click();
        w.f.dtp_Ablese.setDate(QDate(2026, 12, 1));
        w.f.Memo_Stand.setText("900");
        w.f.btn_Save2.click();

        LogViews views;
        views.show(w.f, nullptr, LogView::Settlement);
        SettlementWindow *preview = views.settlement();
        QVERIFY(preview);
        const Settlement &st = preview->settlement();
        QCOMPARE(st.last.date, main.last.date);
        QCOMPARE(double(st.soFar), double(main.soFar));
        QCOMPARE(double(st.cost), double(main.cost));
        QCOMPARE(double(st.result), double(main.result));
        const QString text = preview->plainText();
        QVERIFY2(text.startsWith(alone.left(alone.indexOf("Eine Schätzung"))), qPrintable(text));

        // A reading of the main meter reaches the open preview.
        w.f.ShowMeter(0);
        w.f.dtp_Ablese.setDate(QDate(2026, 12, 7));
        w.f.Memo_Stand.setText("2000");
        w.f.btn_Save2.click();
        QTRY_COMPARE(preview->settlement().last.date, QDate(2026, 12, 7));
    }

    // What the dialogs are given reaches the form and the window's list,
    // and the list's removal takes it away again.
    // "Verbrauch bisher" names the days its kWh were counted in: from the
    // year's start, or from the first reading when the log begins later.
    void soFarDays_data()
    {
        QTest::addColumn<QList<int>>("readingDays"); // days after 01.01.2026
        QTest::addColumn<QString>("text");
        QTest::newRow("from the year's start") << QList<int> { -31, 160, 336 } << "in 336 Tagen";
        QTest::newRow("on the year's start") << QList<int> { 0, 336 } << "in 336 Tagen";
        QTest::newRow("from the first reading") << QList<int> { 160, 336 } << "in 176 Tagen";
    }
    void soFarDays()
    {
        QFETCH(QList<int>, readingDays);
        QFETCH(QString, text);
        std::vector<Reading> readings;
        for (int d : readingDays)
            readings.push_back({ QDate(2026, 1, 1).addDays(d), 1000.0L + 2 * (d + 31) });
        const FormatSettings s = FormatSettings::german();
        const Settlement st = settlementOf(readings, { "84", "24", "80", QDate(2017, 1, 1) }, s);
        const QString html = settlementSheetHtml(st, readings, s);
        QVERIFY2(html.contains(text), qPrintable(html));
    }

    void dialogs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("price"); // or the instalment; empty: unchanged
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("line");
        QTest::newRow("price")
            << "PriceChangeButton"
            << "32,5"
            << ""
            << "ab 15.07.2026: Strompreis 32,50 Cent/kWh, Grundpreis unverändert";
        QTest::newRow("base price")
            << "PriceChangeButton"
            << ""
            << "135,2"
            << "ab 15.07.2026: Strompreis unverändert, Grundpreis 135,20 €/Jahr";
        QTest::newRow("both")
            << "PriceChangeButton"
            << "29,99"
            << "99"
            << "ab 15.07.2026: Strompreis 29,99 Cent/kWh, Grundpreis 99,00 €/Jahr";
        QTest::newRow("instalment") << "InstalmentChangeButton"
                                    << "95"
                                    << ""
                                    << "ab 01.07.2026: Abschlag 95,00 € im Monat";
    }
    void dialogs()
    {
        QFETCH(QString, button);
        QFETCH(QString, price);
        QFETCH(QString, base);
        QFETCH(QString, line);
        Form w(3);
        SettlementWindow window(w.f);
        window.show();
        const QString dialog
            = button == "PriceChangeButton" ? "PriceChangeDialog" : "InstalmentChangeDialog";
        ModalAnswer answer(dialog, [&](QWidget *d) {
            if (dialog == "InstalmentChangeDialog") {
                QCOMPARE(d->findChild<QDoubleSpinBox *>("InstalmentValue")->value(), 80.0);
                d->findChild<QDateEdit *>("InstalmentFrom")->setDate(QDate(2026, 7, 15));
                typeInto(d, "InstalmentValue", price);
                return;
            }
            QCOMPARE(d->findChild<QDateEdit *>("PriceFrom")->date(), w.t.services.todayDate);
            QCOMPARE(d->findChild<QDoubleSpinBox *>("PriceValue")->value(), 30.5);
            auto *ok = d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
            d->findChild<QCheckBox *>("PriceKeep")->setChecked(true);
            d->findChild<QCheckBox *>("BaseKeep")->setChecked(true);
            QVERIFY(!ok->isEnabled());
            d->findChild<QDateEdit *>("PriceFrom")->setDate(QDate(2026, 7, 15));
            d->findChild<QCheckBox *>("PriceKeep")->setChecked(price.isEmpty());
            d->findChild<QCheckBox *>("BaseKeep")->setChecked(base.isEmpty());
            QVERIFY(ok->isEnabled());
            typeInto(
                d, price.isEmpty() ? "BaseValue" : "PriceValue", price.isEmpty() ? base : price);
            if (!price.isEmpty() && !base.isEmpty())
                typeInto(d, "BaseValue", base);
        });
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        VERIFY_ANSWERED(answer);

        const PriceChanges &changes = w.f.priceChanges();
        QCOMPARE(int(changes.tariff.size() + changes.instalments.size()), 1);
        auto *list = window.findChild<QListWidget *>("PriceChangeList");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), line);
        auto *remove = window.findChild<QPushButton *>("RemovePriceChangeButton");
        QVERIFY(!remove->isEnabled());
        list->setCurrentRow(0);
        ModalAnswer yes("RemovePriceChangeQuestion", [](QWidget *box) {
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
        });
        QTest::mouseClick(remove, Qt::LeftButton);
        VERIFY_ANSWERED(yes);
        QVERIFY(w.f.priceChanges().empty());
        QCOMPARE(list->count(), 0);
        QVERIFY(w.t.services.boxes.empty());
    }

    // However many changes lengthen the sheet, the window and its buttons
    // stay on the screen; the sheet scrolls what does not fit.
    void staysOnTheScreen_data()
    {
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("below"); // the window's top, this far above the screen's bottom
        QTest::newRow("none, high up") << 0 << 9999;
        QTest::newRow("eight, low down") << 8 << 250;
        QTest::newRow("twenty, at the bottom") << 20 << 60;
    }
    void staysOnTheScreen()
    {
        QFETCH(int, changes);
        QFETCH(int, below);
        Form w(30);
        SettlementWindow window(w.f);
        const QRect room = window.screen()->availableGeometry();
        window.move(room.left(), std::max(room.top(), room.bottom() - below));
        window.show();
        for (int i = 0; i < changes; ++i)
            QVERIFY(
                w.f.AddTariffChange({ QDate(2026, 1, 10).addDays(15 * i), 31.0L + i, 100.0L + i }));
        window.refresh();
        QVERIFY(room.contains(window.frameGeometry()));
        for (auto *button : window.findChildren<QPushButton *>())
            QVERIFY(room.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    }

    // "Entfernen" asks first, naming the change; Enter and Escape keep it.
    void removalAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("removed");
        QTest::newRow("Enter") << "Enter" << false;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("Nein") << "&Nein" << false;
        QTest::newRow("Ja") << "&Ja" << true;
    }
    void removalAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, removed);
        Form w(3);
        QVERIFY(w.f.AddInstalmentChange({ QDate(2026, 9, 1), 95.0L }));
        SettlementWindow window(w.f);
        window.show();
        auto *list = window.findChild<QListWidget *>("PriceChangeList");
        list->setCurrentRow(0);
        QString asked;
        ModalAnswer question("RemovePriceChangeQuestion", [&](QWidget *d) {
            auto *box = qobject_cast<QMessageBox *>(d);
            asked = box->text();
            if (answer.startsWith('&')) {
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == answer)
                        b->click();
            } else if (answer == "Escape")
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QTest::mouseClick(
            window.findChild<QPushButton *>("RemovePriceChangeButton"), Qt::LeftButton);
        VERIFY_ANSWERED(question);
        QCOMPARE(asked,
            QString("Diese Änderung entfernen?\n\nab 01.09.2026: Abschlag 95,00 € im Monat"));
        QCOMPARE(w.f.priceChanges().empty(), removed);
        QCOMPARE(list->count(), removed ? 0 : 1);
    }

    // The PDF's save dialog stands over the preview, which so stays in
    // front; the file is written where it says.
    void pdfFromThePreview()
    {
        Form w(3);
        SettlementWindow window(w.f);
        window.show();
        const QString path = w.dir.filePath("Vorschau.pdf");
        ModalAnswer save("QFileDialog", [&](QWidget *d) {
            QCOMPARE(d->parentWidget(), &window);
            auto *name = d->findChild<QLineEdit *>("fileNameEdit");
            name->selectAll();
            QTest::keyClicks(name, "Vorschau.pdf");
        });
        QTest::mouseClick(window.findChild<QPushButton *>("PdfButton"), Qt::LeftButton);
        VERIFY_ANSWERED(save);
        QVERIFY(QFileInfo(path).size() > 0);
        QVERIFY(w.t.services.boxes.empty());
    }
};

QTEST_MAIN(TestSettlementPrint)
#include "tst_settlementprint.moc"
