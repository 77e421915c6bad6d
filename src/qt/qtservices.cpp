#include "qt/qtservices.h"

#include "qt/formview.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QMessageBox>
#include <QUrl>

namespace voltaris {

void QtServices::messageBox(TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
{
    QWidget *parent = owner && windowOf ? windowOf(owner) : nullptr;
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QDate QtServices::today()
{
    return QDate::currentDate();
}

void QtServices::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void QtServices::beep()
{
    QApplication::beep();
}

int QtServices::textWidth(const TFont &font, const QString &text)
{
    return QFontMetrics(FormView::qfont(font)).horizontalAdvance(text);
}

} // namespace voltaris
