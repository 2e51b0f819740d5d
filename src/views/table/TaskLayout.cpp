#include "TaskLayout.h"

#include <algorithm>

namespace task {

namespace {
std::uint8_t* place(const Field& f, Block1& b1, Block2& b2) {
    return f.block == 1 ? b1.data() + f.offset : b2.data() + f.offset;
}
} // namespace

int fieldNumberOfDoser(int doser) {
    constexpr std::array<int, 6> order = {5, 2, 6, 3, 1, 4};
    for (int i = 0; i < 6; ++i) {
        if (order[i] == doser)
            return i + 1;
    }
    return 0;
}

int rawValue(const Field& f, const Block1& b1, const Block2& b2) {
    const std::uint8_t* p = f.block == 1 ? b1.data() + f.offset : b2.data() + f.offset;
    if (f.kind == Kind::Setpoint)
        return p[0] | (p[1] << 8);
    return p[0];
}

int clamp(const Field& f, int value) {
    return std::clamp(value, f.minimum, f.maximum);
}

void store(const Field& f, int value, Block1& b1, Block2& b2) {
    std::uint8_t* p = place(f, b1, b2);
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    if (f.kind == Kind::Setpoint)
        p[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

} // namespace task
