#include "qt/logdialogs.h"

#include "qt/datepickerwidget.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace voltaris {

namespace {

QLocale german()
{
    return QLocale(QLocale::German, QLocale::Germany);
}

// The spin box holds a double; the log keeps the long double nearest to the
// decimal the user sees, as reading the text would give.
long double readingOf(const QDoubleSpinBox *spin)
{
    return std::round(static_cast<long double>(spin->value()) * 10) / 10;
}

} // namespace

// --- LogDialog -------------------------------------------------------------

LogDialog::LogDialog(QWidget *parent)
    : QDialog(parent)
{
    setModal(true);
}

bool LogDialog::run()
{
    const bool accepted = exec() == QDialog::Accepted;
    // Without a window manager the owner would stay inactive.
    if (QWidget *owner = parentWidget())
        owner->window()->activateWindow();
    return accepted;
}

QDateEdit *LogDialog::dateEdit(const QString &name, const QDate &date)
{
    auto *edit = new QDateEdit(this);
    edit->setObjectName(name);
    edit->setLocale(german());
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    edit->setCalendarPopup(true);
    // The popup is a window of its own and does not take the edit's locale.
    QCalendarWidget *calendar = edit->calendarWidget();
    calendar->setLocale(german());
    calendar->setFirstDayOfWeek(Qt::Monday);
    calendar->setGridVisible(true);
    widenForGrid(calendar);
    edit->setDate(date.isValid() ? date : QDate::currentDate());
    return edit;
}

QDoubleSpinBox *LogDialog::readingSpin(const QString &name, long double value)
{
    auto *spin = new QDoubleSpinBox(this);
    spin->setObjectName(name);
    spin->setLocale(german());
    spin->setGroupSeparatorShown(false);
    spin->setDecimals(1);
    spin->setRange(0, 999999);
    spin->setAlignment(Qt::AlignRight);
    spin->setValue(static_cast<double>(value));
    return spin;
}

QDialogButtonBox *LogDialog::okCancel()
{
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // German even where Qt's own translations are missing.
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return box;
}

// A small dialog is as large as its rows and no larger.
QVBoxLayout *LogDialog::fixedLayout(QFormLayout *form)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    return layout;
}

// --- ReadingDialog ---------------------------------------------------------

ReadingDialog::ReadingDialog(const ReadingInput &input, QWidget *parent)
    : LogDialog(parent)
    , input_(input)
    , date_(dateEdit(QStringLiteral("ReadingDate"), input.date))
    , reading_(readingSpin(QStringLiteral("ReadingValue"), input.reading))
{
    setObjectName(QStringLiteral("ReadingDialog"));
    setWindowTitle(input.caption);
    // Wide enough for the title bar to show the whole caption.
    const int wide = fontMetrics().horizontalAdvance(input.caption) * 5 / 4;
    date_->setMinimumWidth(wide);
    reading_->setMinimumWidth(wide);
    // The labels are the inputs' buddies: their mnemonics and their names
    // for a screen reader.
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Ablese&datum:"), date_);
    form->addRow(QStringLiteral("&Zählerstand (kWh):"), reading_);
    fixedLayout(form)->addWidget(okCancel());
}

ReadingInput ReadingDialog::answer() const
{
    ReadingInput answer = input_;
    answer.date = date_->date();
    answer.reading = readingOf(reading_);
    return answer;
}

void ReadingDialog::accept()
{
    const ReadingCheck check = input_.check ? input_.check(answer()) : ReadingCheck {};
    if (!check.refusal.isEmpty()) {
        QMessageBox(QMessageBox::NoIcon, windowTitle(), check.refusal, QMessageBox::Ok, this)
            .exec();
        return;
    }
    if (!check.question.isEmpty()
        && QMessageBox::question(this, windowTitle(), check.question,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    LogDialog::accept();
}

// --- MeterChangeDialog -----------------------------------------------------

MeterChangeDialog::MeterChangeDialog(const MeterChangeInput &input, QWidget *parent)
    : LogDialog(parent)
    , date_(dateEdit(QStringLiteral("ChangeDate"), input.date))
    , oldFinal_(readingSpin(QStringLiteral("ChangeOldFinal"), input.oldFinal))
    , newFirst_(readingSpin(QStringLiteral("ChangeNewFirst"), input.newFirst))
    , number_(new QLineEdit(input.number, this))
{
    setObjectName(QStringLiteral("MeterChangeDialog"));
    setWindowTitle(QStringLiteral("Zählerwechsel"));
    number_->setObjectName(QStringLiteral("ChangeNumber"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Datum des Wechsels:"), date_);
    form->addRow(QStringLiteral("&Letzter Stand des alten Zählers (kWh):"), oldFinal_);
    form->addRow(QStringLiteral("&Erster Stand des neuen Zählers (kWh):"), newFirst_);
    form->addRow(QStringLiteral("&Nummer des neuen Zählers (optional):"), number_);
    fixedLayout(form)->addWidget(okCancel());
}

MeterChangeInput MeterChangeDialog::answer() const
{
    MeterChangeInput answer;
    answer.date = date_->date();
    answer.oldFinal = readingOf(oldFinal_);
    answer.newFirst = readingOf(newFirst_);
    answer.number = number_->text();
    return answer;
}

// --- ImportDialog ----------------------------------------------------------

ImportDialog::ImportDialog(const ImportPreview &preview, QWidget *parent)
    : LogDialog(parent)
    , preview_(preview)
    , table_(new QTreeWidget(this))
    , summary_(new QLabel(this))
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("Ablesungen importieren – ") + preview.fileName);
    setSizeGripEnabled(true);

    table_->setObjectName(QStringLiteral("ImportPreview"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAllColumnsShowFocus(true);
    table_->setHeaderLabels(preview.headers);
    table_->header()->setStretchLastSection(true);
    // Every row is measured for the widths, not only the first thousand: the
    // widest line number is the last.
    table_->header()->setResizeContentsPrecision(-1);

    summary_->setObjectName(QStringLiteral("ImportSummary"));
    summary_->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    accept_ = buttons->addButton(QStringLiteral("&Importieren"), QDialogButtonBox::AcceptRole);
    accept_->setObjectName(QStringLiteral("ImportAccept"));
    QPushButton *cancel
        = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ImportCancel"));
    // The table does not take Enter: it reaches the default button.
    accept_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    if (!preview.offer.isEmpty()) {
        // The user decides: the rows show what either choice does.
        offer_ = new QCheckBox(preview.offer, this);
        offer_->setObjectName(QStringLiteral("ImportOffer"));
        offer_->setChecked(true);
        connect(offer_, &QCheckBox::toggled, this, &ImportDialog::fill);
        layout->addWidget(offer_);
    }
    layout->addWidget(summary_);
    layout->addWidget(buttons);
    // The widths are measured in the font the table will be drawn with.
    table_->ensurePolished();
    fill(true);
    // As wide as the longest reason, within the screen.
    const QFontMetrics metrics(table_->font());
    int wide = 0;
    for (const QStringList &row : preview.rows)
        wide = std::max(wide, metrics.horizontalAdvance(row.value(3)));
    wide += 80;
    for (int c = 0; c + 1 < table_->columnCount(); ++c)
        wide += table_->columnWidth(c);
    if (const QScreen *screen = this->screen())
        wide = std::min(wide, screen->availableGeometry().width() * 9 / 10);
    resize(std::max(640, wide), 400);
}

bool ImportDialog::takeOffer() const
{
    return offer_ && offer_->isChecked();
}

void ImportDialog::fill(bool withOffer)
{
    const bool with = withOffer || !offer_;
    const QList<QStringList> &rows = with ? preview_.rows : preview_.rowsWithout;
    const QList<bool> &added = with ? preview_.added : preview_.addedWithout;
    table_->clear();
    // Skipped rows are muted, not disabled: still legible and reachable by
    // the keyboard, their last column says why.
    const QBrush skipped = palette().brush(QPalette::PlaceholderText);
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(rows[i]);
        // Numbers read best aligned at their right.
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        // A long reason is read whole where the column cuts it.
        item->setToolTip(3, rows[i].value(3));
        if (i >= added.size() || !added[i])
            for (int c = 0; c < item->columnCount(); ++c)
                item->setForeground(c, skipped);
        items.append(item);
    }
    table_->addTopLevelItems(items);
    for (int c = 0; c + 1 < table_->columnCount(); ++c)
        table_->resizeColumnToContents(c);
    summary_->setText(with ? preview_.summary : preview_.summaryWithout);
    accept_->setEnabled(added.contains(true));
}

// --- The dialogs, asked ----------------------------------------------------

QString askOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // German even where Qt's own translations are missing.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Öffnen"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (parent)
        parent->window()->activateWindow();
    return chosen ? dialog.selectedFiles().constFirst() : QString();
}

bool askReading(QWidget *parent, ReadingInput &input)
{
    ReadingDialog dialog(input, parent);
    if (!dialog.run())
        return false;
    input = dialog.answer();
    return true;
}

bool askMeterChange(QWidget *parent, MeterChangeInput &input)
{
    MeterChangeDialog dialog(input, parent);
    if (!dialog.run())
        return false;
    input = dialog.answer();
    return true;
}

bool askImport(QWidget *parent, const ImportPreview &preview, bool *takeOffer)
{
    ImportDialog dialog(preview, parent);
    const bool accepted = dialog.run();
    if (takeOffer)
        *takeOffer = dialog.takeOffer();
    return accepted;
}

QProgressDialog *makeProgressDialog(QWidget *parent, const QString &caption, const QString &text)
{
    auto *dialog = new QProgressDialog(text, QStringLiteral("Abbrechen"), 0, 1000, parent);
    dialog->setObjectName(QStringLiteral("ProgressDialog"));
    dialog->setWindowTitle(caption);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // A short task shows no bar; a long one shows it soon.
    dialog->setMinimumDuration(400);
    dialog->setMinimumWidth(dialog->fontMetrics().horizontalAdvance(text) + 80);
    dialog->setValue(0);
    return dialog;
}

} // namespace voltaris
