#pragma once
// The simulator's end of the line: the master side of a pseudo-terminal, or a serial device
// for a null-modem test. On a pseudo-terminal the answer bytes are paced at the rate the
// station set on its side, so the station sees a real line's timing.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class PosixSerialPort;

class SimLine {
public:
    static std::unique_ptr<SimLine> openPty(std::string* error);
    static std::unique_ptr<SimLine> openDevice(const std::string& path, int rate,
                                               std::string* error);
    ~SimLine();

    int fd() const { return fd_; }
    // The path the station opens.
    const std::string& name() const { return name_; }
    // Paces at this rate in bit/s instead of the line's own (0: the line's own).
    void setFixedRate(int rate) { fixedRate_ = rate; }
    // The rate answers are paced at now, 0 for none (a device paces itself).
    int pacingRate() const;

    int readAvailable(std::uint8_t* buffer, int capacity);
    // Queues an answer to go out delayMs after its request of requestBytes has fully
    // arrived on a paced line, and after anything queued before it.
    void send(const std::vector<std::uint8_t>& bytes, int delayMs, int requestBytes, double nowMs);
    // Writes the bytes that are due.
    void service(double nowMs);
    // Milliseconds until the next byte is due, or -1 when nothing is queued.
    int msUntilNext(double nowMs) const;

private:
    SimLine() = default;
    struct Timed {
        double due;
        std::uint8_t byte;
    };
    int fd_ = -1;
    int slaveFd_ = -1;
    bool pty_ = false;
    std::unique_ptr<PosixSerialPort> device_;
    std::string name_;
    int fixedRate_ = 0;
    std::deque<Timed> out_;
};
