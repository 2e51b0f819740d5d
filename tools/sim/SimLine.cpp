#include "SimLine.h"

#include "PosixSerialPort.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

std::unique_ptr<SimLine> SimLine::openPty(std::string* error) {
    std::unique_ptr<SimLine> line(new SimLine);
    line->fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line->fd_ < 0 || grantpt(line->fd_) != 0 || unlockpt(line->fd_) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return nullptr;
    }
    const char* name = ptsname(line->fd_);
    if (!name) {
        *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return nullptr;
    }
    line->name_ = name;
    line->pty_ = true;
    // Holding the station's side open keeps the line up while the station re-opens it,
    // and makes it a binary line from the start.
    line->slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line->slaveFd_ >= 0) {
        termios t;
        if (tcgetattr(line->slaveFd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(line->slaveFd_, TCSANOW, &t);
        }
    }
    return line;
}

std::unique_ptr<SimLine> SimLine::openDevice(const std::string& path, int rate,
                                             std::string* error) {
    QString why;
    auto device = PosixSerialPort::open(QString::fromStdString(path), &why);
    if (!device) {
        *error = "cannot open " + path + ": " + why.toStdString();
        return nullptr;
    }
    device->configure(rate);
    std::unique_ptr<SimLine> line(new SimLine);
    line->fd_ = device->fd();
    line->device_ = std::move(device);
    line->name_ = path;
    return line;
}

SimLine::~SimLine() {
    if (slaveFd_ >= 0)
        ::close(slaveFd_);
    if (!device_ && fd_ >= 0)
        ::close(fd_);
}

int SimLine::pacingRate() const {
    if (fixedRate_ > 0)
        return fixedRate_;
    // The master side of a pseudo-terminal reports the settings its station side was given.
    return pty_ ? lineRate(fd_) : 0;
}

int SimLine::readAvailable(std::uint8_t* buffer, int capacity) {
    const long n = ::read(fd_, buffer, static_cast<size_t>(capacity));
    return n > 0 ? static_cast<int>(n) : 0;
}

void SimLine::send(const std::vector<std::uint8_t>& bytes, int delayMs, int requestBytes,
                   double nowMs) {
    const int rate = pacingRate();
    const double byteMs = rate > 0 ? 10000.0 / rate : 0; // start, 8 data and 1 stop bit
    // A pseudo-terminal hands the request over at once; a real line needs its time.
    double t = nowMs + requestBytes * byteMs + delayMs;
    if (!out_.empty())
        t = std::max(t, out_.back().due);
    for (std::uint8_t b : bytes) {
        t += byteMs;
        out_.push_back({t, b});
    }
}

void SimLine::service(double nowMs) {
    std::uint8_t chunk[512];
    int n = 0;
    while (n < static_cast<int>(sizeof chunk) && n < static_cast<int>(out_.size()) &&
           out_[n].due <= nowMs)
        chunk[n] = out_[n].byte, ++n;
    if (n == 0)
        return;
    const long written = ::write(fd_, chunk, static_cast<size_t>(n));
    if (written > 0)
        out_.erase(out_.begin(), out_.begin() + written);
}

int SimLine::msUntilNext(double nowMs) const {
    if (out_.empty())
        return -1;
    return std::max(0, static_cast<int>(std::ceil(out_.front().due - nowMs)));
}
