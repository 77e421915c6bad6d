// D0 telegrams as a read head delivers them: any bytes, raw or behind an
// identification line with the end after them (so that the data lines are
// reached). Oracles: no crash or hang; a register is a finite,
// non-negative kWh of the current period; the telegrams found do not depend
// on how the bytes were cut into chunks.
#include "core/d0.h"
#include "core/readhead.h"
#include "fuzzing.h"

#include <cmath>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

void checkRead(const TelegramRead &read)
{
    if (read.ok() != read.problem.isEmpty() || (!read.ok() && !read.registers.empty()))
        fail("registers beside a problem");
    for (const MeterRegister &r : read.registers) {
        if (!std::isfinite(double(r.kWh)) || r.kWh < 0)
            fail("register not a kWh", r.obis.text());
        if (r.obis.f != 255 && r.obis.f != -1)
            fail("a stored value taken", r.obis.text());
        if (r.obis.a != 1 && r.obis.a != -1)
            fail("another medium taken", r.obis.text());
    }
}

QStringList readsOf(const QByteArray &stream, int chunk)
{
    TelegramFinder finder;
    QStringList out;
    for (qsizetype i = 0; i < stream.size(); i += chunk)
        for (const TelegramRead &r : finder.feed(
                 QByteArrayView(stream).sliced(i, std::min<qsizetype>(chunk, stream.size() - i)))) {
            checkRead(r);
            QString text = r.problem;
            for (const MeterRegister &reg : r.registers)
                text += reg.obis.text() + QLatin1Char('=') + QString::number(double(reg.kWh));
            out << text;
        }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QByteArray bytes = (data[0] & 1)
        ? QByteArray("/ESY5Q3DA1024 V3.04\r\n\r\n") + rest.toByteArray() + "!\r\n"
        : rest.toByteArray();
    checkRead(parseD0(bytes));
    const int chunk = 1 + (data[0] >> 1) % 64;
    const QStringList whole = readsOf(bytes, int(std::max<qsizetype>(1, bytes.size())));
    if (readsOf(bytes, chunk) != whole)
        fail("the chunks changed what was found");
    return 0;
}
