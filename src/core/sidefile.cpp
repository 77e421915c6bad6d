#include "core/sidefile.h"

#include "common/cp1252.h"
#include "common/safefile.h"

#include <QList>

namespace voltaris {

int readSideFileLines(const QByteArray &bytes, const QString &header,
    const std::function<bool(const QString &)> &take)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = fromWindows1252(lines[i]);
        line.remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || (i == 0 && line == header))
            continue;
        if (!take(line))
            return i + 1;
    }
    return 0;
}

QString notWrittenOver(const QString &path, int badLine)
{
    return QStringLiteral(
        "Die Datei \"%1\" kann ab Zeile %2 nicht gelesen werden; sie wird nicht überschrieben.")
        .arg(displayPath(path))
        .arg(badLine);
}

} // namespace voltaris
