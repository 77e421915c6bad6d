#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace voltaris {

// The program's errors are exceptions with a user-readable text; the general
// error display shows that text, so it is written for the user.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A text that is no number or no date.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that exists but cannot be opened or read.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// Floating-point faults that the arithmetic must report instead of producing
// infinities or NaNs.
class EZeroDivide : public Exception {
public:
    EZeroDivide();
};

class EInvalidOp : public Exception {
public:
    EInvalidOp();
};

class EOverflow : public Exception {
public:
    EOverflow();
};

// A property write that the control refuses (the spin edit's range).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

} // namespace voltaris
