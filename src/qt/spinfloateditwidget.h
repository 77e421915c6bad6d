#pragma once

#include "qt/widgetsite.h"

#include <QWidget>

class QLineEdit;

namespace voltaris {

class TSpinFloatEdit;
class TTimerSpeedButton;

// One of the two small buttons: paints its glyph and reports the mouse to
// its model, which clicks and repeats.
class SpinArrowButton : public QWidget {
    Q_OBJECT
public:
    SpinArrowButton(TTimerSpeedButton &model, QWidget *parent);
    TTimerSpeedButton &model() const { return model_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    TTimerSpeedButton &model_;
};

// The number edit: a line edit filling the widget, the button pair on top of
// its right edge. The buttons are siblings of the line edit, not its
// children: a press on a child would hand the focus to the line edit as a
// mouse click into the text, while a button press moves the focus as code
// does (with the text selected).
class SpinFloatEditWidget : public QWidget, public BoundWidget {
    Q_OBJECT
public:
    SpinFloatEditWidget(TSpinFloatEdit &edit, QWidget *parent, WidgetSite &view);

    QLineEdit *lineEdit() const { return lineEdit_; }
    SpinArrowButton *upButton() const { return up_; }
    SpinArrowButton *downButton() const { return down_; }

    void sync(Prop what) override;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void relayout();
    void pushSelection();

    TSpinFloatEdit &edit_;
    WidgetSite &view_;
    QLineEdit *lineEdit_;
    SpinArrowButton *up_;
    SpinArrowButton *down_;
    bool laying_ = false;
    bool writing_ = false; // the widget takes the control's text or selection
};

// For the view's factories: the widget of a TSpinFloatEdit, else nullptr.
QWidget *createSpinFloatEditWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
