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
