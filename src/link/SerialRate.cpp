// termios2 lives in the kernel's headers, which clash with <termios.h>: keep it alone here.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "PosixSerialPort.h"

bool setCustomLineRate(int fd, int rate) {
    struct termios2 t;
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT); // input rate follows the output rate
    t.c_ispeed = static_cast<speed_t>(rate);
    t.c_ospeed = static_cast<speed_t>(rate);
    return ioctl(fd, TCSETS2, &t) == 0;
}

int lineRate(int fd) {
    struct termios2 t;
    if (ioctl(fd, TCGETS2, &t) != 0)
        return 0;
    return static_cast<int>(t.c_ospeed);
}
