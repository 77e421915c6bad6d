#include "qt/spinfloateditwidget.h"

#include "qt/widgets.h"
#include "ui/FlEdit.h"
#include "ui/Spin.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleOption>
#include <algorithm>

namespace voltaris {

namespace {

TMouseButton mouseButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton:
        return TMouseButton::Right;
    case Qt::MiddleButton:
        return TMouseButton::Middle;
    default:
        return TMouseButton::Left;
    }
}

bool knownMouseButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}

// The glyphs "SpinUp" and "SpinDown": 9 x 6 pixels, a filled triangle of
// rows 1, 3, 5 and 7 pixels wide between a blank top and bottom row; what is
// not triangle stays transparent.
void drawSpinGlyph(QPainter &p, QPoint origin, bool up, const QColor &color)
{
    for (int row = 0; row < 4; ++row) {
        const int width = 2 * (up ? row : 3 - row) + 1;
        p.fillRect(origin.x() + (9 - width) / 2, origin.y() + 1 + row, width, 1, color);
    }
}

// A line edit whose style options can be asked for its text rectangle.
class TextLine : public QLineEdit {
public:
    using QLineEdit::initStyleOption;
    using QLineEdit::QLineEdit;
};

} // namespace

// --- SpinArrowButton -------------------------------------------------------

SpinArrowButton::SpinArrowButton(TTimerSpeedButton &model, QWidget *parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName(model.name());
    setAccessibleName(model.name() == QLatin1String("ButtonDown") ? QStringLiteral("weniger")
                                                                  : QStringLiteral("mehr"));
    setFocusPolicy(Qt::NoFocus);
    // The button face stays the system's, whatever colour the edit has.
    setPalette(QApplication::palette());
}

void SpinArrowButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.palette = QApplication::palette();
    opt.state |= model_.down() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);

    const QString &glyph = model_.picture();
    const bool builtIn = glyph == QLatin1String("SpinUp") || glyph == QLatin1String("SpinDown");
    // Centred; a pressed button moves its glyph one pixel right and down.
    const QPoint shift = model_.down() ? QPoint(1, 1) : QPoint();
    if (builtIn) {
        const QPoint origin((width() - 9) / 2, (height() - 6) / 2);
        const QColor color = isEnabled() ? QColor(Qt::black)
                                         : opt.palette.color(QPalette::Disabled, QPalette::Text);
        drawSpinGlyph(p, origin + shift, glyph == QLatin1String("SpinUp"), color);
    } else if (!glyph.isEmpty()) {
        const QSize size(width() - 4, height() - 4);
        pictureIcon(glyph).paint(&p, QRect(QPoint(2, 2) + shift, size), Qt::AlignCenter,
            isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (model_.focusFrame()) {
        // Only a pair that is a tab stop of its own shows it.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3).translated(shift);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void SpinArrowButton::mousePressEvent(QMouseEvent *e)
{
    if (knownMouseButton(e->button()))
        model_.mouseDown(mouseButton(e->button()));
    update();
}

void SpinArrowButton::mouseMoveEvent(QMouseEvent *e)
{
    model_.mouseMove(rect().contains(e->position().toPoint()));
    update();
}

void SpinArrowButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (knownMouseButton(e->button()))
        model_.mouseUp(mouseButton(e->button()), rect().contains(e->position().toPoint()));
    update();
}

// --- SpinFloatEditWidget ---------------------------------------------------

SpinFloatEditWidget::SpinFloatEditWidget(TSpinFloatEdit &edit, QWidget *parent, WidgetSite &view)
    : QWidget(parent)
    , edit_(edit)
    , view_(view)
{
    lineEdit_ = new TextLine(this);
    lineEdit_->setObjectName(edit.name() + QStringLiteral("_text"));
    lineEdit_->setFrame(true);
    // The platform's edit takes no drops either; pasting is the way in.
    lineEdit_->setAcceptDrops(false);
    setFocusProxy(lineEdit_);
    TSpinButton *pair = edit.spinButton();
    up_ = new SpinArrowButton(*pair->ButtonUp(), this);
    down_ = new SpinArrowButton(*pair->ButtonDown(), this);

    connect(lineEdit_, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (view_.syncing())
            return;
        const bool sel = lineEdit_->hasSelectedText();
        edit_.userEdited(text, sel ? lineEdit_->selectionStart() : lineEdit_->cursorPosition(),
            sel ? int(lineEdit_->selectedText().size()) : 0);
    });
    // The key filter forms its candidate from the selection, so the control
    // has to know every caret move and selection the user makes.
    connect(lineEdit_, &QLineEdit::selectionChanged, this, [this] { pushSelection(); });
    connect(lineEdit_, &QLineEdit::cursorPositionChanged, this, [this] { pushSelection(); });
    view.route(lineEdit_, edit);
}

void SpinFloatEditWidget::pushSelection()
{
    // Not only the user's own moves count: the line edit also drops its
    // selection when it loses the focus, which the view moves while syncing.
    if (writing_)
        return;
    const bool sel = lineEdit_->hasSelectedText();
    const int start = sel ? lineEdit_->selectionStart() : lineEdit_->cursorPosition();
    const int length = sel ? int(lineEdit_->selectedText().size()) : 0;
    if (start != edit_.selStart() || length != edit_.selLength())
        edit_.setSelection(start, length);
}

void SpinFloatEditWidget::sync(Prop what)
{
    const QScopedValueRollback<bool> writing(writing_, true);
    switch (what) {
    case Prop::Text:
        if (lineEdit_->text() != edit_.text())
            lineEdit_->setText(edit_.text());
        [[fallthrough]];
    case Prop::Selection: {
        const bool sel = lineEdit_->hasSelectedText();
        const int start = sel ? lineEdit_->selectionStart() : lineEdit_->cursorPosition();
        const int length = sel ? int(lineEdit_->selectedText().size()) : 0;
        // Setting it again would move the caret to the other end of a
        // selection the user made backwards.
        if (start == edit_.selStart() && length == edit_.selLength())
            break;
        if (edit_.selLength() > 0)
            lineEdit_->setSelection(edit_.selStart(), edit_.selLength());
        else
            lineEdit_->setCursorPosition(edit_.selStart());
        break;
    }
    case Prop::ReadOnly:
        lineEdit_->setReadOnly(edit_.readOnly() || !edit_.editorEnabled());
        break;
    case Prop::Alignment: {
        Qt::Alignment a = Qt::AlignLeft;
        if (edit_.alignment() == TAlignment::Right)
            a = Qt::AlignRight;
        else if (edit_.alignment() == TAlignment::Center)
            a = Qt::AlignHCenter;
        lineEdit_->setAlignment(a | Qt::AlignVCenter);
        break;
    }
    case Prop::TabStop:
    case Prop::Enabled:
        lineEdit_->setFocusPolicy(edit_.tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
        break;
    case Prop::Bounds:
    case Prop::Font:
        relayout();
        break;
    default:
        break;
    }
}

void SpinFloatEditWidget::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    relayout();
}

void SpinFloatEditWidget::relayout()
{
    if (laying_)
        return;
    laying_ = true;
    lineEdit_->setGeometry(rect());
    const int minHeight = TSpinFloatEdit::minimumHeight(
        QFontMetrics(QApplication::font()).height(), QFontMetrics(font()).height());
    edit_.application().handle([&] { edit_.sizeChanged(minHeight); });
    lineEdit_->setGeometry(0, 0, edit_.width(), edit_.height());

    // The model places the buttons in the client area inside the border.
    const int b = edit_.borderWidth();
    const TSpinButton &pair = *edit_.spinButton();
    for (SpinArrowButton *w : { up_, down_ }) {
        const TTimerSpeedButton &m = w->model();
        w->setGeometry(b + pair.left() + m.left(), b + pair.top() + m.top(), m.width(), m.height());
        w->setVisible(pair.visible() && m.visible());
        w->raise();
    }

    // The text ends where the model's text area ends.
    QStyleOptionFrame opt;
    static_cast<TextLine *>(lineEdit_)->initStyleOption(&opt);
    const QRect contents
        = lineEdit_->style()->subElementRect(QStyle::SE_LineEditContents, &opt, lineEdit_);
    const int textRight = b + edit_.editRect().right() + 1;
    const int right = std::max(0, contents.x() + contents.width() - textRight);
    lineEdit_->setTextMargins(0, 0, right, 0);
    laying_ = false;
}

QWidget *createSpinFloatEditWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *edit = dynamic_cast<TSpinFloatEdit *>(&control);
    if (!edit)
        return nullptr;
    return new SpinFloatEditWidget(*edit, parent, view);
}

} // namespace voltaris
