// SML frames as a read head delivers them: any bytes, raw or wrapped in a
// frame whose checksum is right (so that the tree behind it is reached).
// Oracles: no crash, hang or huge allocation (the sanitizers and the
// fuzzer's limits); a register is a finite, non-negative kWh of the current
// period; and the telegrams found do not depend on how the bytes were cut
// into chunks.
#include "core/readhead.h"
#include "core/sml.h"
#include "fuzzing.h"

#include <cmath>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

void checkRead(const TelegramRead &read)
{
    if (!read.ok() && !read.registers.empty())
        fail("registers beside a problem");
    if (read.ok() != read.problem.isEmpty())
        fail("ok and a problem");
    for (const MeterRegister &r : read.registers) {
        if (!std::isfinite(double(r.kWh)) || r.kWh < 0)
            fail("register not a kWh", r.obis.text());
        if (r.obis.f != 255 && r.obis.f != -1)
            fail("a stored value taken", r.obis.text());
        if (r.decimals < 0 || r.decimals > 12)
            fail("decimals out of range");
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

// The bytes as the data of a frame: escaped, padded, with a right CRC.
QByteArray framed(QByteArrayView data)
{
    QByteArray padded(data.toByteArray());
    const int padding = int((4 - padded.size() % 4) % 4);
    padded += QByteArray(padding, 0);
    QByteArray frame(SmlStart, 8);
    const QByteArrayView esc(SmlEscape);
    for (qsizetype i = 0; i < padded.size(); i += 4) {
        frame += padded.mid(i, 4);
        if (QByteArrayView(padded).sliced(i, 4) == esc)
            frame += esc.toByteArray();
    }
    frame += esc.toByteArray() + char(0x1A) + char(padding);
    const uint16_t crc = crc16X25(frame);
    frame += char(crc & 0xFF);
    frame += char(crc >> 8);
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QByteArray bytes = (data[0] & 1) ? framed(rest) : rest.toByteArray();
    checkRead(parseSml(bytes));
    const int chunk = 1 + (data[0] >> 1) % 64;
    const QStringList whole = readsOf(bytes, int(std::max<qsizetype>(1, bytes.size())));
    if (readsOf(bytes, chunk) != whole)
        fail("the chunks changed what was found");
    return 0;
}
