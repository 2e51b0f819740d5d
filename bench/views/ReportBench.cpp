// Report building and saved-report reading for a busy day: the preview must open at once
// and a saved report must load at once on the control-room computer.
#include "MainTexts.h"
#include "ReportBuilder.h"
#include "ReportFile.h"
#include "StationReports.h"

#include <benchmark/benchmark.h>

namespace {

report::MemTable day(int records) {
    report::MemTable t;
    t.fields = QStringList{"TIME", "DAT", "DOZATOR", "COD_MAT", "SKOR_ZAD", "VES", "REG_DOZ"};
    for (int i = 0; i < records; ++i)
        t.rows.push_back({QStringLiteral("%1:%2:%3")
                              .arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
                              .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(i % 60, 2, 10, QLatin1Char('0')),
                          "05.03.2010", QString::number(1 + i % 6),
                          QStringLiteral("%1").arg(i % 10, 2, 10, QLatin1Char('0')), "1000",
                          QString::number(900 + i % 200), i % 3 ? "Automatik" : "Manual"});
    return t;
}

report::Variables vars() {
    return views::protocolVariables("Протокол дозирования за", "05.03.2010",
                                    {"a", "b", "c", "d", "e", "f", "g"});
}

void BuildProtocol(benchmark::State& state) {
    const report::MemTable t = day(int(state.range(0)));
    const report::Template tpl = views::protocolTemplate();
    const report::Variables v = vars();
    for (auto _ : state)
        benchmark::DoNotOptimize(report::build(tpl, t, v));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BuildProtocol)->Arg(3000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BuildShift(benchmark::State& state) {
    report::MemTable t = day(int(state.range(0)));
    std::stable_sort(t.rows.begin(), t.rows.end(),
                     [](const QStringList& a, const QStringList& b) { return a[3] < b[3]; });
    const report::Variables v = views::shiftVariables(MainTexts::defaults(), "05.03.2010", 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(report::build(views::shiftTemplate(), t, v));
}
BENCHMARK(BuildShift)->Arg(3000)->Unit(benchmark::kMillisecond);

void LoadSavedReport(benchmark::State& state) {
    const QByteArray bytes = report::serialize(
        report::build(views::protocolTemplate(), day(int(state.range(0))), vars()));
    for (auto _ : state) {
        report::PreparedReport r;
        QString error;
        benchmark::DoNotOptimize(report::deserialize(bytes, &r, &error));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(LoadSavedReport)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
