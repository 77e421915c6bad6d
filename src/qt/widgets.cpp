#include "qt/widgets.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

// The pictures live in a static library, whose resources the linker would
// drop unless registered explicitly.
static void registerPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(voltaris);
        return true;
    }();
    Q_UNUSED(done);
}

namespace voltaris {

QString picturePath(const QString &name)
{
    registerPictures();
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".svg");
}

QIcon pictureIcon(const QString &name)
{
    QIcon icon;
    if (QFile::exists(picturePath(name)))
        icon.addFile(picturePath(name), QSize(), QIcon::Normal);
    const QString disabled = picturePath(name + QStringLiteral("_disabled"));
    if (QFile::exists(disabled))
        icon.addFile(disabled, QSize(), QIcon::Disabled);
    return icon;
}

PictureWidget::PictureWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void PictureWidget::setPicture(const QString &name)
{
    name_ = name;
    update();
}

void PictureWidget::paintEvent(QPaintEvent *)
{
    if (name_.isEmpty())
        return;
    QSvgRenderer renderer(picturePath(name_));
    if (!renderer.isValid())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(rect()));
}

void PictureWidget::mousePressEvent(QMouseEvent *e)
{
    pressed_ = e->button() == Qt::LeftButton;
}

void PictureWidget::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->pos());
    pressed_ = false;
    if (click)
        Q_EMIT clicked();
}

GroupBoxWidget::GroupBoxWidget(QWidget *parent)
    : QWidget(parent)
{ }

void GroupBoxWidget::setTitle(const QString &title)
{
    title_ = title;
    update();
}

void GroupBoxWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    const int y = fm.height() / 2;
    const QRect frame(0, y, width() - 2, height() - y - 2);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.translated(1, 1));
    if (title_.isEmpty())
        return;
    const QRect text(8, 0, fm.horizontalAdvance(title_), fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, title_);
}

} // namespace voltaris
