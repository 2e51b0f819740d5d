// What publishing to the plant's MQTT broker adds to one poll cycle, on the poll thread: the
// image of a good answer (the plant message is built once a second), an event line and a dose
// record handed over, and the same while the broker accepts the connection but never reads
// (the publisher's network thread is then stuck; the poll thread must not notice). With
// publishing off the data module calls nothing, so the cost is zero.
#include "PlantPublisher.h"

#include <benchmark/benchmark.h>

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

void PlantMessage(benchmark::State& state) {
    const ImageData image = plantImage();
    const QDateTime t = QDateTime::currentDateTime();
    for (auto _ : state)
        benchmark::DoNotOptimize(mqtt::plantPayload(image, t));
}
BENCHMARK(PlantMessage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
