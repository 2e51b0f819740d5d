// The station's serial port on a pseudo-terminal: exclusive open, raw 8N1, the fifteen
// rates (four of them through termios2), and Initial's status texts.
#include "ComLink.h"
#include "PosixSerialPort.h"
#include "ProcessImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose station side starts as a 7-bit, even-parity, two-stop-bit
// terminal line with echo and line editing.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        path_ = QString::fromLocal8Bit(ptsname(master_));
        const int slave = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        termios t;
        tcgetattr(slave, &t);
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
        t.c_lflag |= ECHO | ICANON;
        tcsetattr(slave, TCSANOW, &t);
        ::close(slave);
    }
    ~Pty() { ::close(master_); }
    const QString& path() const { return path_; }

private:
    int master_ = -1;
    QString path_;
};

TEST(SerialPort, RawEightNoneOneAtEveryStationRate) {
    Pty pty;
    auto port = PosixSerialPort::open(pty.path());
    ASSERT_TRUE(port);
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600,
                     115200, 128000, 256000}) {
        ASSERT_TRUE(PosixSerialPort::isStationRate(rate));
        ASSERT_TRUE(port->configure(rate));
        EXPECT_EQ(lineRate(port->fd()), rate);
    }
    termios t;
    ASSERT_EQ(tcgetattr(port->fd(), &t), 0);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_lflag & (ECHO | ICANON | ISIG));
    EXPECT_FALSE(t.c_iflag & (ICRNL | INLCR | IXON));
    EXPECT_FALSE(t.c_oflag & OPOST);
}

TEST(SerialPort, OtherRateKeepsTheLineRateButSetsEightNoneOne) {
    Pty pty;
    auto port = PosixSerialPort::open(pty.path());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->configure(56000));
    for (int rate : {12345, 0, -9600, 230400}) {
        EXPECT_FALSE(PosixSerialPort::isStationRate(rate));
        ASSERT_TRUE(port->configure(rate));
        EXPECT_EQ(lineRate(port->fd()), 56000) << rate;
    }
    termios t;
    ASSERT_EQ(tcgetattr(port->fd(), &t), 0);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB));
}

TEST(SerialPort, OpenIsExclusiveAndOnlyForTerminals) {
    Pty pty;
    auto first = PosixSerialPort::open(pty.path());
    ASSERT_TRUE(first);
    QString why;
    EXPECT_FALSE(PosixSerialPort::open(pty.path(), &why));
    EXPECT_FALSE(why.isEmpty());
    first.reset();
    EXPECT_TRUE(PosixSerialPort::open(pty.path()));

    QTemporaryDir dir;
    QFile plain(dir.filePath("not-a-line"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_FALSE(PosixSerialPort::open(plain.fileName()));
}

TEST(SerialPort, InitialStatusTextsAndReopen) {
    Pty pty;
    ProcessImage image;
    ComLink link(image);
    link.setDeviceOverride(pty.path());
    EXPECT_EQ(link.Initial(1, 115200), QString::fromUtf8("COM-порт открыт"));
    EXPECT_TRUE(link.portOpen());
    // The settings dialog's re-open of the same line while the old handle is still held.
    EXPECT_EQ(link.Initial(1, 9600), QString::fromUtf8("COM-порт открыт"));
    EXPECT_TRUE(link.portOpen());
    // A line that cannot be opened clears the port-open flag.
    link.setDeviceOverride("/dev/null/none");
    EXPECT_EQ(link.Initial(2, 9600), QString::fromUtf8("Ошибка COM-порта -1"));
    EXPECT_FALSE(link.portOpen());
    link.Trans(1, 0, 1, 0, 0, 130);
    EXPECT_EQ(link.result(), 5u);
}

TEST(SerialPort, APortRefusedForLackOfPermissionNamesTheDeviceAndTheGroup) {
    const QString refused = PosixSerialPort::openFailureAdvice("/dev/ttyS0", EACCES);
    EXPECT_TRUE(refused.contains("/dev/ttyS0")) << refused.toStdString();
    EXPECT_TRUE(refused.contains("group dialout")) << refused.toStdString();
    const QString missing = PosixSerialPort::openFailureAdvice("/dev/ttyUSB3", ENOENT);
    EXPECT_TRUE(missing.contains("/dev/ttyUSB3"));
    EXPECT_FALSE(missing.contains("dialout"));

    // A device the user may not open, as a station not in the group meets it: the open
    // fails with EACCES (a child drops root first, since root may open anything).
    Pty pty;
    ASSERT_EQ(::chmod(pty.path().toLocal8Bit().constData(), 0600), 0);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(fds[1], STDERR_FILENO);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        ProcessImage image;
        ComLink link(image);
        link.setDeviceOverride(pty.path());
        const bool refusedText = link.Initial(1, 9600) == QString::fromUtf8("Ошибка COM-порта -1");
        ::_exit(refusedText && !link.portOpen() ? 0 : 4);
    }
    ::close(fds[1]);
    std::string err;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        err.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the status panel's text";
    EXPECT_NE(err.find(pty.path().toStdString()), std::string::npos) << err;
    EXPECT_NE(err.find("group dialout"), std::string::npos) << err;
}

} // namespace
