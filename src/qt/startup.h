#pragma once

#include <QString>
#include <QStringList>
#include <thread>

namespace voltaris {

// The start-up's work that needs no window, on a thread beside the main
// one. Before the application object exists, while it connects to the
// display: the system's font configuration, which fontconfig parses anew on
// every start (the longest step before the first text can be measured).
// Once it exists (a painter needs its default font), while the window is
// made: the pictures, read and drawn at their sizes.
class StartupReader {
public:
    StartupReader();
    ~StartupReader();
    StartupReader(const StartupReader &) = delete;
    StartupReader &operator=(const StartupReader &) = delete;
    // Call once the application object is made.
    void applicationMade();

private:
    std::thread thread_;
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

} // namespace voltaris
