#pragma once
// Sends the dosing task to the controller: block 1 (7 bytes) with write request 2 at offset
// 130, then block 2 (13 bytes) at offset 137 whatever became of block 1. One exchange at a time
// on the port: no poll cycle runs until both writes are done. The setpoint copy in the process
// image takes a block only when the controller accepted it.
#include <array>
#include <cstdint>
#include <functional>

class ComLink;
class ProcessImage;
class Station;

class SetpointSend {
public:
    // The two blocks of the task, as the setpoint table lays them out.
    using Block1 = std::array<std::uint8_t, 7>;
    using Block2 = std::array<std::uint8_t, 13>;

    // The write requests: controller address 1, station address 0, function 2 (write).
    static constexpr unsigned char kController = 1;
    static constexpr unsigned char kStation = 0;
    static constexpr unsigned char kWrite = 2;
    static constexpr unsigned char kBlock1Offset = 130;
    static constexpr unsigned char kBlock2Offset = 137;

    // The outcome of the two writes, as the link's result codes.
    struct Result {
        unsigned block1 = 0;
        unsigned block2 = 0;
        // The operator is told when block 2 ended with the controller's status 1 or 2, no
        // answer (5) or a malformed answer (6).
        bool reported() const;
    };

    SetpointSend(ComLink& link, Station& station, ProcessImage& image);

    // settle runs once the poll thread has halted and before the first write, so an answer
    // still arriving from the last poll comes in first.
    Result send(const Block1& block1, const Block2& block2,
                const std::function<void()>& settle = {});

    // What the controller reported at start-up, as changed by the successful sends.
    const ProcessImage& image() const { return image_; }

private:
    unsigned write(unsigned char offset, const unsigned char* bytes, int count);

    ComLink& link_;
    Station& station_;
    ProcessImage& image_;
};
