#include "SetpointSend.h"

#include "ComLink.h"
#include "ProcessImage.h"
#include "Station.h"

#include <algorithm>

namespace {
// Lets the poll thread run again however the send ends.
class PollPause {
public:
    explicit PollPause(Station& station) : station_(station) { station_.pausePolling(); }
    ~PollPause() { station_.resumePolling(); }
    PollPause(const PollPause&) = delete;
    PollPause& operator=(const PollPause&) = delete;

private:
    Station& station_;
};
} // namespace

bool SetpointSend::Result::reported() const {
    return block2 == 1 || block2 == 2 || block2 == ComLink::kNoAnswer ||
           block2 == ComLink::kMalformed;
}

SetpointSend::SetpointSend(ComLink& link, Station& station, ProcessImage& image)
    : link_(link), station_(station), image_(image) {}

unsigned SetpointSend::write(unsigned char offset, const unsigned char* bytes, int count) {
    auto& data = link_.writeData();
    data.fill(0);
    std::copy(bytes, bytes + count, data.begin());
    link_.Trans(kController, kStation, kWrite, offset, 0, quint16(count));
    return link_.result();
}

SetpointSend::Result SetpointSend::send(const Block1& block1, const Block2& block2,
                                        const std::function<void()>& settle) {
    Result r;
    PollPause pause(station_);
    if (settle)
        settle();
    r.block1 = write(kBlock1Offset, block1.data(), int(block1.size()));
    if (r.block1 == ComLink::kGood)
        image_.setBlock1(block1);
    r.block2 = write(kBlock2Offset, block2.data(), int(block2.size()));
    if (r.block2 == ComLink::kGood)
        image_.setBlock2(block2);
    return r;
}
