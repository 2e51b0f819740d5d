// What the alarm evaluation costs a poll cycle, without and with the alarm-state bookkeeping:
// a quiet plant (nothing changes, the usual cycle) and a burst (every evaluated bit turns
// over in every answer, the worst cycle there is).
#include "AlarmEvaluator.h"
#include "AlarmStates.h"
#include "MainTexts.h"
#include "ProcessImage.h"

#include <benchmark/benchmark.h>

namespace {

void Evaluate(benchmark::State& state) {
    const bool keepStates = state.range(0) != 0;
    const bool burst = state.range(1) != 0;
    AlarmEvaluator evaluator;
    AlarmStates states;
    if (keepStates)
        evaluator.setStates(&states);
    const MainTexts texts = MainTexts::defaults();
    ImageData quiet;
    quiet.b[24] = 0x05;
    ImageData all;
    for (int b : AlarmEvaluator::kStatusBytes)
        all.b[std::size_t(b)] = 0xFF;
    int messages = 0;
    auto report = [&](const QString&, QRgb) { ++messages; };
    evaluator.VerifyAlarms(quiet, texts, report);
    bool flip = false;
    for (auto _ : state) {
        evaluator.VerifyAlarms(burst && (flip = !flip) ? all : quiet, texts, report);
        if (keepStates)
            benchmark::DoNotOptimize(states.anyUnacknowledged());
    }
    benchmark::DoNotOptimize(messages);
}
BENCHMARK(Evaluate)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"states", "burst"})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
