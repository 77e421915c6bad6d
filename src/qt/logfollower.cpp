#include "qt/logfollower.h"

#include "core/meterlogmodel.h"
#include "ui/Unit1.h"
#include "ui/controls.h"

#include <QTimer>
#include <utility>

namespace voltaris {

LogFollower::LogFollower(
    const MeterLog *log, std::vector<TControl *> controls, QObject *parent, TForm1 *household)
    : QObject(parent)
    , log_(log)
    , household_(household)
{
    if (log_)
        observer_ = log_->addObserver([this] { report(); });
    if (household_)
        householdObserver_ = household_->addHouseholdObserver([this] { report(); });
    for (TControl *c : controls) {
        const int id = c->addListener([this](TControl &, Prop what) {
            if (what == Prop::Text || what == Prop::Items || what == Prop::Date)
                report();
        });
        listening_.emplace_back(c, id);
    }
}

LogFollower::~LogFollower()
{
    if (log_)
        log_->removeObserver(observer_);
    if (household_)
        household_->removeHouseholdObserver(householdObserver_);
    for (const auto &[control, id] : listening_)
        control->removeListener(id);
}

void LogFollower::report()
{
    if (std::exchange(pending_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        Q_EMIT changed();
    });
}

} // namespace voltaris
