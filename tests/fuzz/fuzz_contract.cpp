// The contract file as a start-up finds it: any bytes. Oracles: the start-up
// shows at most one error and only a conversion or read error; the window
// then saves, and reading that file back gives every field as it stood.
#include "common/errors.h"
#include "fakeservices.h"
#include "fuzzing.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>

using namespace voltaris;
using namespace voltaris::fuzz;

namespace {

QStringList fields(TForm1 &f)
{
    QStringList out { f.dtp_Ab.date().toString(Qt::ISODate) };
    for (const TEdit *e : { &f.Edit_Name, &f.Edit_Tarif, &f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4,
             &f.Edit5, &f.Edit6, &f.Edit7 }) {
        // What the code page lacks comes back as "?"; the main window
        // writes large totals in exponent form, which the file's columns
        // do not hold.
        QString t = e->text();
        for (QChar &c : t)
            if (c.unicode() == 0x81 || c.unicode() == 0x8D || c.unicode() == 0x8F
                || c.unicode() == 0x90 || c.unicode() == 0x9D)
                c = QLatin1Char('?');
        out << (t.contains(QLatin1Char('E')) ? QStringLiteral("(skip)") : t);
    }
    return out;
}

void writeFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        fail("cannot write the input file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = scratchDir();
    writeFile(QDir(dir).filePath(test::ContractName), data, size);
    test::TestApp t;
    TApplication &app = t.app;
    auto &services = t.services;
    TProgram p(app, dir);
    TForm1 &f = *p.Form1;
    if (services.boxes.size() > 1)
        fail("more than one error at start-up");
    if (services.boxes.size() == 1 && services.boxes[0].icon != MsgIcon::Error)
        fail("start-up error without the error icon");

    const QStringList before = fields(f);
    if (!f.dtp_Ab.date().isValid())
        fail("no valid start date");
    if (!f.WriteContract())
        fail("save failed in a writable folder");
    try {
        f.ReadContract();
    } catch (const Exception &e) {
        fail("own file does not read back", e.message());
    }
    const QStringList after = fields(f);
    for (int i = 0; i < before.size(); ++i)
        if (before[i] != QLatin1String("(skip)") && before[i] != after[i])
            fail("field changed by save and read", before[i] + QStringLiteral(" -> ") + after[i]);
    return 0;
}
