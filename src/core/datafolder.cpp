#include "core/datafolder.h"

#include "common/textfile.h"

#include <utility>

namespace voltaris {

DataFolder::DataFolder(QString dir)
    : dir_(std::move(dir))
{ }

QString DataFolder::path(DataFile file) const
{
    return path(name(file));
}

QString DataFolder::path(const QString &name) const
{
    return inFolder(dir_, name);
}

QString DataFolder::name(DataFile file)
{
    switch (file) {
    case DataFile::Contract:
        return QStringLiteral("Mein_Vertrag.dat");
    case DataFile::Log:
        return QStringLiteral("Mein_Verbrauch.txt");
    case DataFile::PriceChanges:
        return QStringLiteral("Mein_Preisaenderungen.txt");
    case DataFile::MeterChanges:
        return QStringLiteral("Mein_Zaehlerwechsel.txt");
    case DataFile::CsvExport:
        return QStringLiteral("Mein_Verbrauch.csv");
    case DataFile::SettlementPdf:
        return QStringLiteral("Abrechnung.pdf");
    case DataFile::HistoryChart:
        return QStringLiteral("Verbrauchsverlauf.png");
    case DataFile::YearChart:
        return QStringLiteral("Jahresvergleich.png");
    case DataFile::Lock:
        return QStringLiteral(".voltaris.lock");
    case DataFile::TariffCheck:
        return QStringLiteral("Mein_Tarifvergleich.txt");
    case DataFile::Calendar:
        return QStringLiteral("Vertragsfristen.ics");
    case DataFile::Meters:
        return QStringLiteral("Meine_Zaehler.txt");
    case DataFile::ReadHead:
        return QStringLiteral("Mein_Lesekopf.txt");
    }
    return QString();
}

QString DataFolder::title(DataFile file)
{
    const QString n = name(file);
    const qsizetype dot = n.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? n.left(dot) : n;
}

} // namespace voltaris
