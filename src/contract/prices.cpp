// The changes of price and instalment beside the contract file: read when
// another program changed them, changed one at a time in the file's newest
// list, saved at once through the safe writer.
#include "core/prices.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "ui/Unit1.h"

#include <algorithm>

namespace voltaris {

namespace {

template <typename Change> bool insertByDate(std::vector<Change> &list, const Change &change)
{
    const auto at = std::lower_bound(list.begin(), list.end(), change.from,
        [](const Change &c, const QDate &d) { return c.from < d; });
    if (at != list.end() && at->from == change.from)
        return false;
    list.insert(at, change);
    return true;
}

template <typename Change> bool eraseOn(std::vector<Change> &list, const QDate &from)
{
    return std::erase_if(list, [&from](const Change &c) { return c.from == from; }) > 0;
}

// Reads the newest list, lets `change` alter it and writes it; false when
// `change` found nothing to do (it said why) or the file is not to be
// written over (a message says so).
template <typename Change> bool changePrices(TForm1 &form, const Change &change)
{
    const SideFileRead<PriceChanges> &read = form.priceChangesRead();
    if (read.badLine) {
        form.app().messageBox(&form, form.app().Title,
            notWrittenOver(form.priceChangePath(), read.badLine)
                + QStringLiteral(" Es wurde nichts geändert."),
            MsgIcon::None);
        return false;
    }
    PriceChanges changes = read.value;
    if (!change(changes))
        return false;
    writeFileOrThrow(form.priceChangePath(), priceChangeFileBytes(changes));
    form.PriceChangeFile.saved(std::move(changes));
    return true;
}

} // namespace

bool TForm1::AddTariffChange(const TariffChange &change)
{
    return changePrices(*this, [&](PriceChanges &c) {
        if (insertByDate(c.tariff, change))
            return true;
        app().messageBox(this, app().Title,
            QStringLiteral("Für den %1 ist schon eine Preisänderung eingetragen; entfernen Sie sie "
                           "zuerst.")
                .arg(dateToStr(change.from, app().settings())),
            MsgIcon::None);
        return false;
    });
}

bool TForm1::AddInstalmentChange(const InstalmentChange &change)
{
    InstalmentChange monthly = change;
    monthly.from = QDate(change.from.year(), change.from.month(), 1);
    return changePrices(*this, [&](PriceChanges &c) {
        if (insertByDate(c.instalments, monthly))
            return true;
        app().messageBox(this, app().Title,
            QStringLiteral("Ab %1 ist schon ein neuer Abschlag eingetragen; entfernen Sie ihn "
                           "zuerst.")
                .arg(monthly.from.toString(QStringLiteral("MM.yyyy"))),
            MsgIcon::None);
        return false;
    });
}

bool TForm1::RemoveTariffChange(const QDate &from)
{
    return changePrices(*this, [&](PriceChanges &c) {
        if (eraseOn(c.tariff, from))
            return true;
        app().messageBox(this, app().Title,
            QStringLiteral("Die Preisänderung vom %1 steht nicht mehr in der Liste; ein anderes "
                           "Programm hat sie geändert.")
                .arg(dateToStr(from, app().settings())),
            MsgIcon::None);
        return false;
    });
}

bool TForm1::RemoveInstalmentChange(const QDate &from)
{
    return changePrices(*this, [&](PriceChanges &c) {
        if (eraseOn(c.instalments, from))
            return true;
        app().messageBox(this, app().Title,
            QStringLiteral("Die Abschlagsänderung ab %1 steht nicht mehr in der Liste; ein anderes "
                           "Programm hat sie geändert.")
                .arg(from.toString(QStringLiteral("MM.yyyy"))),
            MsgIcon::None);
        return false;
    });
}

} // namespace voltaris
