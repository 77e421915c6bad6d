#pragma once

#include "common/formatsettings.h"
#include "ui/services.h"

#include <QString>
#include <exception>
#include <stdexcept>
#include <utility>

namespace voltaris {

class TForm;

// The application object: title, locale settings, the platform services and
// the general error display. Every event enters the forms through handle(),
// so no exception ever reaches the window system's event loop.
class TApplication {
public:
    TApplication(Services &services, FormatSettings settings);

    QString Title = QStringLiteral("Voltaris 1.3");
    TForm *MainForm = nullptr;

    Services &services() const { return services_; }
    const FormatSettings &settings() const { return settings_; }

    // Runs an event handler. The outermost call catches what the handler
    // throws and shows it; nested calls (an event raised by a handler) let it
    // travel up to their caller, as the handler would expect.
    template <class F> bool handle(F &&f)
    {
        if (depth_ > 0) {
            std::forward<F>(f)();
            return true;
        }
        Depth d(depth_);
        try {
            std::forward<F>(f)();
            return true;
        } catch (const std::exception &e) {
            showException(e);
        } catch (...) {
            showException(std::runtime_error("Unbekannter Fehler"));
        }
        return false;
    }

    // Modal message box; events that arrive while it is open are outermost
    // events of their own.
    void messageBox(TForm *owner, const QString &caption, const QString &text, MsgIcon icon);
    MsgAnswer askYesNoCancel(TForm *owner, const QString &caption, const QString &text);
    MsgAnswer askYesNo(TForm *owner, const QString &caption, const QString &text);

    // The general error display: the title as caption, the error icon, the
    // error's text with a full stop added when its last character comes after
    // "." in character order.
    void showException(const std::exception &e);
    static QString errorText(const QString &message);

private:
    // A modal box runs its own event loop: whatever arrives meanwhile (a
    // timer tick, a click in another window) is an event of its own and must
    // be caught there, not by the handler that opened the box.
    template <class F> auto modal(F &&f)
    {
        struct Restore {
            int &d;
            int v;
            ~Restore() { d = v; }
        } restore { depth_, depth_ };
        depth_ = 0;
        return std::forward<F>(f)();
    }
    struct Depth {
        explicit Depth(int &d)
            : d_(d)
        {
            ++d_;
        }
        ~Depth() { --d_; }
        int &d_;
    };
    Services &services_;
    FormatSettings settings_;
    int depth_ = 0;
};

} // namespace voltaris
