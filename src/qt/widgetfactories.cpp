#include "qt/widgetfactories.h"

#include "qt/buttonwidgets.h"
#include "qt/comboboxwidget.h"
#include "qt/datepickerwidget.h"
#include "qt/editwidget.h"
#include "qt/groupboxwidget.h"
#include "qt/imagewidget.h"
#include "qt/labelwidget.h"
#include "qt/memowidget.h"
#include "qt/panelwidget.h"
#include "qt/radiobuttonwidget.h"
#include "qt/shapewidget.h"
#include "qt/spinfloateditwidget.h"
#include "qt/stringgridwidget.h"

namespace voltaris {

const std::vector<WidgetFactory> &builtinWidgetFactories()
{
    static const std::vector<WidgetFactory> factories {
        createSpinFloatEditWidget,
        createStringGridWidget,
        createDatePickerWidget,
        createEditWidget,
        createMemoWidget,
        createRadioButtonWidget,
        createGroupBoxWidget,
        createPanelWidget,
        createSpeedButtonWidget,
        createBitBtnWidget,
        createComboBoxWidget,
        createLabelWidget,
        createImageWidget,
        createShapeWidget,
    };
    return factories;
}

} // namespace voltaris
