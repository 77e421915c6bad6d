#include "qt/memowidget.h"

namespace voltaris {

MemoWidget::MemoWidget(TMemo &memo, QWidget *parent, WidgetSite &view)
    : QPlainTextEdit(parent)
    , memo_(memo)
    , view_(view)
{
    setReadOnly(memo.readOnly);
    setLineWrapMode(memo.wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    if (!memo.scrollBars) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    setFrameShape(QFrame::NoFrame);
    view.route(this, memo);
}

void MemoWidget::sync(Prop what)
{
    WidgetSite::applyTabStop(memo_, this, what);
    if (what == Prop::Text)
        setPlainText(QString(memo_.text()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (!view_.building() && (what == Prop::Text || what == Prop::Font || what == Prop::Bounds))
        fit();
}

void MemoWidget::fit()
{
    if (memo_.scrollBars)
        return;
    QFont font = WidgetSite::qfont(memo_.font());
    const int margin = 2 * int(document()->documentMargin()) + 2 * frameWidth();
    const QRect area(0, 0, memo_.width() - margin, 100000);
    const int flags = memo_.wordWrap ? Qt::TextWordWrap : 0;
    const QString text = toPlainText();
    while (font.pixelSize() > 8
        && QFontMetrics(font).boundingRect(area, flags, text).height() > memo_.height() - margin)
        font.setPixelSize(font.pixelSize() - 1);
    setFont(font);
}

QWidget *createMemoWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *memo = dynamic_cast<TMemo *>(&control);
    if (!memo)
        return nullptr;
    return new MemoWidget(*memo, parent, view);
}

} // namespace voltaris
