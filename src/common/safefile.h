#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

namespace voltaris {

// Replaces the file at `path` with `bytes` only once all of them are on disk:
// they go to a temporary file in the same folder, which then takes the file's
// place. A failure leaves the old file whole and no temporary file behind; a
// success also removes the temporary files of saves that were killed. A
// read-only file is not replaced. Returns false on failure, with the reason
// in `error` when given.
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Makes a new file at `path` with `bytes`, written whole before it appears
// under that name; an existing file of that name is never replaced (the
// error then is the system's "file exists"). Returns false on failure.
bool writeNewFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Keeps `bytes`, the old content of the file at `path`, beside it under a name
// that no earlier backup has: "Mein_Verbrauch-2026-12-09-1.bak", counting up.
// Returns the backup's path, the empty text on failure (reason in `error`).
QString keepBackup(
    const QString &path, const QByteArray &bytes, const QDate &today, QString *error = nullptr);

// As writeFileSafely, but a failure throws EInOutError naming the file.
void writeFileOrThrow(const QString &path, const QByteArray &bytes);

// The file's full path as the user should read it in a message.
QString displayPath(const QString &path);

// Why a file could not be read or written, in German: from the system's
// error number where there is one, else from what the file tells.
QString systemErrorText(int code);
QString fileErrorText(const QFile &file);

} // namespace voltaris
