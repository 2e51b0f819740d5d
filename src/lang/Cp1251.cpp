#include "Cp1251.h"

#include <array>

namespace {
// Unicode code points of bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
// 0x98 is unassigned in the code page and is carried through as U+0098.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char16_t toUnicode(unsigned char b) {
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return char16_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

char fromUnicode(char16_t u) {
    if (u < 0x80)
        return char(u);
    if (u >= 0x0410 && u <= 0x044F)
        return char(0xC0 + (u - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] == u)
            return char(0x80 + i);
    return '?';
}
} // namespace

namespace cp1251 {
QString decode(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(toUnicode(static_cast<unsigned char>(data[i])));
    return out;
}

QByteArray encode(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = fromUnicode(text.at(i).unicode());
    return out;
}
} // namespace cp1251
