// One full refresh of the mimic window at its design size: the 500 ms tick (clock, DrawMnemo,
// both carts) and the paint of the whole window into an off-screen picture, over an image in
// which every doser, bunker, conveyor and cart is busy. The belt tick is measured apart.
#include "ChargeFlow.h"
#include "MnemoUnit.h"
#include "ProcessImage.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {
std::array<std::uint8_t, 130> busyImage(int tick) {
    std::array<std::uint8_t, 130> d{};
    for (int k = 0; k < 90; ++k)
        d[k] = static_cast<std::uint8_t>(k * 37 + tick);
    d[15] = 0xE8, d[16] = 0x03; // weights change every tick
    d[55] = static_cast<std::uint8_t>(tick * 10), d[56] = 0x01;
    d[81] = tick % 2 ? 0x18 : 0x98;
    return d;
}

struct Station {
    ChargeFlow flow;
    Station() {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    }
    ProcessImage image;
};
} // namespace

static void BM_FullRefresh(benchmark::State& state) {
    Station station;
    TMnemoForm form(
        station.image, station.flow, [] { return 0; }, QString());
    form.show();
    QImage canvas(TMnemoForm::kDesignWidth, TMnemoForm::kDesignHeight, QImage::Format_RGB32);
    int tick = 0;
    for (auto _ : state) {
        const auto d = busyImage(tick++);
        station.image.update(d.data());
        form.DrawTimerTimer();
        form.render(&canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_FullRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

static void BM_DrawMnemoOnly(benchmark::State& state) {
    Station station;
    TMnemoForm form(
        station.image, station.flow, [] { return 0; }, QString());
    int tick = 0;
    for (auto _ : state) {
        const auto d = busyImage(tick++);
        station.image.update(d.data());
        form.DrawMnemo();
    }
}
BENCHMARK(BM_DrawMnemoOnly)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

static void BM_BeltTick(benchmark::State& state) {
    Station station;
    TMnemoForm form(
        station.image, station.flow, [] { return 0; }, QString());
    form.show();
    QImage canvas(TMnemoForm::kDesignWidth, TMnemoForm::kDesignHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        form.TranspTimerTimer();
        form.render(&canvas, QPoint(), QRegion(0, 204, 783, 200));
    }
}
BENCHMARK(BM_BeltTick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
