// The spin edit's key filter and the edits around it: any range and
// decimals, then keys, clicks into the text, pastes, steps and focus
// changes. Oracles: Value always lies in the range; a character the filter
// lets through leaves a text that is a number in the range with at most
// Digits decimals (unless in exponent form); Escape brings back the value
// of the focus entry (in the range); a focus exit leaves a text in range or
// keeps the focus.
#include "common/errors.h"
#include "common/numtext.h"
#include "fakeservices.h"
#include "fuzzing.h"
#include "keyboard.h"
#include "ui/FlEdit.h"
#include "ui/Spin.h"
#include "ui/form.h"

#include <algorithm>
#include <cmath>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

// A bound: small whole or decimal numbers mostly, the odd extreme.
long double boundFrom(Input &in)
{
    const uint8_t kind = in.byte();
    switch (kind % 8) {
    case 0:
        return std::ldexp(static_cast<long double>(in.u64()), in.below(200) - 100)
            * (kind & 8 ? -1 : 1);
    case 1:
        return kind & 8 ? -1e4000L : 1e4000L;
    default:
        return (int(in.word()) - 1000) / ((kind & 16) ? 10.0L : 1.0L);
    }
}

void checkRange(const TSpinFloatEdit &e)
{
    const long double v = e.value();
    if (std::isnan(v) || v < e.minValue() || v > e.maxValue())
        fail("Value outside the range", e.text());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    test::TestApp t(mode & 1 ? FormatSettings::english() : FormatSettings::german());
    TApplication &app = t.app;
    TForm form(app, QStringLiteral("Form1"));
    TSpinFloatEdit edit(&form, QStringLiteral("Memo_Stand"));
    TEdit other(&form, QStringLiteral("Edit1"));
    edit.setBounds(128, 48, 115, 29);
    if (mode & 2)
        edit.ErrorMessage = QStringLiteral("Fehler");
    edit.setEditorEnabled(!(mode & 4));
    edit.setReadOnly(mode & 8);
    form.show();

    // Range and decimals; refused ranges must leave everything as it was.
    try {
        edit.setMax(999999);
        edit.setDigits(in.below(24));
        const long double a = boundFrom(in), b = boundFrom(in);
        edit.setMin(std::min(a, b));
        edit.setMax(std::max(a, b));
    } catch (const EInvalidOperation &) { }
    if (!(edit.minValue() <= edit.maxValue()))
        fail("empty range");
    edit.Increment = boundFrom(in);
    form.setFocusTo(&edit);
    checkRange(edit);

    const QChar sep = edit.DecimalChar;
    while (!in.empty()) {
        const uint8_t op = in.byte();
        if (op < 16) {
            edit.setSelection(in.below(int(edit.text().size()) + 1), in.below(40));
        } else if (op < 20) {
            test::pressKey(form, op < 18 ? vk::Up : vk::Down);
        } else if (op < 22) {
            (op == 20 ? edit.spinButton()->ButtonUp() : edit.spinButton()->ButtonDown())->click();
        } else if (op < 24) {
            // Paste: no filter; the exit check deals with it.
            if (edit.canPaste())
                edit.userEdited(in.text(in.below(24)), 0, 0);
        } else if (op < 26) {
            // Leave and come back.
            form.setFocusTo(&other);
            if (form.activeControl() != &edit) {
                long double x = 0;
                if (!tryStrToFloat(edit.text(), sep, x) || x < edit.minValue()
                    || x > edit.maxValue())
                    fail("left with a text out of range", edit.text());
            }
            form.setFocusTo(&edit);
        } else if (op == 27) {
            test::pressKey(form, vk::Escape, QChar(27));
            // The value at the focus entry, pulled into a range set since.
            const long double back = std::clamp(edit.oldValue(), edit.minValue(), edit.maxValue());
            if (edit.text() != edit.formatNumber(back))
                fail("Escape did not restore", edit.text());
        } else {
            const QChar key = op < 0xF0 ? QChar(op) : QChar(in.word());
            const QString before = edit.text();
            test::pressKey(form, 0, key);
            const QString &t = edit.text();
            if (key.unicode() >= 32 && t != before && t != QLatin1String("-0")
                && t != QString(QLatin1Char('0') + sep + QLatin1Char('0'))) {
                long double x = 0;
                if (!tryStrToFloat(t, sep, x) || x < edit.minValue() || x > edit.maxValue())
                    fail("typed a text out of range", t);
                const qsizetype at = t.indexOf(sep);
                if (!t.contains(QLatin1Char('e'), Qt::CaseInsensitive) && at >= 0
                    && t.size() - at - 1 > edit.digits())
                    fail("typed too many decimals", t);
            }
        }
        checkRange(edit);
    }
    return 0;
}
