#include "modal.h"

#include <QApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QWidget>

namespace voltaris::test {

namespace {

// How long a shown dialog may stay inactive before it is answered anyway.
constexpr int ActivationMs = 5000;

QString describe(QWidget *w)
{
    QString d
        = QStringLiteral("%1 \"%2\"")
              .arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->objectName(),
                  w->windowTitle());
    if (auto *box = qobject_cast<QMessageBox *>(w))
        d += QStringLiteral(": ") + box->text();
    return d;
}

bool isNamed(QWidget *w, const QString &name)
{
    return w->objectName() == name || w->inherits(name.toLatin1().constData());
}

} // namespace

QString closeAllModal()
{
    QStringList open;
    // Bounded: a dialog that refuses to close is hidden instead.
    for (int i = 0; i < 20; ++i) {
        QPointer<QWidget> w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (!w)
            break;
        open << describe(w);
        if (auto *dialog = qobject_cast<QDialog *>(w.data()))
            dialog->reject();
        else
            w->close();
        if (w && w->isVisible())
            w->hide();
    }
    return open.join(QStringLiteral("; "));
}

void typeInto(QWidget *dialog, const QString &spin, const QString &text)
{
    auto *edit = dialog->findChild<QDoubleSpinBox *>(spin);
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

ModalAnswer::ModalAnswer(
    QString name, Act act, Then then, int deadlineMs, std::source_location where)
    : name_(std::move(name))
    , act_(std::move(act))
    , then_(then)
    , deadlineMs_(deadlineMs)
    , deadline_(deadlineMs)
    , activation_(QDeadlineTimer::Forever)
    , where_(where)
{
    QObject::connect(&poll_, &QTimer::timeout, [this] { poll(); });
    poll_.start(10);
    // Apart from the poll: its slot may be what a nested dialog blocks.
    expiry_.setSingleShot(true);
    QObject::connect(&expiry_, &QTimer::timeout, [this] { expire(); });
    expiry_.start(deadlineMs);
}

ModalAnswer::~ModalAnswer()
{
    poll_.stop();
    expiry_.stop();
    if ((state_ == State::Waiting || state_ == State::Answered) && !QTest::currentTestFailed())
        QTest::qFail(qPrintable(QStringLiteral("The dialog %1 was not checked for an answer "
                                               "(VERIFY_ANSWERED)")
                                    .arg(name_)),
            where_.file_name(), int(where_.line()));
}

bool ModalAnswer::wait()
{
    // A dialog opened later than the step that armed this: poll for it.
    while (state_ == State::Waiting || state_ == State::Answered)
        QTest::qWait(10);
    return state_ == State::Done;
}

void ModalAnswer::poll()
{
    if (deadline_.hasExpired())
        return expire();
    if (state_ == State::Answered) {
        if (!dialog_ || !dialog_->isVisible()) {
            state_ = State::Done;
            poll_.stop();
            expiry_.stop();
        }
        return;
    }
    if (state_ != State::Waiting)
        return;
    QWidget *w = QApplication::activePopupWidget();
    if (!w)
        w = QApplication::activeModalWidget();
    if (!w || !isNamed(w, name_) || !w->isVisible())
        return;
    if (activation_.isForever())
        activation_.setRemainingTime(ActivationMs);
    if (!w->isActiveWindow() && !activation_.hasExpired())
        return;
    answer(w);
}

void ModalAnswer::answer(QWidget *dialog)
{
    dialog_ = dialog;
    title_ = dialog->windowTitle();
    state_ = State::Answered;
    const bool failedBefore = QTest::currentTestFailed();
    if (act_)
        act_(dialog);
    if (!failedBefore && QTest::currentTestFailed()) {
        state_ = State::Failed;
        failure_ = QStringLiteral("A check inside the dialog %1 failed").arg(name_);
        poll_.stop();
        expiry_.stop();
        closeAllModal();
        return;
    }
    if (dialog_ && dialog_->isVisible() && then_ == Then::Reject) {
        if (auto *d = qobject_cast<QDialog *>(dialog_.data()))
            d->reject();
        else
            dialog_->close();
    } else if (dialog_ && dialog_->isVisible()) {
        QWidget *focus = QApplication::focusWidget();
        const bool inside = focus && (focus == dialog_ || dialog_->isAncestorOf(focus));
        QTest::keyClick(inside ? focus : dialog_.data(), Qt::Key_Return);
    }
    poll();
}

void ModalAnswer::expire()
{
    if (state_ == State::Done || state_ == State::Failed)
        return;
    const bool shown = state_ == State::Answered;
    const QString open = closeAllModal();
    QString why = shown
        ? QStringLiteral("The dialog %1 (\"%2\") was still open %3 s after it was answered")
              .arg(name_, title_)
              .arg(deadlineMs_ / 1000.0)
        : QStringLiteral("No dialog %1 was shown within %2 s").arg(name_).arg(deadlineMs_ / 1000.0);
    if (!open.isEmpty())
        why += QStringLiteral("; closed what was open: ") + open;
    fail(why);
}

void ModalAnswer::fail(const QString &why)
{
    state_ = State::Failed;
    failure_ = why;
    poll_.stop();
    expiry_.stop();
    // At once, before the test's next checks stumble over the closed dialog.
    if (!QTest::currentTestFailed())
        QTest::qFail(qPrintable(why), where_.file_name(), int(where_.line()));
    else
        qWarning("%s", qPrintable(why));
}

} // namespace voltaris::test
