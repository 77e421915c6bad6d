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
    modal([&] { services_.messageBox(owner, caption, text, icon); });
}

MsgAnswer TApplication::askYesNoCancel(TForm *owner, const QString &caption, const QString &text)
{
    return modal([&] { return services_.askYesNoCancel(owner, caption, text); });
}

MsgAnswer TApplication::askYesNo(TForm *owner, const QString &caption, const QString &text)
{
    return modal([&] { return services_.askYesNo(owner, caption, text); });
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
