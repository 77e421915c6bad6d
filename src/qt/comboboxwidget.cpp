#include "qt/comboboxwidget.h"

#include <QLineEdit>

namespace voltaris {

ComboBoxWidget::ComboBoxWidget(TComboBox &box, QWidget *parent, WidgetSite &view)
    : QComboBox(parent)
    , box_(box)
    , view_(view)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!view_.syncing())
            box_.userEdited(text);
    });
    view.route(this, box);
    if (lineEdit())
        view.route(lineEdit(), box);
}

void ComboBoxWidget::sync(Prop what)
{
    WidgetSite::applyTabStop(box_, this, what);
    if (what == Prop::Items) {
        clear();
        addItems(box_.items());
        setEditText(box_.text());
    } else if (what == Prop::Text && currentText() != box_.text()) {
        setEditText(box_.text());
    }
}

QWidget *createComboBoxWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *box = dynamic_cast<TComboBox *>(&control);
    if (!box)
        return nullptr;
    return new ComboBoxWidget(*box, parent, view);
}

} // namespace voltaris
