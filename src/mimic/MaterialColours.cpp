#include "MaterialColours.h"

#include "MimicLogic.h"

QColor materialColour(int code) {
    return QColor::fromRgb(mimic::materialRgb(code));
}

QColor chargeColour() {
    return QColor::fromRgb(mimic::kChargeRgb);
}
