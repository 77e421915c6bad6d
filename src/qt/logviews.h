// The windows that show the main window's log beyond its table, and what
// they share: following the log, and the save dialog.
#pragma once

#include "ui/services.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace voltaris {

class HistoryWindow;
class SettlementWindow;
class TControl;
class TForm1;

// One window of each kind; a second call brings the open one to the front.
class LogViews {
public:
    LogViews() = default;
    LogViews(const LogViews &) = delete;
    LogViews &operator=(const LogViews &) = delete;
    ~LogViews();

    void show(TForm1 &form, QWidget *parent, LogView view);
    HistoryWindow *history() const;
    SettlementWindow *settlement() const;

private:
    QPointer<HistoryWindow> history_;
    QPointer<SettlementWindow> settlement_;
};

// Listens to controls of the headless form and reports their changes once
// the running event is over, however many there were.
class LogFollower : public QObject {
    Q_OBJECT
public:
    LogFollower(std::vector<TControl *> controls, QObject *parent);
    ~LogFollower() override;

Q_SIGNALS:
    void changed();

private:
    std::vector<std::pair<TControl *, int>> listening_;
    bool pending_ = false;
};

// A modal save dialog in German; the chosen path, empty when cancelled.
QString askSaveFileName(
    QWidget *parent, const QString &caption, const QString &suggested, const QString &filter);

} // namespace voltaris
