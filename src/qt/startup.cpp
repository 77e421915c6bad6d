#include "qt/startup.h"

#include "qt/widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QThread>
#include <QTranslator>
#include <fontconfig/fontconfig.h>

namespace voltaris {

StartupReader::StartupReader(const QString &consumptionPath, const FormatSettings &settings)
{
    // Qt takes the first thread that uses it for the program's main thread.
    // Were it the reading thread (still reading a long log when the
    // application object is made), the window system's wake-ups would go to
    // that thread and the window's events would wait, unanswered, until a
    // timer happened to wake this one: a window "not responding" on closing.
    QThread::currentThread();
    thread_ = std::thread([] { FcInit(); });
    consumption_ = std::async(std::launch::async, readConsumptionFile, consumptionPath, settings);
}

StartupReader::~StartupReader()
{
    if (thread_.joinable())
        thread_.join();
}

std::optional<ConsumptionRead> StartupReader::takeConsumption(
    const QString &path, const FormatSettings &settings)
{
    if (!consumption_.valid())
        return std::nullopt;
    ConsumptionRead read = consumption_.get();
    if (!stillHolds(read, path, settings))
        return std::nullopt;
    return read;
}

bool StartupReader::consumptionDone() const
{
    return consumption_.valid()
        && consumption_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void StartupReader::applicationMade()
{
    if (thread_.joinable())
        thread_.join();
    thread_ = std::thread(preparePictures);
}

bool installGermanQtTexts()
{
    // Lives as long as the application; installed once.
    static QTranslator *texts = nullptr;
    if (texts)
        return true;
    auto *t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    texts = t;
    return true;
}

QString dataFolder(const QStringList &arguments)
{
    if (!arguments.contains(QStringLiteral("--documents")))
        return QString();
    const QString folder = documentsDataFolder();
    // Where the folder cannot be made, the current directory still works.
    return QDir().mkpath(folder) ? folder : QString();
}

QString documentsDataFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Voltaris"));
}

} // namespace voltaris
