// The contract file "Mein_Vertrag.dat": a small printable report whose values
// the reader takes back from fixed lines and columns.
#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "common/textfile.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace voltaris {

namespace {

const QString FileName = QStringLiteral("Mein_Vertrag.dat");
const QString ReloadedNotice = QStringLiteral("Neu aus \"Mein_Vertrag\" gelesen!");

// Line 4 holds the date in columns 12 to 21, then ": " and the names; every
// value of lines 5 to 11 starts in column 24.
constexpr int DateColumn = 12;
constexpr int DateLength = 10;
constexpr int ValueColumn = 24;
constexpr int DateLine = 4;
constexpr int LastReadLine = 11;
constexpr char16_t CtrlZ = 26;

// The labels of lines 5 to 11, each 23 characters, right-aligned on the colon.
const std::array<QString, 7> ValueLabels = {
    QStringLiteral("      Jahresverbrauch: "),
    QStringLiteral("       Tagesverbrauch: "),
    QStringLiteral("     Jahresgrundpreis: "),
    QStringLiteral("       Grund im Monat: "),
    QStringLiteral("    Strompreis (1 kW): "),
    QStringLiteral("  Gesamtpreis im Jahr: "),
    QStringLiteral("Stromkosten monatlich: "),
};
const std::array<QString, 7> ValueUnits = {
    QStringLiteral(" kW"),
    QStringLiteral(" kW"),
    QStringLiteral(" EUR"),
    QStringLiteral(" EUR"),
    QStringLiteral(" Cent"),
    QStringLiteral(" EUR"),
    QStringLiteral(" EUR"),
};

// A field text inside one line of the file: a line break or Ctrl+Z in it
// (only pasting can put one there) would shift every later line for the
// reader, so those become "?" like any character the code page lacks.
QString lineSafe(QString text)
{
    for (QChar &c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == CtrlZ)
            c = QLatin1Char('?');
    return text;
}

// Blanks and control characters count as blanks at the ends of a name.
QString trimBlanks(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && s.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(begin, end - begin).toString();
}

// Up to `count` lines of the file.
QStringList readLines(const QString &path, int count)
{
    TextLineReader reader(path);
    if (!reader.open())
        throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                              .arg(displayPath(path), reader.errorString()));
    QStringList lines;
    QByteArray line;
    while (lines.size() < count && reader.readLine(line))
        lines << fromWindows1252(line);
    return lines;
}

// The digits and decimal separators from `column` (from 1) on.
QString takeNumber(const QString &line, int column, QChar sep)
{
    if (column < 1)
        return QString();
    const qsizetype start = column - 1;
    qsizetype end = start;
    while (end < line.size()
        && ((line.at(end) >= QLatin1Char('0') && line.at(end) <= QLatin1Char('9'))
            || line.at(end) == sep))
        ++end;
    return end > start ? line.mid(start, end - start) : QString();
}

// The decimal separator of a file written under other locale settings:
// a value whose digits go on after the other separator.
bool hasOtherSeparator(const QStringList &lines, QChar sep)
{
    const QChar other = sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    for (int i = DateLine; i < lines.size(); ++i) {
        const QString number = takeNumber(lines.at(i), ValueColumn, other);
        if (number.contains(other) && !takeNumber(lines.at(i), ValueColumn, sep).contains(sep)
            && !number.endsWith(other))
            return true;
    }
    return false;
}

} // namespace

QString TForm1::contractPath() const
{
    return dataFilePath(FileName);
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
                   QStringLiteral("Mein_Vertrag.dat wurde inzwischen von einem anderen Programm "
                                  "geändert. Ihre Änderungen trotzdem speichern?"))
                != MsgAnswer::Yes)
            return false;
        const TEdit *fields[] = { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7 };
        QStringList lines;
        lines << QString() << QStringLiteral("          Mein Vertrag") << QString();
        lines << QStringLiteral("        Ab ") + dateToStr(dtp_Ab.date(), app().settings())
                + QStringLiteral(": ") + lineSafe(Edit_Name.text()) + QStringLiteral(" (")
                + lineSafe(Edit_Tarif.text()) + QLatin1Char(')');
        for (size_t i = 0; i < ValueLabels.size(); ++i)
            lines << ValueLabels[i] + lineSafe(fields[i]->text()) + ValueUnits[i];
        lines << QString(34, QLatin1Char('_'));
        lines << QStringLiteral(
            "Menü: Format >> Schriftart... >> Consolas oder Courier New, Fett, 16");

        QByteArray bytes;
        for (const QString &line : lines)
            bytes += toWindows1252(line) + "\r\n";

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
                .arg(FileName,
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
    const QStringList lines = readLines(path, LastReadLine);
    ContractUnreadable = false;
    ContractUnreadableReason.clear();

    // A file written under other locale settings (12/09/2026, 1200.00) is
    // read in those and shown in the settings in use; its old form is kept
    // by the first save.
    bool converted = false;
    if (lines.size() >= DateLine) {
        const QString &line = lines.at(DateLine - 1);
        const QString dateText = line.mid(DateColumn - 1, DateLength);
        QDate date;
        if (!tryStrToDate(dateText, app().settings(), date)) {
            const std::vector<FormatSettings> other = otherDateSettings(dateText, app().settings());
            if (!other.empty() && tryStrToDate(dateText, other.front(), date))
                converted = true;
            else
                // A bad date stops here, before any field has changed.
                date = strToDate(dateText, app().settings());
        }
        // The supplier runs from column 24 to the first "(", the tariff from
        // there to the next ")". Views, not copies: a line may be of any
        // length, and only the two names are kept.
        const QStringView rest
            = QStringView(line).mid(std::min(line.size(), qsizetype(ValueColumn - 1)));
        const qsizetype open = rest.indexOf(QLatin1Char('('));
        QString tariff;
        if (open >= 0) {
            const qsizetype close = rest.indexOf(QLatin1Char(')'), open + 1);
            tariff = (close >= 0 ? rest.mid(open + 1, close - open - 1) : rest.mid(open + 1))
                         .toString();
        }
        dtp_Ab.setDate(date);
        Edit_Name.setText(trimBlanks(open >= 0 ? rest.left(open) : rest));
        Edit_Tarif.setText(tariff);
    }
    TEdit *fields[] = { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7 };
    const QChar sep = separator();
    const bool otherSep = hasOtherSeparator(lines, sep);
    const QChar fileSep
        = otherSep ? (sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',')) : sep;
    for (int i = 0; i < 7 && DateLine + i < lines.size(); ++i)
        fields[i]->setText(
            takeNumber(lines.at(DateLine + i), ValueColumn, fileSep).replace(fileSep, sep));
    if (converted || otherSep) {
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
}

} // namespace voltaris
