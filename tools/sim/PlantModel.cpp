#include "PlantModel.h"

#include <algorithm>
#include <cmath>

namespace {

// Image positions of each doser, in the order of dosers_: 1, 4, 5, 2, 6, 3.
struct DoserLayout {
    int plantNo;
    int setpoint, code, corrected, weight;
    int feederByte, feederBit, gateByte, gateBit;
    int doneByte, doneBit, zeroByte, zeroBit;
    int entry;
    int taskSetpoint; // position in the writable task bytes
};
constexpr DoserLayout kLayout[6] = {
    {1, 2, 4, 9, 15, 19, 4, 19, 0, 23, 0, 23, 4, 90, 0},
    {4, 5, 7, 11, 17, 19, 6, 19, 2, 23, 1, 23, 5, 96, 3},
    {5, 32, 34, 45, 55, 67, 0, 68, 0, 72, 0, 72, 4, 103, 7},
    {2, 35, 37, 47, 57, 67, 2, 68, 2, 72, 1, 72, 5, 109, 10},
    {6, 38, 40, 49, 59, 67, 4, 68, 4, 72, 2, 72, 6, 115, 13},
    {3, 41, 43, 51, 61, 67, 6, 68, 6, 72, 3, 72, 7, 121, 16},
};
constexpr int kPortionsTask[2] = {6, 19};

// Fault bits the plant may raise: alarms, stops, missing coordinator signals.
struct FaultBit {
    int byte, bit;
};
constexpr FaultBit kFaultBits[] = {
    {24, 0}, {24, 1}, {24, 2}, {24, 3}, {24, 4}, {24, 5}, {24, 6}, {24, 7}, {25, 0}, {25, 1},
    {25, 2}, {25, 3}, {25, 4}, {25, 5}, {25, 6}, {25, 7}, {73, 0}, {73, 1}, {73, 2}, {73, 3},
    {73, 4}, {73, 5}, {73, 6}, {73, 7}, {74, 0}, {74, 1}, {74, 2}, {74, 3}, {74, 4}, {74, 5},
    {74, 6}, {74, 7}, {75, 0}, {75, 1}, {75, 2}, {75, 3}, {75, 4}, {75, 6}, {75, 7}, {76, 2},
    {76, 3}, {76, 4}, {76, 5}, {76, 6}, {76, 7}, {83, 0}, {83, 1}, {83, 2}, {84, 2}, {84, 5},
    {84, 6}, {84, 7}, {88, 0}, {88, 1}, {88, 2}, {88, 3}, {88, 4}, {88, 5}, {88, 6}, {88, 7},
};

void putWord(std::array<std::uint8_t, 130>& b, int k, int value) {
    const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    b[k] = static_cast<std::uint8_t>(v & 0xFF);
    b[k + 1] = static_cast<std::uint8_t>(v >> 8);
}

void setBit(std::array<std::uint8_t, 130>& b, int k, int bit, bool on) {
    if (on)
        b[k] |= static_cast<std::uint8_t>(1 << bit);
}

} // namespace

PlantModel::PlantModel(double faultsPerMinute, std::uint32_t variant)
    : rng_(variant), faultsPerMinute_(faultsPerMinute) {
    // The dosing task the controller starts with.
    const int setpoints[6] = {1200, 800, 2500, 1500, 900, 600};
    const int codes[6] = {2, 7, 3, 4, 1, 5};
    for (int i = 0; i < 6; ++i) {
        const int k = kLayout[i].taskSetpoint;
        task_[k] = static_cast<std::uint8_t>(setpoints[i] & 0xFF);
        task_[k + 1] = static_cast<std::uint8_t>(setpoints[i] >> 8);
        task_[k + 2] = static_cast<std::uint8_t>(codes[i]);
        dosers_[i].plantNo = kLayout[i].plantNo;
        dosers_[i].phaseLeft = uniform(1, 8);
    }
    task_[kPortionsTask[0]] = 20;
    task_[kPortionsTask[1]] = 25;
    applyTask();
    for (auto& d : dosers_)
        d.corrected = d.setpoint - d.setpoint / 100; // allows for the material in flight
    cart1_.positions = 8;
    cart2_.positions = 6;
    cart2_.target = 1;
}

double PlantModel::uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng_);
}

const PlantModel::Doser& PlantModel::doser(int plantNo) const {
    for (const auto& d : dosers_)
        if (d.plantNo == plantNo)
            return d;
    return dosers_[0];
}

PlantModel::Doser& PlantModel::doserByPlantNo(int plantNo) {
    return const_cast<Doser&>(static_cast<const PlantModel*>(this)->doser(plantNo));
}

void PlantModel::applyTask() {
    for (int i = 0; i < 6; ++i) {
        const int k = kLayout[i].taskSetpoint;
        Doser& d = dosers_[i];
        const int setpoint = task_[k] | (task_[k + 1] << 8);
        if (setpoint != d.setpoint)
            d.corrected = setpoint - setpoint / 100; // a new task starts a new correction
        d.setpoint = setpoint;
        d.code = task_[k + 2];
    }
}

std::uint8_t PlantModel::write(int offset, const std::uint8_t* data, int count) {
    if (count <= 0 || offset < kTaskOffset || offset + count > kTaskOffset + kTaskSize)
        return kStatusBadRange;
    std::copy(data, data + count, task_.begin() + (offset - kTaskOffset));
    applyTask();
    return kStatusAccepted;
}

bool PlantModel::isFaultBit(int byte, int bit) {
    static constexpr int kStatusBytes[] = {24, 25, 73, 74, 75, 76, 83, 84};
    return std::find(std::begin(kStatusBytes), std::end(kStatusBytes), byte) !=
               std::end(kStatusBytes) &&
           bit >= 0 && bit <= 7;
}

bool PlantModel::setFault(int byte, int bit, bool on) {
    if (!isFaultBit(byte, bit))
        return false;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    forced_[std::size_t(byte)] = static_cast<std::uint8_t>(on ? forced_[std::size_t(byte)] | mask
                                                              : forced_[std::size_t(byte)] & ~mask);
    return true;
}

bool PlantModel::faultActive(int byte, int bit) const {
    if ((forced_[std::size_t(byte)] >> bit) & 1)
        return true;
    for (const Fault& f : faults_)
        if (f.left > 0 && f.byte == byte && f.bit == bit)
            return true;
    return false;
}

void PlantModel::advance(double seconds) {
    while (seconds > 0) {
        const double dt = std::min(seconds, 0.1);
        step(dt);
        seconds -= dt;
    }
}

void PlantModel::step(double dt) {
    time_ += dt;
    stepFaults(dt);
    const bool commonStop = faultActive(84, 7);
    for (int i = 0; i < 6; ++i) {
        Doser& d = dosers_[i];
        d.faulty = i < 2
                       ? faultActive(24, i) || faultActive(24, i + 4) || faultActive(24, i + 6)
                       : faultActive(73, i - 2) || faultActive(74, i - 2) || faultActive(74, i + 2);
        const bool stop = commonStop || faultActive(i < 2 ? 25 : 76, 7);
        stepDoser(d, dt, stop);
    }
    stepSkip(dt);
    stepBunkers(dt);
    stepCart(cart1_, 1, dt);
    stepCart(cart2_, 2, dt);
}

void PlantModel::stepDoser(Doser& d, double dt, bool stopped) {
    if (stopped)
        return; // a stop holds every doser where it is
    d.phaseLeft -= dt;
    switch (d.phase) {
    case Phase::Waiting:
        if (d.phaseLeft <= 0 && d.setpoint > 0 && !d.faulty) {
            d.phase = Phase::Filling;
            d.target = d.corrected + uniform(0, 0.02 * d.setpoint);
            d.fillRate = std::max(1, d.corrected) / uniform(8, 22);
        }
        break;
    case Phase::Filling:
        if (d.faulty)
            break; // the feeder stands while its fault lasts
        d.weight += d.fillRate * dt;
        if (d.weight >= d.corrected) {
            d.weight = d.target; // the material in flight lands
            d.phase = Phase::Done;
            d.phaseLeft = 1.5;
        }
        break;
    case Phase::Done:
        if (d.phaseLeft <= 0) {
            d.phase = Phase::Discharging;
            collecting_ = std::max(collecting_, 8.0);
        }
        break;
    case Phase::Discharging:
        d.weight -= d.target / 4 * dt;
        if (d.weight <= 0) {
            d.weight = 0;
            completeDose(d);
            d.phase = Phase::Waiting;
            d.phaseLeft = uniform(2, 6);
        }
        break;
    }
}

void PlantModel::completeDose(Doser& d) {
    const int discharged = static_cast<int>(std::lround(d.target));
    d.counter = static_cast<std::uint8_t>(d.counter % 255 + 1); // never back to 0
    d.entry = {d.counter,
               static_cast<std::uint8_t>(d.corrected & 0xFF),
               static_cast<std::uint8_t>((d.corrected >> 8) & 0xFF),
               static_cast<std::uint8_t>(d.code),
               static_cast<std::uint8_t>(discharged & 0xFF),
               static_cast<std::uint8_t>((discharged >> 8) & 0xFF)};
    // Half the last dose's error goes into the next correction.
    const int next = d.corrected + (d.setpoint - discharged) / 2;
    d.corrected = std::clamp(next, d.setpoint * 9 / 10, d.setpoint);
    ++skipLoad_;

    // A portion is complete once every working doser of the section has dosed.
    const int index = static_cast<int>(&d - dosers_.data());
    ++dosesInPortion_[index];
    const int first = index < 2 ? 0 : 2, last = index < 2 ? 2 : 6;
    for (int i = first; i < last; ++i)
        if (dosers_[i].setpoint > 0 && dosesInPortion_[i] == 0)
            return;
    for (int i = first; i < last; ++i)
        dosesInPortion_[i] = 0;
    const int furnace = index < 2 ? 0 : 1;
    const int set = task_[kPortionsTask[furnace]];
    portion_[furnace] = set == 0 ? 0 : portion_[furnace] % set + 1;
}

void PlantModel::stepSkip(double dt) {
    collecting_ = std::max(0.0, collecting_ - dt);
    chargeConveyor_ = std::max(0.0, chargeConveyor_ - dt);
    if (faultActive(83, 0) || faultActive(84, 7))
        return;
    if (skipDir_ == 0) {
        skipWait_ -= dt;
        if (skipWait_ > 0)
            return;
        if (skipPos_ <= 0 && skipLoad_ > 0) {
            skipLoad_ = 0;
            skipDir_ = 1;
        } else if (skipPos_ >= 1) {
            skipDir_ = -1;
        }
        return;
    }
    skipPos_ += skipDir_ * dt / (skipDir_ > 0 ? hoistTime_ : lowerTime_);
    if (skipPos_ >= 1) {
        // At the top the skip tips its load onto the charge conveyor.
        skipPos_ = 1;
        skipDir_ = 0;
        skipWait_ = 4;
        chargeConveyor_ = 15;
        chargeToward_ = chargeToward_ == 1 ? 2 : 1;
        if (chargeToward_ == 1)
            furnace1Fill_ = 15;
    } else if (skipPos_ <= 0) {
        skipPos_ = 0;
        skipDir_ = 0;
        skipWait_ = 6;
    }
}

void PlantModel::stepBunkers(double dt) {
    if (chargeConveyor_ > 0 && chargeToward_ == 2)
        bunker2_ = std::min(200.0, bunker2_ + 4 * dt);
    if (furnace1Fill_ > 0) {
        furnace1Fill_ -= dt;
        if (furnace1Fill_ <= 0 && cart1_.position == cart1_.target && cart1_.target > 0) {
            cart1_.bunkers |= 1 << (cart1_.target - 1);
            cart1_.target = 0; // the cart picks its next bunker
        }
    }
    // Bunker No. 2 empties over the loading conveyor into the intermediate bunker.
    if (!bunker2Gate_ && bunker2_ > 150)
        bunker2Gate_ = true;
    if (bunker2Gate_) {
        const double moved = std::min(bunker2_, 8 * dt);
        bunker2_ -= moved;
        intermediate_ = std::min(200.0, intermediate_ + moved);
        if (bunker2_ < 30)
            bunker2Gate_ = false;
    }
    // The intermediate bunker discharges into furnace 2's bunker under cart 2.
    const bool cartReady = cart2_.position == cart2_.target && cart2_.target > 0;
    if (!intermediateDischarge_ && intermediate_ > 120 && cartReady)
        intermediateDischarge_ = true;
    if (intermediateDischarge_) {
        intermediate_ = std::max(0.0, intermediate_ - 10 * dt);
        if (intermediate_ < 20) {
            intermediateDischarge_ = false;
            cart2_.bunkers |= 1 << (cart2_.target - 1);
            cart2_.target = 0;
        }
    }
    // The furnaces draw their bunkers down.
    for (int f = 0; f < 2; ++f) {
        burnLeft_[f] -= dt;
        Cart& c = f == 0 ? cart1_ : cart2_;
        if (burnLeft_[f] <= 0) {
            burnLeft_[f] = uniform(40, 90);
            for (int k = 0; k < c.positions; ++k)
                if (c.bunkers & (1 << k)) {
                    c.bunkers &= ~(1 << k);
                    break;
                }
        }
    }
}

void PlantModel::stepCart(Cart& c, int furnace, double dt) {
    if (faultActive(furnace == 1 ? 25 : 75, furnace == 1 ? 1 : 4))
        return;
    if (c.target == 0 && c.position == 0) {
        // Choose the next empty bunker of the ring, starting after the last one.
        for (int k = 1; k <= c.positions; ++k)
            if (!(c.bunkers & (1 << (k - 1)))) {
                c.target = k;
                break;
            }
        return;
    }
    if (c.target == 0 && c.position != 0) {
        for (int k = 1; k <= c.positions; ++k) {
            const int p = (c.position + k - 1) % c.positions + 1;
            if (!(c.bunkers & (1 << (p - 1)))) {
                c.target = p;
                break;
            }
        }
        if (c.target == 0)
            return;
    }
    if (c.position == c.target)
        return;
    c.moveLeft -= dt;
    if (c.moveLeft <= 0) {
        c.position += c.target > c.position ? 1 : -1;
        c.moveLeft = 3;
    }
}

void PlantModel::stepFaults(double dt) {
    for (Fault& f : faults_)
        f.left = std::max(0.0, f.left - dt);
    if (faultsPerMinute_ <= 0 || uniform(0, 1) >= faultsPerMinute_ / 60 * dt)
        return;
    const auto& pick =
        kFaultBits[std::uniform_int_distribution<int>(0, std::size(kFaultBits) - 1)(rng_)];
    if (faultActive(pick.byte, pick.bit))
        return;
    for (Fault& f : faults_)
        if (f.left <= 0) {
            f = {pick.byte, pick.bit, uniform(5, 40)};
            return;
        }
}

std::array<std::uint8_t, PlantModel::kImageSize> PlantModel::image() const {
    std::array<std::uint8_t, kImageSize> b{};
    // Every unit in remote or automatic mode.
    b[0] = 0x03 | (0x1F << 3);
    b[1] = 0x01;
    b[30] = 0x7F;
    b[31] = 0x3F;
    b[80] = 0x07;
    b[26] = b[27] = b[77] = b[78] = b[85] = 3;
    b[102] = b[127] = 0x01; // automatic dosing in both sections
    for (int i = 0; i < 6; ++i) {
        const DoserLayout& l = kLayout[i];
        const Doser& d = dosers_[i];
        putWord(b, l.setpoint, d.setpoint);
        b[l.code] = static_cast<std::uint8_t>(d.code);
        putWord(b, l.corrected, d.corrected);
        putWord(b, l.weight, static_cast<int>(std::lround(d.weight)));
        setBit(b, l.feederByte, l.feederBit, d.phase == Phase::Filling && !d.faulty);
        setBit(b, l.gateByte, l.gateBit, d.phase == Phase::Discharging);
        setBit(b, l.doneByte, l.doneBit, d.phase == Phase::Done);
        setBit(b, l.zeroByte, l.zeroBit, d.weight < 1);
        std::copy(d.entry.begin(), d.entry.end(), b.begin() + l.entry);
    }
    b[13] = task_[kPortionsTask[0]];
    b[53] = task_[kPortionsTask[1]];
    b[14] = static_cast<std::uint8_t>(portion_[0]);
    b[54] = static_cast<std::uint8_t>(portion_[1]);
    // Carts and furnace bunkers.
    if (cart1_.position == 0)
        b[21] = 0x01;
    else
        b[20] = static_cast<std::uint8_t>(1 << (cart1_.position - 1));
    b[22] = static_cast<std::uint8_t>(cart1_.bunkers);
    b[28] = static_cast<std::uint8_t>(cart1_.target);
    b[70] = static_cast<std::uint8_t>(1 << cart2_.position);
    b[71] = static_cast<std::uint8_t>(cart2_.bunkers);
    b[79] = static_cast<std::uint8_t>(cart2_.target);
    // Bunker levels, bunker No. 2 gate, loading conveyor, intermediate discharge.
    putWord(b, 63, static_cast<int>(std::lround(bunker2_)));
    putWord(b, 65, static_cast<int>(std::lround(intermediate_)));
    setBit(b, 69, 0, bunker2Gate_);
    setBit(b, 69, 6, bunker2Gate_);
    setBit(b, 69, 4, intermediateDischarge_);
    // Skip, conveyors.
    const int skipPosition = skipPos_ <= 0.02 ? 1 : skipPos_ >= 0.98 ? 4 : skipPos_ < 0.5 ? 2 : 3;
    setBit(b, 81, skipPosition - 1, true);
    setBit(b, 81, 4, chargeConveyor_ > 0 && chargeToward_ == 1);
    setBit(b, 81, 5, chargeConveyor_ > 0 && chargeToward_ == 2);
    setBit(b, 81, 7, collecting_ > 0);
    setBit(b, 82, 0, skipDir_ > 0);
    setBit(b, 82, 1, skipDir_ < 0);
    b[86] = static_cast<std::uint8_t>(hoistTime_);
    b[87] = static_cast<std::uint8_t>(lowerTime_);
    // Faults, stops and missing coordinator signals that are active now.
    for (const Fault& f : faults_)
        if (f.left > 0)
            setBit(b, f.byte, f.bit, true);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] |= forced_[i];
    return b;
}
