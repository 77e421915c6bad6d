#include "common/safefile.h"

#include "common/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace voltaris {

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in the count here:
    // a buffered flush would pass it over and commit a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        return false; // the destructor throws the temporary file away
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

void writeFileOrThrow(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (!writeFileSafely(path, bytes, &reason))
        throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                              .arg(displayPath(path), reason));
}

} // namespace voltaris
