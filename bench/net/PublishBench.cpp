// What publishing to the plant's MQTT broker adds to one poll cycle, on the poll thread: the
// image of a good answer (the plant message is built once a second), an event line and a dose
// record handed over, and the same while the broker accepts the connection but never reads
// (the publisher's network thread is then stuck; the poll thread must not notice). With
// publishing off the data module calls nothing, so the cost is zero. PollCadence runs a poll
// thread's rhythm, off and against a silent broker: the periods must be the same.
#include "PlantPublisher.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

ImageData plantImage() {
    ImageData d;
    for (std::size_t i = 0; i < d.b.size(); ++i)
        d.b[i] = std::uint8_t(i * 37);
    return d;
}

// A listening socket that never accepts nor reads: the kernel completes the connection, the
// broker never answers.
struct SilentBroker {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    SilentBroker() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd, 16);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~SilentBroker() { ::close(fd); }
};

mqtt::Publisher::Options options(int port) {
    mqtt::Publisher::Options o;
    o.broker.host = QStringLiteral("127.0.0.1");
    o.broker.port = port;
    o.clientId = QStringLiteral("korvel-bench");
    return o;
}

// One poll cycle's hand-over: the image of the good answer, one event, one dose. The queue is
// bounded, so it stays at its limit however long this runs.
void cycle(mqtt::PlantPublisher& net, const ImageData& image, int withRecords) {
    net.goodAnswer(image);
    if (withRecords) {
        net.event(QStringLiteral("Авария затвора дозатора 4 РКО-1"), "alarm");
        net.dose({"23:14:31", "20261210", "23", "14", "5", "2476", "03", "2470", "Automatik"});
    }
}

void PollCycleSilentBroker(benchmark::State& state) {
    SilentBroker broker;
    mqtt::PlantPublisher net(options(broker.port), {});
    const ImageData image = plantImage();
    for (auto _ : state)
        cycle(net, image, int(state.range(0)));
}
BENCHMARK(PollCycleSilentBroker)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("records")
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void PollCycleNoBroker(benchmark::State& state) {
    // Nothing listens on the port: the network thread backs off between attempts.
    SilentBroker closed;
    const int port = closed.port;
    ::close(closed.fd);
    closed.fd = ::socket(AF_INET, SOCK_STREAM, 0);
    mqtt::PlantPublisher net(options(port), {});
    const ImageData image = plantImage();
    for (auto _ : state)
        cycle(net, image, int(state.range(0)));
}
BENCHMARK(PollCycleNoBroker)->Arg(0)->Arg(1)->ArgName("records")->Unit(benchmark::kMicrosecond);

// A poll thread's rhythm: the line's exchange stands in as a 2 ms sleep (a real cycle waits
// 500 ms between exchanges, so this is the harder case), then the hand-over of a good answer,
// with an event and a dose every 50th cycle. Reported: the mean and the longest period, and
// the longest hand-over and how many took over 100 µs, with publishing off (0) and against a broker
// that never reads (1).
void PollCadence(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    SilentBroker broker;
    std::unique_ptr<mqtt::PlantPublisher> net;
    if (state.range(0))
        net = std::make_unique<mqtt::PlantPublisher>(options(broker.port),
                                                     mqtt::Publisher::StateSink{});
    const ImageData image = plantImage();
    std::chrono::nanoseconds longestHandOver{0}, longestPeriod{0};
    long cycles = 0, slowHandOvers = 0;
    const Clock::time_point first = Clock::now();
    Clock::time_point last = first;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const Clock::time_point start = Clock::now();
        if (net)
            cycle(*net, image, cycles % 50 == 0);
        const Clock::time_point end = Clock::now();
        longestHandOver = std::max(longestHandOver, end - start);
        slowHandOvers += end - start > std::chrono::microseconds(100);
        longestPeriod = std::max(longestPeriod, end - last);
        last = end;
        ++cycles;
    }
    using Ms = std::chrono::duration<double, std::milli>;
    state.counters["mean_period_ms"] = Ms(last - first).count() / double(std::max(cycles, 1L));
    state.counters["longest_period_ms"] = Ms(longestPeriod).count();
    state.counters["handovers_over_100us"] = double(slowHandOvers);
    state.counters["longest_handover_us"] =
        std::chrono::duration<double, std::micro>(longestHandOver).count();
}
BENCHMARK(PollCadence)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("silent_broker")
    ->Iterations(2500)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// What the poll thread pays in the one cycle a second that hands over the plant: a copy of
// the image and the moment; the message itself is made on the network thread (PlantMessage).
void PlantHandOver(benchmark::State& state) {
    SilentBroker broker;
    mqtt::Publisher p(options(broker.port), {});
    const ImageData image = plantImage();
    for (auto _ : state) {
        const std::int64_t ms = QDateTime::currentMSecsSinceEpoch();
        p.state("plant", [image, ms] {
            return mqtt::plantPayload(image, QDateTime::fromMSecsSinceEpoch(ms));
        });
    }
}
BENCHMARK(PlantHandOver)->Unit(benchmark::kMicrosecond);

void PlantMessage(benchmark::State& state) {
    const ImageData image = plantImage();
    const QDateTime t = QDateTime::currentDateTime();
    for (auto _ : state)
        benchmark::DoNotOptimize(mqtt::plantPayload(image, t));
}
BENCHMARK(PlantMessage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
