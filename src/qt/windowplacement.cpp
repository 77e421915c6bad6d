#include "qt/windowplacement.h"

#include "ui/form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace voltaris {

// The main window's design places its meter area 12 pixels past the nominal
// client width, inside the frame the design's outer width leaves for it. The
// height is the user's: a lower window cuts the bottom off.
QSize clientExtent(const TForm &form)
{
    int w = form.clientWidth();
    for (const TControl *c : form.children())
        w = std::max(w, c->left() + c->width());
    return QSize(w, form.clientHeight());
}

void placeWindow(QWidget &window, const TForm &form, bool placedBefore)
{
    QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Before its first showing a window does not know its frame yet: take the
    // owner's frame as the estimate.
    QSize frame = window.frameGeometry().size();
    if (frame == window.size()) {
        const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
        if (owner)
            frame += owner->frameGeometry().size() - owner->size();
    }
    switch (form.position) {
    case TPosition::Designed:
        if (!placedBefore)
            window.move(form.screenLeft(), form.screenTop());
        break;
    case TPosition::ScreenCenter:
        if (!placedBefore)
            window.move(avail.center() - QPoint(frame.width() / 2, frame.height() / 2));
        break;
    case TPosition::MainFormCenter: {
        // Centred over the main window at each showing, never off the top
        // left of the screen.
        const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
        const QRect o = owner ? owner->frameGeometry() : avail;
        const int x = std::max(0, o.x() + (o.width() - frame.width()) / 2);
        const int y = std::max(0, o.y() + (o.height() - frame.height()) / 2);
        window.move(x, y);
        break;
    }
    }
}

} // namespace voltaris
