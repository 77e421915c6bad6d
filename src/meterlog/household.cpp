// The household's meters as the views of the whole household see them.
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"

namespace voltaris {

HouseholdInput TForm1::householdInput()
{
    MeterLog &main = *Logs.front();
    main.setChanges(LogFiles.front()->replacements());
    const FormatSettings &s = app().settings();
    return { main.continuousReadings(s), contractValues(), priceChanges(), {},
        app().services().today() };
}

} // namespace voltaris
