#include "qt/pricedialogs.h"

#include "common/dates.h"
#include "common/numtext.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace voltaris {

namespace {

QDoubleSpinBox *euroSpin(QWidget *parent, const QString &name, long double value)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    spin->setLocale(QLocale(QLocale::German, QLocale::Germany));
    spin->setGroupSeparatorShown(false);
    spin->setDecimals(2);
    spin->setRange(0, 99999.99);
    spin->setAlignment(Qt::AlignRight);
    spin->setValue(static_cast<double>(value));
    return spin;
}

// The spin box holds a double; the change keeps the cents the user sees.
long double centsOf(const QDoubleSpinBox *spin)
{
    return std::round(static_cast<long double>(spin->value()) * 100) / 100;
}

QLabel *buddyLabel(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// --- PriceChangeDialog -----------------------------------------------------

PriceChangeDialog::PriceChangeDialog(
    const QDate &from, long double price, long double basePrice, QWidget *parent)
    : LogDialog(parent)
    , from_(dateEdit(QStringLiteral("PriceFrom"), from))
    , price_(euroSpin(this, QStringLiteral("PriceValue"), price))
    , base_(euroSpin(this, QStringLiteral("BaseValue"), basePrice))
    , priceKeep_(new QCheckBox(QStringLiteral("&bleibt"), this))
    , baseKeep_(new QCheckBox(QStringLiteral("b&leibt"), this))
{
    setObjectName(QStringLiteral("PriceChangeDialog"));
    setWindowTitle(QStringLiteral("Preisänderung"));
    priceKeep_->setObjectName(QStringLiteral("PriceKeep"));
    baseKeep_->setObjectName(QStringLiteral("BaseKeep"));
    priceKeep_->setAccessibleName(QStringLiteral("Strompreis bleibt"));
    baseKeep_->setAccessibleName(QStringLiteral("Grundpreis bleibt"));
    // A price adjustment mostly changes the price per kWh.
    baseKeep_->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(buddyLabel(this, QStringLiteral("&Gültig ab:"), from_), from_);
    auto *priceRow = new QHBoxLayout;
    priceRow->addWidget(price_, 1);
    priceRow->addWidget(priceKeep_);
    form->addRow(
        buddyLabel(this, QStringLiteral("Neuer &Strompreis (Cent/kWh):"), price_), priceRow);
    auto *baseRow = new QHBoxLayout;
    baseRow->addWidget(base_, 1);
    baseRow->addWidget(baseKeep_);
    form->addRow(buddyLabel(this, QStringLiteral("Neuer G&rundpreis (€/Jahr):"), base_), baseRow);
    QDialogButtonBox *buttons = okCancel();
    ok_ = buttons->button(QDialogButtonBox::Ok);
    fixedLayout(form)->addWidget(buttons);

    connect(priceKeep_, &QCheckBox::toggled, this, &PriceChangeDialog::follow);
    connect(baseKeep_, &QCheckBox::toggled, this, &PriceChangeDialog::follow);
    follow();
}

void PriceChangeDialog::follow()
{
    price_->setEnabled(!priceKeep_->isChecked());
    base_->setEnabled(!baseKeep_->isChecked());
    ok_->setEnabled(!priceKeep_->isChecked() || !baseKeep_->isChecked());
}

TariffChange PriceChangeDialog::answer() const
{
    TariffChange change;
    change.from = from_->date();
    if (!priceKeep_->isChecked())
        change.price = centsOf(price_);
    if (!baseKeep_->isChecked())
        change.basePrice = centsOf(base_);
    return change;
}

// --- InstalmentChangeDialog ------------------------------------------------

InstalmentChangeDialog::InstalmentChangeDialog(
    const QDate &from, long double monthly, QWidget *parent)
    : LogDialog(parent)
    , from_(dateEdit(QStringLiteral("InstalmentFrom"), from))
    , monthly_(euroSpin(this, QStringLiteral("InstalmentValue"), monthly))
{
    setObjectName(QStringLiteral("InstalmentChangeDialog"));
    setWindowTitle(QStringLiteral("Abschlagsänderung"));
    from_->setDisplayFormat(QStringLiteral("MM.yyyy"));
    if (from_->date().isValid())
        from_->setDate(QDate(from_->date().year(), from_->date().month(), 1));
    auto *form = new QFormLayout;
    form->addRow(buddyLabel(this, QStringLiteral("&Gültig ab Monat:"), from_), from_);
    form->addRow(
        buddyLabel(this, QStringLiteral("Neuer &Abschlag (€/Monat):"), monthly_), monthly_);
    fixedLayout(form)->addWidget(okCancel());
}

InstalmentChange InstalmentChangeDialog::answer() const
{
    const QDate d = from_->date();
    return { QDate(d.year(), d.month(), 1), centsOf(monthly_) };
}

// --- the lines of the list --------------------------------------------------

std::vector<PriceChangeLine> priceChangeLines(const PriceChanges &changes, const FormatSettings &s)
{
    const QChar sep = s.decimalSeparator;
    std::vector<PriceChangeLine> lines;
    auto t = changes.tariff.begin();
    auto i = changes.instalments.begin();
    while (t != changes.tariff.end() || i != changes.instalments.end()) {
        if (t != changes.tariff.end() && (i == changes.instalments.end() || t->from <= i->from)) {
            const QString price = t->price
                ? QStringLiteral("Strompreis %1 Cent/kWh").arg(formatValue(*t->price, sep))
                : QStringLiteral("Strompreis unverändert");
            const QString base = t->basePrice
                ? QStringLiteral("Grundpreis %1 €/Jahr").arg(formatValue(*t->basePrice, sep))
                : QStringLiteral("Grundpreis unverändert");
            lines.push_back(
                { QStringLiteral("ab %1: %2, %3").arg(dateToStr(t->from, s), price, base), true,
                    t->from });
            ++t;
        } else {
            lines.push_back({ QStringLiteral("ab %1: Abschlag %2 € im Monat")
                                  .arg(dateToStr(i->from, s), formatValue(i->monthly, sep)),
                false, i->from });
            ++i;
        }
    }
    return lines;
}

} // namespace voltaris
