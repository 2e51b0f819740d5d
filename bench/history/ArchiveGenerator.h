#pragma once
// Writes a day's weight archive for the benchmarks: the table is created with dbf::create and
// the records are then written in one go (the station itself appends one record per cycle).
#include <QString>

// A day of `records` snapshots spread evenly over 24 hours: each doser fills towards its
// corrected setpoint and discharges, the setpoints change a few times a day.
bool writeArchiveDay(const QString& path, int records, QString* error);
