#include "ChargeFlow.h"

namespace {
constexpr std::uint8_t kSkipTop = 1 << 3;
constexpr std::uint8_t kToBunker1 = 1 << 4;
constexpr std::uint8_t kToBunker2 = 1 << 5;

int stepTowards(int level, bool filling) {
    if (filling && level < 100)
        return level + ChargeFlow::kStep;
    if (!filling && level > 0)
        return level - ChargeFlow::kStep;
    return level;
}
} // namespace

void ChargeFlow::trackEdges(std::uint8_t c) {
    const std::uint8_t p = previous_;
    if (c == p)
        return;
    const std::uint8_t changed = c ^ p;
    // The skip arrives at the top: it tips its load into the receiving bunker.
    if ((changed & kSkipTop) && (c & kSkipTop))
        receivingFilling_ = true;
    // Skip at the top while the charge conveyor runs towards bunker No. 1.
    if ((c & kSkipTop) && (c & kToBunker1))
        bunker1Filling_ = true;
    // The charge conveyor has stopped: the receiving bunker empties, and so does bunker No. 1
    // when that run went towards it.
    if ((changed & (kToBunker1 | kToBunker2)) && !(c & (kToBunker1 | kToBunker2))) {
        receivingFilling_ = false;
        if (p & kToBunker1)
            bunker1Filling_ = false;
    }
}

void ChargeFlow::stepLevels() {
    receivingLevel_ = stepTowards(receivingLevel_, receivingFilling_);
    bunker1Level_ = stepTowards(bunker1Level_, bunker1Filling_);
}
