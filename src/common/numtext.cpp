#include "common/numtext.h"

#include "common/errors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace voltaris {

namespace {

using u128 = unsigned __int128;

// Unsigned integer of any size, 32-bit limbs, least significant first, no
// leading zero limbs. Just enough for exact decimal <-> binary conversion.
class BigUInt {
public:
    BigUInt() = default;
    explicit BigUInt(quint64 v)
    {
        for (; v != 0; v >>= 32)
            limbs_.push_back(quint32(v));
    }

    bool isZero() const { return limbs_.empty(); }

    int bitLength() const
    {
        if (limbs_.empty())
            return 0;
        return int(limbs_.size() - 1) * 32 + (32 - std::countl_zero(limbs_.back()));
    }

    void mulAdd(quint32 factor, quint32 addend)
    {
        quint64 carry = addend;
        for (quint32 &limb : limbs_) {
            const quint64 t = quint64(limb) * factor + carry;
            limb = quint32(t);
            carry = t >> 32;
        }
        if (carry != 0)
            limbs_.push_back(quint32(carry));
        trim();
    }

    void mulPow5(long long k)
    {
        static constexpr quint32 Pow5[14] = { 1, 5, 25, 125, 625, 3125, 15625, 78125, 390625,
            1953125, 9765625, 48828125, 244140625, 1220703125 };
        for (; k >= 13; k -= 13)
            mulAdd(Pow5[13], 0);
        if (k > 0)
            mulAdd(Pow5[k], 0);
    }

    void shiftLeft(long long bits)
    {
        if (limbs_.empty() || bits <= 0)
            return;
        const auto whole = size_t(bits / 32);
        const int part = int(bits % 32);
        if (part != 0) {
            quint32 carry = 0;
            for (quint32 &limb : limbs_) {
                const quint32 next = limb >> (32 - part);
                limb = (limb << part) | carry;
                carry = next;
            }
            if (carry != 0)
                limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), whole, 0);
    }

    void shiftRight1()
    {
        for (size_t i = 0; i < limbs_.size(); ++i) {
            const quint32 high = i + 1 < limbs_.size() ? limbs_[i + 1] << 31 : 0;
            limbs_[i] = (limbs_[i] >> 1) | high;
        }
        trim();
    }

    int compare(const BigUInt &o) const
    {
        if (limbs_.size() != o.limbs_.size())
            return limbs_.size() < o.limbs_.size() ? -1 : 1;
        for (size_t i = limbs_.size(); i-- > 0;) {
            if (limbs_[i] != o.limbs_[i])
                return limbs_[i] < o.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

    // *this -= o, with *this >= o.
    void subtract(const BigUInt &o)
    {
        qint64 borrow = 0;
        for (size_t i = 0; i < limbs_.size(); ++i) {
            qint64 t = qint64(limbs_[i]) - borrow - (i < o.limbs_.size() ? qint64(o.limbs_[i]) : 0);
            borrow = t < 0 ? 1 : 0;
            if (t < 0)
                t += qint64(1) << 32;
            limbs_[i] = quint32(t);
        }
        trim();
    }

private:
    void trim()
    {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }

    std::vector<quint32> limbs_;
};

// floor(num / den) where the quotient is known to stay below 2^127; returns
// whether a remainder was left.
bool divideSmallQuotient(BigUInt num, BigUInt den, u128 &quotient)
{
    quotient = 0;
    const int shift = num.bitLength() - den.bitLength();
    if (shift < 0)
        return !num.isZero();
    den.shiftLeft(shift);
    for (int i = shift; i >= 0; --i) {
        if (num.compare(den) >= 0) {
            num.subtract(den);
            quotient |= u128(1) << i;
        }
        den.shiftRight1();
    }
    return !num.isZero();
}

std::string toDecimal(u128 v)
{
    // In 64-bit parts: 128-bit divisions are slow.
    constexpr quint64 Pow10_19 = 10000000000000000000ULL;
    const auto digitsOf = [](quint64 n, std::string &s, size_t width) {
        const size_t start = s.size();
        do {
            s.push_back(char('0' + int(n % 10)));
            n /= 10;
        } while (n != 0);
        s.resize(std::max(s.size(), start + width), '0');
        std::reverse(s.begin() + qsizetype(start), s.end());
    };
    std::string s;
    if (v >> 64) {
        s = toDecimal(v / Pow10_19);
        digitsOf(quint64(v % Pow10_19), s, 19);
    } else {
        digitsOf(quint64(v), s, 0);
    }
    return s;
}

// 5^k for k up to 27, the largest below 2^64.
constexpr int MaxPow5 = 27;
constexpr quint64 pow5(int k)
{
    quint64 p = 1;
    for (int i = 0; i < k; ++i)
        p *= 5;
    return p;
}

constexpr int ExpansionDigits = 18;

// |x| rounded half away from zero to 18 significant digits: digits[0] stands
// at the power of ten `exponent`.
struct Expansion {
    std::string digits;
    int exponent = 0;
};

// x finite and not zero.
Expansion expand18(long double x)
{
    int binExp = 0;
    const long double fraction = std::frexp(std::fabs(x), &binExp); // [0.5, 1)
    const auto mantissa = static_cast<quint64>(std::ldexp(fraction, 64));
    const int e = binExp - 64; // |x| = mantissa * 2^e exactly

    // estimate is floor(log10 |x|) or up to two below it (78913 / 2^18 is a
    // little under log10 2), so |x| * 10^(20 - estimate) has 21 to 23 whole
    // digits: at least the 19 that the rounding needs, and fits 128 bits.
    const int estimate = ((binExp - 1) * 78913) >> 18;
    const int scale = 20 - estimate;
    const long long twos = (long long)e + scale;
    u128 scaled = 0;
    if (scale >= 0 && scale <= MaxPow5 && twos > -128 && twos < 64) {
        // The values of everyday use, about 1e-7 to 1e21: mantissa * 5^scale
        // stays below 2^127, and the shift is the exact floor.
        const u128 product = u128(mantissa) * pow5(scale);
        scaled = twos >= 0 ? product << twos : product >> -twos;
    } else {
        BigUInt num(mantissa), den(1);
        if (scale >= 0)
            num.mulPow5(scale);
        else
            den.mulPow5(-scale);
        if (twos >= 0)
            num.shiftLeft(twos);
        else
            den.shiftLeft(-twos);
        divideSmallQuotient(num, den, scaled); // truncation suffices for half-up
    }

    std::string all = toDecimal(scaled);
    Expansion r;
    r.exponent = int(all.size()) - 1 - scale;
    r.digits = all.substr(0, ExpansionDigits);
    r.digits.resize(ExpansionDigits, '0');
    if (all.size() > size_t(ExpansionDigits) && all[ExpansionDigits] >= '5') {
        int i = ExpansionDigits - 1;
        while (i >= 0 && r.digits[i] == '9')
            r.digits[i--] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits.insert(r.digits.begin(), '1');
            r.digits.pop_back();
            ++r.exponent;
        }
    }
    return r;
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString formatFixed(long double x, int precision, int digits, QChar separator)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, ExpansionDigits);
    digits = std::clamp(digits, 0, 18);

    // The rounded value: the digit string `kept` times 10^lowest.
    std::string kept;
    int lowest = -digits;
    if (x != 0) {
        const Expansion ex = expand18(x);
        lowest = std::max(-digits, ex.exponent - precision + 1);
        const int count = ex.exponent - lowest + 1;
        if (count == 0 && ex.digits[0] >= '5') {
            kept.push_back('1');
        } else if (count > 0) {
            kept = ex.digits.substr(0, size_t(std::min(count, ExpansionDigits)));
            kept.resize(size_t(count), '0');
            if (count < ExpansionDigits && ex.digits[size_t(count)] >= '5') {
                int i = count - 1;
                while (i >= 0 && kept[size_t(i)] == '9')
                    kept[size_t(i--)] = '0';
                if (i >= 0)
                    ++kept[size_t(i)];
                else
                    kept.insert(kept.begin(), '1');
            }
        }
        kept.erase(0, std::min(kept.find_first_not_of('0'), kept.size()));
    }

    QString out;
    if (kept.empty()) {
        // Zero, also a negative value that rounds to zero: no sign.
        out = QStringLiteral("0");
        if (digits > 0)
            out += separator + QString(digits, QLatin1Char('0'));
        return out;
    }
    if (x < 0)
        out += QLatin1Char('-');
    const int top = int(kept.size()) - 1 + lowest; // power of ten of the first digit
    auto digitAt = [&](int power) {
        const int i = top - power;
        return i >= 0 && i < int(kept.size()) ? QLatin1Char(kept[size_t(i)]) : QLatin1Char('0');
    };

    if (top + 1 > precision) {
        // More whole digits than the precision holds: d,ddddE+NN.
        out += digitAt(top);
        if (precision > 1)
            out += separator;
        for (int p = top - 1; p > top - precision; --p)
            out += digitAt(p);
        out += QStringLiteral("E+") + QString::number(top).rightJustified(2, QLatin1Char('0'));
        return out;
    }
    for (int p = std::max(top, 0); p >= 0; --p)
        out += digitAt(p);
    if (digits > 0) {
        out += separator;
        for (int p = -1; p >= -digits; --p)
            out += digitAt(p);
    }
    return out;
}

bool tryStrToFloat(const QString &text, QChar separator, long double &value)
{
    // Significant digits beyond this many only count as "more than zero";
    // they cannot move the result by a unit in the last place in practice.
    constexpr size_t MaxDigits = 800;
    constexpr long long ExponentCap = 1000000;

    qsizetype i = 0, end = text.size();
    while (i < end && text.at(i) == QLatin1Char(' '))
        ++i;
    while (end > i && text.at(end - 1) == QLatin1Char(' '))
        --end;

    bool negative = false;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }

    std::string sig; // significant digits, no leading zeros
    bool dropped = false; // non-zero digits beyond MaxDigits
    long long power = 0; // value = sig * 10^power
    bool anyDigit = false;
    for (; i < end && isAsciiDigit(text.at(i)); ++i) {
        anyDigit = true;
        const char d = char(text.at(i).unicode());
        if (sig.empty() && d == '0')
            continue;
        if (sig.size() < MaxDigits) {
            sig.push_back(d);
        } else {
            dropped = dropped || d != '0';
            ++power;
        }
    }
    bool hasSeparator = false;
    if (i < end && text.at(i) == separator) {
        hasSeparator = true;
        for (++i; i < end && isAsciiDigit(text.at(i)); ++i) {
            anyDigit = true;
            const char d = char(text.at(i).unicode());
            if (sig.empty() && d == '0') {
                --power;
            } else if (sig.size() < MaxDigits) {
                sig.push_back(d);
                --power;
            } else {
                dropped = dropped || d != '0';
            }
        }
    }
    if (!anyDigit && !hasSeparator)
        return false;
    if (i < end && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
            negativeExponent = text.at(i) == QLatin1Char('-');
            ++i;
        }
        if (i >= end || !isAsciiDigit(text.at(i)))
            return false;
        long long exponent = 0;
        for (; i < end && isAsciiDigit(text.at(i)); ++i)
            exponent = std::min(exponent * 10 + (text.at(i).unicode() - '0'), ExponentCap);
        power += negativeExponent ? -exponent : exponent;
    }
    if (i != end)
        return false;

    if (sig.empty()) {
        value = negative ? -0.0L : 0.0L;
        return true;
    }
    if (!dropped && sig.size() <= 19 && power >= -MaxPow5 && power <= MaxPow5) {
        // Both the digits (below 2^64) and the power of ten (5^27 < 2^64) are
        // exact extended values, so one multiplication or division gives the
        // nearest value, as the exact path below does.
        quint64 n = 0;
        for (const char d : sig)
            n = n * 10 + quint64(d - '0');
        long double p = 1;
        for (long long k = power < 0 ? -power : power; k > 0; --k)
            p *= 10; // exact up to 10^27
        const long double magnitude = power < 0 ? n / p : n * p;
        value = negative ? -magnitude : magnitude;
        return true;
    }
    const long long leading = (long long)sig.size() - 1 + power;
    if (leading > 4932) // at least 10^4933, beyond the largest extended value
        return false;
    if (leading < -4952) { // below half the smallest denormal
        value = negative ? -0.0L : 0.0L;
        return true;
    }

    // Exact value num / den * 2^twos, then a quotient of 66 or 67 bits.
    BigUInt num, den(1);
    size_t pos = 0;
    while (pos < sig.size()) {
        const size_t n = std::min<size_t>(9, sig.size() - pos);
        quint32 chunk = 0, factor = 1;
        for (size_t k = 0; k < n; ++k, ++pos) {
            chunk = chunk * 10 + quint32(sig[pos] - '0');
            factor *= 10;
        }
        num.mulAdd(factor, chunk);
    }
    if (power >= 0)
        num.mulPow5(power);
    else
        den.mulPow5(-power);
    long long twos = power;
    const long long shift = 66 + den.bitLength() - num.bitLength();
    if (shift >= 0)
        num.shiftLeft(shift);
    else
        den.shiftLeft(-shift);
    twos -= shift;
    u128 q = 0;
    const bool sticky = divideSmallQuotient(num, den, q) || dropped;

    // Round q * 2^twos to 64 bits, or fewer where the result is denormal.
    const int qBits
        = 128 - (q >> 64 ? std::countl_zero(quint64(q >> 64)) : 64 + std::countl_zero(quint64(q)));
    const long long top = qBits - 1 + twos;
    if (top > 16383)
        return false;
    long long low = std::max(top - 63, -16445LL);
    const long long drop = low - twos;
    u128 m = 0;
    if (drop < qBits + 1) {
        m = q >> drop;
        const u128 rest = q & ((u128(1) << drop) - 1);
        const u128 half = u128(1) << (drop - 1);
        if (rest > half || (rest == half && (sticky || (m & 1))))
            ++m;
        if (m >> 64) {
            m >>= 1;
            ++low;
        }
    }
    const long double magnitude = std::ldexp(static_cast<long double>(quint64(m)), int(low));
    if (std::isinf(magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

long double strToFloat(const QString &text, QChar separator)
{
    long double value = 0;
    if (!tryStrToFloat(text, separator, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

bool tryStrToInt(const QString &text, int &value)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text.at(i)))
            return false;
        magnitude = magnitude * 10 + (text.at(i).unicode() - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (!negative && magnitude > 2147483647LL)
        return false;
    value = int(negative ? -magnitude : magnitude);
    return true;
}

int strToInt(const QString &text)
{
    int value = 0;
    if (!tryStrToInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

long double divide(long double a, long double b)
{
    if (std::isnan(a) || std::isnan(b))
        throw EInvalidOp();
    if (b == 0) {
        if (a == 0)
            throw EInvalidOp();
        throw EZeroDivide();
    }
    return checked(a / b);
}

long double checked(long double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
    if (std::isinf(x))
        throw EOverflow();
    return x;
}

} // namespace voltaris
