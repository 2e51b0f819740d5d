#pragma once
// The weight archive: after every good answer one snapshot of the six dosers' set dose,
// corrected setpoint and current weight in the day's arh_ table. Runs on the poll thread.
// A snapshot that cannot be written is dropped: the next one follows within a second.
#include "DailyWriter.h"
#include "ProcessImage.h"

#include <array>

class ArchiveWriter : public DailyWriter {
public:
    // Image bytes of each doser's words, dosers 1 to 6: set dose and corrected setpoint
    // (unsigned), current weight (signed).
    static constexpr std::array<int, 6> kSetDose = {2, 35, 41, 5, 32, 38};
    static constexpr std::array<int, 6> kCorrected = {9, 47, 51, 11, 45, 49};
    static constexpr std::array<int, 6> kWeight = {15, 57, 61, 17, 55, 59};

    ArchiveWriter(const QString& workDir, MaxFiles maxArhDay, FailureReport onWriteFailed = {},
                  Clock clock = {});

    void Arhive(const ImageData& image);
};
