#include "ui/links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace voltaris::links {

QString portal()
{
    return QStringLiteral("https://www.verivox.de/strom/");
}

QString makerPage()
{
    const QString page = QStringLiteral("voltaris.html");
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString candidates[] = {
        bin.filePath(QStringLiteral("../share/doc/voltaris/") + page),
        bin.filePath(page),
    };
    for (const QString &c : candidates)
        if (QFileInfo::exists(c))
            return QUrl::fromLocalFile(QFileInfo(c).absoluteFilePath()).toString();
    // Not installed: the browser says so, the program does not.
    return QUrl::fromLocalFile(QDir::cleanPath(candidates[0])).toString();
}

} // namespace voltaris::links
