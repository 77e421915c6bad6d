// What a view of a log follows: the log itself, the controls of the
// contract it is computed with, and for a view of the whole household every
// meter's readings and the meters.
#pragma once

#include <QObject>
#include <vector>

namespace voltaris {

class MeterLog;
class TControl;
class TForm1;

// Listens to a log and to controls of the headless form and reports their
// changes once the running event is over, however many there were. The log,
// the controls and the household's form outlive it.
class LogFollower : public QObject {
    Q_OBJECT
public:
    LogFollower(const MeterLog *log, std::vector<TControl *> controls, QObject *parent,
        TForm1 *household = nullptr);
    ~LogFollower() override;

Q_SIGNALS:
    void changed();

private:
    void report();

    const MeterLog *log_;
    int observer_ = 0;
    TForm1 *household_;
    int householdObserver_ = 0;
    std::vector<std::pair<TControl *, int>> listening_;
    bool pending_ = false;
};

} // namespace voltaris
