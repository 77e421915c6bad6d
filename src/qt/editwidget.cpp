#include "qt/editwidget.h"

namespace voltaris {

EditWidget::EditWidget(TEdit &edit, QWidget *parent, WidgetSite &view)
    : QLineEdit(parent)
    , edit_(edit)
    , view_(view)
{
    setFrame(true);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (view_.syncing())
            return;
        const int start = hasSelectedText() ? selectionStart() : cursorPosition();
        const int length = hasSelectedText() ? int(selectedText().size()) : 0;
        edit_.userEdited(text, start, length);
    });
    // Caret moves and mouse selections, once the text is the control's.
    const auto selection = [this] {
        if (view_.syncing() || text() != edit_.text())
            return;
        if (hasSelectedText())
            edit_.setSelection(selectionStart(), int(selectedText().size()));
        else
            edit_.setSelection(cursorPosition(), 0);
    };
    connect(this, &QLineEdit::selectionChanged, this, selection);
    connect(this, &QLineEdit::cursorPositionChanged, this, selection);
    view.route(this, edit);
}

void EditWidget::sync(Prop what)
{
    WidgetSite::applyTabStop(edit_, this, what);
    switch (what) {
    case Prop::Text:
        if (text() != edit_.text())
            setText(edit_.text());
        [[fallthrough]];
    case Prop::Selection:
        if (edit_.selLength() > 0)
            setSelection(edit_.selStart(), edit_.selLength());
        else
            setCursorPosition(edit_.selStart());
        break;
    case Prop::ReadOnly:
        setReadOnly(edit_.readOnly());
        break;
    case Prop::Alignment:
        setAlignment(WidgetSite::qtAlignment(edit_.alignment()) | Qt::AlignVCenter);
        break;
    default:
        break;
    }
}

QWidget *createEditWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *edit = dynamic_cast<TEdit *>(&control);
    if (!edit)
        return nullptr;
    return new EditWidget(*edit, parent, view);
}

} // namespace voltaris
