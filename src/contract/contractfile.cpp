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

} // namespace

QString TForm1::contractPath() const
{
    return dataDir.isEmpty() ? FileName : QDir(dataDir).filePath(FileName);
}

QString TForm1::TakeNumber(const QString &line, int column) const
{
    if (column < 1)
        return QString();
    const QChar sep = separator();
    const qsizetype start = column - 1;
    qsizetype end = start;
    while (end < line.size()
        && ((line.at(end) >= QLatin1Char('0') && line.at(end) <= QLatin1Char('9'))
            || line.at(end) == sep))
        ++end;
    return end > start ? line.mid(start, end - start) : QString();
}

bool TForm1::WriteContract()
{
    // Any failure is silent: the button stays enabled as the sign that the
    // contract is not saved. The old file is replaced only by a complete new
    // one, so a failed save never damages it.
    try {
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

        // The file the start-up could not read is kept before it is replaced.
        if (ContractUnreadable && QFileInfo::exists(contractPath())) {
            QFile old(contractPath());
            if (!old.open(QIODevice::ReadOnly))
                return false;
            const QString backup = dataDir.isEmpty()
                ? QStringLiteral("Mein_Vertrag.bak")
                : QDir(dataDir).filePath(QStringLiteral("Mein_Vertrag.bak"));
            if (!writeFileSafely(backup, old.readAll()))
                return false;
        }
        if (!writeFileSafely(contractPath(), bytes))
            return false;
        ContractUnreadable = false;
    } catch (const std::exception &) {
        return false;
    }
    btn_Save1.setEnabled(false);
    if (Form2)
        Form2->ShowNotice();
    return true;
}

void TForm1::ReadContract()
{
    const QString path = contractPath();
    if (!QFileInfo::exists(path))
        return;
    // The whole file is read before any field changes, so an unreadable file
    // leaves the contract as it was.
    const QStringList lines = readLines(path, LastReadLine);

    if (lines.size() >= DateLine) {
        const QString &line = lines.at(DateLine - 1);
        // A bad date stops here, before any field has changed.
        const QDate date = strToDate(line.mid(DateColumn - 1, DateLength), app().settings());
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
    for (int i = 0; i < 7 && DateLine + i < lines.size(); ++i)
        fields[i]->setText(TakeNumber(lines.at(DateLine + i), ValueColumn));

    btn_Save1.setEnabled(false);
}

} // namespace voltaris
