#pragma once
// A scripted controller at the far end of a pseudo-terminal: it picks request frames out of
// the bytes the station writes, records each (as sent on the line and unstuffed) in a shared
// event log, and answers as the test says. Frames are built and taken apart here from the
// line format, independently of the station's own framing code.
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Events of both sides in the order they happened: "pause", "resume", "wait 600", "read",
// "write 130", "write 137".
class EventLog {
public:
    void add(const std::string& event);
    std::vector<std::string> events() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

struct Request {
    Bytes raw;     // the frame as it came over the line
    Bytes payload; // the payload with the doubled 0x10 reduced
    bool crcGood = false;
};

class PtyPeer {
public:
    // The answer to one request; no bytes means silence.
    using Responder = std::function<Bytes(const Request&)>;

    explicit PtyPeer(EventLog& log);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return master_ >= 0; }
    // The device the station opens.
    QString slavePath() const { return path_; }
    void setResponder(Responder responder);
    std::vector<Request> requests() const;

    // Answers reads with this image and writes with status 0.
    static Bytes standardAnswer(const Request& r, const Bytes& image);

private:
    void run();
    void onByte(std::uint8_t b);
    void onFrame();

    EventLog& log_;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    Responder responder_;
    std::vector<Request> requests_;

    enum class State { Hunt, Start, Payload, PayloadDle, Crc1, Crc2 };
    State state_ = State::Hunt;
    Request current_;
};

// CRC-16/MODBUS computed bit by bit.
std::uint16_t referenceCrc(const Bytes& payload);
// DLE STX, payload with each 0x10 doubled, DLE ETX, CRC low byte, CRC high byte.
Bytes frameOf(const Bytes& payload);
// Answers from the controller (address 1) to the station (address 0).
Bytes writeAnswer(std::uint8_t status);
Bytes readAnswer(const Bytes& image130);
