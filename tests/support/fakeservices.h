#pragma once

#include "ui/application.h"
#include "ui/services.h"

#include <QDate>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace voltaris::test {

struct ShownBox {
    TForm *owner;
    QString caption;
    QString text;
    MsgIcon icon;
};

// Services that answer at once and record what the forms asked for.
class FakeServices : public Services {
public:
    void messageBox(
        TForm *owner, const QString &caption, const QString &text, MsgIcon icon) override;
    // Recorded among the boxes (with the question icon); answers `answer`.
    MsgAnswer askYesNoCancel(TForm *owner, const QString &caption, const QString &text) override
    {
        boxes.push_back({ owner, caption, text, MsgIcon::Question });
        return answer;
    }
    MsgAnswer askYesNo(TForm *owner, const QString &caption, const QString &text) override
    {
        boxes.push_back({ owner, caption, text, MsgIcon::Question });
        return answer == MsgAnswer::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    MsgAnswer answer = MsgAnswer::Yes;
    QDate today() override { return todayDate; }
    void openUrl(const QString &url) override { urls << url; }
    void beep() override { ++beeps; }
    // Half the font's height per character, enough to tell texts apart;
    // tests on the real widgets measure as the window system does.
    int textWidth(const TFont &font, const QString &text) override;
    std::function<int(const TFont &, const QString &)> measure;
    // The log views asked for; the save dialog answers `savePath` (empty:
    // cancelled) and records its caption.
    void showLogView(TForm &, LogView view) override { logViews.push_back(view); }
    QString saveFileName(
        TForm *, const QString &caption, const QString &suggested, const QString &) override
    {
        saveDialogs << caption;
        suggestedPaths << suggested;
        return savePath;
    }
    // The open dialog answers `openPath` (empty: cancelled).
    QString openFileName(TForm *, const QString &caption, const QString &, const QString &) override
    {
        openDialogs << caption;
        return openPath;
    }
    QStringList openDialogs;
    QString openPath;
    // The reading dialog records what it showed and answers the next of
    // `readingAnswers` (none left: Abbrechen). As on OK, the input's check
    // sees each answer: a refusal is recorded among the boxes, a question is
    // answered `answer`; either way the dialog stays open for the next one.
    bool askReading(TForm *owner, ReadingInput &input) override
    {
        readingDialogs.push_back(input);
        while (!readingAnswers.empty()) {
            ReadingInput answer = input;
            answer.date = readingAnswers.front().date;
            answer.reading = readingAnswers.front().reading;
            readingAnswers.erase(readingAnswers.begin());
            const ReadingCheck check = input.check ? input.check(answer) : ReadingCheck {};
            if (!check.refusal.isEmpty())
                boxes.push_back({ owner, input.caption, check.refusal, MsgIcon::None });
            else if (check.question.isEmpty()
                || askYesNo(owner, input.caption, check.question) == MsgAnswer::Yes) {
                input = answer;
                return true;
            }
        }
        return false;
    }
    std::vector<ReadingInput> readingDialogs, readingAnswers;
    // The replacement dialog answers `meterChangeAnswer` once (none: Abbrechen).
    bool askMeterChange(TForm *, MeterChangeInput &input) override
    {
        ++meterChangeDialogs;
        if (!meterChangeAnswer)
            return false;
        input = *meterChangeAnswer;
        meterChangeAnswer.reset();
        return true;
    }
    int meterChangeDialogs = 0;
    std::optional<MeterChangeInput> meterChangeAnswer;
    // The import preview is recorded and answered with `importAnswer`.
    bool confirmImport(TForm *, const ImportPreview &preview) override
    {
        importPreviews.push_back(preview);
        return importAnswer;
    }
    std::vector<ImportPreview> importPreviews;
    bool importAnswer = true;
    // With an offer of replacements: the box as `importTakeOffer` leaves it.
    bool confirmImportOffer(TForm *owner, const ImportPreview &preview, bool &takeOffer) override
    {
        takeOffer = importTakeOffer;
        return confirmImport(owner, preview);
    }
    bool importTakeOffer = true;
    // The progress records its text and steps; it answers "Abbrechen" at the
    // step `cancelAtStep` (from 1; 0: never).
    void beginProgress(TForm *, const QString &caption, const QString &text) override
    {
        progressTexts << caption + QStringLiteral(": ") + text;
        progressOpen = true;
    }
    bool stepProgress(qint64, qint64) override
    {
        return !progressOpen || ++progressSteps != cancelAtStep;
    }
    void endProgress() override { progressOpen = false; }
    QStringList progressTexts;
    int progressSteps = 0, cancelAtStep = 0;
    bool progressOpen = false;

    std::vector<LogView> logViews;
    QStringList saveDialogs, suggestedPaths;
    QString savePath;

    std::vector<ShownBox> boxes;
    QStringList urls;
    int beeps = 0;
    QDate todayDate { 2026, 12, 8 };
    // Runs while a box is "open", as the user would act before closing it.
    std::function<void(const ShownBox &)> whileOpen;

    void clear()
    {
        boxes.clear();
        urls.clear();
        beeps = 0;
        logViews.clear();
        saveDialogs.clear();
        suggestedPaths.clear();
    }
};

// An application with German settings and recording services.
struct TestApp {
    explicit TestApp(FormatSettings settings = FormatSettings::german())
        : app(services, settings)
    { }
    FakeServices services;
    TApplication app;
};

} // namespace voltaris::test
