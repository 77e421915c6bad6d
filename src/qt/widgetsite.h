#pragma once

#include "ui/application.h"
#include "ui/controls.h"

#include <QColor>
#include <QFont>
#include <functional>

class QWidget;

namespace voltaris {

// A widget that shows one control and keeps itself in step with it beyond the
// common properties the view handles (bounds, enabled, visible, colours, font,
// hint, cursor).
class BoundWidget {
public:
    virtual ~BoundWidget() = default;
    virtual void sync(Prop what) = 0;
    // Once the view has applied every property of the new widget: one that
    // fits itself to its content does it here, not on each property.
    virtual void built() { }
};

// What the widget of a control needs of the view that shows it: the view
// takes the widget's focus and keys for the control, and says when it writes
// to the widgets itself. The view (FormView) is the one site; the widgets
// know only this, so that the view can know every widget kind.
class WidgetSite {
public:
    // Routes focus and key events of `widget` to `control`; install it on
    // every widget that can take the keyboard focus (also inner editors).
    virtual void route(QWidget *widget, TWinControl &control) = 0;
    // True while the view itself writes to widgets: their change signals are
    // then no user input.
    bool syncing() const { return syncing_ > 0; }
    // True while the properties of a new widget are applied one by one.
    bool building() const { return building_; }
    struct SyncGuard {
        explicit SyncGuard(WidgetSite &s)
            : s_(s)
        {
            ++s_.syncing_;
        }
        ~SyncGuard() { --s_.syncing_; }
        WidgetSite &s_;
    };

    // The colour of a colour number, resolving the system colours.
    static QColor qcolor(TColor c);
    static QFont qfont(const TFont &f);
    static Qt::Alignment qtAlignment(TAlignment a);
    // The focus policy of a control that takes the focus, on a change of its
    // tab stop.
    static void applyTabStop(TWinControl &control, QWidget *w, Prop what);

protected:
    ~WidgetSite() = default;
    bool building_ = false; // set by the view while it makes the widgets

private:
    int syncing_ = 0;
};

// Builds the widget for a control, or returns nullptr when it does not know
// the control's kind.
using WidgetFactory = std::function<QWidget *(TControl &, QWidget *parent, WidgetSite &)>;

} // namespace voltaris
