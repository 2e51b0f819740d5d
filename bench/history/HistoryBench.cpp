// Times the history chart over a generated full day (150 000 archive records by default):
// reading the file into the three series, the first chart at 1600 x 900 and one redraw after
// a zoom step, beside a plain `cat` of the same file. Prints the medians in milliseconds.
//
//   history_bench [--records N] [--runs R]
#include "ArchiveGenerator.h"
#include "DailyTables.h"
#include "DbfTable.h"
#include "HistoryChart.h"
#include "HistoryDay.h"
#include "HistoryRules.h"
#include "HistoryTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

void report(const char* what, const std::vector<double>& runs) {
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f, %zu runs)\n", what, median(runs),
                *std::min_element(runs.begin(), runs.end()),
                *std::max_element(runs.begin(), runs.end()), runs.size());
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int records = 150000;
    int runs = 7;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--records"))
            records = args[++i].toInt();
        else if (args[i] == QLatin1String("--runs"))
            runs = args[++i].toInt();
    }
    runs = std::max(runs, 1);

    QTemporaryDir dir;
    const QDate date(2024, 3, 11);
    const QString path = daily::fileName(dir.path(), daily::kArchive, date);
    QString error;
    if (!dir.isValid() || !writeArchiveDay(path, records, &error)) {
        std::fprintf(stderr, "cannot write the archive: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("archive: %d records, %.1f MB\n", records, QFileInfo(path).size() / 1e6);

    std::vector<double> cat, read, first, zoom, rawOpen, drawOnly, setOnly;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("cat"), {path});
        p.waitForFinished(-1);
        cat.push_back(ms(t));

        t.start();
        DbfReader reader;
        if (!reader.open(path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        rawOpen.push_back(ms(t));

        t.start();
        auto day = std::make_shared<HistoryDay>();
        if (!loadHistoryDay(path, 3, day.get(), &error) || day->size() != records) {
            std::fprintf(stderr, "load failed: %s\n", qPrintable(error));
            return 1;
        }
        read.push_back(ms(t));

        // The first chart: a fresh window at 1600 x 900, loaded and drawn.
        HistoryChart chart;
        chart.setTexts(HistoryTexts());
        chart.resize(1600, 900);
        chart.show();
        QCoreApplication::processEvents();
        t.start();
        auto day2 = std::make_shared<HistoryDay>();
        loadHistoryDay(path, 3, day2.get(), &error);
        const double loaded = ms(t);
        chart.showDay(day2, QStringLiteral("Дозатор 3\n11.03.2024"));
        const double shown = ms(t);
        chart.repaint();
        first.push_back(ms(t));
        drawOnly.push_back(ms(t) - loaded);
        setOnly.push_back(shown - loaded);

        t.start();
        chart.zoomPercent(run % 2 ? history::kZoomOut : history::kZoomIn);
        chart.repaint();
        zoom.push_back(ms(t));
    }
    report("cat of the file", cat);
    report("DbfReader::open (the file into memory)", rawOpen);
    report("read the file into the three series", read);
    report("first chart at 1600 x 900 (read + draw)", first);
    report("  of which the chart (series, ranges, draw)", drawOnly);
    report("  of which handing the series to the chart", setOnly);
    report("redraw after one zoom step", zoom);
    return 0;
}
