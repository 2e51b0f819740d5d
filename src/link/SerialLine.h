#pragma once
// One open serial line as the link sees it: write a frame, count and read the bytes waiting,
// and the waits of the answer. The station's port and the test lines implement it.
#include <cstdint>

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // Writes n bytes in one call; returns the number taken, or -1 on error.
    virtual long write(const std::uint8_t* data, int n) = 0;
    // Number of bytes waiting in the input queue, or -1 on error.
    virtual int waiting() = 0;
    // Reads at most n waiting bytes without blocking; returns the number read, or -1.
    virtual long read(std::uint8_t* data, int n) = 0;
    // One pause of the answer wait.
    virtual void pause(int ms) = 0;
    // Returns when a byte is waiting or ms have passed, whichever comes first.
    virtual void waitReadable(int ms) = 0;
    // The clock of pause and waitReadable, in milliseconds.
    virtual std::int64_t nowMs() = 0;
};
