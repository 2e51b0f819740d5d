#pragma once
// The saved report file (.frp): the built pages with every drawing item, so a file shows the
// same pages wherever it is loaded. Layout: the 8-byte mark "KVRPT\r\n\x1a", a 32-bit format
// version, the payload length, the payload and its CRC-32; numbers little-endian.
#include "ReportModel.h"

#include <QByteArray>
#include <QString>

namespace report {

QByteArray serialize(const PreparedReport& report);
// The file around a payload (the pages as serialize() lays them out): mark, version, length,
// the payload and its CRC-32.
QByteArray wrapPayload(QByteArrayView payload);
// Checks everything it reads; on any fault returns false with *error set and leaves *out as
// it was.
bool deserialize(const QByteArray& bytes, PreparedReport* out, QString* error);

bool saveFile(const QString& path, const PreparedReport& report, QString* error);
bool loadFile(const QString& path, PreparedReport* out, QString* error);

// The name a report is saved under: the extension is always ".frp" (report.txt -> report.frp,
// report -> report.frp).
QString withReportExtension(const QString& path);

} // namespace report
