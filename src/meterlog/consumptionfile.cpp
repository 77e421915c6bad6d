// Loading and saving StringGrid1's log in "Mein_Verbrauch.txt", and following
// the file when another program changes it: the window's side of the shown
// log's file part (meterlog/meterlogfile.h).
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QFileInfo>

namespace voltaris {

void TForm1::MeterLogFileDeleter::operator()(MeterLogFile *file) const
{
    delete file;
}

void TForm1::placeLogFiles()
{
    // The main meter's log with its files in the data folder; a further
    // meter's with the files its key names there.
    const QString path = dataFolder().path(DataFile::Log);
    const QString changes = dataFolder().path(DataFile::MeterChanges);
    if (LogFiles.empty())
        LogFiles.emplace_back(new MeterLogFile(*Logs.front(), path, changes));
    else
        LogFiles.front()->setPaths(path, changes);
    for (size_t i = 1; i < LogFiles.size() && i <= LogMeters.size(); ++i) {
        const QString &key = LogMeters[i - 1].fileKey;
        LogFiles[i]->setPaths(
            dataFolder().path(meterLogName(key)), dataFolder().path(meterChangesName(key)));
        LogFiles[i]->loaded = false;
    }
}

QString TForm1::shownLogName() const
{
    return QFileInfo(shownLogFile().path()).fileName();
}

SideFile<MeterChanges> &TForm1::meterChangeFile() const
{
    return shownLogFile().changes;
}

QString TForm1::verbrauchPath() const
{
    return shownLogFile().path();
}

void TForm1::SaveVerbrauch()
{
    const QString notice = shownLogFile().save(app().services().today());
    if (!notice.isEmpty())
        app().messageBox(this, app().Title, notice, MsgIcon::Warning);
}

void TForm1::LoadVerbrauch()
{
    MeterLogFile &file = shownLogFile();
    file.loaded = true;
    if (!file.load(app().services().readConsumption(file.path(), app().settings())))
        return;
    TStringGrid &g = StringGrid1;
    g.setRow(g.rowCount() - 1);
    g.scrollToLast();
}

bool TForm1::FollowVerbrauchFile()
{
    MeterLogFile &file = shownLogFile();
    if (!file.changedOnDisk())
        return false;
    TStringGrid &g = StringGrid1;
    g.beginUpdate();
    file.clear();
    g.setRow(g.fixedRows());
    LoadVerbrauch();
    g.endUpdate();
    ShowEstimateOfTable();
    if (Form2)
        Form2->ShowNotice(QStringLiteral("Neu aus \"%1\" gelesen!")
                              .arg(QFileInfo(file.path()).completeBaseName()));
    return true;
}

void TForm1::SaveMeterChanges(const MeterChanges &changes)
{
    shownLogFile().saveChanges(changes);
}

} // namespace voltaris
