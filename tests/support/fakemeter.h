// A fake meter for the read head's tests and benchmark: a pseudo-terminal
// (openpty, no hardware) whose other end the reader opens as its serial
// port, fed from the event loop as a meter's optical interface sends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace voltaris::test {

// A meter that sends `cycle` over and over, `chunk` bytes every `tickMs`
// milliseconds, beginning in the middle of it.
class FakeMeter {
public:
    explicit FakeMeter(QByteArray cycle, int chunk = 48, int tickMs = 5)
        : cycle_(std::move(cycle))
        , chunk_(chunk)
    {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        path = QString::fromLocal8Bit(name);
        // Raw from the start: no echo back, no line editing before the
        // reader sets the port up.
        termios t {};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        pos_ = cycle_.size() / 2;
        QObject::connect(&timer_, &QTimer::timeout, [this] { send(); });
        if (!cycle_.isEmpty())
            timer_.start(tickMs);
    }
    ~FakeMeter()
    {
        ::close(master_);
        ::close(slave_); // held open, so that the reader's close ends nothing
    }
    QString path;

private:
    void send()
    {
        const QByteArray piece = cycle_.mid(pos_, chunk_);
        if (::write(master_, piece.constData(), size_t(piece.size())) > 0)
            pos_ = (pos_ + piece.size()) % cycle_.size();
    }
    QByteArray cycle_;
    int chunk_;
    qsizetype pos_ = 0;
    int master_ = -1, slave_ = -1;
    QTimer timer_;
};

} // namespace voltaris::test
