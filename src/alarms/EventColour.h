#pragma once
// Colours of reported events as 0xAARRGGBB values. The type is the same as QRgb of QtGui, so
// window code passes QColor::rgb() values straight in, while the core needs no QtGui.
#include <QtGlobal>

using QRgb = unsigned int;

namespace eventcolour {
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kBlue = 0xFF0000FFu;

// An event is an alarm exactly when it was reported in red #FF0000; alpha plays no part.
constexpr bool isAlarm(QRgb colour) {
    return (colour & 0x00FFFFFFu) == 0x00FF0000u;
}
// Journal code of a reported event: 1 for an alarm, 0 for every other event.
constexpr int journalCode(QRgb colour) {
    return isAlarm(colour) ? 1 : 0;
}
} // namespace eventcolour
