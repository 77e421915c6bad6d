#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace voltaris {

class TApplication;
class TForm1;

// Tells the main window when another program changed, replaced or removed
// one of its two files: it watches the files and their folder (a file put in
// place by a rename is a new file the old watch does not see), waits until
// a burst of changes has settled, and checks again whenever the program
// comes to the front, where a watch may miss a change (a network folder).
class FileWatch : public QObject {
public:
    FileWatch(TApplication &app, TForm1 &form, QObject *parent = nullptr);

    // The time a burst of changes is given to settle.
    static constexpr int SettleMs = 150;

private:
    void watch();
    void check();

    TApplication &app_;
    TForm1 &form_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

} // namespace voltaris
