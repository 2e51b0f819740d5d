#pragma once
// The simulated charging plant behind the controller: six dosers that fill to their
// corrected setpoint and discharge, the skip, the conveyors and bunkers, the two carts and
// furnace bunkers, the portion counters, and faults that come and go. It renders the 130
// image bytes the controller reports and takes the 20 writable task bytes.
#include <array>
#include <cstdint>
#include <random>

class PlantModel {
public:
    static constexpr int kImageSize = 130;
    static constexpr int kTaskOffset = 130; // the writable task bytes follow the image
    static constexpr int kTaskSize = 20;
    static constexpr std::uint8_t kStatusAccepted = 0;
    static constexpr std::uint8_t kStatusBadRange = 2;

    enum class Phase { Waiting, Filling, Done, Discharging };

    struct Doser {
        int plantNo = 0;
        int setpoint = 0;  // kg, the task
        int corrected = 0; // kg, what the feeder aims at
        int code = 0;      // material code 0 to 9
        double weight = 0; // kg in the weigh hopper
        double target = 0; // where this dose's filling stops, overshoot included
        double fillRate = 0;
        Phase phase = Phase::Waiting;
        double phaseLeft = 0; // seconds
        std::uint8_t counter = 0;
        std::array<std::uint8_t, 6> entry{}; // completed-dose entry
        bool faulty = false;
    };

    // faultsPerMinute: how often a fault, stop or missing coordinator signal appears.
    explicit PlantModel(double faultsPerMinute = 0, std::uint32_t variant = 1);

    // Moves the plant on by the given plant time.
    void advance(double seconds);
    std::array<std::uint8_t, kImageSize> image() const;
    // Stores task bytes at controller offsets 130 to 149; returns the write status.
    std::uint8_t write(int offset, const std::uint8_t* data, int count);

    // Raises (on) or clears a fault bit of the image by request, for demonstrations and
    // tests; it stays until cleared, on top of the random faults. Any bit of the alarm
    // status bytes 24, 25, 73 to 76, 83 and 84 may be named. Returns false for other bytes.
    bool setFault(int byte, int bit, bool on);
    static bool isFaultBit(int byte, int bit);

    // Plant numbers 1 to 6.
    const Doser& doser(int plantNo) const;
    int portionsSet(int furnace) const { return task_[furnace == 1 ? 6 : 19]; }
    int currentPortion(int furnace) const { return portion_[furnace - 1]; }
    double time() const { return time_; }

private:
    struct Fault {
        int byte = 0;
        int bit = 0;
        double left = 0;
    };
    struct Cart {
        int position = 0;
        int target = 1;
        int positions = 8;
        double moveLeft = 0;
        int bunkers = 0; // filled bunkers, bit k-1 for bunker k
    };

    void step(double dt);
    void stepDoser(Doser& d, double dt, bool stopped);
    void completeDose(Doser& d);
    void stepSkip(double dt);
    void stepBunkers(double dt);
    void stepCart(Cart& c, int furnace, double dt);
    void stepFaults(double dt);
    void applyTask();
    bool faultActive(int byte, int bit) const;
    Doser& doserByPlantNo(int plantNo);
    double uniform(double lo, double hi);

    std::mt19937 rng_;
    double faultsPerMinute_;
    double time_ = 0;
    // Section 1 dosers 1, 4; section 2 dosers 5, 2, 6, 3.
    std::array<Doser, 6> dosers_;
    std::array<std::uint8_t, kTaskSize> task_{};
    std::array<int, 2> portion_{1, 1};
    std::array<int, 6> dosesInPortion_{};

    // Skip: 0 at the bottom, 1 at the top; direction +1 up, -1 down, 0 standing.
    double skipPos_ = 0;
    int skipDir_ = 0;
    double skipWait_ = 6;
    int skipLoad_ = 0; // doses waiting at the skip
    double hoistTime_ = 28, lowerTime_ = 24;
    double chargeConveyor_ = 0;               // seconds left
    int chargeToward_ = 1;                    // bunker 1 or 2
    double collecting_ = 0;                   // seconds left
    double bunker2_ = 40, intermediate_ = 20; // levels, 0 to 200 (value / 2 = percent)
    bool bunker2Gate_ = false, intermediateDischarge_ = false;
    double furnace1Fill_ = 0; // seconds until cart 1's bunker is filled
    Cart cart1_, cart2_;
    double burnLeft_[2] = {45, 60};
    std::array<Fault, 8> faults_{};
    std::array<std::uint8_t, kImageSize> forced_{}; // fault bits raised by request
};
