#pragma once

#include "qt/widgetsite.h"

#include <QString>
#include <QWidget>

namespace voltaris {

// A group box as the window shows it: an etched frame from the middle of the
// caption down, the caption on the frame's top edge; children at their own
// positions from the box's top left. Made for a TGroupBox, its caption is
// the control's.
class GroupBoxWidget : public QWidget, public BoundWidget {
    Q_OBJECT
public:
    explicit GroupBoxWidget(QWidget *parent = nullptr);
    GroupBoxWidget(TGroupBox &box, QWidget *parent);
    void setTitle(const QString &title);
    const QString &title() const { return title_; }
    void sync(Prop what) override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    TGroupBox *box_ = nullptr;
    QString title_;
};

// For the view's factories: the widget of a TGroupBox, else nullptr.
QWidget *createGroupBoxWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
