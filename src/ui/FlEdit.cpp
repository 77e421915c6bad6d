#include "ui/FlEdit.h"

#include "common/errors.h"
#include "common/numtext.h"
#include "ui/Spin.h"
#include "ui/application.h"
#include "ui/form.h"

#include <algorithm>
#include <cmath>

namespace voltaris {

namespace {

// Every text needs a separator, also that of a control built outside a form.
QChar separatorOf(const TControl &control)
{
    if (control.form())
        return control.application().settings().decimalSeparator;
    return QLatin1Char(',');
}

} // namespace

// --- TCustomFloatEdit ------------------------------------------------------

TCustomFloatEdit::TCustomFloatEdit(TControl *parent, QString name)
    : TEdit(parent, std::move(name))
{
    localeSeparator_ = separatorOf(*this);
    DecimalChar = localeSeparator_;
    setAlignment(TAlignment::Right);
    setText(formatNumber(min_));
}

QString TCustomFloatEdit::formatNumber(long double x) const
{
    return formatFixed(x, 18, digits_, localeSeparator_);
}

bool TCustomFloatEdit::convert(const QString &text, long double &x) const
{
    return tryStrToFloat(text, localeSeparator_, x);
}

long double TCustomFloatEdit::value() const
{
    if (loading_)
        return loadValue_;
    QString t = text();
    if (t == QLatin1String("-") || t == QString(DecimalChar) || t.isEmpty()
        || t == QLatin1String("E"))
        t = QStringLiteral("0");
    long double x;
    if (!convert(t, x))
        x = min_;
    if (x < min_)
        return min_;
    if (x > max_)
        return max_;
    return x;
}

void TCustomFloatEdit::setValue(long double x)
{
    if (loading_) {
        loadValue_ = x;
        return;
    }
    if (std::isnan(x)) {
        // No number at all: treated as out of range rather than shown as text.
        showErrorMessage();
        x = min_;
    }
    if (x > max_) {
        showErrorMessage();
        x = max_;
    }
    if (x < min_) {
        showErrorMessage();
        x = min_;
    }
    setText(formatNumber(x));
}

void TCustomFloatEdit::showErrorMessage()
{
    if (ErrorMessage.isEmpty())
        return;
    TApplication &app = application();
    // The box belongs to the window the edit sits on.
    app.messageBox(dynamic_cast<TForm *>(form()), app.Title, ErrorMessage, MsgIcon::None);
}

void TCustomFloatEdit::setDigits(int d)
{
    if (d == digits_)
        return;
    digits_ = quint8(std::clamp(d, 0, 18));
    setValue(value());
}

void TCustomFloatEdit::setMin(long double m)
{
    if (m == min_)
        return;
    if (!(m <= max_)) // a NaN is refused too
        throw EInvalidOperation(
            QStringLiteral("Minimum value must not be greater than maximum value !"));
    min_ = m;
    setValue(value());
}

void TCustomFloatEdit::setMax(long double m)
{
    if (m == max_)
        return;
    if (!(m >= min_))
        throw EInvalidOperation(
            QStringLiteral("Maximum value must not be less than minimum value !"));
    max_ = m;
    setValue(value());
}

void TCustomFloatEdit::endLoad()
{
    if (loading_)
        loaded();
}

void TCustomFloatEdit::loaded()
{
    loading_ = false;
    setValue(loadValue_);
}

void TCustomFloatEdit::keyPress(QChar &key)
{
    const char16_t k = key.unicode();
    // The framework's key-press handling (OnKeyPress) runs before any
    // suppression, so a handler sees the typed key but cannot let it through.
    auto refuse = [&] {
        TWinControl::keyPress(key);
        key = QChar();
    };

    if (k == 13 || k == 10) {
        if (OnEnterPress)
            fire([&] { OnEnterPress(*this, key); });
        key = QChar();
        return;
    }
    if (k == 27) {
        setValue(oldValue_);
        selectAll();
        key = QChar();
        TWinControl::keyPress(key);
        return;
    }
    if (k < 32) {
        TWinControl::keyPress(key);
        return;
    }
    if (!(k >= u'0' && k <= u'9') && k != u'-' && k != u'e' && key != DecimalChar) {
        refuse();
        return;
    }

    const QString t = text();
    const QString candidate = t.left(selStart()) + key + t.mid(selStart() + selLength());
    if (candidate == QLatin1String("-")) {
        refuse();
        setText(QStringLiteral("-0"));
        setSelection(1, 1);
        return;
    }
    if (candidate == QString(DecimalChar)) {
        refuse();
        setText(QLatin1Char('0') + DecimalChar + QLatin1Char('0'));
        setSelection(2, 1);
        return;
    }
    long double x;
    if (!convert(candidate, x) || x < min_ || x > max_ || (key == DecimalChar && digits_ == 0)) {
        refuse();
        return;
    }
    if (!candidate.contains(QLatin1Char('E'), Qt::CaseInsensitive)) {
        const qsizetype sep = candidate.indexOf(DecimalChar);
        if (sep >= 0 && candidate.size() - sep - 1 > digits_) {
            refuse();
            return;
        }
    }
    TWinControl::keyPress(key);
}

void TCustomFloatEdit::doEnter()
{
    // A click into the text places the caret where the user clicked.
    if (autoSelect && !(form() && form()->focusByMouse()))
        selectAll();
    oldValue_ = value();
    TWinControl::doEnter();
}

void TCustomFloatEdit::doExit()
{
    QString t = text();
    if (t.isEmpty())
        t = formatNumber(min_);
    long double x;
    if (!convert(t, x) || x < min_ || x > max_) {
        showErrorMessage();
        setValue(oldValue_);
        selectAll();
        setFocus(); // keeps the focus here; OnExit does not run
        return;
    }
    setText(formatNumber(x));
    if (convert(text(), x))
        setValue(x);
    TWinControl::doExit();
}

// --- TSpinFloatEdit --------------------------------------------------------

TSpinFloatEdit::TSpinFloatEdit(TControl *parent, QString name)
    : TCustomFloatEdit(parent, std::move(name))
{
    spinButton_ = std::make_unique<TSpinButton>(this, QStringLiteral("SpinButton"));
    spinButton_->setBounds(0, 0, 15, 17);
    spinButton_->FocusControl = this;
    spinButton_->OnUpClick = [this](TControl &) { stepUp(); };
    spinButton_->OnDownClick = [this](TControl &) { stepDown(); };
}

TSpinFloatEdit::~TSpinFloatEdit()
{
    spinButton_.reset();
}

void TSpinFloatEdit::stepUp()
{
    if (readOnly()) {
        application().services().beep();
        return;
    }
    stepValue(true);
}

void TSpinFloatEdit::stepDown()
{
    if (readOnly()) {
        application().services().beep();
        return;
    }
    stepValue(false);
}

void TSpinFloatEdit::stepValue(bool up)
{
    if (OnComputedIncrement) {
        fire([&] { OnComputedIncrement(*this, up); });
        return;
    }
    setValue(up ? value() + Increment : value() - Increment);
}

void TSpinFloatEdit::keyDown(int &key, TShiftState shift)
{
    // A locked editor discards the keys that edit or move on key-down
    // (Page Up to Delete: arrows, Home, End, Insert, Delete). Typing keys are
    // kept: a key-down used up here would also swallow its character, and
    // Enter and Escape must still reach the key filter; Tab must still leave.
    if (!editorEnabled_ && key >= 33 && key <= vk::Delete)
        key = 0;
    else if (key == vk::Up)
        stepUp();
    else if (key == vk::Down)
        stepDown();
    TWinControl::keyDown(key, shift);
}

void TSpinFloatEdit::keyPress(QChar &key)
{
    TCustomFloatEdit::keyPress(key);
    if (!editorEnabled_)
        key = QChar();
}

void TSpinFloatEdit::setEditorEnabled(bool v)
{
    if (v == editorEnabled_)
        return;
    editorEnabled_ = v;
    changed(Prop::ReadOnly); // the window locks its text as for read-only
}

bool TSpinFloatEdit::canCut() const
{
    return editorEnabled_ && !readOnly();
}

bool TSpinFloatEdit::canPaste() const
{
    return editorEnabled_ && !readOnly();
}

int TSpinFloatEdit::minimumHeight(int systemFontHeight, int fontHeight, int border)
{
    return fontHeight + std::min(systemFontHeight, fontHeight) / 4 + 4 * border + 2;
}

void TSpinFloatEdit::sizeChanged(int minHeight)
{
    // Growing sizes the window again; the second pass lays it out.
    if (height() < minHeight)
        setHeight(minHeight);
    if (!spinButton_)
        return;
    const int w = spinButton_->width();
    if (ctl3D)
        spinButton_->setBounds(width() - w - 5, 0, w, height() - 5);
    else
        spinButton_->setBounds(width() - w, 1, w, height() - 3);
}

QRect TSpinFloatEdit::editRect() const
{
    const int w = spinButton_ ? spinButton_->width() : 0;
    return QRect(0, 0, clientWidth() - w - 2, clientHeight() + 1);
}

} // namespace voltaris
