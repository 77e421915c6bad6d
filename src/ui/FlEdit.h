#pragma once

#include "ui/controls.h"

#include <QRect>
#include <functional>
#include <memory>

namespace voltaris {

class TSpinButton;

using TComputedIncrementEvent = std::function<void(TControl &sender, bool increment)>;

// A single-line edit for one decimal number between Min and Max with Digits
// decimals. The text is the only store of the value: Value converts it on
// every read and writes it on every write.
class TCustomFloatEdit : public TEdit {
public:
    TCustomFloatEdit(TControl *parent, QString name);

    long double value() const;
    void setValue(long double x);

    int digits() const { return digits_; }
    // At most 18; the text is formatted anew.
    void setDigits(int d);
    long double minValue() const { return min_; }
    long double maxValue() const { return max_; }
    // Both throw EInvalidOperation when the range would be empty and then
    // leave everything as it was.
    void setMin(long double m);
    void setMax(long double m);
    long double oldValue() const { return oldValue_; }

    // The separator the key filter accepts; the locale's at creation.
    QChar DecimalChar;
    // Shown when a value is out of range or the text is no number; empty
    // shows nothing.
    QString ErrorMessage;
    // Enter (or line feed) typed; the key is swallowed afterwards.
    TKeyPressEvent OnEnterPress;

    // The form description phase: while loading, Value is kept aside and the
    // text stays alone; endLoad() writes the kept value (0 when none came).
    void beginLoad() { loading_ = true; }
    void endLoad();
    bool loading() const { return loading_; }

    // The value as this control writes it: `Digits` decimals, at most 18
    // significant digits, the locale's separator.
    QString formatNumber(long double x) const;

    void keyPress(QChar &key) override;
    void doEnter() override;
    void doExit() override;

protected:
    virtual void loaded();
    void showErrorMessage();
    bool convert(const QString &text, long double &x) const;

private:
    quint8 digits_ = 1;
    long double min_ = 0;
    long double max_ = 100;
    long double oldValue_ = 0;
    long double loadValue_ = 0;
    QChar localeSeparator_;
    bool loading_ = false;
};

// The number edit with its up/down button pair inside the right edge.
class TSpinFloatEdit : public TCustomFloatEdit {
public:
    TSpinFloatEdit(TControl *parent, QString name);
    ~TSpinFloatEdit() override;

    long double Increment = 1.0L;
    // False: the text cannot be typed, cut or pasted; only the buttons step.
    bool editorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool v);
    // When set, replaces the built-in step; it has to write Value itself.
    TComputedIncrementEvent OnComputedIncrement;
    // The 3-D border; it moves the buttons inward.
    bool ctl3D = true;

    TSpinButton *spinButton() const { return spinButton_.get(); }

    virtual void stepUp();
    virtual void stepDown();

    void keyDown(int &key, TShiftState shift) override;
    void keyPress(QChar &key) override;
    bool canCut() const override;
    bool canPaste() const override;
    // The edit window is always multi-line, so Enter and Escape stay here.
    bool wantsReturn() const override { return true; }

    // Layout. The buttons are children of the edit's client area, which lies
    // inside a border of borderWidth() pixels.
    int borderWidth() const { return ctl3D ? 2 : 1; }
    int clientWidth() const { return width() - 2 * borderWidth(); }
    int clientHeight() const { return height() - 2 * borderWidth(); }
    // Smallest height that shows the font: f + min(s, f) / 4 + 4 * border + 2
    // with s the system font's and f the control font's character height and
    // border the thin window border.
    static int minimumHeight(int systemFontHeight, int fontHeight, int border = 1);
    // The window's size changed: grows to minHeight when lower, places the
    // buttons and the text area.
    void sizeChanged(int minHeight);
    // Where the text is drawn, in client coordinates, clear of the buttons.
    QRect editRect() const;

protected:
    void stepValue(bool up);

private:
    std::unique_ptr<TSpinButton> spinButton_;
    bool editorEnabled_ = true;
};

} // namespace voltaris
