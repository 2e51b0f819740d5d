// libFuzzer target for the answer side of the link: the frame-end scan, the un-stuffing,
// CRC, length and address checks, and the whole receive path of an exchange, with the
// input as the bytes the line delivers.
//
// With KORVEL_FUZZ_PAYLOAD the input is an answer's payload instead: the target frames it
// with DLE stuffing and a correct CRC, so that the checks behind the CRC (addresses,
// function, length, the image update) see nearly every input rather than almost none.
#include "ComLink.h"
#include "Frame.h"
#include "ProcessImage.h"
#include "SerialLine.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// A line on a virtual clock that delivers the input in two parts: the first at 20 ms,
// the rest at a time chosen by the input's first byte.
class FuzzLine : public SerialLine {
public:
    FuzzLine(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
        split_ = size_ ? size_ / 2 : 0;
        secondAt_ = 20 + (size_ ? data_[0] * 2 : 0);
    }
    long write(const std::uint8_t*, int n) override { return n; }
    int waiting() override { return static_cast<int>(available() - pos_); }
    long read(std::uint8_t* out, int n) override {
        const std::size_t take = std::min<std::size_t>(n, available() - pos_);
        std::memcpy(out, data_ + pos_, take);
        pos_ += take;
        return static_cast<long>(take);
    }
    void pause(int ms) override { now_ += ms; }
    void waitReadable(int ms) override {
        if (now_ < secondAt_ && secondAt_ <= now_ + ms)
            now_ = secondAt_;
        else
            now_ += ms;
    }
    std::int64_t nowMs() override { return now_; }

private:
    std::size_t available() const {
        if (now_ >= secondAt_)
            return size_;
        return now_ >= 20 ? split_ : 0;
    }
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::size_t split_;
    std::int64_t secondAt_;
    std::int64_t now_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
#ifdef KORVEL_FUZZ_PAYLOAD
    if (inputSize > std::size_t(frame::kBufSize))
        return 0;
    std::uint8_t framed[2 * frame::kBufSize + 8];
    const int n =
        frame::build(input, static_cast<int>(inputSize), framed, static_cast<int>(sizeof framed));
    if (n <= 0)
        return 0;
    const std::uint8_t* data = framed;
    const std::size_t size = std::size_t(n);
#else
    const std::uint8_t* data = input;
    const std::size_t size = inputSize;
#endif
    // The pure checks on the raw input.
    if (size <= frame::kBufSize) {
        std::uint8_t payload[frame::kBufSize];
        int length = -1;
        const auto verdict = frame::judge(data, static_cast<int>(size), 1, 0, payload, &length);
        if (length < 0 || length > frame::kBufSize)
            __builtin_trap();
        if (verdict == frame::Answer::Read && length != frame::kReadAnswerPayload)
            __builtin_trap();
        if (verdict == frame::Answer::Write && length != frame::kWriteAnswerPayload)
            __builtin_trap();
        frame::endsWithCompleteFrame(data, static_cast<int>(size));
    }
    // A whole exchange receiving the input.
    ProcessImage image;
    ComLink link(image);
    link.attach(std::make_unique<FuzzLine>(data, size));
    link.Trans(1, 0, 1, 0, 0, 130);
    const unsigned result = link.result();
    // Only a good exchange may store an answer in the image.
    if (result != 0 && image.hasFirstAnswer())
        __builtin_trap();
    if (link.waitingCount() > ComLink::kBufSize)
        __builtin_trap();
    return 0;
}
