#include "ui/application.h"

#include "common/errors.h"

namespace voltaris {

TApplication::TApplication(Services &services, FormatSettings settings)
    : services_(services)
    , settings_(settings)
{ }

void TApplication::messageBox(
    TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
{
    // The box runs its own event loop: whatever arrives meanwhile (a timer
    // tick, a click in another window) is an event of its own and must be
    // caught there, not by the handler that opened the box.
    const int saved = depth_;
    depth_ = 0;
    struct Restore {
        int &d;
        int v;
        ~Restore() { d = v; }
    } restore { depth_, saved };
    services_.messageBox(owner, caption, text, icon);
}

QString TApplication::errorText(const QString &message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}

void TApplication::showException(const std::exception &e)
{
    QString message;
    if (auto *ve = dynamic_cast<const Exception *>(&e))
        message = ve->message();
    else
        message = QString::fromUtf8(e.what());
    messageBox(MainForm, Title, errorText(message), MsgIcon::Error);
}

} // namespace voltaris
