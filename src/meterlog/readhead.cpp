// The reading taken from the meter through the optical read head: the
// register of the meter shown goes into the reading input with today's date,
// and the user's Enter takes it as every reading. The head's port and
// framing are kept beside the contract, saved only from its dialog.
#include "common/safefile.h"
#include "ui/Unit1.h"

#include <cmath>

namespace voltaris {

namespace {

constexpr int KeyL = 'L';

const QString NoHead
    = QStringLiteral("Es ist noch kein Lesekopf eingerichtet: bitte im Menü der Tabelle \"Lesekopf "
                     "einrichten…\" wählen und dort seinen Anschluss.");

std::unique_ptr<TMenuItem> item(
    TPopupMenu &menu, const QString &name, const QString &caption, const QString &shortCut = {})
{
    auto i = std::make_unique<TMenuItem>(&menu, name);
    i->setText(caption);
    i->shortCut = shortCut;
    return i;
}

} // namespace

void TForm1::designReadHead()
{
    N9 = item(PopupMenuTable, QStringLiteral("N9"), QStringLiteral("-"));
    Lesen1 = item(PopupMenuTable, QStringLiteral("Lesen1"), QStringLiteral("Vom Zähler lesen"),
        QStringLiteral("Ctrl+L"));
    Lesekopf1
        = item(PopupMenuTable, QStringLiteral("Lesekopf1"), QStringLiteral("Lesekopf einrichten…"));
    Lesen1->OnClick = [this](TControl &s) { Lesen1Click(s); };
    Lesekopf1->OnClick = [this](TControl &s) { Lesekopf1Click(s); };
    // Ctrl+L in the reading input; its other keys stay as they were.
    Memo_Stand.OnKeyDown = [this, before = std::move(Memo_Stand.OnKeyDown)](
                               TControl &s, int &key, TShiftState shift) {
        if (key == KeyL && shift.ctrl && !shift.alt && !shift.shift) {
            key = 0;
            Lesen1Click(s);
        } else if (before) {
            before(s, key, shift);
        }
    };
}

SideFile<ReadHeadSettings> &TForm1::readHeadFile() const
{
    const QString path = DataFolder_.path(DataFile::ReadHead);
    if (ReadHeadFile.path() != path)
        ReadHeadFile.setPath(path);
    return ReadHeadFile;
}

void TForm1::Lesen1Click(TControl &)
{
    const SideFileRead<ReadHeadSettings> &read = readHeadFile().read();
    if (read.badLine) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Datei \"%1\" kann ab Zeile %2 nicht gelesen werden; es wurde "
                           "nichts vom Zähler gelesen.")
                .arg(displayPath(readHeadFile().path()))
                .arg(read.badLine),
            MsgIcon::None);
        return;
    }
    if (read.value.port.isEmpty()) {
        app().messageBox(this, app().Title, NoHead, MsgIcon::None);
        return;
    }
    const ReadHeadSettings settings = read.value;
    const MeterReadout readout = app().services().readMeter(this, settings);
    if (readout.cancelled)
        return;
    if (!readout.problem.isEmpty()) {
        app().messageBox(this, app().Title, readout.problem, MsgIcon::None);
        return;
    }
    const Obis wanted = readHeadRegister(shownMeter(), meters());
    const MeterRegister *r = findRegister(readout.telegram.registers, wanted);
    if (!r) {
        QStringList sent;
        for (const MeterRegister &other : readout.telegram.registers)
            sent << other.obis.shortText();
        app().messageBox(this, app().Title,
            QStringLiteral("Der Zähler sendet keinen Zählerstand %1, der zu diesem Zähler "
                           "gehört%2. Es wurde nichts eingetragen.")
                .arg(registerName(wanted),
                    sent.isEmpty()
                        ? QStringLiteral(" (er sendet gar keinen Zählerstand in kWh)")
                        : QStringLiteral(" (er sendet %1)").arg(sent.join(QStringLiteral(", ")))),
            MsgIcon::None);
        return;
    }
    // The input holds one decimal up to 999999.
    const long double reading = std::round(r->kWh * 10) / 10;
    if (reading > Memo_Stand.maxValue()) {
        app().messageBox(this, app().Title,
            QStringLiteral("Der Zählerstand %1 ist größer, als das Feld fasst. Es wurde nichts "
                           "eingetragen.")
                .arg(registerValueText(*r, app().settings().decimalSeparator)),
            MsgIcon::None);
        return;
    }
    dtp_Ablese.setDate(app().services().today());
    Memo_Stand.setValue(reading);
    Memo_Stand.setFocus();
    Memo_Stand.selectAll();
}

void TForm1::Lesekopf1Click(TControl &)
{
    const SideFileRead<ReadHeadSettings> before = readHeadFile().read();
    if (before.badLine) {
        app().messageBox(this, app().Title,
            notWrittenOver(readHeadFile().path(), before.badLine)
                + QStringLiteral(" Der Lesekopf kann hier nicht eingerichtet werden."),
            MsgIcon::None);
        return;
    }
    ReadHeadSettings settings = before.value;
    if (!app().services().editReadHead(this, settings) || settings == before.value)
        return;
    // Another program may have written the file while the dialog was open.
    const SideFileRead<ReadHeadSettings> &now = readHeadFile().read();
    if (!MayWriteSideFile(readHeadFile().path(), now.badLine, now.stamp, before.stamp,
            QStringLiteral("die Einstellung des Lesekopfs")))
        return;
    writeFileOrThrow(readHeadFile().path(), readHeadFileBytes(settings));
    readHeadFile().saved(settings);
}

} // namespace voltaris
