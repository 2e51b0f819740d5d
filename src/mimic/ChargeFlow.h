#pragma once
// The receiving bunker and bunker of dosed charge No. 1: the image reports neither bunker's
// contents, so their shown levels follow the skip and the charge conveyor as seen in the edges
// of image byte 81. The state belongs to the station, not to a mimic window: the station owns one
// and hands it to every mimic window it opens, so a reopened window continues the levels from
// where the last one stopped.
#include <cstdint>

class ChargeFlow {
public:
    static constexpr int kStep = 10;

    // Start of a refresh: compares byte 81 with the value the last refresh stored.
    void trackEdges(std::uint8_t b81);
    // Near the end of a refresh: each shown level moves one step towards 100 or 0.
    void stepLevels();
    // End of a refresh: the byte becomes the previous value.
    void storePrevious(std::uint8_t b81) { previous_ = b81; }

    int receivingLevel() const { return receivingLevel_; }
    int bunker1Level() const { return bunker1Level_; }
    bool receivingFilling() const { return receivingFilling_; }
    bool bunker1Filling() const { return bunker1Filling_; }
    // The chute shows charge while anything is shown in bunker No. 1.
    bool chuteFull() const { return bunker1Level_ > 0; }
    std::uint8_t previous() const { return previous_; }

    // Back to the start values.
    void reset() { *this = ChargeFlow(); }

private:
    std::uint8_t previous_ = 0;
    bool receivingFilling_ = false;
    bool bunker1Filling_ = false;
    int receivingLevel_ = 0;
    int bunker1Level_ = 0;
};
