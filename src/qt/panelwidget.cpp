#include "qt/panelwidget.h"

namespace voltaris {

PanelWidget::PanelWidget(TPanel &panel, QWidget *parent)
    : QFrame(parent)
    , panel_(panel)
{
    setFrameStyle(QFrame::Panel | (panel.lowered ? QFrame::Sunken : QFrame::Raised));
    setLineWidth(1);
}

void PanelWidget::sync(Prop what)
{
    WidgetSite::applyTabStop(panel_, this, what);
}

QWidget *createPanelWidget(TControl &control, QWidget *parent, WidgetSite &)
{
    auto *panel = dynamic_cast<TPanel *>(&control);
    if (!panel)
        return nullptr;
    return new PanelWidget(*panel, parent);
}

} // namespace voltaris
