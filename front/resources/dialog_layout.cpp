// The conversion dialog's controls, in template order.
#include "front/resources/dialog_layout.h"

#include "front/resources/resource_ids.h"
#include "front/resources/texts.h"

namespace {

constexpr uint32_t kChild = kStyleChild | kStyleVisible;

constexpr DialogControl kControls[] = {
    {IDC_SOURCE_PATH, ControlKind::kEdit, "", 4, 12, 132, 12,
     kChild | kStyleBorder | kStyleTabStop | kStyleAutoHScroll},
    {IDC_DESTINATION_PATH, ControlKind::kEdit, "", 4, 36, 132, 12,
     kChild | kStyleBorder | kStyleTabStop | kStyleAutoHScroll},
    {IDC_CONVERT, ControlKind::kButton, kConvertButton, 4, 68, 132, 12,
     kChild | kStyleTabStop | kStylePushButton},
    {IDC_LABEL, ControlKind::kLabel, kSourceLabel, 4, 4, 126, 8, kChild | kStyleGroup | kStyleLeft},
    {IDC_LABEL, ControlKind::kLabel, kDestinationLabel, 4, 28, 22, 8,
     kChild | kStyleGroup | kStyleLeft},
    {IDC_FLAT_NORMALS, ControlKind::kCheckBox, kFlatNormalsBox, 4, 52, 124, 10,
     kChild | kStyleTabStop | kStyleAutoCheckBox},
};

}  // namespace

const DialogLayout kConversionDialogLayout = {
    143,
    87,
    kCaption,
    kDialogFont,
    9,
    kStyleVisible | kStyleCaption | kStyleSysMenu | kStyleMinimizeBox | kStyleSetFont |
        kStyleCenter,
    kExStyleAcceptFiles,
    kControls,
};
