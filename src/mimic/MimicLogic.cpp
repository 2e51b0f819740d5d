#include "MimicLogic.h"

namespace mimic {

int roundHalfEven(long long num, long long den) {
    const bool negative = num < 0;
    const long long n = negative ? -num : num;
    long long q = n / den;
    const long long twiceRest = 2 * (n % den);
    if (twiceRest > den || (twiceRest == den && (q & 1)))
        ++q;
    return static_cast<int>(negative ? -q : q);
}

int weighHopperLevel(int weight) {
    return weight < 0 ? 0 : roundHalfEven(weight, 10);
}

int bigBunkerLevel(int signedWord) {
    return signedWord < 0 ? 0 : roundHalfEven(signedWord, 2);
}

int fillHeight(int level, int span) {
    return roundHalfEven(static_cast<long long>(level) * span, 100);
}

int skipPosition(std::uint8_t b81) {
    for (int bitNo = 0; bitNo < 4; ++bitNo) {
        if ((b81 >> bitNo) & 1)
            return bitNo + 1;
    }
    return 0;
}

int cart1Offset(const ImageData& image, int previous) {
    int offset = previous;
    if (image.bit(21, 0))
        offset = kCart1Offsets[0];
    for (int position = 1; position <= 8; ++position) {
        if (image.bit(20, position - 1))
            offset = kCart1Offsets[position];
    }
    return offset;
}

int cart2Offset(const ImageData& image, int previous) {
    int offset = previous;
    for (int position = 0; position <= 6; ++position) {
        if (image.bit(70, position))
            offset = kCart2Offsets[position];
    }
    return offset;
}

int modeByteText(std::uint8_t value) {
    return value >= 1 && value <= 3 ? value : 0;
}

} // namespace mimic
