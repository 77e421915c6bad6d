#include "qt/formview.h"

#include "qt/keymap.h"
#include "qt/widgetfactories.h"
#include "qt/widgets.h"
#include "qt/windowplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace voltaris {

FormView::FormView(TForm &form, QWidget *parent, const std::vector<WidgetFactory> &extraFactories)
    : QWidget(parent)
    , form_(form)
    , factories_(extraFactories)
{
    const std::vector<WidgetFactory> &builtin = builtinWidgetFactories();
    factories_.insert(factories_.end(), builtin.begin(), builtin.end());
    setObjectName(form.name());
    setAttribute(Qt::WA_DeleteOnClose, false);
    Qt::WindowFlags flags = parent ? Qt::Dialog : Qt::Window;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (form.borderIcons.systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form.borderIcons.maximize && form.borderStyle == TBorderStyle::Sizeable)
        flags |= Qt::WindowMaximizeButtonHint;
    if (form.borderIcons.minimize && form.borderStyle == TBorderStyle::Sizeable)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    if (!form.icon.isEmpty())
        setWindowIcon(pictureIcon(form.icon));

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    form.setObserver(this);
    {
        SyncGuard g(*this);
        for (Prop p : { Prop::Text, Prop::Bounds, Prop::Color, Prop::Font })
            syncForm(p);
    }
    build(form, client_);
    bindTimers();
}

FormView::~FormView()
{
    form_.setObserver(nullptr);
    for (auto it = widgets_.begin(); it != widgets_.end(); ++it)
        const_cast<TControl *>(it.key())->setObserver(nullptr);
    for (TTimer *t : form_.timers())
        t->onStateChanged = nullptr;
}

QWidget *FormView::widgetFor(const TControl &control) const
{
    if (&control == &form_)
        return const_cast<FormView *>(this);
    return widgets_.value(&control);
}

TControl *FormView::controlFor(const QWidget *widget) const
{
    return controls_.value(widget);
}

void FormView::build(TControl &parent, QWidget *parentWidget)
{
    for (TControl *c : parent.children()) {
        QWidget *w = create(*c, parentWidget);
        if (!w)
            continue;
        w->setObjectName(c->name());
        // A screen reader names an input by its label, else by its hint;
        // the inner editor that takes the focus is named too.
        for (QWidget *named : { w, w->focusProxy() }) {
            if (!named)
                continue;
            if (!c->accessibleName.isEmpty())
                named->setAccessibleName(c->accessibleName);
            else if (dynamic_cast<TEdit *>(c) && !c->hint().isEmpty())
                named->setAccessibleName(c->hint());
            if (!c->accessibleDescription.isEmpty())
                named->setAccessibleDescription(c->accessibleDescription);
        }
        widgets_.insert(c, w);
        controls_.insert(w, c);
        c->setObserver(this);
        {
            // Font and colours are applied together; a label or memo is
            // fitted to its text once all else is in place.
            SyncGuard g(*this);
            building_ = true;
            for (Prop p : { Prop::Bounds, Prop::Font, Prop::Text, Prop::Enabled, Prop::Visible,
                     Prop::ReadOnly, Prop::TabStop, Prop::Checked, Prop::Date, Prop::Hint,
                     Prop::Items, Prop::Picture, Prop::Cursor, Prop::Alignment })
                changed(*c, p);
            building_ = false;
            if (auto *b = dynamic_cast<BoundWidget *>(w))
                b->built();
        }
        build(*c, w);
    }
}

QWidget *FormView::create(TControl &c, QWidget *parent)
{
    for (const WidgetFactory &f : factories_)
        if (QWidget *w = f(c, parent, *this))
            return w;
    return nullptr;
}

void FormView::route(QWidget *widget, TWinControl &control)
{
    routed_.insert(widget, &control);
    widget->installEventFilter(this);
}

void FormView::applyCommon(TControl &c, QWidget *w, Prop what)
{
    switch (what) {
    case Prop::Bounds:
        w->setGeometry(c.left(), c.top(), c.width(), c.height());
        break;
    case Prop::Enabled:
        w->setEnabled(c.enabled());
        break;
    case Prop::Visible:
        w->setVisible(c.visible());
        break;
    case Prop::Font:
    case Prop::Color: {
        w->setFont(qfont(c.font()));
        QPalette pal = w->palette();
        const QColor bg = qcolor(c.color());
        const QColor fg = qcolor(c.font().color);
        for (QPalette::ColorGroup g :
            { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
            pal.setColor(g, QPalette::Window, bg);
            pal.setColor(g, QPalette::Base, bg);
            pal.setColor(g, QPalette::Button, bg);
        }
        for (QPalette::ColorGroup g : { QPalette::Active, QPalette::Inactive }) {
            pal.setColor(g, QPalette::WindowText, fg);
            pal.setColor(g, QPalette::Text, fg);
            pal.setColor(g, QPalette::ButtonText, fg);
        }
        // Disabled text is greyed as the platform does, on the control's own
        // background.
        pal.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
        pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(109, 109, 109));
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(109, 109, 109));
        w->setPalette(pal);
        break;
    }
    case Prop::Hint:
        w->setToolTip(c.showHint() ? c.hint() : QString());
        break;
    case Prop::Cursor:
        if (c.cursor() == TCursor::HandPoint)
            w->setCursor(Qt::PointingHandCursor);
        else
            w->unsetCursor();
        break;
    default:
        break;
    }
}

void FormView::changed(TControl &c, Prop what)
{
    if (&c == &form_) {
        syncForm(what);
        return;
    }
    QWidget *w = widgets_.value(&c);
    if (!w)
        return;
    SyncGuard g(*this);
    applyCommon(c, w, what);
    if (auto *b = dynamic_cast<BoundWidget *>(w))
        b->sync(what);
}

void FormView::syncForm(Prop what)
{
    switch (what) {
    case Prop::Text:
        setWindowTitle(form_.text());
        break;
    case Prop::Bounds: {
        const int bw = form_.borderWidth;
        const QSize client = clientExtent(form_);
        const QSize size(client.width() + 2 * bw, client.height() + 2 * bw);
        client_->setGeometry(bw, bw, client.width(), client.height());
        if (form_.borderStyle == TBorderStyle::Dialog) {
            setFixedSize(size);
        } else {
            const auto &k = form_.constraints;
            // The limits are the outer frame's; the frame itself is the
            // difference between the design's outer and client sizes.
            const int frameW = form_.outerWidth ? form_.outerWidth - size.width() : 0;
            const int frameH = form_.outerHeight ? form_.outerHeight - size.height() : 0;
            setMinimumSize(
                k.minWidth ? k.minWidth - frameW : 0, k.minHeight ? k.minHeight - frameH : 0);
            setMaximumSize(k.maxWidth ? k.maxWidth - frameW : QWIDGETSIZE_MAX,
                k.maxHeight ? k.maxHeight - frameH : QWIDGETSIZE_MAX);
            if (this->size() != size && !syncing())
                resize(size);
            else if (!isVisible())
                resize(size);
        }
        if (form_.position == TPosition::Designed && !placed_)
            move(form_.screenLeft(), form_.screenTop());
        break;
    }
    case Prop::Color:
    case Prop::Font: {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, qcolor(form_.color()));
        pal.setColor(QPalette::WindowText, qcolor(form_.font().color));
        setPalette(pal);
        setAutoFillBackground(true);
        setFont(qfont(form_.font()));
        break;
    }
    case Prop::Visible:
        if (form_.visible()) {
            placeWindow(*this, form_, placed_);
            placed_ = true;
            show();
            raise();
            activateWindow();
            syncFocus();
        } else {
            hide();
        }
        break;
    case Prop::Raise:
        raise();
        activateWindow();
        break;
    case Prop::Focus:
        syncFocus();
        break;
    default:
        break;
    }
}

void FormView::syncFocus()
{
    TWinControl *active = form_.activeControl();
    QWidget *w = active ? widgets_.value(active) : nullptr;
    if (!w || !isVisible())
        return;
    if (QWidget *proxy = w->focusProxy())
        w = proxy;
    if (!w->hasFocus()) {
        SyncGuard g(*this);
        w->setFocus(Qt::OtherFocusReason);
    }
}

void FormView::bindTimers()
{
    for (TTimer *t : form_.timers()) {
        auto q = std::make_unique<QTimer>();
        QTimer *qt = q.get();
        connect(qt, &QTimer::timeout, this, [t] { t->tick(); });
        t->onStateChanged = [qt](TTimer &timer) {
            if (timer.enabled())
                qt->start(timer.interval());
            else
                qt->stop();
        };
        if (t->enabled())
            qt->start(t->interval());
        timers_.push_back(std::move(q));
    }
}

bool FormView::eventFilter(QObject *watched, QEvent *event)
{
    TWinControl *control = routed_.value(watched);
    if (!control)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::MouseFocusReason)
            mouseFocusFor_ = watched;
        if (syncing() || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        if (form_.activeControl() != control) {
            form_.app().handle([&] { form_.setFocusTo(control, reason == Qt::MouseFocusReason); });
            // An exit handler may have kept the focus where it was.
            QTimer::singleShot(0, this, [this] { syncFocus(); });
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Without a window manager nothing activates a window again once a
        // message box has closed: Qt then moves its focus silently, without
        // the focus event that would tell the form (which comes before the
        // press when there is one).
        const bool told = std::exchange(mouseFocusFor_, nullptr) == watched;
        if (isActiveWindow())
            break;
        activateWindow();
        auto *w = static_cast<QWidget *>(watched);
        if (!told && (w->focusPolicy() & Qt::ClickFocus) && w->isEnabled() && control->canFocus()
            && form_.activeControl() != control) {
            form_.app().handle([&] { form_.setFocusTo(control, true); });
            QTimer::singleShot(0, this, [this] { syncFocus(); });
        }
        break;
    }
    case QEvent::KeyPress:
        pressed_.insert(static_cast<QKeyEvent *>(event)->key());
        return keyPress(*control, watched, static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease: {
        // Only the release of a key pressed in this window: the one that
        // closed a message box is not the control's.
        auto *ke = static_cast<QKeyEvent *>(event);
        if (!ke->isAutoRepeat() && pressed_.remove(ke->key()) && form_.activeControl() == control)
            form_.userKeyUp(virtualKey(*ke), shiftOf(ke->modifiers()));
        break;
    }
    case QEvent::InputMethod: {
        // What an input method puts in (a dead key's composition, ibus) comes
        // without the key presses that made it.
        auto *e = static_cast<QInputMethodEvent *>(event);
        if (committing_ || e->commitString().isEmpty())
            break;
        if (typeText(*control, watched, e->commitString(), e))
            form_.userKeyUp(vk::Packet, TShiftState());
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool FormView::event(QEvent *event)
{
    // A modal box takes the keys that follow; what was pressed before it
    // opened is released there.
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)
        pressed_.clear();
    return QWidget::event(event);
}

bool FormView::keyPress(TWinControl &control, QObject *target, QKeyEvent *e)
{
    if (form_.activeControl() != &control)
        form_.app().handle([&] { form_.setFocusTo(&control); });
    const TShiftState shift = shiftOf(e->modifiers());
    const int key = virtualKey(*e);
    if (form_.userKeyDown(key, shift))
        return true;
    if (dynamic_cast<TButtonControl *>(&control) && key == vk::Return) {
        control.click(); // a focused push button takes Enter itself
        return true;
    }
    const QChar ch = typedChar(*e);
    if (ch.isNull() && isText(e->text())) {
        // Several characters from one key (a composition, a character beyond
        // the basic plane): each passes the key filter on its own.
        typeText(control, target, e->text());
        return true;
    }
    if (ch.isNull())
        return false; // Delete, arrows, Home...: the widget edits
    auto *edit = dynamic_cast<TEdit *>(&control);
    const QString before = edit ? edit->text() : QString();
    const QChar k = form_.userKeyPress(ch);
    if (k.isNull())
        return true;
    if (edit && edit->text() != before)
        return true; // the control rewrote its text itself
    if (k != ch && edit && k.unicode() >= keychar::FirstPrintable) {
        QString text = edit->text();
        const int start = edit->selStart();
        text.replace(start, edit->selLength(), k);
        edit->userEdited(text, start + 1, 0);
        return true;
    }
    const char16_t code = k.unicode();
    if (code == keychar::Tab || code == keychar::Return || code == keychar::Escape)
        return true;
    // The clipboard keys: the control may refuse to cut or paste.
    if (edit
        && ((code == keychar::CtrlV && !edit->canPaste())
            || (code == keychar::CtrlX && !edit->canCut())))
        return true;
    return false;
}

bool FormView::isText(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= keychar::FirstPrintable && c.unicode() != 0x7f;
    });
}

bool FormView::typeText(
    TWinControl &control, QObject *target, const QString &text, const QInputMethodEvent *from)
{
    if (form_.activeControl() != &control)
        form_.app().handle([&] { form_.setFocusTo(&control); });
    auto *edit = dynamic_cast<TEdit *>(&control);
    const QScopedValueRollback<bool> committing(committing_, true);
    // The widget takes what passes as an input method's text, in place of
    // its selection; the first part also replaces what the method asked for.
    bool typed = false, replaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        // A character beyond the basic plane is filtered by its first half
        // and put in whole.
        const qsizetype n
            = ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QString whole = text.mid(i, n);
        i += n - 1;
        if (!isText(whole))
            continue;
        const QString before = edit ? edit->text() : QString();
        const QChar k = form_.userKeyPress(ch);
        if (edit && edit->text() != before) {
            typed = true; // the control rewrote its text itself
            continue;
        }
        if (k.isNull() || k.unicode() < keychar::FirstPrintable)
            continue;
        QInputMethodEvent e;
        if (from && !replaced)
            e.setCommitString(
                k == ch ? whole : QString(k), from->replacementStart(), from->replacementLength());
        else
            e.setCommitString(k == ch ? whole : QString(k));
        replaced = true;
        QCoreApplication::sendEvent(target, &e);
        typed = true;
    }
    // The composition that goes on after the commit.
    if (from) {
        QInputMethodEvent rest(from->preeditString(), from->attributes());
        QCoreApplication::sendEvent(target, &rest);
    }
    return typed;
}

void FormView::closeEvent(QCloseEvent *event)
{
    if (!form_.visible()) {
        event->accept();
        return;
    }
    if (form_.userClose())
        event->accept();
    else
        event->ignore();
}

void FormView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (syncing())
        return;
    const int bw = form_.borderWidth;
    const int extra = clientExtent(form_).width() - form_.clientWidth();
    const int cw = width() - 2 * bw - extra, ch = height() - 2 * bw;
    if (cw != form_.clientWidth() || ch != form_.clientHeight())
        form_.userResized(cw, ch);
}

void FormView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Back from a message box, Qt restores the widget focused before it; the
    // form may have moved its focus meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, [this] { syncFocus(); });
}

void FormView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!form_.visible())
        form_.app().handle([&] { form_.show(); });
    syncFocus();
}

} // namespace voltaris
