#include "PtyPeer.h"

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

void EventLog::add(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
}

std::vector<std::string> EventLog::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

void EventLog::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

std::uint16_t referenceCrc(const Bytes& payload) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : payload) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

Bytes frameOf(const Bytes& payload) {
    Bytes out = {0x10, 0x02};
    for (std::uint8_t b : payload) {
        out.push_back(b);
        if (b == 0x10)
            out.push_back(b);
    }
    const std::uint16_t crc = referenceCrc(payload);
    out.insert(out.end(), {0x10, 0x03, static_cast<std::uint8_t>(crc & 0xFF),
                           static_cast<std::uint8_t>(crc >> 8)});
    return out;
}

Bytes writeAnswer(std::uint8_t status) {
    return frameOf({0x00, 0x01, 0x82, status});
}

Bytes readAnswer(const Bytes& image130) {
    Bytes payload(3 + image130.size());
    payload[1] = 0x01;
    payload[2] = 0x81;
    std::copy(image130.begin(), image130.end(), payload.begin() + 3);
    return frameOf(payload);
}

PtyPeer::PtyPeer(EventLog& log) : log_(log) {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    termios t{};
    if (tcgetattr(slave_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
    }
    path_ = QString::fromLocal8Bit(name);
    thread_ = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

void PtyPeer::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<Request> PtyPeer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

Bytes PtyPeer::standardAnswer(const Request& r, const Bytes& image) {
    if (r.payload.size() > 2 && r.payload[2] == 1)
        return readAnswer(image);
    return writeAnswer(0);
}

void PtyPeer::run() {
    std::uint8_t buffer[512];
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i)
            onByte(buffer[i]);
    }
}

void PtyPeer::onByte(std::uint8_t b) {
    switch (state_) {
    case State::Hunt:
        if (b == 0x10) {
            current_ = Request{};
            current_.raw.push_back(b);
            state_ = State::Start;
        }
        return;
    case State::Start:
        current_.raw.push_back(b);
        state_ = b == 0x02 ? State::Payload : State::Hunt;
        return;
    case State::Payload:
        current_.raw.push_back(b);
        if (b == 0x10)
            state_ = State::PayloadDle;
        else
            current_.payload.push_back(b);
        return;
    case State::PayloadDle:
        current_.raw.push_back(b);
        if (b == 0x10) {
            current_.payload.push_back(b);
            state_ = State::Payload;
        } else if (b == 0x03) {
            state_ = State::Crc1;
        } else {
            state_ = State::Hunt;
        }
        return;
    case State::Crc1:
        current_.raw.push_back(b);
        state_ = State::Crc2;
        return;
    case State::Crc2:
        current_.raw.push_back(b);
        state_ = State::Hunt;
        onFrame();
        return;
    }
}

void PtyPeer::onFrame() {
    const std::size_t n = current_.raw.size();
    const std::uint16_t crc = current_.raw[n - 2] | (current_.raw[n - 1] << 8);
    current_.crcGood = crc == referenceCrc(current_.payload);
    const Bytes& p = current_.payload;
    if (p.size() >= 6 && p[2] == 1)
        log_.add("read");
    else if (p.size() >= 6 && p[2] == 2)
        log_.add("write " + std::to_string(p[3] | (p[4] << 8)));
    else
        log_.add("other");

    Responder responder;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(current_);
        responder = responder_;
    }
    const Bytes answer = responder ? responder(current_) : Bytes{};
    if (!answer.empty()) {
        [[maybe_unused]] const ssize_t written = ::write(master_, answer.data(), answer.size());
    }
}
