#pragma once

#include <QString>
#include <QStringList>

namespace voltaris {

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
