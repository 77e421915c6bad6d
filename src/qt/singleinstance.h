#pragma once

#include <QLockFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

namespace voltaris {

// One program per data folder: the first start holds a lock file in the
// folder and listens for later starts, which ask it to come to the front
// and end. Two windows on one folder would save over each other's rows.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Primary, // the lock is ours: this program runs the folder
        Forwarded, // the running program was reached and comes to the front
        Unreachable, // the lock is held by a program that does not answer
        NoLock, // the folder takes no lock file (read-only): no guard
    };

    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;

    Outcome outcome() const { return outcome_; }
    // As the holder of the lock, starts answering later starts; called once
    // the window is on the screen, so that it costs the start-up nothing.
    // Until then a later start waits for the answer.
    void listen();
    // The name the running program listens under, from the folder's path.
    static QString serverName(const QString &folder);

    static constexpr int AnswerMs = 2000;

Q_SIGNALS:
    // A later start asked this one to come to the front.
    void activationRequested();

private:
    bool forward(const QString &name);

    Outcome outcome_ = Outcome::NoLock;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    // The listening socket (a local socket of the system's, on QtCore alone:
    // no network library to load at start-up).
    int listener_ = -1;
    QByteArray socketPath_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace voltaris
