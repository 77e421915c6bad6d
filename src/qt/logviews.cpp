#include "qt/logviews.h"

#include "qt/historywindow.h"
#include "qt/settlementwindow.h"
#include "qt/tariffwindow.h"
#include "ui/Unit1.h"

#include <algorithm>

namespace voltaris {

LogViews::~LogViews()
{
    // Windows without a parent window close here, while the form they
    // listen to still exists.
    delete history_.data();
    delete settlement_.data();
    delete tariffs_.data();
}

HistoryWindow *LogViews::history() const
{
    return history_;
}

SettlementWindow *LogViews::settlement() const
{
    return settlement_;
}

TariffWindow *LogViews::tariffs() const
{
    return tariffs_;
}

void LogViews::show(TForm1 &form, QWidget *parent, LogView view)
{
    QWidget *w = view == LogView::History ? static_cast<QWidget *>(history_.data())
        : view == LogView::Settlement     ? static_cast<QWidget *>(settlement_.data())
                                          : static_cast<QWidget *>(tariffs_.data());
    if (!w) {
        if (view == LogView::History)
            w = history_ = new HistoryWindow(form, form.shownLog(), parent);
        else if (view == LogView::Settlement) // the household's: from the main meter
            w = settlement_ = new SettlementWindow(form, parent);
        else // the main meter's consumption, whichever log is shown
            w = tariffs_ = new TariffWindow(form, *form.Logs.front(), parent);
        // Over the main window, where the user is looking.
        if (parent) {
            const QRect main = parent->window()->frameGeometry();
            const QPoint corner = main.center() - QPoint(w->width() / 2, w->height() / 2);
            w->move(std::max(corner.x(), 0), std::max(corner.y(), 0));
        }
    }
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace voltaris
