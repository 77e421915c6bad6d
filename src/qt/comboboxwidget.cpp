#include "qt/comboboxwidget.h"

#include <QLineEdit>

namespace voltaris {

ComboBoxWidget::ComboBoxWidget(TComboBox &box, QWidget *parent, WidgetSite &view)
    : QComboBox(parent)
    , box_(box)
    , view_(view)
{
    setEditable(!box.dropDownList);
    setInsertPolicy(QComboBox::NoInsert);
    if (box.dropDownList) {
        connect(this, &QComboBox::currentTextChanged, this, [this](const QString &text) {
            if (!view_.syncing())
                box_.userEdited(text);
        });
    } else {
        connect(this, &QComboBox::editTextChanged, this, [this](const QString &text) {
            if (!view_.syncing())
                box_.userEdited(text);
        });
    }
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
    }
    if ((what == Prop::Items || what == Prop::Text) && currentText() != box_.text()) {
        if (box_.dropDownList)
            setCurrentIndex(findText(box_.text(), Qt::MatchExactly));
        else
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
