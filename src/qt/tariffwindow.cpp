#include "qt/tariffwindow.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "core/logfigures.h"
#include "meterlog/extras.h"
#include "qt/formview.h"
#include "qt/logfollower.h"
#include "qt/savedialog.h"
#include "ui/Unit1.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace voltaris {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
const QString PerYearText = QStringLiteral("Jahr");
const QString PerMonthText = QStringLiteral("Monat");

QString euro(long double x, QChar separator)
{
    return formatValue(x, separator) + QStringLiteral(" €");
}

// An empty field is an unset day; else a day as the fields write it.
bool dayOf(const QLineEdit *edit, QDate &day)
{
    const QString text = edit->text().trimmed();
    day = QDate();
    if (text.isEmpty())
        return true;
    day = QDate::fromString(text, DateFormat);
    return day.isValid();
}

void markField(QLineEdit *edit, bool bad)
{
    edit->setStyleSheet(bad ? QStringLiteral("background: #ffd0d0;") : QString());
}

} // namespace

void offerTariffCheckOnContract(FormView &view, TForm1 &form)
{
    QWidget *group = view.widgetFor(form.GroupBox1);
    if (!group)
        return;
    auto *compare = new QAction(QStringLiteral("Tarife vergleichen…"), group);
    compare->setObjectName(QStringLiteral("Tarife2"));
    QObject::connect(compare, &QAction::triggered, group,
        [&form] { form.app().handle([&form] { form.Tarife1Click(form.GroupBox1); }); });
    group->addAction(compare);
    group->setContextMenuPolicy(Qt::ActionsContextMenu);
}

TariffWindow::TariffWindow(TForm1 &form, const MeterLog &log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , form_(form)
    , log_(log)
    , consumption_(new QLineEdit(this))
    , source_(new QLabel(this))
    , own_(new QLabel(this))
    , noticeLine_(new QLabel(this))
    , hint_(new QLabel(this))
    , table_(new QTableWidget(0, ColumnCount, this))
    , remove_(new QPushButton(QStringLiteral("Angebot entfernen"), this))
    , minimumEnd_(new QLineEdit(this))
    , notice_(new QLineEdit(this))
    , guaranteeEnd_(new QLineEdit(this))
    , bonusEnd_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("TariffWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tarife vergleichen"));

    consumption_->setObjectName(QStringLiteral("ConsumptionEdit"));
    consumption_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")));
    source_->setObjectName(QStringLiteral("ConsumptionSource"));
    source_->setWordWrap(true);
    own_->setObjectName(QStringLiteral("OwnContract"));
    own_->setWordWrap(true);
    auto *measured = new QPushButton(QStringLiteral("Gemessenen Wert nehmen"), this);
    measured->setObjectName(QStringLiteral("MeasuredButton"));
    auto *consumptionRow = new QHBoxLayout;
    auto *consumptionLabel = new QLabel(QStringLiteral("&Verbrauch zum Vergleich:"), this);
    consumptionLabel->setBuddy(consumption_);
    consumptionRow->addWidget(consumptionLabel);
    consumptionRow->addWidget(consumption_);
    consumptionRow->addWidget(new QLabel(QStringLiteral("kWh im Jahr"), this));
    consumptionRow->addWidget(measured);
    consumptionRow->addStretch();
    connect(consumption_, &QLineEdit::textEdited, this, [this] {
        typed_ = true;
        refresh();
    });
    connect(measured, &QPushButton::clicked, this, [this] {
        typed_ = false;
        refresh();
    });

    table_->setObjectName(QStringLiteral("OfferTable"));
    // Headers of two lines keep the results in view beside the offers.
    table_->setHorizontalHeaderLabels({ QStringLiteral("Anbieter"), QStringLiteral("Tarif"),
        QStringLiteral("Grund-\npreis €"), QStringLiteral("je Jahr/\nMonat"),
        QStringLiteral("Cent/\nkWh"), QStringLiteral("Neukunden-\nbonus €"),
        QStringLiteral("Sofort-\nbonus €"), QStringLiteral("Preisgarantie\n(Monate)"),
        QStringLiteral("Mindestlauf-\nzeit (Monate)"), QStringLiteral("Kündigungs-\nfrist"),
        QStringLiteral("Notiz"), QStringLiteral("1. Jahr €"), QStringLiteral("2. Jahr €"),
        QStringLiteral("Ersparnis\n1. Jahr €"), QStringLiteral("Ersparnis\n2. Jahr €"),
        QStringLiteral("Rang\n(2. Jahr)"), QStringLiteral("Hinweis") });
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    // Room for a portal's usual handful of offers, their results beside them.
    table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height()
        + 5 * table_->verticalHeader()->defaultSectionSize()
        + table_->horizontalScrollBar()->sizeHint().height() + 2 * table_->frameWidth());
    connect(table_, &QTableWidget::cellChanged, this, &TariffWindow::offerEdited);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
        [this] { remove_->setEnabled(!table_->selectedItems().isEmpty()); });
    auto *add = new QPushButton(QStringLiteral("Angebot hinzufügen"), this);
    add->setObjectName(QStringLiteral("AddOfferButton"));
    remove_->setObjectName(QStringLiteral("RemoveOfferButton"));
    remove_->setEnabled(false);
    connect(add, &QPushButton::clicked, this, &TariffWindow::addOffer);
    connect(remove_, &QPushButton::clicked, this, &TariffWindow::removeSelectedOffer);
    hint_->setObjectName(QStringLiteral("OfferHint"));
    hint_->setText(QStringLiteral(
        "Grundpreis je Jahr oder je Monat: \"Jahr\" oder \"Monat\"; Kündigungsfrist etwa \"1 "
        "Monat\" oder \"6 Wochen\". Die Boni werden nur im 1. Jahr abgezogen."));
    hint_->setWordWrap(true);
    auto *offerButtons = new QHBoxLayout;
    offerButtons->addWidget(add);
    offerButtons->addWidget(remove_);
    offerButtons->addStretch();

    auto *deadlines = new QGroupBox(QStringLiteral("Fristen Ihres Vertrags"), this);
    auto *fields = new QFormLayout;
    const std::pair<QLineEdit *, QString> named[] = { { minimumEnd_, QStringLiteral("MinimumEnd") },
        { notice_, QStringLiteral("NoticePeriod") },
        { guaranteeEnd_, QStringLiteral("GuaranteeEnd") },
        { bonusEnd_, QStringLiteral("BonusEnd") } };
    for (const auto &[edit, name] : named) {
        edit->setObjectName(name);
        connect(edit, &QLineEdit::editingFinished, this, &TariffWindow::deadlinesEdited);
    }
    for (QLineEdit *e : { minimumEnd_, guaranteeEnd_, bonusEnd_ })
        e->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    notice_->setPlaceholderText(QStringLiteral("z. B. 1 Monat"));
    fields->addRow(QStringLiteral("Mindestlaufzeit bis:"), minimumEnd_);
    fields->addRow(QStringLiteral("Kündigungsfrist:"), notice_);
    fields->addRow(QStringLiteral("Preisgarantie bis (optional):"), guaranteeEnd_);
    fields->addRow(QStringLiteral("Bonuszeitraum bis (optional):"), bonusEnd_);
    noticeLine_->setObjectName(QStringLiteral("NoticeLine"));
    noticeLine_->setWordWrap(true);
    auto *calendar = new QPushButton(QStringLiteral("In den Kalender…"), this);
    calendar->setObjectName(QStringLiteral("CalendarButton"));
    connect(calendar, &QPushButton::clicked, this, &TariffWindow::saveCalendar);
    auto *deadlineLayout = new QVBoxLayout(deadlines);
    deadlineLayout->addLayout(fields);
    deadlineLayout->addWidget(noticeLine_);
    auto *calendarRow = new QHBoxLayout;
    calendarRow->addWidget(calendar);
    calendarRow->addStretch();
    deadlineLayout->addLayout(calendarRow);

    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(consumptionRow);
    layout->addWidget(source_);
    layout->addWidget(own_);
    layout->addWidget(table_, 1);
    layout->addWidget(hint_);
    layout->addLayout(offerButtons);
    layout->addWidget(deadlines);
    layout->addLayout(closeRow);
    // Wide enough for every column and a hint beside them, as far as the
    // screen allows.
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    const int wide = table_->horizontalHeader()->length() + 60 * x;
    resize(std::min(wide, screen()->availableGeometry().width() * 19 / 20), sizeHint().height());

    auto *follower = new LogFollower(
        &log, { &form.Edit1, &form.Edit3, &form.Edit5, &form.Edit_Name, &form.Edit_Tarif }, this);
    connect(follower, &LogFollower::changed, this, &TariffWindow::refresh);
    fillFromFile();
    refresh();
}

TariffWindow::~TariffWindow()
{
    // The fields go with the window's base: a field that loses the focus
    // then must not call back into what is already gone. A field edited
    // before a close was saved when the close took its focus.
    for (QWidget *w : findChildren<QWidget *>())
        w->blockSignals(true);
}

void TariffWindow::fillFromFile()
{
    const FormatSettings &s = form_.app().settings();
    const QChar sep = s.decimalSeparator;
    const SideFileRead<TariffCheck> &read = form_.TariffCheckFile.read();
    const TariffCheck &check = read.value;
    filled_ = read.stamp;
    filling_ = true;
    table_->setRowCount(0);
    for (const Offer &o : check.offers) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        const QString cells[] = { o.supplier, o.tariff, formatValue(o.basePrice, sep),
            o.basePerMonth ? PerMonthText : PerYearText, formatValue(o.price, sep),
            formatValue(o.newCustomerBonus, sep), formatValue(o.instantBonus, sep),
            QString::number(o.guaranteeMonths), QString::number(o.minimumMonths),
            noticePeriodText(o.notice), o.note };
        for (int c = 0; c < int(std::size(cells)); ++c)
            table_->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    const ContractDeadlines &d = check.deadlines;
    minimumEnd_->setText(d.minimumEnd.toString(DateFormat));
    notice_->setText(noticePeriodText(d.notice));
    guaranteeEnd_->setText(d.guaranteeEnd.toString(DateFormat));
    bonusEnd_->setText(d.bonusEnd.toString(DateFormat));
    filling_ = false;
}

long double TariffWindow::consumption() const
{
    long double kwh = 0;
    if (typed_ && tryStrToFloat(consumption_->text(), form_.app().settings().decimalSeparator, kwh)
        && kwh >= 0)
        return kwh;
    return typed_ ? -1 : measured_.kwh;
}

void TariffWindow::refresh()
{
    const FormatSettings &s = form_.app().settings();
    const QChar sep = s.decimalSeparator;
    const QDate today = form_.app().services().today();
    const ContractValues contract = form_.contractValues();
    long double perYear = 0;
    const std::optional<long double> contractYear = tryStrToFloat(contract.perYear, sep, perYear)
        ? std::optional<long double>(perYear)
        : std::nullopt;
    shownLogOf(form_); // with its replacements, as the table counts them
    measured_ = consumptionToCompare(log_.continuousReadings(s), today, contractYear);

    if (!typed_) {
        consumption_->setText(measured_.source == ComparedConsumption::Source::None
                ? QString()
                : formatValue(measured_.kwh, sep));
        switch (measured_.source) {
        case ComparedConsumption::Source::Log:
            source_->setText(QStringLiteral("Gemessen: Ihr Verbrauch vom %1 bis %2 (365 Tage, "
                                            "die Zählerstände an beiden Enden interpoliert).")
                                 .arg(dateToStr(measured_.from, s), dateToStr(measured_.to, s)));
            break;
        case ComparedConsumption::Source::Contract:
            source_->setText(QStringLiteral("Aus dem Vertrag (Verbrauch im Jahr): die Tabelle "
                                            "reicht noch nicht 365 Tage zurück."));
            break;
        case ComparedConsumption::Source::None:
            source_->setText(QStringLiteral("Kein Verbrauch bekannt: tragen Sie ihn ein."));
            break;
        }
    } else {
        source_->setText(QStringLiteral("Ihre eigene Angabe."));
    }

    const long double kwh = consumption();
    markField(consumption_, kwh < 0);
    PricesInForce atStart;
    const bool hasContract = tryStrToFloat(contract.price, sep, atStart.price)
        && tryStrToFloat(contract.basePrice, sep, atStart.basePrice);
    std::vector<Offer> offers;
    int badRow = -1;
    const bool offersRead = offersOfTable(offers, badRow);
    if (!offersRead)
        offers.clear();
    comparison_ = compareOffers(std::max(kwh, 0.0L), atStart, form_.priceChanges(), offers, today);
    const QString name = QStringList({ contract.provider.trimmed(), contract.tariff.trimmed() })
                             .join(QLatin1Char(' '))
                             .trimmed();
    if (kwh < 0)
        own_->setText(QStringLiteral("Der Verbrauch ist keine Zahl."));
    else if (!hasContract)
        own_->setText(QStringLiteral("Ihr Vertrag: Grundpreis und Arbeitspreis fehlen."));
    else
        own_->setText(
            QStringLiteral("Ihr Vertrag%1: die nächsten 12 Monate %2, die 12 danach %3 "
                           "(zu den Preisen, die gelten und schon angekündigt sind).")
                .arg(name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name),
                    euro(comparison_.ownYearOne, sep), euro(comparison_.ownYearTwo, sep)));

    filling_ = true;
    for (int row = 0; row < table_->rowCount(); ++row) {
        QStringList cells;
        if (offersRead && kwh >= 0 && hasContract) {
            const OfferResult &r = comparison_.offers[size_t(row)];
            cells = { formatValue(r.yearOne, sep), formatValue(r.yearTwo, sep),
                formatValue(r.savingOne, sep), formatValue(r.savingTwo, sep),
                QString::number(r.rank), bonusTrapText(r, sep) };
        } else {
            cells = { {}, {}, {}, {}, {},
                row == badRow ? QStringLiteral("Bitte die Angaben dieser Zeile prüfen.")
                              : QString() };
        }
        for (int c = YearOne; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c - YearOne]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            table_->setItem(row, c, item);
        }
    }
    filling_ = false;

    ContractDeadlines d;
    const bool deadlinesRead = deadlinesOfFields(d);
    noticeLine_->setText(deadlinesRead ? noticeLine(d, today)
                                       : QStringLiteral("Bitte die Fristen prüfen (Tage als "
                                                        "TT.MM.JJJJ, Frist etwa \"1 Monat\")."));
}

bool TariffWindow::offersOfTable(std::vector<Offer> &offers, int &badRow) const
{
    const QChar sep = form_.app().settings().decimalSeparator;
    const auto text = [this](int row, int col) {
        const QTableWidgetItem *item = table_->item(row, col);
        return item ? item->text().trimmed() : QString();
    };
    const auto amount = [&](int row, int col, long double &v) {
        const QString t = text(row, col);
        v = 0;
        return t.isEmpty() || (tryStrToFloat(t, sep, v) && v >= 0);
    };
    const auto months = [&](int row, int col, int &v) {
        const QString t = text(row, col);
        v = 0;
        return t.isEmpty() || (tryStrToInt(t, v) && v >= 0 && v <= 600);
    };
    for (int row = 0; row < table_->rowCount(); ++row) {
        Offer o;
        o.supplier = text(row, Supplier);
        o.tariff = text(row, Tariff);
        o.note = text(row, Note);
        const QString per = text(row, BasePer);
        o.basePerMonth = per.compare(PerMonthText, Qt::CaseInsensitive) == 0;
        if (o.supplier.isEmpty()
            || (!per.isEmpty() && !o.basePerMonth
                && per.compare(PerYearText, Qt::CaseInsensitive) != 0)
            || !amount(row, BasePrice, o.basePrice) || !amount(row, Price, o.price)
            || !amount(row, Bonus, o.newCustomerBonus) || !amount(row, InstantBonus, o.instantBonus)
            || !months(row, Guarantee, o.guaranteeMonths)
            || !months(row, MinimumTerm, o.minimumMonths)
            || !parseNoticePeriod(text(row, Notice), o.notice)) {
            badRow = row;
            return false;
        }
        offers.push_back(o);
    }
    return true;
}

bool TariffWindow::deadlinesOfFields(ContractDeadlines &d) const
{
    const bool minimum = dayOf(minimumEnd_, d.minimumEnd);
    const bool notice = parseNoticePeriod(notice_->text(), d.notice);
    const bool guarantee = dayOf(guaranteeEnd_, d.guaranteeEnd);
    const bool bonus = dayOf(bonusEnd_, d.bonusEnd);
    markField(minimumEnd_, !minimum);
    markField(notice_, !notice);
    markField(guaranteeEnd_, !guarantee);
    markField(bonusEnd_, !bonus);
    return minimum && notice && guarantee && bonus;
}

void TariffWindow::save()
{
    // Saved only as a whole: a row or field that cannot be read yet keeps
    // the file as it was, until it can.
    TariffCheck check;
    int badRow = -1;
    if (!offersOfTable(check.offers, badRow) || !deadlinesOfFields(check.deadlines))
        return;
    // The file is not made for a folder that has no offer and no deadline.
    if (check.empty() && !form_.TariffCheckFile.read().stamp.exists)
        return;
    bool saved = false;
    form_.app().handle([&] { saved = form_.SaveTariffCheck(check, filled_); });
    if (saved)
        filled_ = form_.TariffCheckFile.stamp();
    else if (form_.TariffCheckFile.read().stamp != filled_)
        // Another program's version, to edit again: once the edit that
        // called this is over, as its cell goes with the rows.
        QMetaObject::invokeMethod(
            this,
            [this] {
                fillFromFile();
                refresh();
            },
            Qt::QueuedConnection);
}

void TariffWindow::offerEdited(int, int column)
{
    if (filling_ || column >= YearOne)
        return;
    save();
    refresh();
}

void TariffWindow::deadlinesEdited()
{
    save();
    refresh();
}

void TariffWindow::addOffer()
{
    filling_ = true;
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, Supplier, new QTableWidgetItem);
    table_->setItem(row, BasePer, new QTableWidgetItem(PerYearText));
    filling_ = false;
    refresh();
    table_->setCurrentCell(row, Supplier);
    table_->editItem(table_->item(row, Supplier));
}

void TariffWindow::removeSelectedOffer()
{
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    if (selected.isEmpty())
        return;
    table_->removeRow(selected.front()->row());
    save();
    refresh();
}

void TariffWindow::saveCalendar()
{
    ContractDeadlines d;
    if (!deadlinesOfFields(d))
        return;
    const QDate today = form_.app().services().today();
    const std::vector<Deadline> list = deadlinesOf(d, today);
    if (list.empty()) {
        QMessageBox::information(this, form_.app().Title,
            QStringLiteral("Es ist keine Frist eingetragen, die noch bevorsteht."));
        return;
    }
    const QString path = askSaveFileName(this, QStringLiteral("In den Kalender"),
        QDir::current().absoluteFilePath(form_.dataFolder().path(DataFile::Calendar)),
        QStringLiteral("iCalendar-Datei (*.ics)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeFileSafely(path, calendarBytes(list, QDateTime::currentDateTimeUtc()), &error)) {
        QMessageBox::warning(this, form_.app().Title,
            QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden: %2.")
                .arg(displayPath(path), error));
        return;
    }
    // The desktop's calendar takes the file from here.
    form_.app().services().openUrl(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
}

void TariffWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace voltaris
