// The files of a data folder, by what they hold: their names are spelled
// here alone, and messages name a file through them.
#pragma once

#include <QString>

namespace voltaris {

enum class DataFile {
    Contract, // "Mein_Vertrag.dat"
    Log, // "Mein_Verbrauch.txt"
    PriceChanges, // "Mein_Preisaenderungen.txt"
    MeterChanges, // "Mein_Zaehlerwechsel.txt"
    CsvExport, // "Mein_Verbrauch.csv", offered to the export
    SettlementPdf, // "Abrechnung.pdf", offered to the settlement's PDF
    HistoryChart, // "Verbrauchsverlauf.png", offered to the chart's picture
    YearChart, // "Jahresvergleich.png", offered to the year comparison's
    Lock, // ".voltaris.lock": one program per folder
    TariffCheck, // "Mein_Tarifvergleich.txt": offers and the contract's deadlines
    Calendar, // "Vertragsfristen.ics", offered to the deadlines' calendar file
    Meters, // "Meine_Zaehler.txt": the further meters, their kinds and prices
    ReadHead, // "Mein_Lesekopf.txt": the optical read head's port and framing
};

class DataFolder {
public:
    // The empty folder is the working directory: its paths stay relative,
    // so that messages name a file as the user knows it.
    explicit DataFolder(QString dir = QString());

    const QString &dir() const { return dir_; }
    QString path(DataFile file) const;
    // Another file of the folder, by its name.
    QString path(const QString &name) const;

    static QString name(DataFile file);
    // The name without its extension, as the notices name the file:
    // "Neu aus "Mein_Verbrauch" gelesen!".
    static QString title(DataFile file);

private:
    QString dir_;
};

} // namespace voltaris
