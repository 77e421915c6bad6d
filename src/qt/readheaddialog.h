// "Lesekopf einrichten": the read head's port, speed and framing, and a test
// that shows what the meter sends.
#pragma once

#include "core/readhead.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace voltaris {

class MeterReader;

class ReadHeadDialog : public QDialog {
    Q_OBJECT
public:
    ReadHeadDialog(QWidget *parent, const ReadHeadSettings &settings);
    ReadHeadSettings settings() const;

    QComboBox *port, *speed, *framing;
    QPushButton *test;
    QLabel *found; // the registers the test found, or why none

private:
    void runTest();
    void showTest();
    MeterReader *reader_;
};

// Modal; true on "Speichern", with `settings` holding the choice.
bool editReadHeadDialog(QWidget *parent, ReadHeadSettings &settings);

// What the test shows of a read: a register a line, "1.8.0 (Bezug):
// 12345,6789 kWh", and a note when the meter sends whole kWh only; or why
// nothing could be read.
QString readoutText(const MeterReadout &readout);

} // namespace voltaris
