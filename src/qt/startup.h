#pragma once

#include "core/logfile.h"

#include <QString>
#include <QStringList>
#include <future>
#include <optional>
#include <thread>

namespace voltaris {

// The start-up's work that needs no window, on threads beside the main one.
// Before the application object exists, while it connects to the display
// (mostly waiting for the X server): the system's font configuration, which
// fontconfig parses anew on every start (the longest step before the first
// text can be measured), and the consumption file. Once it exists (a painter
// needs its default font), while the window is made: the pictures, read and
// drawn at their sizes.
class StartupReader {
public:
    StartupReader(const QString &consumptionPath, const FormatSettings &settings);
    ~StartupReader();
    StartupReader(const StartupReader &) = delete;
    StartupReader &operator=(const StartupReader &) = delete;
    // Call once the application object is made.
    void applicationMade();
    // The consumption file read ahead, once: when it is the file asked for,
    // read in these settings, and has not changed since. Else nothing, and
    // the caller reads it itself.
    std::optional<ConsumptionRead> takeConsumption(
        const QString &path, const FormatSettings &settings);
    // Whether the read ahead is done (for tests that change the file after it).
    bool consumptionDone() const;

private:
    std::thread thread_;
    std::future<ConsumptionRead> consumption_;
};

// Qt's own texts (context menus, button captions, the calendar) in German,
// as every other text of the program. False when the translations are not
// installed; Qt's English then remains.
bool installGermanQtTexts();

// The folder of the two files. Started from the desktop's menu (with
// "--documents") the program keeps them in "Voltaris" among the user's
// documents, created when missing; from a shell, in the current directory
// (the empty text).
QString dataFolder(const QStringList &arguments);

// The folder "--documents" names, whether it exists or not.
QString documentsDataFolder();

} // namespace voltaris
