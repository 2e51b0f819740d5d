#pragma once
// The station's colours as 0xAARRGGBB values, each written here once. The type is the same as
// QRgb of QtGui, so window code passes them straight to QColor, while the core needs no QtGui.
#include <QtGlobal>

using QRgb = unsigned int;

namespace colours {
// Alarms and their journal lines, a lost link, the stop and attention lamps when lit.
constexpr QRgb kRed = 0xFFFF0000u;
// Clearings and messages.
constexpr QRgb kBlack = 0xFF000000u;
// The link working again.
constexpr QRgb kBlue = 0xFF0000FFu;
// The link status text once answers are good.
constexpr QRgb kLinkText = 0xFF363670u;
// The link status text while the port is open and no answer has come yet.
constexpr QRgb kNavy = 0xFF000080u;
// Panels, the window background and the unlit lamps.
constexpr QRgb kPanelGrey = 0xFFDFDFDEu;
// The event list's background.
constexpr QRgb kWhite = 0xFFFFFFFFu;

// Dosed charge in the big bunkers, the furnace bunkers and a loaded cart.
constexpr QRgb kCharge = 0xFF613030u;
// The doser materials, codes 0 to 9: the mimic's fillings and the setpoint table's legend; any
// other code is black.
constexpr QRgb material(int code) {
    constexpr QRgb kMaterials[10] = {0xFFC0C0C0u, 0xFF008000u, 0xFFFFBB77u, 0xFFFF8000u,
                                     0xFFC66300u, 0xFFE1E100u, 0xFF0080FFu, 0xFF954A00u,
                                     0xFF808080u, 0xFFA54AFFu};
    return code >= 0 && code < 10 ? kMaterials[code] : kBlack;
}

// An event is an alarm exactly when it was reported in red #FF0000; alpha plays no part.
constexpr bool isAlarm(QRgb colour) {
    return (colour & 0x00FFFFFFu) == 0x00FF0000u;
}
// Journal code of a reported event: 1 for an alarm, 0 for every other event.
constexpr int journalCode(QRgb colour) {
    return isAlarm(colour) ? 1 : 0;
}
} // namespace colours
