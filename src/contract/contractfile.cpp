// Saving and reading the contract in "Mein_Vertrag.dat", and following the
// file when another program changes it.
#include "core/contractfile.h"

#include "common/cp1252.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QFile>
#include <QFileInfo>

namespace voltaris {

namespace {

const QString ReloadedNotice
    = QStringLiteral("Neu aus \"%1\" gelesen!").arg(DataFolder::title(DataFile::Contract));

// "Ł ź ⁶": characters one by one, a character beyond the basic plane whole.
QString spacedOut(const QString &chars)
{
    QStringList parts;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const qsizetype n = chars[i].isHighSurrogate() && i + 1 < chars.size() ? 2 : 1;
        parts << chars.mid(i, n);
        i += n - 1;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString TForm1::contractPath() const
{
    return dataFolder().path(DataFile::Contract);
}

QString TForm1::TakeNumber(const QString &line, int column) const
{
    return takeNumber(line, column, separator());
}

bool TForm1::WriteContract()
{
    QString backup;
    // Any failure is silent: the button stays enabled as the sign that the
    // contract is not saved. The old file is replaced only by a complete new
    // one, so a failed save never damages it.
    try {
        // A file that another program changed since this window read or
        // wrote it is replaced only when the user says so.
        if (const FileStamp now = FileStamp::of(contractPath()); now.exists && now != ContractStamp
            && app().askYesNo(this, app().Title,
                   QStringLiteral("%1 wurde inzwischen von einem anderen Programm geändert. "
                                  "Ihre Änderungen trotzdem speichern?")
                       .arg(DataFolder::name(DataFile::Contract)))
                != MsgAnswer::Yes)
            return false;
        ContractFields contract;
        contract.start = dtp_Ab.date();
        contract.supplier = Edit_Name.text();
        contract.tariff = Edit_Tarif.text();
        for (const TEdit *e : { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7 })
            contract.values << e->text();
        // The file holds Windows-1252 only: what it cannot hold is not turned
        // into "?" without the user knowing.
        if (const QString lost = outsideWindows1252(
                contract.supplier + contract.tariff + contract.values.join(QString()));
            !lost.isEmpty()
            && app().askYesNo(this, app().Title,
                   QStringLiteral("\"%1\" kann diese Zeichen nicht speichern: %2\n\nSie werden "
                                  "dort als \"?\" gespeichert. Trotzdem speichern?")
                       .arg(DataFolder::name(DataFile::Contract), spacedOut(lost)))
                != MsgAnswer::Yes)
            return false;
        const QByteArray bytes = contractFileBytes(contract, app().settings());

        // The file the start-up could not read is kept before it is
        // replaced, under a name of its own.
        if (ContractUnreadable && QFileInfo::exists(contractPath())) {
            QFile old(contractPath());
            if (!old.open(QIODevice::ReadOnly))
                return false;
            backup = keepBackup(contractPath(), old.readAll(), app().services().today());
            if (backup.isEmpty())
                return false;
        }
        if (!writeFileSafely(contractPath(), bytes))
            return false;
        ContractStamp = FileStamp::of(contractPath());
        ContractUnreadable = false;
    } catch (const std::exception &) {
        return false;
    }
    btn_Save1.setEnabled(false);
    if (Form2)
        Form2->ShowNotice();
    if (!backup.isEmpty()) {
        app().messageBox(this, app().Title,
            QStringLiteral("\"%1\" konnte beim Start nicht ganz gelesen werden%2.\n\nDie ganze "
                           "alte Datei ist gesichert unter:\n%3")
                .arg(DataFolder::name(DataFile::Contract),
                    ContractUnreadableReason.isEmpty()
                        ? QString()
                        : QStringLiteral(" (%1)").arg(ContractUnreadableReason),
                    displayPath(backup)),
            MsgIcon::Warning);
        ContractUnreadableReason.clear();
    }
    return true;
}

void TForm1::ReadContract()
{
    const QString path = contractPath();
    // The stamp before the read: a change while it is read shows later.
    ContractStamp = FileStamp::of(path);
    if (!QFileInfo::exists(path))
        return;
    // The whole file is read before any field changes, so an unreadable file
    // leaves the contract as it was.
    const ContractLines read = readContractLines(path);
    if (!read.error.isEmpty())
        throw EInOutError(read.error); // to the general error display
    const QStringList &lines = read.lines;
    ContractUnreadable = false;
    ContractUnreadableReason.clear();

    // A file written under other locale settings (12/09/2026, 1200.00) is
    // read in those and shown in the settings in use; its old form is kept
    // by the first save.
    const ContractFields contract = contractOf(lines, app().settings());
    if (contract.hasStartLine) {
        dtp_Ab.setDate(contract.start);
        Edit_Name.setText(contract.supplier);
        Edit_Tarif.setText(contract.tariff);
    }
    TEdit *fields[] = { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7 };
    for (int i = 0; i < contract.values.size(); ++i)
        fields[i]->setText(contract.values.at(i));
    if (contract.converted) {
        ContractUnreadable = true;
        ContractUnreadableReason = QStringLiteral(
            "sie war mit anderen Landeseinstellungen geschrieben und wurde umgewandelt");
    }

    btn_Save1.setEnabled(false);
}

void TForm1::FollowContractFile()
{
    // Unsaved changes wait: their save asks before it replaces the file.
    if (btn_Save1.enabled())
        return;
    const FileStamp now = FileStamp::of(contractPath());
    if (now == ContractStamp)
        return;
    if (!now.exists) {
        ContractStamp = now; // removed: the window keeps the contract
        return;
    }
    try {
        ReadContract();
    } catch (const std::exception &e) {
        ContractUnreadable = true;
        ContractUnreadableReason = QString::fromUtf8(e.what());
        throw;
    }
    DeriveTotals();
    btn_Save1.setEnabled(false);
    if (Form2)
        Form2->ShowNotice(ReloadedNotice);
}

void TForm1::FilesChangedOnDisk()
{
    FollowVerbrauchFile();
    FollowContractFile();
    if (meterChangeFile().follow())
        ShowEstimateOfTable(); // the replacements count in the average
    PriceChangeFile.follow();
    // The meters' file as another program left it: their logs follow.
    if (MetersFile.follow())
        syncMeterLogs();
}

} // namespace voltaris
