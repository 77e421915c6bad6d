// The dialogs of a change of price or instalment, and the lines that list
// the recorded changes.
#pragma once

#include "core/prices.h"
#include "qt/logdialogs.h"

#include <QStringList>

class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QPushButton;

namespace voltaris {

struct FormatSettings;

// A new price per kWh and base price from a day on; a price whose
// "bleibt" is ticked stays as it is. OK needs at least one that changes.
class PriceChangeDialog : public LogDialog {
    Q_OBJECT
public:
    // Proposes `from` and the prices now in force.
    PriceChangeDialog(
        const QDate &from, long double price, long double basePrice, QWidget *parent = nullptr);
    TariffChange answer() const;

private:
    void follow();

    QDateEdit *from_;
    QDoubleSpinBox *price_, *base_;
    QCheckBox *priceKeep_, *baseKeep_;
    QPushButton *ok_;
};

// A new monthly instalment from a month on.
class InstalmentChangeDialog : public LogDialog {
    Q_OBJECT
public:
    InstalmentChangeDialog(const QDate &from, long double monthly, QWidget *parent = nullptr);
    // From the first day of the chosen month.
    InstalmentChange answer() const;

private:
    QDateEdit *from_;
    QDoubleSpinBox *monthly_;
};

// One line a change, in date order (a day's price change before its
// instalment): "ab 01.07.2026: Strompreis 32,50 Cent/kWh, Grundpreis
// unverändert", "ab 01.09.2026: Abschlag 95,00 € im Monat".
struct PriceChangeLine {
    QString text;
    bool tariff = true; // else an instalment
    QDate from;
};
std::vector<PriceChangeLine> priceChangeLines(
    const PriceChanges &changes, const FormatSettings &settings);

} // namespace voltaris
