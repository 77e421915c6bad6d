#include "qt/formview.h"

#include "qt/datepickerwidget.h"
#include "qt/spinfloateditwidget.h"
#include "qt/stringgridwidget.h"
#include "qt/widgets.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <utility>

namespace voltaris {

namespace {

Qt::Alignment qtAlignment(TAlignment a)
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

TShiftState shiftOf(Qt::KeyboardModifiers m)
{
    TShiftState s;
    s.shift = m & Qt::ShiftModifier;
    s.ctrl = m & Qt::ControlModifier;
    s.alt = m & Qt::AltModifier;
    return s;
}

// A label that reacts to a click (the logo) as a picture does: on the
// release of the left button over it.
class LabelClick : public QObject {
public:
    LabelClick(TLabel &label, QObject *parent)
        : QObject(parent)
        , label_(label)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        auto *w = static_cast<QWidget *>(watched);
        if (e->type() == QEvent::MouseButtonPress)
            pressed_ = static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton;
        if (e->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(e);
            const bool click = pressed_ && me->button() == Qt::LeftButton
                && w->rect().contains(me->position().toPoint());
            pressed_ = false;
            if (click)
                label_.click();
        }
        return false;
    }

private:
    TLabel &label_;
    bool pressed_ = false;
};

// A push button's mnemonic (Alt+E for "&Eintragen") clicks it where the
// focus is; Qt would move the focus onto the button first.
class MnemonicClick : public QObject {
public:
    MnemonicClick(TButtonControl &button, QObject *parent)
        : QObject(parent)
        , button_(button)
    { }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::Shortcut)
            return false;
        button_.click();
        return true;
    }

private:
    TButtonControl &button_;
};

} // namespace

int virtualKey(int k)
{
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
        return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
        return vk::Menu;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    default:
        return 0;
    }
}

QChar typedChar(const QKeyEvent &e)
{
    switch (e.key()) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QChar(9);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
        return QChar(char16_t(e.key() - Qt::Key_A + 1));
    const QString t = e.text();
    if (t.size() == 1 && (t[0].unicode() >= 32 || t[0].unicode() == 8))
        return t[0];
    return QChar();
}

QColor FormView::qcolor(TColor c)
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

QFont FormView::qfont(const TFont &f)
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

FormView::FormView(TForm &form, QWidget *parent, const std::vector<WidgetFactory> &extraFactories)
    : QWidget(parent)
    , form_(form)
    , factories_(extraFactories)
{
    for (WidgetFactory f :
        { createSpinFloatEditWidget, createStringGridWidget, createDatePickerWidget })
        factories_.push_back(f);
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
            if (auto *l = qobject_cast<QLabel *>(w))
                fitLabel(static_cast<TLabel &>(*c), l);
            else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
                fitMemo(static_cast<TMemo &>(*c), m);
        }
        build(*c, w);
    }
}

QWidget *FormView::create(TControl &c, QWidget *parent)
{
    for (const WidgetFactory &f : factories_)
        if (QWidget *w = f(c, parent, *this))
            return w;

    if (auto *e = dynamic_cast<TEdit *>(&c)) {
        auto *w = new QLineEdit(parent);
        w->setFrame(true);
        connect(w, &QLineEdit::textEdited, this, [this, e, w](const QString &text) {
            if (syncing())
                return;
            const int start = w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
            const int length = w->hasSelectedText() ? int(w->selectedText().size()) : 0;
            e->userEdited(text, start, length);
        });
        // The key filters look at the selection: caret moves and mouse
        // selections reach the control as they happen.
        const auto selection = [this, e, w] {
            if (syncing() || w->text() != e->text())
                return;
            if (w->hasSelectedText())
                e->setSelection(w->selectionStart(), int(w->selectedText().size()));
            else
                e->setSelection(w->cursorPosition(), 0);
        };
        connect(w, &QLineEdit::selectionChanged, this, selection);
        connect(w, &QLineEdit::cursorPositionChanged, this, selection);
        route(w, *e);
        return w;
    }
    if (auto *m = dynamic_cast<TMemo *>(&c)) {
        auto *w = new QPlainTextEdit(parent);
        w->setReadOnly(m->readOnly);
        w->setLineWrapMode(m->wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        if (!m->scrollBars) {
            w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        w->setFrameShape(QFrame::NoFrame);
        route(w, *m);
        return w;
    }
    if (auto *r = dynamic_cast<TRadioButton *>(&c)) {
        auto *w = new QRadioButton(parent);
        w->setAutoExclusive(false);
        installAccessibleFactory();
        connect(w, &QRadioButton::clicked, this, [this, r, w] {
            r->click();
            SyncGuard g(*this);
            w->setChecked(r->checked());
        });
        route(w, *r);
        return w;
    }
    if (dynamic_cast<TGroupBox *>(&c))
        return new GroupBoxWidget(parent);
    if (auto *p = dynamic_cast<TPanel *>(&c)) {
        auto *w = new QFrame(parent);
        w->setFrameStyle(QFrame::Panel | (p->lowered ? QFrame::Sunken : QFrame::Raised));
        w->setLineWidth(1);
        return w;
    }
    if (auto *b = dynamic_cast<TSpeedButton *>(&c)) {
        auto *w = new QToolButton(parent);
        w->setAutoRaise(b->flat);
        w->setFocusPolicy(Qt::NoFocus);
        w->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        connect(w, &QToolButton::clicked, this, [b] { b->click(); });
        return w;
    }
    if (auto *b = dynamic_cast<TBitBtn *>(&c)) {
        auto *w = new QPushButton(parent);
        w->setAutoDefault(false);
        connect(w, &QPushButton::clicked, this, [b] { b->click(); });
        w->installEventFilter(new MnemonicClick(*b, w));
        route(w, *b);
        return w;
    }
    if (auto *cb = dynamic_cast<TComboBox *>(&c)) {
        auto *w = new QComboBox(parent);
        w->setEditable(true);
        w->setInsertPolicy(QComboBox::NoInsert);
        connect(w, &QComboBox::editTextChanged, this, [this, cb](const QString &text) {
            if (!syncing())
                cb->userEdited(text);
        });
        route(w, *cb);
        if (w->lineEdit())
            route(w->lineEdit(), *cb);
        return w;
    }
    if (auto *l = dynamic_cast<TLabel *>(&c)) {
        auto *w = new QLabel(parent);
        w->setTextFormat(Qt::PlainText);
        w->setAutoFillBackground(!l->transparent);
        if (l->OnClick)
            w->installEventFilter(new LabelClick(*l, w));
        return w;
    }
    if (auto *i = dynamic_cast<TImage *>(&c)) {
        auto *w = new PictureWidget(parent);
        w->clickable = bool(i->OnClick);
        connect(w, &PictureWidget::clicked, this, [i] { i->click(); });
        return w;
    }
    if (dynamic_cast<TShape *>(&c)) {
        auto *w = new QWidget(parent);
        w->setAutoFillBackground(true);
        return w;
    }
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

// The window's fonts measure a few pixels wider than the design's: a label
// grows away from its aligned edge instead of cutting its text.
void FormView::fitLabel(const TLabel &label, QLabel *w)
{
    if (label.fixedSize) {
        w->setGeometry(label.left(), label.top(), label.width(), label.height());
        return;
    }
    const int needed = QFontMetrics(w->font()).horizontalAdvance(label.text()) + 1;
    QRect r(label.left(), label.top(), std::max(label.width(), needed), label.height());
    if (r.width() > label.width()) {
        if (label.alignment() == TAlignment::Right)
            r.moveRight(label.left() + label.width() - 1);
        else if (label.alignment() == TAlignment::Center)
            r.moveLeft(label.left() - (r.width() - label.width()) / 2);
    }
    w->setGeometry(r);
}

// A memo without scroll bars must show its whole text: where the window's
// font wraps it into more lines than fit, the font shrinks a pixel at a time.
void FormView::fitMemo(const TMemo &memo, QPlainTextEdit *w)
{
    if (memo.scrollBars)
        return;
    QFont font = qfont(memo.font());
    const int margin = 2 * int(w->document()->documentMargin()) + 2 * w->frameWidth();
    const QRect area(0, 0, memo.width() - margin, 100000);
    const int flags = memo.wordWrap ? Qt::TextWordWrap : 0;
    const QString text = w->toPlainText();
    while (font.pixelSize() > 8
        && QFontMetrics(font).boundingRect(area, flags, text).height() > memo.height() - margin)
        font.setPixelSize(font.pixelSize() - 1);
    w->setFont(font);
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
    else
        syncBuiltin(c, w, what);
}

void FormView::syncBuiltin(TControl &c, QWidget *w, Prop what)
{
    // Without a tab stop a control still takes the focus by a click.
    if (auto *wc = dynamic_cast<TWinControl *>(&c); wc && what == Prop::TabStop && wc->takesFocus())
        w->setFocusPolicy(wc->tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    if (auto *le = qobject_cast<QLineEdit *>(w)) {
        auto &e = static_cast<TEdit &>(c);
        switch (what) {
        case Prop::Text:
            if (le->text() != e.text())
                le->setText(e.text());
            [[fallthrough]];
        case Prop::Selection:
            if (e.selLength() > 0)
                le->setSelection(e.selStart(), e.selLength());
            else
                le->setCursorPosition(e.selStart());
            break;
        case Prop::ReadOnly:
            le->setReadOnly(e.readOnly());
            break;
        case Prop::Alignment:
            le->setAlignment(qtAlignment(e.alignment()) | Qt::AlignVCenter);
            break;
        default:
            break;
        }
        return;
    }
    if (auto *l = qobject_cast<QLabel *>(w)) {
        auto &lab = static_cast<TLabel &>(c);
        if (what == Prop::Text)
            l->setText(lab.text());
        else if (what == Prop::Alignment)
            l->setAlignment(qtAlignment(lab.alignment()) | Qt::AlignTop);
        if (!building_
            && (what == Prop::Text || what == Prop::Font || what == Prop::Bounds
                || what == Prop::Alignment))
            fitLabel(lab, l);
        return;
    }
    if (auto *g = qobject_cast<GroupBoxWidget *>(w)) {
        if (what == Prop::Text)
            g->setTitle(c.text());
        return;
    }
    if (auto *r = qobject_cast<QRadioButton *>(w)) {
        auto &rb = static_cast<TRadioButton &>(c);
        if (what == Prop::Checked)
            r->setChecked(rb.checked());
        return;
    }
    if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        auto &bc = static_cast<TButtonControl &>(c);
        if (what == Prop::Text)
            b->setText(bc.text());
        else if (what == Prop::Picture && !bc.picture().isEmpty()) {
            b->setIcon(pictureIcon(bc.picture()));
            b->setIconSize(QSize(qMax(16, bc.width() - 4), qMax(16, bc.height() - 4)));
            if (qobject_cast<QPushButton *>(w))
                b->setIconSize(QSize(18, 18));
        }
        return;
    }
    if (auto *cb = qobject_cast<QComboBox *>(w)) {
        auto &box = static_cast<TComboBox &>(c);
        if (what == Prop::Items) {
            cb->clear();
            cb->addItems(box.items());
            cb->setEditText(box.text());
        } else if (what == Prop::Text && cb->currentText() != box.text())
            cb->setEditText(box.text());
        return;
    }
    if (auto *pt = qobject_cast<QPlainTextEdit *>(w)) {
        if (what == Prop::Text)
            pt->setPlainText(QString(c.text()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        if (!building_ && (what == Prop::Text || what == Prop::Font || what == Prop::Bounds))
            fitMemo(static_cast<TMemo &>(c), pt);
        return;
    }
    if (auto *pw = qobject_cast<PictureWidget *>(w)) {
        if (what == Prop::Picture)
            pw->setPicture(static_cast<TImage &>(c).picture());
        return;
    }
}

void FormView::syncForm(Prop what)
{
    switch (what) {
    case Prop::Text:
        setWindowTitle(form_.text());
        break;
    case Prop::Bounds: {
        const int bw = form_.borderWidth;
        const QSize client = clientExtent();
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
            placeWindow();
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

// The client area is as wide as its widest control: the main window's design
// places its meter area 12 pixels past the nominal client width, inside the
// frame the design's outer width leaves for it. Its height is the user's: a
// lower window cuts the bottom off.
QSize FormView::clientExtent() const
{
    int w = form_.clientWidth();
    for (const TControl *c : form_.children())
        w = std::max(w, c->left() + c->width());
    return QSize(w, form_.clientHeight());
}

void FormView::placeWindow()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Before its first showing a window does not know its frame yet: take the
    // owner's frame as the estimate.
    QSize frame = frameGeometry().size();
    if (frame == size()) {
        const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
        if (owner)
            frame += owner->frameGeometry().size() - owner->size();
    }
    switch (form_.position) {
    case TPosition::Designed:
        if (!placed_)
            move(form_.screenLeft(), form_.screenTop());
        break;
    case TPosition::ScreenCenter:
        if (!placed_)
            move(avail.center() - QPoint(frame.width() / 2, frame.height() / 2));
        break;
    case TPosition::MainFormCenter: {
        // Centred over the main window at each showing, never off the top
        // left of the screen.
        const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
        const QRect o = owner ? owner->frameGeometry() : avail;
        const int x = std::max(0, o.x() + (o.width() - frame.width()) / 2);
        const int y = std::max(0, o.y() + (o.height() - frame.height()) / 2);
        move(x, y);
        break;
    }
    }
    placed_ = true;
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
        return keyPress(*control, static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease: {
        // Only the release of a key pressed in this window: the one that
        // closed a message box is not the control's.
        auto *ke = static_cast<QKeyEvent *>(event);
        if (!ke->isAutoRepeat() && pressed_.remove(ke->key()) && form_.activeControl() == control)
            form_.userKeyUp(virtualKey(ke->key()), shiftOf(ke->modifiers()));
        break;
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

bool FormView::keyPress(TWinControl &control, QWidget *w, QKeyEvent *e)
{
    if (form_.activeControl() != &control)
        form_.app().handle([&] { form_.setFocusTo(&control); });
    const TShiftState shift = shiftOf(e->modifiers());
    const int key = virtualKey(e->key());
    if (form_.userKeyDown(key, shift))
        return true;
    if (dynamic_cast<TButtonControl *>(&control) && key == vk::Return) {
        control.click(); // a focused push button takes Enter itself
        return true;
    }
    const QChar ch = typedChar(*e);
    if (ch.isNull())
        return false; // Delete, arrows, Home...: the widget edits
    auto *edit = dynamic_cast<TEdit *>(&control);
    const QString before = edit ? edit->text() : QString();
    const QChar k = form_.userKeyPress(ch);
    if (k.isNull())
        return true;
    if (edit && edit->text() != before)
        return true; // the control rewrote its text itself
    if (k != ch && edit && k.unicode() >= 32) {
        QString text = edit->text();
        const int start = edit->selStart();
        text.replace(start, edit->selLength(), k);
        edit->userEdited(text, start + 1, 0);
        return true;
    }
    const char16_t code = k.unicode();
    if (code == 9 || code == 13 || code == 27)
        return true;
    // The clipboard keys: the control may refuse to cut or paste.
    if (edit && ((code == 22 && !edit->canPaste()) || (code == 24 && !edit->canCut())))
        return true;
    Q_UNUSED(w);
    return false;
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
    const int extra = clientExtent().width() - form_.clientWidth();
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
