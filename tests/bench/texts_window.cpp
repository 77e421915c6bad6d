// The floor of the start-up benchmark: a window of the main window's size
// that draws the main window's texts, each in its font at its place, and has
// nothing else: no controls, no pictures, no files. It reads the system's
// font configuration on a second thread while the application object
// connects to the display, as the program does.
#include "common/formatsettings.h"
#include "fakeservices.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <fontconfig/fontconfig.h>
#include <thread>
#include <vector>

using namespace voltaris;

namespace {

struct Text {
    QRect place;
    QString text;
    QFont font;
};

// The texts of the controls shown at start, at their places in the window.
void collect(const TControl &parent, QPoint origin, std::vector<Text> &out)
{
    for (const TControl *c : parent.children()) {
        if (!c->visible())
            continue;
        const QPoint at = origin + QPoint(c->left(), c->top());
        if (!c->text().isEmpty()) {
            QFont f(QString::fromLatin1(c->font().name.contains(QLatin1String("Courier"))
                    ? "Liberation Mono"
                    : "Liberation Sans"));
            f.setPixelSize(c->font().size);
            f.setBold(c->font().bold);
            out.push_back({ QRect(at, QSize(c->width(), c->height())), c->text(), f });
        }
        collect(*c, at, out);
    }
}

class TextsWindow : public QWidget {
public:
    explicit TextsWindow(std::vector<Text> texts)
        : texts_(std::move(texts))
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        for (const Text &t : texts_) {
            p.setFont(t.font);
            p.drawText(t.place, Qt::AlignLeft | Qt::AlignVCenter, t.text);
        }
    }

private:
    std::vector<Text> texts_;
};

} // namespace

int main(int argc, char *argv[])
{
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    fonts.join();

    // The design's texts without measuring them: a label's width does not
    // change what is drawn.
    test::FakeServices services;
    TApplication model(services, FormatSettings::fromSystem());
    std::vector<Text> texts;
    {
        TForm1 form(model);
        collect(form, QPoint(), texts);
    }
    TextsWindow window(std::move(texts));
    window.resize(argc > 2 ? QString::fromLocal8Bit(argv[1]).toInt() : 640,
        argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 480);
    window.show();
    return app.exec();
}
