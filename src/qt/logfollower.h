// What a view of a log follows: the log itself and the controls of the
// contract it is computed with.
#pragma once

#include <QObject>
#include <vector>

namespace voltaris {

class MeterLog;
class TControl;

// Listens to a log and to controls of the headless form and reports their
// changes once the running event is over, however many there were. The log
// and the controls outlive it.
class LogFollower : public QObject {
    Q_OBJECT
public:
    LogFollower(const MeterLog *log, std::vector<TControl *> controls, QObject *parent);
    ~LogFollower() override;

Q_SIGNALS:
    void changed();

private:
    void report();

    const MeterLog *log_;
    int observer_ = 0;
    std::vector<std::pair<TControl *, int>> listening_;
    bool pending_ = false;
};

} // namespace voltaris
