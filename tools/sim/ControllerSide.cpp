#include "ControllerSide.h"

#include "Frame.h"
#include "PlantModel.h"

#include <sstream>

bool FaultPlan::append(const std::string& plan, std::string* error) {
    std::deque<LinkFault> added;
    std::stringstream words(plan);
    std::string word;
    while (std::getline(words, word, ',')) {
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.back())))
            word.pop_back();
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.front())))
            word.erase(word.begin());
        if (word.empty())
            continue;
        int times = 1;
        const auto star = word.find('*');
        if (star != std::string::npos) {
            try {
                times = std::stoi(word.substr(star + 1));
            } catch (...) {
                times = -1;
            }
            word.resize(star);
        }
        static const std::pair<const char*, LinkFault> kNames[] = {
            {"ok", LinkFault::None},         {"silent", LinkFault::Silent},
            {"garbage", LinkFault::Garbage}, {"badcrc", LinkFault::BadCrc},
            {"cut", LinkFault::Cut},         {"late", LinkFault::Late},
        };
        const std::pair<const char*, LinkFault>* found = nullptr;
        for (const auto& n : kNames)
            if (word == n.first)
                found = &n;
        if (!found || times < 0 || times > 100000) {
            if (error)
                *error = "unknown fault step '" + word + "'";
            return false;
        }
        added.insert(added.end(), times, found->second);
    }
    steps_.insert(steps_.end(), added.begin(), added.end());
    return true;
}

LinkFault FaultPlan::next() {
    if (steps_.empty())
        return LinkFault::None;
    const LinkFault f = steps_.front();
    steps_.pop_front();
    return f;
}

ControllerSide::ControllerSide(PlantModel& plant, FaultPlan& plan) : plant_(plant), plan_(plan) {
    payload_.reserve(frame::kBufSize);
}

std::vector<ControllerSide::Answer> ControllerSide::feed(const std::uint8_t* data, int n) {
    std::vector<Answer> out;
    for (int i = 0; i < n; ++i)
        onByte(data[i], out);
    return out;
}

void ControllerSide::onByte(std::uint8_t b, std::vector<Answer>& out) {
    ++frameBytes_;
    switch (state_) {
    case State::Hunt:
        if (b == frame::DLE)
            state_ = State::Dle;
        break;
    case State::Dle:
        if (b == frame::STX) {
            payload_.clear();
            frameBytes_ = 2;
            state_ = State::Payload;
        } else {
            state_ = b == frame::DLE ? State::Dle : State::Hunt;
        }
        break;
    case State::Payload:
        if (b == frame::DLE)
            state_ = State::PayloadDle;
        else if (payload_.size() < frame::kBufSize)
            payload_.push_back(b);
        else
            state_ = State::Hunt; // longer than any request: not for us
        break;
    case State::PayloadDle:
        if (b == frame::DLE) {
            payload_.push_back(b);
            state_ = State::Payload;
        } else if (b == frame::ETX) {
            state_ = State::Crc1;
        } else if (b == frame::STX) {
            payload_.clear(); // a new frame starts: the broken one is dropped
            frameBytes_ = 2;
            state_ = State::Payload;
        } else {
            state_ = State::Hunt;
        }
        break;
    case State::Crc1:
        crcLow_ = b;
        state_ = State::Crc2;
        break;
    case State::Crc2: {
        state_ = State::Hunt;
        const std::uint16_t crc = frame::crc16(payload_.data(), static_cast<int>(payload_.size()));
        // A request with a wrong CRC or another receiver gets no answer.
        if (crcLow_ == (crc & 0xFF) && b == (crc >> 8) && payload_.size() >= 6 &&
            payload_[0] == kOwnAddress)
            onRequest(out);
        break;
    }
    }
}

void ControllerSide::onRequest(std::vector<Answer>& out) {
    ++requests_;
    const std::uint8_t sender = payload_[1];
    const std::uint8_t function = payload_[2];
    const int offset = payload_[3] | (payload_[4] << 8);
    const int count = payload_[5];

    std::uint8_t answer[frame::kBufSize];
    int length = 0;
    answer[length++] = sender;
    answer[length++] = kOwnAddress;
    if (function == 1 && offset == 0 && count == PlantModel::kImageSize && payload_.size() == 6) {
        answer[length++] = frame::kReadAnswer;
        const auto image = plant_.image();
        for (std::uint8_t b : image)
            answer[length++] = b;
    } else {
        // Writes, and reads of anything but the image, get a status byte.
        std::uint8_t status = PlantModel::kStatusBadRange;
        if (function == 2 && static_cast<int>(payload_.size()) == 6 + count) {
            if (writeStatus_ < 0)
                status = plant_.write(offset, payload_.data() + 6, count);
            else
                status = static_cast<std::uint8_t>(writeStatus_);
        }
        answer[length++] = frame::kWriteAnswer;
        answer[length++] = status;
    }

    Answer a;
    a.requestBytes = frameBytes_;
    a.bytes.resize(frame::kBufSize + 16);
    a.bytes.resize(frame::build(answer, length, a.bytes.data(), frame::kBufSize + 16));
    switch (plan_.next()) {
    case LinkFault::None:
        break;
    case LinkFault::Silent:
        return;
    case LinkFault::Garbage: {
        const int n = std::uniform_int_distribution<int>(8, 40)(rng_);
        a.bytes.resize(n);
        for (auto& b : a.bytes)
            b = static_cast<std::uint8_t>(rng_());
        break;
    }
    case LinkFault::BadCrc:
        a.bytes.back() ^= 0xFF;
        break;
    case LinkFault::Cut:
        a.bytes.resize(a.bytes.size() / 2);
        break;
    case LinkFault::Late:
        a.delayMs = lateMs_;
        break;
    }
    out.push_back(std::move(a));
}
