#include "FakeLine.h"

#include <algorithm>

long FakeLine::write(const std::uint8_t* data, int n) {
    ++exchanges;
    const int taken = writeLimit_ < 0 ? n : std::min(n, writeLimit_);
    Bytes frame(data, data + n);
    written.push_back(frame);
    for (const Arrival& a : responder_(frame))
        arrive(now_ + a.afterMs, a.bytes);
    return taken;
}

void FakeLine::arrive(std::int64_t at, const Bytes& bytes) {
    // Bytes of one arrival come in order; a later arrival never overtakes an earlier one.
    if (!pending_.empty())
        at = std::max(at, pending_.back().at);
    for (std::uint8_t b : bytes)
        pending_.push_back({at, b});
}

void FakeLine::queueNow(const Bytes& bytes) {
    arrive(now_, bytes);
}

int FakeLine::waiting() {
    int n = 0;
    for (const Timed& t : pending_)
        if (t.at <= now_)
            ++n;
    return n;
}

long FakeLine::read(std::uint8_t* data, int n) {
    int got = 0;
    while (got < n && !pending_.empty() && pending_.front().at <= now_) {
        data[got++] = pending_.front().byte;
        pending_.pop_front();
    }
    return got;
}

void FakeLine::pause(int ms) {
    pauses.push_back(ms);
    now_ += ms;
}

void FakeLine::waitReadable(int ms) {
    std::int64_t until = now_ + ms;
    for (const Timed& t : pending_)
        if (t.at > now_) {
            until = std::min(until, t.at);
            break;
        }
    now_ = until;
}

std::uint16_t referenceCrc(const Bytes& payload) {
    // Bitwise CRC-16/MODBUS, independent of the link's table.
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : payload) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

Bytes stuffed(const Bytes& payload, std::uint16_t crc) {
    Bytes f = {0x10, 0x02};
    for (std::uint8_t b : payload) {
        f.push_back(b);
        if (b == 0x10)
            f.push_back(0x10);
    }
    f.insert(f.end(), {0x10, 0x03, static_cast<std::uint8_t>(crc & 0xFF),
                       static_cast<std::uint8_t>(crc >> 8)});
    return f;
}

Bytes readAnswer(const Bytes& image130) {
    Bytes p(3 + image130.size());
    p[0] = 0x00;
    p[1] = 0x01;
    p[2] = 0x81;
    std::copy(image130.begin(), image130.end(), p.begin() + 3);
    return stuffed(p, referenceCrc(p));
}

Bytes writeAnswer(std::uint8_t status) {
    const Bytes p = {0x00, 0x01, 0x82, status};
    return stuffed(p, referenceCrc(p));
}
