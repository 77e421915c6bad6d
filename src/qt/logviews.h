// The windows that show the main window's log beyond its table.
#pragma once

#include "ui/services.h"

#include <QPointer>

class QWidget;

namespace voltaris {

class HistoryWindow;
class SettlementWindow;
class TariffWindow;
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
    TariffWindow *tariffs() const;

private:
    QPointer<HistoryWindow> history_;
    QPointer<SettlementWindow> settlement_;
    QPointer<TariffWindow> tariffs_;
};

} // namespace voltaris
