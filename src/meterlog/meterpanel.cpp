// A further meter in the window: Panel4 at its own prices, the popup menu's
// "Zähler anzeigen" and "Zähler verwalten…", the keys that show the next
// meter, and the meters' file written through the safe writer.
#include "common/numtext.h"
#include "common/safefile.h"
#include "common/units.h"
#include "core/settlement.h"
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"

#include <cmath>

namespace voltaris {

namespace {

// The window system's codes of PgUp and PgDown.
constexpr int KeyPrior = 33, KeyNext = 34;

constexpr int EuroGap = 3; // pixels between the amount and "€", as the main meter's

// The energy of the contract year up to its last reading at the prices in
// force on each day: the parts the year splits into at a change of price,
// each counted up to that reading.
long double costSoFar(const Settlement &st)
{
    if (st.parts.empty())
        return st.soFar * st.price / CentPerEuro;
    long double cost = 0;
    for (const SettlementPart &p : st.parts) {
        if (p.from >= st.last.date)
            break;
        const long double kwh = p.to <= st.last.date ? p.kwh : st.last.kwh - p.startReading;
        cost += kwh * p.price / CentPerEuro;
    }
    return cost;
}

} // namespace

void TForm1::ShowMeterFigures()
{
    const Meter *meter = shownMeter();
    TLabel *const money[] = { &lbl_Zahlung, &LabelEUR, &lbl_Gut, &lbl_Nach };
    TLabel *const all[]
        = { &lbl_Durch, &lbl_kWTag, &lbl_vSrednem, &lbl_Zahlung, &LabelEUR, &lbl_Gut, &lbl_Nach };
    for (TLabel *l : all)
        l->setVisible(false);
    if (!meter)
        return;
    const FormatSettings &s = app().settings();
    const QChar sep = separator();
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    const int last = log.lastFilledRow();
    const QDate date = last >= 0 ? log.dateOf(last, s) : QDate();
    if (!date.isValid())
        return;
    const long double reading = log.readingOf(last, sep);
    const std::optional<long double> average = log.averageUpTo(date, reading, s, sep);
    if (!average)
        return;
    lbl_vSrednem.setText(formatValue(*average, sep));
    for (TLabel *l : { &lbl_Durch, &lbl_kWTag, &lbl_vSrednem })
        l->setVisible(true);

    // The amount and its caption: green for what the household gets back
    // or earns, red for what it pays.
    const auto show = [&](long double amount, bool good, const QString &caption) {
        TLabel &label = good ? lbl_Gut : lbl_Nach;
        label.setText(caption);
        lbl_Zahlung.setText(formatValue(std::fabs(amount), sep));
        lbl_Zahlung.setFontColor(good ? clr::Green : clr::Red);
        LabelEUR.setLeft(lbl_Zahlung.left() + lbl_Zahlung.width() + EuroGap);
        LabelEUR.setFontColor(lbl_Zahlung.font().color);
        for (TLabel *l : { &label, &lbl_Zahlung, &LabelEUR })
            l->setVisible(true);
    };
    switch (meter->kind) {
    case MeterKind::OwnContract: {
        // As the main meter's estimate, at this contract's prices in force
        // on the day of the last reading: the instalments of a year against
        // a whole year at the average.
        const OwnContract &c = meter->contract;
        const PricesInForce p = pricesOn(meter->changes, { c.price, c.basePrice, c.monthly }, date);
        const long double estimate = checked(
            p.monthly * 12 - p.basePrice - *average * DaysPerYear * p.price / CentPerEuro);
        show(estimate, estimate >= 0, estimate >= 0 ? MainCreditCaption : MainBackCaption);
        return;
    }
    case MeterKind::LowTariff:
    case MeterKind::SubMeter:
    case MeterKind::FeedIn: {
        // So far this contract year of the main contract: the night register
        // and the feed-in at their own prices, the sub-meter at the main
        // contract's.
        long double price = meter->price;
        PriceChanges changes = meter->changes;
        if (meter->kind == MeterKind::SubMeter) {
            if (!tryStrToFloat(Edit5.text(), sep, price))
                return;
            changes = priceChanges();
        }
        const Settlement st = currentYearOf(
            log.continuousReadings(s), dtp_Ab.date(), PricesInForce { price, 0, 0 }, changes, s);
        if (!st.hasYear)
            return;
        const bool feedIn = meter->kind == MeterKind::FeedIn;
        show(costSoFar(st), feedIn,
            feedIn ? QStringLiteral("Vergütung bisher:") : QStringLiteral("Kosten bisher:"));
        return;
    }
    case MeterKind::Solar:
    case MeterKind::Main:
        break;
    }
    for (TLabel *l : money)
        l->setVisible(false);
}

void TForm1::designMeters()
{
    N5 = std::make_unique<TMenuItem>(&PopupMenuTable, QStringLiteral("N5"));
    N5->setText(QStringLiteral("-"));
    Anzeigen1 = std::make_unique<TMenuItem>(&PopupMenuTable, QStringLiteral("Anzeigen1"));
    Anzeigen1->setText(QStringLiteral("Zähler anzeigen"));
    Anzeigen1->setVisible(false);
    Zaehler1 = std::make_unique<TMenuItem>(&PopupMenuTable, QStringLiteral("Zaehler1"));
    Zaehler1->setText(QStringLiteral("Zähler verwalten…"));
    Zaehler1->OnClick = [this](TControl &s) { Zaehler1Click(s); };
    // The meters to show, as the file names them when the menu opens.
    PopupMenuTable.OnPopup = [this, before = std::move(PopupMenuTable.OnPopup)](TControl &s) {
        if (before)
            before(s);
        syncMeterLogs();
        ShowMeterItems.clear();
        Anzeigen1->setVisible(!LogMeters.empty());
        for (int i = 0; i <= int(LogMeters.size()); ++i) {
            auto item = std::make_unique<TMenuItem>(
                Anzeigen1.get(), QStringLiteral("Anzeigen1_%1").arg(i));
            item->setText(i == 0 ? meterKindName(MeterKind::Main) : LogMeters[size_t(i - 1)].name);
            item->radioItem = true;
            item->checked = i == ShownLog;
            item->OnClick = [this, i](TControl &) { ShowMeter(i); };
            ShowMeterItems.push_back(std::move(item));
        }
    };
    OnShortCut = [this](int key, TShiftState shift) { return MetersKeyDown(key, shift); };
    Logs.front()->addObserver([this] { householdChanged(); });
    cmb_Zaehler.dropDownList = true;
    cmb_Zaehler.accessibleName = QStringLiteral("Angezeigter Zähler");
    // Linux's screen readers get a combo box's text as its name: the
    // description says what it chooses.
    cmb_Zaehler.accessibleDescription
        = QStringLiteral("Angezeigter Zähler, auch mit Strg+Bild↓ / Strg+Bild↑");
    cmb_Zaehler.setHint(QStringLiteral("Angezeigter Zähler (Strg+Bild↓ / Strg+Bild↑)"));
    cmb_Zaehler.OnChange = [this](TControl &s) { cmb_ZaehlerChange(s); };
}

bool TForm1::MetersKeyDown(int Key, TShiftState Shift)
{
    if (!Shift.ctrl || Shift.alt || Shift.shift || (Key != KeyNext && Key != KeyPrior))
        return false;
    syncMeterLogs();
    const int count = int(Logs.size());
    if (count < 2)
        return false;
    ShowMeter((ShownLog + (Key == KeyNext ? 1 : count - 1)) % count);
    return true;
}

void TForm1::Zaehler1Click(TControl &)
{
    const SideFileRead<Meters> read = MetersFile.read();
    if (read.badLine) {
        app().messageBox(this, app().Title,
            notWrittenOver(MetersFile.path(), read.badLine)
                + QStringLiteral(" Die Zähler können erst wieder bearbeitet werden, wenn die "
                                 "Zeile berichtigt ist."),
            MsgIcon::None);
        return;
    }
    MetersInput input { read.value, separator(),
        [](const QString &key) { return meterLogName(key); },
        [](const Meters &answer) {
            for (int i = 0; i < int(answer.further.size()); ++i) {
                const QString problem = meterNameProblem(answer, answer.further[size_t(i)].name, i);
                if (!problem.isEmpty())
                    return problem;
            }
            return QString();
        } };
    if (!app().services().editMeters(this, input))
        return;
    // A meter added gets its files' key now; a rename keeps it.
    for (Meter &m : input.meters.further) {
        m.name = m.name.trimmed();
        if (m.fileKey.isEmpty())
            m.fileKey = meterFileKey(m.name);
    }
    if (SaveMeters(input.meters, read.stamp))
        syncMeterLogs();
}

bool TForm1::SaveMeters(const Meters &meters, const FileStamp &readAt)
{
    const SideFileRead<Meters> &read = MetersFile.read();
    if (!MayWriteSideFile(MetersFile.path(), read.badLine, read.stamp, readAt,
            QStringLiteral("Ihre Änderung der Zähler"))) {
        // The meters as the other program left them.
        if (!read.badLine)
            syncMeterLogs();
        return false;
    }
    // Nothing changed, nothing written: a folder with the main meter alone
    // gets no file.
    if (read.value == meters)
        return true;
    writeFileOrThrow(MetersFile.path(), metersFileBytes(meters));
    MetersFile.saved(meters);
    return true;
}

} // namespace voltaris
