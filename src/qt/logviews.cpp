#include "qt/logviews.h"

#include "qt/historywindow.h"
#include "qt/settlementwindow.h"
#include "ui/Unit1.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <utility>

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
            w = history_ = new HistoryWindow(form, parent);
        else
            w = settlement_ = new SettlementWindow(form, parent);
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

LogFollower::LogFollower(std::vector<TControl *> controls, QObject *parent)
    : QObject(parent)
{
    for (TControl *c : controls) {
        const int id = c->addListener([this](TControl &, Prop what) {
            if (what != Prop::Text && what != Prop::Items && what != Prop::Date)
                return;
            if (std::exchange(pending_, true))
                return;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                Q_EMIT changed();
            });
        });
        listening_.emplace_back(c, id);
    }
}

LogFollower::~LogFollower()
{
    for (const auto &[control, id] : listening_)
        control->removeListener(id);
}

QString askSaveFileName(
    QWidget *parent, const QString &caption, const QString &suggested, const QString &filter)
{
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    // German even where Qt's own translations are missing.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Speichern"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace voltaris
