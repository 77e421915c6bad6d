// The household's meters as the views of the whole household see them.
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"

namespace voltaris {

const Meter *TForm1::shownMeter() const
{
    const std::vector<Meter> &further = meters().further;
    return ShownLog > 0 && size_t(ShownLog) <= further.size() ? &further[size_t(ShownLog - 1)]
                                                              : nullptr;
}

HouseholdInput TForm1::householdInput()
{
    MeterLog &main = *Logs.front();
    main.setChanges(LogFiles.front()->replacements());
    const FormatSettings &s = app().settings();
    return { main.continuousReadings(s), contractValues(), priceChanges(), {},
        app().services().today() };
}

} // namespace voltaris
