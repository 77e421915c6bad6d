#include "qt/settlementprint.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "core/logfigures.h"
#include "qt/pricedialogs.h"
#include "qt/savedialog.h"
#include "qt/settlementsheet.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <algorithm>
#include <memory>

namespace voltaris {

namespace {

constexpr qreal LargestPoints = 10, SmallestPoints = 6, PointStep = 0.5;
const QMarginsF PageMargins(18, 15, 18, 15); // millimetres

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// The readings the year was computed from: those within it and the one on
// each side of it.
std::vector<Reading> yearReadings(const std::vector<Reading> &readings, const Settlement &st)
{
    if (!st.hasYear)
        return {};
    auto begin = std::lower_bound(readings.begin(), readings.end(), st.yearStart,
        [](const Reading &r, const QDate &d) { return r.date < d; });
    auto end = std::lower_bound(begin, readings.end(), st.nextYearStart,
        [](const Reading &r, const QDate &d) { return r.date < d; });
    if (begin != readings.begin())
        --begin;
    if (end != readings.end())
        ++end;
    return { begin, end };
}

// Three readings a line, more for a long log, so that it fills the page's
// width before its font has to shrink.
QString readingTable(const std::vector<Reading> &readings, const FormatSettings &s)
{
    const size_t PerLine = std::clamp<size_t>((readings.size() + 19) / 20, 3, 6);
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (size_t c = 0; c < PerLine; ++c)
        html += QStringLiteral("<th align=\"left\">Datum</th><th align=\"right\">Zählerstand</th>"
                               "<th width=\"24\"></th>");
    html += QStringLiteral("</tr>");
    for (size_t i = 0; i < readings.size(); ++i) {
        if (i % PerLine == 0)
            html += QStringLiteral("<tr>");
        html += QStringLiteral("<td>%1</td><td align=\"right\">%2 kWh</td><td></td>")
                    .arg(dateToStr(readings[i].date, s),
                        formatValue(readings[i].kwh, s.decimalSeparator));
        if (i % PerLine == PerLine - 1 || i + 1 == readings.size())
            html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void layOut(QTextDocument &doc, const QString &html, qreal points, qreal width)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    doc.setDefaultFont(font);
    doc.setHtml(html);
    doc.setTextWidth(width);
}

} // namespace

std::vector<QString> settlementPartsHtml(const SettlementPage &page)
{
    const FormatSettings &s = page.settings;
    const ContractValues &contract = page.contract;
    const Settlement st = settlementOf(page.log, contract, s, page.prices, page.today);
    const std::vector<Reading> readings = page.log.readings(s);

    QString html = QStringLiteral("<h1>Abrechnungsvorschau</h1><table cellspacing=\"0\" "
                                  "cellpadding=\"2\">");
    const auto line = [&html](const QString &what, const QString &value) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(escaped(what), escaped(value));
    };
    line(QStringLiteral("Anbieter:"), contract.provider);
    line(QStringLiteral("Tarif:"), contract.tariff);
    line(QStringLiteral("Vertragsbeginn:"), dateToStr(contract.start, s));
    line(QStringLiteral("Grundpreis laut Vertrag:"),
        contract.basePrice + QStringLiteral(" € im Jahr"));
    line(QStringLiteral("Strompreis laut Vertrag:"), contract.price + QStringLiteral(" Cent/kWh"));
    line(
        QStringLiteral("Abschlag laut Vertrag:"), contract.monthly + QStringLiteral(" € im Monat"));
    if (st.hasYear)
        line(QStringLiteral("Vertragsjahr:"),
            QStringLiteral("%1 bis %2")
                .arg(dateToStr(st.yearStart, s), dateToStr(st.nextYearStart.addDays(-1), s)));
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>Abrechnung</h3>") + settlementSheetHtml(st, readings, s);

    html += QStringLiteral("<h3>Änderungen von Preis und Abschlag</h3>");
    const std::vector<PriceChangeLine> changes = priceChangeLines(page.prices, s);
    if (changes.empty())
        html += QStringLiteral("<p>Keine: Es gelten die Preise des Vertrags.</p>");
    for (const PriceChangeLine &c : changes)
        html += QStringLiteral("<p style=\"margin:0\">%1</p>").arg(escaped(c.text));

    const std::vector<Reading> used = yearReadings(readings, st);
    if (!used.empty())
        html += QStringLiteral("<h3>Ablesungen</h3>") + readingTable(used, s);
    const QString made = QStringLiteral("<p style=\"color:#555555\">Erstellt am %1 mit %2.</p>")
                             .arg(dateToStr(page.today, s), escaped(page.title));
    if (!showsHousehold(page.household))
        return { html + made };

    const HouseholdSheet household
        = householdSheetOf(householdYearOf(page.household, s), page.household, s);
    std::vector<QString> parts { html + household.mainContract };
    for (const QString &own : household.ownContracts)
        parts.push_back(own);
    parts.push_back(household.rest + made);
    return parts;
}

QString settlementPageHtml(const SettlementPage &page)
{
    QString html;
    for (const QString &part : settlementPartsHtml(page))
        html += part;
    return html;
}

namespace {

// The largest font at which `html` fits the device's page, laid out in
// `doc`; the scale below 1 it is drawn at when not even the smallest fits.
qreal fitPage(QTextDocument &doc, const QString &html, QPagedPaintDevice &device)
{
    const qreal width = device.width(), height = device.height();
    // Laid out in the device's own pixels, so that the fonts measure as drawn.
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDocumentMargin(0);
    const auto overflows = [&doc, width, height] {
        return doc.size().height() > height || doc.size().width() > width;
    };
    qreal points = LargestPoints;
    layOut(doc, html, points, width);
    while (overflows() && points > SmallestPoints) {
        points -= PointStep;
        layOut(doc, html, points, width);
    }
    // Still too large at the smallest font: the whole drawn smaller, laid out
    // wider so that it fills the page's width again.
    qreal scale = 1;
    if (overflows()) {
        scale = std::min(width / doc.size().width(), height / doc.size().height());
        doc.setTextWidth(width / scale);
        scale = std::min(width / doc.size().width(), height / doc.size().height());
    }
    return scale;
}

void drawPage(QPainter &painter, QTextDocument &doc, qreal scale, QPagedPaintDevice &device)
{
    const qreal width = device.width(), height = device.height();
    painter.save();
    painter.scale(scale, scale);
    doc.drawContents(&painter, QRectF(0, 0, width / scale, height / scale));
    painter.restore();
}

} // namespace

bool renderSettlementPage(const SettlementPage &page, QPagedPaintDevice &device, QString *error)
{
    const std::vector<QString> parts = settlementPartsHtml(page);
    QString whole;
    for (const QString &part : parts)
        whole += part;
    // On one page while it fits there without being drawn smaller; else a
    // page for each part.
    std::vector<std::unique_ptr<QTextDocument>> pages;
    std::vector<qreal> scales;
    pages.push_back(std::make_unique<QTextDocument>());
    scales.push_back(fitPage(*pages.back(), whole, device));
    if (parts.size() > 1 && scales.back() < 1) {
        pages.clear();
        scales.clear();
        for (const QString &part : parts) {
            pages.push_back(std::make_unique<QTextDocument>());
            scales.push_back(fitPage(*pages.back(), part, device));
        }
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("Das Ausgabegerät ließ sich nicht öffnen.");
        return false;
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error)
                *error = QStringLiteral("Eine weitere Seite ließ sich nicht anfangen.");
            return false;
        }
        drawPage(painter, *pages[i], scales[i], device);
    }
    painter.end();
    return true;
}

bool writeSettlementPdf(const SettlementPage &page, const QString &path, QString *error)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, PageMargins, QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Abrechnungsvorschau"));
        writer.setCreator(page.title);
        if (!renderSettlementPage(page, writer, error))
            return false;
    }
    return writeFileSafely(path, bytes, error);
}

namespace {

// Over the window that asked, like the dialog before it; the main window's
// boxes would bring the main window to the front.
void warn(const SettlementPage &page, QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, page.title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void printSettlement(const SettlementPage &page, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, PageMargins, QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("Abrechnungsvorschau"));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Abrechnungsvorschau drucken"));
    // One page: nothing to choose of pages.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString reason;
    if (!renderSettlementPage(page, printer, &reason))
        warn(page, parent,
            QStringLiteral("Die Abrechnungsvorschau konnte nicht gedruckt werden:\n%1")
                .arg(reason));
}

void saveSettlementPdf(const SettlementPage &page, QWidget *parent)
{
    const QString path = askSaveFileName(parent, QStringLiteral("Als PDF speichern"),
        page.suggestedPdf, QStringLiteral("PDF-Datei (*.pdf)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!writeSettlementPdf(page, path, &reason))
        warn(page, parent,
            QStringLiteral("Die PDF-Datei konnte nicht gespeichert werden:\n%1\n\n%2")
                .arg(displayPath(path), reason));
}

} // namespace voltaris
