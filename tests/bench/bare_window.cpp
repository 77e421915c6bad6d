// The reference of the start-up benchmark: a bare Qt Widgets window of the
// size given on the command line, started as the program starts.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(argc > 2 ? QString::fromLocal8Bit(argv[1]).toInt() : 640,
        argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 480);
    window.show();
    return app.exec();
}
