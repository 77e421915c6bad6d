#include "qt/readheadport.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSerialPortInfo>

namespace voltaris {

namespace {

const QString NoPort = QStringLiteral(
    "Es ist noch kein Anschluss für den Lesekopf gewählt: bitte unter \"Lesekopf einrichten…\" "
    "den Anschluss wählen.");
const QString NoSignal
    = QStringLiteral("Kein Signal vom Zähler: sitzt der Lesekopf richtig auf der Schnittstelle?");
const QString OnlyDamaged = QStringLiteral(
    "Vom Zähler kamen nur beschädigte Telegramme. %1 Sitzt der Lesekopf ruhig und gerade auf der "
    "Schnittstelle?");
const QString NoTelegram = QStringLiteral(
    "Vom Zähler kommen Zeichen, aber kein Telegramm: stimmen Geschwindigkeit und Übertragung "
    "unter \"Lesekopf einrichten…\"? (SML meist 9600 8N1, D0 9600 oder 300 mit 7E1)");
const QString Unplugged
    = QStringLiteral("Die Verbindung zum Lesekopf ist abgerissen: ist er noch eingesteckt?");

} // namespace

QList<PortChoice> readHeadPorts()
{
    // The lasting names point at the ports' device files.
    QHash<QString, QString> byId;
    const QDir ids(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : ids.entryInfoList(QDir::System | QDir::Files))
        byId.insert(link.canonicalFilePath(), link.absoluteFilePath());
    QList<PortChoice> out;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        const QString lasting = byId.value(QFileInfo(device).canonicalFilePath());
        QString text = lasting.isEmpty() ? device : QFileInfo(lasting).fileName();
        if (!info.description().isEmpty())
            text += QStringLiteral(" (%1)").arg(info.description());
        out << PortChoice { lasting.isEmpty() ? device : lasting, text };
    }
    return out;
}

MeterReader::MeterReader(QObject *parent)
    : QObject(parent)
{
    silence_.setSingleShot(true);
    total_.setSingleShot(true);
    connect(&port_, &QSerialPort::readyRead, this, &MeterReader::received);
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (port_.isOpen() && e == QSerialPort::ResourceError)
            finish({ {}, Unplugged, false });
    });
    const auto late = [this] {
        QString why = NoSignal;
        if (finder_.damaged() > 0)
            why = OnlyDamaged.arg(finder_.lastProblem());
        else if (finder_.sawBytes())
            why = NoTelegram;
        finish({ {}, why, false });
    };
    connect(&silence_, &QTimer::timeout, this, late);
    connect(&total_, &QTimer::timeout, this, late);
}

MeterReader::~MeterReader() = default;

QString MeterReader::openProblem() const
{
    const QString head
        = QStringLiteral("Der Anschluss \"%1\" kann nicht geöffnet werden: ").arg(path_);
    switch (port_.error()) {
    case QSerialPort::PermissionError:
        return head
            + QStringLiteral(
                "Ihnen fehlt die Berechtigung. Nehmen Sie Ihr Benutzerkonto in die Gruppe "
                "\"dialout\" auf (im Terminal: sudo adduser $USER dialout) und melden Sie sich "
                "danach ab und wieder an: die Gruppe gilt erst nach einer neuen Anmeldung.");
    case QSerialPort::DeviceNotFoundError:
        return head + QStringLiteral("es gibt ihn nicht. Ist der Lesekopf eingesteckt?");
    case QSerialPort::OpenError:
        return head + QStringLiteral("ein anderes Programm benutzt ihn gerade.");
    default:
        return head + port_.errorString() + QLatin1Char('.');
    }
}

void MeterReader::start(const ReadHeadSettings &s, ReadLimits limits)
{
    cancel();
    finder_ = TelegramFinder();
    result_ = {};
    if (s.port.isEmpty()) {
        finish({ {}, NoPort, false });
        return;
    }
    path_ = s.port;
    port_.setPortName(s.port);
    port_.setBaudRate(s.baud);
    const bool d0 = s.framing == Framing::Bits7E1;
    port_.setDataBits(d0 ? QSerialPort::Data7 : QSerialPort::Data8);
    port_.setParity(d0 ? QSerialPort::EvenParity : QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        finish({ {}, openProblem(), false });
        return;
    }
    // What waited in the port's buffer may be older than this read.
    port_.clear(QSerialPort::Input);
    // A D0 meter that does not send by itself answers the request; one that
    // does ignores it.
    if (d0)
        port_.write("/?!\r\n");
    silence_.start(limits.silence);
    total_.start(limits.total);
}

void MeterReader::cancel()
{
    if (running())
        finish({ {}, {}, true });
}

void MeterReader::received()
{
    if (!running())
        return;
    silence_.start();
    for (const TelegramRead &read : finder_.feed(port_.readAll()))
        if (read.ok()) {
            finish({ read, {}, false });
            return;
        }
}

void MeterReader::finish(MeterReadout result)
{
    silence_.stop();
    total_.stop();
    if (port_.isOpen())
        port_.close();
    result_ = std::move(result);
    // After the caller's start() has returned, whatever it waits with.
    QMetaObject::invokeMethod(this, &MeterReader::done, Qt::QueuedConnection);
}

MeterReadout readMeterWaiting(const ReadHeadSettings &settings, ReadLimits limits)
{
    MeterReader reader;
    QEventLoop loop;
    QObject::connect(&reader, &MeterReader::done, &loop, &QEventLoop::quit);
    reader.start(settings, limits);
    loop.exec();
    return reader.result();
}

MeterReadout readMeterModal(QWidget *parent, const ReadHeadSettings &settings)
{
    MeterReader reader;
    QProgressDialog box(
        QStringLiteral("Der Zähler wird gelesen…"), QStringLiteral("Abbrechen"), 0, 0, parent);
    box.setWindowTitle(QStringLiteral("Vom Zähler lesen"));
    box.setWindowModality(Qt::ApplicationModal);
    // Shown at once: the main window takes no click while the read runs.
    box.setMinimumDuration(0);
    box.setAutoReset(false);
    box.setAutoClose(false);
    QEventLoop loop;
    QObject::connect(&box, &QProgressDialog::canceled, &reader, &MeterReader::cancel);
    QObject::connect(&reader, &MeterReader::done, &loop, &QEventLoop::quit);
    box.show();
    reader.start(settings);
    loop.exec();
    box.hide();
    return reader.result();
}

} // namespace voltaris
