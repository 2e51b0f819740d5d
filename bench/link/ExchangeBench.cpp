// The cost of one read exchange without the line's waits: framing the request, collecting
// and judging a 139-byte answer, storing the image. Also counts heap allocations per
// exchange, which must stay at zero.
#include "ComLink.h"
#include "Frame.h"
#include "ProcessImage.h"
#include "SerialLine.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// A line that answers every request at once with a stored frame, on a virtual clock.
class InstantLine : public SerialLine {
public:
    InstantLine() {
        std::uint8_t payload[133] = {0x00, 0x01, 0x81};
        for (int k = 0; k < 130; ++k)
            payload[3 + k] = static_cast<std::uint8_t>(k * 7);
        length_ = frame::build(payload, 133, answer_, sizeof answer_);
    }
    long write(const std::uint8_t*, int n) override {
        pos_ = 0;
        return n;
    }
    int waiting() override { return length_ - pos_; }
    long read(std::uint8_t* out, int n) override {
        const int take = std::min(n, length_ - pos_);
        std::memcpy(out, answer_ + pos_, take);
        pos_ += take;
        return take;
    }
    void pause(int ms) override { now_ += ms; }
    void waitReadable(int ms) override { now_ += ms; }
    std::int64_t nowMs() override { return now_; }

private:
    std::uint8_t answer_[frame::kBufSize];
    int length_ = 0;
    int pos_ = 0;
    std::int64_t now_ = 0;
};

void BM_ReadExchange(benchmark::State& state) {
    ProcessImage image;
    ComLink link(image);
    link.attach(std::make_unique<InstantLine>());
    link.Trans(1, 0, 1, 0, 0, 130);
    const long before = g_allocations;
    for (auto _ : state) {
        link.Trans(1, 0, 1, 0, 0, 130);
        benchmark::DoNotOptimize(link.result());
    }
    if (link.result() != 0)
        state.SkipWithError("the exchange failed");
    state.counters["allocations_per_exchange"] =
        static_cast<double>(g_allocations - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadExchange);

void BM_Crc133(benchmark::State& state) {
    std::uint8_t data[133];
    for (int i = 0; i < 133; ++i)
        data[i] = static_cast<std::uint8_t>(i);
    for (auto _ : state)
        benchmark::DoNotOptimize(frame::crc16(data, 133));
    state.SetBytesProcessed(state.iterations() * 133);
}
BENCHMARK(BM_Crc133);

} // namespace

BENCHMARK_MAIN();
