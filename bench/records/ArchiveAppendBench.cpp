// The cost of one weight archive record with 0, 50 000 and 150 000 records already in the
// day's file (a full day is about 150 000): the append must not grow with the file. Each
// size is timed without and with the flush to the disk after the record and after its count
// (dosing and journal records are always flushed; the archive only if that stays cheap).
#include "ArchiveWriter.h"
#include "DailyTables.h"
#include "JournalWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QDate kDay(2010, 1, 5);

// The day's archive file with `records` records, built in one write.
void prefill(const QString& dir, int records) {
    const QString path = daily::fileName(dir, daily::kArchive, kDay);
    dbf::create(path, daily::archiveFields(), nullptr, kDay);
    std::vector<QString> values(20, "1234");
    values[0] = "08:00:00";
    values[1] = "20100105";
    dbf::append(path, values, nullptr, kDay);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QByteArray bytes = f.readAll();
    f.close();
    const int header = 673, length = 179;
    const QByteArray one = bytes.mid(header, length);
    bytes.truncate(header);
    bytes.reserve(header + qsizetype(records) * length + 1);
    for (int i = 0; i < records; ++i)
        bytes += one;
    bytes += '\x1a';
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char((quint32(records) >> (8 * i)) & 0xFF);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

void ArchiveAppend(benchmark::State& state) {
    QTemporaryDir dir;
    prefill(dir.path(), int(state.range(0)));
    const QDateTime moment(kDay, QTime(12, 0, 0));
    ArchiveWriter archive(
        dir.path(), [] { return 45; }, {}, [&] { return moment; });
    archive.setDurable(state.range(1) != 0);
    ImageData image;
    image.b[15] = 0xF6;
    image.b[16] = 0xFF;
    for (auto _ : state)
        archive.Arhive(image);
    DbfReader check;
    if (!check.open(daily::fileName(dir.path(), daily::kArchive, kDay), nullptr) ||
        check.recordCount() != state.range(0) + qint64(state.iterations()))
        state.SkipWithError("records went missing");
}
BENCHMARK(ArchiveAppend)
    ->ArgsProduct({{0, 50000, 150000}, {0, 1}})
    ->ArgNames({"records", "flushed"})
    ->Unit(benchmark::kMicrosecond);

// One journal record as the station writes it (flushed to the disk).
void JournalAppend(benchmark::State& state) {
    QTemporaryDir dir;
    const QDateTime moment(kDay, QTime(12, 0, 0));
    JournalWriter journal(
        dir.path(), [] { return 45; }, {}, [&] { return moment; });
    for (auto _ : state)
        journal.Jurnal(QStringLiteral("Авария затвора дозатора 4 РКО-1"), 1);
    if (journal.keptCount() != 0)
        state.SkipWithError("records were kept");
}
BENCHMARK(JournalAppend)->Unit(benchmark::kMicrosecond);

// Reading a full day's archive, as the history view does.
void ArchiveRead(benchmark::State& state) {
    QTemporaryDir dir;
    prefill(dir.path(), int(state.range(0)));
    const QString path = daily::fileName(dir.path(), daily::kArchive, kDay);
    for (auto _ : state) {
        DbfReader r;
        r.open(path, nullptr);
        long long sum = 0;
        const int ves1 = r.fieldIndex("VES1");
        for (int k = 0; k < r.recordCount(); ++k)
            sum += r.number(k, ves1);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(ArchiveRead)->Arg(150000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
