#include "qt/readheaddialog.h"

#include "qt/readheadport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace voltaris {

ReadHeadDialog::ReadHeadDialog(QWidget *parent, const ReadHeadSettings &s)
    : QDialog(parent)
    , port(new QComboBox(this))
    , speed(new QComboBox(this))
    , framing(new QComboBox(this))
    , test(new QPushButton(QStringLiteral("Testen"), this))
    , found(new QLabel(this))
    , reader_(new MeterReader(this))
{
    setWindowTitle(QStringLiteral("Lesekopf einrichten"));
    // A port that is not plugged in now can still be typed or kept.
    port->setEditable(true);
    for (const PortChoice &p : readHeadPorts())
        port->addItem(p.text, p.path);
    if (!s.port.isEmpty()) {
        const int at = port->findData(s.port);
        if (at >= 0)
            port->setCurrentIndex(at);
        else
            port->setCurrentText(s.port);
    }
    for (const int baud : readHeadSpeeds())
        speed->addItem(QString::number(baud), baud);
    speed->setCurrentIndex(speed->findData(s.baud));
    framing->addItem(QStringLiteral("8N1 (SML, die meisten Zähler)"), int(Framing::Bits8N1));
    framing->addItem(QStringLiteral("7E1 (D0 nach IEC 62056-21)"), int(Framing::Bits7E1));
    framing->setCurrentIndex(framing->findData(int(s.framing)));

    found->setWordWrap(true);
    found->setTextInteractionFlags(Qt::TextSelectableByMouse);
    found->setMinimumWidth(360);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Anschluss:"), port);
    form->addRow(QStringLiteral("&Geschwindigkeit:"), speed);
    form->addRow(QStringLiteral("Ü&bertragung:"), framing);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(test, QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Speichern"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(found);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test, &QPushButton::clicked, this, &ReadHeadDialog::runTest);
    connect(reader_, &MeterReader::done, this, &ReadHeadDialog::showTest);
    // Closing the dialog ends a test under way.
    connect(this, &QDialog::finished, reader_, &MeterReader::cancel);
}

ReadHeadSettings ReadHeadDialog::settings() const
{
    ReadHeadSettings s;
    // The lasting name behind a listed port; a typed one as it is.
    const int at = port->findText(port->currentText());
    s.port = (at >= 0 ? port->itemData(at).toString() : port->currentText()).trimmed();
    s.baud = speed->currentData().toInt();
    s.framing = Framing(framing->currentData().toInt());
    return s;
}

void ReadHeadDialog::runTest()
{
    test->setEnabled(false);
    found->setText(QStringLiteral("Warte auf ein Telegramm des Zählers…"));
    reader_->start(settings());
}

void ReadHeadDialog::showTest()
{
    test->setEnabled(true);
    found->setText(readoutText(reader_->result()));
}

QString readoutText(const MeterReadout &readout)
{
    if (readout.cancelled)
        return QString();
    if (!readout.problem.isEmpty())
        return readout.problem;
    const std::vector<MeterRegister> &registers = readout.telegram.registers;
    if (registers.empty())
        return QStringLiteral("Der Zähler sendet, aber keinen Zählerstand in kWh.");
    QStringList lines { readout.telegram.protocol == MeterProtocol::Sml
            ? QStringLiteral("Der Zähler sendet SML:")
            : QStringLiteral("Der Zähler sendet D0:") };
    bool whole = false;
    for (const MeterRegister &r : registers) {
        lines << QStringLiteral("%1: %2").arg(
            registerName(r.obis), registerValueText(r, QLocale().decimalPoint().front()));
        whole = whole || r.wholeKWh;
    }
    if (whole)
        lines << QStringLiteral("(ohne PIN nur ganze kWh: der Zählerstand stimmt, nur ohne "
                                "Nachkommastellen)");
    return lines.join(QLatin1Char('\n'));
}

bool editReadHeadDialog(QWidget *parent, ReadHeadSettings &settings)
{
    ReadHeadDialog dialog(parent, settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.settings();
    return true;
}

} // namespace voltaris
