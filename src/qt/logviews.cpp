#include "qt/logviews.h"

#include "qt/historywindow.h"
#include "qt/settlementwindow.h"
#include "ui/Unit1.h"

#include <algorithm>

namespace voltaris {

LogViews::~LogViews()
{
    // Windows without a parent window close here, while the form they
    // listen to still exists.
    delete history_.data();
    delete settlement_.data();
}

HistoryWindow *LogViews::history() const
{
    return history_;
}

SettlementWindow *LogViews::settlement() const
{
    return settlement_;
}

void LogViews::show(TForm1 &form, QWidget *parent, LogView view)
{
    QWidget *w = view == LogView::History ? static_cast<QWidget *>(history_.data())
                                          : static_cast<QWidget *>(settlement_.data());
    if (!w) {
        if (view == LogView::History)
            w = history_ = new HistoryWindow(form, form.shownLog(), parent);
        else
            w = settlement_ = new SettlementWindow(form, form.shownLog(), parent);
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
