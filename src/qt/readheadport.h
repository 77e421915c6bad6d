// The optical read head as a serial port: the ports there are, and one read
// of the meter, which waits for a whole telegram on the running event loop
// (no thread, no sleep) until the meter fell silent or a limit passed.
#pragma once

#include "core/readhead.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <chrono>

class QWidget;

namespace voltaris {

struct PortChoice {
    QString path; // what is kept: the lasting /dev/serial/by-id name where there is one
    QString text; // what the list shows
};

// The serial ports there are, by their lasting names under
// /dev/serial/by-id (a USB read head keeps its name there whichever ttyUSB
// it gets), with the maker's description.
QList<PortChoice> readHeadPorts();

struct ReadLimits {
    // Nothing from the meter for this long: no signal.
    std::chrono::milliseconds silence { 5000 };
    // Bytes, but no good telegram for this long: damaged, or the wrong
    // speed. A D0 meter at 300 baud takes about ten seconds a telegram.
    std::chrono::milliseconds total { 30000 };
};

class MeterReader : public QObject {
    Q_OBJECT
public:
    explicit MeterReader(QObject *parent = nullptr);
    ~MeterReader() override;

    // Opens the port and waits for one good telegram; done() follows once
    // it came, the port failed or a limit passed. The result of a port that
    // cannot be opened is there at once (and done() follows as well).
    void start(const ReadHeadSettings &settings, ReadLimits limits = {});
    void cancel();
    bool running() const { return port_.isOpen(); }
    const MeterReadout &result() const { return result_; }

signals:
    void done();

private:
    void received();
    void finish(MeterReadout result);
    QString openProblem() const;
    QSerialPort port_;
    QString path_; // as chosen: QSerialPort's name drops "/dev/"
    QTimer silence_, total_;
    TelegramFinder finder_;
    MeterReadout result_;
};

// One read on a nested event loop, without a window: for the tests, and
// below the dialog.
MeterReadout readMeterWaiting(const ReadHeadSettings &settings, ReadLimits limits = {});
// One read with a small modal box "Der Zähler wird gelesen…" and its
// "Abbrechen".
MeterReadout readMeterModal(QWidget *parent, const ReadHeadSettings &settings);

} // namespace voltaris
