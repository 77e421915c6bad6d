#include "ui/layout.h"

#include "ui/form.h"

#include <functional>

namespace voltaris::layout {

TFont Font::toFont() const
{
    TFont f;
    f.name = QString::fromUtf8(name);
    f.size = size;
    f.bold = bold;
    f.color = color;
    return f;
}

TControl *find(TControl &root, const QString &name)
{
    if (root.name() == name)
        return &root;
    for (TControl *child : root.children())
        if (TControl *found = find(*child, name))
            return found;
    return nullptr;
}

namespace {

// Applies one row to its control; `problem` takes what the kind lacks.
void applyRow(const Row &row, TControl &c, const std::function<void(const char *)> &problem)
{
    const Props &p = row.props;
    auto *win = dynamic_cast<TWinControl *>(&c);
    auto *label = dynamic_cast<TLabel *>(&c);
    auto *edit = dynamic_cast<TEdit *>(&c);
    auto *image = dynamic_cast<TImage *>(&c);
    auto *button = dynamic_cast<TButtonControl *>(&c);

    c.setBounds(row.bounds.left, row.bounds.top, row.bounds.width, row.bounds.height);
    if (p.text)
        c.setText(QString::fromUtf8(p.text));
    if (p.align) {
        if (label)
            label->setAlignment(*p.align);
        else if (edit)
            edit->setAlignment(*p.align);
        else
            problem("alignment");
    }
    if (p.font)
        c.setFont(p.font->toFont());
    if (p.tabOrder >= 0) {
        if (win)
            win->setTabOrder(p.tabOrder);
        else
            problem("tab order");
    }
    if (p.color)
        c.setColor(*p.color);
    if (p.hint)
        c.setHint(QString::fromUtf8(p.hint));
    if (p.picture) {
        if (button)
            button->setPicture(QString::fromUtf8(p.picture));
        else if (image)
            image->setPicture(QString::fromUtf8(p.picture));
        else
            problem("picture");
    }

    const unsigned f = p.flags;
    const auto flag = [&](Flag which, const char *what, bool fits, const auto &set) {
        if (!(f & which))
            return;
        if (fits)
            set();
        else
            problem(what);
    };
    flag(Disabled, "Disabled", true, [&] { c.setEnabled(false); });
    flag(Hidden, "Hidden", true, [&] { c.setVisible(false); });
    flag(ShowHint, "ShowHint", true, [&] { c.setShowHint(true); });
    flag(HandPoint, "HandPoint", true, [&] { c.setCursor(TCursor::HandPoint); });
    if ((f & TabStop) && (f & NoTabStop))
        problem("TabStop and NoTabStop");
    else {
        flag(TabStop, "TabStop", win, [&] { win->setTabStop(true); });
        flag(NoTabStop, "NoTabStop", win, [&] { win->setTabStop(false); });
    }
    flag(ReadOnly, "ReadOnly", edit, [&] { edit->setReadOnly(true); });
    auto *radio = dynamic_cast<TRadioButton *>(&c);
    flag(Checked, "Checked", radio, [&] { radio->setChecked(true); });
    flag(Transparent, "Transparent", label || image, [&] {
        if (label)
            label->transparent = true;
        else
            image->transparent = true;
    });
    flag(FixedSize, "FixedSize", label, [&] { label->fixedSize = true; });
    auto *panel = dynamic_cast<TPanel *>(&c);
    flag(Lowered, "Lowered", panel, [&] { panel->lowered = true; });
    auto *bitBtn = dynamic_cast<TBitBtn *>(&c);
    flag(Default, "Default", bitBtn, [&] { bitBtn->isDefault = true; });
    // Last: the size follows the caption in the font given above.
    flag(AutoSize, "AutoSize", label, [&] { label->setAutoSize(true); });
}

} // namespace

QStringList apply(TForm &form, std::span<const Row> rows)
{
    QStringList problems;
    for (const Row &row : rows) {
        const QString name = QString::fromUtf8(row.name);
        TControl *c = find(form, name);
        if (!c) {
            problems << name + QStringLiteral(": no such control");
            continue;
        }
        const QString parent = row.parent ? QString::fromUtf8(row.parent) : form.name();
        if (!c->parent() || c->parent()->name() != parent) {
            problems << name + QStringLiteral(": parent ")
                    + (c->parent() ? c->parent()->name() : QStringLiteral("none"))
                    + QStringLiteral(", not ") + parent;
            continue;
        }
        applyRow(row, *c, [&](const char *what) {
            problems << name + QStringLiteral(": no ") + QString::fromUtf8(what);
        });
    }
    return problems;
}

} // namespace voltaris::layout
