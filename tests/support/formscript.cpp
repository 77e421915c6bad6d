#include "formscript.h"

#include "keyboard.h"
#include "ui/layout.h"

namespace voltaris::test {

TControl *findControl(TControl &root, const QString &name)
{
    return layout::find(root, name);
}

namespace {

TControl &need(TForm &form, const QString &name)
{
    TControl *c = findControl(form, name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return *c;
}

int keyNamed(const QString &name)
{
    if (name == QLatin1String("shift"))
        return vk::Shift;
    if (name == QLatin1String("up"))
        return vk::Up;
    if (name == QLatin1String("down"))
        return vk::Down;
    if (name == QLatin1String("left"))
        return vk::Left;
    if (name == QLatin1String("enter"))
        return vk::Return;
    if (name == QLatin1String("escape"))
        return vk::Escape;
    qFatal("no key %s", qPrintable(name));
}

} // namespace

void play(TForm &form, const QString &script)
{
    for (const QString &raw : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString step = raw.trimmed();
        const QString verb = step.section(QLatin1Char(':'), 0, 0);
        const QString arg = step.section(QLatin1Char(':'), 1);
        if (verb == QLatin1String("click")) {
            need(form, arg).click();
        } else if (verb == QLatin1String("focus")) {
            focus(dynamic_cast<TWinControl &>(need(form, arg)));
        } else if (verb == QLatin1String("clear")) {
            clearField(form);
        } else if (verb == QLatin1String("type")) {
            typeText(form, arg);
        } else if (verb == QLatin1String("key")) {
            const int k = keyNamed(arg);
            pressKey(form, k, k == vk::Return ? QChar(13) : k == vk::Escape ? QChar(27) : QChar());
        } else if (verb == QLatin1String("tab")) {
            tab(form);
        } else if (verb == QLatin1String("set")) {
            need(form, arg.section(QLatin1Char('='), 0, 0))
                .setText(arg.section(QLatin1Char('='), 1));
        } else {
            qFatal("unknown step %s", qPrintable(step));
        }
    }
}

QString check(TForm &form, const FakeServices &services, const QString &expectations)
{
    QStringList wrong;
    for (const QString &raw : expectations.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString e = raw.trimmed();
        const QString lhs = e.section(QLatin1Char('='), 0, 0);
        const QString want = e.section(QLatin1Char('='), 1);
        QString got;
        if (lhs == QLatin1String("boxes")) {
            got = QString::number(services.boxes.size());
        } else if (lhs == QLatin1String("focus")) {
            got = form.activeControl() ? form.activeControl()->name() : QStringLiteral("none");
        } else {
            const QString name = lhs.section(QLatin1Char('.'), 0, 0);
            const QString prop = lhs.section(QLatin1Char('.'), 1);
            TControl &c = need(form, name);
            if (prop.isEmpty())
                got = c.text();
            else if (prop == QLatin1String("color"))
                got = QString::number(c.color());
            else if (prop == QLatin1String("font"))
                got = QString::number(c.font().color);
            else if (prop == QLatin1String("bold"))
                got = QString::number(int(c.font().bold));
            else if (prop == QLatin1String("enabled"))
                got = QString::number(int(c.enabled()));
            else
                qFatal("unknown property %s", qPrintable(prop));
        }
        if (got != want)
            wrong << QStringLiteral("%1: got '%2', want '%3'").arg(lhs, got, want);
    }
    return wrong.join(QStringLiteral("; "));
}

} // namespace voltaris::test
