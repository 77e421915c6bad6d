#pragma once

#include "qt/widgetsite.h"

#include <QLabel>

namespace voltaris {

// A label: plain text at its alignment. The window's fonts measure a few
// pixels wider than the design's: a label grows away from its aligned edge
// instead of cutting its text.
class LabelWidget : public QLabel, public BoundWidget {
    Q_OBJECT
public:
    LabelWidget(TLabel &label, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;
    void built() override { fit(); }

private:
    void fit();

    TLabel &label_;
    WidgetSite &view_;
};

// For the view's factories: the widget of a TLabel, else nullptr.
QWidget *createLabelWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
