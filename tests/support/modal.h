// Answering the program's modal dialogs from a test without depending on the
// window system's pace.
#pragma once

#include <QDeadlineTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <source_location>

class QWidget;

namespace voltaris::test {

// Answers the next modal dialog (or popup menu) of that object name as a
// user would: once it is shown and its window active, `act` fills it in; then Enter
// goes to the dialog's focus widget, or to the dialog itself (a QDialog
// passes it to its default button) while the focus is still elsewhere. An
// act that closes the dialog itself answers it without the Enter; with
// Then::Reject, what the act left open is cancelled instead of accepted.
//
// The test never stays blocked in the dialog's exec(): when the dialog has
// not come and gone by the deadline, every modal dialog and popup still open
// is rejected, so that the exec() returns, and the test fails naming the
// dialog it waited for and what was open instead. A failure inside `act`
// rejects the dialog as well.
//
// Arm it before the step that opens the dialog, then check it with
// VERIFY_ANSWERED right after that step.
class ModalAnswer {
public:
    using Act = std::function<void(QWidget *dialog)>;
    enum class Then { Enter, Reject };
    static constexpr int DeadlineMs = 20000;

    // `name`: the dialog's object name, or a class it inherits ("QMessageBox").
    // A failure is reported at `where`: the test's line that armed it.
    explicit ModalAnswer(QString name, Act act = {}, Then then = Then::Enter,
        int deadlineMs = DeadlineMs, std::source_location where = std::source_location::current());
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer &) = delete;
    ModalAnswer &operator=(const ModalAnswer &) = delete;

    // Waits until the dialog was answered and closed, at most until the
    // deadline; false with failure() telling why otherwise.
    bool wait();
    QString failure() const { return failure_; }
    // The dialog's window title when it was shown.
    QString title() const { return title_; }

private:
    enum class State { Waiting, Answered, Done, Failed };
    void poll();
    void answer(QWidget *dialog);
    void expire();
    void fail(const QString &why);

    QString name_;
    Act act_;
    Then then_;
    int deadlineMs_;
    QDeadlineTimer deadline_;
    // Waiting for activation longer than this: a window system without a
    // window manager may never activate the dialog; Enter then goes to the
    // dialog itself.
    QDeadlineTimer activation_;
    State state_ = State::Waiting;
    QPointer<QWidget> dialog_;
    QString failure_, title_;
    QTimer poll_, expiry_;
    std::source_location where_;
};

// Closes every modal dialog and popup that is open (the topmost first);
// what was open, for a failure's message.
QString closeAllModal();

// Types `text` over the whole text of the dialog's spin box of that object
// name, as a user who clicked into it; fails the running test when there is
// none.
void typeInto(QWidget *dialog, const QString &spin, const QString &text);

} // namespace voltaris::test

// Checks a ModalAnswer after the step that opened its dialog; a failure
// already recorded inside the dialog is not repeated.
#define VERIFY_ANSWERED(answer)                                                                    \
    do {                                                                                           \
        if (!(answer).wait()) {                                                                    \
            if (!QTest::currentTestFailed())                                                       \
                QTest::qFail(qPrintable((answer).failure()), __FILE__, __LINE__);                  \
            return;                                                                                \
        }                                                                                          \
    } while (false)
