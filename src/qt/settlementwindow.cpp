#include "qt/settlementwindow.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "meterlog/extras.h"
#include "qt/logfollower.h"
#include "qt/pricedialogs.h"
#include "qt/settlementsheet.h"
#include "ui/Unit1.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace voltaris {

SettlementPage settlementPageOf(TForm1 &form)
{
    return { mainLogOf(form), form.contractValues(), form.priceChanges(), form.app().settings(),
        form.app().services().today(), form.app().Title,
        QDir::current().absoluteFilePath(form.dataFolder().path(DataFile::SettlementPdf)),
        form.householdInput() };
}

SettlementWindow::SettlementWindow(TForm1 &form, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , form_(form)
    , log_(mainLogOf(form))
    , text_(new QLabel)
    , sheet_(new QScrollArea(this))
    , changes_(new QListWidget(this))
    , remove_(new QPushButton(QStringLiteral("Entfernen"), this))
{
    setObjectName(QStringLiteral("SettlementWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Abrechnungsvorschau"));
    text_->setTextFormat(Qt::RichText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMargin(8);
    sheet_->setWidget(text_);
    sheet_->setWidgetResizable(true);
    sheet_->setFrameShape(QFrame::NoFrame);

    changes_->setObjectName(QStringLiteral("PriceChangeList"));
    changes_->setSelectionMode(QAbstractItemView::SingleSelection);
    changes_->setMaximumHeight(changes_->fontMetrics().height() * 6);
    auto *listLabel = new QLabel(QStringLiteral("Änderungen von &Preis und Abschlag:"), this);
    listLabel->setBuddy(changes_);
    auto *price = new QPushButton(QStringLiteral("Preisänderung…"), this);
    price->setObjectName(QStringLiteral("PriceChangeButton"));
    auto *instalment = new QPushButton(QStringLiteral("Abschlagsänderung…"), this);
    instalment->setObjectName(QStringLiteral("InstalmentChangeButton"));
    remove_->setObjectName(QStringLiteral("RemovePriceChangeButton"));
    remove_->setEnabled(false);
    connect(price, &QPushButton::clicked, this, &SettlementWindow::addPriceChange);
    connect(instalment, &QPushButton::clicked, this, &SettlementWindow::addInstalmentChange);
    connect(remove_, &QPushButton::clicked, this, &SettlementWindow::removeSelectedChange);
    connect(changes_, &QListWidget::itemSelectionChanged, this,
        [this] { remove_->setEnabled(!changes_->selectedItems().isEmpty()); });
    auto *changeButtons = new QHBoxLayout;
    changeButtons->addWidget(price);
    changeButtons->addWidget(instalment);
    changeButtons->addStretch();
    changeButtons->addWidget(remove_);

    auto *print = new QPushButton(QStringLiteral("Drucken…"), this);
    print->setObjectName(QStringLiteral("PrintButton"));
    auto *pdf = new QPushButton(QStringLiteral("Als PDF speichern…"), this);
    pdf->setObjectName(QStringLiteral("PdfButton"));
    connect(print, &QPushButton::clicked, this,
        [this] { printSettlement(settlementPageOf(form_), this); });
    connect(pdf, &QPushButton::clicked, this,
        [this] { saveSettlementPdf(settlementPageOf(form_), this); });
    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sheet_, 1);
    layout->addWidget(listLabel);
    layout->addWidget(changes_);
    layout->addLayout(changeButtons);
    layout->addLayout(buttons);

    auto *follower = new LogFollower(
        &log_, { &form.Edit3, &form.Edit5, &form.Edit7, &form.dtp_Ab }, this, &form);
    connect(follower, &LogFollower::changed, this, &SettlementWindow::refresh);
    refresh();
}

QString SettlementWindow::plainText() const
{
    QTextDocument doc;
    doc.setHtml(text_->text());
    return doc.toPlainText();
}

void SettlementWindow::refresh()
{
    const FormatSettings &s = form_.app().settings();
    settlement_ = settlementOf(form_);
    QString html = settlementSheetHtml(settlement_, log_.readings(s), s);
    // The household's further meters after the log's own sheet.
    const HouseholdInput household = form_.householdInput();
    if (showsHousehold(household))
        html += householdSheetHtml(householdYearOf(household, s), household, s);
    text_->setText(html);
    changes_->clear();
    for (const PriceChangeLine &line : priceChangeLines(form_.priceChanges(), s)) {
        auto *item = new QListWidgetItem(line.text, changes_);
        item->setData(Qt::UserRole, line.tariff);
        item->setData(Qt::UserRole + 1, line.from);
    }
    remove_->setEnabled(false);
    fitToScreen();
}

void SettlementWindow::fitToScreen()
{
    // The window grows to show the whole sheet as far as the screen allows;
    // the sheet scrolls the rest, and the window moves up rather than put
    // its buttons below the screen's edge.
    const QRect room = screen()->availableGeometry();
    // Before the window system has framed the window, its position is that
    // of its inside, and the frame is guessed: a title bar and a border.
    QSize frame = frameGeometry().size() - size();
    QPoint inside(0, 0);
    if (frame.height() <= 0) {
        const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
        frame = QSize(0, title + 8);
        inside = QPoint(0, title);
    }
    const QSize want = text_->sizeHint();
    sheet_->setMinimumSize(std::min(want.width() + sheet_->verticalScrollBar()->sizeHint().width(),
                               room.width() * 9 / 10),
        std::min(want.height(), fontMetrics().height() * 8));
    const QSize sheetHint = sheet_->sizeHint()
                                .expandedTo(sheet_->minimumSizeHint())
                                .expandedTo(sheet_->minimumSize());
    const int rest = sizeHint().height() - sheetHint.height();
    const QSize most = room.size() - frame;
    resize(size()
               .expandedTo(QSize(sizeHint().width(), rest + want.height()))
               .boundedTo(most)
               .expandedTo(minimumSizeHint()));
    QRect placed(pos() - inside, size() + frame);
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveTop(std::max(placed.top(), room.top()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    move(placed.topLeft() + inside);
}

void SettlementWindow::showEvent(QShowEvent *event)
{
    // Where the window was placed before it is shown.
    fitToScreen();
    QWidget::showEvent(event);
}

void SettlementWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

void SettlementWindow::addPriceChange()
{
    const Settlement now = settlementOf(form_);
    PriceChangeDialog dialog(form_.app().services().today(), now.priceNow, now.basePriceNow, this);
    if (!dialog.run())
        return;
    form_.AddTariffChange(dialog.answer());
    refresh();
}

void SettlementWindow::addInstalmentChange()
{
    // The instalment in force now: the contract's, or that of a change since.
    const FormatSettings &s = form_.app().settings();
    const QDate today = form_.app().services().today();
    PricesInForce atStart;
    tryStrToFloat(form_.contractValues().monthly, s.decimalSeparator, atStart.monthly);
    const long double monthly = pricesOn(form_.priceChanges(), atStart, today).monthly;
    InstalmentChangeDialog dialog(today, monthly, this);
    if (!dialog.run())
        return;
    form_.AddInstalmentChange(dialog.answer());
    refresh();
}

void SettlementWindow::removeSelectedChange()
{
    const QList<QListWidgetItem *> selected = changes_->selectedItems();
    if (selected.isEmpty())
        return;
    // Read before asking: the list is made anew when the log changes meanwhile.
    const QString line = selected.front()->text();
    const bool tariff = selected.front()->data(Qt::UserRole).toBool();
    const QDate from = selected.front()->data(Qt::UserRole + 1).toDate();
    // A change typed from a letter of the supplier is not typed again
    // lightly: the removal asks first, "Nein" the default.
    QMessageBox ask(QMessageBox::Question, form_.app().Title,
        QStringLiteral("Diese Änderung entfernen?\n\n%1").arg(line),
        QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("RemovePriceChangeQuestion"));
    ask.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    ask.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    ask.setDefaultButton(QMessageBox::No);
    ask.setEscapeButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes)
        return;
    if (tariff)
        form_.RemoveTariffChange(from);
    else
        form_.RemoveInstalmentChange(from);
    refresh();
}

} // namespace voltaris
