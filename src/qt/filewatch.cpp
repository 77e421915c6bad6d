#include "qt/filewatch.h"

#include "ui/Unit1.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace voltaris {

FileWatch::FileWatch(TApplication &app, TForm1 &form, QObject *parent)
    : QObject(parent)
    , app_(app)
    , form_(form)
{
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &FileWatch::check);
    const auto later = [this] { settle_.start(); };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, later);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, later);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
        [later](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                later();
        });
    watch();
    settle_.start(); // what changed before the watch began
}

void FileWatch::watch()
{
    // A file replaced or removed drops out of the watch; it is watched again
    // once it is there.
    QStringList paths { QFileInfo(form_.verbrauchPath()).absoluteFilePath(),
        QFileInfo(form_.contractPath()).absoluteFilePath() };
    paths << QFileInfo(paths.front()).absolutePath();
    const QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString &path : paths)
        if (!watched.contains(path) && QFileInfo::exists(path))
            watcher_.addPath(path);
}

void FileWatch::check()
{
    // Not under an open box: the handler that opened it is still at work.
    if (QApplication::activeModalWidget()) {
        settle_.start();
        return;
    }
    watch();
    app_.handle([this] { form_.FilesChangedOnDisk(); });
}

} // namespace voltaris
