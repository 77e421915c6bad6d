// The household's meters beside the main one: a night register, a meter on
// a contract of its own, a sub-meter, a feed-in register, a solar system.
// Each keeps its readings in a log of the main log's very format, beside it;
// the list of them, their kinds and their prices lives in one small file
// beside the contract. A folder with the main meter alone has no such file.
#pragma once

#include "core/prices.h"
#include "core/sidefile.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace voltaris {

enum class MeterKind {
    Main, // "Hauptzähler": "Mein_Verbrauch.txt", the contract's meter
    LowTariff, // "Niedertarif (NT)": the main meter's second register
    OwnContract, // "Eigener Vertrag": a heat pump, night storage, a flat
    SubMeter, // "Unterzähler": behind the main meter, part of its kWh
    FeedIn, // "Einspeisung": what a two-way meter feeds into the grid
    Solar, // "Solaranlage": what the panels produced
};

// The kind as the dialog and the file name it ("Niedertarif (NT)", ...).
QString meterKindName(MeterKind kind);

// A contract of a meter of its own, as the main contract's fields hold it.
struct OwnContract {
    QString provider, tariff;
    QDate start;
    long double basePrice = 0; // euro per year
    long double price = 0; // cent per kWh
    long double monthly = 0; // euro
    friend bool operator==(const OwnContract &, const OwnContract &) = default;
};

// A solar system's facts beyond its readings.
struct SolarSystem {
    long double purchasePrice = 0; // euro
    QDate start; // start of operation
    std::optional<long double> peakPower; // kWp
    // The share of the generation fed in, in percent, for a household
    // without a feed-in register: an assumption the window names as one.
    long double feedInShare = 0;
    friend bool operator==(const SolarSystem &, const SolarSystem &) = default;
};

struct Meter {
    QString name; // as the user named it: "Wärmepumpe"
    MeterKind kind = MeterKind::SubMeter;
    QString number; // the meter's number, optional
    // The ASCII part of its files' names, fixed when the meter is added so
    // that a rename keeps its log: "Waermepumpe" for
    // "Mein_Verbrauch_Waermepumpe.txt".
    QString fileKey;
    // Cent per kWh: the night register's price, the feed-in rate.
    long double price = 0;
    OwnContract contract; // OwnContract only
    SolarSystem solar; // Solar only
    // Dated changes: of `price` (night register, feed-in rate; a tariff
    // change's price), of an own contract's price, base price and
    // instalment. Empty for a sub-meter.
    PriceChanges changes;
    friend bool operator==(const Meter &, const Meter &) = default;
};

// The further meters, in the order the user added them; the main meter is
// always there and not in the list.
struct Meters {
    std::vector<Meter> further;
    bool empty() const { return further.empty(); }
    friend bool operator==(const Meters &, const Meters &) = default;
};

// "Waermepumpe" for "Wärmepumpe": umlauts and ß spelled out, every other
// character that is not an ASCII letter or digit becomes "_" (runs of them
// one, none at either end); empty when nothing is left.
QString meterFileKey(const QString &name);
// "Mein_Verbrauch_<key>.txt" and "Mein_Zaehlerwechsel_<key>.txt".
QString meterLogName(const QString &fileKey);
QString meterChangesName(const QString &fileKey);
// The replacements' file that belongs beside a log of this file name: a
// further meter's for "Mein_Verbrauch_<key>.txt", the main log's otherwise.
QString changesNameBeside(const QString &logName);

// The file: a header line, then per meter one line
// "Zähler;name;kind;number;file key;…" with its kind's values, followed by
// its dated changes ("Preis;DD.MM.YYYY;cent;base price" and
// "Abschlag;DD.MM.YYYY;monthly" as in the price changes' file). Numbers with
// a decimal comma and dates DD.MM.YYYY whatever the desktop's settings;
// Windows-1252, CR LF.
QByteArray metersFileBytes(const Meters &meters);
SideFileRead<Meters> parseMeters(const QByteArray &bytes);

// Why a meter cannot be added or renamed as given (an empty name, one the
// household has, a file key another meter has or none); empty when it can.
// `except` is the meter being renamed (its index), -1 when adding.
QString meterNameProblem(const Meters &meters, const QString &name, int except = -1);

} // namespace voltaris
