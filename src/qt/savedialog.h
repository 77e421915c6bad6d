// The save dialog of the windows beyond the main window.
#pragma once

#include <QString>

class QWidget;

namespace voltaris {

// A modal save dialog in German; the chosen path, empty when cancelled.
QString askSaveFileName(
    QWidget *parent, const QString &caption, const QString &suggested, const QString &filter);

} // namespace voltaris
