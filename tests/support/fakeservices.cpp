#include "fakeservices.h"

namespace voltaris::test {

void FakeServices::messageBox(
    TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
{
    boxes.push_back({ owner, caption, text, icon });
    if (whileOpen)
        whileOpen(boxes.back());
}

} // namespace voltaris::test
