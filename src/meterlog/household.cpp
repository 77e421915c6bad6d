// The household's meters: each further meter's log beside the main one, read
// when first needed, the meter shown in GroupBox3, and every meter's readings
// and prices as the views of the whole household see them.
#include "common/numtext.h"
#include "core/logrow.h"
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"

#include <algorithm>

namespace voltaris {

const Meter *TForm1::shownMeter() const
{
    return ShownLog > 0 && size_t(ShownLog) <= LogMeters.size() ? &LogMeters[size_t(ShownLog - 1)]
                                                                : nullptr;
}

void TForm1::syncMeterLogs()
{
    const std::vector<Meter> &further = meters().further;
    const auto logPath
        = [this](const Meter &m) { return dataFolder().path(meterLogName(m.fileKey)); };
    bool same = LogFiles.size() == further.size() + 1;
    for (size_t i = 0; same && i < further.size(); ++i)
        same = LogFiles[i + 1]->path() == logPath(further[i]);
    if (same) {
        // A rename or new prices: the same logs.
        const bool renamed = LogMeters != further;
        LogMeters = further;
        if (renamed) {
            ShowMeterChoice();
            if (ShownLog > 0) {
                GroupBox3.setText(meterCaption());
                ShowMeterFigures();
            }
            householdChanged();
        }
        return;
    }

    const MeterLog *const shown = &shownLog();
    std::vector<std::unique_ptr<MeterLog>> logs;
    std::vector<std::unique_ptr<MeterLogFile, MeterLogFileDeleter>> files;
    logs.push_back(std::move(Logs.front()));
    files.push_back(std::move(LogFiles.front()));
    for (size_t i = 1; i < Logs.size(); ++i)
        RetiredLogs.emplace_back(std::move(Logs[i]), std::move(LogFiles[i]));
    for (const Meter &m : further) {
        // A log of the same file, of this run or of a meter that went and
        // came back, is taken up as it is.
        const QString path = logPath(m);
        const auto kept = std::find_if(RetiredLogs.begin(), RetiredLogs.end(),
            [&](const auto &r) { return r.second->path() == path; });
        if (kept != RetiredLogs.end()) {
            logs.push_back(std::move(kept->first));
            files.push_back(std::move(kept->second));
            RetiredLogs.erase(kept);
            continue;
        }
        logs.push_back(std::make_unique<MeterLog>());
        logs.back()->addObserver([this] { householdChanged(); });
        files.emplace_back(
            new MeterLogFile(*logs.back(), path, dataFolder().path(meterChangesName(m.fileKey))));
    }
    Logs = std::move(logs);
    LogFiles = std::move(files);
    LogMeters = further;
    const auto at = std::find_if(
        Logs.begin(), Logs.end(), [&](const auto &log) { return log.get() == shown; });
    if (at == Logs.end()) {
        // The shown meter went: the main meter is shown again.
        ShownLog = -1;
        ShowMeterChoice();
        ShowMeter(0);
    } else {
        ShownLog = int(at - Logs.begin());
        ShowMeterChoice();
        if (ShownLog > 0)
            GroupBox3.setText(meterCaption());
    }
    householdChanged();
}

void TForm1::ShowMeterChoice()
{
    QStringList names { meterKindName(MeterKind::Main) };
    for (const Meter &m : LogMeters)
        names << m.name;
    cmb_Zaehler.setItems(names);
    cmb_Zaehler.setVisible(names.size() > 1);
    cmb_Zaehler.setShowHint(names.size() > 1);
    if (ShownLog >= 0)
        cmb_Zaehler.setText(names.at(ShownLog));
}

void TForm1::cmb_ZaehlerChange(TControl &)
{
    const int index = int(cmb_Zaehler.items().indexOf(cmb_Zaehler.text()));
    if (index >= 0)
        ShowMeter(index);
}

int TForm1::addHouseholdObserver(std::function<void()> observer)
{
    HouseholdObservers.emplace_back(++LastHouseholdObserver, std::move(observer));
    return LastHouseholdObserver;
}

void TForm1::removeHouseholdObserver(int id)
{
    std::erase_if(HouseholdObservers, [id](const auto &o) { return o.first == id; });
}

void TForm1::householdChanged()
{
    // By index: an observer may add another.
    for (size_t i = 0; i < HouseholdObservers.size(); ++i)
        HouseholdObservers[i].second();
}

bool TForm1::readLogWhenNeeded(size_t index)
{
    MeterLogFile &file = *LogFiles.at(index);
    if (file.loaded && !file.changedOnDisk())
        return false;
    file.clear();
    file.loaded = true;
    file.load(app().services().readConsumption(file.path(), app().settings()));
    return true;
}

QString TForm1::meterCaption() const
{
    const Meter *m = shownMeter();
    return m ? QStringLiteral(" Mein Verbrauch: %1 ").arg(m->name)
             : QStringLiteral(" Mein Verbrauch ");
}

void TForm1::ShowMeter(int index)
{
    if (index < 0 || size_t(index) >= Logs.size() || index == ShownLog)
        return;
    if (ShownLog == 0) {
        // Panel4 as the main meter leaves it, to be shown again on return.
        MainFiguresShown = lbl_vSrednem.visible();
        MainCreditCaption = lbl_Gut.text();
        MainBackCaption = lbl_Nach.text();
    }
    ShownLog = index;
    TStringGrid &g = StringGrid1;
    g.beginUpdate();
    if (index > 0)
        readLogWhenNeeded(size_t(index));
    g.bindRows(&shownLog().table());
    g.setRow(g.rowCount() - 1);
    g.scrollToLast();
    g.endUpdate();
    GroupBox3.setText(meterCaption());
    cmb_Zaehler.setText(cmb_Zaehler.items().value(index));
    // The next reading starts from this meter's last.
    const MeterLog &log = shownLog();
    const int last = log.lastFilledRow();
    long double reading = 0;
    if (last < 0 || !tryStrToFloat(log.table().cell(logcol::Reading, last), separator(), reading))
        reading = 0;
    Memo_Stand.setValue(reading);
    if (index > 0) {
        ShowMeterFigures();
    } else {
        lbl_Gut.setText(MainCreditCaption);
        lbl_Nach.setText(MainBackCaption);
        for (TLabel *l :
            { &lbl_Durch, &lbl_kWTag, &lbl_vSrednem, &lbl_Zahlung, &LabelEUR, &lbl_Gut, &lbl_Nach })
            l->setVisible(false);
        if (MainFiguresShown) {
            lbl_vSrednem.setVisible(true);
            ShowEstimateOfTable();
        }
    }
    ShowUndoStep();
}

HouseholdInput TForm1::householdInput()
{
    syncMeterLogs();
    MeterLog &main = *Logs.front();
    main.setChanges(LogFiles.front()->replacements());
    const FormatSettings &s = app().settings();
    HouseholdInput in { main.continuousReadings(s), contractValues(), priceChanges(), {},
        app().services().today() };
    for (size_t i = 0; i < LogMeters.size(); ++i) {
        // The shown log follows its file through the window; the others are
        // read here when first needed or changed on disk.
        if (int(i + 1) != ShownLog)
            readLogWhenNeeded(i + 1);
        MeterLog &log = *Logs[i + 1];
        log.setChanges(LogFiles[i + 1]->replacements());
        in.further.push_back({ LogMeters[i], log.continuousReadings(s) });
    }
    return in;
}

} // namespace voltaris
