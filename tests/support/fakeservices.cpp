#include "fakeservices.h"

#include "ui/controls.h"

namespace voltaris::test {

void FakeServices::messageBox(
    TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
{
    boxes.push_back({ owner, caption, text, icon });
    if (whileOpen)
        whileOpen(boxes.back());
}

int FakeServices::textWidth(const TFont &font, const QString &text)
{
    if (measure)
        return measure(font, text);
    return int(text.size()) * (font.size / 2);
}

} // namespace voltaris::test
