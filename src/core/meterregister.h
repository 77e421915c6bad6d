// What an electricity meter's telegram says, as the read head's protocols
// (SML and D0) both give it: its energy registers, named by their OBIS
// codes, with the value in kWh.
#pragma once

#include <QString>
#include <vector>

namespace voltaris {

enum class MeterProtocol { Sml, D0 };

// An OBIS code A-B:C.D.E*F; -1 where the telegram left a part out (D0 often
// sends "1.8.0" alone).
struct Obis {
    int a = -1, b = -1, c = 0, d = 0, e = 0, f = -1;
    // "1-0:1.8.0*255", or as much of it as there is.
    QString text() const;
    // "1.8.0": the part that names the register.
    QString shortText() const;
    friend bool operator==(const Obis &, const Obis &) = default;
};

// One energy register: its reading now, in kWh.
struct MeterRegister {
    Obis obis;
    long double kWh = 0;
    // The decimals of kWh the meter sent: 4 for 0.1 Wh, 0 for whole kWh.
    int decimals = 0;
    QString unit; // as sent: "Wh" (SML) or "kWh"
    // A meter whose PIN has not been entered sends whole kWh only (SML: a
    // positive scaler); the reading is as good, only coarser.
    bool wholeKWh = false;
    friend bool operator==(const MeterRegister &, const MeterRegister &) = default;
};

// A telegram as read: its energy registers in the order sent, or why it
// could not be read (German, a sentence; empty when it could).
struct TelegramRead {
    MeterProtocol protocol = MeterProtocol::Sml;
    std::vector<MeterRegister> registers;
    QString problem;
    bool ok() const { return problem.isEmpty(); }
};

} // namespace voltaris
