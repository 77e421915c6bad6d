// The contract's values as the main window's fields show them: what the
// views beyond the log are given of the contract, as plain data.
#pragma once

#include "core/settlement.h"

#include <QDate>
#include <QString>

namespace voltaris {

struct ContractValues {
    QString provider, tariff;
    QString perDay; // kWh per day
    QString basePrice, price, monthly; // € a year, cent per kWh, € a month
    QDate start;
    QString perYear; // kWh per year

    ContractTexts texts() const { return { basePrice, price, monthly, start }; }
};

} // namespace voltaris
