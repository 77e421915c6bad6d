#include "qt/meterdialog.h"

#include "common/numtext.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <map>

namespace voltaris {

namespace {

constexpr MeterKind Kinds[] = { MeterKind::LowTariff, MeterKind::OwnContract, MeterKind::SubMeter,
    MeterKind::FeedIn, MeterKind::Solar };

// The columns of the dated changes.
enum ChangeCol { From, Price, BasePrice, Monthly, ChangeCols };

const QString DateFormat = QStringLiteral("dd.MM.yyyy");

bool hasChanges(MeterKind kind)
{
    return kind == MeterKind::LowTariff || kind == MeterKind::OwnContract
        || kind == MeterKind::FeedIn;
}

QDateEdit *dateEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(DateFormat);
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

MeterDialog::MeterDialog(const MetersInput &input, QWidget *parent)
    : QDialog(parent)
    , input_(input)
{
    setObjectName(QStringLiteral("MeterDialog"));
    setWindowTitle(QStringLiteral("Zähler verwalten"));
    setModal(true);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("MeterList"));
    list_->setAccessibleName(QStringLiteral("Zähler"));
    list_->addItem(meterKindName(MeterKind::Main));
    for (const Meter &m : input_.meters.further)
        list_->addItem(m.name);
    auto *add = new QPushButton(QStringLiteral("&Hinzufügen"), this);
    add->setObjectName(QStringLiteral("AddMeter"));
    add->setAutoDefault(false);
    remove_ = new QPushButton(QStringLiteral("&Entfernen"), this);
    remove_->setObjectName(QStringLiteral("RemoveMeter"));
    remove_->setAutoDefault(false);
    auto *left = new QVBoxLayout;
    left->addWidget(list_);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove_);
    left->addLayout(buttons);

    fields_ = new QWidget(this);
    form_ = new QFormLayout(fields_);
    const auto line = [this](const QString &name) {
        auto *e = new QLineEdit(fields_);
        e->setObjectName(name);
        return e;
    };
    name_ = line(QStringLiteral("MeterName"));
    kind_ = new QComboBox(fields_);
    kind_->setObjectName(QStringLiteral("MeterKind"));
    for (MeterKind k : Kinds)
        kind_->addItem(meterKindName(k));
    number_ = line(QStringLiteral("MeterNumber"));
    price_ = numberEdit(QStringLiteral("MeterPrice"));
    provider_ = line(QStringLiteral("ContractProvider"));
    tariff_ = line(QStringLiteral("ContractTariff"));
    start_ = dateEdit(fields_, QStringLiteral("ContractStart"));
    basePrice_ = numberEdit(QStringLiteral("ContractBasePrice"));
    contractPrice_ = numberEdit(QStringLiteral("ContractPrice"));
    monthly_ = numberEdit(QStringLiteral("ContractMonthly"));
    purchase_ = numberEdit(QStringLiteral("SolarPurchase"));
    solarStart_ = dateEdit(fields_, QStringLiteral("SolarStart"));
    peak_ = numberEdit(QStringLiteral("SolarPeak"));
    share_ = numberEdit(QStringLiteral("SolarShare"));
    form_->addRow(QStringLiteral("&Name:"), name_);
    form_->addRow(QStringLiteral("&Art:"), kind_);
    form_->addRow(QStringLiteral("Zähler&nummer:"), number_);
    form_->addRow(QStringLiteral("Preis (Cent/kWh):"), price_);
    form_->addRow(QStringLiteral("Anbieter:"), provider_);
    form_->addRow(QStringLiteral("Tarif:"), tariff_);
    form_->addRow(QStringLiteral("Vertragsbeginn:"), start_);
    form_->addRow(QStringLiteral("Grundpreis (€/Jahr):"), basePrice_);
    form_->addRow(QStringLiteral("Preis (Cent/kWh):"), contractPrice_);
    form_->addRow(QStringLiteral("Abschlag (€/Monat):"), monthly_);
    form_->addRow(QStringLiteral("Kaufpreis (€):"), purchase_);
    form_->addRow(QStringLiteral("Inbetriebnahme:"), solarStart_);
    form_->addRow(QStringLiteral("Leistung (kWp, freiwillig):"), peak_);
    form_->addRow(QStringLiteral("Anteil eingespeist (%):"), share_);

    changes_ = new QTableWidget(0, ChangeCols, fields_);
    changes_->setObjectName(QStringLiteral("MeterChanges"));
    changes_->setAccessibleName(QStringLiteral("Preisänderungen"));
    changes_->setHorizontalHeaderLabels(
        { QStringLiteral("ab Datum"), QStringLiteral("Preis (Cent/kWh)"),
            QStringLiteral("Grundpreis (€/Jahr)"), QStringLiteral("Abschlag (€/Monat)") });
    changes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    changes_->verticalHeader()->hide();
    changes_->setMinimumHeight(110);
    changes_->setMinimumWidth(480); // the four columns side by side
    addChange_ = new QPushButton(QStringLiteral("Änderung hin&zufügen"), fields_);
    addChange_->setObjectName(QStringLiteral("AddChange"));
    addChange_->setAutoDefault(false);
    removeChange_ = new QPushButton(QStringLiteral("Änderung ent&fernen"), fields_);
    removeChange_->setObjectName(QStringLiteral("RemoveChange"));
    removeChange_->setAutoDefault(false);
    auto *changeButtons = new QHBoxLayout;
    changeButtons->addWidget(addChange_);
    changeButtons->addWidget(removeChange_);
    form_->addRow(QStringLiteral("Preisänderungen:"), changes_);
    form_->addRow(QString(), changeButtons);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("MeterNote"));
    note_->setWordWrap(true);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(fields_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note_);
    layout->addWidget(box);

    connect(list_, &QListWidget::currentRowChanged, this, &MeterDialog::select);
    connect(add, &QPushButton::clicked, this, &MeterDialog::addMeter);
    connect(remove_, &QPushButton::clicked, this, &MeterDialog::removeMeter);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        if (loading_)
            return;
        take();
        showKindFields();
    });
    connect(name_, &QLineEdit::textEdited, this, [this](const QString &name) {
        if (current_ >= 0)
            list_->item(current_ + 1)->setText(name);
    });
    connect(addChange_, &QPushButton::clicked, this, [this] {
        const int row = changes_->rowCount();
        changes_->insertRow(row);
        changes_->setItem(
            row, From, new QTableWidgetItem(QDate::currentDate().toString(DateFormat)));
        changes_->setCurrentCell(row, From);
        changes_->editItem(changes_->item(row, From));
    });
    connect(removeChange_, &QPushButton::clicked, this, [this] {
        if (const int row = changes_->currentRow(); row >= 0)
            changes_->removeRow(row);
    });
    list_->setCurrentRow(0);
}

QLineEdit *MeterDialog::numberEdit(const QString &name)
{
    auto *e = new QLineEdit(fields_);
    e->setObjectName(name);
    return e;
}

QString MeterDialog::number(long double v) const
{
    // As many decimals as the value has (up to four), the desktop's separator.
    QString text = QString::number(double(v), 'f', 4);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0'))))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), input_.separator);
}

long double MeterDialog::parse(QLineEdit *edit, const QString &label, bool optional)
{
    const QString text = edit->text().trimmed();
    long double v = 0;
    if (text.isEmpty() && optional)
        return 0;
    if (!tryStrToFloat(text, input_.separator, v) || v < 0)
        problems_ << QStringLiteral("„%1“ ist keine Zahl (zum Beispiel 12%250).")
                         .arg(label, input_.separator);
    return v;
}

void MeterDialog::select(int row)
{
    if (row < 0)
        return;
    take();
    if (!problems_.isEmpty() && current_ >= 0) {
        // The meter's fields stay until they hold numbers.
        QMessageBox(QMessageBox::NoIcon, windowTitle(), problems_.front(), QMessageBox::Ok, this)
            .exec();
        const QSignalBlocker blocker(list_);
        list_->setCurrentRow(current_ + 1);
        return;
    }
    current_ = row - 1;
    load();
}

void MeterDialog::load()
{
    loading_ = true;
    const bool main = current_ < 0;
    fields_->setEnabled(!main);
    remove_->setEnabled(!main);
    problems_.clear();
    Meter m;
    if (main) {
        m.name = meterKindName(MeterKind::Main);
        m.kind = MeterKind::Main;
    } else {
        m = input_.meters.further[size_t(current_)];
    }
    name_->setText(m.name);
    number_->setText(m.number);
    const auto *at = std::find(std::begin(Kinds), std::end(Kinds), m.kind);
    kind_->setCurrentIndex(at == std::end(Kinds) ? -1 : int(at - std::begin(Kinds)));
    price_->setText(number(m.price));
    provider_->setText(m.contract.provider);
    tariff_->setText(m.contract.tariff);
    start_->setDate(m.contract.start.isValid() ? m.contract.start : QDate::currentDate());
    basePrice_->setText(number(m.contract.basePrice));
    contractPrice_->setText(number(m.contract.price));
    monthly_->setText(number(m.contract.monthly));
    purchase_->setText(number(m.solar.purchasePrice));
    solarStart_->setDate(m.solar.start.isValid() ? m.solar.start : QDate::currentDate());
    peak_->setText(m.solar.peakPower ? number(*m.solar.peakPower) : QString());
    share_->setText(number(m.solar.feedInShare));
    changes_->setRowCount(0);
    // One row a day: the price change and the instalment change of that
    // day (an instalment's day is the first of its month) side by side.
    std::map<QDate, std::array<QString, ChangeCols>> rows;
    for (const TariffChange &c : m.changes.tariff) {
        auto &r = rows[c.from];
        if (c.price)
            r[Price] = number(*c.price);
        if (c.basePrice)
            r[BasePrice] = number(*c.basePrice);
    }
    for (const InstalmentChange &c : m.changes.instalments)
        rows[c.from][Monthly] = number(c.monthly);
    for (const auto &[day, cells] : rows) {
        const int row = changes_->rowCount();
        changes_->insertRow(row);
        changes_->setItem(row, From, new QTableWidgetItem(day.toString(DateFormat)));
        for (int c = Price; c < ChangeCols; ++c)
            changes_->setItem(row, c, new QTableWidgetItem(cells[size_t(c)]));
    }
    showKindFields();
    loading_ = false;
}

void MeterDialog::showKindFields()
{
    const int k = kind_->currentIndex();
    const MeterKind kind = k >= 0 ? Kinds[k] : MeterKind::Main;
    const bool own = kind == MeterKind::OwnContract, solar = kind == MeterKind::Solar;
    form_->setRowVisible(price_, kind == MeterKind::LowTariff || kind == MeterKind::FeedIn);
    if (auto *label = qobject_cast<QLabel *>(form_->labelForField(price_)))
        label->setText(kind == MeterKind::FeedIn ? QStringLiteral("Vergütung (Cent/kWh):")
                                                 : QStringLiteral("Preis (Cent/kWh):"));
    for (QWidget *w : std::initializer_list<QWidget *> {
             provider_, tariff_, start_, basePrice_, contractPrice_, monthly_ })
        form_->setRowVisible(w, own);
    for (QWidget *w : std::initializer_list<QWidget *> { purchase_, solarStart_, peak_, share_ })
        form_->setRowVisible(w, solar);
    form_->setRowVisible(changes_, hasChanges(kind));
    form_->setRowVisible(form_->rowCount() - 1, hasChanges(kind));
    // The night register's and the feed-in's changes are of their price only.
    changes_->setColumnHidden(BasePrice, !own);
    changes_->setColumnHidden(Monthly, !own);
}

void MeterDialog::take()
{
    if (loading_ || current_ < 0 || size_t(current_) >= input_.meters.further.size())
        return;
    problems_.clear();
    Meter &m = input_.meters.further[size_t(current_)];
    m.name = name_->text().trimmed();
    m.number = number_->text().trimmed();
    if (const int k = kind_->currentIndex(); k >= 0)
        m.kind = Kinds[k];
    const QString who = QStringLiteral("%1: ").arg(m.name);
    m.price = m.kind == MeterKind::LowTariff || m.kind == MeterKind::FeedIn
        ? parse(price_, who + form_->labelForField(price_)->property("text").toString())
        : 0;
    m.contract = {};
    m.solar = {};
    if (m.kind == MeterKind::OwnContract) {
        m.contract.provider = provider_->text().trimmed();
        m.contract.tariff = tariff_->text().trimmed();
        m.contract.start = start_->date();
        m.contract.basePrice = parse(basePrice_, who + QStringLiteral("Grundpreis"));
        m.contract.price = parse(contractPrice_, who + QStringLiteral("Preis"));
        m.contract.monthly = parse(monthly_, who + QStringLiteral("Abschlag"));
    } else if (m.kind == MeterKind::Solar) {
        m.solar.purchasePrice = parse(purchase_, who + QStringLiteral("Kaufpreis"));
        m.solar.start = solarStart_->date();
        if (!peak_->text().trimmed().isEmpty())
            m.solar.peakPower = parse(peak_, who + QStringLiteral("Leistung"));
        m.solar.feedInShare = parse(share_, who + QStringLiteral("Anteil eingespeist"));
    }
    m.changes = {};
    if (!hasChanges(m.kind))
        return;
    const bool own = m.kind == MeterKind::OwnContract;
    for (int row = 0; row < changes_->rowCount(); ++row) {
        const auto cell = [&](int c) {
            const QTableWidgetItem *item = changes_->item(row, c);
            return item ? item->text().trimmed() : QString();
        };
        const QDate from = QDate::fromString(cell(From), DateFormat);
        if (!from.isValid()) {
            problems_ << QStringLiteral("%1Preisänderung %2: „%3“ ist kein Datum (TT.MM.JJJJ).")
                             .arg(who)
                             .arg(row + 1)
                             .arg(cell(From));
            continue;
        }
        const auto value = [&](int c, const QString &label) -> std::optional<long double> {
            long double v = 0;
            if (cell(c).isEmpty())
                return std::nullopt;
            if (!tryStrToFloat(cell(c), input_.separator, v) || v < 0) {
                problems_ << QStringLiteral("%1Preisänderung %2: „%3“ ist keine Zahl.")
                                 .arg(who)
                                 .arg(row + 1)
                                 .arg(label);
                return std::nullopt;
            }
            return v;
        };
        TariffChange t { from, value(Price, QStringLiteral("Preis")),
            own ? value(BasePrice, QStringLiteral("Grundpreis")) : std::nullopt };
        if (t.price || t.basePrice)
            m.changes.tariff.push_back(t);
        if (own)
            if (const auto monthly = value(Monthly, QStringLiteral("Abschlag")))
                m.changes.instalments.push_back({ QDate(from.year(), from.month(), 1), *monthly });
    }
    const auto byDate = [](const auto &a, const auto &b) { return a.from < b.from; };
    std::sort(m.changes.tariff.begin(), m.changes.tariff.end(), byDate);
    std::sort(m.changes.instalments.begin(), m.changes.instalments.end(), byDate);
}

void MeterDialog::addMeter()
{
    take();
    Meter m;
    m.name = QStringLiteral("Zähler %1").arg(input_.meters.further.size() + 2);
    input_.meters.further.push_back(m);
    list_->addItem(m.name);
    list_->setCurrentRow(list_->count() - 1);
    name_->setFocus();
    name_->selectAll();
}

void MeterDialog::removeMeter()
{
    if (current_ < 0)
        return;
    const Meter m = input_.meters.further[size_t(current_)];
    // What goes is the meter, not its readings: its file stays, and a meter
    // of that name takes it up again.
    note_->setText(m.fileKey.isEmpty()
            ? QStringLiteral("„%1“ wird entfernt.").arg(m.name)
            : QStringLiteral("„%1“ wird entfernt. Die Datei „%2“ mit seinen Ablesungen bleibt "
                             "erhalten; ein neuer Zähler dieses Namens übernimmt sie wieder.")
                  .arg(m.name, input_.logName ? input_.logName(m.fileKey) : m.fileKey));
    input_.meters.further.erase(input_.meters.further.begin() + current_);
    const int row = current_ + 1;
    current_ = -1; // nothing to take from the fields of the meter gone
    delete list_->takeItem(row);
    list_->setCurrentRow(row - 1);
}

const Meters &MeterDialog::answer()
{
    take();
    return input_.meters;
}

void MeterDialog::accept()
{
    answer();
    QString refusal = problems_.isEmpty() ? QString() : problems_.front();
    if (refusal.isEmpty() && input_.check)
        refusal = input_.check(input_.meters);
    if (!refusal.isEmpty()) {
        QMessageBox(QMessageBox::NoIcon, windowTitle(), refusal, QMessageBox::Ok, this).exec();
        return;
    }
    QDialog::accept();
}

bool askMeters(QWidget *parent, MetersInput &input)
{
    MeterDialog dialog(input, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (QWidget *owner = parent)
        owner->window()->activateWindow();
    if (accepted)
        input.meters = dialog.answer();
    return accepted;
}

} // namespace voltaris
