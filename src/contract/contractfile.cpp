// Placeholder until the contract file is built.
#include "ui/Unit1.h"

namespace voltaris {

QString TForm1::contractPath() const
{
    return QString();
}
bool TForm1::WriteContract()
{
    return false;
}
void TForm1::ReadContract() {}
QString TForm1::TakeNumber(const QString &, int) const
{
    return QString();
}

} // namespace voltaris
