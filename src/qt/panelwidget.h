#pragma once

#include "qt/widgetsite.h"

#include <QFrame>

namespace voltaris {

// A panel: a raised or lowered frame around its children.
class PanelWidget : public QFrame, public BoundWidget {
    Q_OBJECT
public:
    PanelWidget(TPanel &panel, QWidget *parent);
    void sync(Prop what) override;

private:
    TPanel &panel_;
};

// For the view's factories: the widget of a TPanel, else nullptr.
QWidget *createPanelWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
