#pragma once
// The colours of the doser materials, codes 0 to 9, shared by the mimic's bunker fillings and
// the setpoint table's legend; any other code is black.
#include <QColor>

QColor materialColour(int code);
// The colour of dosed charge in the big bunkers, the furnace bunkers and a loaded cart.
QColor chargeColour();
