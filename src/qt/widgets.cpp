#include "qt/widgets.h"

#include <QAccessibleWidget>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
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

namespace {

// A picture: a button when a click does something, else a graphic.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureWidget *w)
        : QAccessibleWidget(w, w->clickable ? QAccessible::Button : QAccessible::Graphic)
    { }
    QStringList actionNames() const override
    {
        return picture()->clickable ? QStringList { pressAction() } : QStringList();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && picture()->clickable)
            picture()->press();
    }

private:
    PictureWidget *picture() const { return static_cast<PictureWidget *>(widget()); }
};

// A group box: a grouping named by its caption.
class GroupBoxAccessible : public QAccessibleWidget {
public:
    explicit GroupBoxAccessible(GroupBoxWidget *w)
        : QAccessibleWidget(w, QAccessible::Grouping)
    { }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<GroupBoxWidget *>(widget())->title().trimmed();
        return own;
    }
};

// A radio button of a pair: the form keeps the pair exclusive itself, so Qt
// would take the button for a check box.
class RadioAccessible : public QAccessibleWidget {
public:
    explicit RadioAccessible(QRadioButton *w)
        : QAccessibleWidget(w, QAccessible::RadioButton)
    { }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = radio()->isChecked();
        return s;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && radio()->isEnabled())
            radio()->click();
    }

private:
    QRadioButton *radio() const { return static_cast<QRadioButton *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *r = qobject_cast<QRadioButton *>(object))
        return new RadioAccessible(r);
    if (auto *p = qobject_cast<PictureWidget *>(object))
        return new PictureAccessible(p);
    if (auto *g = qobject_cast<GroupBoxWidget *>(object))
        return new GroupBoxAccessible(g);
    return nullptr;
}

} // namespace

void installAccessibleFactory()
{
    static const bool done = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(done);
}

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
    installAccessibleFactory();
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void PictureWidget::setPicture(const QString &name)
{
    name_ = name;
    cache_ = QPixmap();
    update();
}

void PictureWidget::paintEvent(QPaintEvent *)
{
    if (name_.isEmpty())
        return;
    // Drawn once for the widget's size and the screen's pixel ratio, so that
    // repainting does not read the picture again.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (cache_.size() != pixels || cache_.devicePixelRatio() != ratio) {
        QSvgRenderer renderer(picturePath(name_));
        if (!renderer.isValid())
            return;
        cache_ = QPixmap(pixels);
        cache_.setDevicePixelRatio(ratio);
        cache_.fill(Qt::transparent);
        QPainter p(&cache_);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(rect()));
    }
    QPainter(this).drawPixmap(0, 0, cache_);
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
{
    installAccessibleFactory();
}

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
