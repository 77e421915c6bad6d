#include "common/dates.h"
#include "common/errors.h"
#include "common/formatsettings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QTest>
#include <cstdio>

using namespace voltaris;

namespace {
using Order = FormatSettings::DateOrder;
FormatSettings isoLike()
{
    return FormatSettings { QLatin1Char(','), QLatin1Char('-'), Order::YMD };
}
} // namespace

class TestDates : public QObject {
    Q_OBJECT

private slots:
    void dateToStr_data();
    void dateToStr();
    void roundTrip();
    void tryStrToDate_data();
    void tryStrToDate();
    void errorText();
    void fromLocale_data();
    void fromLocale();
    void fromSystem_data();
    void fromSystem();
};

void TestDates::dateToStr_data()
{
    QTest::addColumn<FormatSettings>("settings");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("german") << FormatSettings::german() << QDate(2017, 1, 1) << "01.01.2017";
    QTest::newRow("english") << FormatSettings::english() << QDate(2026, 12, 7) << "12/07/2026";
    QTest::newRow("year first") << isoLike() << QDate(2026, 12, 7) << "2026-12-07";
    QTest::newRow("short year padded")
        << FormatSettings::german() << QDate(987, 3, 4) << "04.03.0987";
    QTest::newRow("invalid") << FormatSettings::german() << QDate() << "";
}

void TestDates::dateToStr()
{
    QFETCH(FormatSettings, settings);
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(voltaris::dateToStr(date, settings), expected);
}

void TestDates::roundTrip()
{
    for (const FormatSettings &s :
        { FormatSettings::german(), FormatSettings::english(), isoLike() }) {
        for (QDate d(1999, 12, 25); d.year() < 2031; d = d.addDays(17)) {
            const QString text = voltaris::dateToStr(d, s);
            QCOMPARE(text.size(), 10);
            QDate back;
            QVERIFY2(voltaris::tryStrToDate(text, s, back), qPrintable(text));
            QCOMPARE(back, d);
        }
    }
}

void TestDates::tryStrToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<FormatSettings>("settings");
    QTest::addColumn<QDate>("expected"); // invalid: the text must fail
    const FormatSettings de = FormatSettings::german();
    QTest::newRow("plain") << "01.01.2017" << de << QDate(2017, 1, 1);
    QTest::newRow("blanks, one-digit fields") << "  7.2.2017 " << de << QDate(2017, 2, 7);
    QTest::newRow("two-digit year") << "07.12.26" << de << QDate(2026, 12, 7);
    // As spreadsheets read them.
    QTest::newRow("two-digit year, last century") << "07.12.99" << de << QDate(1999, 12, 7);
    QTest::newRow("two-digit year, 29") << "1.1.29" << de << QDate(2029, 1, 1);
    QTest::newRow("two-digit year, 30") << "1.1.30" << de << QDate(1930, 1, 1);
    QTest::newRow("one-digit year") << "1.1.5" << de << QDate(2005, 1, 1);
    QTest::newRow("leap day") << "29.02.2024" << de << QDate(2024, 2, 29);
    QTest::newRow("english order")
        << "12/07/2026" << FormatSettings::english() << QDate(2026, 12, 7);
    QTest::newRow("year first") << "2026-12-07" << isoLike() << QDate(2026, 12, 7);

    QTest::newRow("31 February") << "31.02.2017" << de << QDate();
    QTest::newRow("no leap day") << "29.02.2023" << de << QDate();
    QTest::newRow("day 0") << "00.01.2017" << de << QDate();
    QTest::newRow("month 13") << "01.13.2017" << de << QDate();
    QTest::newRow("year 0") << "01.01.0000" << de << QDate();
    QTest::newRow("three-digit year") << "01.01.217" << de << QDate();
    QTest::newRow("three-digit day") << "001.01.2017" << de << QDate();
    QTest::newRow("other separator") << "01/01/2017" << de << QDate();
    QTest::newRow("german text, english order")
        << "13.01.2017" << FormatSettings::english() << QDate();
    QTest::newRow("month first under german") << "12/31/2017" << de << QDate();
    QTest::newRow("two fields") << "01.01" << de << QDate();
    QTest::newRow("trailing separator") << "01.01.2017." << de << QDate();
    QTest::newRow("sign") << "+1.01.2017" << de << QDate();
    QTest::newRow("letters") << "aa.bb.cccc" << de << QDate();
    QTest::newRow("empty") << "" << de << QDate();
    QTest::newRow("inner blank") << "01. 01.2017" << de << QDate();
}

void TestDates::tryStrToDate()
{
    QFETCH(QString, text);
    QFETCH(FormatSettings, settings);
    QFETCH(QDate, expected);
    QDate date(1900, 1, 1);
    QCOMPARE(voltaris::tryStrToDate(text, settings, date), expected.isValid());
    QCOMPARE(date, expected.isValid() ? expected : QDate(1900, 1, 1));
}

void TestDates::errorText()
{
    QCOMPARE(strToDate(QStringLiteral("05.06.2020"), FormatSettings::german()), QDate(2020, 6, 5));
    try {
        strToDate(QStringLiteral("31.02.2017"), FormatSettings::german());
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'31.02.2017' is not a valid date"));
    }
}

void TestDates::fromLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<FormatSettings>("expected");
    QTest::newRow("C") << QLocale::c() << FormatSettings::german();
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                            << FormatSettings::german();
    QTest::newRow("US") << QLocale(QLocale::English, QLocale::UnitedStates)
                        << FormatSettings::english();
    QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                             << FormatSettings { QLatin1Char('.'), QLatin1Char('/'), Order::DMY };
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << isoLike();
    // "d. M. yyyy": the blank after the point is no separator.
    QTest::newRow("Slovak") << QLocale(QLocale::Slovak, QLocale::Slovakia)
                            << FormatSettings::german();
}

void TestDates::fromLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(FormatSettings, expected);
    const FormatSettings got = FormatSettings::fromLocale(locale);
    QCOMPARE(got.decimalSeparator, expected.decimalSeparator);
    QCOMPARE(got.dateSeparator, expected.dateSeparator);
    QCOMPARE(int(got.dateOrder), int(expected.dateOrder));
}

// The program follows a German-language locale; on a desktop in another
// language it keeps the German settings of its files.
void TestDates::fromSystem_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("US") << "en_US.UTF-8" << QByteArray(", . DMY");
    QTest::newRow("Swiss German") << "de_CH.UTF-8" << QByteArray(". . DMY");
}

void TestDates::fromSystem()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, expected);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("-printsystem") });
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.readAllStandardOutput(), expected);
}

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "-printsystem") == 0) {
        const FormatSettings s = FormatSettings::fromSystem();
        const char *order = s.dateOrder == Order::MDY ? "MDY"
            : s.dateOrder == Order::YMD               ? "YMD"
                                                      : "DMY";
        std::printf("%c %c %s", s.decimalSeparator.toLatin1(), s.dateSeparator.toLatin1(), order);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestDates t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_dates.moc"
