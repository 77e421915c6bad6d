// Text to date under any date order and separator. Oracle: a date that
// parses is a real calendar day, its short text is ten characters for the
// years 1 to 9999 and parses back to the same day.
#include "common/dates.h"
#include "fuzzing.h"

using namespace voltaris;
using namespace voltaris::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    FormatSettings s;
    const uint8_t mode = in.byte();
    s.dateOrder = FormatSettings::DateOrder(mode % 3);
    static const char16_t Separators[] = { u'.', u'/', u'-', u' ', u',' };
    s.dateSeparator = (mode / 3) % 6 < 5 ? QChar(Separators[(mode / 3) % 6]) : QChar(in.word());
    const QString text = in.rest();

    const QDate sentinel(1999, 9, 9);
    QDate date = sentinel;
    const bool ok = tryStrToDate(text, s, date);
    if (!ok) {
        if (date != sentinel)
            fail("failed parse changed the date", text);
        return 0;
    }
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        fail("parsed no calendar day", text);
    const QChar sep = s.dateSeparator;
    if ((sep >= QLatin1Char('0') && sep <= QLatin1Char('9')))
        return 0; // a digit as separator cannot round-trip
    const QString back = dateToStr(date, s);
    QDate again;
    if (back.size() != 10 || !tryStrToDate(back, s, again) || again != date)
        fail("short date does not round-trip", text + QStringLiteral(" -> ") + back);
    return 0;
}
