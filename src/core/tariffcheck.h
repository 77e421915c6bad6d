// Is the contract still a good one: offers from other suppliers compared at
// the household's own consumption, in their first year (bonuses taken off)
// and in every year after, and the contract's own deadlines (the notice
// deadline, the end of a price guarantee or of a bonus period) with their
// calendar file.
#pragma once

#include "core/logdata.h"
#include "core/prices.h"
#include "core/sidefile.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace voltaris {

// The consumption the offers are compared at.
struct ComparedConsumption {
    enum class Source { Log, Contract, None };
    Source source = Source::None;
    long double kwh = 0; // per year
    QDate from, to; // with Log: the 365 days' first and last day
};

// The main meter's consumption over the 365 days up to `today` (or up to
// its last reading, when that is earlier), the readings on both days
// interpolated between the readings around them (`readings` as one meter
// would have counted them, across the replacements); else, when the log
// does not reach back that far, the contract's kWh per year.
ComparedConsumption consumptionToCompare(const std::vector<Reading> &readings, const QDate &today,
    const std::optional<long double> &contractPerYear);

// The own contract's cost from `from` up to the day before `to`, the
// consumption spread evenly over the days: each part between two changes
// of price at the prices in force then, the base price by its share of days.
long double contractCost(long double kwhPerYear, const PricesInForce &atStart,
    const PriceChanges &changes, const QDate &from, const QDate &to);

// A notice period: so many weeks or months.
struct NoticePeriod {
    enum class Unit { Weeks, Months };
    int count = 0;
    Unit unit = Unit::Months;
    bool isSet() const { return count > 0; }
    friend bool operator==(const NoticePeriod &, const NoticePeriod &) = default;
};
// "1 Monat", "3 Monate", "1 Woche", "6 Wochen"; the empty text for none.
QString noticePeriodText(const NoticePeriod &period);
// Back from such a text (a number and the unit, singular or plural, or
// "M"/"W" after the number); the empty text is none. False when unreadable.
bool parseNoticePeriod(const QString &text, NoticePeriod &period);

// The last day a notice may arrive for the contract to end with the day
// `end` (a term's last day): the period counted back from the end of that
// day, so that a term ending on 31.03. with one month's notice must be
// given by 28.02. (29.02.), one ending on 30.04. by 31.03.
QDate noticeDeadline(const QDate &end, const NoticePeriod &period);
// The day a contract ends when notice arrives on `day`.
QDate endAfterNotice(const QDate &day, const NoticePeriod &period);

// An offer as the user entered it from a portal.
struct Offer {
    QString supplier, tariff;
    long double basePrice = 0; // euro, per year or per month
    bool basePerMonth = false;
    long double price = 0; // cent per kWh
    long double newCustomerBonus = 0; // euro, paid after the first year
    long double instantBonus = 0; // euro
    int guaranteeMonths = 0, minimumMonths = 0;
    NoticePeriod notice;
    QString note;
    long double basePerYear() const { return basePerMonth ? basePrice * 12 : basePrice; }
    friend bool operator==(const Offer &, const Offer &) = default;
};

// The own contract's dates, as the user entered them; each may be unset.
struct ContractDeadlines {
    QDate minimumEnd; // the minimum term's last day
    NoticePeriod notice;
    QDate guaranteeEnd, bonusEnd; // the price guarantee's and the bonus period's last day
    bool isEmpty() const
    {
        return !minimumEnd.isValid() && !notice.isSet() && !guaranteeEnd.isValid()
            && !bonusEnd.isValid();
    }
    friend bool operator==(const ContractDeadlines &, const ContractDeadlines &) = default;
};

// The side file: the offers and the own contract's dates.
struct TariffCheck {
    ContractDeadlines deadlines;
    std::vector<Offer> offers;
    bool empty() const { return deadlines.isEmpty() && offers.empty(); }
    friend bool operator==(const TariffCheck &, const TariffCheck &) = default;
};

// A header line, then "Vertrag;minimum term's end;notice period;price
// guarantee's end;bonus period's end" (at most once, dates DD.MM.YYYY, an
// empty field unset) and one line an offer: "Angebot;supplier;tariff;base
// price;Jahr|Monat;cent per kWh;new-customer bonus;instant bonus;guarantee
// months;minimum term months;notice period;note", numbers with a decimal
// comma whatever the desktop. Windows-1252, CR LF. A ";" in a text is
// written as ",".
QByteArray tariffCheckFileBytes(const TariffCheck &check);
SideFileRead<TariffCheck> parseTariffCheck(const QByteArray &bytes);

// What an offer costs this household, against the own contract.
struct OfferResult {
    long double yearOne = 0; // base + kWh × cent ÷ 100 − both bonuses
    long double yearTwo = 0; // base + kWh × cent ÷ 100
    long double savingOne = 0, savingTwo = 0; // the own contract's cost minus the offer's
    int rank = 0; // 1 for the cheapest in year two
    bool bonusTrap = false; // cheaper in year one, not in year two
};
struct Comparison {
    long double ownYearOne = 0, ownYearTwo = 0; // the next 12 months and the 12 after
    std::vector<OfferResult> offers; // in the offers' order
};
// The offers ranked by their cost in year two (then by year one, then by
// their order); the own contract over the 12 months from `today` and the 12
// after, with the changes of price known.
Comparison compareOffers(long double kwhPerYear, const PricesInForce &contractAtStart,
    const PriceChanges &changes, const std::vector<Offer> &offers, const QDate &today);
// The plain German words for a bonus trap; the empty text for none.
QString bonusTrapText(const OfferResult &result, QChar separator);

// A deadline of the own contract, for the reminder and the calendar.
struct Deadline {
    enum class Kind { Notice, Guarantee, Bonus };
    Kind kind = Kind::Notice;
    QDate day;
    QString summary; // "Stromvertrag: spätestens heute kündigen"
};
// The notice deadline of the minimum term while it has not passed, the end
// of the price guarantee and of the bonus period, in date order.
std::vector<Deadline> deadlinesOf(const ContractDeadlines &deadlines, const QDate &today);
// The notice's short text at start: "Kündigen spätestens am 28.02.2027!".
QString reminderText(const Deadline &deadline);
// Those from `today` to six weeks after it.
std::vector<Deadline> deadlinesSoon(const ContractDeadlines &deadlines, const QDate &today);
// The window's line: "Kündigen spätestens am 28.02.2027 (zum Ende der
// Mindestlaufzeit am 31.03.2027)." and, once the term is past, the notice
// that applies then; the empty text without a minimum term's end.
QString noticeLine(const ContractDeadlines &deadlines, const QDate &today);

// The deadlines as an iCalendar file (RFC 5545): one all-day event each,
// with an alarm a week before; CR LF, lines folded at 75 octets.
QByteArray calendarBytes(const std::vector<Deadline> &deadlines, const QDateTime &stamp);

} // namespace voltaris
