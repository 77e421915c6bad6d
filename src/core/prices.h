// Changes of price and instalment during a contract: the supplier's price
// adjustment (a new price per kWh, a new base price, valid from a day) and a
// new monthly instalment (valid from a month). The contract's own fields stay
// the prices at its start; the changes are kept beside it, in a small file.
#pragma once

#include "core/sidefile.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace voltaris {

// A price adjustment: what changed, valid from `from` on; a price that did
// not change stays unset.
struct TariffChange {
    QDate from;
    std::optional<long double> price; // cent per kWh
    std::optional<long double> basePrice; // euro per year
    friend bool operator==(const TariffChange &, const TariffChange &) = default;
};

// A new monthly instalment, paid from the month of `from` on: `from` is the
// first day of that month (a file's other day is read as that first day).
struct InstalmentChange {
    QDate from;
    long double monthly = 0; // euro
    friend bool operator==(const InstalmentChange &, const InstalmentChange &) = default;
};

// Each list in date order, at most one tariff change a day and one
// instalment change a month.
struct PriceChanges {
    std::vector<TariffChange> tariff;
    std::vector<InstalmentChange> instalments;
    bool empty() const { return tariff.empty() && instalments.empty(); }
    friend bool operator==(const PriceChanges &, const PriceChanges &) = default;
};

// A header line, then one line a change, in date order, tariff changes first:
// "Preis;DD.MM.YYYY;cent;base price" (an empty field: unchanged) and
// "Abschlag;DD.MM.YYYY;monthly", numbers with a decimal comma whatever the
// desktop's settings. Windows-1252, CR LF, as the contract file.
QByteArray priceChangeFileBytes(const PriceChanges &changes);

SideFileRead<PriceChanges> parsePriceChanges(const QByteArray &bytes);
// The change lines alone (each with its CR LF), and one line taken in: for
// another file that keeps dated changes in the same lines (the meters').
QString priceChangeLines(const PriceChanges &changes);
bool isPriceChangeLine(const QString &line);
bool takePriceChangeLine(const QString &line, PriceChanges &changes);

// The contract's prices as in force on `day`: each starts as the contract's
// and takes the value of the latest change on or before that day.
struct PricesInForce {
    long double price = 0, basePrice = 0, monthly = 0;
};
PricesInForce pricesOn(const PriceChanges &changes, const PricesInForce &atStart, const QDate &day);

} // namespace voltaris
