// The two numeric key filters, typed through as a user would: any keys,
// with the caret and selection anywhere. Oracle: the contract fields keep
// digits and at most one separator, the running time digits only, and a
// filter returns the typed key or nothing.
#include "common/keyfilter.h"
#include "fuzzing.h"

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// What the edit does with a character that passed: Backspace deletes the
// selection or the character before the caret, any other replaces the
// selection.
void apply(QString &text, int &start, int &length, QChar key)
{
    if (key.unicode() == KeyBackspace) {
        if (length == 0 && start > 0) {
            --start;
            length = 1;
        }
        text.remove(start, length);
    } else {
        text.replace(start, length, key);
        ++start;
    }
    length = 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    const bool digitsOnly = mode & 1;
    const QChar sep = (mode & 2) ? QLatin1Char(',')
        : (mode & 4)             ? QLatin1Char('.')
                                 : QChar(in.word());
    QString text;
    int start = 0, length = 0;
    while (!in.empty()) {
        const uint8_t op = in.byte();
        if (op < 32) {
            // Click or drag somewhere in the text.
            start = in.below(int(text.size()) + 1);
            length = in.below(int(text.size()) - start + 1);
            continue;
        }
        const QChar key = op < 0xF0 ? QChar(op) : QChar(in.word());
        const QChar passed
            = digitsOnly ? digitsKeyPress(key) : editKeyPress(text, start, length, key, sep);
        if (!passed.isNull() && passed != key)
            fail("filter changed the key");
        if (passed.isNull())
            continue;
        apply(text, start, length, passed);
        int separators = 0;
        for (const QChar c : text) {
            if (c == sep && !digitsOnly)
                ++separators;
            else if (!isDigit(c))
                fail("a character no number has", text);
        }
        if (separators > 1 && !isDigit(sep))
            fail("two separators", text);
    }
    return 0;
}
