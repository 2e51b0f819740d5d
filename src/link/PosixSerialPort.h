#pragma once
// A serial device opened the station's way: exclusive, raw 8N1 at one of the fifteen line
// rates, non-blocking, so a write that cannot go out at once is a short write, not a hang.
#include "SerialLine.h"

#include <QString>
#include <memory>

class PosixSerialPort : public SerialLine {
public:
    ~PosixSerialPort() override;

    // Opens path; *error receives the reason when it fails (nullptr on failure).
    // On failure *error says why and *errorNumber holds the errno value.
    static std::unique_ptr<PosixSerialPort> open(const QString& path, QString* error = nullptr,
                                                 int* errorNumber = nullptr);
    // The line for the error output when a port cannot be opened: which device, why, and for
    // a refused permission that the user must be in the group that owns the serial devices.
    static QString openFailureAdvice(const QString& path, int errorNumber);
    // Raw mode, 8 data bits, no parity, one stop bit; the rate only when it is one of the
    // fifteen station rates, otherwise the line keeps its rate. Returns false when the line
    // settings could not be read (nothing is then changed).
    bool configure(int rate);

    static bool isStationRate(int rate);

    long write(const std::uint8_t* data, int n) override;
    int waiting() override;
    long read(std::uint8_t* data, int n) override;
    void pause(int ms) override;
    void waitReadable(int ms) override;
    std::int64_t nowMs() override;

    int fd() const { return fd_; }

private:
    explicit PosixSerialPort(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Sets a line rate that has no Bxxx constant (14400, 56000, 128000, 256000), or any other,
// through termios2. Returns false when the driver refuses it.
bool setCustomLineRate(int fd, int rate);
// The output rate of a line in bit/s as the driver holds it, or 0 when unknown.
int lineRate(int fd);
