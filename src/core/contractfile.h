// The contract file "Mein_Vertrag.dat": a small printable report whose values
// the reader takes back from fixed lines and columns.
#pragma once

#include "common/formatsettings.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <array>

namespace voltaris {

// The contract as the file holds it: the start, the supplier and the tariff,
// and the seven values of Edit1 to Edit7 (kWh per year and per day, base
// price per year and per month, price per kWh, total per year, per month).
struct ContractFields {
    QDate start;
    QString supplier, tariff;
    bool hasStartLine = false; // the file had the line of the start and names
    QStringList values; // as many as the file has lines for, up to seven
    // Written under other locale settings (12/09/2026, 1200.00): the date
    // was read in those, the values' separator converted.
    bool converted = false;
};

QByteArray contractFileBytes(const ContractFields &contract, const FormatSettings &settings);

// The lines the reader looks at, or why the file could not be read (naming
// it, for the user).
struct ContractLines {
    QStringList lines;
    QString error; // empty when the file was read
};
ContractLines readContractLines(const QString &path);
// The contract in those lines, its numbers in the settings' separator;
// throws EConvertError for a start date that is none in any settings.
ContractFields contractOf(const QStringList &lines, const FormatSettings &settings);

// The digits and decimal separators from `column` (from 1) on.
QString takeNumber(const QString &line, int column, QChar separator);

} // namespace voltaris
