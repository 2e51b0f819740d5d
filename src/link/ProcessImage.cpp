#include "ProcessImage.h"

#include <algorithm>

void ProcessImage::update(const std::uint8_t* data) {
    std::lock_guard lock(mutex_);
    std::copy(data, data + 90, data_.b.begin());
    // The completed-dose areas are kept too, so every reader sees the whole answer.
    std::copy(data + 90, data + 128, data_.b.begin() + 90);
    for (int r = 0; r < 6; ++r) {
        std::copy(data + kRowEntry[r], data + kRowEntry[r] + 6, rows_[r].current.begin());
        rows_[r].current[6] = data[kRowMode[r]];
    }
    if (!firstAnswer_) {
        const int b1[7] = {2, 3, 4, 5, 6, 7, 13};
        for (int i = 0; i < 7; ++i)
            setpoints_.block1[i] = data[b1[i]];
        for (int i = 0; i < 12; ++i)
            setpoints_.block2[i] = data[32 + i];
        setpoints_.block2[12] = data[53];
        firstAnswer_ = true;
    }
}

ImageData ProcessImage::snapshot() const {
    std::lock_guard lock(mutex_);
    return data_;
}

SetpointCopy ProcessImage::setpoints() const {
    std::lock_guard lock(mutex_);
    return setpoints_;
}

void ProcessImage::setBlock1(const std::array<std::uint8_t, 7>& block) {
    std::lock_guard lock(mutex_);
    setpoints_.block1 = block;
}

void ProcessImage::setBlock2(const std::array<std::uint8_t, 13>& block) {
    std::lock_guard lock(mutex_);
    setpoints_.block2 = block;
}

bool ProcessImage::hasFirstAnswer() const {
    std::lock_guard lock(mutex_);
    return firstAnswer_;
}

void ProcessImage::reset() {
    std::lock_guard lock(mutex_);
    data_ = ImageData{};
    setpoints_ = SetpointCopy{};
    firstAnswer_ = false;
    rows_ = {};
}

std::array<DoseRow, 6> ProcessImage::doseRows() const {
    std::lock_guard lock(mutex_);
    return rows_;
}

std::array<DoseRow, 6> ProcessImage::takeDoseRows() {
    std::lock_guard lock(mutex_);
    const std::array<DoseRow, 6> taken = rows_;
    for (DoseRow& row : rows_)
        row.previous = row.current;
    return taken;
}
