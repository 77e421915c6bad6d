#pragma once

#include "common/formatsettings.h"
#include "qt/widgetsite.h"

#include <QDateEdit>

namespace voltaris {

class TDateTimePicker;

// A date picker: the date in the short date format of the settings, with a
// drop-down calendar in German. The calendar closing, on a picked day or
// dismissed, is the picker's close-up.
class DatePickerWidget : public QDateEdit, public BoundWidget {
    Q_OBJECT
public:
    DatePickerWidget(TDateTimePicker &picker, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;
    // The drop-down calendar, made and set up on first use: making it costs
    // a good part of the window's start.
    QCalendarWidget *calendarWidget();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Gives the date the edit's inner margins where the width is short of it.
    void fitText();

    TDateTimePicker &picker_;
    WidgetSite &view_;
    bool calendarReady_ = false;
};

// Makes a calendar with grid lines wide enough for its day names: its own
// size leaves the lines out, and the widest name ("Mo.") was cut to "…".
void widenForGrid(QCalendarWidget *calendar);

// The display format of a short date under the settings.
QString qtDateFormat(const FormatSettings &settings);

// For the view's factories: the widget of a TDateTimePicker, else nullptr.
QWidget *createDatePickerWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
