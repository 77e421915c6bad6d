// The settlement preview on paper: one A4 page with the contract, the
// figures and formulas of the sheet, the changes of price and the readings.
#pragma once

#include "core/contractvalues.h"
#include "core/household.h"
#include "core/prices.h"

#include <QDate>
#include <QString>

class QPagedPaintDevice;
class QWidget;

namespace voltaris {

class MeterLog;

// What the page shows: a log, the contract's values, the changes of price
// and instalment, the day and the program that made it.
struct SettlementPage {
    const MeterLog &log;
    ContractValues contract;
    PriceChanges prices;
    FormatSettings settings;
    QDate today;
    QString title;
    QString suggestedPdf; // where "Als PDF speichern…" proposes to save
    // Every meter of the household: with further meters, their sections
    // and the household's summary follow the log's.
    HouseholdInput household;
};

// The page as HTML.
QString settlementPageHtml(const SettlementPage &page);
// The same in the parts that each get a page of their own when the whole
// is too large for one: the main contract's, each own contract's, the
// feed-in's with the summary. One part without further meters.
std::vector<QString> settlementPartsHtml(const SettlementPage &page);
// Draws the page onto the device's first page, its font made smaller
// (the whole scaled down at last) until it fits on that one page; with
// further meters and too much for one page, each part on a page of its own.
bool renderSettlementPage(const SettlementPage &page, QPagedPaintDevice &device, QString *error);
// The page as a PDF file; false with the reason when it could not be written.
bool writeSettlementPdf(const SettlementPage &page, const QString &path, QString *error);

// "Drucken…": the print dialog, then the page.
void printSettlement(const SettlementPage &page, QWidget *parent);
// "Als PDF speichern…": the save dialog over `parent` (the preview, which
// stays in front), then the file.
void saveSettlementPdf(const SettlementPage &page, QWidget *parent);

} // namespace voltaris
