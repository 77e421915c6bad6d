// Writes the deadlines' calendar file for tests/core/check_calendar.py, which
// reads it with an iCalendar parser of its own: a contract's three deadlines
// and one with a long summary that must be folded and escaped.
#include "core/tariffcheck.h"

#include <QFile>

using namespace voltaris;

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QDate today(2026, 12, 10);
    ContractDeadlines d;
    d.minimumEnd = QDate(2027, 3, 31);
    d.notice = { 1, NoticePeriod::Unit::Months };
    d.guaranteeEnd = QDate(2027, 1, 31);
    d.bonusEnd = QDate(2027, 6, 30);
    std::vector<Deadline> list = deadlinesOf(d, today);
    list.push_back({ Deadline::Kind::Bonus, QDate(2027, 12, 31),
        QStringLiteral("Neukundenbonus der Stadtwerke Süd; ein Komma, ein Backslash \\ und "
                       "Umlaute äöü über die Länge einer Zeile hinaus") });
    QFile out(QFile::decodeName(argv[1]));
    const QByteArray bytes = calendarBytes(list, QDateTime(today, QTime(7, 30), Qt::UTC));
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? 0 : 1;
}
