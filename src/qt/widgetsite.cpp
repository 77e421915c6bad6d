#include "qt/widgetsite.h"

#include <QFontDatabase>
#include <QHash>
#include <QWidget>

namespace voltaris {

Qt::Alignment WidgetSite::qtAlignment(TAlignment a)
{
    switch (a) {
    case TAlignment::Right:
        return Qt::AlignRight;
    case TAlignment::Center:
        return Qt::AlignHCenter;
    case TAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QColor WidgetSite::qcolor(TColor c)
{
    switch (c) {
    case clr::BtnFace:
        return QColor(240, 240, 240);
    case clr::WindowText:
        return Qt::black;
    case clr::Window:
        return Qt::white;
    default:
        return QColor(int(redOf(c)), int(greenOf(c)), int(blueOf(c)));
    }
}

QFont WidgetSite::qfont(const TFont &f)
{
    // Fonts the machine lacks are replaced by the metric twins of the
    // design's fonts, not by whatever the system prefers. Each family is
    // looked up once: a missing one would cost a search of fallbacks for
    // every font made from it.
    static QHash<QString, QString> families;
    auto it = families.constFind(f.name);
    if (it == families.constEnd()) {
        const bool mono = f.name.contains(QLatin1String("Courier"));
        const QString family = QFontDatabase::hasFamily(f.name) ? f.name
            : mono                                              ? QStringLiteral("Liberation Mono")
                                                                : QStringLiteral("Liberation Sans");
        it = families.insert(f.name, family);
    }
    QFont q(*it);
    q.setStyleHint(
        f.name.contains(QLatin1String("Courier")) ? QFont::TypeWriter : QFont::SansSerif);
    q.setPixelSize(f.size);
    q.setBold(f.bold);
    return q;
}

// Without a tab stop a control still takes the focus by a click.
void WidgetSite::applyTabStop(TWinControl &control, QWidget *w, Prop what)
{
    if (what == Prop::TabStop && control.takesFocus())
        w->setFocusPolicy(control.tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace voltaris
