#include "core/solar.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/units.h"
#include "core/contractyear.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace voltaris {

namespace {

// Twenty years: the usual life the makers give panels and inverters.
constexpr int ViewYears = 20;
// Below this a difference of kWh is a rounding error, not more feed-in.
constexpr long double Tolerance = 1e-9L;

// The meters the figures need, and the prices to value them.
struct Sources {
    std::vector<const MeterReadings *> solar, lowTariff;
    const MeterReadings *feedIn = nullptr;
    const std::vector<Reading> *main = nullptr;
    PriceChanges changes;
    PricesInForce atStart; // the working price alone counts
    QDate contractStart;
};

// What a meter counted in [a, b): nothing before its first reading or after
// its last, interpolated between readings as the settlement does.
long double counted(const std::vector<Reading> &readings, const QDate &a, const QDate &b)
{
    return readings.empty() ? 0 : readingOn(readings, b) - readingOn(readings, a);
}

long double feedInRateOn(const Sources &src, const QDate &day)
{
    if (!src.feedIn)
        return 0;
    const Meter &m = src.feedIn->meter;
    return pricesOn(m.changes, { m.price, 0, 0 }, day).price;
}

SolarAmounts amountsOver(const Sources &src, const QDate &a, const QDate &b, long double price)
{
    SolarAmounts x;
    for (const MeterReadings *m : src.solar) {
        const long double g = counted(m->readings, a, b);
        x.byMeter.push_back(g);
        x.generation += g;
        if (!src.feedIn)
            x.feedIn += g * m->meter.solar.feedInShare / 100;
    }
    if (src.feedIn)
        x.feedIn = counted(src.feedIn->readings, a, b);
    x.purchaseMain = counted(*src.main, a, b);
    for (const MeterReadings *m : src.lowTariff)
        x.purchaseLow += counted(m->readings, a, b);
    x.purchase = x.purchaseMain + x.purchaseLow;
    x.clipped = x.feedIn > x.generation + Tolerance;
    x.selfUse = std::max(0.0L, x.generation - x.feedIn);
    x.savings = x.selfUse * price / CentPerEuro;
    x.income = x.feedIn * feedInRateOn(src, a) / CentPerEuro;
    return x;
}

void add(SolarAmounts &sum, const SolarAmounts &x)
{
    sum.byMeter.resize(std::max(sum.byMeter.size(), x.byMeter.size()), 0);
    for (size_t i = 0; i < x.byMeter.size(); ++i)
        sum.byMeter[i] += x.byMeter[i];
    sum.generation += x.generation;
    sum.feedIn += x.feedIn;
    sum.selfUse += x.selfUse;
    sum.purchaseMain += x.purchaseMain;
    sum.purchaseLow += x.purchaseLow;
    sum.purchase += x.purchase;
    sum.savings += x.savings;
    sum.income += x.income;
    sum.clipped = sum.clipped || x.clipped;
}

// The smallest stretches the figures are summed from: [from, to) cut at
// each month, each contract year and each change of the working price or
// the feed-in rate, so that the self-use of each is counted at one price
// and clipped at 0 month by month.
struct Piece {
    QDate from, to;
    long double price = 0, feedInRate = 0;
    SolarAmounts amounts;
};

std::vector<Piece> piecesOf(const Sources &src, const QDate &from, const QDate &to)
{
    std::set<QDate> cuts { from, to };
    for (QDate m = QDate(from.year(), from.month(), 1).addMonths(1); m < to; m = m.addMonths(1))
        cuts.insert(m);
    if (src.contractStart.isValid())
        for (QDate y = anniversary(src.contractStart, from.year()); y < to;
             y = anniversary(src.contractStart, y.year() + 1))
            cuts.insert(y);
    for (const TariffChange &c : src.changes.tariff)
        if (c.price)
            cuts.insert(c.from);
    if (src.feedIn)
        for (const TariffChange &c : src.feedIn->meter.changes.tariff)
            if (c.price)
                cuts.insert(c.from);
    std::vector<Piece> pieces;
    for (auto it = cuts.lower_bound(from); it != cuts.end() && *it < to; ++it) {
        Piece p;
        p.from = *it;
        p.to = *std::next(it);
        p.price = pricesOn(src.changes, src.atStart, p.from).price;
        p.feedInRate = feedInRateOn(src, p.from);
        p.amounts = amountsOver(src, p.from, p.to, p.price);
        pieces.push_back(p);
    }
    return pieces;
}

void readingsAt(const Sources &src, SolarPart &part)
{
    part.startReadings.clear();
    part.endReadings.clear();
    for (const MeterReadings *m : src.solar) {
        part.startReadings.push_back(m->readings.empty() ? 0 : readingOn(m->readings, part.from));
        part.endReadings.push_back(m->readings.empty() ? 0 : readingOn(m->readings, part.to));
    }
    if (src.feedIn && !src.feedIn->readings.empty()) {
        part.feedInStart = readingOn(src.feedIn->readings, part.from);
        part.feedInEnd = readingOn(src.feedIn->readings, part.to);
    }
}

// The contract years and their parts from the pieces.
void takeYears(SolarFigures &f, const Sources &src, const std::vector<Piece> &pieces)
{
    for (const Piece &p : pieces) {
        const QDate start = contractYearOf(src.contractStart, p.from);
        if (f.years.empty() || f.years.back().start != start) {
            SolarYear y;
            y.start = start;
            y.next = anniversary(src.contractStart, start.year() + 1);
            y.from = p.from;
            f.years.push_back(y);
        }
        SolarYear &y = f.years.back();
        y.to = p.to;
        if (y.parts.empty() || y.parts.back().price != p.price
            || y.parts.back().feedInRate != p.feedInRate) {
            SolarPart part;
            part.from = p.from;
            part.price = p.price;
            part.feedInRate = p.feedInRate;
            y.parts.push_back(part);
        }
        y.parts.back().to = p.to;
        add(y.parts.back().amounts, p.amounts);
        add(y.amounts, p.amounts);
    }
    for (SolarYear &y : f.years)
        for (SolarPart &part : y.parts)
            readingsAt(src, part);
}

void takeMonths(SolarFigures &f, const std::vector<Piece> &pieces)
{
    long double cumulated = 0;
    f.curve.push_back({ f.from, 0 });
    for (const Piece &p : pieces) {
        const QDate month(p.from.year(), p.from.month(), 1);
        if (f.months.empty() || f.months.back().month != month)
            f.months.push_back({ month, 0, 0 });
        f.months.back().selfUse += p.amounts.selfUse;
        f.months.back().feedIn += p.amounts.feedIn;
        cumulated += p.amounts.benefit();
        if (p.to.day() == 1 || p.to == f.to)
            f.curve.push_back({ p.to, cumulated });
        if (!p.amounts.clipped)
            continue;
        if (!f.overflows.empty() && f.overflows.back().to == p.from) {
            f.overflows.back().to = p.to;
            f.overflows.back().generation += p.amounts.generation;
            f.overflows.back().feedIn += p.amounts.feedIn;
        } else {
            f.overflows.push_back({ p.from, p.to, p.amounts.generation, p.amounts.feedIn });
        }
    }
}

// The day the cumulated benefit reaches the purchase price: within the
// piece that crosses it, at that piece's benefit per day.
void takeAmortisation(SolarFigures &f, const std::vector<Piece> &pieces)
{
    const long double price = f.purchasePrice;
    long double cumulated = 0;
    for (const Piece &p : pieces) {
        const long double b = p.amounts.benefit();
        if (b > 0 && cumulated + b >= price - Tolerance) {
            const qint64 days = p.from.daysTo(p.to);
            const long double k = std::ceil((price - cumulated) * days / b - Tolerance);
            f.amortised = true;
            f.amortisedOn = p.from.addDays(std::max<qint64>(0, qint64(k)));
            return;
        }
        cumulated += b;
    }
    if (f.benefitPerDay <= 0)
        return;
    const long double k = std::ceil((price - f.sinceStart.benefit()) / f.benefitPerDay - Tolerance);
    f.projected = true;
    f.amortisedOn = f.to.addDays(qint64(k));
}

QDate earlier(const QDate &a, const QDate &b)
{
    return !a.isValid() ? b : (!b.isValid() ? a : std::min(a, b));
}

} // namespace

bool SolarAmounts::ownUseRate(long double &percent) const
{
    if (generation <= 0)
        return false;
    percent = selfUse / generation * 100;
    return true;
}

bool SolarAmounts::selfSufficiency(long double &percent) const
{
    if (withoutSolar() <= 0)
        return false;
    percent = selfUse / withoutSolar() * 100;
    return true;
}

SolarFigures solarFiguresOf(const HouseholdInput &in, const FormatSettings &s)
{
    SolarFigures f;
    Sources src;
    int feedIns = 0;
    for (const MeterReadings &m : in.further) {
        if (m.meter.kind == MeterKind::Solar)
            src.solar.push_back(&m);
        else if (m.meter.kind == MeterKind::LowTariff)
            src.lowTariff.push_back(&m);
        else if (m.meter.kind == MeterKind::FeedIn && feedIns++ == 0)
            src.feedIn = &m;
    }
    if (src.solar.empty())
        return f;
    f.hasSolar = true;
    src.main = &in.main;
    src.changes = in.changes;
    src.contractStart = in.contract.start;
    f.hasPrice = tryStrToFloat(in.contract.price, s.decimalSeparator, src.atStart.price);
    if (!f.hasPrice)
        f.problems << QStringLiteral("Der Strompreis im Vertrag ist keine Zahl: Ersparnis und "
                                     "Amortisation fehlen.");
    if (!src.contractStart.isValid())
        f.problems << QStringLiteral("Der Vertrag hat kein Anfangsdatum: Die Zahlen stehen nur "
                                     "seit Inbetriebnahme, nicht je Vertragsjahr.");

    f.feedInMeasured = src.feedIn != nullptr;
    if (src.feedIn)
        f.feedInName = src.feedIn->meter.name;
    if (feedIns > 1)
        f.notes
            << QStringLiteral("Es zählt nur der erste Einspeisezähler, „%1“.").arg(f.feedInName);

    // The days every solar meter (and the feed-in register) has been read.
    QDate to;
    for (const MeterReadings *m : src.solar) {
        f.names << m->meter.name;
        f.shares.push_back(m->meter.solar.feedInShare);
        f.purchasePrice += m->meter.solar.purchasePrice;
        f.operationStart = earlier(f.operationStart, m->meter.solar.start);
        if (m->readings.size() < 2) {
            f.problems
                << QStringLiteral("„%1“ hat noch keine zwei Zählerstände.").arg(m->meter.name);
            continue;
        }
        f.from = earlier(f.from, m->readings.front().date);
        to = earlier(to, m->readings.back().date);
    }
    if (!f.from.isValid())
        return f;
    if (src.feedIn) {
        if (src.feedIn->readings.size() < 2) {
            f.problems << QStringLiteral("Die Einspeisung „%1“ hat noch keine zwei Zählerstände.")
                              .arg(f.feedInName);
            return f;
        }
        f.from = std::max(f.from, src.feedIn->readings.front().date);
        to = earlier(to, src.feedIn->readings.back().date);
    } else {
        f.notes << QStringLiteral("Ohne Einspeisezähler ist die Einspeisung angenommen: der "
                                  "angegebene Anteil der Erzeugung. Eine Vergütung zählt dann "
                                  "nicht.");
    }
    f.to = to;
    if (f.from >= f.to) {
        f.problems << QStringLiteral("Die Solarzähler und die Einspeisung sind an keinen "
                                     "gemeinsamen Tagen abgelesen.");
        return f;
    }
    f.counted = true;
    if (f.operationStart.isValid() && f.operationStart < f.from)
        f.notes << QStringLiteral("Die Ablesungen beginnen erst am %1, nach der Inbetriebnahme "
                                  "am %2: Was davor erzeugt wurde, fehlt in der Rechnung.")
                       .arg(dateToStr(f.from, s), dateToStr(f.operationStart, s));
    if (in.main.size() < 2 || in.main.front().date > f.from || in.main.back().date < f.to)
        f.notes << QStringLiteral("Der Hauptzähler ist nicht über alle Tage der Anlage "
                                  "abgelesen: Der Bezug aus dem Netz fehlt dort zum Teil, der "
                                  "Autarkiegrad ist zu hoch.");

    const std::vector<Piece> pieces = piecesOf(src, f.from, f.to);
    for (const Piece &p : pieces)
        add(f.sinceStart, p.amounts);
    if (src.contractStart.isValid())
        takeYears(f, src, pieces);
    takeMonths(f, pieces);
    for (const SolarOverflow &o : f.overflows)
        f.notes << QStringLiteral("Vom %1 bis %2 wurde mehr eingespeist (%3 kWh) als erzeugt "
                                  "(%4 kWh): Der Eigenverbrauch zählt dort 0 kWh. Fehlt eine "
                                  "Ablesung der Anlage, oder ist ein Stand vertauscht?")
                       .arg(dateToStr(o.from, s), dateToStr(o.to.addDays(-1), s),
                           formatValue(o.feedIn, s.decimalSeparator),
                           formatValue(o.generation, s.decimalSeparator));

    f.rateFrom = std::max(f.from, f.to.addDays(-DaysPerYear));
    f.rateDays = f.rateFrom.daysTo(f.to);
    for (const Piece &p : piecesOf(src, f.rateFrom, f.to))
        add(f.lastYear, p.amounts);
    f.benefitPerDay = f.lastYear.benefit() / f.rateDays;
    if (f.rateDays < DaysPerYear)
        f.notes << QStringLiteral("Die Anlage ist erst %1 Tage gezählt: Was sie in einem Jahr "
                                  "bringt, ist aus diesen Tagen hochgerechnet, ohne Sommer und "
                                  "Winter auszugleichen.")
                       .arg(f.rateDays);
    if (f.hasPrice && f.purchasePrice > 0)
        takeAmortisation(f, pieces);

    const QDate today = in.today.isValid() ? in.today : f.to;
    f.priceNow = f.hasPrice ? pricesOn(src.changes, src.atStart, today).price : 0;
    f.feedInRateNow = feedInRateOn(src, today);
    f.yearSelfUse = f.lastYear.selfUse * DaysPerYear / f.rateDays;
    f.yearFeedIn = f.lastYear.feedIn * DaysPerYear / f.rateDays;
    f.yearBenefit = (f.yearSelfUse * f.priceNow + f.yearFeedIn * f.feedInRateNow) / CentPerEuro;
    f.twentyYears = f.yearBenefit * ViewYears;
    return f;
}

namespace {

// The rows of the table: what, how, how much.
class Rows {
public:
    explicit Rows(const FormatSettings &s)
        : s_(s)
    { }
    QString f(long double x) const { return formatValue(x, s_.decimalSeparator); }
    QString kwh(long double x) const { return f(x) + QStringLiteral(" kWh"); }
    QString euro(long double x) const { return f(x) + QStringLiteral(" €"); }
    QString percent(long double x) const { return f(x) + QStringLiteral(" %"); }
    QString date(const QDate &d) const { return dateToStr(d, s_); }
    // From the first day to the last, `to` being the day after.
    QString span(const QDate &from, const QDate &to) const
    {
        const qint64 n = from.daysTo(to);
        return QStringLiteral("%1 bis %2 (%3)")
            .arg(date(from), date(to.addDays(-1)),
                n == 1 ? QStringLiteral("1 Tag") : QStringLiteral("%1 Tage").arg(n));
    }
    void row(const QString &what, const QString &how, const QString &value)
    {
        rows_.push_back({ what, how, value, false });
    }
    void heading(const QString &what, const QString &how)
    {
        rows_.push_back({ what, how, QString(), true });
    }
    std::vector<SolarRow> take() { return std::move(rows_); }

private:
    const FormatSettings &s_;
    std::vector<SolarRow> rows_;
};

QString sumOf(const Rows &r, const std::vector<long double> &terms)
{
    QStringList list;
    for (long double t : terms)
        list << r.f(t);
    return list.join(QStringLiteral(" + "));
}

// The figures every stretch shows beyond its kWh and euros.
void ratioRows(Rows &r, const SolarAmounts &a)
{
    r.row(QStringLiteral("Nutzen"),
        QStringLiteral("Ersparnis + Vergütung: %1 + %2").arg(r.f(a.savings), r.f(a.income)),
        r.euro(a.benefit()));
    long double p = 0;
    r.row(QStringLiteral("Eigenverbrauchsquote"),
        QStringLiteral("Eigenverbrauch ÷ Erzeugung × 100: %1 ÷ %2 × 100")
            .arg(r.f(a.selfUse), r.f(a.generation)),
        a.ownUseRate(p) ? r.percent(p) : QStringLiteral("–"));
    r.row(QStringLiteral("Bezug aus dem Netz"),
        a.purchaseLow != 0 ? QStringLiteral("Hauptzähler + Niedertarif: %1 + %2")
                                 .arg(r.f(a.purchaseMain), r.f(a.purchaseLow))
                           : QStringLiteral("am Hauptzähler gezählt"),
        r.kwh(a.purchase));
    r.row(QStringLiteral("Verbrauch ohne Solar"),
        QStringLiteral("Bezug + Eigenverbrauch: %1 + %2").arg(r.f(a.purchase), r.f(a.selfUse)),
        r.kwh(a.withoutSolar()));
    r.row(QStringLiteral("Autarkiegrad"),
        QStringLiteral("Eigenverbrauch ÷ (Bezug + Eigenverbrauch) × 100: %1 ÷ %2 × 100")
            .arg(r.f(a.selfUse), r.f(a.withoutSolar())),
        a.selfSufficiency(p) ? r.percent(p) : QStringLiteral("–"));
}

QString selfUseHow(const Rows &r, const SolarAmounts &a)
{
    return a.clipped
        ? QStringLiteral("Erzeugung − Einspeisung, Monat für Monat, nie unter 0 "
                         "(siehe Hinweis)")
        : QStringLiteral("Erzeugung − Einspeisung: %1 − %2").arg(r.f(a.generation), r.f(a.feedIn));
}

void partRows(Rows &r, const SolarFigures &f, const SolarPart &p)
{
    const SolarAmounts &a = p.amounts;
    QStringList terms;
    for (size_t i = 0; i < p.startReadings.size(); ++i) {
        const QString diff
            = QStringLiteral("%1 − %2").arg(r.f(p.endReadings[i]), r.f(p.startReadings[i]));
        terms << (p.startReadings.size() > 1 ? QStringLiteral("(%1)").arg(diff) : diff);
    }
    r.row(QStringLiteral("Erzeugung"),
        QStringLiteral("Stand am %1 − Stand am %2: %3")
            .arg(r.date(p.to), r.date(p.from), terms.join(QStringLiteral(" + "))),
        r.kwh(a.generation));
    if (f.feedInMeasured) {
        r.row(QStringLiteral("Einspeisung"),
            QStringLiteral("„%1“: %2 − %3").arg(f.feedInName, r.f(p.feedInEnd), r.f(p.feedInStart)),
            r.kwh(a.feedIn));
    } else {
        QStringList shares;
        for (size_t i = 0; i < a.byMeter.size(); ++i)
            shares << QStringLiteral("%1 × %2 %").arg(r.f(a.byMeter[i]), r.f(f.shares[i]));
        r.row(QStringLiteral("Einspeisung (angenommen)"),
            QStringLiteral("Erzeugung × angegebener Anteil: %1").arg(shares.join(" + ")),
            r.kwh(a.feedIn));
    }
    r.row(QStringLiteral("Eigenverbrauch"), selfUseHow(r, a), r.kwh(a.selfUse));
    r.row(QStringLiteral("Ersparnis"),
        QStringLiteral("Eigenverbrauch × Arbeitspreis ÷ 100: %1 kWh × %2 ct ÷ 100")
            .arg(r.f(a.selfUse), r.f(p.price)),
        r.euro(a.savings));
    r.row(QStringLiteral("Vergütung"),
        f.feedInMeasured ? QStringLiteral("Einspeisung × Vergütung ÷ 100: %1 kWh × %2 ct ÷ 100")
                               .arg(r.f(a.feedIn), r.f(p.feedInRate))
                         : QStringLiteral("ohne Einspeisezähler keine"),
        r.euro(a.income));
}

// A sum's rows: each figure as the sum of the terms above it.
void sumRows(Rows &r, const QString &of, const std::vector<const SolarAmounts *> &terms,
    const SolarAmounts &sum)
{
    const auto column = [&](long double SolarAmounts::*field) {
        std::vector<long double> v;
        for (const SolarAmounts *a : terms)
            v.push_back(a->*field);
        return QStringLiteral("Summe %1: %2").arg(of, sumOf(r, v));
    };
    r.row(QStringLiteral("Erzeugung"), column(&SolarAmounts::generation), r.kwh(sum.generation));
    r.row(QStringLiteral("Einspeisung"), column(&SolarAmounts::feedIn), r.kwh(sum.feedIn));
    r.row(QStringLiteral("Eigenverbrauch"), column(&SolarAmounts::selfUse), r.kwh(sum.selfUse));
    r.row(QStringLiteral("Ersparnis"), column(&SolarAmounts::savings), r.euro(sum.savings));
    r.row(QStringLiteral("Vergütung"), column(&SolarAmounts::income), r.euro(sum.income));
}

void yearRows(Rows &r, const SolarFigures &f, const SolarYear &y)
{
    r.heading(
        QStringLiteral("Vertragsjahr %1 bis %2").arg(r.date(y.start), r.date(y.next.addDays(-1))),
        QStringLiteral("gezählt %1").arg(r.span(y.from, y.to)));
    if (y.parts.size() == 1) {
        partRows(r, f, y.parts.front());
    } else {
        std::vector<const SolarAmounts *> terms;
        int number = 0;
        for (const SolarPart &p : y.parts) {
            r.heading(QStringLiteral("Zeitraum %1:").arg(++number),
                QStringLiteral("%1, %2 ct/kWh").arg(r.span(p.from, p.to), r.f(p.price))
                    + (f.feedInMeasured
                            ? QStringLiteral(", Vergütung %1 ct/kWh").arg(r.f(p.feedInRate))
                            : QString()));
            partRows(r, f, p);
            terms.push_back(&p.amounts);
        }
        r.heading(QStringLiteral("Vertragsjahr zusammen"), QString());
        sumRows(r, QStringLiteral("der Zeiträume"), terms, y.amounts);
    }
    ratioRows(r, y.amounts);
}

} // namespace

std::vector<SolarRow> solarRows(const SolarFigures &f, const FormatSettings &s)
{
    Rows r(s);
    if (!f.counted)
        return r.take();
    for (const SolarYear &y : f.years)
        yearRows(r, f, y);

    const SolarAmounts &a = f.sinceStart;
    r.heading(QStringLiteral("Seit Inbetriebnahme"),
        QStringLiteral("gezählt %1").arg(r.span(f.from, f.to)));
    if (f.years.size() == 1) {
        r.row(QStringLiteral("Erzeugung"), QStringLiteral("wie im Vertragsjahr"),
            r.kwh(a.generation));
        r.row(
            QStringLiteral("Einspeisung"), QStringLiteral("wie im Vertragsjahr"), r.kwh(a.feedIn));
        r.row(QStringLiteral("Eigenverbrauch"), QStringLiteral("wie im Vertragsjahr"),
            r.kwh(a.selfUse));
        r.row(
            QStringLiteral("Ersparnis"), QStringLiteral("wie im Vertragsjahr"), r.euro(a.savings));
        r.row(QStringLiteral("Vergütung"), QStringLiteral("wie im Vertragsjahr"), r.euro(a.income));
    } else if (!f.years.empty()) {
        std::vector<const SolarAmounts *> terms;
        for (const SolarYear &y : f.years)
            terms.push_back(&y.amounts);
        sumRows(r, QStringLiteral("der Vertragsjahre"), terms, a);
    } else {
        r.row(QStringLiteral("Erzeugung"), QString(), r.kwh(a.generation));
        r.row(QStringLiteral("Einspeisung"), QString(), r.kwh(a.feedIn));
        r.row(QStringLiteral("Eigenverbrauch"), selfUseHow(r, a), r.kwh(a.selfUse));
        r.row(QStringLiteral("Ersparnis"), QString(), r.euro(a.savings));
        r.row(QStringLiteral("Vergütung"), QString(), r.euro(a.income));
    }
    if (f.names.size() > 1)
        for (qsizetype i = 0; i < f.names.size(); ++i)
            r.row(QStringLiteral("davon „%1“").arg(f.names[i]), QStringLiteral("Erzeugung"),
                r.kwh(a.byMeter[size_t(i)]));
    ratioRows(r, a);

    if (!f.hasPrice)
        return r.take();
    r.heading(QStringLiteral("Amortisation"),
        QStringLiteral("der kumulierte Nutzen gegen den Kaufpreis"));
    r.row(QStringLiteral("Kaufpreis"),
        f.names.size() > 1 ? QStringLiteral("Summe der Anlagen") : QString(),
        r.euro(f.purchasePrice));
    r.row(QStringLiteral("Nutzen bisher"), QStringLiteral("Ersparnis + Vergütung seit Beginn"),
        r.euro(a.benefit()));
    r.row(QStringLiteral("Nutzen pro Tag"),
        QStringLiteral("Nutzen vom %1 ÷ Tage: %2 € ÷ %3")
            .arg(r.span(f.rateFrom, f.to), r.f(f.lastYear.benefit()))
            .arg(f.rateDays),
        r.euro(f.benefitPerDay));
    if (f.amortised)
        r.row(QStringLiteral("Amortisiert"),
            QStringLiteral("der kumulierte Nutzen erreicht den Kaufpreis"), r.date(f.amortisedOn));
    else if (f.projected)
        r.row(QStringLiteral("Amortisiert voraussichtlich"),
            QStringLiteral("%1 + (Kaufpreis − Nutzen bisher) ÷ Nutzen pro Tag:\n"
                           "%1 + (%2 − %3) ÷ %4 = %1 + %5 Tage")
                .arg(r.date(f.to), r.f(f.purchasePrice), r.f(a.benefit()), r.f(f.benefitPerDay))
                .arg(f.to.daysTo(f.amortisedOn)),
            r.date(f.amortisedOn));
    else if (f.purchasePrice > 0)
        r.row(QStringLiteral("Amortisiert"), QStringLiteral("ohne Nutzen zuletzt nicht absehbar"),
            QStringLiteral("–"));

    r.heading(QStringLiteral("20 Jahre zu heutigen Preisen"),
        QStringLiteral("angenommen: keine Preissteigerung, Erzeugung und Einspeisung wie vom %1, "
                       "keine Alterung der Module, keine Reparaturen")
            .arg(r.span(f.rateFrom, f.to)));
    r.row(QStringLiteral("Eigenverbrauch im Jahr"),
        QStringLiteral("%1 kWh ÷ %2 Tage × 365").arg(r.f(f.lastYear.selfUse)).arg(f.rateDays),
        r.kwh(f.yearSelfUse));
    r.row(QStringLiteral("Einspeisung im Jahr"),
        QStringLiteral("%1 kWh ÷ %2 Tage × 365").arg(r.f(f.lastYear.feedIn)).arg(f.rateDays),
        r.kwh(f.yearFeedIn));
    r.row(QStringLiteral("Nutzen im Jahr"),
        QStringLiteral("(%1 kWh × %2 ct + %3 kWh × %4 ct) ÷ 100")
            .arg(r.f(f.yearSelfUse), r.f(f.priceNow), r.f(f.yearFeedIn), r.f(f.feedInRateNow)),
        r.euro(f.yearBenefit));
    r.row(QStringLiteral("Nutzen in 20 Jahren"), QStringLiteral("20 × %1").arg(r.f(f.yearBenefit)),
        r.euro(f.twentyYears));
    r.row(QStringLiteral("Nach Abzug des Kaufpreises"),
        QStringLiteral("%1 − %2").arg(r.f(f.twentyYears), r.f(f.purchasePrice)),
        r.euro(f.twentyYears - f.purchasePrice));
    return r.take();
}

SolarYearSummary solarYearOf(const SolarFigures &f, const QDate &yearStart)
{
    for (const SolarYear &y : f.years)
        if (y.start == yearStart)
            return { true, y.from, y.to, y.amounts.selfUse, y.amounts.savings, y.amounts.income };
    return {};
}

std::vector<SolarYearUse> consumptionWithoutSolar(
    const SolarFigures &f, const std::vector<YearFigures> &years)
{
    std::vector<SolarYearUse> out;
    for (const YearFigures &y : years) {
        const SolarYearSummary s = solarYearOf(f, y.start);
        out.push_back(
            { s.selfUse, y.kwh + s.selfUse, s.found && s.from == y.start && s.to == y.next });
    }
    return out;
}

} // namespace voltaris
