#include "testfiles.h"

#include "ui/stringgrid.h"

#include <QFile>
#include <QTest>

namespace voltaris::test {

QByteArray contractLines(int from, int to)
{
    return ContractExample.split('\n').mid(from - 1, to - from + 1).join('\n') + '\n';
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList gridRows(const TStringGrid &g)
{
    QStringList out;
    for (int r = 1; r < g.rowCount(); ++r)
        out << QStringList { g.cell(0, r), g.cell(1, r), g.cell(2, r), g.cell(3, r) }.join('|');
    return out;
}

} // namespace voltaris::test
