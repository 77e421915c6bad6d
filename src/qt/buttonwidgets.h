#pragma once

#include "qt/widgetsite.h"

#include <QPushButton>
#include <QToolButton>

namespace voltaris {

// A speed button: a tool button that never takes the focus; flat until the
// pointer is over it when the control is flat.
class SpeedButtonWidget : public QToolButton, public BoundWidget {
    Q_OBJECT
public:
    SpeedButtonWidget(TSpeedButton &button, QWidget *parent);
    void sync(Prop what) override;

private:
    TSpeedButton &button_;
};

// A push button with a picture. It takes Enter itself while focused (the
// view's keys), and its mnemonic clicks it where the focus is.
class BitBtnWidget : public QPushButton, public BoundWidget {
    Q_OBJECT
public:
    BitBtnWidget(TBitBtn &button, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;

private:
    TBitBtn &button_;
};

// For the view's factories: the widget of a TSpeedButton or TBitBtn, else
// nullptr.
QWidget *createSpeedButtonWidget(TControl &control, QWidget *parent, WidgetSite &view);
QWidget *createBitBtnWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
