#include "qt/widgets.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QFile>
#include <QIconEngine>
#include <QMouseEvent>
#include <QMutex>
#include <QPainter>
#include <QRadioButton>
#include <QSvgRenderer>
#include <memory>
#include <unordered_map>

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

namespace {

// The pictures read and drawn so far. Filled by whichever thread asks
// first; the start-up's reader thread and the window may overlap.
class PictureStore {
public:
    QImage image(const QString &name, QSize pixels)
    {
        const QMutexLocker lock(&mutex_);
        QSvgRenderer *r = renderer(name);
        if (!r || pixels.isEmpty())
            return QImage();
        const QString key = name + QLatin1Char('@') + QString::number(pixels.width())
            + QLatin1Char('x') + QString::number(pixels.height());
        auto it = images_.constFind(key);
        if (it == images_.constEnd()) {
            QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            r->render(&p, QRectF(QPointF(), QSizeF(pixels)));
            p.end();
            it = images_.insert(key, image);
        }
        return *it;
    }

    QSize defaultSize(const QString &name)
    {
        const QMutexLocker lock(&mutex_);
        QSvgRenderer *r = renderer(name);
        return r ? r->defaultSize() : QSize();
    }

    QStringList names()
    {
        registerPictures();
        QStringList names;
        for (const QFileInfo &f : QDir(QStringLiteral(":/pictures")).entryInfoList(QDir::Files))
            names << f.completeBaseName();
        return names;
    }

private:
    // Null when there is no such picture; called with the mutex held.
    QSvgRenderer *renderer(const QString &name)
    {
        auto it = renderers_.find(name);
        if (it == renderers_.end()) {
            auto r = std::make_unique<QSvgRenderer>();
            if (!QFile::exists(picturePath(name)) || !r->load(picturePath(name)))
                r.reset();
            // Used by any thread from now on, never by events.
            if (r)
                r->moveToThread(nullptr);
            it = renderers_.emplace(name, std::move(r)).first;
        }
        return it->second.get();
    }

    QMutex mutex_;
    std::unordered_map<QString, std::unique_ptr<QSvgRenderer>> renderers_;
    QHash<QString, QImage> images_;
};

PictureStore &pictureStore()
{
    static PictureStore store;
    return store;
}

// The sizes at which the window system asks for a window's icon.
constexpr int WindowIconSizes[] = { 16, 32, 64, 128 };

// Draws a picture at the size an icon is asked for, centred and in its
// proportions; the disabled state from "<name>_disabled" where there is one,
// else as Qt greys any icon.
class PictureIconEngine : public QIconEngine {
public:
    explicit PictureIconEngine(const QString &name)
        : name_(name)
    { }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const QSize own = pictureStore().defaultSize(name_);
        return own.isEmpty() ? QSize() : own.scaled(size, Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return draw(actualSize(size, mode, state), mode, state);
    }

    // The rectangle comes fitted to the picture's proportions.
    void paint(QPainter *p, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = p->device() ? p->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = draw(rect.size() * ratio, mode, state);
        if (pm.isNull())
            return;
        pm.setDevicePixelRatio(ratio);
        p->drawPixmap(rect.topLeft(), pm);
    }

    bool isNull() override { return pictureStore().defaultSize(name_).isEmpty(); }
    QString key() const override { return QStringLiteral("voltaris-picture"); }
    QIconEngine *clone() const override { return new PictureIconEngine(name_); }

private:
    QPixmap draw(QSize pixels, QIcon::Mode mode, QIcon::State state) const
    {
        if (pixels.isEmpty())
            return QPixmap();
        if (mode == QIcon::Disabled) {
            const QImage own = pictureImage(name_ + QStringLiteral("_disabled"), pixels);
            if (!own.isNull())
                return QPixmap::fromImage(own);
        }
        QPixmap pm = QPixmap::fromImage(pictureImage(name_, pixels));
        if (mode != QIcon::Normal && !pm.isNull())
            pm = QIcon(pm).pixmap(pixels, 1.0, mode, state);
        return pm;
    }

    QString name_;
};

} // namespace

QImage pictureImage(const QString &name, QSize pixels)
{
    return pictureStore().image(name, pixels);
}

QIcon pictureIcon(const QString &name)
{
    return QIcon(new PictureIconEngine(name));
}

void preparePictures()
{
    PictureStore &store = pictureStore();
    for (const QString &name : store.names()) {
        store.image(name, store.defaultSize(name));
        if (name == QLatin1String("voltaris"))
            for (int size : WindowIconSizes)
                store.image(name, QSize(size, size));
    }
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
        const QImage image = pictureImage(name_, pixels);
        if (image.isNull())
            return;
        cache_ = QPixmap::fromImage(image);
        cache_.setDevicePixelRatio(ratio);
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

} // namespace voltaris
