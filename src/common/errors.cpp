#include "common/errors.h"

#include <utility>

namespace voltaris {

Exception::Exception(QString message)
    : message_(std::move(message))
    , utf8_(message_.toUtf8())
{ }

EZeroDivide::EZeroDivide()
    : Exception(QStringLiteral("Floating point division by zero"))
{ }

EInvalidOp::EInvalidOp()
    : Exception(QStringLiteral("Invalid floating point operation"))
{ }

EOverflow::EOverflow()
    : Exception(QStringLiteral("Floating point overflow"))
{ }

} // namespace voltaris
