#include "PosixSerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

struct RateConstant {
    int rate;
    speed_t constant; // B0 when the rate has no constant of its own
};

// The fifteen line rates of the station; four of them need termios2.
constexpr RateConstant kRates[] = {
    {110, B110},   {300, B300},     {600, B600},       {1200, B1200},   {2400, B2400},
    {4800, B4800}, {9600, B9600},   {14400, B0},       {19200, B19200}, {38400, B38400},
    {56000, B0},   {57600, B57600}, {115200, B115200}, {128000, B0},    {256000, B0},
};

const RateConstant* findRate(int rate) {
    for (const auto& r : kRates)
        if (r.rate == rate)
            return &r;
    return nullptr;
}

} // namespace

PosixSerialPort::~PosixSerialPort() {
    if (fd_ >= 0)
        ::close(fd_);
}

QString PosixSerialPort::openFailureAdvice(const QString& path, int errorNumber) {
    QString line = QStringLiteral("korvel: cannot open the serial port %1: %2")
                       .arg(path, QString::fromLocal8Bit(std::strerror(errorNumber)));
    if (errorNumber == EACCES || errorNumber == EPERM)
        line += QStringLiteral("; the user must be in the group dialout "
                               "(sudo adduser $USER dialout, then log in again)");
    return line;
}

std::unique_ptr<PosixSerialPort> PosixSerialPort::open(const QString& path, QString* error,
                                                       int* errorNumber) {
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(err));
        if (errorNumber)
            *errorNumber = err;
        return nullptr;
    }
    // No sharing: neither another station nor a terminal program may use the line.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = isatty(fd) ? errno : ENOTTY;
        ::close(fd);
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(err));
        if (errorNumber)
            *errorNumber = err;
        return nullptr;
    }
    return std::unique_ptr<PosixSerialPort>(new PosixSerialPort(fd));
}

bool PosixSerialPort::isStationRate(int rate) {
    return findRate(rate) != nullptr;
}

bool PosixSerialPort::configure(int rate) {
    termios t;
    if (tcgetattr(fd_, &t) != 0)
        return false;
    // Binary line: no echo, no line editing, no character mapping, no signals.
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CREAD | CLOCAL; // receive on, ignore the modem's carrier line
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const RateConstant* r = findRate(rate);
    if (r && r->constant != B0) {
        cfsetispeed(&t, r->constant);
        cfsetospeed(&t, r->constant);
    }
    tcsetattr(fd_, TCSANOW, &t);
    if (r && r->constant == B0)
        setCustomLineRate(fd_, rate);
    return true;
}

long PosixSerialPort::write(const std::uint8_t* data, int n) {
    long done;
    do {
        done = ::write(fd_, data, static_cast<size_t>(n));
    } while (done < 0 && errno == EINTR);
    return done;
}

int PosixSerialPort::waiting() {
    int n = 0;
    if (ioctl(fd_, FIONREAD, &n) != 0)
        return -1;
    return n;
}

long PosixSerialPort::read(std::uint8_t* data, int n) {
    long got;
    do {
        got = ::read(fd_, data, static_cast<size_t>(n));
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return got;
}

void PosixSerialPort::pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void PosixSerialPort::waitReadable(int ms) {
    if (ms <= 0)
        return;
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, ms);
    // A hung-up or failing line must not turn the answer wait into a busy loop.
    if ((r < 0 && errno != EINTR) || (r > 0 && !(p.revents & POLLIN)))
        pause(ms < 10 ? ms : 10);
}

std::int64_t PosixSerialPort::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
