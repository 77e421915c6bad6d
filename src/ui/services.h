#pragma once

#include <QDate>
#include <QString>

namespace voltaris {

class TForm;
struct TFont;

enum class MsgIcon { None, Warning, Error };

// What the forms ask of the platform. The window system implements it; tests
// answer it themselves.
class Services {
public:
    virtual ~Services() = default;
    // A modal message box with one OK button; returns when it was closed.
    virtual void messageBox(TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
        = 0;
    // Today's date (the clock).
    virtual QDate today() = 0;
    // Opens a web address in the user's browser; failures are not reported.
    virtual void openUrl(const QString &url) = 0;
    // The default system beep.
    virtual void beep() = 0;
    // The width of a text in pixels, written in that font.
    virtual int textWidth(const TFont &font, const QString &text) = 0;
};

} // namespace voltaris
