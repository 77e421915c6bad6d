// The modal dialogs of the log: a reading, a meter replacement, the import's
// preview, and the open dialog.
#pragma once

#include "ui/services.h"

#include <QDialog>

class QCheckBox;
class QDate;
class QDateEdit;
class QLabel;
class QProgressDialog;
class QPushButton;
class QTreeWidget;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QVBoxLayout;

namespace voltaris {

// What the dialogs share: German inputs and buttons, and running modally
// over their parent window.
class LogDialog : public QDialog {
    Q_OBJECT
public:
    explicit LogDialog(QWidget *parent);
    // Shows the dialog modally; true when it was accepted.
    bool run();

protected:
    QDateEdit *dateEdit(const QString &name, const QDate &date);
    QDoubleSpinBox *readingSpin(const QString &name, long double value);
    // "OK" and "Abbrechen", OK the default.
    QDialogButtonBox *okCancel();
    // The dialog's layout: `form` on top, the whole as large as its rows and
    // no larger; the caller adds the buttons.
    QVBoxLayout *fixedLayout(QFormLayout *form);
};

class ReadingDialog : public LogDialog {
    Q_OBJECT
public:
    ReadingDialog(const ReadingInput &input, QWidget *parent = nullptr);
    // The input as the user has set it.
    ReadingInput answer() const;
    // OK: the input's check first, which may keep the dialog open.
    void accept() override;

private:
    ReadingInput input_;
    QDateEdit *date_;
    QDoubleSpinBox *reading_;
};

class MeterChangeDialog : public LogDialog {
    Q_OBJECT
public:
    MeterChangeDialog(const MeterChangeInput &input, QWidget *parent = nullptr);
    MeterChangeInput answer() const;

private:
    QDateEdit *date_;
    QDoubleSpinBox *oldFinal_, *newFirst_;
    QLineEdit *number_;
};

class ImportDialog : public LogDialog {
    Q_OBJECT
public:
    ImportDialog(const ImportPreview &preview, QWidget *parent = nullptr);
    // Whether the offered replacements are ticked.
    bool takeOffer() const;

private:
    // The rows, marks and summary with or without the offered replacements.
    void fill(bool withOffer);

    ImportPreview preview_;
    QTreeWidget *table_;
    QLabel *summary_;
    QCheckBox *offer_ = nullptr;
    QPushButton *accept_ = nullptr;
};

// A modal open dialog in German; the chosen path, empty when cancelled.
QString askOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
// The dialogs, modal over `parent`; true on OK, with `input` holding the
// answer, else `input` unchanged.
bool askReading(QWidget *parent, ReadingInput &input);
bool askMeterChange(QWidget *parent, MeterChangeInput &input);
// With `takeOffer`, whether the offered replacements were ticked.
bool askImport(QWidget *parent, const ImportPreview &preview, bool *takeOffer = nullptr);
// A modal progress bar with "Abbrechen" over `parent`, shown once the task
// has taken a moment; its owner deletes it.
QProgressDialog *makeProgressDialog(QWidget *parent, const QString &caption, const QString &text);

} // namespace voltaris
