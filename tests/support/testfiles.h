#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace voltaris {
class TStringGrid;
}

namespace voltaris::test {

inline const QString ContractName = QStringLiteral("Mein_Vertrag.dat");
inline const QString LogName = QStringLiteral("Mein_Verbrauch.txt");
inline const QString PriceChangesName = QStringLiteral("Mein_Preisaenderungen.txt");
inline const QString MeterChangesName = QStringLiteral("Mein_Zaehlerwechsel.txt");
inline const QString LockName = QStringLiteral(".voltaris.lock");
// The contract file the program writes after 3650 is retyped into Edit1 with
// all else at the start values: 13 lines.
inline const QByteArray ContractExample
    = "\r\n"
      "          Mein Vertrag\r\n"
      "\r\n"
      "        Ab 01.01.2017: Mein Strom (Immer gleich: Wind, Wasser und Sonne)\r\n"
      "      Jahresverbrauch: 3650 kW\r\n"
      "       Tagesverbrauch: 10,00 kW\r\n"
      "     Jahresgrundpreis: 84 EUR\r\n"
      "       Grund im Monat: 7 EUR\r\n"
      "    Strompreis (1 kW): 24 Cent\r\n"
      "  Gesamtpreis im Jahr: 960,00 EUR\r\n"
      "Stromkosten monatlich: 80,00 EUR\r\n"
      "__________________________________\r\n"
      "Men\xFC: Format >> Schriftart... >> Consolas oder Courier New, Fett, 16\r\n";
// Lines `from` to `to` of the example (counted from 1), each with its line
// end: the pieces of a variant.
QByteArray contractLines(int from, int to);
// The four lines that open every consumption file.
inline const QByteArray LogHeader = "           Mein Verbrauch\r\n"
                                    "________________________________________\r\n"
                                    "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                                    "===========|=============|======|=======\r\n";

// The whole file; empty when it cannot be read.
QByteArray readAll(const QString &path);
// Writes the file whole, or fails the running test.
void writeFile(const QString &path, const QByteArray &bytes);
// The data rows of the table, each as "date|reading|days|per day".
QStringList gridRows(const TStringGrid &g);

} // namespace voltaris::test
