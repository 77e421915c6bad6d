#pragma once

#include "qt/widgetsite.h"

#include <QPlainTextEdit>

namespace voltaris {

// A memo: plain text without a frame. One without scroll bars shows its
// whole text: where the window's font wraps it into more lines than fit, the
// font shrinks a pixel at a time.
class MemoWidget : public QPlainTextEdit, public BoundWidget {
    Q_OBJECT
public:
    MemoWidget(TMemo &memo, QWidget *parent, WidgetSite &view);
    void sync(Prop what) override;
    void built() override { fit(); }

private:
    void fit();

    TMemo &memo_;
    WidgetSite &view_;
};

// For the view's factories: the widget of a TMemo, else nullptr.
QWidget *createMemoWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
