// The changes of price and instalment beside the contract file: read when
// another program changed them, changed one at a time in the file's newest
// list, saved at once through the safe writer.
#include "core/prices.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "ui/Unit1.h"

#include <QFile>
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

} // namespace

QString TForm1::priceChangePath() const
{
    return dataFilePath(priceChangeFileName());
}

const PriceChanges &TForm1::priceChanges() const
{
    const QString path = priceChangePath();
    const FileStamp now = FileStamp::of(path);
    if (PriceChangesRead && now == PriceChangeStamp)
        return PriceChangeCache;
    PriceChangesRead = true;
    PriceChangeStamp = now;
    PriceChangeCache = {};
    PriceChangeBadLine = 0;
    if (!now.exists)
        return PriceChangeCache;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PriceChangeBadLine = 1;
        return PriceChangeCache;
    }
    PriceChangeParse parse = parsePriceChanges(file.readAll());
    PriceChangeCache = std::move(parse.changes);
    PriceChangeBadLine = parse.badLine;
    return PriceChangeCache;
}

namespace {

// Reads the newest list, lets `change` alter it and writes it; false when
// `change` found nothing to do (it said why) or the file is not to be
// written over (a message says so).
template <typename Change> bool changePrices(TForm1 &form, const Change &change)
{
    PriceChanges changes = form.priceChanges();
    if (form.PriceChangeBadLine) {
        form.app().messageBox(&form, form.app().Title,
            QStringLiteral("Die Datei \"%1\" kann ab Zeile %2 nicht gelesen werden; sie wird nicht "
                           "überschrieben. Es wurde nichts geändert.")
                .arg(displayPath(form.priceChangePath()))
                .arg(form.PriceChangeBadLine),
            MsgIcon::None);
        return false;
    }
    if (!change(changes))
        return false;
    writeFileOrThrow(form.priceChangePath(), priceChangeFileBytes(changes));
    form.PriceChangeCache = std::move(changes);
    form.PriceChangeStamp = FileStamp::of(form.priceChangePath());
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
