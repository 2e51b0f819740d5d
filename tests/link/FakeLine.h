#pragma once
// A serial line on a virtual clock for the link tests: it records every frame the station
// writes and, for each, lets the test say which bytes come back and when.
#include "SerialLine.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Bytes that reach the station's input queue a number of ms after the request was written.
struct Arrival {
    int afterMs;
    Bytes bytes;
};

class FakeLine : public SerialLine {
public:
    // Decides the answer to one written frame.
    using Responder = std::function<std::vector<Arrival>(const Bytes& request)>;

    explicit FakeLine(Responder responder) : responder_(std::move(responder)) {}

    long write(const std::uint8_t* data, int n) override;
    int waiting() override;
    long read(std::uint8_t* data, int n) override;
    void pause(int ms) override;
    void waitReadable(int ms) override;
    std::int64_t nowMs() override { return now_; }

    // Bytes already queued before the next request (a late answer of an earlier one).
    void queueNow(const Bytes& bytes);
    // The write call takes only this many bytes (-1: all).
    void limitWrite(int n) { writeLimit_ = n; }

    std::vector<Bytes> written;
    std::vector<int> pauses;
    std::atomic<int> exchanges{0};
    std::atomic<bool> inExchange{false};

private:
    struct Timed {
        std::int64_t at;
        std::uint8_t byte;
    };
    void arrive(std::int64_t at, const Bytes& bytes);

    Responder responder_;
    std::int64_t now_ = 0;
    std::deque<Timed> pending_;
    int writeLimit_ = -1;
};

// Frames for the tests, built by hand from the line format so they do not share the
// link's own framing code.
Bytes stuffed(const Bytes& payload, std::uint16_t crc);
std::uint16_t referenceCrc(const Bytes& payload);
// A read answer from the controller (address 1) to the station (address 0).
Bytes readAnswer(const Bytes& image130);
Bytes writeAnswer(std::uint8_t status);
