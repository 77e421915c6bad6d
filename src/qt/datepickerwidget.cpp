#include "qt/datepickerwidget.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace voltaris {

QString qtDateFormat(const FormatSettings &s)
{
    const QString sep(s.dateSeparator);
    switch (s.dateOrder) {
    case FormatSettings::DateOrder::MDY:
        return QStringLiteral("MM") + sep + QStringLiteral("dd") + sep + QStringLiteral("yyyy");
    case FormatSettings::DateOrder::YMD:
        return QStringLiteral("yyyy") + sep + QStringLiteral("MM") + sep + QStringLiteral("dd");
    case FormatSettings::DateOrder::DMY:
        break;
    }
    return QStringLiteral("dd") + sep + QStringLiteral("MM") + sep + QStringLiteral("yyyy");
}

DatePickerWidget::DatePickerWidget(TDateTimePicker &picker, QWidget *parent, WidgetSite &view)
    : QDateEdit(parent)
    , picker_(picker)
    , view_(view)
{
    const bool date = picker.kind == TDateTimeKind::Date;
    setCalendarPopup(date);
    setDisplayFormat(
        date ? qtDateFormat(picker.application().settings()) : QStringLiteral("HH:mm:ss"));
    setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    connect(this, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!view_.syncing())
            picker_.userPicked(d);
    });
    connect(this, &QDateTimeEdit::dateTimeChanged, this, &DatePickerWidget::fitText);
    view.route(this, picker);
}

QCalendarWidget *DatePickerWidget::calendarWidget()
{
    QCalendarWidget *cal = QDateEdit::calendarWidget();
    if (cal && !calendarReady_) {
        calendarReady_ = true;
        cal->setLocale(QLocale(QLocale::German, QLocale::Germany));
        cal->setFirstDayOfWeek(Qt::Monday);
        cal->setGridVisible(true);
        widenForGrid(cal);
        cal->window()->installEventFilter(this);
    }
    return cal;
}

namespace {

// Keeps a calendar wider than its own size by a grid line and a pixel of
// rounding a column, whatever font the drop-down gives it later.
class GridWidth : public QObject {
public:
    explicit GridWidth(QCalendarWidget *calendar)
        : QObject(calendar)
    {
        calendar->installEventFilter(this);
        fit(calendar);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            fit(static_cast<QCalendarWidget *>(watched));
        return false;
    }

private:
    static void fit(QCalendarWidget *calendar)
    {
        const int columns
            = calendar->verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 7 : 8;
        calendar->setMinimumWidth(calendar->minimumSizeHint().width() + 2 * columns);
    }
};

} // namespace

void widenForGrid(QCalendarWidget *calendar)
{
    new GridWidth(calendar);
}

void DatePickerWidget::fitText()
{
    // The bold date can be a few pixels wider than the specified width
    // leaves inside the edit's own margins (2 pixels each side); with the
    // cursor at its end the edit would then scroll the first digit out of
    // sight. The margins give way to the date, as far as they reach.
    QLineEdit *edit = lineEdit();
    const int wide = edit->fontMetrics().horizontalAdvance(edit->text()) + 1; // and the cursor
    const int lack = std::clamp(wide - (edit->width() - 4), 0, 4);
    const QMargins margins(-(lack + 1) / 2, 0, -(lack / 2), 0);
    if (edit->textMargins() != margins)
        edit->setTextMargins(margins);
}

void DatePickerWidget::resizeEvent(QResizeEvent *event)
{
    QDateEdit::resizeEvent(event);
    fitText();
}

void DatePickerWidget::changeEvent(QEvent *event)
{
    QDateEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitText();
}

// The calendar opens from a click or a key; it is set up before.
void DatePickerWidget::mousePressEvent(QMouseEvent *event)
{
    if (calendarPopup())
        calendarWidget();
    QDateEdit::mousePressEvent(event);
}

void DatePickerWidget::keyPressEvent(QKeyEvent *event)
{
    if (calendarPopup())
        calendarWidget();
    QDateEdit::keyPressEvent(event);
}

bool DatePickerWidget::eventFilter(QObject *watched, QEvent *event)
{
    // After the picked day has reached the picker; a message box of the
    // handler must not run inside the popup's own hiding.
    if (event->type() == QEvent::Hide && watched != this)
        QTimer::singleShot(0, this, [this] { picker_.closeUp(); });
    return QDateEdit::eventFilter(watched, event);
}

void DatePickerWidget::sync(Prop what)
{
    switch (what) {
    case Prop::Date:
        if (picker_.date().isValid() && date() != picker_.date())
            setDate(picker_.date());
        break;
    case Prop::TabStop:
    case Prop::Enabled:
        setFocusPolicy(picker_.tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
        break;
    default:
        break;
    }
}

QWidget *createDatePickerWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *picker = dynamic_cast<TDateTimePicker *>(&control);
    if (!picker)
        return nullptr;
    return new DatePickerWidget(*picker, parent, view);
}

} // namespace voltaris
