#pragma once
// The controller's side of the serial protocol: it picks request frames out of the byte
// stream, answers read requests with the image (0x81) and write requests with a status byte
// (0x82), and spoils answers on purpose when the fault plan says so.
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

class PlantModel;

using Bytes = std::vector<std::uint8_t>;

// What happens to the answer of one request.
enum class LinkFault { None, Silent, Garbage, BadCrc, Cut, Late };

// A queue of link faults, one per request, written as "ok,silent*4,garbage,cut,badcrc,late".
// Requests beyond the plan are answered normally.
class FaultPlan {
public:
    // Appends the steps of a plan; returns false (and appends nothing) on a bad word.
    bool append(const std::string& plan, std::string* error = nullptr);
    LinkFault next();
    bool empty() const { return steps_.empty(); }

private:
    std::deque<LinkFault> steps_;
};

class ControllerSide {
public:
    static constexpr std::uint8_t kOwnAddress = 1;

    struct Answer {
        Bytes bytes;
        int delayMs = 0;
        int requestBytes = 0; // length of the request frame on the line
    };

    ControllerSide(PlantModel& plant, FaultPlan& plan);

    // Status of every write answer instead of the plant's own (-1: the plant's).
    void setWriteStatus(int status) { writeStatus_ = status; }
    void setLateMs(int ms) { lateMs_ = ms; }
    // Feeds bytes from the line; every complete, valid request addressed to this controller
    // yields at most one answer.
    std::vector<Answer> feed(const std::uint8_t* data, int n);
    int requestsSeen() const { return requests_; }

private:
    enum class State { Hunt, Dle, Payload, PayloadDle, Crc1, Crc2 };
    void onByte(std::uint8_t b, std::vector<Answer>& out);
    void onRequest(std::vector<Answer>& out);

    PlantModel& plant_;
    FaultPlan& plan_;
    State state_ = State::Hunt;
    Bytes payload_;
    std::uint8_t crcLow_ = 0;
    int frameBytes_ = 0; // bytes of the request frame so far
    int writeStatus_ = -1;
    int lateMs_ = 450;
    int requests_ = 0;
    std::mt19937 rng_{7};
};
