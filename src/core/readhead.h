// The optical read head on the meter: its port and framing, kept in a small
// file beside the contract; the telegrams found in the bytes it delivers,
// which come in chunks and start anywhere; and which register belongs to
// the meter the window shows.
#pragma once

#include "core/meterregister.h"
#include "core/meters.h"
#include "core/sidefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace voltaris {

enum class Framing {
    Bits8N1, // SML, and D0 meters that push at 9600
    Bits7E1, // D0 as IEC 62056-21 has it
};

struct ReadHeadSettings {
    QString port; // "/dev/serial/by-id/usb-…"; empty: none chosen yet
    int baud = 9600;
    Framing framing = Framing::Bits8N1;
    friend bool operator==(const ReadHeadSettings &, const ReadHeadSettings &) = default;
};

// The speeds a read head is set to, slowest first.
const std::vector<int> &readHeadSpeeds();
// "8N1", "7E1".
QString framingName(Framing framing);

// The file: a header line, then "Anschluss;…", "Geschwindigkeit;9600" and
// "Übertragung;8N1"; Windows-1252, CR LF. A line it does not know (of a
// newer program) is unreadable, so that the file is not written over.
QByteArray readHeadFileBytes(const ReadHeadSettings &settings);
SideFileRead<ReadHeadSettings> parseReadHead(const QByteArray &bytes);

// What a read of the meter gave: a telegram read well, or why none came
// (German, for a message); or that the user chose "Abbrechen".
struct MeterReadout {
    TelegramRead telegram;
    QString problem;
    bool cancelled = false;
};

// Finds whole telegrams, SML or D0, in the bytes as they arrive, whatever
// came before them; keeps at most a telegram's worth of bytes.
class TelegramFinder {
public:
    // The telegrams the bytes completed, each read (well or not).
    std::vector<TelegramRead> feed(QByteArrayView bytes);
    bool sawBytes() const { return sawBytes_; }
    int damaged() const { return damaged_; }
    // Why the last damaged one could not be read.
    const QString &lastProblem() const { return lastProblem_; }

private:
    // Reads a telegram at the buffer's start; false while it is incomplete.
    bool takeSml(std::vector<TelegramRead> &out);
    bool takeD0(std::vector<TelegramRead> &out);
    void damage(const QString &why);
    QByteArray buffer_;
    bool sawBytes_ = false;
    int damaged_ = 0;
    QString lastProblem_;
};

// The register of the meter shown (nullptr: the main meter): purchase
// 1.8.0, or 1.8.1 (HT) for a main meter beside a night register of the
// household, 1.8.2 for that night register, 2.8.0 for feed-in; an own
// contract, a sub-meter and a solar system are read at 1.8.0 of the meter
// the head sits on. Power (16.7.0) is never a reading.
Obis readHeadRegister(const Meter *shown, const Meters &meters);
// That register among a telegram's; nullptr when it is not there.
const MeterRegister *findRegister(const std::vector<MeterRegister> &registers, const Obis &wanted);

// What the dialog and the messages call a register: "1.8.0 (Bezug)".
QString registerName(const Obis &obis);
// "12345,6789 kWh": the value with the decimals it came with.
QString registerValueText(const MeterRegister &r, QChar decimalSeparator);

} // namespace voltaris
