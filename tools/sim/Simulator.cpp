#include "Simulator.h"

#include "ControllerSide.h"
#include "PlantModel.h"
#include "SimLine.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char kUsage[] =
    "usage: korvel-sim [--link PATH | --device PATH] [options]\n"
    "Plays the plant controller of the charging plant on a serial line.\n"
    "\n"
    "  --link PATH        create a pseudo-terminal and a symbolic link PATH to it\n"
    "  --device PATH      serve a serial device instead (null-modem tests)\n"
    "  --baud RATE        line rate of --device, bit/s (default 115200)\n"
    "  --speed FACTOR     run the plant FACTOR times faster (default 1)\n"
    "  --faults RATE      plant faults, stops and missing coordinator signals per minute\n"
    "                     (default 0)\n"
    "fault injection for tests:\n"
    "  --plan LIST        what happens to the answers of the next requests, in order:\n"
    "                     ok, silent, garbage, badcrc, cut, late, each with an optional *N;\n"
    "                     e.g. ok,silent*4,ok. Lines on standard input add to the plan.\n"
    "  --late-ms MS       delay of a late answer (default 450)\n"
    "  --write-status N   status byte of every write answer (default: the plant's, 0)\n"
    "  --line-rate RATE   pace answers at RATE bit/s (default: the rate the station set)\n"
    "  --fault BYTE.BIT   raise the fault bit BIT of image byte BYTE from the start (24, 25,\n"
    "                     73 to 76, 83, 84; may be repeated); it stays until cleared\n"
    "\n"
    "commands on standard input, one a line: a plan to append (silent*4), write-status N,\n"
    "fault BYTE.BIT on, fault BYTE.BIT off, quit\n"
    "\n"
    "Prints the path of the line the station opens, then serves it.\n";

struct Options {
    std::string link, device;
    int baud = 115200;
    double speed = 1;
    double faults = 0;
    std::string plan;
    std::vector<std::pair<int, int>> faults_; // --fault BYTE.BIT
    int lateMs = 450;
    int writeStatus = -1;
    int lineRate = 0;
};

bool number(const char* text, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (!end || *end || end == text || !(v >= lo && v <= hi))
        return false;
    *out = v;
    return true;
}

// "BYTE.BIT" of a fault bit, such as 24.7.
bool faultBit(const std::string& text, int* byte, int* bit) {
    const auto dot = text.find('.');
    if (dot == std::string::npos)
        return false;
    double b = 0, k = 0;
    if (!number(text.substr(0, dot).c_str(), 0, 129, &b) ||
        !number(text.substr(dot + 1).c_str(), 0, 7, &k) || b != int(b) || k != int(k))
        return false;
    *byte = int(b);
    *bit = int(k);
    return true;
}

// Returns 0 to run, otherwise the exit code.
int parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return -1;
        }
        if (i + 1 >= argc) {
            std::cerr << "korvel-sim: " << arg << " needs a value (or is unknown)\n" << kUsage;
            return 2;
        }
        const char* value = argv[++i];
        double v = 0;
        bool ok = true;
        if (arg == "--link")
            o.link = value;
        else if (arg == "--device")
            o.device = value;
        else if (arg == "--baud" && (ok = number(value, 50, 4000000, &v)))
            o.baud = static_cast<int>(v);
        else if (arg == "--speed" && (ok = number(value, 0.01, 1000, &v)))
            o.speed = v;
        else if (arg == "--faults" && (ok = number(value, 0, 600, &v)))
            o.faults = v;
        else if (arg == "--plan")
            o.plan = value;
        else if (arg == "--late-ms" && (ok = number(value, 0, 60000, &v)))
            o.lateMs = static_cast<int>(v);
        else if (arg == "--write-status" && (ok = number(value, 0, 255, &v)))
            o.writeStatus = static_cast<int>(v);
        else if (arg == "--fault") {
            int byte = 0, bit = 0;
            ok = faultBit(value, &byte, &bit) && PlantModel::isFaultBit(byte, bit);
            if (ok)
                o.faults_.push_back({byte, bit});
        } else if (arg == "--line-rate" && (ok = number(value, 50, 4000000, &v)))
            o.lineRate = static_cast<int>(v);
        else if (ok) {
            std::cerr << "korvel-sim: unknown option " << arg << "\n" << kUsage;
            return 2;
        }
        if (!ok) {
            std::cerr << "korvel-sim: bad value '" << value << "' for " << arg << "\n";
            return 2;
        }
    }
    if (!o.link.empty() && !o.device.empty()) {
        std::cerr << "korvel-sim: --link and --device exclude each other\n";
        return 2;
    }
    return 0;
}

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Makes link point at target; an existing symbolic link is replaced, anything else is kept.
bool makeLink(const std::string& link, const std::string& target) {
    struct stat st;
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::cerr << "korvel-sim: " << link << " exists and is not a symbolic link\n";
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        std::cerr << "korvel-sim: cannot create " << link << ": " << std::strerror(errno) << "\n";
        return false;
    }
    return true;
}

void removeLink(const std::string& link, const std::string& target) {
    char buf[4096];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, static_cast<size_t>(n)) == target)
        unlink(link.c_str());
}

// One command from standard input: a plan to append, "write-status N", "fault BYTE.BIT on",
// "fault BYTE.BIT off" or "quit".
bool command(std::string line, FaultPlan& plan, ControllerSide& controller, PlantModel& plant) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    if (line.empty())
        return true;
    if (line == "quit")
        return false;
    if (line.rfind("write-status ", 0) == 0) {
        controller.setWriteStatus(std::atoi(line.c_str() + 13));
        return true;
    }
    if (line.rfind("fault ", 0) == 0) {
        std::istringstream in(line.substr(6));
        std::string which, state;
        int byte = 0, bit = 0;
        in >> which >> state;
        if (!faultBit(which, &byte, &bit) || (state != "on" && state != "off") ||
            !plant.setFault(byte, bit, state == "on"))
            std::cerr << "korvel-sim: bad command '" << line << "' (fault BYTE.BIT on|off)\n";
        return true;
    }
    std::string error;
    if (!plan.append(line, &error))
        std::cerr << "korvel-sim: " << error << "\n";
    return true;
}

} // namespace

int runSimulator(int argc, char** argv) {
    Options o;
    if (const int rc = parse(argc, argv, o))
        return rc < 0 ? 0 : rc;

    FaultPlan plan;
    std::string error;
    if (!plan.append(o.plan, &error)) {
        std::cerr << "korvel-sim: --plan: " << error << "\n";
        return 2;
    }
    auto line =
        o.device.empty() ? SimLine::openPty(&error) : SimLine::openDevice(o.device, o.baud, &error);
    if (!line) {
        std::cerr << "korvel-sim: " << error << "\n";
        return 1;
    }
    line->setFixedRate(o.lineRate);
    if (!o.link.empty() && !makeLink(o.link, line->name()))
        return 1;

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PlantModel plant(o.faults);
    for (const auto& [byte, bit] : o.faults_)
        plant.setFault(byte, bit, true);
    ControllerSide controller(plant, plan);
    controller.setWriteStatus(o.writeStatus);
    controller.setLateMs(o.lateMs);

    std::cout << line->name() << std::endl;

    bool stdinOpen = true;
    std::string pending;
    double last = nowMs();
    while (!g_stop) {
        pollfd fds[2] = {{line->fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        int timeout = 50;
        const int due = line->msUntilNext(nowMs());
        if (due >= 0)
            timeout = std::min(timeout, std::max(1, due));
        if (::poll(fds, stdinOpen ? 2 : 1, timeout) < 0 && errno != EINTR)
            break;
        // Commands first: a command sent before a request applies to that request.
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char buf[256];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                stdinOpen = false; // no more commands; the plant runs on
            } else {
                pending.append(buf, static_cast<size_t>(n));
                for (auto nl = pending.find('\n'); nl != std::string::npos;
                     nl = pending.find('\n')) {
                    if (!command(pending.substr(0, nl), plan, controller, plant))
                        g_stop = 1;
                    pending.erase(0, nl + 1);
                }
            }
        }
        if (fds[0].revents & POLLIN) {
            std::uint8_t buf[512];
            const int n = line->readAvailable(buf, sizeof buf);
            const double t = nowMs();
            for (const auto& a : controller.feed(buf, n))
                line->send(a.bytes, a.delayMs, a.requestBytes, t);
        }
        const double t = nowMs();
        plant.advance((t - last) / 1000.0 * o.speed);
        last = t;
        line->service(t);
    }
    if (!o.link.empty())
        removeLink(o.link, line->name());
    return 0;
}
