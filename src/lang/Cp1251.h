#pragma once
// Windows-1251, the code page of the language files and of every text field in the tables.
#include <QByteArray>
#include <QString>

namespace cp1251 {
// Decodes 8-bit Windows-1251 text.
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}
// Encodes to Windows-1251; characters the code page lacks become '?'.
QByteArray encode(const QString& text);
} // namespace cp1251
