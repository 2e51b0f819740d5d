#pragma once
// The dosing check: after each good answer, a doser whose dose counter has moved to a new
// non-zero value gets one record in the day's doz_ table. Runs on the poll thread.
#include "DailyWriter.h"
#include "ProcessImage.h"

#include <cstdint>
#include <functional>
#include <vector>

class DosingRecorder : public DailyWriter {
public:
    // The rows-valid marker's value once the previous parts hold a good answer.
    static constexpr std::uint8_t kRowsValid = 10;

    DosingRecorder(const QString& workDir, MaxFiles maxArhDay, FailureReport onWriteFailed = {},
                   Clock clock = {});

    // Once per good answer, after the image update: retries kept records, compares the rows
    // in the order of dosers 5, 2, 6, 3, 1, 4, then takes the current parts as the previous.
    void CompleteDoza(ProcessImage& image);
    // One doser: a record when the counter moved to a new non-zero value.
    void VerifyDoza(const QString& name, const DosePart& current, const DosePart& previous);

    // Told of every dose record with its field values in the table's order, as it goes to the
    // table (on the poll thread).
    void setOnRecord(std::function<void(const std::vector<QString>& values)> onRecord) {
        onRecord_ = std::move(onRecord);
    }

    // Start-up state: the next good answer only primes the rows.
    void reset() { rowsValid_ = 0; }
    std::uint8_t rowsValid() const { return rowsValid_; }

private:
    std::uint8_t rowsValid_ = 0;
    std::function<void(const std::vector<QString>&)> onRecord_;
};
