// Text to number and number to text. Oracles: the C library's correctly
// rounded strtold for every text the parser accepts or refuses, and a
// formatted value that parses back within half a unit of its last digit.
#include "common/numtext.h"
#include "fuzzing.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The accepted grammar, written out on its own: blanks, sign, digits with
// an optional separator and digits (one of them at least), optional
// exponent, blanks. Gives the ASCII text for strtold and whether the
// mantissa had a digit.
bool wellFormed(const QString &text, QChar sep, std::string &ascii, bool &anyDigit)
{
    qsizetype i = 0, end = text.size();
    while (i < end && text[i] == QLatin1Char(' '))
        ++i;
    while (end > i && text[end - 1] == QLatin1Char(' '))
        --end;
    ascii.clear();
    anyDigit = false;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ascii += char(text[i++].unicode());
    for (; i < end && isDigit(text[i]); ++i, anyDigit = true)
        ascii += char(text[i].unicode());
    bool hasSep = false;
    if (i < end && text[i] == sep) {
        hasSep = true;
        ascii += '.';
        for (++i; i < end && isDigit(text[i]); ++i, anyDigit = true)
            ascii += char(text[i].unicode());
    }
    if (!anyDigit && !hasSep)
        return false;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ascii += char(text[i++].unicode());
        if (i >= end || !isDigit(text[i]))
            return false;
        for (; i < end && isDigit(text[i]); ++i)
            ascii += char(text[i].unicode());
    }
    return i == end;
}

void checkParse(const QString &text, QChar sep, bool oracle)
{
    long double v = 12345;
    const bool ok = tryStrToFloat(text, sep, v);
    if (!ok && v != 12345)
        fail("failed parse changed the value", text);
    if (!oracle)
        return;
    std::string ascii;
    bool anyDigit = false;
    const bool formed = wellFormed(text, sep, ascii, anyDigit);
    if (!formed) {
        if (ok)
            fail("accepted a malformed text", text);
        return;
    }
    long double expected = 0;
    bool inRange = true;
    if (anyDigit) {
        errno = 0;
        char *stop = nullptr;
        expected = std::strtold(ascii.c_str(), &stop);
        if (*stop != '\0')
            fail("oracle did not read the whole text", text);
        inRange = !std::isinf(expected);
    } else if (!ascii.empty() && ascii[0] == '-') {
        expected = -0.0L;
    }
    if (ok != inRange)
        fail(ok ? "accepted an overflowing text" : "refused a valid text", text);
    if (ok && (v != expected || std::signbit(v) != std::signbit(expected)))
        fail("not the nearest value", text);
}

void checkInt(const QString &text)
{
    int v = 77;
    const bool ok = tryStrToInt(text, v);
    // Reference: blanks, sign, at least one digit, nothing after.
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    std::string ascii;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ascii += char(text[i++].unicode());
    const qsizetype first = i;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ascii += char(text[i].unicode());
    bool formed = i == text.size() && i > first;
    long long expected = 0;
    if (formed) {
        errno = 0;
        expected = std::strtoll(ascii.c_str(), nullptr, 10);
        formed = errno == 0 && expected >= INT32_MIN && expected <= INT32_MAX;
    }
    if (ok != formed || (ok && v != expected) || (!ok && v != 77))
        fail("integer", text);
}

// A finite extended value from the input: any mantissa, any exponent.
long double valueFrom(Input &in)
{
    const uint64_t mantissa = in.u64();
    const int exponent = int(in.word() % 32830) - 16445 - 63 + 1; // denormal .. near max
    long double x = std::ldexp(static_cast<long double>(mantissa), exponent);
    if (std::isinf(x))
        x = std::ldexp(static_cast<long double>(mantissa >> 1 | 1), 16383 - 64);
    return in.byte() & 1 ? -x : x;
}

void checkFormat(Input &in)
{
    const long double x = valueFrom(in);
    const int precision = in.below(20); // out of range on both sides too
    const int digits = in.below(21) - 1;
    const QChar sep = in.byte() & 1 ? QLatin1Char('.') : QLatin1Char(',');
    const QString s = formatFixed(x, precision, digits, sep);
    const int p = std::clamp(precision, 1, 18), d = std::clamp(digits, 0, 18);
    long double y = 0;
    if (!tryStrToFloat(s, sep, y))
        fail("formatted text does not parse", s);
    if (s.startsWith(QLatin1Char('-')) && y == 0)
        fail("negative zero written", s);
    const qsizetype e = s.indexOf(QLatin1Char('E'));
    if (e < 0) {
        const qsizetype at = s.indexOf(sep);
        if ((d == 0) != (at < 0) || (at >= 0 && s.size() - at - 1 != d))
            fail("wrong number of decimals", s);
    }
    // Half a unit of the last digit kept, plus the 18-digit expansion's own
    // rounding, plus the parse's.
    const long double big = std::max(std::fabs(x), std::fabs(y));
    const int mag = big > 0 ? int(std::floor(std::log10(big))) : 0;
    const long double unit = std::max(std::pow(10.0L, -d), std::pow(10.0L, mag - p + 1));
    const long double tol = unit * 0.5L + std::pow(10.0L, mag - 17) + big * 1e-18L;
    if (std::fabs(x - y) > tol)
        fail("formatted value too far off", s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    switch (mode % 4) {
    case 0:
    case 1: {
        // Comma, point or any other character as the separator.
        const QChar sep = mode % 4 == 0 ? QLatin1Char(',')
            : (mode & 4)                ? QLatin1Char('.')
                                        : QChar(in.word());
        const QString text = in.rest();
        const bool oracle = !isDigit(sep) && sep != QLatin1Char(' ') && sep != QLatin1Char('+')
            && sep != QLatin1Char('-') && sep != QLatin1Char('e') && sep != QLatin1Char('E');
        checkParse(text, sep, oracle);
        break;
    }
    case 2:
        checkInt(in.rest());
        break;
    default:
        checkFormat(in);
        break;
    }
    return 0;
}
