#include "keyboard.h"

#include "ui/application.h"

namespace voltaris::test {

namespace {

int keyOf(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c;
    if (c >= u'a' && c <= u'z')
        return c - u'a' + u'A';
    if (c >= u'A' && c <= u'Z')
        return c;
    switch (c) {
    case 8:
        return vk::Back;
    case 13:
        return vk::Return;
    case 27:
        return vk::Escape;
    case u' ':
        return vk::Space;
    case u',':
        return 188;
    case u'.':
        return 190;
    case u'-':
        return 189;
    default:
        // Umlauts, "&", "€"...: no code of their own, as the window system
        // reports them.
        return c >= 32 ? 0xE7 : 0;
    }
}

void applyToEdit(TForm &form, QChar ch)
{
    auto *edit = dynamic_cast<TEdit *>(form.activeControl());
    if (!edit || edit->readOnly() || ch.isNull())
        return;
    QString text = edit->text();
    int start = edit->selStart();
    int length = edit->selLength();
    if (ch.unicode() == 8) {
        if (length == 0 && start > 0) {
            --start;
            length = 1;
        }
        text.remove(start, length);
    } else if (ch.unicode() >= 32) {
        text.replace(start, length, ch);
        ++start;
    } else {
        return;
    }
    edit->userEdited(text, start, 0);
}

} // namespace

void pressKey(TForm &form, int key, QChar ch, TShiftState shift)
{
    if (!form.userKeyDown(key, shift)) {
        if (key == vk::Delete) {
            if (auto *edit = dynamic_cast<TEdit *>(form.activeControl());
                edit && !edit->readOnly()) {
                QString text = edit->text();
                const int start = edit->selStart();
                text.remove(start, edit->selLength() ? edit->selLength() : 1);
                edit->userEdited(text, start, 0);
            }
        } else if (!ch.isNull()) {
            applyToEdit(form, form.userKeyPress(ch));
        }
    }
    form.userKeyUp(key, shift);
}

void typeText(TForm &form, const QString &text)
{
    for (QChar ch : text)
        pressKey(form, keyOf(ch), ch);
}

void clearField(TForm &form)
{
    if (auto *edit = dynamic_cast<TEdit *>(form.activeControl()))
        edit->selectAll();
    pressKey(form, vk::Delete);
}

void focus(TWinControl &control)
{
    control.form()->app().handle([&] { control.form()->setFocusTo(&control, true); });
}

void tab(TForm &form, bool forward)
{
    TShiftState shift;
    shift.shift = !forward;
    pressKey(form, vk::Tab, QChar(), shift);
}

} // namespace voltaris::test
