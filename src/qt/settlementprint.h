// The settlement preview on paper: one A4 page with the contract, the
// figures and formulas of the sheet, the changes of price and the readings.
#pragma once

#include <QString>

class QPagedPaintDevice;
class QWidget;

namespace voltaris {

class TForm1;

// The page as HTML, from the form's texts at the moment of the call.
QString settlementPageHtml(const TForm1 &form);
// Draws the page onto the device's first page, its font made smaller
// (the whole scaled down at last) until it fits on that one page.
bool renderSettlementPage(const TForm1 &form, QPagedPaintDevice &device, QString *error);
// The page as a PDF file; false with the reason when it could not be written.
bool writeSettlementPdf(TForm1 &form, const QString &path, QString *error);

// "Drucken…": the print dialog, then the page.
void printSettlement(TForm1 &form, QWidget *parent);
// "Als PDF speichern…": the save dialog over `parent` (the preview, which
// stays in front), then the file.
void saveSettlementPdf(TForm1 &form, QWidget *parent);

} // namespace voltaris
